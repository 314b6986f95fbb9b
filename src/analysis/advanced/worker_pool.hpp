// The process-wide worker pool of the spectral analysis.
//
// One worker per logical processor, created on first use and kept for the
// life of the process. `for_each_index(count, body)` calls body(i) once for
// every i in [0, count), spread over the pool, and returns when all calls
// are done. Calls nest: a body may itself call for_each_index, and a thread
// waiting for its nested calls runs queued work of that nested loop rather
// than blocking a worker. Callers write each result into its own slot i, so
// what they assemble never depends on scheduling.
//
// `with_worker_limit(workers, work)` runs `work` on the calling thread with
// at most `workers` threads (the calling one included) for every
// for_each_index it starts, nested ones too; 1 makes everything sequential
// on the calling thread. The pool never calls into Python.
//
// An exception thrown by a body (a broken invariant, std::bad_alloc) cancels
// the loop and is rethrown by for_each_index on the calling thread.
#pragma once

#include <cstddef>
#include <functional>

namespace skyloam {

void for_each_index(std::size_t count, const std::function<void(std::size_t)>& body);

// The same over contiguous chunks: body(begin, end) covers [begin, end), the
// chunks together cover [0, count) once. For loops whose iterations share a
// scratch buffer: one allocation per chunk, not per index.
void for_each_chunk(std::size_t count, const std::function<void(std::size_t, std::size_t)>& body);

void with_worker_limit(std::size_t workers, const std::function<void()>& work);

// Threads the pool runs loops on: one per logical processor available to the
// process.
std::size_t pool_concurrency();

}  // namespace skyloam
