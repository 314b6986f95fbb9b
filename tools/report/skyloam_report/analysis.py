"""Runs the analyses of a report and gathers their results as plain Python values.

`run_report(options, progress)` reads the observation file, runs the multipath
analysis, fills elevations from SP3 or broadcast orbits when given (the
per-signal statistics then cover the estimates at or above the analyzer's
elevation cutoff), and runs the per-satellite SNR analysis. The estimates and
slips, millions for a high-rate day, come as the results' columns;
`estimate_table` turns them into one list per field of an estimate for the
exports. Problems with the user's input raise ReportError with one line of
text; `progress(text)` is told what is being done.
"""
import datetime
import inspect
import math
import time

import skyloam_mp as mp

from skyloam_report.errors import ReportError
from skyloam_report.orbits import fill_elevations


def _timed(progress, what, work):
    progress(f"{what} ...")
    start = time.perf_counter()
    result = work()
    progress(f"{what}: done in {time.perf_counter() - start:.1f} s")
    return result


EXPECTED_INPUT = "expected a RINEX 2, 3 or 4 observation file (plain, .gz, .Z or compact RINEX)"


def _read_observations(path, progress):
    try:
        obs = _timed(progress, f"reading {path}", lambda: mp.read_rinex_obs(path))
    except OSError as error:
        raise ReportError(str(error)) from None
    if obs.num_epochs == 0:
        raise ReportError(f"no observation epochs found in {path}: {EXPECTED_INPUT}")
    return obs


_DAY_MS = 86_400_000
_UNIX_ORDINAL = datetime.date(1970, 1, 1).toordinal()
_CYCLE_DAYS = 146_097  # 400 Gregorian years: the calendar repeats


def epoch_text(milliseconds):
    """ISO text of Unix milliseconds, as the module writes an estimate's epoch (any year)."""
    days, ms_of_day = divmod(milliseconds, _DAY_MS)
    cycles, ordinal = divmod(days + _UNIX_ORDINAL - 1, _CYCLE_DAYS)
    date = datetime.date.fromordinal(ordinal + 1)
    year = date.year + 400 * cycles
    seconds, millis = divmod(ms_of_day, 1000)
    year_text = f"{year:04d}" if 0 <= year <= 9999 else f"{year:+05d}"
    return (f"{year_text}-{date.month:02d}-{date.day:02d}T{seconds // 3600:02d}:"
            f"{seconds // 60 % 60:02d}:{seconds % 60:02d}.{millis:03d}Z")


def estimate_table(columns):
    """The estimates as one list per field of an estimate, from AnalysisResults.columns()."""
    def values(name):
        return memoryview(columns[name]).tolist()

    satellite = values("satellite")
    millis = values("time_ms")
    texts = {ms: epoch_text(ms) for ms in set(millis)}
    systems = [text[0] for text in columns["satellites"]]
    return {
        "satellite": list(map(columns["satellites"].__getitem__, satellite)),
        "system": list(map(systems.__getitem__, satellite)),
        "epoch": list(map(texts.__getitem__, millis)),
        "signal": list(map(columns["signals"].__getitem__, values("signal"))),
        "mp_value": values("mp"),
        "elevation": values("elevation"),
        "azimuth": values("azimuth"),
        "snr": [None if math.isnan(snr) else snr for snr in values("snr")],
    }


def analyzer_cutoff():
    """The elevation cutoff (degrees) of the report's analyzer: its default."""
    return float(inspect.signature(mp.MultipathAnalyzer).parameters["elevation_cutoff"].default)


def _statistics(statistics):
    return [{"signal": s.signal, "system": s.system, "code": s.code, "count": s.count,
             "mean": s.mean, "std_dev": s.std_dev, "rms": s.rms, "weighted_rms": s.weighted_rms,
             "min": s.min, "max": s.max, "cycle_slips": s.cycle_slips}
            for s in statistics]


def _statistics_at_or_above_cutoff(results, elevations):
    """analyze() knows no orbits and counts every estimate, at its placeholder
    elevation; once orbits gave real ones, the statistics keep to what the
    analyzer's cutoff means and cover only the estimates at or above it."""
    cutoff = analyzer_cutoff()
    kept, below, without = results.statistics_at_or_above(cutoff)
    computed = results.total_estimates() - without
    elevations.update(computed=computed, failed=without, cutoff={
        "cutoff": cutoff, "kept": sum(s.count for s in kept), "below_cutoff": below,
        "without_elevation": without})
    return _statistics(kept)


def _slips(results):
    return [{"satellite": c.satellite, "system": c.system, "epoch": c.epoch, "method": c.method,
             "signal": c.signal, "magnitude": c.magnitude, "threshold": c.threshold}
            for c in results.cycle_slips]


def _summary(path, obs):
    position = obs.approx_position
    geodetic = position.to_geodetic() if position is not None else None
    return {
        "file": path,
        "version": obs.version,
        "marker": obs.marker_name,
        "receiver": obs.receiver_type,
        "antenna": obs.antenna_type,
        "approx_position": None if position is None else [position.x, position.y, position.z],
        "geodetic": None if geodetic is None else [geodetic.lat, geodetic.lon, geodetic.height],
        "interval": obs.interval,
        "epochs": obs.num_epochs,
        "first_epoch": None if obs.first_epoch() is None else str(obs.first_epoch()),
        "last_epoch": None if obs.last_epoch() is None else str(obs.last_epoch()),
        "satellites": obs.num_satellites,
        "satellites_by_system": dict(sorted(obs.satellites_by_system().items())),
        "observation_types": {s: obs.observation_types(s)
                              for s in sorted(obs.satellites_by_system())},
    }


def _snr_summary(snr):
    """Per satellite: code, samples, arcs and the mean band power per band."""
    rows = {}
    for sat, residual in snr["residuals"].items():
        power = snr["band_power"].get(sat)
        means = ([sum(series) / len(series) if series else math.nan for series in power["power"]]
                 if power else [])
        rows[sat] = {"code": residual["code"], "samples": len(residual["t"]),
                     "arcs": len(residual["orders"]), "bins": len(power["t"]) if power else 0,
                     "mean_band_power": means}
    return rows


def run_report(options, progress):
    obs = _read_observations(options.obs, progress)
    results = _timed(progress, "multipath analysis",
                     lambda: mp.MultipathAnalyzer(obs).analyze())
    elevations = fill_elevations(obs, results, options, lambda what, work: _timed(progress, what, work))
    statistics = (_statistics(results.statistics) if elevations is None
                  else _statistics_at_or_above_cutoff(results, elevations))
    columns = results.columns()
    snr = _timed(progress, "SNR band-power analysis", lambda: mp.analyze_snr_wavelets(obs))
    return {
        "summary": _summary(options.obs, obs),
        "elevations": elevations,
        "statistics": statistics,
        "cycle_slip_counts": dict(sorted(results.cycle_slip_counts.items())),
        "cycle_slips": _slips(results),
        "columns": columns,
        "slip_columns": results.slip_columns(),
        "snr": {"bands": snr["bands"], "interval": snr["interval"],
                "satellites": _snr_summary(snr), "residuals": snr["residuals"],
                "band_power": snr["band_power"]},
    }
