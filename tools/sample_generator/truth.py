"""The JSON truth document of a generated sample.

Contract: `truth_document(scenario, tracks, events, files)` gathers the
generator settings, the receiver, the written file names, the analysis
settings the truth assumes, the expected per-signal statistics
(`analysis_model.expected_statistics`) and the injected cycle slips and
loss-of-lock flags with the detections the analysis should report for them
(`expected_slip_records` counts them all: the analysis' slip list should
hold exactly these records).
Epochs are written as the analysis prints them (2024-03-01T05:30:00.000Z);
phase codes as the reader stores them.
"""
from . import analysis_model
from .analysis_model import expected_statistics, geometry_free_pairs_hit
from .formats import stored_phase_codes
from .events import SLIP


def iso_text(moment):
    return f"{moment:%Y-%m-%dT%H:%M:%S}.{moment.microsecond // 1000:03d}Z"


def expected_detections(event, rinex2):
    phases = stored_phase_codes(event.track, rinex2)
    if event.kind != SLIP:
        return [{"method": "lli", "signal": phases[event.band]}]
    return [{"method": "gf", "signal": phases[band], "second": phases[other]}
            for band, other in geometry_free_pairs_hit(event, rinex2)]


def event_entry(scenario, event):
    rinex2 = scenario.is_rinex2
    entry = {"satellite": event.satellite,
             "epoch": iso_text(scenario.epoch_time(event.epoch)),
             "phase": stored_phase_codes(event.track, rinex2)[event.band]}
    if event.kind == SLIP:
        entry["cycles"] = event.cycles
    else:
        entry["lli"] = 1
    entry["expected_detections"] = expected_detections(event, rinex2)
    return entry


def truth_document(scenario, tracks, events, files):
    latitude, longitude, height = scenario.marker_geodetic
    last = scenario.epoch_count - 1
    return {
        "generator": {
            "seed": scenario.seed,
            "start": iso_text(scenario.start),
            "end": iso_text(scenario.epoch_time(last)),
            "duration": scenario.duration,
            "interval": scenario.interval,
            "epochs": scenario.epoch_count,
            "elevation_mask": scenario.elevation_mask_deg,
            "rinex_version": scenario.rinex_version,
            "sp3_interval": scenario.sp3_interval,
        },
        "receiver": {
            "marker_ecef": list(scenario.marker),
            "antenna_ecef": list(scenario.antenna),
            "latitude": latitude, "longitude": longitude, "height": height,
            "antenna_height": scenario.antenna_height,
        },
        "files": files,
        "analysis_settings": {
            "bias_window_seconds": analysis_model.BIAS_WINDOW_SECONDS,
            "min_arc_seconds": analysis_model.MIN_ARC_SECONDS,
            "min_arc_samples": analysis_model.MIN_ARC_SAMPLES,
            "arc_gap_factor": analysis_model.ARC_GAP_FACTOR,
            "jump_threshold": analysis_model.JUMP_THRESHOLD,
        },
        "signals": expected_statistics(scenario, tracks, events),
        "cycle_slips": [event_entry(scenario, e) for e in events if e.kind == SLIP],
        "loss_of_lock": [event_entry(scenario, e) for e in events if e.kind != SLIP],
        "expected_slip_records": sum(len(expected_detections(e, scenario.is_rinex2)) for e in events),
    }
