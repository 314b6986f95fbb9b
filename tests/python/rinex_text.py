"""Small RINEX 3 observation texts written by tests, with values the tests control."""
import datetime


def header_lines(obs_types, extra=()):
    """`obs_types`: {"G": ["C1C", "L1C", ...]}; `extra`: (content, label) pairs."""
    lines = ["     3.04           OBSERVATION DATA    M".ljust(60) + "RINEX VERSION / TYPE",
             "TEST".ljust(60) + "MARKER NAME"]
    for system, codes in obs_types.items():
        for start in range(0, len(codes), 13):
            chunk = codes[start:start + 13]
            lead = f"{system}  {len(codes):3d}" if start == 0 else "      "
            lines.append((lead + "".join(f" {c}" for c in chunk)).ljust(60) + "SYS / # / OBS TYPES")
    lines += [content.ljust(60) + label for content, label in extra]
    lines.append(" " * 60 + "END OF HEADER")
    return lines


def field(value, lli=None):
    if value is None:
        return " " * 16
    return f"{value:14.3f}" + (str(lli) if lli is not None else " ") + " "


def observation_file(obs_types, epochs, start=datetime.datetime(2024, 1, 15), extra=()):
    """`epochs`: list of (seconds after start, {sat: {code: value or (value, lli)}})."""
    lines = header_lines(obs_types, extra)
    for offset, sats in epochs:
        t = start + datetime.timedelta(seconds=offset)
        lines.append(f"> {t:%Y %m %d %H %M} {t.second + t.microsecond / 1e6:10.7f}  0{len(sats):3d}")
        for sat, values in sats.items():
            record = sat
            for code in obs_types[sat[0]]:
                value = values.get(code)
                record += field(*value) if isinstance(value, tuple) else field(value)
            lines.append(record.rstrip())
    return "\n".join(lines) + "\n"
