#!/usr/bin/env python3
"""Generate a synthetic multi-GNSS sample: RINEX observations, SP3 orbits, JSON truth.

Usage (standard library only, CPython 3.12):
  python3.12 tools/generate_sample.py --out DIR [--seed 1]
      [--start 2024-03-01T00:00:00] [--duration 86400] [--interval 30]
      [--receiver X,Y,Z | --lat DEG --lon DEG --height M]
      [--antenna-height 2.0] [--rinex-version 3.04|2.11] [--name SKYL]

Writes DIR/<name>.rnx (RINEX 2: DIR/<name>DDD0.YYo), DIR/<name>.sp3 and
DIR/<name>_truth.json and prints what it wrote. The output depends only on
the arguments: the same arguments give byte-identical files. Importable:
`main(argv)` runs the command, `scenario_from_arguments(argv)` builds the
settings, and `sample_generator.run.generate` writes a sample.
"""
import argparse
import os
import sys
from datetime import datetime

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from sample_generator.geometry import geodetic_to_ecef  # noqa: E402
from sample_generator.run import generate  # noqa: E402
from sample_generator.scenario import Scenario  # noqa: E402

DEFAULT_LATITUDE = 48.2
DEFAULT_LONGITUDE = 11.6
DEFAULT_HEIGHT = 520.0


def ecef_triple(text):
    parts = text.split(",")
    if len(parts) != 3:
        raise argparse.ArgumentTypeError("expected X,Y,Z in metres")
    return tuple(float(part) for part in parts)


def argument_parser():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="output folder (created if missing)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--start", type=datetime.fromisoformat, default=datetime(2024, 3, 1),
                        help="first epoch, GPS time, ISO form (default 2024-03-01T00:00:00)")
    parser.add_argument("--duration", type=float, default=86400.0, help="seconds (default 86400)")
    parser.add_argument("--interval", type=float, default=30.0, help="seconds between epochs (default 30)")
    parser.add_argument("--receiver", type=ecef_triple, help="marker position X,Y,Z (ECEF metres)")
    parser.add_argument("--lat", type=float, help=f"marker latitude, degrees (default {DEFAULT_LATITUDE})")
    parser.add_argument("--lon", type=float, help=f"marker longitude, degrees (default {DEFAULT_LONGITUDE})")
    parser.add_argument("--height", type=float,
                        help=f"marker ellipsoidal height, m (default {DEFAULT_HEIGHT})")
    parser.add_argument("--antenna-height", type=float, default=2.0,
                        help="antenna height above the reflecting ground, m (default 2.0)")
    parser.add_argument("--rinex-version", choices=("3.04", "2.11"), default="3.04")
    parser.add_argument("--name", default="SKYL", help="marker name and file stem (default SKYL)")
    parser.add_argument("--elevation-mask", type=float, default=5.0, help="degrees (default 5)")
    parser.add_argument("--sp3-interval", type=float, choices=(300.0, 900.0), default=900.0,
                        help="seconds between SP3 epochs (default 900)")
    parser.add_argument("--slips", type=int, default=6, help="cycle slips to inject (default 6)")
    parser.add_argument("--loss-of-lock", type=int, default=4, help="loss-of-lock flags to set (default 4)")
    return parser


def marker_position(arguments, parser):
    geodetic = (arguments.lat, arguments.lon, arguments.height)
    if arguments.receiver is not None:
        if any(value is not None for value in geodetic):
            parser.error("give either --receiver or --lat/--lon/--height, not both")
        return arguments.receiver
    defaults = (DEFAULT_LATITUDE, DEFAULT_LONGITUDE, DEFAULT_HEIGHT)
    return geodetic_to_ecef(*(d if v is None else v for v, d in zip(geodetic, defaults)))


def scenario_from_arguments(argv=None):
    """The output folder and the `Scenario` described by command-line arguments."""
    parser = argument_parser()
    arguments = parser.parse_args(argv)
    try:
        scenario = Scenario(
            marker=marker_position(arguments, parser), start=arguments.start,
            duration=arguments.duration, interval=arguments.interval,
            antenna_height=arguments.antenna_height, elevation_mask_deg=arguments.elevation_mask,
            seed=arguments.seed, rinex_version=arguments.rinex_version, name=arguments.name,
            sp3_interval=arguments.sp3_interval, slip_count=arguments.slips,
            loss_of_lock_count=arguments.loss_of_lock)
    except ValueError as error:
        parser.error(str(error))
    return arguments.out, scenario


def report(scenario, paths, truth):
    for role, path in paths.items():
        print(f"wrote {role:<12} {path} ({os.path.getsize(path)} bytes)")
    generator = truth["generator"]
    print(f"{generator['epochs']} epochs from {generator['start']} every {generator['interval']:g} s; "
          f"{len(truth['cycle_slips'])} cycle slips, {len(truth['loss_of_lock'])} loss-of-lock flags")
    if (len(truth["cycle_slips"]), len(truth["loss_of_lock"])) != (scenario.slip_count,
                                                                    scenario.loss_of_lock_count):
        print("note: the span leaves room for fewer events than requested (each needs 20 minutes"
              " of continuous tracking on both sides)")
    for label, statistics in truth["signals"].items():
        print(f"  {label}: expected rms {statistics['rms']:.4f} m over {statistics['count']} samples")


def main(argv=None):
    out_dir, scenario = scenario_from_arguments(argv)
    paths, truth = generate(scenario, out_dir)
    report(scenario, paths, truth)
    return 0


if __name__ == "__main__":
    sys.exit(main())
