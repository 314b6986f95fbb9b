"""RINEX 3.04 observation file writer.

Contract: `rinex3_lines(scenario, tracks)` returns the lines (without line
ends) of a mixed-system RINEX 3.04 observation file: header records with
labels from column 61, observation types per system (13 per line, then
continuation lines), the GLONASS slot/channel table, and per epoch a ">"
line followed by one record line per satellite: the 3-character satellite
and one 16-column field per header code. Missing trailing fields are left
out; missing inner fields are blank.
"""
from .rinex_common import (calendar_fields, epochs_with_members, header_line, observation_field,
                           observed_span, station_header_lines, time_header_lines, wrapped)
from .signals import GLONASS_CHANNELS, SYSTEM_SIGNALS

CODES_PER_TYPE_LINE = 13
SLOTS_PER_LINE = 8


def system_codes(system):
    return [code for signal in SYSTEM_SIGNALS[system] for code in signal.codes]


def observation_type_lines(system, codes):
    pieces = [f" {code}" for code in codes]
    return [header_line(content, "SYS / # / OBS TYPES")
            for content in wrapped(f"{system}  {len(codes):3d}", pieces, CODES_PER_TYPE_LINE)]


def glonass_slot_lines(channels):
    pieces = [f"R{slot:02d} {channels[slot]:2d} " for slot in sorted(channels)]
    return [header_line(content, "GLONASS SLOT / FRQ #")
            for content in wrapped(f"{len(channels):3d} ", pieces, SLOTS_PER_LINE)]


def header_lines(scenario, first_epoch, last_epoch):
    lines = [header_line(f"{'3.04':>9}{'':11}{'OBSERVATION DATA':<20}{'M':<20}", "RINEX VERSION / TYPE")]
    lines += station_header_lines(scenario, marker_type="GEODETIC")
    for system in SYSTEM_SIGNALS:
        lines += observation_type_lines(system, system_codes(system))
    lines.append(header_line("DBHZ", "SIGNAL STRENGTH UNIT"))
    for system in SYSTEM_SIGNALS:
        for code in system_codes(system):
            if code[0] == "L":
                lines.append(header_line(f"{system} {code}  0.00000", "SYS / PHASE SHIFT"))
    lines += time_header_lines(scenario, first_epoch, last_epoch)
    lines += glonass_slot_lines(GLONASS_CHANNELS)
    lines.append(header_line(" C1C    0.000 C1P    0.000 C2C    0.000 C2P    0.000", "GLONASS COD/PHS/BIS"))
    lines.append(header_line("", "END OF HEADER"))
    return lines


def epoch_line(moment, count):
    year, month, day, hour, minute, second = calendar_fields(moment)
    return f"> {year:4d} {month:02d} {day:02d} {hour:02d} {minute:02d}{second:11.7f}  0{count:3d}"


def rinex3_lines(scenario, tracks):
    members = epochs_with_members(scenario, tracks)
    first, last = observed_span(members)
    lines = header_lines(scenario, first, last)
    codes = {system: system_codes(system) for system in SYSTEM_SIGNALS}
    for k, epoch_members in enumerate(members):
        if not epoch_members:
            continue
        lines.append(epoch_line(scenario.epoch_time(k), len(epoch_members)))
        for track, sample in epoch_members:
            fields = "".join(observation_field(track, sample, code) for code in codes[track.satellite.system])
            lines.append((track.satellite.name + fields).rstrip())
    return lines
