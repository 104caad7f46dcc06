// SPDX-License-Identifier: GPL-3.0-or-later
// The page served by kestrada-server: a crash named by the player is
// verified by the server and listed in the panel's world view; a game
// named offline goes out once the browser is back online; a name from an
// input method and a game whose tab was closed while naming reach the
// board; the service worker never answers /api/ from its cache.
//
//   KESTRADA_URL=http://127.0.0.1:PORT/ [KESTRADA_SCREENSHOTS=DIR] node --test world.test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const path = require('node:path');
const { useBrowser, state, slotsPass, press } = require('./browser_support.js');

const url = process.env.KESTRADA_URL;
const browser = useBrowser();
let page;

// Each local entry's state, by run, and the world's rows shown.
const world = () => page.evaluate(() => {
  const [, records, rows] = UTF8ToString(Module._kestrada_world_state()).split(/^-$\n?/m);
  return {
    states: Object.fromEntries(records.split('\n').filter(Boolean).map((line) => line.split('\t'))),
    rows: rows.split('\n').filter(Boolean),
  };
});

// Onto the road, past a score, then off its left edge: the crash enters
// the hall of fame.
async function crash(above = 0) {
  await page.keyboard.down('ArrowUp');
  await slotsPass(page, 40);
  await page.waitForFunction((s) => Number(window.kestrada.state().lblScore) > s, { timeout: 30000 }, above);
  await page.keyboard.down('ArrowLeft');
  await page.waitForFunction(() => window.kestrada.state().GameOver, { timeout: 30000 });
  await page.keyboard.up('ArrowLeft');
  await page.keyboard.up('ArrowUp');
}

// A crash, and the name typed (key by key, or as `type` gives it) is kept.
// The run of the entry named.
async function crashAndName(name, type = (text) => page.keyboard.type(text)) {
  await crash();
  for (let i = 0; i < 12; i += 1) {
    await page.keyboard.press('Backspace');
  }
  await type(name);
  const before = Object.keys((await world()).states);
  await press(page, 'Enter');
  await page.waitForFunction((known) => {
    const records = UTF8ToString(Module._kestrada_world_state()).split(/^-$\n?/m)[1];
    return records.split('\n').filter(Boolean).length > known;
  }, {}, before.length);
  return Object.keys((await world()).states).find((run) => !before.includes(run));
}

// Waits for the run's state; a run that never gets there fails with the
// state it has.
async function stateOf(run, wanted) {
  try {
    await page.waitForFunction((r, w) => {
      const records = UTF8ToString(Module._kestrada_world_state()).split(/^-$\n?/m)[1];
      return records.split('\n').some((line) => line.startsWith(`${r}\t${w}`));
    }, { timeout: 30000 }, run, wanted);
  } catch (error) {
    assert.fail(`${run}: ${(await world()).states[run]}, not ${wanted}`);
  }
}

// The world's table as the server gives it.
const board = async () => (await (await fetch(`${url}api/boards/all?limit=100`)).json()).entries;

// One page for the file's tests, opened by the first.
async function open() {
  if (page) {
    return;
  }
  page = await browser.newPage();
  await page.goto(`${url}?seed=7`, { waitUntil: 'networkidle0' });
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  await page.waitForFunction(() => UTF8ToString(Module._kestrada_world_state()).startsWith('http'));
}

test('a named crash is verified by the server with its score and listed in the world view', async () => {
  await open();
  const run = await crashAndName('Pia');
  const score = (await state(page)).lblScore;
  await stateOf(run, 'verified, world rank 1');

  await press(page, 'Tab');
  await page.waitForFunction(() => UTF8ToString(Module._kestrada_world_state()).includes('Pia'));
  const { rows } = await world();
  assert.match(rows[0], new RegExp(`^ 1 +${score} +Pia `));
  if (process.env.KESTRADA_SCREENSHOTS) {
    await (await page.$('#screen')).screenshot({
      path: path.join(process.env.KESTRADA_SCREENSHOTS, 'page-world-view.png'),
    });
  }
  await press(page, 'Tab');
  await press(page, 'Tab');
});

test('a game named offline waits, and goes out when the browser is back online', async () => {
  await open();
  await page.setOfflineMode(true);
  await press(page, 'Enter'); // a new game
  assert.strictEqual((await state(page)).GameOver, false);
  const run = await crashAndName('Quo');
  await stateOf(run, 'waiting to be sent again');
  await page.setOfflineMode(false);
  await stateOf(run, 'verified');
});

// As an input method commits it (Chinese, Japanese, Korean), into the
// field that has the keys as soon as the crash asks for a name.
test('a name committed by an input method is kept as typed and reaches the board', async () => {
  await open();
  await press(page, 'Enter'); // a new game
  const run = await crashAndName('李明', async (text) => {
    assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'name-input');
    await page.keyboard.sendCharacter(text);
    // A new zoom while naming takes the field along with the game's.
    const share = () => document.getElementById('name-input').clientWidth / canvas.clientWidth;
    const before = await page.evaluate(share);
    const zoom = await page.evaluate(() => chosenZoom);
    await page.evaluate((z) => setZoom(z === 1 ? 2 : 1), zoom);
    await page.waitForFunction(`Math.abs((${share})() - ${before}) < 0.01`);
    await page.evaluate((z) => setZoom(z), zoom);
    if (process.env.KESTRADA_SCREENSHOTS) {
      await (await page.$('#window')).screenshot({
        path: path.join(process.env.KESTRADA_SCREENSHOTS, 'page-name-field.png'),
      });
    }
  });
  await stateOf(run, 'verified');
  assert.ok((await page.evaluate(() => window.kestrada.hallOfFame())).some((row) => / 李明 /.test(row)));
  assert.ok((await board()).some((entry) => entry.name === '李明'));
});

// The entry is kept under the last name when the tab goes, and sent once
// the page is opened again.
test('a tab closed while the name is asked for: the entry reaches the board', async () => {
  await open();
  await press(page, 'Enter');
  const first = await crashAndName('Wen');
  await stateOf(first, 'verified');
  const firstScore = Number((await state(page)).lblScore);
  await press(page, 'Enter');
  // Past the first score, so that this run is the name's best.
  await crash(firstScore);
  const best = Number((await state(page)).lblScore);
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'name-input');
  await page.close({ runBeforeUnload: true });
  page = undefined;
  await open();
  let row;
  for (let i = 0; i < 150 && !(row && row.score === best); i += 1) {
    await new Promise((resolve) => setTimeout(resolve, 200));
    row = (await board()).find((entry) => entry.name === 'Wen');
  }
  assert.deepStrictEqual([row.name, row.score], ['Wen', best]);
});

test("Ctrl+D plays today's road: the server's seed, its first game on the road's table", async () => {
  await open();
  const road = await (await fetch(`${url}api/road`)).json();
  await page.keyboard.down('Control');
  await press(page, 'KeyD');
  await page.keyboard.up('Control');
  await page.waitForFunction((seed) => window.kestrada.recording().startsWith(`# kestrada 1.0 seed ${seed} `),
    { timeout: 10000 }, road.seed);
  const run = await crashAndName('Rue');
  await stateOf(run, 'verified');
  const board = await (await fetch(`${url}api/boards/road?date=${road.date}`)).json();
  assert.deepStrictEqual(board.entries.map((e) => e.name), ['Rue']);
});

test("today's road races the day's leader: the top row's run drives beside the player", async () => {
  await open();
  const road = await (await fetch(`${url}api/road`)).json();
  const [leader] = (await (await fetch(`${url}api/boards/road?date=${road.date}`)).json()).entries;
  assert.strictEqual(leader.name, 'Rue');
  await page.keyboard.down('Control');
  await press(page, 'KeyD');
  await page.keyboard.up('Control');
  await page.waitForFunction(() => window.kestrada.ghost() !== null, { timeout: 30000 });
  assert.ok((await page.evaluate(() => window.kestrada.recording())).startsWith(`# kestrada 1.0 seed ${road.seed} `));
  // The leader's game plays again to its crash, and to its score.
  await page.waitForFunction((score) => String(window.kestrada.ghost().score) === score,
    { timeout: 30000 }, String(leader.score));
  if (process.env.KESTRADA_SCREENSHOTS) {
    await (await page.$('#screen')).screenshot({
      path: path.join(process.env.KESTRADA_SCREENSHOTS, 'page-road-leader.png'),
    });
  }
});

test('the service worker leaves /api/ to the network', async () => {
  await open();
  await page.reload({ waitUntil: 'networkidle0' });
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 30000 });
  const fromWorker = [];
  const listen = (response) => fromWorker.push([new URL(response.url()).pathname, response.fromServiceWorker()]);
  page.on('response', listen);
  await page.evaluate(() => fetch('api/health').then((r) => r.json()));
  await page.evaluate(() => fetch('index.html').then((r) => r.text()));
  page.off('response', listen);
  assert.deepStrictEqual(fromWorker.filter(([p]) => p.startsWith('/api/')), [['/api/health', false]]);
  assert.ok(fromWorker.some(([p, worker]) => p === '/index.html' && worker));
});

test("?race= races a world row's run: its ghost drives ahead of a player who stands", async () => {
  await open();
  const top = (await (await fetch(`${url}api/boards/all`)).json()).entries[0];
  const run = `api/runs/${top.run}/recording`;
  const seed = (await (await fetch(`${url}${run}`)).text()).match(/^# kestrada 1\.0 seed (\d+) /)[1];
  const racer = await browser.newPage();
  await racer.goto(`${url}?race=${run}`, { waitUntil: 'networkidle0' });
  await racer.click('#cover');
  await racer.waitForFunction(() => window.kestrada.ghost() !== null, { timeout: 30000 });
  // The player's session is on the run's road, from the run's start.
  assert.ok((await racer.evaluate(() => window.kestrada.recording())).startsWith(`# kestrada 1.0 seed ${seed} `));
  await racer.waitForFunction(() => window.kestrada.ghost().gap > 100, { timeout: 30000 });
  const ghost = await racer.evaluate(() => window.kestrada.ghost());
  assert.ok(Number.isInteger(ghost.score) && ghost.score > 0, JSON.stringify(ghost));
  if (process.env.KESTRADA_SCREENSHOTS) {
    await (await racer.$('#screen')).screenshot({
      path: path.join(process.env.KESTRADA_SCREENSHOTS, 'page-race.png'),
    });
  }
  await racer.close();
});
