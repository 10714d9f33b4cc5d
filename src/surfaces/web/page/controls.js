// The page's controls, each named by its target (data-target), and the one WebSocket they play the
// console through. Each finger holds its own fader; a fader that has not caught the console's one
// shows where the console is and catches when the finger crosses it.

export const controls = new Map(); // target name -> control
const held = new Map(); // pointer id -> fader
let socket = null;

export const $ = (id) => document.getElementById(id);

// A finger resting this long on a fader's track takes the fader; sooner, it may be a swipe.
const trackHoldMs = 300;
// Blackout acts only on a deliberate press.
export const blackoutHoldMs = 500;
// A finger on a knob moves it once it has gone this far up or down; sideways first, it scrolls.
const knobSlopPx = 4;

export function useSocket(opened) {
  socket = opened;
}

function send(message) {
  if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(message));
}

const playable = () => document.body.dataset.connected === 'true';

export function percentText(level) {
  if (level === 0) return '--';
  if (level === 255) return 'FF';
  return String(Math.floor(level * 100 / 255));
}

const clampLevel = (level) => Math.max(0, Math.min(255, level));

const tenthsPerMinute = 600;

// A time in tenths as the console shows it: seconds below a minute ("2.5 秒"), minutes and
// seconds from one on ("1:30.0").
function timeText(tenths) {
  if (tenths < tenthsPerMinute) return (tenths / 10).toFixed(1) + ' 秒';
  const seconds = tenths % tenthsPerMinute;
  return Math.floor(tenths / tenthsPerMinute) + ':' + String(Math.floor(seconds / 10)).padStart(2, '0') + '.' + (seconds % 10);
}

// A vertical fader 0..255. A finger takes it by its knob at once (then moves it from where it
// is, without a jump), or by its track after resting there a moment; any other touch is left
// to the browser, which scrolls. A mouse takes it at once anywhere on its groove.
export class Fader {
  constructor(element, target) {
    this.element = element;
    this.target = target;
    this.knob = element.querySelector('.knob');
    this.ghost = element.querySelector('.ghost');
    this.groove = element.querySelector('.groove');
    this.valueText = element.querySelector('.value');
    this.flipped = false; // drawn upside down: 255 at the bottom (crossfader handle B)
    this.console = 0; // the console's level
    this.position = 0; // the knob's level on this page
    this.caught = true;
    this.pointer = null;
    this.waiting = null; // a finger not yet known to mean this fader: {id, x, y, knob, timer}
    this.grab = 0;
    element.addEventListener('pointerdown', (e) => this.down(e));
    // Where the browser offers them, raw moves arrive without waiting for the next frame; the
    // ordinary ones still come, and carry the last position when raw ones were merged away.
    if ('onpointerrawupdate' in window) element.addEventListener('pointerrawupdate', (e) => this.move(e));
    element.addEventListener('pointermove', (e) => this.move(e));
    element.addEventListener('pointerup', (e) => this.up(e));
    element.addEventListener('pointercancel', (e) => this.up(e));
    element.addEventListener('lostpointercapture', (e) => this.up(e));
    // Once the fader is taken, the finger's moves are the fader's, never a scroll.
    element.addEventListener('touchmove', (e) => {
      if (this.pointer !== null && e.cancelable) e.preventDefault();
    }, { passive: false });
    element.addEventListener('keydown', (e) => this.key(e));
    this.show();
  }

  // Level along the groove as drawn: 0 at the bottom. The knob's centre travels the groove less
  // the knob itself, so that it never leaves it.
  screenLevel(event) {
    const box = this.groove.getBoundingClientRect();
    const knob = this.knob.offsetHeight;
    return Math.round(((box.bottom - knob / 2 - event.clientY) / (box.height - knob)) * 255);
  }

  drawn(level) {
    return this.flipped ? 255 - level : level;
  }

  rawLevelAt(event) {
    return this.drawn(this.screenLevel(event));
  }

  levelAt(event) {
    return clampLevel(this.rawLevelAt(event) - this.grab);
  }

  down(event) {
    if (this.pointer !== null || this.waiting || event.button > 0 || !playable()) return;
    if (!event.target.closest('.groove')) return; // the readouts and the name are no handle
    const onKnob = event.target.closest('.knob') !== null;
    if (event.pointerType === 'mouse') {
      event.preventDefault();
      this.take(event, onKnob);
      return;
    }
    const waiting = { id: event.pointerId, x: event.clientX, y: event.clientY, knob: onKnob, last: event };
    waiting.grab = this.rawLevelAt(event) - this.position; // the knob moves from where it was taken
    if (!onKnob) waiting.timer = setTimeout(() => this.take(waiting.last, false), trackHoldMs);
    this.waiting = waiting;
  }

  // The fader is this finger's from now on.
  take(event, onKnob, grab = this.rawLevelAt(event) - this.position) {
    this.stopWaiting();
    this.pointer = event.pointerId;
    held.set(event.pointerId, this);
    this.element.setPointerCapture?.(event.pointerId);
    this.element.classList.add('active');
    document.body.classList.add('holding');
    this.grab = onKnob ? grab : 0;
    send({ t: 'touch', n: this.target, d: true });
    // Taken by the knob, the fader starts where the console is and so catches at once.
    if (onKnob) {
      this.caught = true;
      this.console = this.position;
      this.sendLevel(this.position);
    } else this.moveTo(this.levelAt(event));
  }

  stopWaiting() {
    if (this.waiting) clearTimeout(this.waiting.timer);
    this.waiting = null;
  }

  move(event) {
    const waiting = this.waiting;
    if (waiting && event.pointerId === waiting.id) {
      waiting.last = event;
      const dx = Math.abs(event.clientX - waiting.x);
      const dy = Math.abs(event.clientY - waiting.y);
      if (waiting.knob && dy >= knobSlopPx && dy > dx) this.take(waiting.last, true, waiting.grab);
      else if (Math.max(dx, dy) >= (waiting.knob ? knobSlopPx : 8)) this.stopWaiting(); // a swipe
      if (this.pointer === null) return;
    }
    if (event.pointerId !== this.pointer) return;
    event.preventDefault();
    this.moveTo(this.levelAt(event));
  }

  up(event) {
    if (this.waiting && event.pointerId === this.waiting.id) this.stopWaiting();
    // The knob's own capture handed over to the fader is no letting go.
    if (event.pointerId !== this.pointer || (event.type === 'lostpointercapture' && event.target !== this.element))
      return;
    if (event.type === 'pointerup') this.moveTo(this.levelAt(event)); // where the finger left it
    this.release();
    send({ t: 'touch', n: this.target, d: false });
  }

  // Lets go without a word to the console (the connection is gone).
  release() {
    held.delete(this.pointer);
    this.pointer = null;
    this.element.classList.remove('active');
    if (held.size === 0) document.body.classList.remove('holding');
    this.show();
  }

  key(event) {
    const steps = { ArrowUp: 1, ArrowRight: 1, ArrowDown: -1, ArrowLeft: -1, PageUp: 16, PageDown: -16 };
    let level = null;
    if (event.key in steps) level = this.drawn(this.drawn(this.position) + steps[event.key]);
    else if (event.key === 'Home') level = this.drawn(0);
    else if (event.key === 'End') level = this.drawn(255);
    if (level === null) return;
    event.preventDefault();
    this.moveTo(clampLevel(level));
  }

  moveTo(level) {
    if (level === this.position && this.pointer !== null) return;
    this.position = level;
    if (this.caught) this.console = level;
    this.sendLevel(level);
    this.show();
  }

  sendLevel(level) {
    send({ t: 'move', n: this.target, v: level });
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
    const along = (value) => `calc((100% - var(--knob-size)) * ${this.drawn(value) / 255})`;
    this.knob.style.setProperty('bottom', along(level));
    if (this.ghost) this.ghost.style.setProperty('bottom', along(this.console));
    if (this.valueText) this.valueText.textContent = level === 0 ? '0' : percentText(level);
  }
}

// A crossfader handle, drawn as on the console: A's 0 at the bottom, B's at the top, so that
// with both knobs down row B is on air and pushing both up fades to row A. Linked, a finger on
// either knob carries the other along the same way, each stopping at its own end.
export class CrossHandle extends Fader {
  constructor(element, target, flipped) {
    super(element, target);
    this.flipped = flipped;
    this.other = null;
    this.show();
  }

  take(event, onKnob, grab) {
    this.from = this.position;
    this.other.from = this.other.console;
    if (linked()) send({ t: 'touch', n: this.other.target, d: true });
    super.take(event, onKnob, grab);
  }

  sendLevel(level) {
    super.sendLevel(level);
    if (!linked() || this.pointer === null) return;
    const other = this.other;
    other.console = other.position = clampLevel(other.from - (level - this.from));
    other.sendLevel(other.position);
    other.show();
  }

  up(event) {
    const mine = event.pointerId === this.pointer;
    super.up(event);
    if (mine && linked()) send({ t: 'touch', n: this.other.target, d: false });
  }
}

const linked = () => controls.get('link')?.element.getAttribute('aria-pressed') === 'true';

// Pressed while the finger is down, let go when it lifts anywhere or is cancelled: a flash
// button plays for exactly as long as it is held.
export class Button {
  constructor(element, target) {
    this.element = element;
    this.target = target;
    this.down = false;
    const press = (down) => (e) => {
      e.preventDefault();
      e.stopPropagation(); // a flash button sits on its fader but is no part of it
      if (down && !playable()) return;
      if (down === this.down) return;
      this.down = down;
      if (down && e.pointerId !== undefined) element.setPointerCapture?.(e.pointerId);
      element.classList.toggle('down', down);
      this.pressed(down);
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

  pressed(down) {
    send({ t: 'press', n: this.target, d: down });
  }

  // Lets go without a word to the console (the connection is gone).
  release() {
    this.down = false;
    this.element.classList.remove('down');
  }

  // Lit: IN and link while on, GO while its fade runs, a page button while it can be used, a
  // flash button while held.
  feedback(value) {
    this.element.classList.toggle('lit', value !== 0);
    if (this.element.hasAttribute('aria-pressed'))
      this.element.setAttribute('aria-pressed', value ? 'true' : 'false');
  }
}

// A sub-master's TAP while it holds a chase: pressed, it taps chase/N/tap; lit while the chase
// runs, with the chase's BPM (chase/N/bpm, in tenths) under it.
export class TapButton extends Button {
  constructor(element) {
    super(element, '');
    this.chase = 0;
    this.bpm = element.querySelector('.bpm');
  }

  // The chase the TAP plays from now on (0: none, hidden).
  showChase(chase) {
    this.chase = chase;
    this.target = chase ? 'chase/' + chase + '/tap' : '';
    this.element.dataset.target = this.target;
    this.element.setAttribute('aria-label', 'チェイス ' + chase + ' のテンポをタップ');
    this.element.hidden = !chase;
    this.bpm.textContent = '';
    super.feedback(0);
  }

  targets() {
    return ['chase/' + this.chase + '/tap', 'chase/' + this.chase + '/bpm'];
  }

  // Both of its targets come here: the lamp, and the speed.
  feedback(value, caught, target) {
    if (target && target.endsWith('/bpm')) this.bpm.textContent = value ? (value / 10).toFixed(1) : '';
    else super.feedback(value);
  }
}

// The flash buttons' setting: lit in solo mode, when every flash button says SOLO.
export class FlashModeButton extends Button {
  feedback(value) {
    super.feedback(value);
    document.body.classList.toggle('solo', value !== 0);
  }
}

// Linked handles travel together: both knobs show it.
export class LinkButton extends Button {
  feedback(value) {
    super.feedback(value);
    $('xfaders').classList.toggle('linked', value !== 0);
  }
}

// Reaches the console only when held long enough (a brushing thumb does nothing): blackout.
class HoldButton extends Button {
  pressed(down) {
    clearTimeout(this.timer);
    this.element.classList.toggle('arming', down);
    if (down) {
      this.timer = setTimeout(() => {
        this.element.classList.remove('arming');
        this.sent = true;
        super.pressed(true);
      }, blackoutHoldMs);
    } else if (this.sent) {
      this.sent = false;
      super.pressed(false);
    }
  }
}

// While blackout is on, a banner says so across the page.
export class BlackoutButton extends HoldButton {
  feedback(value) {
    super.feedback(value);
    $('blackout-banner').hidden = value === 0;
    document.body.classList.toggle('blackout', value !== 0);
  }
}

// The fade time in 0.5 s steps (a finger cannot set it by accident); a held step repeats.
export class Stepper {
  constructor(element, target) {
    this.element = element;
    this.target = target;
    this.value = 0;
    this.max = 0; // the console tells its limit (limits)
    this.valueText = element.querySelector('.value');
    for (const button of element.querySelectorAll('.step')) {
      const step = Number(button.dataset.step);
      const stop = () => {
        clearTimeout(this.delay);
        clearInterval(this.repeat);
      };
      button.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        if (!playable()) return;
        button.setPointerCapture?.(e.pointerId);
        this.step(step);
        stop();
        this.delay = setTimeout(() => (this.repeat = setInterval(() => this.step(step), 120)), 450);
      });
      for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) button.addEventListener(type, stop);
      button.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' || e.key === ' ') {
          e.preventDefault();
          this.step(step);
        }
      });
    }
  }

  // To the next half second in that direction (from a minute on, the next five seconds, so that
  // a held button gets to minutes), within 0 and the console's limit.
  step(step) {
    if (!playable()) return;
    const inMinutes = step > 0 ? this.value >= tenthsPerMinute : this.value > tenthsPerMinute;
    const half = Math.abs(step) * (inMinutes ? 10 : 1);
    const next = step > 0 ? Math.floor(this.value / half) * half + half : Math.ceil(this.value / half) * half - half;
    this.value = Math.max(0, Math.min(this.max, next));
    send({ t: 'move', n: this.target, v: this.value });
    this.show();
  }

  feedback(value) {
    this.value = value;
    this.show();
  }

  show() {
    this.valueText.textContent = timeText(this.value);
    this.element.dataset.value = String(this.value);
  }
}

// A cue the console shows (in tenths); its text, "number label" as the console's cue readout
// has it, comes with the desk's state.
export class Readout {
  constructor(element) {
    this.element = element;
  }

  feedback(value) {
    this.element.dataset.value = String(value);
  }

  show(text) {
    this.element.textContent = text || '—';
    this.element.title = text;
  }
}

// A console that follows another (a tracking backup) plays nothing from here: a banner says so.
export class FollowingBanner {
  constructor(element) {
    this.element = element;
  }

  feedback(value) {
    this.element.hidden = value !== 0;
    document.body.classList.toggle('following', value === 0);
  }
}

// Whether frames reach the DMX interface: the status line, which says why, turns red when not.
export class OutputState {
  constructor(element) {
    this.element = element;
  }

  feedback(value) {
    this.element.classList.toggle('output-lost', value === 0);
  }
}
