"""Headless chromium driven over its DevTools pipe (file descriptors 3 and 4,
NUL-separated JSON), standard library only: opens a page from a file URL with
networking off, waits until its charts are drawn, inspects them, collects
exceptions and console errors, and takes a full-page screenshot.

    python -m skyloam_report.browser PAGE.html SCREENSHOT.png
"""
import base64
import fcntl
import json
import os
import pathlib
import select
import shutil
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field

BROWSERS = ("chromium", "chromium-browser")
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--enable-unsafe-swiftshader", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-quic", "--disable-extensions", "--mute-audio", "--hide-scrollbars",
         "--host-resolver-rules=MAP * ~NOTFOUND", "--remote-debugging-pipe"]
WIDTH = 1400
AFTER_TOOLTIPS_FADED = ("new Promise((done) => setTimeout(() => "
                        "requestAnimationFrame(() => requestAnimationFrame(done)), 600))")
"""The hover check leaves tooltips fading out (0.4 s): screenshots wait for them."""

INSPECT = r"""(() => {
  const page = window.skyloamPage;
  const charts = Object.entries(page.charts).map(([id, chart]) => {
    const option = chart.getOption();
    // Layers are canvases of one size: a sampled pixel counts when any layer painted it.
    const layers = Array.from(chart.getDom().querySelectorAll("canvas")).map(
      (canvas) => canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data);
    let painted = 0, sampled = 0;
    for (let i = 0; i < layers[0].length; i += 4 * 97) {
      sampled += 1;
      if (layers.some((p) => p[i + 3] > 0 && (p[i] < 240 || p[i + 1] < 240 || p[i + 2] < 240))) painted += 1;
    }
    // Hover: the tooltip of the first point of each series with data (runs its formatter).
    const tips = [];
    const hidden = ((option.legend || [])[0] || {}).selected || {};
    option.series.forEach((s, index) => {
      if (!Array.isArray(s.data) || !s.data.length || hidden[s.name] === false) return;
      try {
        chart.dispatchAction({type: "showTip", seriesIndex: index, dataIndex: 0});
        tips.push(chart.getDom().innerText.trim());
      } catch (error) {
        tips.push("error: " + error);
      }
    });
    chart.dispatchAction({type: "hideTip"});
    const toolbox = (option.toolbox || [])[0] || {};
    return {id: id, painted: painted / sampled, tips: tips, zooms: (option.dataZoom || []).length,
            exportsPng: !!(toolbox.feature && toolbox.feature.saveAsImage),
            series: option.series.map((s) => ({type: s.type, name: s.name,
                                               length: Array.isArray(s.data) ? s.data.length : 0}))};
  });
  return {drawMs: page.drawMs, height: document.documentElement.scrollHeight, charts: charts};
})()"""

CHOOSE = r"""((id, index) => {
  const select = document.getElementById(id).previousElementSibling.querySelector("select");
  select.value = String(index);
  select.dispatchEvent(new Event("change"));
  return window.skyloamPage.charts[id].getOption().series.map((s) => (
    {type: s.type, name: s.name, length: Array.isArray(s.data) ? s.data.length : 0}));
})"""


class BrowserError(Exception):
    pass


@dataclass
class PageVisit:
    session: str
    seconds: float
    """From navigation until every chart was drawn."""
    draw_ms: float
    """From the page script's start until every chart was drawn, as the page measured it."""
    charts: list
    """Per chart: id, the fraction of sampled canvas pixels painted, its tooltip texts (first
    point of each series with data), zoom controls, PNG export, and its series (type, name, length)."""
    height: int
    errors: list = field(default_factory=list)
    """Uncaught exceptions and console or log errors, as text."""


def find_browser():
    for name in BROWSERS:
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One headless chromium with a fresh profile in its own temporary folder."""

    def __init__(self, executable=None, timeout=60.0):
        executable = executable or find_browser()
        if executable is None:
            raise BrowserError("chromium is not installed")
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="skyloam-browser-")
        to_browser, self._writer = os.pipe()
        self._reader, from_browser = os.pipe()
        def pipes_on_3_and_4():
            # Moved above 4 first, so that neither lands on the other's target.
            high_in = fcntl.fcntl(to_browser, fcntl.F_DUPFD_CLOEXEC, 10)
            high_out = fcntl.fcntl(from_browser, fcntl.F_DUPFD_CLOEXEC, 10)
            os.dup2(high_in, 3)
            os.dup2(high_out, 4)
        # A sanitizer runtime preloaded into the tests is not for the browser.
        environment = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS")}
        self.process = subprocess.Popen(
            [executable, *FLAGS, f"--user-data-dir={self.profile}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=environment, preexec_fn=pipes_on_3_and_4, close_fds=False)
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._next_id = 0
        self.events = []

    def close(self):
        try:
            self._send("Browser.close")
            self.process.wait(timeout=10)
        except (BrowserError, OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        for fd in (self._writer, self._reader):
            os.close(fd)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _send(self, method, params=None, session=None):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._writer, json.dumps(message).encode() + b"\0")
        return self._next_id

    def _receive(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise BrowserError("the browser did not answer in time")
            ready, _, _ = select.select([self._reader], [], [], 0.5)
            if ready:
                chunk = os.read(self._reader, 1 << 20)
                if not chunk:
                    raise BrowserError("the browser closed its pipe")
                self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None):
        """Sends a command and returns its result; events that arrive meanwhile are kept."""
        wanted = self._send(method, params, session)
        deadline = time.monotonic() + self.timeout
        while True:
            message = self._receive(deadline)
            if message.get("id") == wanted:
                if "error" in message:
                    raise BrowserError(f"{method}: {message['error'].get('message')}")
                return message.get("result", {})
            self.events.append(message)

    def wait_for_event(self, method, session, deadline):
        while True:
            for n, event in enumerate(self.events):
                if event.get("method") == method and event.get("sessionId") == session:
                    return self.events.pop(n)
            self.events.append(self._receive(deadline))

    def _evaluate(self, expression, session):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True}, session)
        if "exceptionDetails" in result:
            raise BrowserError(f"page script failed: {result['exceptionDetails'].get('text')}")
        return result["result"].get("value")

    def _errors(self, session):
        errors = []
        for event in self.events:
            if event.get("sessionId") != session:
                continue
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                errors.append(details.get("exception", {}).get("description") or details.get("text"))
            elif method == "Runtime.consoleAPICalled" and params.get("type") == "error":
                errors.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
            elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
                errors.append(params["entry"].get("text"))
        return errors

    def open_page(self, path):
        """Opens a page file offline and waits until its charts are drawn."""
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.call(f"{domain}.enable", session=session)
        self.call("Network.emulateNetworkConditions", {"offline": True, "latency": 0, "downloadThroughput": -1,
                                                       "uploadThroughput": -1}, session)
        self.call("Emulation.setDeviceMetricsOverride", {"width": WIDTH, "height": 1000, "deviceScaleFactor": 1,
                                                         "mobile": False}, session)
        start = time.monotonic()
        deadline = start + self.timeout
        self.call("Page.navigate", {"url": pathlib.Path(path).resolve().as_uri()}, session)
        self.wait_for_event("Page.loadEventFired", session, deadline)
        while not self._evaluate("!!(window.skyloamPage && window.skyloamPage.ready)", session):
            if time.monotonic() > deadline or self._errors(session):
                break
            time.sleep(0.05)
        seconds = time.monotonic() - start
        inspected = self._evaluate(INSPECT, session) if not self._errors(session) else None
        if inspected is None:
            return PageVisit(session, seconds, None, [], 0, self._errors(session) or ["charts never drawn"])
        return PageVisit(session, seconds, inspected["drawMs"], inspected["charts"], inspected["height"],
                         self._errors(session))

    def choose(self, visit, chart_id, index):
        """Picks entry `index` of a chart's drop-down list; returns the chart's
        series then (type, name, length) and the page's errors so far."""
        series = self._evaluate(f"{CHOOSE}({json.dumps(chart_id)}, {int(index)})", visit.session)
        return series, self._errors(visit.session)

    def screenshot(self, visit, path):
        """Saves the whole page as PNG."""
        self.call("Emulation.setDeviceMetricsOverride", {"width": WIDTH, "height": visit.height,
                                                         "deviceScaleFactor": 1, "mobile": False}, visit.session)
        self.call("Runtime.evaluate", {"expression": AFTER_TOOLTIPS_FADED, "awaitPromise": True}, visit.session)
        shot = self.call("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True}, visit.session)
        with open(path, "wb") as f:
            f.write(base64.b64decode(shot["data"]))


def main(argv=None):
    page, picture = (argv or sys.argv[1:])[:2]
    try:
        with Browser() as browser:
            visit = browser.open_page(page)
            if visit.charts:
                browser.screenshot(visit, picture)
    except BrowserError as error:
        print(f"screenshot: {error}", file=sys.stderr)
        return 1
    for error in visit.errors:
        print(f"screenshot: page error: {error}", file=sys.stderr)
    print(f"{page}: {len(visit.charts)} charts drawn in {visit.seconds:.1f} s; screenshot {picture}")
    return 1 if visit.errors or not visit.charts else 0


if __name__ == "__main__":
    sys.exit(main())
