// The web remote's figures under attack, for web_remote_bench.mjs: what a console started by
// the bench does while slow requests, refused handshakes and control-frame floods come at it.
// Every client is on loopback (127.0.0.x: each its own address on Linux).
import { get } from 'node:http';
import { connect } from 'node:net';
import { Worker } from 'node:worker_threads';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const nowMs = () => performance.timeOrigin + performance.now();
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)] ?? NaN;

// One page load (the page itself) from a loopback address: its time in ms when it was served
// whole within 3 s, otherwise nothing.
const load = ({ port, host }, localAddress) =>
  new Promise((resolveLoad) => {
    const started = nowMs();
    const request = get({ host: '127.0.0.1', port, path: '/', localAddress, agent: false, headers: { Host: host } },
      (reply) => {
        let length = 0;
        reply.on('data', (chunk) => (length += chunk.length));
        reply.on('end', () =>
          resolveLoad(reply.statusCode === 200 && length === Number(reply.headers['content-length']) ? nowMs() - started : null));
        reply.on('error', () => resolveLoad(null));
      });
    request.setTimeout(3000, () => request.destroy());
    request.on('error', () => resolveLoad(null));
  });

// Connections that send one byte of a request head every 0.5 s, `each` from every one of the
// addresses, reconnecting at once whenever the console drops them. Returns a stop function and
// a count of the connections made.
function slowClients({ port }, addresses, each) {
  const made = { count: 0, stopped: false };
  const slow = (localAddress) => {
    if (made.stopped) return;
    made.count++;
    const socket = connect({ host: '127.0.0.1', port, localAddress });
    const drip = setInterval(() => socket.write('G'), 500);
    socket.write('G');
    socket.on('error', () => {});
    socket.on('close', () => {
      clearInterval(drip);
      setImmediate(() => slow(localAddress));
    });
  };
  for (const address of addresses) for (let i = 0; i < each; i++) slow(address);
  return made;
}

// 48 page loads, one after the other, from each address of `from`: how many were served and
// how long they took.
async function pageLoads(context, from) {
  const lines = [];
  for (const address of from) {
    const times = [];
    for (let i = 0; i < 48; i++) {
      const time = await load(context, address);
      if (time !== null) times.push(time);
      await sleep(100);
    }
    lines.push(`${address} ${times.length} of 48` +
      (times.length ? ` (median ${median(times).toFixed(1)} ms, longest ${Math.max(...times).toFixed(1)} ms)` : ''));
  }
  return lines.join(', ');
}

const addressesFrom = (first, count) => Array.from({ length: count }, (_, i) => `127.0.0.${first + i}`);

// Slow requests: 40 from 127.0.0.1 alone, then 8 from each of 4 and of 19 addresses; meanwhile
// 48 page loads from a fresh address (and from a slow one).
export async function slowRequests(context) {
  const lines = [];
  const attacks = [
    { what: '40 from 127.0.0.1', addresses: ['127.0.0.1'], each: 40, loads: ['127.0.0.2', '127.0.0.1'] },
    { what: '8 from each of 4 addresses', addresses: addressesFrom(10, 4), each: 8, loads: ['127.0.0.50', '127.0.0.10'] },
    { what: '8 from each of 19 addresses', addresses: addressesFrom(10, 19), each: 8, loads: ['127.0.0.51', '127.0.0.10'] },
  ];
  for (const attack of attacks) {
    const made = slowClients(context, attack.addresses, attack.each);
    await sleep(2000);
    const started = nowMs();
    const cpuBefore = context.cpuSeconds();
    const served = await pageLoads(context, attack.loads);
    const seconds = (nowMs() - started) / 1000;
    const cpu = (context.cpuSeconds() - cpuBefore) / seconds;
    made.stopped = true;
    lines.push(`slow requests, ${attack.what} (${(made.count / (seconds + 2)).toFixed(0)} connections a second, ` +
      `console CPU ${(cpu * 100).toFixed(0)} % of a core): page loads served from ${served}`);
    await sleep(3000);
  }
  return lines;
}

// Resolves with the status of the answer to an upgrade request.
const upgradeStatus = ({ port, upgrade }, version) =>
  new Promise((resolveStatus) => {
    const socket = connect({ host: '127.0.0.1', port });
    let answer = '';
    socket.on('data', (chunk) => {
      answer += chunk;
      if (answer.includes('\r\n')) {
        resolveStatus(Number(answer.slice(9, 12)));
        socket.destroy();
      }
    });
    socket.on('error', () => resolveStatus(0));
    socket.on('close', () => resolveStatus(answer ? Number(answer.slice(9, 12)) : 0));
    socket.write(upgrade(version));
  });

// 16 handshakes the console refuses (version 12), eight at a time, then a good one.
export async function handshakeSlots(context) {
  const refused = [];
  for (let batch = 0; batch < 2; batch++)
    refused.push(...(await Promise.all(Array.from({ length: 8 }, () => upgradeStatus(context, 12)))));
  const answered = nowMs();
  let status;
  while ((status = await upgradeStatus(context, 13)) !== 101 && nowMs() - answered < 30000) await sleep(20);
  return `16 refused handshakes (answered ${[...new Set(refused)].join(', ')}): a good one connected ` +
    `${((nowMs() - answered) / 1000).toFixed(2)} s later (${status})`;
}

// The flooding pages run on a thread of their own, so that their writing does not hold up the
// frames counted here. Each opens its WebSocket, then sends its frame `perTick` times every 10 ms,
// or (perTick 0) as fast as the console takes them; a page that is dropped opens again.
const floodSource = `
const { workerData, parentPort } = require('node:worker_threads');
const { connect } = require('node:net');
const { port, upgrade, pages, perTick, start, frame } = workerData;
const unit = Buffer.from(frame, 'hex');
const burst = Buffer.concat(Array(perTick || 1000).fill(unit));
let stopped = false, connections = 0;
const sockets = new Set();
function open() {
  if (stopped) return;
  connections++;
  const socket = connect({ host: '127.0.0.1', port });
  sockets.add(socket);
  let timer;
  socket.on('error', () => {});
  socket.on('close', () => { clearInterval(timer); sockets.delete(socket); setImmediate(open); });
  socket.on('data', () => {});
  socket.write(upgrade);
  socket.once('data', () => {
    if (start) socket.write(Buffer.from(start, 'hex'));
    if (perTick) {
      timer = setInterval(() => socket.write(burst), 10);
      return;
    }
    const pump = () => {
      while (!stopped && !socket.destroyed && socket.write(burst));
      if (!stopped && !socket.destroyed) socket.once('drain', pump);
    };
    pump();
  });
}
for (let i = 0; i < pages; i++) open();
parentPort.on('message', () => {
  stopped = true;
  for (const socket of sockets) socket.destroy();
  parentPort.postMessage({ connections });
});
`;

// A masked client frame with an empty payload.
const emptyFrame = (first) => Buffer.from([first, 0x80, 1, 2, 3, 4]).toString('hex');

// 15 pages send pings, pongs or empty fragments during a 5 s GO: how many frames change the
// level, and what the flood costs the console. context.go(client) runs the GO.
export async function controlFloods(context, client) {
  const floods = [
    { what: 'pings, 1,900 a second from each page', frame: emptyFrame(0x89), perTick: 19 },
    { what: 'pings as fast as the console takes them', frame: emptyFrame(0x89), perTick: 0 },
    { what: 'pongs as fast as the console takes them', frame: emptyFrame(0x8a), perTick: 0 },
    { what: 'empty fragments as fast as the console takes them', frame: emptyFrame(0x00), perTick: 0,
      start: emptyFrame(0x01) },
  ];
  const lines = [];
  for (const flood of floods) {
    const worker = new Worker(floodSource, {
      eval: true,
      workerData: { port: context.port, upgrade: context.upgrade(13), pages: 15, ...flood },
    });
    await sleep(1500);
    const started = nowMs();
    const cpuBefore = context.cpuSeconds();
    const goes = [await context.go(client), await context.go(client)];
    const cpu = (context.cpuSeconds() - cpuBefore) / ((nowMs() - started) / 1000);
    const { connections } = await new Promise((r) => {
      worker.once('message', r);
      worker.postMessage('stop');
    });
    await worker.terminate();
    lines.push(`15 pages sending ${flood.what} (${connections} connections, console CPU ` +
      `${(cpu * 100).toFixed(0)} % of a core): GO of 5 s ${goes.join('; ')}`);
    await sleep(2000);
  }
  return lines;
}
