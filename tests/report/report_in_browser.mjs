// gwinspect report, checked in a real browser as a person would meet it:
// the example model's page loads without a console error, its boundary map
// shows each cell in the colour its legend gives, the period selector moves
// the drain marks, the keyboard and the pointer reach a cell's values, and
// a reduced map of a large grid still shows a lone no-flow and a lone
// constant-head cell; at a phone's width nothing but a table's own box
// scrolls sideways, axis numbers do not overlap and a tap shows a cell;
// printed, the drains are drawn by the time the page has loaded and the
// legend's colours print without background graphics.
//
//   node report_in_browser.mjs --gwinspect G --morvek M --cindral C --quillet Q --examples DIR
//       [--screenshot FILE]   (also writes a picture of the example's maps, for the README)
//
// Exit status 0 passed, 1 failed, 77 skipped (no chromium).
import { execFileSync } from "node:child_process";
import { existsSync, readdirSync, readFileSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { chromiumAvailable, decodePng, threwInBrowser } from "./chromium.mjs";

const options = {};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, "")] = resolve(process.argv[i + 1]);

let failures = 0;
function check(condition, what) {
  if (!condition) {
    failures++;
    console.log(`FAILED: ${what}`);
  }
}
function near(actual, expected, tolerance = 3) {
  return actual.every((v, i) => Math.abs(v - expected[i]) <= tolerance);
}
const rgb = (css) => css.match(/\d+/g).slice(0, 3).map(Number);

function runBuilder(program, answers, folder) {
  execFileSync(program, [], { cwd: folder, input: answers, stdio: ["pipe", "ignore", "inherit"], maxBuffer: 1 << 30 });
}
function report(folder) {
  execFileSync(options.gwinspect, ["report", folder, "-o", join(folder, "report.html")], { stdio: "inherit" });
  return "file://" + join(folder, "report.html");
}

// The legend's colours of a figure, by the first words of each entry.
async function legendColours(browser, figure) {
  return browser.evaluate(`Object.fromEntries(Array.from(document.querySelectorAll("${figure} .legend li"))
      .map((li) => [li.textContent.split(/[(:]/)[0].trim(), getComputedStyle(li.querySelector(".swatch")).backgroundColor]))`);
}
async function plotRect(browser, figure) {
  return browser.evaluate(`(() => { const p = document.querySelector("${figure} .plot");
      p.scrollIntoView({ block: "start" }); window.scrollBy(0, -90);  // below the sticky period picker
      const r = p.querySelector("img").getBoundingClientRect();
      return { left: r.left, top: r.top, width: r.width, height: r.height }; })()`);
}
// A point inside cell (row, column) of a map whose cells are as wide as
// `widths.columns` and as high as `widths.rows` say; `fx`, `fy` from 0
// (its top left) to 1.
function inCell(rect, widths, row, column, fx = 0.5, fy = 0.5) {
  const along = (list, n, f) => (list.slice(0, n - 1).reduce((a, b) => a + b, 0) + f * list[n - 1]) /
                                list.reduce((a, b) => a + b, 0);
  return [rect.left + rect.width * along(widths.columns, column, fx), rect.top + rect.height * along(widths.rows, row, fy)];
}
const squares = (rows, columns) => ({ rows: Array(rows).fill(1), columns: Array(columns).fill(1) });

function buildModel(scratch, name, answers) {
  const folder = join(scratch, name);
  execFileSync("mkdir", ["-p", folder]);
  runBuilder(options.morvek, readFileSync(join(answers, "morvek.txt")), folder);
  runBuilder(options.cindral, readFileSync(join(answers, "cindral.txt")), folder);
  runBuilder(options.quillet, readFileSync(join(answers, "quillet.txt")), folder);
  return folder;
}

async function exampleModel(browser, scratch) {
  await browser.open(report(buildModel(scratch, "example", options.examples)), 1400, 1100);
  await browser.waitFor("document.body.dataset.drainsReady === 'true'", "the drains to be read");
  check(browser.errors.length === 0, `the example page loads without console errors: ${browser.errors.join("; ")}`);
  // The example selects no solver, and that is all the check finds.
  const findings = await browser.evaluate(`Array.from(document.querySelectorAll("#findings li"),
      (li) => li.className + " " + li.textContent)`);
  check(findings.length === 1 && /^error .*FOR001:4:25 no solver is selected/.test(findings[0]),
        `the example model's only finding is that no solver is selected: ${findings.join(" | ")}`);

  // Layer 1 of examples/morvek.txt: constant head down column 1, no flow
  // at (5,7), (6,6) and (6,7), active elsewhere; 6 rows, 7 columns, as
  // wide as examples/cindral.txt gives them (DELR- 200, 150, 100, 100,
  // 100, 150, 200; DELC- 100 for every row).
  const widths = { columns: [200, 150, 100, 100, 100, 150, 200], rows: Array(6).fill(100) };
  const boundary = "#layer-1 figure:nth-of-type(1)";
  const colours = await legendColours(browser, boundary);
  const want = { "-1": rgb(colours["constant head"]), 0: rgb(colours["no flow"]), 1: rgb(colours.active) };
  const drain = rgb(colours.drain);
  check(new Set(Object.values(want).map(String)).size === 3, "constant head, no flow and active have three colours");
  const classOf = (row, column) =>
    column === 1 ? -1 : (row === 5 && column === 7) || (row === 6 && column >= 6) ? 0 : 1;
  let rect = await plotRect(browser, boundary);
  let shot = await browser.screenshot();
  for (let row = 1; row <= 6; row++) {
    for (let column = 1; column <= 7; column++) {
      // Off the middle, where a drain's mark would be.
      const seen = shot.pixel(...inCell(rect, widths, row, column, 0.2, 0.2));
      check(near(seen, want[classOf(row, column)]),
            `layer 1, row ${row}, column ${column} shows the colour of ${classOf(row, column)}: saw ${seen}`);
    }
  }
  const middleOf = (r, row, column) => shot.pixel(...inCell(r, widths, row, column));
  check(near(middleOf(rect, 5, 6), drain) && near(middleOf(rect, 4, 7), drain),
        "stress period 1: drains marked at layer 1, row 5, column 6 and row 4, column 7");
  check(near(middleOf(rect, 5, 7), want[0]) && near(middleOf(rect, 3, 7), want[1]), "no drain mark at rows 3 and 5 of column 7");

  // Two presses of "next stress period": period 3 lists one drain, in
  // layer 2, row 3, column 4.
  const next = await browser.evaluate(`(() => { const r = document.getElementById("period-next").getBoundingClientRect();
      return [r.left + r.width / 2, r.top + r.height / 2]; })()`);
  await browser.click(...next);
  await browser.click(...next);
  check(await browser.evaluate(`document.getElementById("period").value`) === "3", "the selector shows period 3");
  rect = await plotRect(browser, boundary);
  shot = await browser.screenshot();
  check(near(middleOf(rect, 5, 6), want[1]) && near(middleOf(rect, 4, 7), want[1]),
        "stress period 3: no drain marks left in layer 1");
  const layer2 = await plotRect(browser, "#layer-2 figure:nth-of-type(1)");
  shot = await browser.screenshot();
  check(near(middleOf(layer2, 3, 4), drain), "stress period 3: a drain marked at layer 2, row 3, column 4");

  // The pointer over that drain, then the keyboard on layer 1's map.
  await browser.hover(...inCell(layer2, widths, 3, 4));
  await browser.waitFor(`/Boundary: 1/.test(document.getElementById("tip").textContent)`, "the tooltip's values");
  const hovered = await browser.evaluate(`document.getElementById("tip").textContent`);
  check(/Layer 2, row 3, column 4/.test(hovered) && /Drain 1 of period 3.*elevation 88 length, conductance 12\.5/.test(hovered) &&
        /Boundary: 1 \(active\)/.test(hovered), `hovering the drain tells its cell and values: ${hovered}`);
  await browser.evaluate(`document.querySelector("${boundary} .plot").focus()`);
  await browser.key("ArrowRight");
  await browser.key("ArrowDown");
  await browser.key("ArrowLeft");
  await browser.waitFor(`/Boundary: -1/.test(document.getElementById("tip").textContent)`, "the tooltip's values");
  const keyed = await browser.evaluate(`document.getElementById("tip").textContent`);
  check(/Layer 1, row 2, column 1/.test(keyed) && /Boundary: -1 \(constant head\)/.test(keyed) &&
        /Starting head: 100 length/.test(keyed) && /Hydraulic conductivity: 12\.5 length\/day/.test(keyed),
        `the arrow keys reach row 2, column 1: ${keyed}`);
  check(browser.errors.length === 0, `no console errors while used: ${browser.errors.join("; ")}`);

  if (options.screenshot) {
    await browser.evaluate(`document.activeElement.blur(); document.getElementById("tip").hidden = true;
        document.getElementById("period").value = "1"; document.getElementById("period").dispatchEvent(new Event("change"));
        document.querySelector("#maps").scrollIntoView({ block: "start" })`);
    const picture = await browser.screenshot();
    writeFileSync(options.screenshot, picture.file);
  }
}

// The faulty example: a drain in a no-flow cell is a finding with a cell;
// its place, clicked, shows the cell on the map and marks it.
async function faultyModel(browser, scratch) {
  await browser.open(report(buildModel(scratch, "faulty", join(options.examples, "faulty"))), 1400, 1100);
  check(browser.errors.length === 0, `the faulty example's page loads without console errors: ${browser.errors.join("; ")}`);
  const link = await browser.evaluate(`(() => { const a = Array.from(document.querySelectorAll("a[data-finding]"))
      .find((a) => /no-flow cell/.test(a.parentElement.textContent));
      if (!a) return null; a.scrollIntoView({ block: "center" }); const r = a.getBoundingClientRect();
      return [r.left + r.width / 2, r.top + r.height / 2]; })()`);
  check(link !== null, "the finding of the drain in a no-flow cell has a place to click");
  if (link === null) return;
  await browser.click(...link);
  await browser.waitFor(`/Boundary: 0 \\(no flow\\)/.test(document.getElementById("tip").textContent)`, "the cell's values");
  const shown = await browser.evaluate(`[document.activeElement.closest("figure").id,
      document.activeElement.closest("section").id, document.getElementById("tip").textContent]`);
  check(shown[1] === "layer-1" && /Layer 1, row 5, column 7/.test(shown[2]) && /FOR013:3:1: drain 1 of stress period 1/.test(shown[2]),
        `clicking the finding shows layer 1, row 5, column 7 with the finding: ${shown.join(" | ")}`);
  const rect = await plotRect(browser, `#${shown[0]}`);
  const shot = await browser.screenshot();
  const colour = rgb(await browser.evaluate(`getComputedStyle(document.querySelector(".finding-mark")).backgroundColor`));
  const [x, y] = inCell(rect, squares(6, 7), 5, 7);
  let marked = false;
  for (let dx = -24; dx <= 24; dx++) marked = marked || near(shot.pixel(x + dx, y), colour, 8);
  check(marked, "the finding's cell carries its mark on the map");
}

// A grid of 1200 rows by 1500 columns, all active but a lone no-flow
// cell at (601, 777) and a lone constant-head cell at (100, 1400); drawn
// on 1000 by 800 pixels, so each pixel covers cells of two rows and two
// columns or more.
async function largeGrid(browser, scratch) {
  const rows = 1200, columns = 1500;
  const lone = { "601,777": "0", "100,1400": "-1" };
  const lines = ["Large grid", "one no-flow and one constant-head cell", "1", String(rows), String(columns), "1", "4",
                 ...Array(11).fill("0"), "0", "0", "1"];
  for (let r = 1; r <= rows; r++) {
    for (let c = 1; c <= columns; c++) lines.push(lone[`${r},${c}`] || "1");
  }
  lines.push("999", "0", "100", "1", "1", "1");
  const folder = join(scratch, "large");
  execFileSync("mkdir", ["-p", folder]);
  runBuilder(options.morvek, lines.join("\n") + "\n", folder);
  await browser.open(report(folder), 1400, 1000);
  check(browser.errors.length === 0, `the large grid's page loads without console errors: ${browser.errors.join("; ")}`);
  const figure = "#layer-1 figure:nth-of-type(1)";
  const note = await browser.evaluate(`document.querySelector("${figure} .note").textContent`);
  check(/^Reduced: a pixel covers up to [2-9] columns and [2-9] rows/.test(note), `the map says it is reduced: ${note}`);
  const colours = await legendColours(browser, figure);
  const rect = await plotRect(browser, figure);
  check(rect.width === 1000 && rect.height === 800, `the map is 1000 by 800 pixels: ${rect.width} by ${rect.height}`);
  const shot = await browser.screenshot();
  const count = (colour) => {
    const found = [];
    for (let y = 0; y < rect.height; y++) {
      for (let x = 0; x < rect.width; x++) {
        if (near(shot.pixel(rect.left + x, rect.top + y), colour, 2)) found.push([x, y]);
      }
    }
    return found;
  };
  for (const [name, row, column] of [["no flow", 601, 777], ["constant head", 100, 1400]]) {
    const found = count(rgb(colours[name]));
    const x = (column - 0.5) / columns * rect.width, y = (row - 0.5) / rows * rect.height;
    check(found.length >= 1 && found.length <= 4 && found.every(([fx, fy]) => Math.abs(fx - x) <= 2 && Math.abs(fy - y) <= 2),
          `the lone ${name} cell shows as a pixel or two near (${x.toFixed(1)}, ${y.toFixed(1)}): ${JSON.stringify(found)}`);
  }
}

// One layer of 40 rows by 500 columns: constant head down column 1, no flow
// in the last 80 columns and in rows 1-5 of columns 2-119, heads 87 to 543
// on the active cells and 999 in the no-flow ones; drains in (5, 20),
// (12, 80) and (19, 140).
function wideModel(scratch) {
  const rows = 40, columns = 500;
  const noFlow = (r, c) => c > columns - 80 || (r < 6 && c < 120 && c > 1);
  const lines = ["Valley with a no-flow margin", "heads 999 in no-flow cells", "1", String(rows), String(columns), "2", "4",
                 ...Array(11).fill("0"), "0", "0", "1"];
  for (let r = 1; r <= rows; r++) {
    for (let c = 1; c <= columns; c++) lines.push(c === 1 ? "-1" : noFlow(r, c) ? "0" : "1");
  }
  lines.push("999", "1");
  for (let r = 1; r <= rows; r++) {
    for (let c = 1; c <= columns; c++) lines.push(noFlow(r, c) ? "999" : (87 + (456 * (c - 1)) / (columns - 81)).toFixed(1));
  }
  lines.push("365", "10", "1.2", "180", "6", "1.5");
  const folder = join(scratch, "wide");
  execFileSync("mkdir", ["-p", folder]);
  runBuilder(options.morvek, lines.join("\n") + "\n", folder);
  const drains = ["20", "0", "2", "3"];
  for (const [r, c] of [[5, 20], [12, 80], [19, 140]]) drains.push("1", String(r), String(c), "95.5", "1000.0");
  drains.push("-1");
  runBuilder(options.quillet, drains.join("\n") + "\n", folder);
  return folder;
}

// The visible axis numbers of every map, as rectangles, by figure.
const visibleTicks = `Array.from(document.querySelectorAll("figure.map .frame")).map((frame) =>
    Array.from(frame.querySelectorAll(".ticks span")).filter((s) => getComputedStyle(s).visibility !== "hidden")
      .map((s) => { const r = s.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom, s.textContent]; }))`;

async function phoneWidth(browser, scratch) {
  for (const [name, folder] of [["example", join(scratch, "example")], ["wide", wideModel(scratch)]]) {
    await browser.open(report(folder), 390, 844, { phone: true });
    check(browser.errors.length === 0, `${name} at 390 px: no console errors: ${browser.errors.join("; ")}`);
    const width = await browser.evaluate("[document.documentElement.scrollWidth, window.innerWidth]");
    check(width[0] <= 390 && width[1] === 390, `${name} at 390 px: the page does not scroll sideways: ${width}`);
    const outside = await browser.evaluate(`Array.from(document.querySelectorAll("body *")).filter((e) =>
        e.getBoundingClientRect().right > window.innerWidth + 0.5 && !e.closest(".table-box") && !e.closest("#tip"))
        .map((e) => e.tagName + "." + e.className).slice(0, 5)`);
    check(outside.length === 0, `${name} at 390 px: nothing reaches past the screen but inside a table's box: ${outside}`);
    const figures = await browser.evaluate(visibleTicks);
    for (const [f, ticks] of figures.entries()) {
      for (let i = 0; i < ticks.length; i++) {
        for (let j = i + 1; j < ticks.length; j++) {
          const [a, b] = [ticks[i], ticks[j]];
          const overlap = a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
          check(!overlap, `${name} at 390 px, figure ${f + 1}: axis numbers ${a[4]} and ${b[4]} overlap`);
        }
      }
      check(ticks.length >= 4, `${name} at 390 px, figure ${f + 1}: some axis numbers stay: ${ticks.map((t) => t[4])}`);
    }
    const words = await browser.evaluate(`document.querySelector("#maps > p").innerText`);
    check(/Tap a cell/.test(words) && !/[Hh]over|arrow keys/.test(words), `${name} at 390 px: the page tells to tap: ${words}`);
  }
  // A tap on the wide model's boundary map, at row 30, column 250.
  const rect = await plotRect(browser, "#layer-1 figure:nth-of-type(1)");
  await browser.tap(...inCell(rect, squares(40, 500), 30, 250));
  await browser.waitFor(`!document.getElementById("tip").hidden`, "the tooltip after a tap");
  const tipped = await browser.evaluate(`document.getElementById("tip").textContent`);
  check(/Layer 1, row 30, column 25\d/.test(tipped) && /Starting head: [0-9.]+ length/.test(tipped),
        `a tap shows the cell's tooltip: ${tipped}`);
  const tipBox = await browser.evaluate(`(() => { const r = document.getElementById("tip").getBoundingClientRect(); return [r.left, r.right]; })()`);
  check(tipBox[0] >= 0 && tipBox[1] <= 390, `the tooltip stays on the screen: ${tipBox}`);
}

// Printed: the example page laid out for print. The drains of period 1 must
// be on the boundary canvas when the load event comes (a printing browser
// prints then), and the legend's colours must print without background
// graphics.
async function printed(browser, scratch) {
  // The marks as printed: the picture that stands for the canvas on paper.
  const atLoad = `window.addEventListener("load", () => {
      const marks = document.querySelector("#layer-1 figure img.marks");
      if (!marks || !marks.complete) return (window.drainsAtLoad = "no picture of the marks at load");
      const canvas = document.createElement("canvas");
      canvas.width = marks.naturalWidth;
      canvas.height = marks.naturalHeight;
      const g = canvas.getContext("2d");
      g.drawImage(marks, 0, 0);
      const drainAt = (fx, fy) => { const p = g.getImageData(Math.floor(fx * canvas.width), Math.floor(fy * canvas.height), 1, 1).data;
                                    return Math.abs(p[0] - 255) < 8 && Math.abs(p[1] - 127) < 8 && p[2] < 8 && p[3] > 200; };
      window.drainsAtLoad = [drainAt(${(200 + 150 + 300 + 75) / 1000}, 4.5 / 6), drainAt(${(1000 - 100) / 1000}, 3.5 / 6),
                             drainAt(${(200 + 150 + 300 + 75) / 1000}, 2.5 / 6)];
    });`;
  await browser.open(report(join(scratch, "example")), 1000, 1400, { media: "print", beforeLoad: atLoad });
  const drains = await browser.evaluate("window.drainsAtLoad");
  check(JSON.stringify(drains) === "[true,true,false]",
        `printed: the drains at layer 1, (5, 6) and (4, 7) are drawn by the load event, none at (3, 6): ${JSON.stringify(drains)}`);
  const layers = await browser.evaluate(`(() => { const f = document.querySelector("#layer-1 figure");
      return [getComputedStyle(f.querySelector("canvas")).display, getComputedStyle(f.querySelector("img.marks")).display]; })()`);
  check(layers[0] === "none" && layers[1] === "block", `printed: the picture of the marks stands for the canvas: ${layers}`);
  const shown = await browser.evaluate(`[document.querySelector("#maps > p").innerText,
      getComputedStyle(document.querySelector(".period-picker")).display,
      Array.from(document.querySelectorAll(".swatch, .scale .bar")).every((e) => getComputedStyle(e).printColorAdjust === "exact"),
      Array.from(document.querySelectorAll(".legend li")).map((li) => li.innerText).filter((t) => /^drain/.test(t))]`);
  check(/The drains marked are those of stress period 1 of 3\./.test(shown[0]) && !/[Hh]over|[Tt]ap /.test(shown[0]),
        `printed: the page names the period shown, and says nothing of hovering: ${shown[0]}`);
  check(shown[1] === "none", "printed: the period picker is left out");
  check(shown[2], "printed: swatches and colour bars print their colour without background graphics");
  check(shown[3].length > 0 && shown[3].every((t) => t === "drain (stress period 1)"), `printed: legends name the period: ${shown[3]}`);
  const pdf = await browser.pdf();
  check(pdf.subarray(0, 5).toString() === "%PDF-" && pdf.length > 10000, `the page prints to a PDF: ${pdf.length} bytes`);
  // Where poppler-utils is installed, the PDF's pages as pictures: the
  // boundary map's colours and a drain's orange are on paper.
  const pdftoppm = ["/usr/bin/pdftoppm", "/usr/local/bin/pdftoppm"].find((p) => existsSync(p));
  if (!pdftoppm) {
    console.log("note: no pdftoppm (poppler-utils): the printed pages are not looked at as pictures");
    return;
  }
  const pdfFile = join(scratch, "printed.pdf");
  writeFileSync(pdfFile, pdf);
  execFileSync(pdftoppm, ["-r", "72", "-png", pdfFile, join(scratch, "printed")]);
  const colours = { active: [214, 236, 196], "constant head": [33, 102, 172], drain: [255, 127, 0] };
  const found = Object.fromEntries(Object.keys(colours).map((k) => [k, 0]));
  for (const file of readdirSync(scratch).filter((f) => /^printed-\d+\.png$/.test(f))) {
    const page = decodePng(readFileSync(join(scratch, file)));
    for (let y = 0; y < page.height; y++) {
      for (let x = 0; x < page.width; x++) {
        const p = page.pixel(x, y);
        for (const [k, c] of Object.entries(colours)) if (near(p, c, 6)) found[k]++;
      }
    }
  }
  // Beyond the legend's swatches (about 10 by 10 points each): the map
  // itself and its drain marks.
  check(found.active > 2000 && found["constant head"] > 500 && found.drain > 30,
        `printed pages show the boundary map and its drains: pixels ${JSON.stringify(found)}`);
}

if (!chromiumAvailable()) {
  console.log("SKIPPED: no chromium (Debian package chromium) to run the browser tests");
  process.exit(77);
}
const threw = await threwInBrowser("report-test-", async (browser, scratch) => {
  await exampleModel(browser, scratch);
  browser.errors.length = 0;
  await faultyModel(browser, scratch);
  browser.errors.length = 0;
  await largeGrid(browser, scratch);
  browser.errors.length = 0;
  await phoneWidth(browser, scratch);
  browser.errors.length = 0;
  await printed(browser, scratch);
});
if (threw) failures++;
console.log(failures === 0 ? "passed" : `${failures} check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
