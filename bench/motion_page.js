// SPDX-License-Identifier: GPL-3.0-or-later
// The page's canvas as a player sees it: drives onto the road up to top
// speed, then samples the canvas at every animation frame for SECONDS and
// prints one JSON line a frame for bench/motion_frames.py: the frame's
// time, and a hash and the row sums of the band of the median's edge and
// the centre line.
//   KESTRADA_URL=... node bench/motion_page.js QUERY SECONDS
'use strict';
const puppeteer = require('../tests/web/node_modules/puppeteer-core');
const { driveUpTo } = require('./drive_up.js');

const [query = '', seconds = '3'] = process.argv.slice(2);

(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new', args: ['--no-sandbox'],
  });
  const page = await browser.newPage();
  await page.goto(`${process.env.KESTRADA_URL}?seed=7${query}`, { waitUntil: 'networkidle0' });
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  await driveUpTo(page, 25);
  const samples = await page.evaluate((ms) => new Promise((resolve) => {
    const canvas = document.getElementById('screen');
    const context = canvas.getContext('2d');
    const out = [];
    const until = performance.now() + ms;
    const sample = (now) => {
      // Only that band: reading the whole canvas back each frame would
      // slow the frames it measures.
      const pixels = context.getImageData(200, 0, 46, canvas.height).data;
      let hash = 0;
      const rows = new Array(canvas.height).fill(0);
      for (let i = 0; i < pixels.length; i += 4) {
        const gray = (pixels[i] + pixels[i + 1] + pixels[i + 2]) / 3 | 0;
        hash = (Math.imul(hash, 31) + gray) | 0;
        rows[Math.floor(i / 4 / 46)] += gray;
      }
      out.push(JSON.stringify({ hash, rows, at: now }));
      if (performance.now() < until) {
        requestAnimationFrame(sample);
      } else {
        resolve(out);
      }
    };
    requestAnimationFrame(sample);
  }), Number(seconds) * 1000);
  const over = await page.evaluate(() => window.kestrada.state().GameOver);
  console.log(samples.join('\n'));
  if (over) {
    console.error('motion_page.js: the car crashed while sampling');
  }
  await browser.close();
})();
