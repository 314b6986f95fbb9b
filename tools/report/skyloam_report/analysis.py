"""Runs the analyses of a report and gathers their results as plain Python values.

`run_report(options, progress)` reads the observation file, runs the multipath
analysis, fills elevations from SP3 orbits when given, and runs the
per-satellite SNR analysis. Problems with the user's input raise ReportError
with one line of text; `progress(text)` is told what is being done.
"""
import math
import time

import skyloam_mp as mp


class ReportError(Exception):
    """A problem with the input, reported as one line without a traceback."""


def _timed(progress, what, work):
    progress(f"{what} ...")
    start = time.perf_counter()
    result = work()
    progress(f"{what}: done in {time.perf_counter() - start:.1f} s")
    return result


def _read_observations(path, progress):
    try:
        return _timed(progress, f"reading {path}", lambda: mp.read_rinex_obs(path))
    except OSError as error:
        raise ReportError(str(error)) from None


def sp3_epoch_span(path):
    """First and last epoch of the SP3 file's epoch lines, as Epochs (None if none)."""
    first = last = None
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("*"):
                    try:
                        epoch = mp.Epoch.parse(line[3:31])
                    except ValueError:
                        continue
                    first = first or epoch
                    last = epoch
    except OSError as error:
        raise ReportError(f"Failed to read SP3: {error.strerror or error}") from None
    return first, last


def _check_orbit_coverage(obs, sp3, sp3_path):
    """Orbits are extrapolated without limit, so an SP3 of another day gives
    plausible-looking but wrong elevations: refuse it instead."""
    first, last = sp3_epoch_span(sp3_path)
    if first is None or sp3.num_satellites == 0:
        raise ReportError(f"SP3 file {sp3_path} holds no usable orbit records")
    margin = max(sp3.interval, 900.0) * 2
    obs_first, obs_last = obs.first_epoch(), obs.last_epoch()
    if obs_first is None:
        return
    def seconds(epoch):
        return (epoch.julian_date() - 2451545.0) * 86400.0
    if seconds(obs_first) < seconds(first) - margin or seconds(obs_last) > seconds(last) + margin:
        raise ReportError(
            f"SP3 file {sp3_path} covers {first} to {last}, not the observations "
            f"({obs_first} to {obs_last})")


def _receiver_position(obs, receiver):
    if receiver is not None:
        return mp.Ecef(*receiver)
    if obs.approx_position is None:
        raise ReportError("the observation header has no APPROX POSITION XYZ: give --receiver X,Y,Z")
    return obs.approx_position


def _estimates(results):
    return [{"satellite": e.satellite, "system": e.system, "epoch": e.epoch, "signal": e.signal,
             "mp_value": e.mp_value, "elevation": e.elevation, "azimuth": e.azimuth, "snr": e.snr}
            for e in results.estimates]


def _statistics(results):
    return [{"signal": s.signal, "system": s.system, "code": s.code, "count": s.count,
             "mean": s.mean, "std_dev": s.std_dev, "rms": s.rms, "weighted_rms": s.weighted_rms,
             "min": s.min, "max": s.max, "cycle_slips": s.cycle_slips}
            for s in results.statistics]


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
    elevations = None
    if options.sp3:
        try:
            sp3 = mp.read_sp3(options.sp3)
        except OSError as error:
            raise ReportError(str(error)) from None
        _check_orbit_coverage(obs, sp3, options.sp3)
        receiver = _receiver_position(obs, options.receiver)
        computed, failed = _timed(progress, "elevations from SP3",
                                  lambda: results.compute_elevations(sp3, receiver))
        elevations = {"sp3": options.sp3, "receiver": [receiver.x, receiver.y, receiver.z],
                      "computed": computed, "failed": failed}
    snr = _timed(progress, "SNR band-power analysis", lambda: mp.analyze_snr_wavelets(obs))
    return {
        "summary": _summary(options.obs, obs),
        "elevations": elevations,
        "statistics": _statistics(results),
        "cycle_slip_counts": dict(sorted(results.cycle_slip_counts.items())),
        "cycle_slips": _slips(results),
        "estimates": _estimates(results),
        "snr": {"bands": snr["bands"], "interval": snr["interval"],
                "satellites": _snr_summary(snr), "residuals": snr["residuals"],
                "band_power": snr["band_power"]},
    }
