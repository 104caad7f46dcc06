// SPDX-License-Identifier: GPL-3.0-or-later
// The page on a phone: the touch controls, several fingers at once, a
// layout that gives the road the whole screen in landscape and portrait,
// the menus and the name by touch. Run as page.test.js is, in chromium.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { useBrowser, state, slotsPass, nativeStateAt } = require('./browser_support.js');

const url = process.env.KESTRADA_URL;
const browser = useBrowser();
const phone = (width, height, ratio = 2) => ({
  width, height, isMobile: true, hasTouch: true, deviceScaleFactor: ratio, isLandscape: width > height,
});

// The centre of each control shown, by its key, after checking that the
// controls are thumb-sized, on the screen and off the play area, and that
// the play area fits and is drawn one canvas pixel to each device pixel.
async function controls(page, width, height, ratio = 2) {
  const { at, s, backing } = await page.evaluate(() => {
    const shown = [...document.querySelectorAll('.touch-pad button')].filter((c) => c.offsetParent);
    const canvas = document.getElementById('screen');
    const boxes = shown.map((c) => [c.dataset.key || c.id, c.getBoundingClientRect().toJSON()]);
    return { at: Object.fromEntries(boxes), s: canvas.getBoundingClientRect().toJSON(), backing: canvas.width };
  });
  assert.ok(s.x >= 0 && s.y >= 0 && s.right <= width && s.bottom <= height && backing === Math.round(s.width * ratio));
  for (const [key, c] of Object.entries(at)) {
    assert.ok(c.width >= 48 && c.height >= 48 && c.right <= width && c.bottom <= height, key);
    assert.ok(c.x >= s.right || c.right <= s.x || c.y >= s.bottom || c.bottom <= s.y, key);
    at[key] = { x: c.x + c.width / 2, y: c.y + c.height / 2 };
  }
  return at;
}

test('a touch game: fingers steer, accelerate and fire; a turn pauses; a crash, New Game; the native replay agrees', async () => {
  const page = await browser.newPage();
  await page.setViewport(phone(844, 390));
  await page.goto(`${url}?seed=11`, { waitUntil: 'networkidle0' });
  await page.waitForFunction(() => document.getElementById('cover').textContent === 'Tap to play');
  await page.touchscreen.tap(400, 200);
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  const cdp = await page.target().createCDPSession();
  let at = await controls(page, 844, 390);
  // Every finger still down, by number, at the centre of its control.
  const fingers = (type, points) => cdp.send('Input.dispatchTouchEvent', {
    type, touchPoints: points.map(([id, key]) => ({ id, x: at[key].x, y: at[key].y })),
  });
  const held = async () => {
    const now = await state(page);
    return [now.UpHeld, now.LeftHeld, now.MissileInFlight];
  };

  // Beside the play area in landscape, under it in portrait; turning the
  // screen pauses the game, and the pause control resumes it.
  await page.setViewport(phone(390, 844));
  await page.waitForFunction(() => window.kestrada.state().Paused);
  at = await controls(page, 390, 844);
  await fingers('touchStart', [[1, 'Escape']]);
  await fingers('touchEnd', []);
  // One finger holds Up, the other slides from steering to fire and back.
  await fingers('touchStart', [[1, 'ArrowUp'], [2, 'ArrowLeft']]);
  await slotsPass(page, 2);
  assert.deepStrictEqual(await held(), [1, 1, 0]);
  await fingers('touchMove', [[1, 'ArrowUp'], [2, 'Space']]);
  await slotsPass(page, 1);
  assert.deepStrictEqual(await held(), [1, 0, 1]);
  // Back to steering, off the road: a crash.
  await fingers('touchMove', [[1, 'ArrowUp'], [2, 'ArrowLeft']]);
  await page.waitForFunction(() => window.kestrada.state().GameOver, { timeout: 30000 });
  await fingers('touchEnd', []);
  at = await controls(page, 390, 844);
  await fingers('touchStart', [[3, 'Enter']]);
  await fingers('touchEnd', []);
  await slotsPass(page, 2);
  const { last, recording, scrolled } = await page.evaluate(() => ({
    last: window.kestrada.state(), recording: window.kestrada.recording(),
    scrolled: window.scrollX + window.scrollY + document.scrollingElement.scrollTop,
  }));
  assert.deepStrictEqual([last.GameOver, scrolled], [false, 0]);
  assert.deepStrictEqual(last, nativeStateAt(recording, last.slot));
  await page.close();
});

async function startOnPhone(width, height, before = null) {
  const page = await browser.newPage();
  if (before) {
    await page.evaluateOnNewDocument(before);
  }
  await page.setViewport(phone(width, height, 3));
  await page.goto(`${url}?seed=11`, { waitUntil: 'networkidle0' });
  await page.touchscreen.tap(width / 2, 100);
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  return page;
}
const tapAt = async (page, box) => page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);

// Landscape: the road the whole height, the controls on both sides;
// portrait: the whole width, the controls right under it and down to the
// bottom, no band of nothing more than a tenth of the screen. Nothing
// scrolls, and every menu command is a tap away in the menu's sheet.
test('the road fills a phone in both orientations, and every menu command is reachable by touch', async () => {
  for (const [width, height] of [[844, 390], [390, 844]]) {
    const page = await startOnPhone(width, height);
    const at = await controls(page, width, height, 3);
    const { s, scroll, pads } = await page.evaluate(() => {
      const boxes = [...document.querySelectorAll('.touch-pad button')].filter((c) => c.offsetParent)
        .map((c) => c.getBoundingClientRect());
      return {
        s: document.getElementById('screen').getBoundingClientRect().toJSON(),
        scroll: [document.scrollingElement.scrollWidth, document.scrollingElement.scrollHeight],
        pads: [Math.min(...boxes.map((b) => b.top)), Math.max(...boxes.map((b) => b.bottom))],
      };
    });
    assert.deepStrictEqual(scroll, [width, height]);
    if (width > height) {
      assert.ok(s.height >= 0.9 * height, `the play area ${s.height} of ${height} high`);
    } else {
      assert.ok(s.width >= 0.95 * width, `the play area ${s.width} of ${width} wide`);
      assert.ok(pads[0] - s.bottom <= 0.1 * height && height - pads[1] <= 0.1 * height, `bands ${pads}`);
    }
    await page.touchscreen.tap(at['menu-button'].x, at['menu-button'].y);
    // Each item seen whole under a finger, the sheet swiped up between looks.
    const seen = new Set();
    for (let look = 0; look < 6; look += 1) {
      const shown = await page.evaluate(() => [...document.querySelectorAll('#menubar .menu:not([hidden]) .item')]
        .filter((item) => {
          const r = item.getBoundingClientRect();
          const under = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
          return r.height >= 40 && r.top >= 0 && r.bottom <= innerHeight && item.contains(under);
        }).map((item) => item.textContent));
      shown.forEach((text) => seen.add(text));
      const sheet = await (await page.$('#menubar')).boundingBox();
      await page.touchscreen.touchStart(sheet.x + 100, sheet.y + sheet.height - 20);
      await page.touchscreen.touchMove(sheet.x + 100, sheet.y + sheet.height - 220);
      await page.touchscreen.touchEnd();
    }
    const items = await page.$$eval('#menubar .menu:not([hidden]) .item', (all) => all.map((item) => item.textContent));
    assert.deepStrictEqual(items.filter((text) => !seen.has(text)), []);
    const help = await page.evaluateHandle(() => [...document.querySelectorAll('#menubar .item')]
      .find((item) => item.textContent.includes('How to Play')));
    await tapAt(page, await help.boundingBox());
    await page.waitForSelector('#dialog[open]');
    assert.strictEqual(await page.evaluate(() => document.body.classList.contains('menu-open')), false);
    await page.close();
  }
});

// The name field on a phone is a real input: the phone's keyboard types
// into it, Done keeps it. A crash shakes the phone.
test('a crash vibrates, and a name typed on the phone keyboard reaches the table', async () => {
  const page = await startOnPhone(390, 844, () => {
    window.vibrations = [];
    navigator.vibrate = (ms) => window.vibrations.push(ms) > 0;
  });
  await page.keyboard.down('ArrowUp');
  await page.keyboard.down('ArrowLeft');
  await page.waitForFunction(() => window.kestrada.state().GameOver, { timeout: 30000 });
  await page.keyboard.up('ArrowLeft');
  await page.keyboard.up('ArrowUp');
  assert.deepStrictEqual(await page.evaluate(() => window.vibrations), [200]);
  const input = await page.waitForSelector('#name-input:not([hidden])');
  await tapAt(page, await input.boundingBox());
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'name-input');
  await page.evaluate(() => document.getElementById('name-input').select());
  await page.keyboard.type('Zoë');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.kestrada.hallOfFame().some((row) => / Zoë .*  verified$/.test(row)),
    { timeout: 30000 });
  assert.strictEqual((await state(page)).GameOver, true);
  await page.close();
});

test('no touch controls on a desktop without touch', async () => {
  const page = await browser.newPage();
  await page.goto(`${url}?seed=11`, { waitUntil: 'networkidle0' });
  assert.strictEqual(await page.$$eval('[data-key]', (all) => all.filter((c) => c.offsetParent).length), 0);
  await page.close();
});
