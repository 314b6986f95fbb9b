"""Generating one sample: simulate, inject events, write the three files.

Contract: `generate(scenario, out_dir)` creates `out_dir` if needed and writes
the observation file (<name>.rnx for RINEX 3, <name>DDD0.YYo for RINEX 2),
<name>.sp3 and <name>_truth.json, all ASCII with LF line ends; it returns
the paths written and the truth document. The same scenario always gives
byte-identical files.
"""
import json
import os

from .constellation import build_constellation
from .events import apply_events, choose_events
from .rinex2 import rinex2_lines
from .rinex3 import rinex3_lines
from .simulation import simulate
from .sp3 import sp3_lines
from .truth import truth_document


def observation_file_name(scenario):
    if scenario.is_rinex2:
        day_of_year = scenario.start.timetuple().tm_yday
        return f"{scenario.name}{day_of_year:03d}0.{scenario.start.year % 100:02d}o"
    return f"{scenario.name}.rnx"


def write_lines(path, lines):
    with open(path, "w", encoding="ascii", newline="\n") as stream:
        stream.write("\n".join(lines))
        stream.write("\n")


def generate(scenario, out_dir):
    """Write the sample; returns ({'observation'|'orbit'|'truth': path}, truth)."""
    satellites = build_constellation(scenario.seed, scenario.orbit_time(0))
    tracks = simulate(scenario, satellites)
    events = choose_events(scenario, tracks)
    apply_events(events)
    os.makedirs(out_dir, exist_ok=True)
    names = {"observation": observation_file_name(scenario),
             "orbit": f"{scenario.name}.sp3",
             "truth": f"{scenario.name}_truth.json"}
    paths = {role: os.path.join(out_dir, name) for role, name in names.items()}
    observation_lines = rinex2_lines if scenario.is_rinex2 else rinex3_lines
    write_lines(paths["observation"], observation_lines(scenario, tracks))
    write_lines(paths["orbit"], sp3_lines(scenario, satellites))
    truth = truth_document(scenario, tracks, events, names)
    with open(paths["truth"], "w", encoding="ascii", newline="\n") as stream:
        json.dump(truth, stream, indent=2)
        stream.write("\n")
    return paths, truth
