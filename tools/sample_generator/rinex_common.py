"""Pieces shared by the RINEX 2 and RINEX 3 observation writers.

Contract:
- `header_line(content, label)`: content left-aligned in columns 1-60, the
  label from column 61; content longer than 60 characters is an error.
- `station_header_lines` and `time_header_lines`: the header records both
  generations write identically.
- `wrapped(lead, pieces, per_line)`: pieces spread over lines of `per_line`,
  the first line led by `lead`, the others by as many blanks.
- `observation_field(track, sample, code)`: the 16 characters of one value
  (F14.3, loss-of-lock digit, signal-strength digit), blank when the
  satellite does not track that code.
- `epochs_with_members`: per epoch, the (track, sample) pairs observed then.
"""
from .formats import written_systems

PROGRAM = "skyloam sample"
RUN_BY = "synthetic"
BLANK_FIELD = " " * 16


def header_line(content, label):
    if len(content) > 60:
        raise ValueError(f"header content longer than 60 columns: {content!r}")
    return f"{content:<60}{label}"


def wrapped(lead, pieces, per_line):
    return [(lead if start == 0 else " " * len(lead)) + "".join(pieces[start:start + per_line])
            for start in range(0, len(pieces), per_line)]


def calendar_fields(moment):
    return (moment.year, moment.month, moment.day, moment.hour, moment.minute,
            moment.second + moment.microsecond / 1e6)


def station_header_lines(scenario, marker_type=None):
    x, y, z = scenario.marker
    latitude, longitude, height = scenario.marker_geodetic
    run_date = scenario.start.strftime("%Y%m%d %H%M%S UTC")
    lines = [
        header_line(f"{PROGRAM:<20}{RUN_BY:<20}{run_date:<20}", "PGM / RUN BY / DATE"),
        header_line("Synthetic observations of a static antenna above a flat", "COMMENT"),
        header_line(f"ground reflector {scenario.antenna_height:.3f} m below it; seed {scenario.seed}",
                    "COMMENT"),
        header_line(f"lat {latitude:.6f} lon {longitude:.6f} h {height:.3f}", "COMMENT"),
        header_line(scenario.name, "MARKER NAME"),
        header_line(f"{scenario.name} 00001", "MARKER NUMBER"),
    ]
    if marker_type:
        lines.append(header_line(marker_type, "MARKER TYPE"))
    lines += [
        header_line(f"{'simulation':<20}{'skyloam':<40}", "OBSERVER / AGENCY"),
        header_line(f"{'0001':<20}{'SIMULATED RECEIVER':<20}{'1.0':<20}", "REC # / TYPE / VERS"),
        header_line(f"{'0001':<20}{'SIMULATED ANT':<16}{'NONE':<4}", "ANT # / TYPE"),
        header_line(f"{x:14.4f}{y:14.4f}{z:14.4f}", "APPROX POSITION XYZ"),
        header_line(f"{scenario.antenna_height:14.4f}{0.0:14.4f}{0.0:14.4f}", "ANTENNA: DELTA H/E/N"),
    ]
    return lines


def time_header_lines(scenario, first_epoch, last_epoch):
    def time_line(k, label):
        year, month, day, hour, minute, second = calendar_fields(scenario.epoch_time(k))
        return header_line(f"{year:6d}{month:6d}{day:6d}{hour:6d}{minute:6d}{second:13.7f}     GPS", label)

    lines = [header_line(f"{scenario.interval:10.3f}", "INTERVAL"),
             time_line(first_epoch, "TIME OF FIRST OBS"),
             time_line(last_epoch, "TIME OF LAST OBS")]
    if scenario.start.year >= 2017:
        lines.append(header_line(f"{18:6d}", "LEAP SECONDS"))
    return lines


def signal_strength_indicator(snr):
    """RINEX signal-strength digit of a carrier-to-noise density in dB-Hz."""
    return str(min(9, max(1, int(snr // 6))))


def observation_field(track, sample, code):
    band_track = track.bands.get(code[1])
    if band_track is None or band_track.signal.attribute != code[2]:
        return BLANK_FIELD
    kind = code[0]
    if kind == "S":
        return f"{band_track.snr[sample]:14.3f}  "
    strength = signal_strength_indicator(band_track.snr[sample])
    if kind == "C":
        return f"{band_track.pseudorange[sample]:14.3f} {strength}"
    lost = "1" if sample in band_track.loss_of_lock else " "
    return f"{band_track.phase[sample]:14.3f}{lost}{strength}"


def epochs_with_members(scenario, tracks):
    """List over epochs of the (track, sample) pairs observed, in track order."""
    members = [[] for _ in range(scenario.epoch_count)]
    systems = written_systems(scenario.is_rinex2)
    for track in tracks:
        if track.satellite.system in systems:
            for sample, k in enumerate(track.epochs):
                members[k].append((track, sample))
    return members


def observed_span(members):
    """First and last epoch with observations."""
    observed = [k for k, epoch_members in enumerate(members) if epoch_members]
    return observed[0], observed[-1]
