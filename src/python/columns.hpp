// Result columns as Python values: each column a Column object, a read-only
// one-dimensional array through the buffer protocol (memoryview, array
// libraries) that owns its values, so it outlives the results it came from.
#pragma once

#include "analysis/multipath/result_columns.hpp"
#include "python/python.hpp"

namespace skyloam::py {

// {"time": Column, ..., "satellites": [str], "signals": [str]}; the columns'
// storage moves into the Column objects.
PyObject* estimate_column_dict(EstimateColumns&& columns);
// The same for cycle slips, with "methods" beside the satellites and signals.
PyObject* slip_column_dict(SlipColumns&& columns);

}  // namespace skyloam::py
