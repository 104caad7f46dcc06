// SPDX-License-Identifier: GPL-3.0-or-later
// What the page benches drive before they measure: onto the road and up to
// a speed, the accelerator still held.
'use strict';

async function driveUpTo(page, speed) {
  await page.keyboard.down('ArrowUp');
  await page.waitForFunction(() => window.kestrada.state().Speed >= 5);
  // Off the verge and its rumble strip: left until the car speeds up.
  await page.keyboard.down('ArrowLeft');
  await page.waitForFunction(() => window.kestrada.state().Speed >= 8);
  await page.keyboard.up('ArrowLeft');
  await page.waitForFunction((s) => window.kestrada.state().Speed >= s, { timeout: 20000 }, speed);
}

module.exports = { driveUpTo };
