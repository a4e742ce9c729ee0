// Headless Chromium driven through the DevTools protocol over a pipe
// (--remote-debugging-pipe: JSON messages ending in NUL on descriptors 3
// and 4), so that the browser tests need nothing beyond node and chromium.
import { spawn } from "node:child_process";
import { existsSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { inflateSync } from "node:zlib";

export const chromiumPath = process.env.CHROMIUM || "/usr/bin/chromium";

export function chromiumAvailable() {
  return existsSync(chromiumPath);
}

export class Browser {
  static async launch() {
    const profile = mkdtempSync(join(tmpdir(), "report-browser-"));
    const child = spawn(chromiumPath, [
      "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--hide-scrollbars", "--force-device-scale-factor=1", `--user-data-dir=${profile}`,
      "--remote-debugging-pipe", "about:blank",
    ], { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"] });
    child.stderr.on("data", () => {});  // the browser's own chatter
    const browser = new Browser(child, profile);
    const { targetId } = await browser.send("Target.createTarget", { url: "about:blank" });
    const { sessionId } = await browser.send("Target.attachToTarget", { targetId, flatten: true });
    browser.session = sessionId;
    for (const domain of ["Page", "Runtime", "Log"]) await browser.send(`${domain}.enable`, {}, sessionId);
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.next = 1;
    this.pending = new Map();
    this.waiters = [];
    this.errors = [];  // console errors and uncaught exceptions of the page
    let buffer = Buffer.alloc(0);
    child.stdio[4].on("data", (chunk) => {
      buffer = Buffer.concat([buffer, chunk]);
      for (let end; (end = buffer.indexOf(0)) >= 0;) {
        const message = JSON.parse(buffer.subarray(0, end).toString("utf8"));
        buffer = buffer.subarray(end + 1);
        this.receive(message);
      }
    });
  }

  receive(message) {
    if (message.id && this.pending.has(message.id)) {
      const { resolve, reject } = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (message.error) reject(new Error(`${message.error.message} (${message.error.code})`));
      else resolve(message.result);
      return;
    }
    const p = message.params || {};
    if (message.method === "Runtime.exceptionThrown") {
      this.errors.push(p.exceptionDetails.exception?.description || p.exceptionDetails.text);
    } else if (message.method === "Runtime.consoleAPICalled" && p.type === "error") {
      this.errors.push(p.args.map((a) => a.value ?? a.description).join(" "));
    } else if (message.method === "Log.entryAdded" && p.entry.level === "error") {
      this.errors.push(p.entry.text);
    }
    this.waiters = this.waiters.filter((w) => !(w.method === message.method && (w.resolve(p), true)));
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.next++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    this.child.stdio[3].write(JSON.stringify(message) + "\0");
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }
  call(method, params = {}) { return this.send(method, params, this.session); }

  event(method) { return new Promise((resolve) => this.waiters.push({ method, resolve })); }

  // `phone`: a touch screen with a mobile viewport; `media`: "print" to lay
  // the page out as printed; `beforeLoad`: a script run in the page ahead
  // of its own.
  async open(url, width, height, { phone = false, media = "", beforeLoad = "" } = {}) {
    await this.call("Emulation.setDeviceMetricsOverride", { width, height, deviceScaleFactor: 1, mobile: phone });
    await this.call("Emulation.setTouchEmulationEnabled", { enabled: phone, maxTouchPoints: phone ? 5 : 1 });
    await this.call("Emulation.setEmulatedMedia", {
      media, features: phone ? [{ name: "hover", value: "none" }, { name: "pointer", value: "coarse" }] : [] });
    if (this.beforeLoad) await this.call("Page.removeScriptToEvaluateOnNewDocument", { identifier: this.beforeLoad });
    this.beforeLoad = beforeLoad
      ? (await this.call("Page.addScriptToEvaluateOnNewDocument", { source: beforeLoad })).identifier : null;
    const loaded = this.event("Page.loadEventFired");
    await this.call("Page.navigate", { url });
    await loaded;
  }

  async evaluate(expression) {
    const { result, exceptionDetails } = await this.call("Runtime.evaluate", {
      expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) throw new Error(`evaluating ${expression}: ${exceptionDetails.exception?.description}`);
    return result.value;
  }

  async waitFor(expression, what, seconds = 10) {
    for (const end = Date.now() + seconds * 1000; Date.now() < end;) {
      if (await this.evaluate(expression)) return;
      await new Promise((r) => setTimeout(r, 50));
    }
    throw new Error(`timed out waiting for ${what}`);
  }

  async click(x, y) {
    for (const type of ["mousePressed", "mouseReleased"]) {
      await this.call("Input.dispatchMouseEvent", { type, x, y, button: "left", clickCount: 1 });
    }
  }
  async tap(x, y) {
    await this.call("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
    await this.call("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  }
  // The page printed as `chromium --print-to-pdf` prints it (no background
  // graphics), as PDF bytes.
  async pdf() {
    const { data } = await this.call("Page.printToPDF", { printBackground: false });
    return Buffer.from(data, "base64");
  }
  async hover(x, y) { await this.call("Input.dispatchMouseEvent", { type: "mouseMoved", x, y }); }
  async key(key, code = key) {
    const keyCodes = { ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, Tab: 9 };
    for (const type of ["rawKeyDown", "keyUp"]) {
      await this.call("Input.dispatchKeyEvent", { type, key, code, windowsVirtualKeyCode: keyCodes[key] });
    }
  }

  // The viewport as the user sees it, decoded to RGBA pixels.
  async screenshot() {
    await this.evaluate("new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))");
    const { data } = await this.call("Page.captureScreenshot", { format: "png" });
    return decodePng(Buffer.from(data, "base64"));
  }

  async close() {
    const exited = new Promise((r) => (this.child.exitCode !== null ? r() : this.child.once("exit", r)));
    this.send("Browser.close").catch(() => {});
    await Promise.race([exited, new Promise((r) => setTimeout(r, 5000))]);
    if (this.child.exitCode === null) {
      this.child.kill();
      await exited;
    }
    rmSync(this.profile, { recursive: true, force: true, maxRetries: 5 });
  }
}

// A PNG of 8-bit RGB or RGBA, not interlaced (what the browser's
// screenshots are), as { width, height, pixel(x, y) -> [r, g, b] }.
export function decodePng(file) {
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at < file.length;) {
    const length = file.readUInt32BE(at);
    const type = file.toString("latin1", at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8);
      if (depth !== 8 || interlace !== 0 || (colour !== 2 && colour !== 6)) {
        throw new Error(`unexpected screenshot PNG: depth ${depth}, colour type ${colour}`);
      }
      channels = colour === 6 ? 4 : 3;
    } else if (type === "IDAT") {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? pixels[y * stride + i - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const c = y > 0 && i >= channels ? pixels[(y - 1) * stride + i - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + i] = (line[i] + predictor) & 255;
    }
  }
  return {
    width, height, file,
    pixel(x, y) {
      const at = Math.round(y) * stride + Math.round(x) * channels;
      return [pixels[at], pixels[at + 1], pixels[at + 2]];
    },
  };
}

// Runs `body(browser, scratch)` in a fresh browser with a fresh scratch
// folder, both removed afterwards whatever happens. An exception the body
// throws is printed with its stack; the result says whether one was thrown.
export async function threwInBrowser(scratchPrefix, body) {
  const scratch = mkdtempSync(join(tmpdir(), scratchPrefix));
  const browser = await Browser.launch();
  try {
    await body(browser, scratch);
    return false;
  } catch (error) {
    console.log(`FAILED: ${error.stack}`);
    return true;
  } finally {
    await browser.close();
    rmSync(scratch, { recursive: true, force: true });
  }
}
