// The desk in the hand: the page asks the console whether this device is paired, shows the desk
// and plays it through one WebSocket when it is, and the pairing form when it is not.
import { $, useSocket } from './controls.js';
import { buildDesk, lose, receive } from './desk.js';

function connect() {
  const socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/ws');
  useSocket(socket);
  socket.onopen = () => (document.body.dataset.connected = 'true');
  socket.onmessage = (event) => receive(event.data);
  socket.onclose = () => {
    lose();
    setTimeout(start, 1000);
  };
}

async function start() {
  let session;
  try {
    session = await (await fetch('/session', { cache: 'no-store' })).json();
  } catch (e) {
    setTimeout(start, 1000);
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
