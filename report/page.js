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

  // Bytes carried as base64 text of a zlib stream, inflated here and at
  // once, so that every mark is drawn before the page can be printed.
  const LENGTH_BASE = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258];
  const LENGTH_EXTRA = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
  const DISTANCE_BASE = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537,
                         2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577];
  const DISTANCE_EXTRA = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13];
  const LENGTHS_ORDER = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];
  function inflate(text) {
    const src = Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
    let out = new Uint8Array(Math.max(1024, src.length * 4));
    let size = 0, pos = 2, held = 0, count = 0;  // past the zlib header
    const bits = (n) => {
      while (count < n) {
        if (pos >= src.length) throw new Error("the page's data is cut short");
        held |= src[pos++] << count;
        count += 8;
      }
      const value = held & ((1 << n) - 1);
      held >>>= n;
      count -= n;
      return value;
    };
    const room = (n) => {
      if (size + n <= out.length) return;
      const bigger = new Uint8Array(Math.max(out.length * 2, size + n));
      bigger.set(out.subarray(0, size));
      out = bigger;
    };
    // A canonical Huffman code from its code lengths.
    const code = (lengths) => {
      const counts = new Uint16Array(16), offsets = new Uint16Array(16), symbols = new Uint16Array(lengths.length);
      for (const l of lengths) counts[l]++;
      counts[0] = 0;
      for (let i = 1; i < 16; i++) offsets[i] = offsets[i - 1] + counts[i - 1];
      lengths.forEach((l, symbol) => { if (l) symbols[offsets[l]++] = symbol; });
      return { counts, symbols };
    };
    const decode = (h) => {
      let value = 0, first = 0, index = 0;
      for (let len = 1; len < 16; len++) {
        value |= bits(1);
        const n = h.counts[len];
        if (value - n < first) return h.symbols[index + value - first];
        index += n;
        first = (first + n) << 1;
        value <<= 1;
      }
      throw new Error("the page's data is damaged");
    };
    const fixed = code([...Array(144).fill(8), ...Array(112).fill(9), ...Array(24).fill(7), ...Array(8).fill(8)]);
    const fixedDistances = code(Array(30).fill(5));
    for (let last = 0; !last;) {
      last = bits(1);
      const type = bits(2);
      if (type === 0) {
        held = count = 0;
        const n = src[pos] | (src[pos + 1] << 8);
        pos += 4;
        room(n);
        out.set(src.subarray(pos, pos + n), size);
        size += n;
        pos += n;
        continue;
      }
      let literals = fixed, distances = fixedDistances;
      if (type === 2) {
        const nLiterals = bits(5) + 257, nDistances = bits(5) + 1, nLengths = bits(4) + 4;
        const lengthLengths = Array(19).fill(0);
        for (let i = 0; i < nLengths; i++) lengthLengths[LENGTHS_ORDER[i]] = bits(3);
        const lengthCode = code(lengthLengths);
        const lengths = [];
        while (lengths.length < nLiterals + nDistances) {
          const symbol = decode(lengthCode);
          if (symbol < 16) lengths.push(symbol);
          else if (symbol === 16) lengths.push(...Array(3 + bits(2)).fill(lengths[lengths.length - 1]));
          else if (symbol === 17) lengths.push(...Array(3 + bits(3)).fill(0));
          else lengths.push(...Array(11 + bits(7)).fill(0));
        }
        literals = code(lengths.slice(0, nLiterals));
        distances = code(lengths.slice(nLiterals, nLiterals + nDistances));
      } else if (type === 3) {
        throw new Error("the page's data is damaged");
      }
      for (;;) {
        const symbol = decode(literals);
        if (symbol < 256) {
          room(1);
          out[size++] = symbol;
        } else if (symbol === 256) {
          break;
        } else {
          const s = symbol - 257;
          const length = LENGTH_BASE[s] + bits(LENGTH_EXTRA[s]);
          const d = decode(distances);
          const distance = DISTANCE_BASE[d] + bits(DISTANCE_EXTRA[d]);
          room(length);
          for (let i = 0; i < length; i++, size++) out[size] = out[size - distance];
        }
      }
    }
    return out.buffer.slice(0, size);
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
    if (use === null) return `period ${period}: its use code cannot be read`;
    if (use >= 0) return `period ${period}: ${use} drain${use === 1 ? "" : "s"}`;
    if (list < 0) return `period ${period}: reuse code ${use}, but no earlier period lists drains`;
    const [, , listed] = data.drains.lists[list];
    return `period ${period}: reuses the drains of period ${listed}`;
  }

  function box(plot) {
    const img = plot.querySelector("img");
    return { width: img.clientWidth, height: img.clientHeight };
  }

  // `picture`: also keeps the marks (not the cursor) as the picture that a
  // printed page shows instead of the canvas.
  function draw(plot, picture = false) {
    const map = data.maps[plot.dataset.map];
    const canvas = plot.querySelector("canvas");
    const { width, height } = box(plot);
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    const g = canvas.getContext("2d");
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.clearRect(0, 0, width, height);
    let marked = false;  // drains or findings drawn
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
        marked = true;
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
      marked = true;
    });
    if (picture) keepPicture(plot, marked);
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
  // A printed page takes the marks from a picture of the canvas: a canvas
  // itself prints as an opaque white box over its map in some PDF viewers.
  function keepPicture(plot, marked) {
    let picture = plot.querySelector("img.marks");
    if (!marked) {
      if (picture) picture.remove();
      return;
    }
    if (!picture) {
      picture = document.createElement("img");
      picture.className = "marks";
      picture.alt = "";
      picture.setAttribute("aria-hidden", "true");
      plot.appendChild(picture);
    }
    picture.src = plot.querySelector("canvas").toDataURL();
  }
  function drawAll() { plots.forEach((plot) => draw(plot, true)); }

  function loadBlocks(layer) {
    data.maps.forEach((m, i) => {
      if (m.layer !== layer || !m.blocks || blocks.has(i)) return;
      const buffer = inflate(m.blocks);
      const n = buffer.byteLength / 5;
      const values = m.boundary ? new Int32Array(buffer, 0, n) : new Float32Array(buffer, 0, n);
      blocks.set(i, { values, classes: new Uint8Array(buffer, 4 * n, n) });
    });
  }

  const boundaryClass = (v) => (v === 1 ? 0 : v === 0 ? 1 : v === -1 ? 2 : 3);

  function describe(map, index, at, single) {
    const b = blocks.get(index);
    const uniform = map.uniform !== undefined;
    if (!b && !uniform) return "(not in this page)";
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
    loadBlocks(data.maps[plot.dataset.map].layer);
    tip.innerHTML = tipHtml(plot, bx, by);
    tip.hidden = false;
    const w = tip.offsetWidth, h = tip.offsetHeight;
    tip.style.left = Math.max(4, Math.min(x + 14, window.innerWidth - w - 4)) + "px";
    tip.style.top = Math.max(4, y + 16 + h > window.innerHeight ? y - h - 10 : y + 16) + "px";
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

  // The block under a point of the screen, or null off the map.
  function blockUnder(plot, clientX, clientY) {
    const r = plot.querySelector("img").getBoundingClientRect();
    const px = (clientX - r.left) / r.width;
    const py = (clientY - r.top) / r.height;
    if (px < 0 || px >= 1 || py < 0 || py >= 1) return null;
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
    return [bx, by];
  }

  let pressed = null;  // the plot and block a pointer went down on, for the focus that follows
  for (const plot of plots) {
    plot.addEventListener("mousemove", (event) => {
      const at = blockUnder(plot, event.clientX, event.clientY);
      if (!at) return hideTip();
      showTip(plot, ...at, event.clientX, event.clientY);
    });
    plot.addEventListener("mouseleave", () => {
      if (document.activeElement === plot) showCursor(plot); else hideTip();
    });
    // A tap (or a click) shows the cell tapped, and the keyboard goes on from it.
    plot.addEventListener("pointerdown", (event) => {
      const at = blockUnder(plot, event.clientX, event.clientY);
      pressed = at ? [plot, at] : null;
    });
    plot.addEventListener("click", (event) => {
      const at = blockUnder(plot, event.clientX, event.clientY);
      if (!at) return;
      cursors.set(plot, at);
      draw(plot);
      showTip(plot, ...at, event.clientX, event.clientY);
    });
    plot.addEventListener("focus", () => {
      if (pressed && pressed[0] === plot) {
        cursors.set(plot, pressed[1]);
        pressed = null;
        return draw(plot);  // the click that follows shows the tooltip where the pointer is
      }
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
  // The period named wherever the page says which drains are shown (the
  // legends, and the text that a printed page keeps).
  function tellPeriod() {
    for (const e of document.querySelectorAll(".period-now")) e.textContent = String(period);
    document.getElementById("period-info").textContent = periodInfo();
  }
  function choosePeriod(p) {
    const last = data.drains.periods.length;
    period = Math.max(1, Math.min(last, Math.round(p) || 1));
    picker.value = String(period);
    tellPeriod();
    drawAll();
    if (shown) showTip(...shown, parseFloat(tip.style.left) - 14, parseFloat(tip.style.top) - 16);
  }
  if (picker && data.drains) {
    picker.addEventListener("change", () => choosePeriod(Number(picker.value)));
    picker.addEventListener("input", () => { if (picker.value !== "") choosePeriod(Number(picker.value)); });
    document.getElementById("period-previous").addEventListener("click", () => choosePeriod(period - 1));
    document.getElementById("period-next").addEventListener("click", () => choosePeriod(period + 1));
    const buffer = inflate(data.drains.records);
    const n = data.drains.count;
    drains = {
      layer: new Int32Array(buffer, 0, n), row: new Int32Array(buffer, 4 * n, n),
      column: new Int32Array(buffer, 8 * n, n), elevation: new Float32Array(buffer, 12 * n, n),
      conductance: new Float32Array(buffer, 16 * n, n),
    };
    tellPeriod();
    document.body.dataset.drainsReady = "true";
  }

  // Axis numbers: none may run past its map's side, nor overlap another;
  // those that would are hidden, the first and last kept where they fit.
  function placeTicks(axis) {
    const across = axis.classList.contains("columns");
    const side = across ? axis.clientWidth : axis.clientHeight;
    const labels = Array.from(axis.querySelectorAll("span"));
    const spans = labels.map((label) => {
      label.style.visibility = "";
      const size = across ? label.offsetWidth : label.offsetHeight;
      const centre = (parseFloat(across ? label.style.left : label.style.top) / 100) * side;
      const from = Math.max(0, Math.min(side - size, centre - size / 2));
      label.style.transform = across ? `translateX(${from - centre}px)` : `translateY(${from - centre}px)`;
      return { label, from, to: from + size };
    });
    const gap = across ? 6 : 1;
    const last = spans[spans.length - 1];
    let end = -Infinity;
    for (const s of spans) {
      const fits = s.from >= end + gap && (s === last || s.to + gap <= last.from);
      s.label.style.visibility = fits ? "" : "hidden";
      if (fits) end = s.to;
    }
  }
  function layoutAll() {
    document.querySelectorAll(".ticks").forEach(placeTicks);
    drawAll();
  }

  if (window.ResizeObserver) new ResizeObserver(layoutAll).observe(document.body);
  window.addEventListener("load", layoutAll);
  window.addEventListener("beforeprint", layoutAll);
  window.addEventListener("afterprint", layoutAll);
  layoutAll();
})();
