"""RINEX 3 navigation text made up for tests: GPS records with a realistic orbit."""


def _field(value):
    return " " * 19 if value is None else f"{value:19.12E}".replace("E", "D")


def keplerian_numbers(toe, health=0.0):
    """The 31 numbers of a healthy GPS record with toe at `toe` seconds of the week."""
    return [1.5e-4, 2.0e-12, 0.0, 56.0, 20.5, 4.5e-9, 0.2, 1.0e-6, 0.01, 5.0e-6, 5153.7,
            toe, 1.0e-7, 1.0, -1.0e-7, 0.96, 200.0, 0.5, -8.0e-9, 1.0e-10, 1.0, 2111.0, 0.0,
            2.0, health, -1.0e-8, 56.0, toe - 7200.0, 4.0]


def record(satellite, fields, numbers):
    """`fields`: year, month, day, hour, minute, second."""
    y, mo, d, h, mi, s = fields
    lines = [f"{satellite} {y:04d} {mo:02d} {d:02d} {h:02d} {mi:02d} {s:02d}" +
             "".join(_field(v) for v in numbers[:3])]
    for i in range(3, len(numbers), 4):
        lines.append("    " + "".join(_field(v) for v in numbers[i:i + 4]))
    return "\n".join(lines) + "\n"


def nav_file(records, version="3.05", file_type="N", leap_seconds=18):
    head = f"{version:>9}{'':11}{file_type}{'':19}M"
    lines = [f"{head:<60}RINEX VERSION / TYPE"]
    if leap_seconds is not None:
        lines.append(f"{leap_seconds:6d}{'':54}LEAP SECONDS")
    lines.append(f"{'':60}END OF HEADER")
    return "\n".join(lines) + "\n" + "".join(records)


def gps_day(satellites=("G01", "G02"), date=(2020, 6, 25), toe_of_day=345600.0):
    """Ephemerides every two hours of one day (2020-06-25 is a Thursday: day 4 of its week)."""
    return nav_file([record(sat, (*date, hour, 0, 0), keplerian_numbers(toe_of_day + 3600.0 * hour))
                     for hour in range(0, 24, 2) for sat in satellites])
