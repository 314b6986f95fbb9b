// Releasing the interpreter lock around native work.
//
// While released, the work must touch no Python object: it runs on native
// values already taken from the arguments. The lock is re-acquired before
// the guard's scope ends, also when the work throws.
#pragma once

#include <utility>

#include "python/python.hpp"

namespace skyloam::py {

class ReleasedGil {
 public:
  ReleasedGil() : state_(PyEval_SaveThread()) {}
  ~ReleasedGil() { PyEval_RestoreThread(state_); }
  ReleasedGil(const ReleasedGil&) = delete;
  ReleasedGil& operator=(const ReleasedGil&) = delete;

 private:
  PyThreadState* state_;
};

template <class Work>
decltype(auto) without_gil(Work&& work) {
  ReleasedGil released;
  return std::forward<Work>(work)();
}

}  // namespace skyloam::py
