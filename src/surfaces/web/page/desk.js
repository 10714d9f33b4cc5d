// The desk as the console describes it: its faders built once the console tells how many, its
// controls shown or hidden by the targets the console has, and every message the console sends
// drawn on them.
import {
  $, BlackoutButton, blackoutHoldMs, Button, controls, CrossHandle, Fader, FlashModeButton,
  FollowingBanner, LinkButton, OutputState, percentText, Readout, Stepper, TapButton,
} from './controls.js';

let bankSize = 10;
let row = 'A';
let bank = 0;
let channels = 0; // each row's faders: the console tells how many (sizes), then they are built

function makeFlash(parent, number) {
  const element = document.createElement('button');
  element.className = 'flash';
  element.setAttribute('role', 'button');
  element.setAttribute('aria-label', 'フラッシュ ' + number);
  element.dataset.target = 'flash/' + number;
  parent.appendChild(element);
  controls.set(element.dataset.target, new Button(element, element.dataset.target));
}

// A TAP above the flash button, shown while the fader's sub-master holds a chase: it taps that
// chase's tempo and shows its BPM.
function makeTap(parent) {
  const element = document.createElement('button');
  element.className = 'tap';
  element.hidden = true;
  element.setAttribute('role', 'button');
  element.innerHTML = 'TAP<span class="bpm"></span>';
  parent.appendChild(element);
  return new TapButton(element);
}

// The chase each sub-master fader plays (0: none) names its TAP's targets; a TAP that comes to
// show a chase shows what the console last said of it.
const taps = [];
const heard = new Map(); // target name -> its last value

function showChases(chases) {
  chases.forEach((chase, i) => {
    const tap = taps[i];
    if (!tap || tap.chase === chase) return;
    if (tap.chase) for (const target of tap.targets()) controls.delete(target);
    tap.showChase(chase);
    if (!chase) return;
    for (const target of tap.targets()) {
      controls.set(target, tap);
      if (heard.has(target)) tap.feedback(heard.get(target), true, target);
    }
  });
}

function makeFader(parent, target, label, top, extraClass, Kind = Fader, ...rest) {
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
    '<span class="number"></span><span class="value"></span><span class="name"></span>';
  element.querySelector('.top').textContent = top;
  parent.appendChild(element);
  const fader = new Kind(element, target, ...rest);
  controls.set(target, fader);
  return fader;
}

export function buildDesk() {
  const cross = $('xfaders');
  const a = makeFader(cross, 'xfade/A', 'クロスフェーダー A', 'A', 'cross-handle', CrossHandle, false);
  const b = makeFader(cross, 'xfade/B', 'クロスフェーダー B', 'B', 'cross-handle', CrossHandle, true);
  a.other = b;
  b.other = a;
  controls.set('go/time', new Stepper($('go-time'), 'go/time'));
  controls.set('output', new OutputState($('status')));
  controls.set('backup', new FollowingBanner($('following-banner')));
  for (const element of document.querySelectorAll('.readout[data-target]'))
    controls.set(element.dataset.target, new Readout(element));
  const kinds = { 'flash/mode': FlashModeButton, link: LinkButton, blackout: BlackoutButton };
  for (const element of document.querySelectorAll('button[data-target]')) {
    const Kind = kinds[element.dataset.target] ?? Button;
    controls.set(element.dataset.target, new Kind(element, element.dataset.target));
  }
  for (const tab of document.querySelectorAll('.row-tab'))
    tab.addEventListener('click', () => { row = tab.dataset.row; showBank(); });
  $('bank-prev').addEventListener('click', () => { bank = Math.max(0, bank - 1); showBank(); });
  $('bank-next').addEventListener('click', () => {
    bank = Math.min(Math.ceil(channels / bankSize) - 1, bank + 1);
    showBank();
  });
  new ResizeObserver(fitBank).observe($('row-faders'));
  $('desk').addEventListener('contextmenu', (e) => e.preventDefault()); // a long press is ours
  showFullNames();
}

// The sub-master and channel faders, as many as the console has (once: they never change).
function buildFaders(sizes) {
  if (channels > 0) return;
  // Built apart and put in at once, the rows hidden until their bank is chosen: one layout.
  const subs = document.createDocumentFragment();
  for (let i = 1; i <= sizes.sub; i++) {
    const fader = makeFader(subs, 'sub/' + i, 'サブマスター ' + i, String(i), 'sub-fader');
    taps.push(makeTap(fader.element));
    if (i <= sizes.flash) makeFlash(fader.element, i);
  }
  const rows = document.createDocumentFragment();
  for (const r of ['A', 'B'])
    for (let i = 1; i <= sizes[r]; i++) {
      const fader = makeFader(rows, r + '/' + i, r + '段 チャンネル ' + i, '--', 'row-fader off-bank');
      fader.element.querySelector('.number').textContent = String(i);
    }
  $('sub-faders').appendChild(subs);
  $('row-faders').appendChild(rows);
  channels = sizes.A;
  fitBank();
}

// Only the controls whose target the console has: a single target it does not know is hidden.
function showTargets(names) {
  const known = new Set(names);
  for (const element of document.querySelectorAll('#desk [data-target]')) {
    const target = element.dataset.target;
    if (target && !/\/[0-9]+(\/[a-z]+)?$/.test(target)) element.hidden = !known.has(target);
  }
  if (known.has('gm') && !controls.has('gm')) makeFader($('gm'), 'gm', 'グランドマスター', 'GM', 'gm-fader');
  $('gm').hidden = !known.has('gm');
  $('cue').hidden = !known.has('cue/current');
}

// As many channels a bank as the row's width holds at a thumb's width each.
function fitBank() {
  const width = $('row-faders').clientWidth;
  const fits = (count) => (width - (count - 1) * 2) / count >= 44;
  const first = bank * bankSize;
  bankSize = [20, 16, 10, 8, 5, 4].find(fits) ?? 4;
  bank = Math.floor(first / bankSize);
  $('row-faders').style.setProperty('--bank', String(bankSize));
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

function setName(target, name) {
  const element = controls.get(target).element.querySelector('.name');
  element.textContent = name;
  element.title = name;
}

// A name cut short shows whole in a bubble while a finger rests on it.
function showFullNames() {
  const bubble = $('bubble');
  let timer = null;
  const hide = () => {
    clearTimeout(timer);
    bubble.hidden = true;
  };
  document.addEventListener('pointerdown', (e) => {
    const name = e.target.closest?.('.name');
    hide();
    if (!name || !name.textContent) return;
    timer = setTimeout(() => {
      bubble.textContent = name.textContent;
      bubble.hidden = false;
      const box = name.getBoundingClientRect();
      const width = bubble.offsetWidth;
      bubble.style.left = Math.max(4, Math.min(innerWidth - width - 4, box.left + box.width / 2 - width / 2)) + 'px';
      bubble.style.top = Math.max(4, box.top - bubble.offsetHeight - 8) + 'px';
    }, blackoutHoldMs);
  });
  for (const type of ['pointerup', 'pointercancel', 'scroll']) document.addEventListener(type, hide, true);
}

function showDesk(desk) {
  if ('page' in desk) $('page').textContent = desk.page;
  if ('status' in desk) $('status').textContent = desk.status;
  if ('subNames' in desk) desk.subNames.forEach((name, i) => setName('sub/' + (i + 1), name));
  if ('subStates' in desk)
    desk.subStates.forEach((state, i) => {
      const element = controls.get('sub/' + (i + 1)).element;
      element.classList.toggle('levels', state === 1);
      element.classList.toggle('held', state === 2);
      element.dataset.state = String(state);
    });
  if ('subChases' in desk) showChases(desk.subChases);
  if ('names' in desk)
    desk.names.forEach((name, i) => {
      for (const r of ['A', 'B']) setName(r + '/' + (i + 1), name);
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
  if ('cues' in desk) ['cue/current', 'cue/next'].forEach((target, i) => controls.get(target).show(desk.cues[i]));
}

export function receive(text) {
  const message = JSON.parse(text);
  // The controls first, then their values: the first message carries both.
  if (message.d && message.d.sizes) buildFaders(message.d.sizes);
  if (message.d && message.d.targets) showTargets(message.d.targets);
  for (const [target, max] of Object.entries((message.d && message.d.limits) || {})) {
    const control = controls.get(target);
    if (control) control.max = max;
  }
  for (const [target, value, caught] of message.f || []) {
    if (target.startsWith('chase/')) heard.set(target, value);
    const control = controls.get(target);
    if (control) control.feedback(value, caught === 1, target);
  }
  if (message.d) showDesk(message.d);
  $('lost').hidden = true;
  document.body.classList.remove('lost');
  document.body.dataset.ready = 'true'; // the desk is shown as it is: the page can be played
}

// The connection is gone: nothing on the page can be played until it is back, and it says so.
export function lose() {
  document.body.dataset.connected = 'false';
  document.body.dataset.ready = 'false';
  document.body.classList.add('lost');
  $('lost').hidden = false;
  for (const control of controls.values()) {
    if (control instanceof Fader) {
      control.stopWaiting();
      if (control.pointer !== null) control.release();
    } else if (control instanceof Button && control.down) control.release();
  }
}
