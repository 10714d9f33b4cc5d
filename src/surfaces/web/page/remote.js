'use strict';
// The desk in the hand: every control is named by its target (data-target) and plays the console
// through one WebSocket. Each finger holds its own fader; a fader that has not caught the
// console's one shows where the console is and catches when the finger crosses it.

const controls = new Map(); // target name -> control
const held = new Map(); // pointer id -> fader
let socket = null;
let bankSize = 10;
let row = 'A';
let bank = 0;
let channels = 0; // each row's faders: the console tells how many (sizes), then they are built

const $ = (id) => document.getElementById(id);

function send(message) {
  if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(message));
}

function percentText(level) {
  if (level === 0) return '--';
  if (level === 255) return 'FF';
  return String(Math.floor(level * 100 / 255));
}

// A vertical fader 0..255 (or the horizontal fade-time slider).
class Fader {
  constructor(element, target, horizontal = false) {
    this.element = element;
    this.target = target;
    this.horizontal = horizontal;
    this.knob = element.querySelector(horizontal ? '.hknob' : '.knob');
    this.ghost = element.querySelector('.ghost');
    this.groove = element.querySelector(horizontal ? '.hgroove' : '.groove');
    this.valueText = element.querySelector('.value');
    this.console = 0; // the console's level
    this.position = 0; // the knob's level on this page
    this.caught = true;
    this.pointer = null;
    this.grab = 0; // a finger that takes the knob moves it from where it is, without a jump
    element.addEventListener('pointerdown', (e) => this.down(e));
    // Where the browser offers them, raw moves arrive without waiting for the next frame; the
    // ordinary ones still come, and carry the last position when raw ones were merged away.
    if ('onpointerrawupdate' in window) element.addEventListener('pointerrawupdate', (e) => this.move(e));
    element.addEventListener('pointermove', (e) => this.move(e));
    element.addEventListener('pointerup', (e) => this.up(e));
    element.addEventListener('pointercancel', (e) => this.up(e));
    element.addEventListener('lostpointercapture', (e) => this.up(e));
    element.addEventListener('keydown', (e) => this.key(e));
    this.show();
  }

  // The knob's centre travels the groove less the knob itself, so that it never leaves it.
  rawLevelAt(event) {
    const box = this.groove.getBoundingClientRect();
    const knob = this.horizontal ? this.knob.offsetWidth : this.knob.offsetHeight;
    const ratio = this.horizontal
      ? (event.clientX - box.left - knob / 2) / (box.width - knob)
      : (box.bottom - knob / 2 - event.clientY) / (box.height - knob);
    return Math.round(ratio * 255);
  }

  levelAt(event) {
    return Math.max(0, Math.min(255, this.rawLevelAt(event) - this.grab));
  }

  onKnob(event) {
    const box = this.knob.getBoundingClientRect();
    return this.horizontal
      ? Math.abs(event.clientX - (box.left + box.right) / 2) <= box.width
      : event.clientY >= box.top - 4 && event.clientY <= box.bottom + 4;
  }

  down(event) {
    if (this.pointer !== null || event.button > 0) return;
    event.preventDefault();
    this.pointer = event.pointerId;
    held.set(event.pointerId, this);
    this.element.setPointerCapture(event.pointerId);
    this.element.classList.add('active');
    document.body.classList.add('holding');
    const onKnob = this.onKnob(event);
    this.grab = onKnob ? this.rawLevelAt(event) - this.position : 0;
    send({ t: 'touch', n: this.target, d: true });
    // Taken by the knob, the fader starts where the console is and so catches at once.
    if (onKnob) {
      this.caught = true;
      send({ t: 'move', n: this.target, v: this.position });
    } else this.moveTo(this.levelAt(event));
  }

  move(event) {
    if (event.pointerId !== this.pointer) return;
    event.preventDefault();
    this.moveTo(this.levelAt(event));
  }

  up(event) {
    if (event.pointerId !== this.pointer) return;
    if (event.type === 'pointerup') this.moveTo(this.levelAt(event)); // where the finger left it
    this.pointer = null;
    held.delete(event.pointerId);
    this.element.classList.remove('active');
    if (held.size === 0) document.body.classList.remove('holding');
    send({ t: 'touch', n: this.target, d: false });
    this.show();
  }

  key(event) {
    const steps = { ArrowUp: 1, ArrowRight: 1, ArrowDown: -1, ArrowLeft: -1, PageUp: 16, PageDown: -16 };
    let level = null;
    if (event.key in steps) level = this.position + steps[event.key];
    else if (event.key === 'Home') level = 0;
    else if (event.key === 'End') level = 255;
    if (level === null) return;
    event.preventDefault();
    this.moveTo(Math.max(0, Math.min(255, level)));
  }

  moveTo(level) {
    if (level === this.position && this.pointer !== null) return;
    this.position = level;
    if (this.caught) this.console = level;
    send({ t: 'move', n: this.target, v: level });
    this.show();
  }

  // The console's level, and whether this page's fader has caught it.
  feedback(level, caught) {
    this.console = level;
    this.caught = caught;
    this.show();
  }

  show() {
    // Untouched, the knob shows the console; under a finger, where the finger is.
    const untouched = this.pointer === null;
    const level = untouched ? this.console : this.position;
    if (untouched) this.position = this.console;
    const uncaught = !untouched && !this.caught;
    this.element.classList.toggle('uncaught', uncaught);
    this.element.setAttribute('aria-valuenow', String(level));
    this.element.dataset.console = String(this.console);
    const along = (value) => `calc((100% - var(--knob-size)) * ${value / 255})`;
    this.knob.style.setProperty(this.horizontal ? 'left' : 'bottom', along(level));
    if (this.ghost) this.ghost.style.setProperty('bottom', along(this.console));
    if (this.valueText) this.valueText.textContent = this.format(level);
  }

  format(level) {
    if (this.horizontal) return (level / 10).toFixed(1) + ' 秒';
    return level === 0 ? '0' : percentText(level); // as the console's faders show it
  }
}

// Pressed while the finger is down, let go when it lifts anywhere or is cancelled: a flash
// button plays for exactly as long as it is held.
class Button {
  constructor(element, target) {
    this.element = element;
    this.target = target;
    this.down = false;
    const press = (down) => (e) => {
      e.preventDefault();
      e.stopPropagation(); // a flash button sits on its fader but is no part of it
      if (down === this.down) return;
      this.down = down;
      if (down && e.pointerId !== undefined) element.setPointerCapture(e.pointerId);
      element.classList.toggle('down', down);
      send({ t: 'press', n: target, d: down });
    };
    element.addEventListener('pointerdown', press(true));
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
      element.addEventListener(type, press(false));
    element.addEventListener('keydown', (e) => {
      if ((e.key === 'Enter' || e.key === ' ') && !e.repeat) press(true)(e);
    });
    element.addEventListener('keyup', (e) => {
      if (e.key === 'Enter' || e.key === ' ') press(false)(e);
    });
  }

  // Lit: IN and link while on, GO while its fade runs, a page button while it can be used, a
  // flash button while held.
  feedback(value) {
    this.element.classList.toggle('lit', value !== 0);
    if (this.element.hasAttribute('aria-pressed'))
      this.element.setAttribute('aria-pressed', value ? 'true' : 'false');
  }
}

// The flash buttons' setting: lit in solo mode, when every flash button says SOLO.
class FlashModeButton extends Button {
  feedback(value) {
    super.feedback(value);
    document.body.classList.toggle('solo', value !== 0);
  }
}

function makeFlash(parent, number) {
  const element = document.createElement('button');
  element.className = 'flash';
  element.setAttribute('role', 'button');
  element.setAttribute('aria-label', 'フラッシュ ' + number);
  element.dataset.target = 'flash/' + number;
  parent.appendChild(element);
  controls.set(element.dataset.target, new Button(element, element.dataset.target));
}

function makeFader(parent, target, label, top, extraClass) {
  const element = document.createElement('div');
  element.className = 'fader' + (extraClass ? ' ' + extraClass : '');
  element.setAttribute('role', 'slider');
  element.setAttribute('tabindex', '0');
  element.setAttribute('aria-orientation', 'vertical');
  element.setAttribute('aria-valuemin', '0');
  element.setAttribute('aria-valuemax', '255');
  element.setAttribute('aria-label', label);
  element.dataset.target = target;
  element.innerHTML =
    '<span class="top"></span><div class="groove"><div class="ghost"></div><div class="knob"></div></div>' +
    '<span class="value"></span><span class="name"></span>';
  element.querySelector('.top').textContent = top;
  parent.appendChild(element);
  const fader = new Fader(element, target);
  controls.set(target, fader);
  return fader;
}

function buildDesk() {
  const cross = $('xfaders');
  makeFader(cross, 'xfade/A', 'クロスフェーダー A', 'A');
  makeFader(cross, 'xfade/B', 'クロスフェーダー B', 'B');
  controls.set('go/time', new Fader($('go-time'), 'go/time', true));
  for (const element of document.querySelectorAll('button[data-target]')) {
    const Kind = element.dataset.target === 'flash/mode' ? FlashModeButton : Button;
    controls.set(element.dataset.target, new Kind(element, element.dataset.target));
  }
  for (const tab of document.querySelectorAll('.row-tab'))
    tab.addEventListener('click', () => { row = tab.dataset.row; showBank(); });
  $('bank-prev').addEventListener('click', () => { bank = Math.max(0, bank - 1); showBank(); });
  $('bank-next').addEventListener('click', () => {
    bank = Math.min(Math.ceil(channels / bankSize) - 1, bank + 1);
    showBank();
  });
  matchMedia('(min-width: 900px)').addEventListener('change', fitBank);
}

// The sub-master and channel faders, as many as the console has (once: they never change).
function buildFaders(sizes) {
  if (channels > 0) return;
  const subs = $('sub-faders');
  for (let i = 1; i <= sizes.sub; i++) {
    const fader = makeFader(subs, 'sub/' + i, 'サブマスター ' + i, String(i), 'sub-fader');
    if (i <= sizes.flash) makeFlash(fader.element, i);
  }
  const rows = $('row-faders');
  for (const r of ['A', 'B'])
    for (let i = 1; i <= sizes[r]; i++)
      makeFader(rows, r + '/' + i, r + '段 チャンネル ' + i, '--', 'row-fader');
  channels = sizes.A;
  fitBank();
}

function fitBank() {
  const first = bank * bankSize;
  bankSize = matchMedia('(min-width: 900px)').matches ? 20 : 10;
  bank = Math.floor(first / bankSize);
  showBank();
}

function showBank() {
  if (channels === 0) return; // not built yet
  const first = bank * bankSize + 1;
  const last = Math.min(first + bankSize - 1, channels);
  for (const r of ['A', 'B'])
    for (let i = 1; i <= channels; i++)
      controls.get(r + '/' + i).element.classList.toggle('off-bank', r !== row || i < first || i > last);
  for (const tab of document.querySelectorAll('.row-tab'))
    tab.setAttribute('aria-pressed', tab.dataset.row === row ? 'true' : 'false');
  $('bank-label').textContent = first + '–' + last;
}

function showDesk(desk) {
  if ('page' in desk) $('page').textContent = desk.page;
  if ('status' in desk) $('status').textContent = desk.status;
  if ('subNames' in desk)
    desk.subNames.forEach((name, i) => {
      controls.get('sub/' + (i + 1)).element.querySelector('.name').textContent = name;
    });
  if ('subStates' in desk)
    desk.subStates.forEach((state, i) => {
      const element = controls.get('sub/' + (i + 1)).element;
      element.classList.toggle('levels', state === 1);
      element.classList.toggle('held', state === 2);
      element.dataset.state = String(state);
    });
  if ('names' in desk)
    desk.names.forEach((name, i) => {
      for (const r of ['A', 'B'])
        controls.get(r + '/' + (i + 1)).element.querySelector('.name').textContent = name;
    });
  if ('out' in desk)
    desk.out.forEach((level, i) => {
      for (const r of ['A', 'B']) {
        const top = controls.get(r + '/' + (i + 1)).element.querySelector('.top');
        top.textContent = percentText(level);
        top.dataset.level = String(level);
      }
    });
  if ('onAir' in desk)
    desk.onAir.forEach((on, i) => $('lamp-' + 'AB'[i]).classList.toggle('on', on));
}

function receive(text) {
  const message = JSON.parse(text);
  if (message.d && message.d.sizes) buildFaders(message.d.sizes); // before their values
  for (const [target, value, caught] of message.f || []) {
    const control = controls.get(target);
    if (control) control.feedback(value, caught === 1);
  }
  if (message.d) showDesk(message.d);
  document.body.dataset.ready = 'true'; // the desk is shown as it is: the page can be played
}

function connect() {
  socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/ws');
  socket.onopen = () => {
    $('connection').textContent = '接続中';
    $('connection').classList.remove('lost');
    document.body.dataset.connected = 'true';
  };
  socket.onmessage = (event) => receive(event.data);
  socket.onclose = () => {
    document.body.dataset.connected = 'false';
    document.body.dataset.ready = 'false';
    $('connection').textContent = '接続が切れました。再接続します…';
    $('connection').classList.add('lost');
    setTimeout(start, 1000);
  };
}

async function start() {
  let session;
  try {
    session = await (await fetch('/session', { cache: 'no-store' })).json();
  } catch (e) {
    setTimeout(start, 2000);
    return;
  }
  if (session.paired) {
    $('pairing').hidden = true;
    $('desk').hidden = false;
    connect();
  } else {
    $('desk').hidden = true;
    $('pairing').hidden = false;
    if (session.locked > 0) $('pair-message').textContent = lockedMessage(session.locked);
    else if (!session.open) $('pair-message').textContent = pairingClosedMessage;
    document.body.dataset.pairing = 'shown';
  }
}

// No device can make the console show a code: the operator opens pairing there.
const pairingClosedMessage = '卓の 操作 › Webリモート... で「ペアリングを開始」を押してから、表示されたコードを入力してください';

function lockedMessage(seconds) {
  return 'コードを続けて間違えたため、' + seconds + ' 秒後まで受け付けません';
}

async function sendCode(event) {
  event.preventDefault();
  const code = $('pair-code').value.trim();
  if (!/^[0-9]{6}$/.test(code)) {
    $('pair-message').textContent = '6桁の数字を入力してください';
    return;
  }
  const reply = await fetch('/pair', {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: 'code=' + code,
  });
  $('pair-code').value = '';
  if (reply.status === 204) {
    start();
    return;
  }
  if (reply.status === 409) {
    $('pair-message').textContent = pairingClosedMessage;
    return;
  }
  const { locked } = await reply.json().catch(() => ({ locked: 0 }));
  if (reply.status === 429) $('pair-message').textContent = lockedMessage(locked);
  else $('pair-message').textContent = 'コードが違います。' + locked + ' 秒後にもう一度入力できます';
}

buildDesk();
$('pair-form').addEventListener('submit', sendCode);
start();
