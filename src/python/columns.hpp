// Result columns as Python values: each column a Column object, a read-only
// one-dimensional array through the buffer protocol (memoryview, array
// libraries) that shares its values with the results, without a copy, and
// keeps them alive, so it outlives the results it came from.
#pragma once

#include "analysis/multipath/estimate_store.hpp"
#include "analysis/multipath/result_columns.hpp"
#include "python/python.hpp"

namespace skyloam::py {

// {"time": Column, ..., "satellites": [str], "signals": [str]}, each Column
// a view of the store's storage.
PyObject* estimate_column_dict(const EstimateStore& estimates);
// The same for cycle slips, with "methods" beside the satellites and signals.
PyObject* slip_column_dict(const SlipColumns& columns);

}  // namespace skyloam::py
