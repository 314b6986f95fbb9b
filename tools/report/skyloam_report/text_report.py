"""The report as text a person reads: summary, per-signal table, slips, SNR bands."""
from collections import Counter


def _table(headers, rows, aligns):
    widths = [max(len(h), *(len(r[i]) for r in rows)) if rows else len(h)
              for i, h in enumerate(headers)]
    def line(cells):
        return "  ".join(c.rjust(w) if a == ">" else c.ljust(w)
                         for c, w, a in zip(cells, widths, aligns)).rstrip()
    return [line(headers), line(["-" * w for w in widths])] + [line(r) for r in rows]


def _summary_lines(summary, elevations):
    lines = [f"Observation file  {summary['file']}",
             f"  RINEX {summary['version']}, marker {summary['marker'] or '-'}, "
             f"receiver {summary['receiver'] or '-'}, antenna {summary['antenna'] or '-'}"]
    if summary["geodetic"]:
        lat, lon, height = summary["geodetic"]
        lines.append(f"  approximate position  lat {lat:.6f}  lon {lon:.6f}  h {height:.1f} m")
    interval = summary["interval"]
    lines.append(f"  {summary['epochs']} epochs from {summary['first_epoch']} to "
                 f"{summary['last_epoch']}, interval "
                 f"{'-' if interval is None else format(interval, 'g') + ' s'}")
    systems = ", ".join(f"{code} {count}" for code, count in summary["satellites_by_system"].items())
    lines.append(f"  {summary['satellites']} satellites ({systems or 'none'})")
    if elevations:
        lines += _elevation_lines(elevations)
    else:
        lines.append("  no orbits given (--sp3, --nav): elevations are the 45 degree placeholder")
    return lines


def orbit_files(elevations):
    """The orbit files that gave the elevations, navigation files first, as text."""
    return ", ".join([*elevations["nav"], *([elevations["sp3"]] if elevations["sp3"] else [])])


def cutoff_text(cutoff):
    """Which estimates the statistics cover once orbits gave elevations."""
    return (f"the {cutoff['kept']} estimates at or above the {cutoff['cutoff']:g} degree cutoff; "
            f"{cutoff['below_cutoff']} below it and {cutoff['without_elevation']} without an "
            f"elevation are left out")


def _elevation_lines(elevations):
    return [f"  elevations from {orbit_files(elevations)}: {elevations['computed']} computed, "
            f"{elevations['failed']} not (no orbit, or at or below the horizon)",
            f"  statistics cover {cutoff_text(elevations['cutoff'])}"]


def metres(value):
    """Four decimals, without the sign of a value that rounds to zero."""
    return f"{round(value, 4) + 0.0:.4f}"


def _signal_lines(statistics):
    rows = [[s["signal"], str(s["count"]), metres(s["mean"]), metres(s["std_dev"]),
             metres(s["rms"]), metres(s["weighted_rms"]), str(s["cycle_slips"])]
            for s in statistics]
    headers = ["signal", "count", "mean m", "std m", "RMS m", "wRMS m", "slips"]
    return ["Code multipath per signal"] + _table(headers, rows, "<>>>>>>")


def _slip_lines(report):
    by_method = Counter(c["method"] for c in report["cycle_slips"])
    by_system = Counter((c["system"], c["method"]) for c in report["cycle_slips"])
    lines = [f"Cycle slips: {len(report['cycle_slips'])} records "
             f"(gf {by_method['gf']}, code_phase {by_method['code_phase']}, lli {by_method['lli']})"]
    for system in sorted({s for s, _ in by_system}):
        counts = ", ".join(f"{m} {by_system[(system, m)]}" for m in ("gf", "code_phase", "lli")
                           if by_system[(system, m)])
        lines.append(f"  {system}: {counts}")
    breaks = ", ".join(f"{label} {n}" for label, n in report["cycle_slip_counts"].items())
    lines.append(f"  arc breaks by signal: {breaks or 'none'}")
    return lines


def _snr_lines(snr):
    bands = [f"{lo:g}-{hi:g} s" for lo, hi in snr["bands"]]
    rows = [[sat, row["code"], str(row["samples"]), str(row["arcs"]), str(row["bins"])] +
            [f"{p:.3g}" for p in row["mean_band_power"]] + [""] * (len(bands) - len(row["mean_band_power"]))
            for sat, row in snr["satellites"].items()]
    headers = ["sat", "code", "samples", "arcs", "bins"] + bands
    lines = [f"SNR band power (mean per band, linear amplitude units; interval {snr['interval']:g} s)"]
    if not rows:
        return lines + ["  no satellite has enough SNR samples"]
    return lines + _table(headers, rows, "<<>>>" + ">" * len(bands))


def render(report):
    sections = [_summary_lines(report["summary"], report["elevations"]),
                _signal_lines(report["statistics"]), _slip_lines(report), _snr_lines(report["snr"])]
    return "\n\n".join("\n".join(s) for s in sections) + "\n"
