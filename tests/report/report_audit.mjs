// gwinspect report's page audited by axe-core in headless Chromium, at a
// desktop's and a phone's width, in light and dark mode: zero violations,
// the experimental label-content-name-mismatch rule included.
//
//   node report_audit.mjs --gwinspect G --morvek M --cindral C --quillet Q --examples DIR
//
// axe-core comes from tests/report/node_modules (npm ci in tests/report;
// .ci/run does it). Exit status 0 passed, 1 failed, 77 skipped (no chromium
// or no axe-core).
import { execFileSync } from "node:child_process";
import { existsSync, readFileSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { chromiumAvailable, threwInBrowser } from "./chromium.mjs";

const options = {};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, "")] = resolve(process.argv[i + 1]);
const axePath = join(dirname(fileURLToPath(import.meta.url)), "node_modules", "axe-core", "axe.min.js");

if (!chromiumAvailable()) {
  console.log("SKIPPED: no chromium (Debian package chromium) to run the audit");
  process.exit(77);
}
if (!existsSync(axePath)) {
  console.log("SKIPPED: no axe-core (npm ci in tests/report installs the pinned version)");
  process.exit(77);
}

function model(scratch, name, answers) {
  const folder = join(scratch, name);
  execFileSync("mkdir", ["-p", folder]);
  for (const [program, file] of [["morvek", "morvek.txt"], ["cindral", "cindral.txt"], ["quillet", "quillet.txt"]]) {
    execFileSync(options[program], [], { cwd: folder, input: readFileSync(join(answers, file)), stdio: ["pipe", "ignore", "inherit"] });
  }
  execFileSync(options.gwinspect, ["report", folder, "-o", join(folder, "report.html"), "--length-unit", "m"], { stdio: "ignore" });
  return "file://" + join(folder, "report.html");
}

let failures = 0;
const threw = await threwInBrowser("report-audit-", async (browser, scratch) => {
  const axe = readFileSync(axePath, "utf8");
  const pages = [["example", model(scratch, "example", options.examples)],
                 ["faulty example", model(scratch, "faulty", join(options.examples, "faulty"))]];
  for (const [name, url] of pages) {
    for (const [width, phone] of [[1400, false], [390, true]]) {
      for (const scheme of ["light", "dark"]) {
        await browser.open(url, width, 900, { phone });
        await browser.call("Emulation.setEmulatedMedia", { features: [{ name: "prefers-color-scheme", value: scheme }] });
        await browser.evaluate(axe);
        const violations = await browser.evaluate(`axe.run(document, {
            rules: { "label-content-name-mismatch": { enabled: true } } })
          .then((r) => r.violations.map((v) => v.id + " (" + v.nodes.length + "): " + v.help + " \u2014 " +
                                         v.nodes.slice(0, 2).map((n) => n.target.join(" ")).join(", ")))`);
        // Every button's name holds the text it shows (its glyphs included).
        violations.push(...await browser.evaluate(`Array.from(document.querySelectorAll("button"))
            .filter((b) => b.hasAttribute("aria-label") && !b.getAttribute("aria-label").includes(b.textContent.trim()))
            .map((b) => "button " + b.id + ": its name does not hold its text " + b.textContent)`));
        if (violations.length > 0) {
          failures++;
          console.log(`FAILED: ${name}, ${width} px, ${scheme}: ${violations.join("; ")}`);
        }
      }
    }
  }
});
if (threw) failures++;
console.log(failures === 0 ? "passed" : `${failures} audit(s) failed`);
process.exit(failures === 0 ? 0 : 1);
