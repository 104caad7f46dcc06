// SPDX-License-Identifier: GPL-3.0-or-later
// From a key press to the first frame that shows it, on the page: the car
// stands, Up is pressed, and the time runs from the key event to the first
// animation frame whose road differs from the standing one. Ten presses,
// braking to a stop between them; prints median and worst in ms.
//   KESTRADA_URL=... node bench/motion_latency.js QUERY
'use strict';
const puppeteer = require('../tests/web/node_modules/puppeteer-core');

const [query = ''] = process.argv.slice(2);
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new', args: ['--no-sandbox'],
  });
  const page = await browser.newPage();
  await page.goto(`${process.env.KESTRADA_URL}?seed=7${query}`, { waitUntil: 'networkidle0' });
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  // Watches every frame from the next key press on; resolves with the delay.
  await page.evaluate(() => {
    const context = document.getElementById('screen').getContext('2d');
    const band = () => context.getImageData(200, 0, 46, 477).data.join(',');
    window.nextShown = () => new Promise((resolve) => {
      const still = band();
      let pressedAt = null;
      window.addEventListener('keydown', (e) => { pressedAt = e.timeStamp; }, { once: true });
      const look = (now) => {
        if (pressedAt !== null && band() !== still) {
          resolve(now - pressedAt);
        } else {
          requestAnimationFrame(look);
        }
      };
      requestAnimationFrame(look);
    });
  });
  const delays = [];
  for (let i = 0; i < 10; i += 1) {
    await pause(300);
    const shown = page.evaluate(() => window.nextShown());
    await pause(50);
    await page.keyboard.down('ArrowUp');
    delays.push(await shown);
    await page.keyboard.up('ArrowUp');
    await page.keyboard.down('ArrowDown');
    await page.waitForFunction(() => window.kestrada.state().Speed === 0);
    await page.keyboard.up('ArrowDown');
  }
  delays.sort((a, b) => a - b);
  const median = (delays[4] + delays[5]) / 2;
  console.log(`median_ms=${median.toFixed(1)} worst_ms=${delays[9].toFixed(1)}`);
  await browser.close();
})();
