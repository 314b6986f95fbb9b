"""Fewer points for a chart, chosen without bias: strides for statistics and
scatters, minimum and maximum per bucket for lines (spikes stay visible)."""
import math


def stride_for(count, limit):
    """The step that leaves at most `limit` of `count` items (at least 1)."""
    return max(1, math.ceil(count / max(limit, 1)))


def thinned_rows(start, stop, limit):
    """A range over rows start..stop holding at most `limit` of them, evenly spread."""
    return range(start, stop, stride_for(stop - start, limit))


def envelope(values, limit):
    """Indices into `values` (numbers; at most about `limit`, in order)
    keeping the smallest and largest value of each of limit/2 equal buckets."""
    count = len(values)
    if count <= limit:
        return list(range(count))
    buckets = max(limit // 2, 1)
    kept = []
    for b in range(buckets):
        start, stop = b * count // buckets, (b + 1) * count // buckets
        chunk = list(values[start:stop])
        low, high = start + chunk.index(min(chunk)), start + chunk.index(max(chunk))
        kept += (low, high) if low < high else (high,) if low == high else (high, low)
    return kept


def _sums_by_key(keys, values, square):
    """{key: [sum of values (or of their squares), count]} over pairs whose
    key and value are given (None and NaN are skipped)."""
    bins = {}
    for key, value in zip(keys, values):
        if key is None or value != value:
            continue
        if square:
            value *= value
        entry = bins.get(key)
        if entry is None:
            bins[key] = [value, 1]
        else:
            entry[0] += value
            entry[1] += 1
    return bins


def mean_by_key(keys, values):
    """{key: (mean, count)}."""
    return {k: (total / n, n) for k, (total, n) in _sums_by_key(keys, values, False).items()}


def rms_by_key(keys, values):
    """{key: (RMS, count)}."""
    return {k: (math.sqrt(total / n), n) for k, (total, n) in _sums_by_key(keys, values, True).items()}
