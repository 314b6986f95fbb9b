// Draws the charts of a report page from the JSON chart list embedded in it.
// Options are plain JSON; {"$fn": name, "args": [...]} stands for one of the
// functions below. window.skyloamPage.ready turns true once every chart has
// finished drawing (browser checks wait for it).
(function () {
  "use strict";
  const page = window.skyloamPage = {ready: false, charts: {}, drawMs: null};
  const started = performance.now();
  const LEVELS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/";

  function utcText(seconds) {
    return new Date(seconds * 1000).toISOString().replace("T", " ").slice(0, 19);
  }

  function clip(shape, params) {
    return echarts.graphic.clipRectByRect(shape, {
      x: params.coordSys.x, y: params.coordSys.y,
      width: params.coordSys.width, height: params.coordSys.height});
  }

  const functions = {
    // Axis label of seconds since t0 as UTC clock time.
    clock: (t0) => (value) => utcText(t0 + value).slice(11, 16),
    // Tooltip of points [seconds since t0, value]: UTC time, then each series' value.
    pointTooltip: (t0, unit) => (points) => {
      const shown = (Array.isArray(points) ? points : [points]).filter((p) => p.value && p.value[1] !== null);
      if (!shown.length) return "";
      return `${utcText(t0 + shown[0].value[0])} UTC` + shown.map((p) =>
        `<br>${p.marker}${p.seriesName}: ${p.value.length > 2 ? p.value[2] : p.value[1] + " " + unit}`).join("");
    },
    // Tooltip of a point as "label: value" lines, one per value.
    valuesTooltip: (labels) => (p) =>
      `${p.marker}${p.seriesName}` + labels.map((label, i) => `<br>${label}: ${p.value[i]}`).join(""),
    // Sky cell [elevation from, azimuth from, value, count] as a polar patch.
    polarCell: (elevationStep, azimuthStep) => (params, api) => {
      const elevations = [api.value(0), api.value(0) + elevationStep];
      const azimuths = [api.value(1), api.value(1) + azimuthStep];
      const steps = 4, points = [];
      for (let i = 0; i <= steps; i++) {
        points.push(api.coord([elevations[0], azimuths[0] + (azimuths[1] - azimuths[0]) * i / steps]));
      }
      for (let i = steps; i >= 0; i--) {
        points.push(api.coord([elevations[1], azimuths[0] + (azimuths[1] - azimuths[0]) * i / steps]));
      }
      return {type: "polygon", shape: {points: points},
              style: {fill: api.visual("color"), stroke: "rgba(255,255,255,0.7)", lineWidth: 0.5}};
    },
    cellTooltip: (elevationStep, azimuthStep, unit) => (p) =>
      `${p.seriesName}<br>elevation ${p.value[0]}–${p.value[0] + elevationStep}°, ` +
      `azimuth ${p.value[1]}–${p.value[1] + azimuthStep}°<br>RMS ${p.value[2]} ${unit} (${p.value[3]} estimates)`,
    // Tracked interval [row, start, stop] as a bar along the time axis.
    trackBar: () => (params, api) => {
      const row = api.value(0);
      const start = api.coord([api.value(1), row]), stop = api.coord([api.value(2), row]);
      const height = api.size([0, 1])[1] * 0.55;
      const shape = clip({x: start[0], y: start[1] - height / 2,
                          width: Math.max(stop[0] - start[0], 1), height: height}, params);
      return shape && {type: "rect", shape: shape, style: api.style()};
    },
    intervalTooltip: (t0, rows) => (p) =>
      `${rows[p.value[0]]}<br>${utcText(t0 + p.value[1])} – ${utcText(t0 + p.value[2]).slice(11)} UTC`,
    // Marker [seconds since t0, row or 0, text]: what, when, on which phase.
    markTooltip: (t0) => (p) =>
      `${p.seriesName}<br>${utcText(t0 + p.value[0])} UTC<br>${p.value[2]}`,
    // Point [Unix milliseconds of a day, value, optional text]: the day, the value, the text.
    dayTooltip: (unit) => (p) =>
      `${p.marker}${p.seriesName}<br>${utcText(p.value[0] / 1000).slice(0, 10)}<br>${p.value[1]} ${unit}` +
      (p.value.length > 2 ? `<br>${p.value[2]}` : ""),
    // Heatmap cell [x, y, log10 value] (or the value itself when linear) named
    // by its axis labels, with the value in the tooltip.
    heatTooltip: (xs, ys, what, linear) => (p) =>
      `${ys[p.value[1]]}, ${xs[p.value[0]]}<br>${what} ` +
      (linear ? p.value[2] : Number(Math.pow(10, p.value[2]).toPrecision(3))),
    // Rows of levels, one character per cell (see heatmap_rows in snr_charts.py),
    // as heatmap cells [x, y, log10 value].
    heatmapGrid: (rows, lowest) => {
      const cells = [];
      rows.forEach((row, y) => {
        for (let x = 0; x < row.length; x++) {
          const level = LEVELS.indexOf(row[x]);
          if (level >= 0) cells.push([x, y, (lowest + level) / 10]);
        }
      });
      return cells;
    },
  };

  function resolve(value) {
    if (Array.isArray(value)) return value.map(resolve);
    if (value && typeof value === "object") {
      if (typeof value.$fn === "string") return functions[value.$fn](...value.args);
      const out = {};
      for (const key of Object.keys(value)) out[key] = resolve(value[key]);
      return out;
    }
    return value;
  }

  function addChooser(element, chart, choices) {
    const label = document.createElement("label");
    label.className = "chooser";
    label.textContent = choices.label + " ";
    const select = document.createElement("select");
    choices.names.forEach((name, i) => select.add(new Option(name, String(i))));
    select.value = String(choices.selected);
    select.addEventListener("change", () =>
      chart.setOption(resolve(choices.patches[Number(select.value)])));
    label.appendChild(select);
    element.parentNode.insertBefore(label, element);
  }

  const entries = JSON.parse(document.getElementById("page-charts").textContent);
  const widths = new Map();
  let pending = entries.length;
  function finished() {
    pending -= 1;
    if (pending === 0) {
      page.drawMs = performance.now() - started;
      page.ready = true;
    }
  }
  for (const entry of entries) {
    const element = document.getElementById(entry.id);
    const chart = echarts.init(element, null, {renderer: "canvas"});
    page.charts[entry.id] = chart;
    widths.set(chart, element.clientWidth);
    chart.on("finished", function once() { chart.off("finished", once); finished(); });
    chart.setOption(resolve(entry.option));
    if (entry.choices) addChooser(element, chart, entry.choices);
  }
  if (pending === 0) page.ready = true;
  // Redrawn only when its width changed: a taller window leaves the charts as they are.
  window.addEventListener("resize", () => Object.values(page.charts).forEach((chart) => {
    const width = chart.getDom().clientWidth;
    if (widths.has(chart) && widths.get(chart) === width) return;
    widths.set(chart, width);
    chart.resize();
  }));
})();
