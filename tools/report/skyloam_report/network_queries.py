"""What a network report shows, read from the network database.

Each function returns plain rows (dicts). Data that grows with the years is
read one station at a time, so memory stays bounded by the largest station.
"""
import datetime
import statistics

SECONDS_PER_DAY = 86400.0


def stations(connection):
    return [row[0] for row in connection.execute(
        "SELECT DISTINCT station FROM station_days WHERE station IS NOT NULL ORDER BY station")]


def signal_series(connection, station):
    """Per signal of a station, its days in order with RMS, weighted RMS,
    count and slips: {signal: [row, ...]}."""
    series = {}
    for signal, day, rms, weighted_rms, count, slips in connection.execute(
            "SELECT signal, day, rms, weighted_rms, count, slips FROM signal_statistics "
            "WHERE station = ? ORDER BY signal, day", (station,)):
        series.setdefault(signal, []).append(
            {"day": day, "rms": rms, "weighted_rms": weighted_rms, "count": count, "slips": slips})
    return series


def signal_summary(series):
    """Per signal: days, median RMS and weighted RMS, slips per day and per
    thousand estimates."""
    rows = []
    for signal, days in series.items():
        count = sum(d["count"] or 0 for d in days)
        slips = sum(d["slips"] or 0 for d in days)
        rms = [d["rms"] for d in days if d["rms"] is not None]
        weighted = [d["weighted_rms"] for d in days if d["weighted_rms"] is not None]
        rows.append({"signal": signal, "days": len(days),
                     "median_rms": statistics.median(rms) if rms else None,
                     "median_weighted_rms": statistics.median(weighted) if weighted else None,
                     "slips_per_day": slips / len(days),
                     "slips_per_1000": 1000.0 * slips / count if count else None})
    return rows


def standout_days(series, factor):
    """Days whose RMS exceeds `factor` times the median RMS of the same
    station and signal, largest ratio first."""
    rows = []
    for signal, days in series.items():
        values = [d["rms"] for d in days if d["rms"] is not None]
        if len(values) < 3:
            continue  # a median of one or two days says nothing about what is usual
        median = statistics.median(values)
        rows += [{"signal": signal, "day": d["day"], "rms": d["rms"], "median_rms": median,
                  "ratio": d["rms"] / median}
                 for d in days if d["rms"] is not None and median > 0 and d["rms"] > factor * median]
    return sorted(rows, key=lambda row: -row["ratio"])


def _calendar_days(first, last):
    return (datetime.date.fromisoformat(last) - datetime.date.fromisoformat(first)).days + 1


def completeness(connection, station):
    """Days analysed and failed, the calendar days of the span without any
    file, and the mean share of the day that the epochs cover."""
    rows = connection.execute(
        "SELECT day, status, epochs, interval FROM station_days WHERE station = ? AND day IS NOT NULL "
        "ORDER BY day", (station,)).fetchall()
    if not rows:
        return {"station": station, "first_day": None, "last_day": None, "days_ok": 0,
                "days_failed": 0, "days_missing": 0, "epoch_coverage": None}
    ok = [(epochs, interval) for _, status, epochs, interval in rows if status == "ok"]
    coverage = [min(1.0, epochs * interval / SECONDS_PER_DAY) for epochs, interval in ok
                if epochs and interval]
    days_present = {day for day, *_ in rows}
    return {"station": station, "first_day": rows[0][0], "last_day": rows[-1][0],
            "days_ok": len(ok), "days_failed": len(rows) - len(ok),
            "days_missing": _calendar_days(rows[0][0], rows[-1][0]) - len(days_present),
            "epoch_coverage": statistics.fmean(coverage) if coverage else None}


def network_summary(connection):
    """Stations, station-days analysed and failed, and the span of days."""
    stations_count, ok, failed, first, last = connection.execute(
        "SELECT COUNT(DISTINCT station), COALESCE(SUM(status = 'ok'), 0), COALESCE(SUM(status != 'ok'), 0), "
        "MIN(day), MAX(day) FROM station_days").fetchone()
    return {"stations": stations_count, "days_ok": ok, "days_failed": failed, "first_day": first, "last_day": last}


def failures(connection):
    return [{"file": file, "station": station, "day": day, "error": error}
            for file, station, day, error in connection.execute(
                "SELECT file, station, day, error FROM station_days WHERE status != 'ok' "
                "ORDER BY station, day, file")]


def station_data(connection, station, factor):
    series = signal_series(connection, station)
    return {"station": station, "completeness": completeness(connection, station),
            "signals": signal_summary(series), "series": series,
            "standout_days": standout_days(series, factor)}


def network_data(connection, factor):
    """Everything the network report shows; the stations come one at a time,
    in the order of `station_names`."""
    names = stations(connection)
    return {"factor": factor, "summary": network_summary(connection), "failures": failures(connection),
            "station_names": names, "stations": (station_data(connection, s, factor) for s in names)}
