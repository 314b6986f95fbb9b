"""The report as one self-contained interactive HTML page (`--html FILE`).

`write_html(report, path, antenna_height)` lays out the sections in the order a
reader looks: file and signals, sky plot, multipath against elevation and
time, tracking, SNR against elevation, SNR spectra, Fresnel zones. Charts
that need elevations say so when none were computed."""
import contextlib
import gc
import math

from skyloam_report.antenna import choose_antenna_height
from skyloam_report.arcs import median_step
from skyloam_report.columns import report_columns
from skyloam_report.elevation_charts import multipath_elevation_chart, snr_elevation_chart
from skyloam_report.fresnel_chart import fresnel_chart
from skyloam_report.html_page import Section, paragraph, render_page
from skyloam_report.sky_chart import satellite_tracks, sky_chart
from skyloam_report.snr_charts import band_power_chart, scalogram_chart
from skyloam_report.summary_section import summary_section
from skyloam_report.time_series_chart import time_series_chart
from skyloam_report.tracking_chart import tracking_chart
from skyloam_report.web_library import plotting_library

NO_ESTIMATES = "No multipath estimates: nothing to draw here."


def elevation_note(report):
    """Why charts that need elevations are not drawn, or None when they can be."""
    if report["elevations"] is None:
        return "No elevations were computed (no orbits given, see --sp3 and --nav): this chart needs them."
    if report["elevations"]["computed"] == 0:
        return "Elevations could not be computed for any estimate (no orbit for these satellites)."
    return None


def page_span(columns, arcs, slips, snr):
    """(start, seconds after it) of the times on the page: the start whole
    Unix seconds, which charts count from."""
    times = columns["time"]
    starts = [times[a.start] for a in arcs] + [r["t0"] for r in snr["residuals"].values()]
    ends = [times[a.stop - 1] for a in arcs] + [r["t0"] + r["t"][-1] for r in snr["residuals"].values() if r["t"]]
    starts.append(min(slips["time"], default=math.inf))
    ends.append(max(slips["time"], default=-math.inf))
    first, last = min(starts), max(ends)
    if not math.isfinite(first):
        return 0, 0
    return math.floor(first), math.ceil(last - math.floor(first))


def _section(title, note, build):
    """A section with the charts `build()` returns (None ones left out), or the note."""
    if note:
        return Section(title, paragraph(note, "note"))
    charts = [c for c in build() if c is not None]
    return Section(title, "" if charts else paragraph("Nothing to draw: too few samples.", "note"), charts)


def report_sections(report, antenna):
    columns, arcs, slips = report_columns(report)
    step = median_step(columns["time"], arcs)
    t0, last = page_span(columns, arcs, slips, report["snr"])
    empty = NO_ESTIMATES if not arcs else None
    no_elevations = empty or elevation_note(report)
    tracks = satellite_tracks(columns, arcs, step) if not no_elevations else {}
    if not antenna.usable():
        fresnel_note = f"No Fresnel zones: the antenna height is {antenna.describe()}."
    else:
        fresnel_note = no_elevations
    return [
        summary_section(report, antenna),
        _section("Sky plot", no_elevations, lambda: [sky_chart(columns, arcs, tracks)]),
        _section("Multipath against elevation", no_elevations,
                 lambda: [multipath_elevation_chart(columns, arcs)]),
        _section("Multipath time series and cycle slips", empty,
                 lambda: [time_series_chart(columns, slips, arcs, t0, last)]),
        _section("Tracking", empty, lambda: [tracking_chart(columns, slips, arcs, t0, step, last)]),
        _section("SNR against elevation", no_elevations, lambda: [snr_elevation_chart(columns, arcs)]),
        _section("SNR spectra", None,
                 lambda: [scalogram_chart(report["snr"], t0), band_power_chart(report["snr"], t0)]),
        _section("Fresnel zones", fresnel_note,
                 lambda: [fresnel_chart(tracks, antenna.metres)]),
    ]


@contextlib.contextmanager
def _report_left_out_of_garbage_collection():
    """A long day's report is millions of objects that live until the end;
    collections that walk them all over again would cost more than the page."""
    gc.freeze()
    try:
        yield
    finally:
        gc.unfreeze()


def html_report(report, antenna):
    marker = report["summary"]["marker"] or report["summary"]["file"]
    title = f"Multipath and SNR report: {marker}"
    with _report_left_out_of_garbage_collection():
        return render_page(title, report_sections(report, antenna), plotting_library())


def write_html(report, path, antenna_height=None):
    """`antenna_height`: metres above the reflector, else the header's."""
    antenna = choose_antenna_height(antenna_height, report["summary"]["file"])
    page = html_report(report, antenna)
    with open(path, "w", encoding="utf-8") as f:
        f.write(page)
