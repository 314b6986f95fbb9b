"""The page's first section: the file summary and the per-signal table of the
text report, with RMS bars per signal."""
from skyloam_report.chart_options import LEGEND_TOP, base_option, rounded
from skyloam_report.html_page import Chart, Section, paragraph, table, text
from skyloam_report.text_report import cutoff_text, metres, orbit_files


def summary_rows(summary, elevations, antenna):
    """(term, description) pairs of the file summary."""
    rows = [("file", summary["file"]),
            ("RINEX", f"{summary['version']}, marker {summary['marker'] or '-'}"),
            ("receiver / antenna", f"{summary['receiver'] or '-'} / {summary['antenna'] or '-'}")]
    if summary["geodetic"]:
        lat, lon, height = summary["geodetic"]
        rows.append(("approximate position", f"lat {lat:.6f}°, lon {lon:.6f}°, h {height:.1f} m"))
    interval = summary["interval"]
    rows.append(("epochs", f"{summary['epochs']} from {summary['first_epoch']} to {summary['last_epoch']}, "
                           f"interval {'-' if interval is None else format(interval, 'g') + ' s'}"))
    systems = ", ".join(f"{code} {count}" for code, count in summary["satellites_by_system"].items())
    rows.append(("satellites", f"{summary['satellites']} ({systems or 'none'})"))
    rows.append(("elevations", f"from {orbit_files(elevations)}: {elevations['computed']} computed, "
                               f"{elevations['failed']} not" if elevations
                 else "none computed (no orbits given: --sp3, --nav)"))
    if elevations:
        rows.append(("statistics", cutoff_text(elevations["cutoff"])))
    rows.append(("antenna height", antenna.describe()))
    return rows


def _signal_table(statistics):
    rows = [[s["signal"], s["count"], metres(s["mean"]), metres(s["std_dev"]), metres(s["rms"]),
             metres(s["weighted_rms"]), s["cycle_slips"]] for s in statistics]
    return table(["signal", "count", "mean m", "std m", "RMS m", "wRMS m", "slips"], rows,
                 numeric_columns=range(1, 7))


def rms_bars(statistics):
    signals = [s["signal"] for s in statistics]
    option = base_option("Code multipath RMS per signal", "wRMS: elevation-weighted RMS")
    option.update({"legend": {"top": LEGEND_TOP}, "tooltip": {"trigger": "axis", "confine": True},
                   "grid": {"top": 90, "left": 70, "right": 40, "bottom": 90},
                   "xAxis": {"type": "category", "data": signals, "axisLabel": {"rotate": 40}},
                   "yAxis": {"type": "value", "name": "m"},
                   "series": [{"type": "bar", "name": name, "data": [rounded(s[key], 4) for s in statistics]}
                              for name, key in (("RMS", "rms"), ("wRMS", "weighted_rms"))]})
    return Chart("signal-rms", option, height=380)


def summary_section(report, antenna):
    terms = "".join(f"<dt>{text(term)}</dt><dd>{text(value)}</dd>"
                    for term, value in summary_rows(report["summary"], report["elevations"], antenna))
    body = f'<dl class="summary">{terms}</dl>'
    statistics = report["statistics"]
    if not statistics:
        return Section("File and signals", body + paragraph("No signal gave multipath estimates.", "note"))
    return Section("File and signals", body + _signal_table(statistics), [rms_bars(statistics)])
