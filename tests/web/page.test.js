// SPDX-License-Identifier: GPL-3.0-or-later
// The page in a real browser: Debian's chromium or firefox-esr, headless,
// driven by puppeteer-core against the site served from build/web/site.
// Tests that reach into chromium's own protocol run in chromium only.
//
//   KESTRADA_URL=http://127.0.0.1:PORT/ KESTRADA_NATIVE=path/to/kestrada \
//     [KESTRADA_BROWSER=firefox] node --test
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium, useBrowser, state, slotsPass, press, nativeStateAt } = require('./browser_support.js');
const chromiumOnly = { skip: !chromium && 'chromium only' };

const url = process.env.KESTRADA_URL;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const browser = useBrowser();

// A page past its cover, with every console error and failed request noted.
async function openGame(problems = [], before = null, query = '') {
  const page = await browser.newPage();
  if (before) {
    await page.evaluateOnNewDocument(before);
  }
  // Served without a kestrada-server, the page's look for one finds none.
  const world = (address) => (address || '').includes('/api/');
  page.on('console', (m) => m.type() === 'error' && !world(m.location().url) && problems.push(m.text()));
  page.on('pageerror', (e) => problems.push(e.message));
  page.on('requestfailed', (r) => !world(r.url()) && problems.push(`failed ${r.url()}`));
  page.on('response', (r) => r.status() >= 400 && !world(r.url()) && problems.push(`${r.status()} ${r.url()}`));
  await page.goto(`${url}?seed=7${query}`, { waitUntil: 'networkidle0' });
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  return page;
}

// A click on the canvas at a point of the scene's 590 × 477.
async function clickScene(page, x, y) {
  const box = await (await page.$('#screen')).boundingBox();
  await page.mouse.click(box.x + (x * box.width) / 590, box.y + (y * box.height) / 477);
  await slotsPass(page, 2);
}

// The next test finds the high score and the entry this game leaves.
test('the page loads and plays, its state equals the native replay of its own recording', async () => {
  const problems = [];
  const page = await openGame(problems);
  await page.keyboard.down('ArrowUp');
  await pause(1500);
  // The top-row digits choose a weapon: the replay below must agree.
  await press(page, 'Digit2');
  await press(page, ' ');
  // Off the road to the left: a crash.
  await page.keyboard.down('ArrowLeft');
  await page.waitForFunction(() => window.kestrada.state().GameOver, { timeout: 30000 });
  await page.keyboard.up('ArrowLeft');
  await page.keyboard.up('ArrowUp');
  // The crash entered the hall of fame: a name typed over the prefilled one,
  // Enter keeps it, and the panel's New Game button starts a game.
  await page.waitForFunction(() => window.kestrada.hallOfFame().length > 0);
  for (let i = 0; i < 12; i += 1) {
    await page.keyboard.press('Backspace');
  }
  await page.keyboard.type('Ada');
  await press(page, 'Enter');
  assert.strictEqual((await state(page)).GameOver, true);
  assert.match((await page.evaluate(() => window.kestrada.hallOfFame()))[0], / Ada /);
  await clickScene(page, 232, 449);
  assert.strictEqual((await state(page)).GameOver, false);

  const { last, recording } = await page.evaluate(() => ({
    last: window.kestrada.state(), recording: window.kestrada.recording(),
  }));
  assert.deepStrictEqual(last, nativeStateAt(recording, last.slot));
  assert.deepStrictEqual(problems, []);
  await page.close();
});

test('the high score and the hall of fame survive a reload', async () => {
  const page = await openGame();
  const before = (await state(page)).lblHighScore;
  assert.notStrictEqual(before, '0', 'the first test set a high score');
  await page.reload({ waitUntil: 'networkidle0' });
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  assert.strictEqual((await state(page)).lblHighScore, before);
  // So does the hall of fame, its entry checked against its run.
  await page.keyboard.down('Control');
  await press(page, 'KeyF');
  await page.keyboard.up('Control');
  await page.waitForFunction(
    () => window.kestrada.hallOfFame().some((row) => row.endsWith('  verified')), { timeout: 30000 });
  // The chosen row's run downloads, and replays natively to its score.
  await press(page, 'ArrowDown');
  const score = (await page.evaluate(() => window.kestrada.hallOfFame()[0])).trim().split(/\s+/)[1];
  const text = await page.evaluate(async () => {
    const link = document.getElementById('download-chosen');
    link.click();
    return (await fetch(link.href)).text();
  });
  const lastSlot = Number(text.trim().split('\n').pop().split(' ')[0]);
  const replayed = nativeStateAt(text, lastSlot + 1500);
  assert.strictEqual(replayed.GameOver, true);
  assert.strictEqual(replayed.lblScore, score);
  await page.close();
});

test('the sound runs after the cover and the start jingle reaches the output', chromiumOnly, async () => {
  const page = await openGame([], null, '&watch=sound');
  assert.strictEqual(await page.evaluate(() => window.kestrada.audioState()), 'running');
  assert.strictEqual((await page.evaluate(() => window.kestrada.lastPlay())).player, 'sndStart');
  await page.waitForFunction(() => window.kestrada.lastPlay().heardAt !== null, { timeout: 3000 });
  await page.waitForFunction(() => window.kestrada.peak() > 0.05, { timeout: 3000 });
  await page.close();
});

// Firefox here has no sound device: its sound never starts. Chromium's is
// held back by hand, then let go.
test('sound that cannot start leaves the game to start silent, saying so, and joins later', async () => {
  const holdSound = () => {
    const resume = AudioContext.prototype.resume;
    const waiting = [];
    AudioContext.prototype.resume = function () {
      return new Promise((resolve) => waiting.push(() => resume.call(this).then(resolve)));
    };
    window.letSoundStart = () => waiting.forEach((start) => start());
  };
  const page = await openGame([], chromium ? holdSound : null, '&watch=sound');
  assert.match(await page.$eval('#status', (p) => p.textContent), /^No sound: /);
  await page.keyboard.down('ArrowUp');
  await slotsPass(page, 25);
  assert.ok((await state(page)).Speed > 0);
  if (chromium) {
    await page.evaluate(() => window.letSoundStart());
    await page.waitForFunction(() => document.getElementById('status').textContent === '');
    // The crash is heard.
    await page.keyboard.down('ArrowLeft');
    await page.waitForFunction(() => window.kestrada.state().GameOver, { timeout: 30000 });
    await page.keyboard.up('ArrowLeft');
    assert.strictEqual((await page.evaluate(() => window.kestrada.lastPlay())).player, 'sndCrash');
  } else {
    assert.strictEqual(await page.evaluate(() => window.kestrada.audioState()), 'suspended');
  }
  await page.keyboard.up('ArrowUp');
  await page.close();
});

// How sharp a screenshot of the canvas is: the squared steps between
// neighbouring pixels, per row. A sharp picture at twice the size keeps each
// edge one full step; a stretched one spreads it over two half steps, which
// halves the measure.
async function sharpness(page) {
  const box = await page.$eval('#screen', (c) => {
    const r = c.getBoundingClientRect();
    return { x: r.left, y: r.top, width: r.width, height: r.height };
  });
  const shot = await page.screenshot({ encoding: 'base64', clip: box });
  return page.evaluate(async (png) => {
    const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
    const g = new OffscreenCanvas(image.width, image.height).getContext('2d');
    g.drawImage(image, 0, 0);
    const data = g.getImageData(0, 0, image.width, image.height).data;
    let sum = 0;
    for (let i = 4; i < data.length; i += 1) {
      const step = data[i] - data[i - 4];
      sum += (i / 4) % image.width === 0 ? 0 : step * step;
    }
    return sum / image.height;
  }, shot);
}

test('zoom 2 doubles the canvas and keeps its edges sharp', chromiumOnly, async () => {
  const page = await openGame();
  await press(page, 'Escape');
  const atOne = await sharpness(page);
  await page.evaluate(() => window.kestrada.zoom(2));
  await pause(100);
  const size = await page.$eval('#screen', (c) => [c.clientWidth, c.clientHeight, c.width]);
  assert.deepStrictEqual(size, [1180, 954, 1180]);
  const atTwo = await sharpness(page);
  assert.ok(atTwo > 0.75 * atOne, `sharpness ${atTwo} at zoom 2 against ${atOne} at zoom 1`);
  await page.evaluate(() => window.kestrada.zoom(1));
  await page.close();
});

// Frames in a second of driving whose road differs from the frame before,
// and the frames drawn.
async function changedFramesInASecond(query) {
  const page = await openGame([], null, query);
  await page.keyboard.down('ArrowUp');
  await page.waitForFunction(() => window.kestrada.state().Speed >= 5);
  const changed = await page.evaluate(() => new Promise((resolve) => {
    const canvas = document.getElementById('screen');
    const context = canvas.getContext('2d');
    let last = null;
    let count = 0;
    let frames = 0;
    const until = performance.now() + 1000;
    const sample = () => {
      // The centre line's strip, from top to bottom, as one number.
      const pixels = new Uint32Array(context.getImageData(200, 0, 80, canvas.height).data.buffer);
      let strip = 0;
      for (let i = 0; i < pixels.length; i += 1) {
        strip = (Math.imul(strip, 31) + pixels[i]) | 0;
      }
      count += last !== null && strip !== last ? 1 : 0;
      last = strip;
      frames += 1;
      if (performance.now() < until) {
        requestAnimationFrame(sample);
      } else {
        resolve([count, frames]);
      }
    };
    requestAnimationFrame(sample);
  }));
  await page.keyboard.up('ArrowUp');
  await page.close();
  return changed;
}

test('smooth motion shows more changed frames a second than the plain steps', chromiumOnly, async () => {
  const [smooth] = await changedFramesInASecond('');
  const [steps] = await changedFramesInASecond('&smoothing=0');
  assert.ok(steps <= 26, `${steps} changed frames a second in steps`);
  assert.ok(smooth > steps + 10, `${smooth} changed frames smooth against ${steps} in steps`);
});

test('a run dropped on the game is raced: its ghost drives on its road', chromiumOnly, async () => {
  const page = await openGame();
  await page.evaluate(() => {
    const run = '# kestrada 1.0 seed 9 high "0"\n3 down Up\n40 down Left\n';
    const data = new DataTransfer();
    data.items.add(new File([run], 'run.txt', { type: 'text/plain' }));
    document.getElementById('screen').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true }));
  });
  await page.waitForFunction(() => window.kestrada.ghost() !== null, { timeout: 30000 });
  assert.match(await page.evaluate(() => window.kestrada.recording()), /^# kestrada 1\.0 seed 9 /);
  assert.notStrictEqual(await page.title(), 'Kestrada - replay');
  await page.close();
});

test('a chosen file replays, a bad one shows the line at fault; the run around it downloads whole', chromiumOnly, async () => {
  const page = await openGame();
  await page.keyboard.down('ArrowUp');
  await slotsPass(page, 10);
  await page.keyboard.up('ArrowUp');
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrada-files-'));
  const bad = path.join(folder, 'bad.txt');
  fs.writeFileSync(bad, '1 down Up\n2 sideways Up\n');
  await (await page.$('#replay')).uploadFile(bad);
  await page.waitForFunction(() => document.getElementById('status').textContent !== '');
  assert.match(await page.$eval('#status', (p) => p.textContent), /^input:2: /);
  const good = path.join(folder, 'good.txt');
  fs.writeFileSync(good, '# kestrada 1.0 seed 9\n3 down Up\n');
  await (await page.$('#replay')).uploadFile(good);
  await page.waitForFunction(() => document.title === 'Kestrada - replay');
  await page.waitForFunction(() => window.kestrada.state().slot > 5);
  assert.strictEqual(await page.title(), 'Kestrada - replay');
  assert.strictEqual((await state(page)).UpHeld, 1);
  // Ctrl+X ends the replay: the player's game is back, paused, and plays on.
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyX');
  await page.keyboard.up('Control');
  await page.waitForFunction(() => document.title === 'Kestrada');
  assert.strictEqual((await state(page)).Paused, true);
  await press(page, 'Escape');
  await page.keyboard.down('ArrowUp');
  await slotsPass(page, 10);
  // "Download this run" gives the whole session, which replays natively to
  // the page's state.
  const { last, text } = await page.evaluate(async () => {
    const shown = window.kestrada.state();
    const link = document.getElementById('download');
    link.click();
    return { last: shown, text: await (await fetch(link.href)).text() };
  });
  assert.deepStrictEqual(last, nativeStateAt(text, last.slot));
  fs.rmSync(folder, { recursive: true, force: true });
  await page.close();
});
