"""RINEX 2.11 observation file writer.

Contract: `rinex2_lines(scenario, tracks)` returns the lines of a mixed
GPS/GLONASS/Galileo RINEX 2.11 file (the format has no BeiDou). One list of
two-character types serves all systems ("# / TYPES OF OBSERV", nine per
line). Each epoch line carries a two-digit year and up to 12 satellites,
continued on further lines; each satellite then takes ceil(types / 5) lines
of five 16-column fields, blank where the satellite lacks a type (a line may
be empty).
"""
from .formats import RINEX2_SYSTEMS, rinex2_type
from .rinex_common import (BLANK_FIELD, calendar_fields, epochs_with_members, header_line,
                           observation_field, observed_span, station_header_lines, time_header_lines,
                           wrapped)
from .signals import SYSTEM_SIGNALS

TYPES_PER_HEADER_LINE = 9
SATELLITES_PER_EPOCH_LINE = 12
FIELDS_PER_LINE = 5


def observation_types():
    """The union of the written systems' types, in order of first appearance."""
    types = []
    for system in RINEX2_SYSTEMS:
        for signal in SYSTEM_SIGNALS[system]:
            for code in signal.codes:
                if rinex2_type(code) not in types:
                    types.append(rinex2_type(code))
    return types


def codes_by_type(system, types):
    """Per type, the system's three-character code written under it, or None."""
    written = {rinex2_type(code): code for signal in SYSTEM_SIGNALS[system] for code in signal.codes}
    return [written.get(name) for name in types]


def observation_type_lines(types):
    pieces = [f"{name:>6}" for name in types]
    return [header_line(content, "# / TYPES OF OBSERV")
            for content in wrapped(f"{len(types):6d}", pieces, TYPES_PER_HEADER_LINE)]


def header_lines(scenario, types, first_epoch, last_epoch):
    lines = [header_line(f"{'2.11':>9}{'':11}{'OBSERVATION DATA':<20}{'M (MIXED)':<20}",
                         "RINEX VERSION / TYPE")]
    lines += station_header_lines(scenario)
    lines.append(header_line(f"{1:6d}{1:6d}", "WAVELENGTH FACT L1/2"))
    lines += observation_type_lines(types)
    lines += time_header_lines(scenario, first_epoch, last_epoch)
    lines.append(header_line("", "END OF HEADER"))
    return lines


def epoch_lines(moment, names):
    year, month, day, hour, minute, second = calendar_fields(moment)
    lead = f" {year % 100:02d} {month:2d} {day:2d} {hour:2d} {minute:2d}{second:11.7f}  0{len(names):3d}"
    return wrapped(lead, names, SATELLITES_PER_EPOCH_LINE)


def satellite_lines(track, sample, codes):
    fields = [observation_field(track, sample, code) if code else BLANK_FIELD for code in codes]
    return ["".join(fields[start:start + FIELDS_PER_LINE]).rstrip()
            for start in range(0, len(fields), FIELDS_PER_LINE)]


def rinex2_lines(scenario, tracks):
    types = observation_types()
    codes = {system: codes_by_type(system, types) for system in RINEX2_SYSTEMS}
    members = epochs_with_members(scenario, tracks)
    first, last = observed_span(members)
    lines = header_lines(scenario, types, first, last)
    for k, epoch_members in enumerate(members):
        if not epoch_members:
            continue
        lines += epoch_lines(scenario.epoch_time(k), [track.satellite.name for track, _ in epoch_members])
        for track, sample in epoch_members:
            lines += satellite_lines(track, sample, codes[track.satellite.system])
    return lines
