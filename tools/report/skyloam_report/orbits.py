"""Orbits for a report: elevations and azimuths of the multipath estimates.

`fill_elevations(obs, results, options, timed)` loads the orbit files the
options name, checks that they cover the observations, and fills the
estimates' elevations and azimuths; it returns what was done (or None when
no orbits were given). `timed(what, work)` runs one step and reports it.
"""
import skyloam_mp as mp

from skyloam_report.errors import ReportError


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


def receiver_position(obs, receiver):
    if receiver is not None:
        return mp.Ecef(*receiver)
    if obs.approx_position is None:
        raise ReportError("the observation header has no APPROX POSITION XYZ: give --receiver X,Y,Z")
    return obs.approx_position


def fill_elevations(obs, results, options, timed):
    if not options.sp3:
        return None
    try:
        sp3 = mp.read_sp3(options.sp3)
    except OSError as error:
        raise ReportError(str(error)) from None
    _check_orbit_coverage(obs, sp3, options.sp3)
    receiver = receiver_position(obs, options.receiver)
    computed, failed = timed("elevations from SP3", lambda: results.compute_elevations(sp3, receiver))
    return {"sp3": options.sp3, "receiver": [receiver.x, receiver.y, receiver.z],
            "computed": computed, "failed": failed}
