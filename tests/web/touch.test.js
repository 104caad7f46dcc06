// SPDX-License-Identifier: GPL-3.0-or-later
// The page on a phone: the touch controls, several fingers at once, and a
// layout that fits landscape and portrait. Run as page.test.js is.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { useBrowser, state, slotsPass, nativeStateAt } = require('./browser_support.js');

const url = process.env.KESTRADA_URL;
const browser = useBrowser();
const phone = (width, height) => ({
  width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2, isLandscape: width > height,
});

// The centre of each control shown, by its key, after checking that the
// controls are thumb-sized, on the screen and off the play area, and that
// the play area fits and is drawn one canvas pixel to each device pixel.
async function controls(page, width, height) {
  const { at, s, backing } = await page.evaluate(() => {
    const shown = [...document.querySelectorAll('[data-key]')].filter((c) => c.offsetParent);
    const canvas = document.getElementById('screen');
    const boxes = shown.map((c) => [c.dataset.key, c.getBoundingClientRect().toJSON()]);
    return { at: Object.fromEntries(boxes), s: canvas.getBoundingClientRect().toJSON(), backing: canvas.width };
  });
  assert.ok(s.x >= 0 && s.y >= 0 && s.right <= width && s.bottom <= height && backing === Math.floor(s.width * 2));
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

test('no touch controls on a desktop without touch', async () => {
  const page = await browser.newPage();
  await page.goto(`${url}?seed=11`, { waitUntil: 'networkidle0' });
  assert.strictEqual(await page.$$eval('[data-key]', (all) => all.filter((c) => c.offsetParent).length), 0);
  await page.close();
});
