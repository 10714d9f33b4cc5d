// Plays the web remote in headless Chromium as a phone would: pairing, two fingers on two
// sub-master faders at once, pick-up, a flash button held, GO, a page change, and the page
// following the console.
// The test program hosting the console answers questions on stdin, one JSON line per question
// printed here: {"cmd":"code"} the operator opens pairing: the code shown, {"cmd":"desk"} the desk and the wire,
// {"cmd":"mouseSub","number":n,"dy":px} a real mouse drag of a console sub fader,
// {"cmd":"setSub","number":n,"level":l}. Ends with {"done":true,"failures":[...]}.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import puppeteer from 'puppeteer-core';

const url = process.argv[2];
const failures = [];
const check = (ok, what) => {
  if (!ok) failures.push(what);
};

const lines = createInterface({ input: process.stdin });
const pending = [];
lines.on('line', (line) => pending.shift()?.(JSON.parse(line)));
const ask = (question) =>
  new Promise((resolve) => {
    pending.push(resolve);
    process.stdout.write(JSON.stringify(question) + '\n');
  });

const profile = mkdtempSync(join(tmpdir(), 'orinsub-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  userDataDir: profile,
  headless: true,
  args: [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
  ],
});

async function run() {
  const page = await browser.newPage();
  // A phone held upright.
  await page.setViewport({ width: 390, height: 1400, isMobile: true, hasTouch: true, deviceScaleFactor: 1 });
  const outside = [];
  page.on('request', (request) => {
    if (!request.url().startsWith(url)) outside.push(request.url());
  });
  await page.goto(url);

  // Pairing: the phone is told to open pairing at the console; the operator does, the console
  // shows the code and the phone types it.
  await page.waitForSelector('body[data-pairing="shown"]');
  check(await page.$eval('#pairing', (e) => !e.hidden), 'pairing form shown');
  check(await page.$eval('#pair-message', (e) => e.textContent.includes('ペアリングを開始')),
        'the phone is told to open pairing at the console');
  const { code } = await ask({ cmd: 'code' });
  await page.type('#pair-code', code);
  await page.click('#pair-send');
  await page.waitForSelector('body[data-connected="true"]');
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('SIM-1'));

  const sliders = await page.$$eval('[role="slider"][data-target^="sub/"]', (all) =>
    all.map((e) => [e.dataset.target, e.getAttribute('aria-label'), e.getAttribute('aria-valuenow')]));
  check(sliders.length === 20 && sliders[2][0] === 'sub/3' && sliders[2][1] === 'サブマスター 3' &&
        sliders[2][2] === '0', 'twenty named sub-master sliders: ' + JSON.stringify(sliders[2]));
  check(await page.$eval('[data-target="in/A"]', (e) => e.getAttribute('role') === 'button' &&
                         e.getAttribute('aria-pressed') === 'false'), 'IN A is a toggle button');

  // Two fingers take the knobs of sub-masters 1 and 2 and push them up together.
  const knob = (target) =>
    page.$eval(`[data-target="${target}"] .knob`, (e) => {
      const r = e.getBoundingClientRect();
      return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
    });
  // The knob's centre travels the groove less the knob.
  const travel = await page.$eval('[data-target="sub/1"] .groove',
    (e) => e.getBoundingClientRect().height - e.querySelector('.knob').offsetHeight);
  const one = await knob('sub/1');
  const two = await knob('sub/2');
  const cdp = await page.createCDPSession();
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
  await touch('touchStart', [{ x: one.x, y: one.y, id: 1 }, { x: two.x, y: two.y, id: 2 }]);
  for (let step = 1; step <= 10; step++)
    await touch('touchMove', [
      { x: one.x, y: one.y - (step * travel * 0.8) / 10, id: 1 },
      { x: two.x, y: two.y - (step * travel * 0.5) / 10, id: 2 },
    ]);
  const bothHeld = await page.$$eval('.fader.active', (all) => all.map((e) => e.dataset.target).join());
  check(bothHeld === 'sub/1,sub/2', 'both faders held at once: ' + bothHeld);
  check(await page.evaluate(() => document.body.classList.contains('holding')), 'no scrolling while held');
  await touch('touchEnd', []);
  let desk = await ask({ cmd: 'desk' });
  check(Math.abs(desk.subs[0] - 204) <= 3 && Math.abs(desk.subs[1] - 128) <= 3,
        'two fingers moved two sub-masters: ' + desk.subs.slice(0, 2));
  check(desk.wire[0] === desk.subs[0] && desk.wire[1] === desk.subs[1],
        'both reach the wire: ' + desk.wire.slice(0, 2));

  // The console's mouse moves sub-master 3: the page follows.
  desk = await ask({ cmd: 'mouseSub', number: 3, dy: -60 });
  check(desk.subs[2] > 0, 'the console mouse moved sub-master 3');
  await page.waitForFunction(
    (level) => document.querySelector('[data-target="sub/3"]').getAttribute('aria-valuenow') === String(level),
    { timeout: 2000 }, desk.subs[2]).catch(() => check(false, 'page follows the console mouse'));

  // Pick-up: the console holds sub-master 4 at 128; a finger landing low does not move it
  // until it crosses 128.
  await ask({ cmd: 'setSub', number: 4, level: 128 });
  await page.waitForFunction(() => document.querySelector('[data-target="sub/4"]').dataset.console === '128');
  const groove = await page.$eval('[data-target="sub/4"] .groove', (e) => {
    const r = e.getBoundingClientRect();
    const knob = e.querySelector('.knob').offsetHeight;
    return { x: r.left + r.width / 2, bottom: r.bottom - knob / 2, travel: r.height - knob };
  });
  const at = (level) => groove.bottom - (level / 255) * groove.travel;
  await touch('touchStart', [{ x: groove.x, y: at(40), id: 3 }]);
  await touch('touchMove', [{ x: groove.x, y: at(90), id: 3 }]);
  await page.waitForSelector('[data-target="sub/4"].uncaught');
  desk = await ask({ cmd: 'desk' });
  check(desk.subs[3] === 128, 'not caught below the console level: ' + desk.subs[3]);
  for (const level of [150, 200]) await touch('touchMove', [{ x: groove.x, y: at(level), id: 3 }]);
  await page.waitForFunction(() => !document.querySelector('[data-target="sub/4"]').classList.contains('uncaught'));
  await touch('touchEnd', []);
  desk = await ask({ cmd: 'desk' });
  check(Math.abs(desk.subs[3] - 200) <= 3, 'caught on crossing, then followed: ' + desk.subs[3]);

  // A finger holds sub-master 1's flash button: full while held, its fader's level once let go.
  const flash = await page.$eval('[data-target="flash/1"]', (e) => {
    const r = e.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
  });
  await touch('touchStart', [{ x: flash.x, y: flash.y, id: 4 }]);
  await page.waitForSelector('[data-target="flash/1"].lit');
  desk = await ask({ cmd: 'desk' });
  check(desk.wire[0] === 255 && desk.subs[0] < 255, 'a held flash plays at full: ' + desk.wire[0]);
  await touch('touchEnd', []);
  await page.waitForFunction(() => !document.querySelector('[data-target="flash/1"]').classList.contains('lit'));
  desk = await ask({ cmd: 'desk' });
  check(desk.wire[0] === desk.subs[0], 'let go, the fader plays again: ' + desk.wire[0]);

  // GO with a fade time of 0 (a cut): row A comes on air.
  await page.focus('#go-time');
  await page.keyboard.press('Home');
  await page.waitForFunction(() => document.querySelector('#go-time .value').textContent === '0.0 秒');
  await page.tap('[data-target="go"]');
  await page.waitForFunction(() => document.querySelector('[data-target="xfade/A"]').getAttribute('aria-valuenow') === '255');
  desk = await ask({ cmd: 'desk' });
  check(desk.xfade[0] === 255 && desk.xfade[1] === 0, 'GO crossfaded to row A: ' + desk.xfade);
  check(await page.$eval('#lamp-A', (e) => e.classList.contains('on')), 'row A lamp on air');

  // Page up.
  await page.tap('[data-target="page/up"]');
  await page.waitForFunction(() => document.getElementById('page').textContent === '2');
  desk = await ask({ cmd: 'desk' });
  check(desk.page === 2, 'page up reached the console: ' + desk.page);

  // A bank of row B: the faders carry their names.
  await page.tap('.row-tab[data-row="B"]');
  check(await page.$eval('[data-target="B/1"]', (e) => e.offsetParent !== null &&
                         e.getAttribute('aria-label') === 'B段 チャンネル 1'), 'row B bank shown');
  check(outside.length === 0, 'nothing fetched from elsewhere: ' + outside.join());
}

try {
  await run();
} catch (error) {
  failures.push('script: ' + (error.stack || error));
} finally {
  await browser.close().catch(() => {});
  rmSync(profile, { recursive: true, force: true });
  process.stdout.write(JSON.stringify({ done: true, failures }) + '\n');
  lines.close();
}
