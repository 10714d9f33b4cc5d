// Plays the web remote in headless Chromium as phones and tablets would, with touch: pairing,
// the desk's grand master from the first frame, the play view fitting each screen, swipes that
// scroll and never move a fader, two fingers on two faders, pick-up, a flash button held, the
// fade time, a chase's TAP, GO and the crossfader as the console draws it, a page change, the rows, the
// blackout banner, the cues with their labels, and a dropped connection that greys the page
// until it is back by itself.
// The test program hosting the console answers questions on stdin, one JSON line per question
// printed here: {"cmd":"code"} the operator opens pairing: the code shown, {"cmd":"desk"} the desk and the wire,
// {"cmd":"mouseSub","number":n,"dy":px} a real mouse drag of a console sub fader,
// {"cmd":"setSub","number":n,"level":l}, {"cmd":"output","lost":b} frames stop reaching the
// interface or get out again, {"cmd":"blackout","on":b}, {"cmd":"cueGo"} the next cue at once with the cue list
// playing, {"cmd":"drop"} the server stops, {"cmd":"listen"} it listens again on its port. Ends
// with {"done":true,"failures":[...]}.
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

const phone = { width: 390, height: 844 };
const views = [phone, { width: 844, height: 390 }, { width: 1024, height: 768 }, { width: 820, height: 1180 }];
const sizeOf = (view) => view.width + '×' + view.height;

async function run() {
  const page = await browser.newPage();
  await page.setViewport({ ...phone, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
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
  await page.waitForSelector('body[data-ready="true"]');
  const gm = await page.$eval('[data-target="gm"]', (e) => e.getAttribute('aria-valuenow'));
  const deskGm = (await ask({ cmd: 'desk' })).gm;
  check(deskGm > 0 && gm === String(deskGm), `GM shows the desk's level ${deskGm} from the first frame: ${gm}`);
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('SIM-1'));

  const sliders = await page.$$eval('[role="slider"][data-target^="sub/"]', (all) =>
    all.map((e) => [e.dataset.target, e.getAttribute('aria-label'), e.getAttribute('aria-valuenow')]));
  check(sliders.length === 20 && sliders[2][0] === 'sub/3' && sliders[2][1] === 'サブマスター 3' &&
        sliders[2][2] === '0', 'twenty named sub-master sliders: ' + JSON.stringify(sliders[2]));
  check(await page.$eval('[data-target="in/A"]', (e) => e.getAttribute('role') === 'button' &&
                         e.getAttribute('aria-pressed') === 'false'), 'IN A is a toggle button');
  let desk = await ask({ cmd: 'desk' });
  const shown = await page.$$eval('#desk [data-target]', (all) =>
    all.filter((e) => !e.hidden).map((e) => e.dataset.target));
  for (const target of ['gm', 'blackout', 'cut', 'cue/back', 'cue/current', 'cue/next'])
    check(shown.includes(target) === desk.targets.includes(target),
          `${target} shown exactly when the console has it (${desk.targets})`);

  // Frames stop reaching the interface: the status line turns red and says why, until they are
  // back.
  const outputShown = (lost) => page.waitForFunction((lost) => {
    const status = document.getElementById('status');
    return status.classList.contains('output-lost') === lost &&
      status.textContent.startsWith('出力できません') === lost;
  }, { timeout: 3000 }, lost).then(() => true, () => false);
  await ask({ cmd: 'output', lost: true });
  check(await outputShown(true), 'lost output shown in red with its reason');
  await ask({ cmd: 'output', lost: false });
  check(await outputShown(false), 'the status line back once frames get out');

  // Every screen: GO and the crossfader in sight without scrolling, nothing cut off, every
  // control a thumb wide, every text readable; on a phone the page buttons and a bank of
  // sub-masters too.
  for (const view of views) {
    await page.setViewport({ ...view, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
    await page.evaluate(() => new Promise((r) => {
      window.scrollTo(0, 0);
      requestAnimationFrame(() => requestAnimationFrame(r)); // laid out, banks fitted
    }));
    const found = await page.evaluate(() => {
      const visible = (e) => e.getClientRects().length > 0;
      const inView = (e) => {
        const r = e.getBoundingClientRect();
        return r.left >= 0 && r.top >= 0 && r.right <= innerWidth + 0.5 && r.bottom <= innerHeight + 0.5;
      };
      const scrolled = (e) => e.closest('#sub-faders') && getComputedStyle(e.closest('#sub-faders')).overflowX === 'auto';
      const small = [];
      const cut = [];
      for (const e of document.querySelectorAll('#desk button, #desk .fader')) {
        if (!visible(e)) continue;
        const r = e.getBoundingClientRect();
        const short = e.classList.contains('fader') ? r.width : Math.min(r.width, r.height);
        if (short < 44) small.push(`${e.dataset.target ?? e.id} ${short.toFixed(0)} px`);
        if (!scrolled(e) && (r.left < 0 || r.right > innerWidth + 0.5)) cut.push(e.dataset.target ?? e.id);
      }
      const luminance = (color) => {
        const [r, g, b] = color.match(/[0-9.]+/g).slice(0, 3).map((v) => {
          const c = Number(v) / 255;
          return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
        });
        return 0.2126 * r + 0.7152 * g + 0.0722 * b;
      };
      const background = (e) => {
        for (; e; e = e.parentElement) {
          const color = getComputedStyle(e).backgroundColor;
          if (!color.startsWith('rgba') || !color.endsWith(', 0)')) return color;
        }
        return 'rgb(255, 255, 255)';
      };
      const faint = [];
      for (const e of document.querySelectorAll('#desk :is(button, span)')) {
        if (!visible(e) || !e.textContent.trim() || e.classList.contains('lamp')) continue;
        const [light, dark] = [luminance(getComputedStyle(e).color), luminance(background(e))].sort((a, b) => b - a);
        const ratio = (light + 0.05) / (dark + 0.05);
        if (ratio < 4.5) faint.push(`${e.dataset.target ?? e.id ?? e.className} ${ratio.toFixed(1)}`);
      }
      const fixed = ['go', 'xfade/A', 'xfade/B'];
      if (innerWidth < 700 || innerHeight < 600) fixed.push('sub/1', 'page/up', 'page/down', 'flash/mode');
      const away = fixed.filter((t) => !inView(document.querySelector(`[data-target="${t}"]`)));
      const tablet = innerWidth >= 700 && innerHeight >= 600;
      return { small, cut, faint, away, scrolls: tablet && document.documentElement.scrollHeight > innerHeight };
    });
    const size = sizeOf(view);
    check(found.away.length === 0, `${size}: in sight without scrolling: ${found.away}`);
    check(found.small.length === 0, `${size}: controls under 44 px: ${found.small.slice(0, 5)}`);
    check(found.cut.length === 0, `${size}: cut off: ${found.cut.slice(0, 5)}`);
    check(found.faint.length === 0, `${size}: text under 4.5:1: ${found.faint.slice(0, 5)}`);
    check(!found.scrolls, `${size}: the tablet's desk fits its screen`);
  }
  await page.setViewport({ ...phone, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  await page.evaluate(() => window.scrollTo(0, 0));

  const cdp = await page.createCDPSession();
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
  const centre = (selector) =>
    page.$eval(selector, (e) => {
      const r = e.getBoundingClientRect();
      return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
    });
  const knob = (target) => centre(`[data-target="${target}"] .knob`);
  const swipe = async (from, dx, dy) => {
    const to = { x: from.x + dx, y: from.y + dy, id: 9 };
    // The first move follows at once, as a thumb's does, however busy the machine.
    await Promise.all([touch('touchStart', [{ ...from, id: 9 }]),
      touch('touchMove', [{ x: from.x + dx / 16, y: from.y + dy / 16, id: 9 }])]);
    for (let step = 1; step <= 8; step++)
      await touch('touchMove', [{ x: from.x + (dx * step) / 8, y: from.y + (dy * step) / 8, id: 9 }]);
    await new Promise((r) => setTimeout(r, 150));
    await touch('touchMove', [to]); // at rest when lifted: no fling
    await touch('touchEnd', []);
    await new Promise((r) => setTimeout(r, 200));
  };

  // Swipes scroll and move nothing: up from a track to the rows, sideways from a knob to the
  // next bank of sub-masters.
  await swipe(await centre('[data-target="sub/3"] .groove'), 0, -300);
  check(await page.waitForFunction(() => window.scrollY > 0, { timeout: 1000 }).then(() => true, () => false),
        'a swipe up from a track scrolls toward the rows');
  await page.evaluate(() => window.scrollTo(0, 0));
  await swipe(await knob('sub/2'), -200, 0);
  check(await page.$eval('#sub-faders', (e) => e.scrollLeft > 0), 'a sideways swipe from a knob shows the next bank');
  await page.$eval('#sub-faders', (e) => e.scrollTo(0, 0));
  desk = await ask({ cmd: 'desk' });
  check(desk.subs[1] === 0 && desk.subs[2] === 0, 'swipes moved no fader: ' + desk.subs.slice(0, 3));
  await page.evaluate(() => window.scrollTo(0, 0));

  // Two fingers take the knobs of sub-masters 1 and 2 and push them up together.
  // The knob's centre travels the groove less the knob.
  const travel = await page.$eval('[data-target="sub/1"] .groove',
    (e) => e.getBoundingClientRect().height - e.querySelector('.knob').offsetHeight);
  const one = await knob('sub/1');
  const two = await knob('sub/2');
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
  desk = await ask({ cmd: 'desk' });
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

  // Pick-up: the console holds sub-master 4 at 128; a finger resting low on the track takes the
  // fader but does not move it until it crosses 128.
  await ask({ cmd: 'setSub', number: 4, level: 128 });
  await page.waitForFunction(() => document.querySelector('[data-target="sub/4"]').dataset.console === '128');
  const groove = await page.$eval('[data-target="sub/4"] .groove', (e) => {
    const r = e.getBoundingClientRect();
    const knob = e.querySelector('.knob').offsetHeight;
    return { x: r.left + r.width / 2, bottom: r.bottom - knob / 2, travel: r.height - knob };
  });
  const at = (level) => groove.bottom - (level / 255) * groove.travel;
  await touch('touchStart', [{ x: groove.x, y: at(40), id: 3 }]);
  await new Promise((r) => setTimeout(r, 400)); // a moment's rest: the track is taken
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
  const flash = await centre('[data-target="flash/1"]');
  await touch('touchStart', [{ x: flash.x, y: flash.y, id: 4 }]);
  await page.waitForSelector('[data-target="flash/1"].lit');
  desk = await ask({ cmd: 'desk' });
  check(desk.wire[0] === 255 && desk.subs[0] < 255, 'a held flash plays at full: ' + desk.wire[0]);
  await touch('touchEnd', []);
  await page.waitForFunction(() => !document.querySelector('[data-target="flash/1"]').classList.contains('lit'));
  desk = await ask({ cmd: 'desk' });
  check(desk.wire[0] === desk.subs[0], 'let go, the fader plays again: ' + desk.wire[0]);

  // Sub-master 6 holds chase 1: its TAP alone shows, with the chase's BPM; lit while the chase
  // runs, and four taps set its speed.
  const tap = '[data-target="chase/1/tap"]';
  check(await page.$eval(tap, (e) => !e.hidden && e.closest('[data-target="sub/6"]') !== null) &&
        await page.$$eval('button.tap:not([hidden])', (all) => all.length) === 1,
        'the TAP of chase 1 on sub-master 6 only');
  await page.waitForFunction((tap) => document.querySelector(tap + ' .bpm').textContent === '120.0',
    { timeout: 2000 }, tap).catch(() => check(false, 'the TAP shows the chase\'s 120.0 BPM'));
  await ask({ cmd: 'setSub', number: 6, level: 255 });
  await page.waitForSelector(tap + '.lit', { timeout: 2000 }).catch(() => check(false, 'TAP lit while its chase runs'));
  for (let taps = 0; taps < 4; taps++) {
    await page.tap(tap);
    await new Promise((r) => setTimeout(r, 300));
  }
  desk = await ask({ cmd: 'desk' });
  check(desk.chaseBpm !== 120 && desk.chaseBpm > 60 && desk.chaseBpm < 400, 'four taps set the speed: ' + desk.chaseBpm);
  await page.waitForFunction((tap, bpm) => document.querySelector(tap + ' .bpm').textContent === bpm,
    { timeout: 2000 }, tap, desk.chaseBpm.toFixed(1)).catch(() => check(false, 'the TAP shows the tapped speed'));
  await ask({ cmd: 'setSub', number: 6, level: 0 });
  await page.$eval('#sub-faders', (e) => e.scrollTo(0, 0));

  // The crossfader as the console draws it: both knobs down with row B on air.
  const knobHeights = () =>
    page.$$eval('[data-target^="xfade/"]', (all) => all.map((e) => {
      const g = e.querySelector('.groove').getBoundingClientRect();
      const k = e.querySelector('.knob').getBoundingClientRect();
      return Math.round(((g.bottom - k.bottom) / (g.height - k.height)) * 100);
    }));
  check(JSON.stringify(await knobHeights()) === '[0,0]', 'A at 0 and B at full both sit low: ' + await knobHeights());

  // From a minute on the fade time reads m:ss.s and steps five seconds, up to the console's limit.
  const goTime = (tenths) =>
    page.waitForFunction((t) => document.getElementById('go-time').dataset.value === t, {}, String(tenths));
  for (const [from, to, text] of [[595, 600, '1:00.0'], [600, 650, '1:05.0'], [35990, 35999, '59:59.9']]) {
    await ask({ cmd: 'fadeTime', tenths: from });
    await goTime(from);
    await page.tap('#go-time [data-step="5"]');
    await goTime(to);
    check(await page.$eval('#go-time .value', (e) => e.textContent) === text, 'the fade time reads ' + text);
  }
  await ask({ cmd: 'fadeTime', tenths: 30 });
  await goTime(30);

  // The fade time in half seconds, down to 0 (a cut); then GO: row A comes on air, both knobs up.
  await page.tap('#go-time [data-step="5"]');
  await page.waitForFunction(() => document.getElementById('go-time').dataset.value === '35');
  desk = await ask({ cmd: 'desk' });
  check(desk.time === 35, 'a step adds half a second: ' + desk.time);
  for (let taps = 0; taps < 8; taps++) await page.tap('#go-time [data-step="-5"]');
  check(await page.$eval('#go-time .value', (e) => e.textContent) === '0.0 秒', 'the fade time stops at 0');
  await page.tap('[data-target="go"]');
  await page.waitForFunction(() => document.querySelector('[data-target="xfade/A"]').getAttribute('aria-valuenow') === '255');
  desk = await ask({ cmd: 'desk' });
  check(desk.time === 0 && desk.xfade[0] === 255 && desk.xfade[1] === 0, 'GO cut to row A: ' + desk.xfade);
  check(await page.$eval('#lamp-A', (e) => e.classList.contains('on')), 'row A lamp on air');
  check(JSON.stringify(await knobHeights()) === '[100,100]', 'both knobs up: ' + await knobHeights());

  // Linked, one finger on handle A's knob brings both handles halfway down together.
  await page.tap('[data-target="link"]');
  await page.waitForSelector('#xfaders.linked');
  const handle = await knob('xfade/A');
  const handleTravel = await page.$eval('[data-target="xfade/A"] .groove',
    (e) => e.getBoundingClientRect().height - e.querySelector('.knob').offsetHeight);
  await touch('touchStart', [{ ...handle, id: 5 }]);
  for (let step = 1; step <= 5; step++)
    await touch('touchMove', [{ x: handle.x, y: handle.y + (step * handleTravel) / 10, id: 5 }]);
  await touch('touchEnd', []);
  desk = await ask({ cmd: 'desk' });
  check(Math.abs(desk.xfade[0] - 128) <= 4 && Math.abs(desk.xfade[1] - 127) <= 4,
        'linked handles travelled together: ' + desk.xfade);
  const heights = await knobHeights();
  check(Math.abs(heights[0] - heights[1]) <= 2, 'linked knobs side by side: ' + heights);
  await page.tap('[data-target="link"]');

  // Page up.
  await page.tap('[data-target="page/up"]');
  await page.waitForFunction(() => document.getElementById('page').textContent === '2');
  desk = await ask({ cmd: 'desk' });
  check(desk.page === 2, 'page up reached the console: ' + desk.page);

  // Names on one line, whole in a bubble under a resting finger; rows carry their numbers.
  await ask({ cmd: 'setSub', number: 1, level: 0 });
  await page.tap('[data-target="page/down"]');
  await page.waitForFunction(() => document.getElementById('page').textContent === '1' &&
    document.querySelector('[data-target="sub/1"] .name').textContent.length > 8);
  const name = await centre('[data-target="sub/1"] .name');
  const line = await page.$eval('[data-target="sub/1"] .name', (e) =>
    [e.scrollWidth > e.clientWidth, getComputedStyle(e).textOverflow, e.getClientRects().length, e.offsetHeight]);
  check(JSON.stringify(line) === '[true,"ellipsis",1,18]', 'a long name ellipsised on one line: ' + line);
  await touch('touchStart', [{ ...name, id: 6 }]);
  await page.waitForSelector('#bubble:not([hidden])', { timeout: 2000 }).catch(() => {});
  const bubble = await page.$eval('#bubble', (e) => (e.hidden ? 'hidden' : e.textContent));
  check(bubble === 'オープニング 全景 客電落ち', 'the whole name in a bubble: ' + bubble);
  await touch('touchEnd', []);
  await page.tap('.row-tab[data-row="B"]');
  check(await page.$eval('[data-target="B/1"]', (e) => e.offsetParent !== null &&
    e.getAttribute('aria-label') === 'B段 チャンネル 1' && e.querySelector('.number').textContent === '1'),
        'row B bank shown, channel numbers on the faders');

  // Blackout on the console: a banner across the page while it is on.
  await ask({ cmd: 'blackout', on: true });
  await page.waitForSelector('#blackout-banner:not([hidden])', { timeout: 2000 }).catch(() => {});
  const banner = await page.$eval('#blackout-banner', (e) =>
    [!e.hidden, e.textContent, Math.round(e.getBoundingClientRect().width) === innerWidth]);
  check(JSON.stringify(banner) === '[true,"ブラックアウト中",true]', 'blackout banner across the page: ' + banner);
  await ask({ cmd: 'blackout', on: false });
  await page.waitForSelector('#blackout-banner[hidden]', { timeout: 2000 })
    .catch(() => check(false, 'the banner goes with the blackout'));

  // The cues as the console's readout shows them: number and label.
  const cueTexts = () => page.$$eval('#cue .readout', (all) => all.map((e) => e.textContent).join(' / '));
  for (const expected of ['1 客入れ / 2.5 House up', '2.5 House up / 3']) {
    await new Promise((r) => setTimeout(r, 600)); // past GO's guard against a bounce
    await ask({ cmd: 'cueGo' });
    await page.waitForFunction((text) => [...document.querySelectorAll('#cue .readout')]
      .map((e) => e.textContent).join(' / ') === text, { timeout: 2000 }, expected)
      .catch(async () => check(false, `cues "${expected}": ${await cueTexts()}`));
  }

  // The connection drops: the page greys, says so, takes no touch; it comes back by itself
  // and shows the desk as it is now.
  await ask({ cmd: 'drop' });
  await page.waitForSelector('body.lost #lost:not([hidden])', { timeout: 3000 }).catch(() => {});
  check(await page.$eval('#lost', (e) => !e.hidden && e.textContent.includes('接続が切れました')), 'lost connection banner');
  check(await page.$eval('[data-target="sub/5"]', (e) => getComputedStyle(e).pointerEvents === 'none'),
        'faders take no touch while the connection is lost');
  await ask({ cmd: 'setSub', number: 5, level: 99 });
  await ask({ cmd: 'listen' });
  await page.waitForFunction(() => document.querySelector('[data-target="sub/5"]').getAttribute('aria-valuenow') === '99' &&
    !document.body.classList.contains('lost'), { timeout: 8000 }).catch(() => check(false, 'the page came back with the desk as it is'));
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
