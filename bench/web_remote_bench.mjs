// The web remote's figures, end to end on loopback (run by hand on the Release build, after the
// browser test has installed puppeteer-core):
//   node bench/web_remote_bench.mjs build/bin/orinsub [--moves N] [--idle SECONDS]
//
// Starts the console itself (an empty settings store, Art-Net to 127.0.0.1 so that this script
// sees every frame the interface sends, the remote on a free port of 127.0.0.1) and headless
// Chromium with a phone-sized page, then measures:
//   touch to wire     a touch move on the page's channel fader A/1 (row A on air) until the first
//                     ArtDmx packet whose slot 1 carries the new level, N moves at random points
//                     of the 20 ms tick;
//   change to repaint another device moves sub-master 1 until the page has painted the new
//                     position (the next animation frame after the change);
//   first frame       navigation start until the page shows the desk as it is and can be played;
//   idle CPU          the console's CPU with 16 pages connected and untouched, against none.
import { spawn } from 'node:child_process';
import { createSocket } from 'node:dgram';
import { connect } from 'node:net';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const puppeteer = createRequire(join(root, 'tests/surfaces/web/package.json'))('puppeteer-core');

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? Number(args[at + 1]) : fallback;
};
const executable = resolve(args[0] ?? join(root, 'build/bin/orinsub'));
const moves = option('--moves', 200);
const idleSeconds = option('--idle', 30);
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
  env: { ...process.env, QT_QPA_PLATFORM: 'offscreen', XDG_CONFIG_HOME: config },
  stdio: ['ignore', 'pipe', 'inherit'],
});
const url = await new Promise((resolveUrl, reject) => {
  let out = '';
  console_.stdout.on('data', (chunk) => {
    out += chunk;
    const found = out.match(/http:\/\/[0-9.:]+\//);
    if (found) resolveUrl(found[0]);
  });
  console_.on('exit', () => reject(new Error('the console ended: ' + out)));
});

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
  await page.setViewport({ width: 390, height: 1400, isMobile: true, hasTouch: true });
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
async function rawWebSocket() {
  const { host, port } = new URL(url);
  const socket = connect({ host: '127.0.0.1', port: Number(port), noDelay: true });
  socket.write(`GET /ws HTTP/1.1\r\nHost: ${host}\r\nOrigin: http://${host}\r\nUpgrade: websocket\r\n` +
    'Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n');
  await new Promise((r) => socket.once('data', r));
  socket.on('data', () => {});
  return {
    send(message) {
      const payload = Buffer.from(JSON.stringify(message));
      const mask = Buffer.from([1, 2, 3, 4]);
      const masked = Buffer.from(payload.map((byte, i) => byte ^ mask[i % 4]));
      socket.write(Buffer.concat([Buffer.from([0x81, 0x80 | payload.length]), mask, masked]));
    },
    close: () => socket.destroy(),
  };
}

try {
  const firstFrames = [];
  const page = await openPage();
  const touch = await touchDriver(page);

  // Row A on air: handle A all the way up.
  let knob = await knobOf(page, 'xfade/A');
  await touch('touchStart', knob.x, knob.y);
  for (let step = 1; step <= 5; step++) await touch('touchMove', knob.x, knob.y - (step * knob.height) / 4);
  await touch('touchEnd');
  await page.waitForFunction(() => document.getElementById('lamp-A').classList.contains('on'));

  // Touch to wire.
  knob = await knobOf(page, 'A/1');
  await touch('touchStart', knob.x, knob.y);
  const toWire = [];
  for (let i = 0; i < moves; i++) {
    await sleep(Math.random() * 20);
    const y = knob.y - ((i % 2 === 0 ? 0.6 : 0.2) + Math.random() * 0.1) * knob.height;
    const sent = nowMs();
    await touch('touchMove', knob.x, y);
    const level = Number(await page.$eval('[data-target="A/1"]', (e) => e.getAttribute('aria-valuenow')));
    let frame;
    while (!(frame = frames.find((f) => f.at >= sent && f.slot1 === level))) await sleep(0.2);
    toWire.push(frame.at - sent);
    frames.length = 0;
  }
  await touch('touchEnd');

  // Message to wire: a WebSocket client's move of A/1 (row A still on air).
  const client = await rawWebSocket();
  client.send({ t: 'move', n: 'A/1', v: Number(await page.$eval('[data-target="A/1"]', (e) => e.getAttribute('aria-valuenow'))) });
  const messageToWire = [];
  for (let i = 0; i < moves; i++) {
    await sleep(Math.random() * 20);
    const level = (i % 2 === 0 ? 150 : 50) + Math.floor(Math.random() * 50);
    const sent = nowMs();
    client.send({ t: 'move', n: 'A/1', v: level });
    let frame;
    while (!(frame = frames.find((f) => f.at >= sent && f.slot1 === level))) await sleep(0.2);
    messageToWire.push(frame.at - sent);
    frames.length = 0;
  }
  client.close();

  // Change to repaint: another device moves sub-master 1. Its connection is opened from the
  // page itself, so that the move and the repaint are timed on one clock.
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
  const toRepaint = [];
  for (let i = 0; i < moves; i++) {
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
    if (latency !== null) toRepaint.push(latency);
  }
  await page.evaluate(() => window.other.close());

  // Page loads, one at a time.
  for (let i = 0; i < 20; i++) {
    const again = await openPage();
    firstFrames.push(await again.evaluate(() => window.firstFrame));
    await again.close();
  }

  // Idle: none, then sixteen pages.
  await page.close();
  await sleep(2000);
  let before = cpuSeconds();
  await sleep(idleSeconds * 1000);
  const idleNone = (cpuSeconds() - before) / idleSeconds;
  const pages = [];
  for (let i = 0; i < 16; i++) pages.push(await openPage());
  await sleep(2000);
  before = cpuSeconds();
  await sleep(idleSeconds * 1000);
  const idleSixteen = (cpuSeconds() - before) / idleSeconds;

  console.log(`touch to wire: ${stats(toWire)}`);
  console.log(`WebSocket message to wire: ${stats(messageToWire)}`);
  console.log(`console change to page repaint: ${stats(toRepaint)}`);
  console.log(`page load to first usable frame: ${stats(firstFrames)}`);
  console.log(`console idle CPU: ${(idleNone * 100).toFixed(2)} % of a core with no page, ` +
    `${(idleSixteen * 100).toFixed(2)} % with 16 pages (+${((idleSixteen - idleNone) * 100).toFixed(2)} %)`);
} finally {
  await browser.close().catch(() => {});
  console_.kill('SIGKILL');
  artnet.close();
  rmSync(profile, { recursive: true, force: true });
  rmSync(config, { recursive: true, force: true });
}
