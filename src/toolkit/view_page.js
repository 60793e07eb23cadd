"use strict";
// The route viewer: a plan of the line and bands along one distance axis, drawn on two canvases
// from the JSON the program put in the page. Everything is drawn per pixel column, so the
// longest line costs no more to draw than a short one.
(function () {
  const data = JSON.parse(document.getElementById("view-data").textContent);
  const header = data.header;
  const cellM = header.cell;
  const extent = Math.max(cellM, header.cells * cellM);
  const lineLength = header.length;

  // ---- distances: route metres and the railway kilometre reckoning -------------------------

  // The offset of the progressive with the greatest start at or before m (the first of equal
  // starts), none before the first.
  const progressives = data.progressives;
  function offsetAt(m) {
    let best = null;
    for (const p of progressives) {
      if (p[0] <= m && (best === null || p[0] > best[0])) best = p;
    }
    return best === null ? 0 : best[1];
  }
  function railway(m) { return m + offsetAt(m); }
  function kmText(metres) {
    const v = Math.round(metres);
    const mag = Math.abs(v);
    const rest = String(mag % 1000).padStart(3, "0");
    return (v < 0 ? "-" : "") + Math.floor(mag / 1000) + "+" + rest;
  }
  function placeText(m) {
    return "km " + kmText(railway(m)) + " (route " + Math.round(m) + " m)";
  }
  // Stretches of route with one offset each: [from, to, offset].
  function segments() {
    const cuts = [0];
    for (const p of progressives) if (p[0] > 0 && p[0] < extent) cuts.push(p[0]);
    cuts.sort((a, b) => a - b);
    const out = [];
    for (let i = 0; i < cuts.length; ++i) {
      const to = i + 1 < cuts.length ? cuts[i + 1] : extent;
      if (to > cuts[i]) out.push([cuts[i], to, offsetAt(cuts[i])]);
    }
    return out;
  }
  const routeSegments = segments();
  // A railway range in route metres: where the line holds most of it (a reckoning that starts
  // again can hold the same kilometres twice).
  function routeRangeOfRailway(a, b) {
    let best = null, bestOverlap = -1;
    for (const [from, to, off] of routeSegments) {
      const lo = Math.max(a, from + off), hi = Math.min(b, to + off);
      if (hi - lo > bestOverlap) { bestOverlap = hi - lo; best = [lo - off, hi - off]; }
    }
    return bestOverlap > 0 ? best : null;
  }

  // ---- the data, in the forms the bands draw --------------------------------------------------

  // Runs of [first cell, last cell, value] as metre arrays.
  function runArrays(runs) {
    const r = { from: [], to: [], value: [] };
    for (const [a, b, v] of runs || []) {
      r.from.push(a * cellM); r.to.push((b + 1) * cellM); r.value.push(v);
    }
    return r;
  }
  const gradient = runArrays(data.runs.gradient);
  const lineSpeed = runArrays(data.runs.speed);
  const adhesion = runArrays(data.runs.adhesion);
  const mountains = runArrays((data.runs.mountain || []).filter((r) => r[2] !== 0));

  // Elevation integrated from the gradients, in metres, at every run boundary.
  function elevationPoints() {
    const m = [], v = [];
    let h = 0;
    for (let i = 0; i < gradient.from.length; ++i) {
      if (i === 0) { m.push(gradient.from[0]); v.push(0); }
      h += gradient.value[i] / 1000 * (gradient.to[i] - gradient.from[i]);
      m.push(gradient.to[i]); v.push(Math.round(h * 10) / 10);
    }
    return { m, v };
  }
  const elevation = elevationPoints();

  const plan = data.plan;
  const curvature = { m: [], v: [] };
  if (plan) {
    for (let i = 0; i < plan.curvature.length; ++i) {
      curvature.m.push(i * plan.step); curvature.v.push(plan.curvature[i]);
    }
  }

  const objects = data.objects;
  const byKind = {};
  for (const o of objects) (byKind[o.kind] = byKind[o.kind] || []).push(o);
  const ofKind = (k) => byKind[k] || [];

  // The speed envelope cell by cell: the line speed, the last board's (category A) speed and
  // the slowdowns; the lowest of them is what the train may run at.
  function envelope() {
    const cells = header.cells;
    const board = new Array(cells).fill(Infinity), slow = new Array(cells).fill(Infinity);
    const boards = ofKind("speed_board");
    for (let i = 0; i < boards.length; ++i) {
      const end = i + 1 < boards.length ? boards[i + 1].cell : cells;
      for (let c = boards[i].cell; c < end; ++c) board[c] = boards[i].speeds[0];
    }
    for (const s of ofKind("slowdown_start")) {
      for (let c = s.cell; c < Math.min(cells, s.end_m / cellM); ++c) {
        slow[c] = Math.min(slow[c], s.speed);
      }
    }
    const lowest = [];
    let li = 0;
    for (let c = 0; c < cells; ++c) {
      while (li + 1 < lineSpeed.from.length && lineSpeed.to[li] <= c * cellM) ++li;
      const line = lineSpeed.from.length ? lineSpeed.value[li] : Infinity;
      const v = Math.min(line > 0 ? line : Infinity, board[c], slow[c]);
      lowest.push([c, c, isFinite(v) ? v : 0]);
    }
    const merged = [];
    for (const r of lowest) {
      const last = merged[merged.length - 1];
      if (last && last[2] === r[2]) last[1] = r[1]; else merged.push(r.slice());
    }
    const boardRuns = [];
    for (let c = 0; c < cells; ++c) {
      if (!isFinite(board[c])) continue;
      const last = boardRuns[boardRuns.length - 1];
      if (last && last[2] === board[c] && last[1] === c - 1) last[1] = c;
      else boardRuns.push([c, c, board[c]]);
    }
    return { lowest: runArrays(merged), boards: runArrays(boardRuns) };
  }
  const speedEnvelope = envelope();

  // The cab code in force from each code point to the next code or code-off point.
  function codeRuns() {
    const r = { from: [], to: [], value: [] };
    const points = objects.filter((o) => o.kind === "code_point" || o.kind === "code_off_point");
    for (let i = 0; i < points.length; ++i) {
      if (points[i].kind !== "code_point") continue;
      r.from.push(points[i].m);
      r.to.push(i + 1 < points.length ? points[i + 1].m : extent);
      r.value.push(points[i].code);
    }
    return r;
  }
  const codes = codeRuns();

  const stations = data.stations;
  const diagnostics = data.diagnostics.map((d, i) => Object.assign({ index: i }, d));
  const boards = ofKind("direction_board").map((o) => Object.assign({ label: o.lines.join(" / ") }, o));

  // ---- colours: one per meaning, named in the legend ---------------------------------------

  const ink = {
    grid: "#e4e4e4", axis: "#222", caption: "#555", band: "#fafafa", frame: "#ccc",
    station: "#c0392b", stationArea: "#f5b7b1", stop: "#222",
    elevation: "#7d5a2b", gradient: "#b07d3a", curvature: "#16a085",
    lineSpeed: "#1f6fb2", boardSpeed: "#8e44ad", slowdown: "#f39c12", lowest: "#111",
    adhesion: "#2e8b57", signal: "#333", delayedSignal: "#d35400",
    code: { 75: "#f1c40f", 120: "#e67e22", 180: "#e74c3c", 270: "#27ae60" }, otherCode: "#7f8c8d",
    codeOff: "#2c3e50", mountain: "#a0522d", directionBoard: "#6c3483",
    error: "#b00020", warning: "#c98a00", runOn: "#9aa3ad", cursor: "#0a64d6",
    track: "#1f3b73", trackFaint: "#c9d3e3",
  };
  const codeInk = (c) => ink.code[c] || ink.otherCode;

  // ---- the view: a range of route metres ------------------------------------------------------

  const view = { from: 0, to: extent };
  const minSpan = 200;
  let cursorM = null;

  function setRange(from, to) {
    let span = Math.max(minSpan, Math.min(extent, to - from));
    let a = Math.max(0, Math.min(from, extent - span));
    if (to - from < minSpan) a = Math.max(0, Math.min((from + to) / 2 - span / 2, extent - span));
    view.from = a; view.to = a + span;
    document.getElementById("km-from").value = kmText(railway(view.from));
    document.getElementById("km-to").value = kmText(railway(view.to));
    fitPlanToRange();
    redraw(true);
  }

  // ---- canvases -----------------------------------------------------------------------------

  const planCanvas = document.getElementById("plan");
  const bandsCanvas = document.getElementById("bands");
  const tip = document.getElementById("tip");
  const dpr = window.devicePixelRatio || 1;
  const gutter = 168, rightMargin = 28;
  const bandGap = 6;
  const hasDiagnostics = diagnostics.some((d) => d.position !== null);
  const bandList = [
    { id: "axis", title: "railway km", height: 36 },
    { id: "stations", title: "stations", height: 92 },
    { id: "elevation", title: "elevation\nfrom start", unit: "m", height: 80 },
    { id: "gradient", title: "gradient", unit: "\u2030", height: 64 },
    { id: "curvature", title: "curvature", unit: "1/km", height: 54 },
    { id: "speed", title: "speed", unit: "km/h", height: 110 },
    { id: "adhesion", title: "adhesion", height: 44 },
    { id: "signals", title: "signals", height: 32 },
    { id: "codes", title: "code points", height: 32 },
    { id: "boards", title: "boards,\nmountains", height: 40 },
  ];
  if (hasDiagnostics) bandList.push({ id: "diagnostics", title: "diagnostics", height: 28 });
  bandList.push({ id: "route", title: "route position", height: 34 });
  let top = 4;
  for (const b of bandList) { b.top = top; top += b.height + bandGap; }
  const bandsHeight = top;
  const bandById = {};
  for (const b of bandList) bandById[b.id] = b;

  let bandsBase = null, planBase = null;
  // Resizing a canvas clears and reallocates it, so it is done only when the size changes.
  function sizeCanvas(c, height) {
    const w = Math.max(300, c.clientWidth);
    const pw = Math.round(w * dpr), ph = Math.round(height * dpr);
    if (c.width !== pw || c.height !== ph) { c.width = pw; c.height = ph; c.style.height = height + "px"; }
    return w;
  }
  // Each canvas has a transparent one over it for the cursor, so moving the cursor redraws
  // nothing beneath it.
  function overlayOf(c) {
    const wrap = document.createElement("div");
    wrap.className = "layer";
    c.parentNode.insertBefore(wrap, c);
    wrap.appendChild(c);
    const over = document.createElement("canvas");
    over.className = "over";
    wrap.appendChild(over);
    return over;
  }
  const planOver = overlayOf(planCanvas), bandsOver = overlayOf(bandsCanvas);
  // The canvas cleared for a full drawing, in CSS pixels; its overlay takes the same size.
  function baseFor(previous, c) {
    const over = c === planCanvas ? planOver : bandsOver;
    if (over.width !== c.width || over.height !== c.height) {
      over.width = c.width; over.height = c.height;
      over.style.width = c.clientWidth + "px"; over.style.height = c.style.height;
    }
    const g = c.getContext("2d");
    g.setTransform(dpr, 0, 0, dpr, 0, 0);
    g.clearRect(0, 0, c.width, c.height);
    return { base: c, g };
  }
  let bandsWidth = 0, planWidth = 0;
  const planHeight = 300;
  function plotWidth() { return bandsWidth - gutter - rightMargin; }
  function xOf(m) { return gutter + (m - view.from) / (view.to - view.from) * plotWidth(); }
  function mOf(x) { return view.from + (x - gutter) / plotWidth() * (view.to - view.from); }

  // ---- per pixel column downsampling ----------------------------------------------------------

  // Each column's first, lowest, highest and last value of runs over metre ranges.
  function columnsOfRuns(r) {
    const w = Math.ceil(plotWidth());
    const cols = { first: new Float64Array(w).fill(NaN), min: new Float64Array(w).fill(Infinity),
                   max: new Float64Array(w).fill(-Infinity), last: new Float64Array(w).fill(NaN) };
    let i = lowerBound(r.to, view.from);
    for (; i < r.from.length && r.from[i] < view.to; ++i) {
      const c0 = Math.max(0, Math.floor(xOf(r.from[i]) - gutter));
      const c1 = Math.min(w - 1, Math.floor(xOf(r.to[i]) - gutter - 1e-9));
      for (let c = c0; c <= c1; ++c) put(cols, c, r.value[i]);
    }
    return cols;
  }
  // Samples joined by straight lines: each column holds the line at its two edges and every
  // sample inside it.
  function columnsOfPoints(p) {
    const w = Math.ceil(plotWidth());
    const cols = { first: new Float64Array(w).fill(NaN), min: new Float64Array(w).fill(Infinity),
                   max: new Float64Array(w).fill(-Infinity), last: new Float64Array(w).fill(NaN) };
    if (p.m.length === 0) return cols;
    const at = (m, i) => {
      if (i <= 0) return p.v[0];
      if (i >= p.m.length) return p.v[p.m.length - 1];
      const t = (m - p.m[i - 1]) / (p.m[i] - p.m[i - 1]);
      return p.v[i - 1] + t * (p.v[i] - p.v[i - 1]);
    };
    let i = lowerBound(p.m, view.from);
    for (let c = 0; c < w; ++c) {
      const m0 = mOf(gutter + c), m1 = mOf(gutter + c + 1);
      if (m0 < p.m[0] || m0 > p.m[p.m.length - 1]) continue;
      put(cols, c, at(m0, i));
      while (i < p.m.length && p.m[i] < m1) put(cols, c, p.v[i++]);
      put(cols, c, at(m1, i));
    }
    return cols;
  }
  function put(cols, c, v) {
    if (isNaN(cols.first[c])) cols.first[c] = v;
    cols.last[c] = v;
    if (v < cols.min[c]) cols.min[c] = v;
    if (v > cols.max[c]) cols.max[c] = v;
  }
  function lowerBound(arr, v) {
    let lo = 0, hi = arr.length;
    while (lo < hi) { const mid = (lo + hi) >> 1; if (arr[mid] < v) lo = mid + 1; else hi = mid; }
    return lo;
  }
  function columnRange(cols) {
    let lo = Infinity, hi = -Infinity;
    for (let c = 0; c < cols.min.length; ++c) {
      if (cols.min[c] < lo) lo = cols.min[c];
      if (cols.max[c] > hi) hi = cols.max[c];
    }
    return isFinite(lo) ? [lo, hi] : [0, 1];
  }
  function strokeColumns(g, cols, y, colour, width) {
    g.beginPath();
    let pen = false;
    for (let c = 0; c < cols.min.length; ++c) {
      if (isNaN(cols.first[c])) { pen = false; continue; }
      const x = gutter + c + 0.5;
      if (pen) g.lineTo(x, y(cols.first[c])); else g.moveTo(x, y(cols.first[c]));
      if (cols.min[c] !== cols.max[c]) { g.lineTo(x, y(cols.min[c])); g.lineTo(x, y(cols.max[c])); }
      g.lineTo(x, y(cols.last[c]));
      g.lineTo(x + 1, y(cols.last[c]));
      pen = true;
    }
    g.strokeStyle = colour; g.lineWidth = width; g.stroke();
  }

  // ---- what is visible, for the hover and the test hook --------------------------------------

  const visible = (m) => m >= view.from && m <= view.to;
  function visibleObjects() {
    const out = [];
    for (const s of stations) {
      if (visible(s.position)) out.push({ band: "stations", kind: "station", m: s.position, label: s.name });
    }
    for (const o of objects) {
      if (visible(o.m)) out.push({ band: bandOfKind(o.kind), kind: o.kind, m: o.m, label: o.text });
    }
    for (const d of diagnostics) {
      if (d.position !== null && visible(d.position)) {
        out.push({ band: "diagnostics", kind: d.level, m: d.position, label: d.text });
      }
    }
    for (const o of out) o.km = railway(o.m);
    return out;
  }
  function bandOfKind(k) {
    if (k === "signal") return "signals";
    if (k === "code_point" || k === "code_off_point") return "codes";
    if (k === "station_stop") return "stations";
    if (k === "direction_board") return "boards";
    return "speed";
  }

  // ---- drawing the bands --------------------------------------------------------------------

  function drawBands() {
    bandsWidth = sizeCanvas(bandsCanvas, bandsHeight);
    const { base, g } = baseFor(bandsBase, bandsCanvas);
    g.font = "11px DejaVu Sans, Arial, sans-serif";
    g.fillStyle = "#fff"; g.fillRect(0, 0, bandsWidth, bandsHeight);
    for (const b of bandList) drawFrame(g, b);
    drawKilometreGrid(g);
    drawRunOn(g);
    for (const b of bandList) {
      g.save();
      g.beginPath(); g.rect(gutter, b.top, plotWidth(), b.height); g.clip();
      (bandDrawers[b.id] || (() => {}))(g, b);
      g.restore();
    }
    drawProgressiveCuts(g);
    bandsBase = base;
  }

  function drawFrame(g, b) {
    if (b.id === "axis" || b.id === "route") return;
    g.fillStyle = ink.band; g.fillRect(gutter, b.top, plotWidth(), b.height);
    g.strokeStyle = ink.frame; g.lineWidth = 1;
    g.strokeRect(gutter + 0.5, b.top + 0.5, plotWidth() - 1, b.height - 1);
    g.fillStyle = ink.axis; g.textAlign = "left"; g.textBaseline = "middle";
    g.font = "bold 12px DejaVu Sans, Arial, sans-serif";
    const lines = b.title.split("\n");
    lines.forEach((t, i) => g.fillText(t, 6, b.top + b.height / 2 + (i - (lines.length - 1) / 2) * 14));
    g.font = "11px DejaVu Sans, Arial, sans-serif";
  }

  function niceStep(span, ticks) {
    const raw = span / ticks;
    const p = Math.pow(10, Math.floor(Math.log10(raw)));
    for (const k of [1, 2, 5, 10]) if (k * p >= raw) return k * p;
    return 10 * p;
  }

  // Railway kilometre ticks along the top, route position ticks along the bottom; grid lines
  // through every band at the railway ticks.
  function drawKilometreGrid(g) {
    const axis = bandById.axis, route = bandById.route;
    const span = view.to - view.from;
    const step = niceStep(span, plotWidth() / 90);
    const bottom = route.top;
    g.textBaseline = "alphabetic";
    for (const [from, to, off] of routeSegments) {
      const a = Math.max(from, view.from), b = Math.min(to, view.to);
      if (b < a) continue;
      for (let k = Math.ceil((a + off) / step) * step; k - off <= b; k += step) {
        const x = Math.round(xOf(k - off)) + 0.5;
        // The last ticks before the reckoning starts again would sit on the new start's label.
        const nextCut = to < extent ? xOf(to) : Infinity;
        if (nextCut - x < 28 && nextCut - x > 0) continue;
        g.strokeStyle = ink.grid; g.beginPath(); g.moveTo(x, axis.top + axis.height); g.lineTo(x, bottom); g.stroke();
        g.strokeStyle = ink.axis; g.beginPath(); g.moveTo(x, axis.top + axis.height - 6); g.lineTo(x, axis.top + axis.height); g.stroke();
        g.fillStyle = ink.axis; g.textAlign = "center";
        g.fillText(step >= 1000 ? String(Math.round(k / 1000)) : kmText(k), x, axis.top + axis.height - 10);
      }
    }
    const rstep = niceStep(span, plotWidth() / 90);
    g.fillStyle = ink.caption;
    for (let m = Math.ceil(view.from / rstep) * rstep; m <= view.to; m += rstep) {
      const x = Math.round(xOf(m)) + 0.5;
      g.strokeStyle = ink.caption; g.beginPath(); g.moveTo(x, route.top); g.lineTo(x, route.top + 6); g.stroke();
      g.textAlign = "center";
      g.fillText(rstep >= 1000 ? (m / 1000) + " km" : Math.round(m) + " m", x, route.top + 18);
    }
    g.textAlign = "left"; g.fillStyle = ink.axis;
    g.font = "bold 12px DejaVu Sans, Arial, sans-serif";
    g.fillText("railway km", 6, axis.top + axis.height - 10);
    g.fillStyle = ink.caption;
    g.fillText("route position", 6, route.top + 18);
    g.font = "11px DejaVu Sans, Arial, sans-serif";
  }

  function drawProgressiveCuts(g) {
    for (const p of progressives) {
      if (!visible(p[0]) || p[0] === 0) continue;
      const x = Math.round(xOf(p[0])) + 0.5;
      g.save(); g.setLineDash([4, 3]); g.strokeStyle = ink.caption;
      g.beginPath(); g.moveTo(x, bandById.axis.top); g.lineTo(x, bandById.route.top); g.stroke();
      g.restore();
      g.fillStyle = ink.caption; g.textAlign = "left";
      g.fillText(kmText(p[0] + offsetAt(p[0] - 1)) + " = " + kmText(railway(p[0])), x + 3, bandById.axis.top + 10);
    }
  }

  // Past the line's end the route runs on; hatched so it is not taken for line.
  function drawRunOn(g) {
    if (!lineLength || lineLength >= view.to) return;
    const x0 = Math.max(gutter, xOf(lineLength)), x1 = gutter + plotWidth();
    const y0 = bandById.stations.top, y1 = bandById.route.top - bandGap;
    g.save();
    g.beginPath(); g.rect(x0, y0, x1 - x0, y1 - y0); g.clip();
    g.fillStyle = "#eef0f2"; g.fillRect(x0, y0, x1 - x0, y1 - y0);
    g.strokeStyle = ink.runOn; g.lineWidth = 1;
    for (let x = x0 - (y1 - y0); x < x1; x += 10) {
      g.beginPath(); g.moveTo(x, y1); g.lineTo(x + (y1 - y0), y0); g.stroke();
    }
    g.restore();
    g.fillStyle = ink.caption; g.textAlign = "left";
    if (x1 - x0 > 60) g.fillText("run-on past the line's end", x0 + 4, bandById.stations.top + 12);
  }

  // A value scale for a band, with ticks and their unit in the gutter.
  function scaleFor(b, lo, hi, unit) {
    if (lo === hi) { lo -= 1; hi += 1; }
    const pad = 8;
    const y = (v) => b.top + pad + (hi - v) / (hi - lo) * (b.height - 2 * pad);
    return { y, lo, hi, unit };
  }
  function drawTicks(g, b, s) {
    const step = niceStep(s.hi - s.lo, b.height > 70 ? 3 : 2);
    g.textAlign = "right"; g.textBaseline = "middle"; g.fillStyle = ink.caption;
    for (let v = Math.ceil(s.lo / step) * step; v <= s.hi + 1e-9; v += step) {
      const y = Math.round(s.y(v)) + 0.5;
      g.strokeStyle = ink.frame; g.beginPath(); g.moveTo(gutter - 4, y); g.lineTo(gutter, y); g.stroke();
      g.fillText(fmt(v) + (s.unit ? " " + s.unit : ""), gutter - 6, y);
    }
    g.textBaseline = "alphabetic";
  }
  const fmt = (v) => String(Math.round(v * 100) / 100);
  function zeroLine(g, s) {
    if (s.lo >= 0 || s.hi <= 0) return;
    g.save(); g.setLineDash([4, 3]); g.strokeStyle = "#999";
    g.beginPath(); g.moveTo(gutter, s.y(0)); g.lineTo(gutter + plotWidth(), s.y(0)); g.stroke();
    g.restore();
  }

  function stepBand(g, b, runs, colour, unit, extra) {
    const cols = columnsOfRuns(runs);
    let [lo, hi] = columnRange(cols);
    for (const e of extra || []) { lo = Math.min(lo, e[0]); hi = Math.max(hi, e[1]); }
    const s = scaleFor(b, Math.min(0, lo), Math.max(hi, lo + 1), unit);
    g.restore(); drawTicks(g, b, s); g.save();
    g.beginPath(); g.rect(gutter, b.top, plotWidth(), b.height); g.clip();
    zeroLine(g, s);
    strokeColumns(g, cols, s.y, colour, 1.5);
    return s;
  }

  function ticksOf(g, b, list, colourOf, inset) {
    // One mark per pixel column and colour: the rest could not be told apart.
    const seen = new Set();
    for (let i = lowerBound(list.map((o) => o.m), view.from); i < list.length && list[i].m <= view.to; ++i) {
      const x = Math.floor(xOf(list[i].m)) + 0.5;
      const colour = colourOf(list[i]);
      const key = x + colour;
      if (seen.has(key)) continue;
      seen.add(key);
      g.strokeStyle = colour; g.lineWidth = 1.5;
      g.beginPath(); g.moveTo(x, b.top + inset); g.lineTo(x, b.top + b.height - inset); g.stroke();
    }
  }

  const bandDrawers = {
    stations: drawStations,
    elevation(g, b) {
      const cols = columnsOfPoints(elevation);
      const [lo, hi] = columnRange(cols);
      const s = scaleFor(b, lo, hi, "m");
      g.restore(); drawTicks(g, b, s); g.save();
      g.beginPath(); g.rect(gutter, b.top, plotWidth(), b.height); g.clip();
      strokeColumns(g, cols, s.y, ink.elevation, 1.5);
    },
    gradient(g, b) { stepBand(g, b, gradient, ink.gradient, "\u2030"); },
    curvature(g, b) {
      const cols = columnsOfPoints(curvature);
      const [lo, hi] = columnRange(cols);
      const edge = Math.max(Math.abs(lo), Math.abs(hi), 0.1);
      const s = scaleFor(b, -edge, edge, "1/km");
      g.restore(); drawTicks(g, b, s); g.save();
      g.beginPath(); g.rect(gutter, b.top, plotWidth(), b.height); g.clip();
      zeroLine(g, s);
      strokeColumns(g, cols, s.y, ink.curvature, 1.2);
    },
    speed: drawSpeed,
    adhesion(g, b) { stepBand(g, b, adhesion, ink.adhesion, ""); },
    signals(g, b) {
      ticksOf(g, b, ofKind("signal"), (o) => (o.delayed ? ink.delayedSignal : ink.signal), 5);
    },
    codes: drawCodes,
    boards: drawBoards,
    diagnostics(g, b) {
      for (const d of diagnostics) {
        if (d.position === null || !visible(d.position)) continue;
        triangle(g, xOf(d.position), b.top + 5, d.level === "error" ? ink.error : ink.warning, 9);
      }
    },
  };

  function triangle(g, x, y, colour, size) {
    g.fillStyle = colour; g.beginPath();
    g.moveTo(x, y); g.lineTo(x - size / 2, y + size * 1.7); g.lineTo(x + size / 2, y + size * 1.7);
    g.closePath(); g.fill();
  }

  function drawSpeed(g, b) {
    const slowdowns = ofKind("slowdown_start");
    const s = stepBand(g, b, lineSpeed, ink.lineSpeed, "km/h",
                       [columnRange(columnsOfRuns(speedEnvelope.boards))]);
    for (const o of slowdowns) {
      if (o.end_m < view.from || o.m > view.to) continue;
      const x0 = xOf(o.m), x1 = Math.max(x0 + 2, xOf(o.end_m));
      g.fillStyle = ink.slowdown; g.globalAlpha = 0.35;
      g.fillRect(x0, s.y(o.speed), x1 - x0, s.y(0) - s.y(o.speed));
      g.globalAlpha = 1;
    }
    for (const o of ofKind("slowdown_warning")) {
      if (visible(o.m)) triangle(g, xOf(o.m), b.top + 3, ink.slowdown, 6);
    }
    g.save(); g.setLineDash([5, 3]);
    strokeColumns(g, columnsOfRuns(speedEnvelope.boards), s.y, ink.boardSpeed, 1.2);
    g.restore();
    strokeColumns(g, columnsOfRuns(speedEnvelope.lowest), s.y, ink.lowest, 2.2);
  }

  function drawCodes(g, b) {
    const cols = columnsOfRuns(codes);
    for (let c = 0; c < cols.first.length; ++c) {
      if (isNaN(cols.first[c])) continue;
      // A column holding more than one code shows the lowest: the more restrictive.
      g.fillStyle = codeInk(cols.min[c]);
      g.fillRect(gutter + c, b.top + 12, 1, b.height - 18);
    }
    if (ofKind("code_point").length + ofKind("code_off_point").length < plotWidth() / 4 * (extent / (view.to - view.from))) {
      ticksOf(g, b, objects.filter((o) => o.kind === "code_off_point" || o.kind === "code_point"),
              (o) => (o.kind === "code_off_point" ? ink.codeOff : ink.axis), 2);
    }
  }

  function drawBoards(g, b) {
    const r = mountains;
    g.fillStyle = ink.mountain;
    for (let i = 0; i < r.from.length; ++i) {
      if (r.to[i] < view.from || r.from[i] > view.to) continue;
      const x0 = xOf(r.from[i]);
      g.fillRect(x0, b.top + b.height - 12, Math.max(1, xOf(r.to[i]) - x0), 8);
    }
    ticksOf(g, b, ofKind("speed_board"), () => ink.boardSpeed, 4);
    for (const o of boards) if (visible(o.m)) triangle(g, xOf(o.m), b.top + 4, ink.directionBoard, 8);
  }

  // Labels placed left to right on the first of three rows where they overlap nothing; a name
  // with no room is left to the hover and the list.
  function drawStations(g, b) {
    const rows = [-Infinity, -Infinity, -Infinity];
    const order = stations.filter((s) => s.area[1] >= view.from && s.area[0] <= view.to);
    for (const s of order) {
      const x0 = xOf(s.area[0]), x1 = xOf(s.area[1]);
      g.fillStyle = ink.stationArea; g.fillRect(x0, b.top + b.height - 16, Math.max(1, x1 - x0), 10);
      const x = Math.round(xOf(s.position)) + 0.5;
      g.strokeStyle = ink.station; g.lineWidth = 2;
      g.beginPath(); g.moveTo(x, b.top + b.height - 22); g.lineTo(x, b.top + b.height - 4); g.stroke();
      if (s.stop_m !== null) triangle(g, xOf(s.stop_m), b.top + b.height - 14, ink.stop, 5);
    }
    g.font = "11px DejaVu Sans, Arial, sans-serif"; g.textAlign = "left"; g.fillStyle = ink.axis;
    const prioritised = order.slice().sort((p, q) => (q.time !== null) - (p.time !== null));
    const placed = [];
    for (const s of prioritised) {
      if (!visible(s.position)) continue;
      const x = xOf(s.position);
      const w = g.measureText(s.name).width;
      const left = Math.min(Math.max(x - w / 2, gutter + 2), gutter + plotWidth() - w - 2);
      for (let row = 0; row < rows.length; ++row) {
        const clash = placed.some((p) => p.row === row && left < p.right + 6 && left + w + 6 > p.left);
        if (clash) continue;
        placed.push({ row, left, right: left + w });
        g.fillText(s.name, left, b.top + 14 + row * 16);
        g.strokeStyle = ink.frame; g.lineWidth = 1;
        g.beginPath(); g.moveTo(x, b.top + 17 + row * 16); g.lineTo(x, b.top + b.height - 22); g.stroke();
        break;
      }
    }
  }

  // ---- the plan -----------------------------------------------------------------------------

  const planView = { cx: 0, cy: 0, scale: 1 };
  const planIndex = (m) => Math.max(0, Math.min(plan.x.length - 1, Math.round(m / plan.step)));
  function planPoint(m) {
    if (!plan) return null;
    const i = planIndex(m);
    return plan.x[i] === null ? null : [plan.x[i], plan.y[i]];
  }
  function fitPlanToRange() {
    if (!plan) return;
    planWidth = Math.max(300, planCanvas.clientWidth);
    let x0 = Infinity, x1 = -Infinity, y0 = Infinity, y1 = -Infinity;
    const a = planIndex(view.from), b = planIndex(view.to);
    const stride = Math.max(1, Math.floor((b - a) / 4000));
    for (let i = a; i <= b; i += stride) {
      if (plan.x[i] === null) continue;
      x0 = Math.min(x0, plan.x[i]); x1 = Math.max(x1, plan.x[i]);
      y0 = Math.min(y0, plan.y[i]); y1 = Math.max(y1, plan.y[i]);
    }
    if (!isFinite(x0)) return;
    planView.cx = (x0 + x1) / 2; planView.cy = (y0 + y1) / 2;
    planView.scale = Math.min((planWidth - 160) / Math.max(x1 - x0, 50), (planHeight - 60) / Math.max(y1 - y0, 50));
  }
  const px = (x) => planWidth / 2 + (x - planView.cx) * planView.scale;
  const py = (y) => planHeight / 2 - (y - planView.cy) * planView.scale;

  function drawPlan() {
    planWidth = sizeCanvas(planCanvas, planHeight);
    const { base, g } = baseFor(planBase, planCanvas);
    g.fillStyle = "#fff"; g.fillRect(0, 0, planWidth, planHeight);
    g.font = "11px DejaVu Sans, Arial, sans-serif";
    if (!plan) {
      g.fillStyle = ink.caption; g.fillText("no line profile: the plan needs FILE_linea.dat", 12, 20);
      planBase = base;
      return;
    }
    planTrack(g, 0, plan.x.length - 1, ink.trackFaint, 2);
    planTrack(g, planIndex(view.from), planIndex(view.to), ink.track, 3);
    if (lineLength && lineLength < extent) {
      g.save(); g.setLineDash([3, 4]);
      planTrack(g, planIndex(lineLength), plan.x.length - 1, ink.runOn, 3);
      g.restore();
    }
    planLabels(g);
    planScaleBar(g);
    planBase = base;
  }

  // The track through the points that fall on distinct pixels; stretches off the canvas are
  // left out, so a close zoom on a long line strokes only what shows.
  function planTrack(g, a, b, colour, width) {
    g.beginPath();
    let pen = false, lx = NaN, ly = NaN, wasOut = false;
    const out = (x, y) => x < -50 || y < -50 || x > planWidth + 50 || y > planHeight + 50;
    for (let i = a; i <= b; ++i) {
      if (plan.x[i] === null) { pen = false; continue; }
      const x = px(plan.x[i]), y = py(plan.y[i]);
      const isOut = out(x, y);
      if (isOut && wasOut) { lx = x; ly = y; pen = false; continue; }
      if (pen && Math.abs(x - lx) < 0.7 && Math.abs(y - ly) < 0.7 && i !== b) continue;
      if (pen) g.lineTo(x, y); else if (isNaN(lx) || wasOut === isOut) g.moveTo(x, y); else { g.moveTo(lx, ly); g.lineTo(x, y); }
      pen = true; lx = x; ly = y; wasOut = isOut;
    }
    g.strokeStyle = colour; g.lineWidth = width; g.lineJoin = "round"; g.stroke();
  }

  // Stations first, then direction boards; each label tries eight places round its mark and is
  // drawn at the first that overlaps no mark or label already there.
  // The canvas in 4 px squares, marked where the track runs: a label keeps off the line
  // without testing every point of it.
  function trackCover() {
    const size = 4, cols = Math.ceil(planWidth / size), rows = Math.ceil(planHeight / size);
    const cells = new Uint8Array(cols * rows);
    const mark = (x, y) => {
      const c = Math.floor(x / size), r = Math.floor(y / size);
      if (c >= 0 && r >= 0 && c < cols && r < rows) cells[r * cols + c] = 1;
    };
    let lx = NaN, ly = NaN;
    for (let i = 0; i < plan.x.length; ++i) {
      if (plan.x[i] === null) { lx = NaN; continue; }
      const x = px(plan.x[i]), y = py(plan.y[i]);
      const steps = isNaN(lx) ? 0 : Math.min(1000, Math.ceil(Math.hypot(x - lx, y - ly) / size));
      for (let k = 1; k <= steps; ++k) mark(lx + (x - lx) * k / steps, ly + (y - ly) * k / steps);
      mark(x, y);
      lx = x; ly = y;
    }
    return {
      covers(b) {
        for (let r = Math.max(0, Math.floor(b.y0 / size)); r <= Math.min(rows - 1, Math.floor(b.y1 / size)); ++r) {
          for (let c = Math.max(0, Math.floor(b.x0 / size)); c <= Math.min(cols - 1, Math.floor(b.x1 / size)); ++c) {
            if (cells[r * cols + c]) return true;
          }
        }
        return false;
      },
    };
  }

  function planLabels(g) {
    const track = trackCover();
    const boxes = [];
    const marks = [];
    for (const s of stations) {
      const p = planPoint(s.position);
      if (p) marks.push({ x: px(p[0]), y: py(p[1]), text: s.name, station: true });
    }
    for (const o of boards) {
      const p = planPoint(o.m - cellM);
      if (p) marks.push({ x: px(p[0]), y: py(p[1]), text: o.label, station: false });
    }
    for (const k of marks) boxes.push({ x0: k.x - 5, y0: k.y - 5, x1: k.x + 5, y1: k.y + 5 });
    boxes.push({ x0: 0, y0: planHeight - 32, x1: planWidth, y1: planHeight });  // the scale bar
    for (const k of marks) {
      if (k.station) {
        g.fillStyle = "#fff"; g.strokeStyle = ink.station; g.lineWidth = 2;
        g.beginPath(); g.arc(k.x, k.y, 4, 0, 2 * Math.PI); g.fill(); g.stroke();
      } else {
        triangle(g, k.x, k.y - 6, ink.directionBoard, 7);
      }
    }
    const places = [[8, -4], [8, 12], [-8, -4], [-8, 12], [0, -10], [0, 20], [12, 4], [-12, 4]];
    for (const k of marks) {
      g.font = (k.station ? "" : "italic ") + "11px DejaVu Sans, Arial, sans-serif";
      const w = g.measureText(k.text).width, h = 12;
      // Nearest places first, then the same a ring further out.
      const candidates = [];
      for (const ring of [0, 10, 20]) {
        for (const [dx, dy] of places) candidates.push([dx + Math.sign(dx) * ring, dy + Math.sign(dy - 4) * ring, ring]);
      }
      for (const [dx, dy, ring] of candidates) {
        const left = dx > 0 ? k.x + dx : dx < 0 ? k.x + dx - w : k.x - w / 2;
        const box = { x0: left - 2, y0: k.y + dy - h, x1: left + w + 2, y1: k.y + dy + 2 };
        if (box.x0 < 0 || box.x1 > planWidth || box.y0 < 0 || box.y1 > planHeight) continue;
        if (track.covers(box)) continue;
        if (boxes.some((o) => box.x0 < o.x1 && box.x1 > o.x0 && box.y0 < o.y1 && box.y1 > o.y0)) continue;
        boxes.push(box);
        if (ring > 0) {
          // A label set further out points back at its mark.
          const tx = Math.max(box.x0, Math.min(k.x, box.x1)), ty = Math.max(box.y0 + 2, Math.min(k.y, box.y1 - 2));
          g.strokeStyle = "#999"; g.lineWidth = 0.8;
          g.beginPath(); g.moveTo(k.x, k.y); g.lineTo(tx, ty); g.stroke();
        }
        g.fillStyle = k.station ? ink.axis : ink.directionBoard; g.textAlign = "left";
        g.fillText(k.text, left, k.y + dy);
        break;
      }
    }
  }

  function planScaleBar(g) {
    const metres = niceStep(160 / planView.scale, 1);
    const w = metres * planView.scale;
    g.strokeStyle = ink.axis; g.lineWidth = 3;
    g.beginPath(); g.moveTo(12, planHeight - 14); g.lineTo(12 + w, planHeight - 14); g.stroke();
    g.fillStyle = ink.axis; g.textAlign = "left";
    g.fillText(metres >= 1000 ? metres / 1000 + " km" : metres + " m", 12, planHeight - 20);
    g.fillStyle = ink.caption;
    g.fillText("plan: wheel zooms, drag pans; the dark stretch is the range below", 12 + w + 14, planHeight - 10);
  }

  // ---- cursor and tooltip ---------------------------------------------------------------------

  function redraw(full) {
    if (full) { drawBands(); drawPlan(); }
    const g = bandsOver.getContext("2d");
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.clearRect(0, 0, bandsOver.width, bandsOver.height);
    const p = planOver.getContext("2d");
    p.setTransform(1, 0, 0, 1, 0, 0);
    p.clearRect(0, 0, planOver.width, planOver.height);
    if (cursorM === null) return;
    g.scale(dpr, dpr); p.scale(dpr, dpr);
    if (visible(cursorM)) {
      const x = Math.round(xOf(cursorM)) + 0.5;
      g.strokeStyle = ink.cursor; g.lineWidth = 1;
      g.beginPath(); g.moveTo(x, bandById.axis.top); g.lineTo(x, bandById.route.top); g.stroke();
    }
    const pt = planPoint(cursorM);
    if (pt) {
      p.strokeStyle = ink.cursor; p.lineWidth = 2;
      p.beginPath(); p.arc(px(pt[0]), py(pt[1]), 7, 0, 2 * Math.PI); p.stroke();
    }
  }

  function showTip(lines, clientX, clientY) {
    tip.textContent = lines.join("\n");
    tip.hidden = false;
    const w = tip.offsetWidth, h = tip.offsetHeight;
    tip.style.left = Math.min(clientX + 14, window.innerWidth - w - 4) + "px";
    tip.style.top = Math.min(clientY + 14, window.innerHeight - h - 4) + "px";
  }
  function hideTip() { tip.hidden = true; }

  function bandAt(y) { return bandList.find((b) => y >= b.top && y < b.top + b.height + bandGap) || null; }

  function valueAt(r, m) {
    const i = lowerBound(r.to, m + 1e-9);
    return i < r.from.length && r.from[i] <= m ? r.value[i] : null;
  }

  // What lies under the pointer in a band, within a few pixels.
  function nearestIn(band, m) {
    const tolerance = 6 * (view.to - view.from) / plotWidth();
    let best = null;
    const consider = (at, lines) => {
      const d = Math.abs(at - m);
      if (d <= tolerance && (best === null || d < best.d)) best = { d, lines };
    };
    if (band === "stations") {
      for (const s of stations) {
        consider(s.position, stationLines(s));
        if (s.stop_m !== null) consider(s.stop_m, stationLines(s));
      }
    } else if (band === "diagnostics") {
      for (const d of diagnostics) if (d.position !== null) consider(d.position, [d.text]);
    } else {
      for (const o of objects) if (bandOfKind(o.kind) === band) consider(o.m, objectLines(o));
    }
    return best ? best.lines : null;
  }
  function stationLines(s) {
    const lines = [s.name + " (entry " + s.entry + ", kind " + s.kind + ")",
                   "position " + placeText(s.position)];
    if (s.stop_m !== null) lines.push("stop " + placeText(s.stop_m));
    lines.push("area " + kmText(railway(s.area[0])) + " to " + kmText(railway(s.area[1])));
    lines.push(s.time !== null ? "time " + s.time : "no timetable time");
    if (s.source) lines.push("from " + s.source);
    return lines;
  }
  function objectLines(o) {
    const lines = [o.text, placeText(o.m) + ", cell " + o.cell];
    if (o.kind === "direction_board") lines.splice(1, 0, o.lines.join(" / "));
    if (o.kind === "slowdown_start") lines.push("to " + placeText(o.end_m));
    if (o.source) lines.push("from " + o.source);
    return lines;
  }
  function bandValueLines(band, m) {
    const v = {
      elevation: () => { const i = Math.max(0, lowerBound(elevation.m, m) - 1); return "elevation about " + fmt(elevation.v[i] || 0) + " m"; },
      gradient: () => "gradient " + valueAt(gradient, m) + " \u2030",
      curvature: () => { const i = lowerBound(curvature.m, m); return "curvature " + fmt(curvature.v[Math.min(i, curvature.v.length - 1)] || 0) + " 1/km"; },
      speed: () => "line speed " + valueAt(lineSpeed, m) + " km/h, lowest " + valueAt(speedEnvelope.lowest, m) + " km/h",
      adhesion: () => "adhesion " + valueAt(adhesion, m),
      codes: () => { const c = valueAt(codes, m); return c === null ? "no cab code" : "cab code " + c; },
    }[band];
    return v ? [v()] : [];
  }

  function hoverBands(ev) {
    const r = bandsCanvas.getBoundingClientRect();
    const x = ev.clientX - r.left, y = ev.clientY - r.top;
    if (x < gutter || x > gutter + plotWidth()) { cursorM = null; redraw(false); hideTip(); return; }
    cursorM = mOf(x);
    redraw(false);
    const band = bandAt(y);
    const found = band ? nearestIn(band.id, cursorM) : null;
    const lines = found || [placeText(cursorM)].concat(band ? bandValueLines(band.id, cursorM) : []);
    showTip(lines, ev.clientX, ev.clientY);
  }

  function hoverPlan(ev) {
    if (!plan) return;
    const r = planCanvas.getBoundingClientRect();
    const x = ev.clientX - r.left, y = ev.clientY - r.top;
    let best = -1, bestD = 144;
    for (let i = 0; i < plan.x.length; ++i) {
      if (plan.x[i] === null) continue;
      const dx = px(plan.x[i]) - x, dy = py(plan.y[i]) - y;
      const d = dx * dx + dy * dy;
      if (d < bestD) { bestD = d; best = i; }
    }
    if (best < 0) { cursorM = null; redraw(false); hideTip(); return; }
    cursorM = best * plan.step;
    redraw(false);
    const near = stations.find((s) => Math.abs(s.position - cursorM) <= 3 * plan.step + 12 / planView.scale);
    showTip(near ? stationLines(near) : [placeText(cursorM)], ev.clientX, ev.clientY);
  }

  // ---- interaction --------------------------------------------------------------------------

  function zoomAround(m, factor) {
    const span = (view.to - view.from) * factor;
    const t = (m - view.from) / (view.to - view.from);
    setRange(m - t * span, m - t * span + span);
  }

  function wireBands() {
    let drag = null;
    bandsCanvas.addEventListener("wheel", (ev) => {
      ev.preventDefault();
      const x = ev.clientX - bandsCanvas.getBoundingClientRect().left;
      zoomAround(mOf(Math.max(gutter, x)), ev.deltaY > 0 ? 1.25 : 0.8);
    }, { passive: false });
    bandsCanvas.addEventListener("mousedown", (ev) => {
      const r = bandsCanvas.getBoundingClientRect();
      const onAxis = ev.clientY - r.top < bandById.axis.top + bandById.axis.height;
      drag = { x: ev.clientX, from: view.from, to: view.to, select: onAxis };
    });
    window.addEventListener("mouseup", (ev) => {
      if (drag && drag.select && Math.abs(ev.clientX - drag.x) > 4) {
        const r = bandsCanvas.getBoundingClientRect();
        const a = mOf(drag.x - r.left), b = mOf(ev.clientX - r.left);
        drag = null;
        setRange(Math.min(a, b), Math.max(a, b));
        return;
      }
      drag = null;
    });
    bandsCanvas.addEventListener("mousemove", (ev) => {
      if (drag && !drag.select) {
        const dm = (ev.clientX - drag.x) / plotWidth() * (drag.to - drag.from);
        setRange(drag.from - dm, drag.to - dm);
        return;
      }
      hoverBands(ev);
    });
    bandsCanvas.addEventListener("mouseleave", () => { cursorM = null; redraw(false); hideTip(); });
    bandsCanvas.addEventListener("dblclick", (ev) => {
      const x = ev.clientX - bandsCanvas.getBoundingClientRect().left;
      zoomAround(mOf(x), 2);
    });
  }

  function wirePlan() {
    let drag = null;
    planCanvas.addEventListener("wheel", (ev) => {
      ev.preventDefault();
      const r = planCanvas.getBoundingClientRect();
      const f = ev.deltaY > 0 ? 0.8 : 1.25;
      const wx = planView.cx + (ev.clientX - r.left - planWidth / 2) / planView.scale;
      const wy = planView.cy - (ev.clientY - r.top - planHeight / 2) / planView.scale;
      planView.scale *= f;
      planView.cx = wx - (ev.clientX - r.left - planWidth / 2) / planView.scale;
      planView.cy = wy + (ev.clientY - r.top - planHeight / 2) / planView.scale;
      drawPlan(); redraw(false);
    }, { passive: false });
    planCanvas.addEventListener("mousedown", (ev) => { drag = { x: ev.clientX, y: ev.clientY, cx: planView.cx, cy: planView.cy }; });
    window.addEventListener("mouseup", () => { drag = null; });
    planCanvas.addEventListener("mousemove", (ev) => {
      if (drag) {
        planView.cx = drag.cx - (ev.clientX - drag.x) / planView.scale;
        planView.cy = drag.cy + (ev.clientY - drag.y) / planView.scale;
        drawPlan(); redraw(false);
        return;
      }
      hoverPlan(ev);
    });
    planCanvas.addEventListener("mouseleave", () => { cursorM = null; redraw(false); hideTip(); });
  }

  // "12", "12.5" or "12+500": kilometres; a bare number above 1000 is taken as metres+.
  function parseKm(text) {
    const t = text.trim();
    const plus = /^(-?\d+)\+(\d{1,3})$/.exec(t);
    if (plus) return Number(plus[1]) * 1000 + Math.sign(Number(plus[1]) || 1) * Number(plus[2]);
    const n = Number(t.replace(",", "."));
    return t !== "" && isFinite(n) ? n * 1000 : null;
  }

  function zoomKm(a, b, reckoning) {
    if (reckoning === "route") { setRange(a * 1000, b * 1000); return true; }
    const r = routeRangeOfRailway(a * 1000, b * 1000);
    if (!r) return false;
    setRange(r[0], r[1]);
    return true;
  }

  function jumpTo(text) {
    const s = stations.find((x) => x.name.toLowerCase() === text.trim().toLowerCase()) ||
              stations.find((x) => x.name.toLowerCase().startsWith(text.trim().toLowerCase()));
    const span = Math.min(view.to - view.from, 10000);
    if (s && text.trim() !== "") { setRange(s.position - span / 2, s.position + span / 2); return true; }
    const km = parseKm(text);
    if (km === null) return false;
    const r = routeRangeOfRailway(km, km + 1);
    if (!r) return false;
    setRange(r[0] - span / 2, r[0] + span / 2);
    return true;
  }

  function wireControls() {
    document.getElementById("range").addEventListener("submit", (ev) => {
      ev.preventDefault();
      const a = parseKm(document.getElementById("km-from").value);
      const b = parseKm(document.getElementById("km-to").value);
      if (a === null || b === null || b <= a) return;
      zoomKm(a / 1000, b / 1000, document.getElementById("reckoning").value);
    });
    document.getElementById("whole").addEventListener("click", () => setRange(0, extent));
    const jump = document.getElementById("jump");
    document.getElementById("go").addEventListener("click", () => jumpTo(jump.value));
    jump.addEventListener("keydown", (ev) => { if (ev.key === "Enter") { ev.preventDefault(); jumpTo(jump.value); } });
    document.querySelectorAll("#stations li").forEach((li) => {
      li.addEventListener("click", () => {
        const m = Number(li.dataset.position);
        setRange(m - 5000, m + 5000);
      });
    });
    document.querySelectorAll("#diagnostics li[data-index]").forEach((li) => {
      li.addEventListener("click", () => {
        const d = diagnostics[Number(li.dataset.index)];
        if (d.position !== null) setRange(d.position - 5000, d.position + 5000);
      });
    });
    window.addEventListener("resize", () => { fitPlanToRange(); redraw(true); });
  }

  function buildLegend() {
    const legend = document.createElement("div");
    legend.id = "legend";
    const keys = [
      [ink.station, "station (tick), its area"], [ink.stop, "stop position"],
      [ink.elevation, "elevation"], [ink.gradient, "gradient"], [ink.curvature, "curvature"],
      [ink.lineSpeed, "line speed"], [ink.boardSpeed, "speed boards (category A)"],
      [ink.slowdown, "slowdown"], [ink.lowest, "lowest speed"], [ink.adhesion, "adhesion"],
      [ink.signal, "signal"], [ink.delayedSignal, "delayed signal"],
      [ink.code[75], "code 75"], [ink.code[120], "code 120"], [ink.code[180], "code 180"],
      [ink.code[270], "code 270"], [ink.otherCode, "other code"], [ink.codeOff, "code-off point"],
      [ink.mountain, "mountain"], [ink.directionBoard, "direction board"],
      [ink.error, "error"], [ink.warning, "warning"], [ink.runOn, "run-on past the line's end"],
    ];
    for (const [colour, text] of keys) {
      const item = document.createElement("span");
      const key = document.createElement("span");
      key.className = "key"; key.style.background = colour;
      item.appendChild(key); item.appendChild(document.createTextNode(text));
      legend.appendChild(item);
    }
    document.getElementById("views").appendChild(legend);
  }

  // ---- start ----------------------------------------------------------------------------------

  buildLegend();
  wireBands();
  wirePlan();
  wireControls();
  setRange(0, extent);

  // What tests and scripts may ask the page: the range shown, what is in it, where a station is
  // drawn.
  window.viewer = {
    range: () => ({ from: view.from, to: view.to, railwayFrom: railway(view.from), railwayTo: railway(view.to) }),
    zoomKm,
    zoomRoute: (a, b) => setRange(a, b),
    jumpTo,
    visibleObjects,
    stationNames: () => stations.map((s) => s.name),
    diagnosticMarks: () => diagnostics.filter((d) => d.position !== null).map((d) => ({
      position: d.position, km: railway(d.position), text: d.text,
      drawn: visible(d.position), x: xOf(d.position) })),
    stationPoint(name) {
      const s = stations.find((x) => x.name === name);
      if (!s || !visible(s.position)) return null;
      const r = bandsCanvas.getBoundingClientRect();
      const b = bandById.stations;
      return { x: r.left + xOf(s.position), y: r.top + b.top + b.height - 12 };
    },
    tooltip: () => (tip.hidden ? "" : tip.textContent),
    drawnAt: performance.now(),
  };
})();
