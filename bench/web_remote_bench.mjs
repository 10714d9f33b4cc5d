// The web remote's figures, end to end on loopback (run by hand on the Release build, after the
// browser test has installed puppeteer-core):
//   node bench/web_remote_bench.mjs build/bin/orinsub [--moves N] [--idle SECONDS]
//        [--only touch,message,repaint,load,idle,flood,pings,slow,handshake]
//
// Starts the console itself (an empty settings store, Art-Net to 127.0.0.1 so that this script
// sees every frame the interface sends, the remote on a free port of 127.0.0.1) and headless
// Chromium with a phone held upright (390 × 844, touch, device scale 2), then measures:
//   touch to wire     a touch move on the page's channel fader A/1 (row A on air; the rows are
//                     scrolled into sight below the play view) until the first
//                     ArtDmx packet whose slot 1 carries the new level, N moves at random points
//                     of the 20 ms tick;
//   message to wire   the same moves sent by a bare WebSocket client;
//   change to repaint another device moves sub-master 1 until the page has painted the new
//                     position (the next animation frame after the change);
//   first frame       navigation start until the phone's play view shows the desk as it is and
//                     can be played;
//   idle CPU          the console's CPU with 16 pages connected and untouched, against none;
//   flood             one client sends moves of A/3 as fast as the system takes them and
//                     reconnects whenever it is dropped; meanwhile two 5 s GOs run (how many frames
//                     change the level, against one GO before the flood), touch to wire and message
//                     to wire are measured again, and the console's memory is sampled; then a
//                     client pings without ever reading the answers;
//   pings             15 pages send pings (1,900 a second each, then as fast as the console
//                     takes them), pongs or empty fragments during two 5 s GOs;
//   slow requests     connections that each send one byte of a request head every 0.5 s and
//                     reconnect when dropped: 40 from 127.0.0.1, then 8 from each of 4 and of 19
//                     addresses; meanwhile 48 page loads from a fresh address and from a slow one
//                     (how many are served, how long each took);
//   handshake slots   16 WebSocket handshakes the console refuses (version 12), eight at a time,
//                     then how long until a good one gets its connection.
// The attacks are in web_remote_attacks.mjs.
import { spawn } from 'node:child_process';
import { createSocket } from 'node:dgram';
import { connect } from 'node:net';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';
import { controlFloods, handshakeSlots, slowRequests } from './web_remote_attacks.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const puppeteer = createRequire(join(root, 'tests/surfaces/web/package.json'))('puppeteer-core');

const args = process.argv.slice(2);
const textOption = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const option = (name, fallback) => Number(textOption(name, fallback));
const executable = resolve(args[0] ?? join(root, 'build/bin/orinsub'));
const moves = option('--moves', 200);
const idleSeconds = option('--idle', 30);
const only = textOption('--only', 'touch,message,repaint,load,idle,flood,pings,slow,handshake').split(',');
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const nowMs = () => performance.timeOrigin + performance.now(); // wall clock, as the page's
const stats = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const at = (q) => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
  return `median ${at(0.5).toFixed(1)} ms, p99 ${at(0.99).toFixed(1)} ms, largest ${sorted.at(-1).toFixed(1)} ms (${sorted.length})`;
};

// Every ArtDmx packet the console sends: arrival time and slot 1.
const frames = [];
const artnet = createSocket('udp4');
artnet.on('message', (packet) => {
  if (packet.length > 18 && packet.toString('latin1', 0, 8) === 'Art-Net\0' && packet.readUInt16LE(8) === 0x5000)
    frames.push({ at: nowMs(), slot1: packet[18] });
});
await new Promise((r) => artnet.bind(6454, '127.0.0.1', r));

const config = mkdtempSync(join(tmpdir(), 'orinsub-bench-'));
const console_ = spawn(executable, ['--dmx', 'artnet:127.0.0.1', '--remote', '127.0.0.1:0'], {
  env: { ...process.env, QT_QPA_PLATFORM: 'offscreen', XDG_CONFIG_HOME: config, XDG_STATE_HOME: config },
  stdio: ['ignore', 'pipe', 'inherit'],
});
process.on('exit', () => console_.kill('SIGKILL')); // even when the bench itself fails
const url = await new Promise((resolveUrl, reject) => {
  let out = '';
  console_.stdout.on('data', (chunk) => {
    out += chunk;
    const found = out.match(/http:\/\/[0-9.:]+\//);
    if (found) resolveUrl(found[0]);
  });
  console_.on('exit', () => reject(new Error('the console ended: ' + out)));
});

const { hostname: consoleHost, port: consolePort } = new URL(url);
const host = `${consoleHost}:${consolePort}`;
const residentKiB = () =>
  Number(readFileSync(`/proc/${console_.pid}/status`, 'latin1').match(/VmRSS:\s+(\d+)/)[1]);
const cpuSeconds = () => {
  const fields = readFileSync(`/proc/${console_.pid}/stat`, 'latin1').split(') ')[1].split(' ');
  return (Number(fields[11]) + Number(fields[12])) / 100; // utime + stime, in clock ticks
};

const profile = mkdtempSync(join(tmpdir(), 'orinsub-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  userDataDir: profile,
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

async function openPage() {
  const page = await browser.newPage();
  await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  // The first animation frame after the desk is shown, from navigation start.
  await page.evaluateOnNewDocument(() => {
    new MutationObserver((changes, observer) => {
      if (document.body?.dataset.ready !== 'true') return;
      observer.disconnect();
      requestAnimationFrame(() => (window.firstFrame = performance.now()));
    }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });
  });
  await page.goto(url);
  await page.waitForFunction(() => window.firstFrame !== undefined);
  return page;
}

async function touchDriver(page) {
  const cdp = await page.createCDPSession();
  return (type, x, y) =>
    cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y, id: 1 }] });
}

async function knobOf(page, target) {
  return page.$eval(`[data-target="${target}"] .knob`, (e) => {
    const r = e.getBoundingClientRect();
    const g = e.parentElement.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2, height: g.height };
  });
}

// A bare WebSocket client on the page's origin: the console's own share of the touch-to-wire
// time, without the browser's input handling.
const upgrade = (version = 13) =>
  `GET /ws HTTP/1.1\r\nHost: ${host}\r\nOrigin: http://${host}\r\nUpgrade: websocket\r\n` +
  `Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: ${version}\r\n\r\n`;

async function rawWebSocket() {
  const socket = connect({ host: '127.0.0.1', port: Number(consolePort), noDelay: true });
  socket.on('error', (error) => console.error('bench client: ' + error.message));
  socket.write(upgrade());
  await new Promise((r) => socket.once('data', r));
  const frame = (opcode, payload) => {
    const mask = Buffer.from([1, 2, 3, 4]);
    const masked = Buffer.from(payload.map((byte, i) => byte ^ mask[i % 4]));
    return Buffer.concat([Buffer.from([0x80 | opcode, 0x80 | payload.length]), mask, masked]);
  };
  // The console's frames, read only to answer its pings: a client that stays silent is dropped.
  let received = Buffer.alloc(0);
  socket.on('data', (chunk) => {
    received = Buffer.concat([received, chunk]);
    for (;;) {
      if (received.length < 2) break;
      const short = received[1] & 0x7f;
      const header = short === 126 ? 4 : short === 127 ? 10 : 2;
      if (received.length < header) break;
      const length = short === 126 ? received.readUInt16BE(2) : short === 127 ? Number(received.readBigUInt64BE(2)) : short;
      if (received.length < header + length) break;
      if ((received[0] & 0x0f) === 0x9) socket.write(frame(0xa, received.subarray(header, header + length)));
      received = received.subarray(header + length);
    }
  });
  return {
    send: (message) => socket.write(frame(0x1, Buffer.from(JSON.stringify(message)))),
    close: () => socket.destroy(),
  };
}

// Moves a fader of the desk from a bare client to level whatever its pick-up: the client's fader
// sweeps across the whole travel first, slowly enough that no two moves arrive together.
async function setFader(client, target, level) {
  for (const value of [0, 255, level]) {
    client.send({ t: 'move', n: target, v: value });
    await sleep(60);
  }
}

// The first frame since then that carries level on slot 1, or nothing after 10 s.
async function waitForFrame(since, level) {
  let frame;
  while (!(frame = frames.find((f) => f.at >= since && f.slot1 === level)) && nowMs() - since < 10000)
    await sleep(0.2);
  return frame;
}

// Row A on air: handle A all the way up, from the page.
async function rowAOnAir(page, touch) {
  const knob = await knobOf(page, 'xfade/A');
  await touch('touchStart', knob.x, knob.y);
  for (let step = 1; step <= 5; step++) await touch('touchMove', knob.x, knob.y - (step * knob.height) / 4);
  await touch('touchEnd');
  await page.waitForFunction(() => document.getElementById('lamp-A').classList.contains('on'));
}

async function touchToWire(page, touch, count) {
  await page.$eval('[data-target="A/1"]', (e) => e.scrollIntoView({ block: 'center' }));
  await sleep(100);
  const knob = await knobOf(page, 'A/1');
  await touch('touchStart', knob.x, knob.y);
  const latencies = [];
  for (let i = 0; i < count; i++) {
    await sleep(Math.random() * 20);
    const y = knob.y - ((i % 2 === 0 ? 0.6 : 0.2) + Math.random() * 0.1) * knob.height;
    const sent = nowMs();
    await touch('touchMove', knob.x, y);
    const level = Number(await page.$eval('[data-target="A/1"]', (e) => e.getAttribute('aria-valuenow')));
    latencies.push(((await waitForFrame(sent, level))?.at ?? Infinity) - sent);
    frames.length = 0;
  }
  await touch('touchEnd');
  return latencies;
}

// A bare client's moves of A/1 (row A on air): the console's share of the touch-to-wire time.
async function messageToWire(page, count) {
  const client = await rawWebSocket();
  client.send({ t: 'move', n: 'A/1', v: Number(await page.$eval('[data-target="A/1"]', (e) => e.getAttribute('aria-valuenow'))) });
  const latencies = [];
  for (let i = 0; i < count; i++) {
    await sleep(Math.random() * 20);
    const level = (i % 2 === 0 ? 150 : 50) + Math.floor(Math.random() * 50);
    const sent = nowMs();
    client.send({ t: 'move', n: 'A/1', v: level });
    latencies.push(((await waitForFrame(sent, level))?.at ?? Infinity) - sent);
    frames.length = 0;
  }
  client.close();
  return latencies;
}

// Another device moves sub-master 1. Its connection is opened from the page itself, so that the
// move and the repaint are timed on one clock.
async function changeToRepaint(page, count) {
  await page.evaluate(async () => {
    const fader = document.querySelector('[data-target="sub/1"]');
    window.other = new WebSocket('ws://' + location.host + '/ws');
    await new Promise((r) => (window.other.onopen = r));
    window.other.send(JSON.stringify({ t: 'move', n: 'sub/1', v: 0 })); // on the console's level: caught
    window.painted = [];
    new MutationObserver(() => {
      const level = Number(fader.getAttribute('aria-valuenow'));
      requestAnimationFrame(() => window.painted.push([level, performance.now()]));
    }).observe(fader, { attributeFilter: ['aria-valuenow'] });
  });
  const latencies = [];
  for (let i = 0; i < count; i++) {
    await sleep(20 + Math.random() * 20);
    const level = (i % 2 === 0 ? 150 : 50) + Math.floor(Math.random() * 50);
    const latency = await page.evaluate(async (level) => {
      window.painted = [];
      const sent = performance.now();
      window.other.send(JSON.stringify({ t: 'move', n: 'sub/1', v: level }));
      for (let waited = 0; waited < 2000; waited += 1) {
        const painted = window.painted.find(([v]) => v === level);
        if (painted) return painted[1] - sent;
        await new Promise((r) => setTimeout(r, 1));
      }
      return null;
    }, level);
    if (latency !== null) latencies.push(latency);
  }
  await page.evaluate(() => window.other.close());
  return latencies;
}

async function idleCpu() {
  await sleep(2000);
  let before = cpuSeconds();
  await sleep(idleSeconds * 1000);
  const none = (cpuSeconds() - before) / idleSeconds;
  const pages = [];
  for (let i = 0; i < 16; i++) pages.push(await openPage());
  await sleep(2000);
  before = cpuSeconds();
  await sleep(idleSeconds * 1000);
  const sixteen = (cpuSeconds() - before) / idleSeconds;
  for (const page of pages) await page.close();
  return `${(none * 100).toFixed(2)} % of a core with no page, ${(sixteen * 100).toFixed(2)} % ` +
    `with 16 pages (+${((sixteen - none) * 100).toFixed(2)} %)`;
}

// The flooding client runs on a thread of its own, so that its writing does not hold up the
// measures taken here.
const floodSource = `
const { workerData, parentPort } = require('node:worker_threads');
const { connect } = require('node:net');
const frame = (v) => {
  const payload = Buffer.from('{"t":"move","n":"A/3","v":' + v + '}');
  return Buffer.concat([Buffer.from([0x81, 0x80 | payload.length, 0, 0, 0, 0]), payload]);
};
const batch = Buffer.concat(Array.from({ length: 1000 }, (_, i) => frame(i % 256)));
let connections = 0, stopped = false, socket;
function open() {
  if (stopped) return;
  connections++;
  socket = connect({ host: '127.0.0.1', port: workerData.port });
  socket.on('error', () => {});
  socket.on('close', () => setImmediate(open));
  socket.write(workerData.upgrade);
  socket.once('data', function pump() {
    while (!stopped && !socket.destroyed && socket.write(batch));
    if (!stopped && !socket.destroyed) socket.once('drain', pump);
  });
  socket.on('data', () => {});
}
parentPort.on('message', () => {
  stopped = true;
  socket.destroy();
  parentPort.postMessage({ connections });
});
open();
`;

// GO over the fade time set, channel 1 only on row A: slot 1 climbs 0 to 255 or falls back.
// How many frames of the fade change the level (all of them when the console keeps up).
async function go(client) {
  frames.length = 0;
  await sleep(100);
  const from = frames.at(-1).slot1;
  const to = from === 0 ? 255 : 0;
  client.send({ t: 'press', n: 'go', d: true });
  client.send({ t: 'press', n: 'go', d: false });
  const pressed = nowMs();
  while (!frames.some((f) => f.at > pressed && f.slot1 === to) && nowMs() - pressed < 15000) await sleep(20);
  const first = frames.findIndex((f) => f.at > pressed && f.slot1 !== from);
  const last = frames.findIndex((f) => f.at > pressed && f.slot1 === to);
  const fade = first > 0 && last >= first ? frames.slice(first - 1, last + 1) : [];
  let changes = 0;
  let hold = 0;
  let longestHold = 0;
  for (let i = 1; i < fade.length; i++) {
    if (fade[i].slot1 !== fade[i - 1].slot1) {
      changes++;
      hold = 0;
    } else longestHold = Math.max(longestHold, ++hold);
  }
  return fade.length ? `level changed in ${changes} of ${fade.length - 1} frames, longest hold ${longestHold}` : 'no fade seen';
}

// Channel 1 at full on row A only, row B on air, a 5 s fade time: a GO makes slot 1 climb.
async function prepareGo(client) {
  for (const [target, level] of [['A/1', 255], ['B/1', 0], ['xfade/A', 0], ['xfade/B', 0], ['go/time', 50]])
    await setFader(client, target, level);
  await sleep(500);
}

async function flood(page, touch, client, count) {
  await prepareGo(client);
  const quiet = await go(client);

  const baseline = residentKiB();
  let peak = baseline;
  const sampler = setInterval(() => (peak = Math.max(peak, residentKiB())), 100);
  const worker = new Worker(floodSource, { eval: true, workerData: { port: Number(consolePort), upgrade: upgrade() } });
  const started = nowMs();
  const cpuBefore = cpuSeconds();
  await sleep(2000);
  const flooded = [await go(client), await go(client)]; // back to row B, then row A on air again
  const toWire = await touchToWire(page, touch, count);
  const messageWire = await messageToWire(page, count);
  const result = await new Promise((r) => {
    worker.once('message', r);
    worker.postMessage('stop');
  });
  const seconds = (nowMs() - started) / 1000;
  const cpu = (cpuSeconds() - cpuBefore) / seconds;
  await worker.terminate();
  clearInterval(sampler);
  await sleep(3000);
  return [
    `flood: ${result.connections} connections in ${seconds.toFixed(1)} s (dropped and reopened), ` +
      `console CPU ${(cpu * 100).toFixed(0)} % of a core`,
    `GO of 5 s: quiet ${quiet}; during the flood ${flooded.join('; ')}`,
    `touch to wire during the flood: ${stats(toWire)}`,
    `WebSocket message to wire during the flood: ${stats(messageWire)}`,
    `console memory: ${(baseline / 1024).toFixed(1)} MiB before the flood, peak +${((peak - baseline) / 1024).toFixed(1)} MiB, ` +
      `+${((residentKiB() - baseline) / 1024).toFixed(1)} MiB 3 s after`,
  ];
}

// A page that pings as fast as the system takes it and never reads the answers: how long until
// it is dropped, and what its answers cost the console's memory meanwhile.
async function pingFlood() {
  const socket = connect({ host: '127.0.0.1', port: Number(consolePort) });
  socket.on('error', () => {});
  let closed = false;
  socket.on('close', () => (closed = true));
  socket.write(upgrade());
  await new Promise((r) => socket.once('data', r));
  socket.pause();
  const pings = Buffer.alloc(6 * 10000);
  for (let i = 0; i < pings.length; i += 6) pings.set([0x89, 0x80], i);
  const baseline = residentKiB();
  let peak = baseline;
  const started = nowMs();
  const pump = () => {
    while (!closed && socket.write(pings));
    if (!closed) socket.once('drain', pump);
  };
  pump();
  while (!closed && nowMs() - started < 30000) {
    peak = Math.max(peak, residentKiB());
    await sleep(50);
  }
  socket.destroy();
  return `a page pinging without reading: dropped after ${((nowMs() - started) / 1000).toFixed(2)} s, ` +
    `console memory peak +${((peak - baseline) / 1024).toFixed(1)} MiB`;
}

const lines = [];
try {
  const page = await openPage();
  const touch = await touchDriver(page);
  await rowAOnAir(page, touch);
  if (only.includes('touch')) lines.push(`touch to wire: ${stats(await touchToWire(page, touch, moves))}`);
  if (only.includes('message')) lines.push(`WebSocket message to wire: ${stats(await messageToWire(page, moves))}`);
  if (only.includes('repaint')) lines.push(`console change to page repaint: ${stats(await changeToRepaint(page, moves))}`);
  if (only.includes('load')) {
    const firstFrames = [];
    for (let i = 0; i < 20; i++) {
      const again = await openPage();
      firstFrames.push(await again.evaluate(() => window.firstFrame));
      await again.close();
    }
    lines.push(`page load to first usable frame: ${stats(firstFrames)}`);
  }
  if (only.includes('flood')) {
    const client = await rawWebSocket();
    lines.push(...(await flood(page, touch, client, Math.min(moves, 100))));
    client.close();
    lines.push(await pingFlood());
  }
  await page.close();
  const context = { port: Number(consolePort), host, upgrade, cpuSeconds, go };
  if (only.includes('pings')) {
    const client = await rawWebSocket(); // with the 15 flooding pages, as many as may connect
    await prepareGo(client);
    lines.push(...(await controlFloods(context, client)));
    client.close();
  }
  if (only.includes('slow')) lines.push(...(await slowRequests(context)));
  if (only.includes('handshake')) lines.push(await handshakeSlots(context));
  if (only.includes('idle')) lines.push(`console idle CPU: ${await idleCpu()}`);
} finally {
  for (const line of lines) console.log(line);
  await browser.close().catch(() => {});
  console_.kill('SIGKILL');
  artnet.close();
  rmSync(profile, { recursive: true, force: true });
  rmSync(config, { recursive: true, force: true });
}
