"""Orbits for a report: elevations and azimuths of the multipath estimates.

`fill_elevations(obs, results, options, timed)` loads the orbit files the
options name (`--nav`, any number, and `--sp3`), checks that they cover the
observations, and fills the estimates' elevations and azimuths; it returns
what was done (or None when no orbits were given). Navigation files are
applied first, in the order given, then the SP3 file, so that precise
orbits win for the satellites they cover. `timed(what, work)` runs one step
and reports it.
"""
import skyloam_mp as mp

from skyloam_report.errors import ReportError

# Observation epochs at which a navigation file is probed for coverage.
NAV_PROBES = 25


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


def probe_epochs(epochs, count=NAV_PROBES):
    """Up to `count` epochs spread evenly over the list, first and last included."""
    if len(epochs) <= count:
        return list(epochs)
    return [epochs[round(i * (len(epochs) - 1) / (count - 1))] for i in range(count)]


def nav_covers(nav, epochs):
    """True when some satellite of the navigation data has a position at one of the epochs."""
    return any(nav.get_position(satellite, epoch) is not None
               for epoch in epochs for satellite in nav.satellites())


def _read_nav(obs, path):
    """Broadcast ephemerides serve only hours around their reference times, so
    a file of another day simply gives no positions: say so instead of
    reporting placeholder elevations."""
    try:
        nav = mp.read_rinex_nav(path)
    except OSError as error:
        raise ReportError(str(error)) from None
    if nav.num_records == 0:
        raise ReportError(f"navigation file {path} holds no usable ephemeris")
    epochs = probe_epochs(obs.epochs())
    if epochs and not nav_covers(nav, epochs):
        raise ReportError(f"navigation file {path} has no ephemeris for the observations "
                          f"({obs.first_epoch()} to {obs.last_epoch()})")
    return nav


def _read_sp3(obs, path):
    try:
        sp3 = mp.read_sp3(path)
    except OSError as error:
        raise ReportError(str(error)) from None
    _check_orbit_coverage(obs, sp3, path)
    return sp3


def receiver_position(obs, receiver):
    if receiver is not None:
        return mp.Ecef(*receiver)
    if obs.approx_position is None:
        raise ReportError("the observation header has no APPROX POSITION XYZ: give --receiver X,Y,Z")
    return obs.approx_position


def fill_elevations(obs, results, options, timed):
    nav_paths = list(getattr(options, "nav", None) or [])
    if not options.sp3 and not nav_paths:
        return None
    sources = [(path, _read_nav(obs, path)) for path in nav_paths]
    if options.sp3:
        sources.append((options.sp3, _read_sp3(obs, options.sp3)))
    receiver = receiver_position(obs, options.receiver)
    for path, orbits in sources:
        timed(f"elevations from {path}", lambda: results.compute_elevations(orbits, receiver))
    return {"sp3": options.sp3, "nav": nav_paths, "receiver": [receiver.x, receiver.y, receiver.z]}
