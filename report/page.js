"use strict";
// The report's maps: drains of the chosen stress period, the findings'
// cells, and a tooltip with the values of the cell under the pointer or
// the keyboard cursor. Everything it reads is in the page itself.
(() => {
  const data = JSON.parse(document.getElementById("report-data").textContent);
  const tip = document.getElementById("tip");
  const plots = Array.from(document.querySelectorAll(".plot[data-map]"));
  const columns = data.columns;
  const rows = data.rows;
  const blocksAcross = columns.edges.length - 1;
  const reduced = columns.perBlock > 1 || rows.perBlock > 1;
  const classWords = ["active", "no flow", "constant head", "other value", "no data"];
  const marks = { drain: "#ff7f00", finding: "#ffd700", edge: "#111111", cursor: "#ffffff" };

  let period = 1;
  let drains = null;            // the drain records, once inflated
  const blocks = new Map();     // map index -> its blocks, once inflated
  const cursors = new Map();    // plot -> [block across, block down]
  const flashes = new Map();    // plot -> the finding shown on it

  // Bytes carried as base64 text of a zlib stream.
  async function inflate(text) {
    const bytes = Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate"));
    return new Response(stream).arrayBuffer();
  }

  function number(x) {
    if (!Number.isFinite(x)) return "not a number";
    const a = Math.abs(x);
    if (a !== 0 && (a >= 1e7 || a < 1e-4)) return x.toExponential(6).replace(/\.?0+e/, "e");
    return String(Number(x.toPrecision(7)));
  }

  // Blocks along an axis: cells first..last of block b, and where it lies (0..1).
  function blockCells(axis, b) {
    const first = b * axis.perBlock + 1;
    return [first, Math.min(axis.cells, first + axis.perBlock - 1)];
  }
  function blockAt(axis, place) {
    const e = axis.edges;
    let lo = 0;
    let hi = e.length - 2;
    while (lo < hi) {
      const mid = (lo + hi + 1) >> 1;
      if (e[mid] <= place) lo = mid; else hi = mid - 1;
    }
    return lo;
  }
  // Where cell c lies (0..1); cells of one block share its width evenly.
  function cellSpan(axis, c) {
    const b = Math.floor((c - 1) / axis.perBlock);
    const [first, last] = blockCells(axis, b);
    const width = (axis.edges[b + 1] - axis.edges[b]) / (last - first + 1);
    const from = axis.edges[b] + (c - first) * width;
    return [from, from + width];
  }
  function inGrid(row, column) {
    return row >= 1 && row <= rows.cells && column >= 1 && column <= columns.cells;
  }

  function periodDrains() {
    if (!data.drains || !drains) return [];
    const entry = data.drains.periods[period - 1];
    if (!entry || entry[0] < 0) return [];
    const [first, count] = data.drains.lists[entry[0]];
    const list = [];
    for (let i = first; i < first + count; i++) {
      list.push({ number: i - first + 1, layer: drains.layer[i], row: drains.row[i], column: drains.column[i],
                  elevation: drains.elevation[i], conductance: drains.conductance[i] });
    }
    return list;
  }

  function periodInfo() {
    const entry = data.drains.periods[period - 1];
    const [list, use] = entry;
    if (use >= 0) return `period ${period}: ${use} drain${use === 1 ? "" : "s"}`;
    if (list < 0) return `period ${period}: reuse code ${use}, but no earlier period lists drains`;
    const [, , listed] = data.drains.lists[list];
    return `period ${period}: reuses the drains of period ${listed}`;
  }

  function box(plot) {
    const img = plot.querySelector("img");
    return { width: img.clientWidth, height: img.clientHeight };
  }

  function draw(plot) {
    const map = data.maps[plot.dataset.map];
    const canvas = plot.querySelector("canvas");
    const { width, height } = box(plot);
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    canvas.style.width = width + "px";
    canvas.style.height = height + "px";
    const g = canvas.getContext("2d");
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.clearRect(0, 0, width, height);
    const rect = (c, r) => {
      const [x0, x1] = cellSpan(columns, c);
      const [y0, y1] = cellSpan(rows, r);
      return [x0 * width, y0 * height, (x1 - x0) * width, (y1 - y0) * height];
    };
    // Cell edges where the cells are large enough to tell apart.
    if (!reduced && width / columns.cells >= 12 && height / rows.cells >= 12) {
      g.strokeStyle = "rgba(0, 0, 0, 0.22)";
      g.lineWidth = 1;
      g.beginPath();
      for (const e of columns.edges.slice(1, -1)) { g.moveTo(Math.round(e * width) + 0.5, 0); g.lineTo(Math.round(e * width) + 0.5, height); }
      for (const e of rows.edges.slice(1, -1)) { g.moveTo(0, Math.round(e * height) + 0.5); g.lineTo(width, Math.round(e * height) + 0.5); }
      g.stroke();
    }
    if (map.boundary) {
      for (const d of periodDrains()) {
        if (d.layer !== map.layer || !inGrid(d.row, d.column)) continue;
        const [x, y, w, h] = rect(d.column, d.row);
        const size = Math.max(6, Math.min(14, Math.min(w, h) * 0.55));
        g.fillStyle = marks.drain;
        g.strokeStyle = marks.edge;
        g.lineWidth = 1.5;
        g.beginPath();
        g.arc(x + w / 2, y + h / 2, size / 2, 0, 2 * Math.PI);
        g.fill();
        g.stroke();
      }
    }
    data.findings.forEach((f, i) => {
      if (f.layer !== map.layer || !inGrid(f.row, f.column)) return;
      const [x, y, w, h] = rect(f.column, f.row);
      const size = Math.max(8, Math.min(w, h) * 0.8);
      g.lineWidth = flashes.get(plot) === i ? 4 : 2.5;
      g.strokeStyle = marks.edge;
      g.strokeRect(x + (w - size) / 2, y + (h - size) / 2, size, size);
      g.strokeStyle = marks.finding;
      g.lineWidth -= 1.5;
      g.strokeRect(x + (w - size) / 2, y + (h - size) / 2, size, size);
    });
    const cursor = cursors.get(plot);
    if (cursor && document.activeElement === plot) {
      const [bx, by] = cursor;
      const x0 = columns.edges[bx] * width, x1 = columns.edges[bx + 1] * width;
      const y0 = rows.edges[by] * height, y1 = rows.edges[by + 1] * height;
      g.lineWidth = 3;
      g.strokeStyle = marks.edge;
      g.strokeRect(x0, y0, Math.max(x1 - x0, 2), Math.max(y1 - y0, 2));
      g.lineWidth = 1.5;
      g.strokeStyle = marks.cursor;
      g.strokeRect(x0, y0, Math.max(x1 - x0, 2), Math.max(y1 - y0, 2));
    }
  }
  function drawAll() { plots.forEach(draw); }

  async function loadBlocks(layer) {
    const wanted = data.maps.map((m, i) => [m, i]).filter(([m, i]) => m.layer === layer && m.blocks && !blocks.has(i));
    await Promise.all(wanted.map(async ([m, i]) => {
      const buffer = await inflate(m.blocks);
      const n = buffer.byteLength / 5;
      const values = m.boundary ? new Int32Array(buffer, 0, n) : new Float32Array(buffer, 0, n);
      blocks.set(i, { values, classes: new Uint8Array(buffer, 4 * n, n) });
    }));
  }

  const boundaryClass = (v) => (v === 1 ? 0 : v === 0 ? 1 : v === -1 ? 2 : 3);

  function describe(map, index, at, single) {
    const b = blocks.get(index);
    const uniform = map.uniform !== undefined;
    if (!b && !uniform) return map.blocks ? "\u2026" : "(not in this page)";
    const v = uniform ? map.uniform : b.values[at];
    const cls = uniform ? (map.boundary ? boundaryClass(v) : 0) : b.classes[at];
    single = single || uniform;  // every cell holds the one value
    if (cls === 4) return "no data";
    const unit = map.unit ? " " + map.unit : "";
    if (map.boundary) {
      if (v === -2147483648) return single ? "cannot be read" : "holds a cell that cannot be read";
      return single ? `${v} (${classWords[cls]})` : `holds ${v} (${classWords[cls]})`;
    }
    if (cls === 3) return single ? "cannot be read" : "holds a cell that cannot be read";
    // A block of no-flow cells alone, which are off the map's scale.
    const off = cls === 1 ? (single ? " (no flow, not in the scale)" : " (no-flow cells, not in the scale)") : "";
    return (single ? "" : "mean ") + number(v) + unit + off;
  }

  function range(axis, b, one, many) {
    const [first, last] = blockCells(axis, b);
    return first === last ? `${one} ${first}` : `${many} ${first}\u2013${last}`;
  }

  function tipHtml(plot, bx, by) {
    const map = data.maps[plot.dataset.map];
    const single = columns.perBlock === 1 && rows.perBlock === 1;
    const at = by * blocksAcross + bx;
    const escape = (s) => s.replace(/[&<>]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;" })[c]);
    let html = `<div class="where">Layer ${map.layer}, ${range(rows, by, "row", "rows")}, ${range(columns, bx, "column", "columns")}</div><ul>`;
    data.maps.forEach((m, i) => {
      if (m.layer === map.layer) html += `<li>${escape(m.name)}: ${escape(describe(m, i, at, single))}</li>`;
    });
    const [c0, c1] = blockCells(columns, bx);
    const [r0, r1] = blockCells(rows, by);
    const inside = (r, c) => r >= r0 && r <= r1 && c >= c0 && c <= c1;
    for (const d of periodDrains()) {
      if (d.layer === map.layer && inside(d.row, d.column)) {
        html += `<li>Drain ${d.number} of ${periodInfo().replace(/:.*/, "")}` +
                `${single ? "" : ` (row ${d.row}, column ${d.column})`}: elevation ${number(d.elevation)} ${escape(data.lengthUnit)}, ` +
                `conductance ${number(d.conductance)}</li>`;
      }
    }
    for (const f of data.findings) {
      if (f.layer === map.layer && inside(f.row, f.column)) html += `<li>${escape(f.text)}</li>`;
    }
    return html + "</ul>";
  }

  let shown = null;  // [plot, bx, by] in the tooltip
  function showTip(plot, bx, by, x, y) {
    shown = [plot, bx, by];
    tip.innerHTML = tipHtml(plot, bx, by);
    tip.hidden = false;
    const w = tip.offsetWidth, h = tip.offsetHeight;
    tip.style.left = Math.max(4, Math.min(x + 14, window.innerWidth - w - 4)) + "px";
    tip.style.top = Math.max(4, y + 16 + h > window.innerHeight ? y - h - 10 : y + 16) + "px";
    const layer = data.maps[plot.dataset.map].layer;
    loadBlocks(layer).then(() => {
      if (shown && shown[0] === plot && shown[1] === bx && shown[2] === by) tip.innerHTML = tipHtml(plot, bx, by);
    }, () => {});
  }
  function hideTip() {
    shown = null;
    tip.hidden = true;
  }

  function showCursor(plot) {
    const [bx, by] = cursors.get(plot);
    const r = plot.querySelector("img").getBoundingClientRect();
    const x = r.left + columns.edges[bx + 1] * r.width;
    const y = r.top + rows.edges[by + 1] * r.height;
    draw(plot);
    showTip(plot, bx, by, x, y);
  }

  for (const plot of plots) {
    plot.addEventListener("mousemove", (event) => {
      const r = plot.querySelector("img").getBoundingClientRect();
      const px = (event.clientX - r.left) / r.width;
      const py = (event.clientY - r.top) / r.height;
      if (px < 0 || px >= 1 || py < 0 || py >= 1) return hideTip();
      let bx = blockAt(columns, px);
      let by = blockAt(rows, py);
      // A drain's mark may be larger than its cell: over it, show the drain's cell.
      const map = data.maps[plot.dataset.map];
      if (map.boundary) {
        for (const d of periodDrains()) {
          if (d.layer !== map.layer || !inGrid(d.row, d.column)) continue;
          const [x0, x1] = cellSpan(columns, d.column);
          const [y0, y1] = cellSpan(rows, d.row);
          const dx = ((x0 + x1) / 2 - px) * r.width, dy = ((y0 + y1) / 2 - py) * r.height;
          if (dx * dx + dy * dy <= 49) {
            bx = Math.floor((d.column - 1) / columns.perBlock);
            by = Math.floor((d.row - 1) / rows.perBlock);
            break;
          }
        }
      }
      showTip(plot, bx, by, event.clientX, event.clientY);
    });
    plot.addEventListener("mouseleave", () => {
      if (document.activeElement === plot) showCursor(plot); else hideTip();
    });
    plot.addEventListener("focus", () => {
      if (!cursors.has(plot)) cursors.set(plot, [0, 0]);
      showCursor(plot);
    });
    plot.addEventListener("blur", () => {
      flashes.delete(plot);
      hideTip();
      draw(plot);
    });
    plot.addEventListener("keydown", (event) => {
      const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
      if (event.key === "Escape") return hideTip();
      const move = moves[event.key];
      if (!move) return;
      event.preventDefault();
      const [bx, by] = cursors.get(plot) || [0, 0];
      cursors.set(plot, [Math.max(0, Math.min(blocksAcross - 1, bx + move[0])),
                         Math.max(0, Math.min(rows.edges.length - 2, by + move[1]))]);
      showCursor(plot);
    });
  }

  // A finding's place shows its cell: on the first map of its layer.
  for (const link of document.querySelectorAll("a[data-finding]")) {
    link.addEventListener("click", (event) => {
      const index = Number(link.dataset.finding);
      const f = data.findings[index];
      const plot = plots.find((p) => data.maps[p.dataset.map].layer === f.layer);
      if (!plot || !inGrid(f.row, f.column)) return;
      event.preventDefault();
      cursors.set(plot, [Math.floor((f.column - 1) / columns.perBlock), Math.floor((f.row - 1) / rows.perBlock)]);
      flashes.set(plot, index);
      plot.scrollIntoView({ block: "center" });
      plot.focus({ preventScroll: true });
      showCursor(plot);
    });
  }

  const picker = document.getElementById("period");
  function choosePeriod(p) {
    const last = data.drains.periods.length;
    period = Math.max(1, Math.min(last, Math.round(p) || 1));
    picker.value = String(period);
    document.getElementById("period-info").textContent = periodInfo();
    drawAll();
    if (shown) showTip(...shown, parseFloat(tip.style.left) - 14, parseFloat(tip.style.top) - 16);
  }
  if (picker && data.drains) {
    picker.addEventListener("change", () => choosePeriod(Number(picker.value)));
    picker.addEventListener("input", () => { if (picker.value !== "") choosePeriod(Number(picker.value)); });
    document.getElementById("period-previous").addEventListener("click", () => choosePeriod(period - 1));
    document.getElementById("period-next").addEventListener("click", () => choosePeriod(period + 1));
    document.getElementById("period-info").textContent = periodInfo();
    inflate(data.drains.records).then((buffer) => {
      const n = data.drains.count;
      drains = {
        layer: new Int32Array(buffer, 0, n), row: new Int32Array(buffer, 4 * n, n),
        column: new Int32Array(buffer, 8 * n, n), elevation: new Float32Array(buffer, 12 * n, n),
        conductance: new Float32Array(buffer, 16 * n, n),
      };
      drawAll();
      document.body.dataset.drainsReady = "true";
    });
  }

  if (window.ResizeObserver) new ResizeObserver(drawAll).observe(document.body);
  window.addEventListener("load", drawAll);
  drawAll();
})();
