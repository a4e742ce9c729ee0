// The report page's own inflater (page.js), which the page uses so that it
// can draw every mark before it is printed, against node's zlib: every
// kind of block (stored, fixed and dynamic codes), at every level.
//
//   node page_inflate.mjs PAGE_JS
import { readFileSync } from "node:fs";
import { constants, deflateSync } from "node:zlib";

const script = readFileSync(process.argv[2], "utf8");
const from = script.indexOf("  const LENGTH_BASE"), to = script.indexOf("  function number(x)");
if (from < 0 || to < from) {
  console.log("FAILED: page.js has no inflater where this test looks for it");
  process.exit(1);
}
const inflate = new Function("atob", `${script.slice(from, to)}; return inflate;`)(
  (text) => Buffer.from(text, "base64").toString("latin1"));

// Deterministic bytes: repetitive, random-like, and a mix of both.
let seed = 12345;
const random = () => ((seed = (seed * 1103515245 + 12345) >>> 0) >>> 16) & 255;
const inputs = {
  empty: Buffer.alloc(0),
  "one byte": Buffer.from([7]),
  repeated: Buffer.from("drain ".repeat(5000)),
  "random-like": Buffer.from(Array.from({ length: 150000 }, random)),
  mixed: Buffer.from(Array.from({ length: 400000 }, (_, i) => (i % 977 < 500 ? (i * 7) & 15 : random() % 40))),
  // What the page carries: 32-bit values, then one class byte each.
  blocks: Buffer.concat([Buffer.from(new Float32Array(Array.from({ length: 60000 }, (_, i) => 87 + (i % 500))).buffer),
                         Buffer.alloc(60000, 0)]),
};
let failures = 0;
for (const [name, bytes] of Object.entries(inputs)) {
  for (const level of [0, 1, 6, 9]) {
    for (const strategy of [constants.Z_DEFAULT_STRATEGY, constants.Z_FIXED, constants.Z_HUFFMAN_ONLY]) {
      const packed = deflateSync(bytes, { level, strategy }).toString("base64");
      const back = Buffer.from(inflate(packed));
      if (!back.equals(bytes)) {
        failures++;
        console.log(`FAILED: ${name}, level ${level}, strategy ${strategy}: ${back.length} bytes back of ${bytes.length}`);
      }
    }
  }
}
let refused = false;
try {
  inflate(deflateSync(inputs.mixed).subarray(0, 1000).toString("base64"));
} catch {
  refused = true;
}
if (!refused) {
  failures++;
  console.log("FAILED: a stream cut short is not refused");
}
console.log(failures === 0 ? "passed" : `${failures} check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
