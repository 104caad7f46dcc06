// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the page in headless chromium and prints a table (run by
// bench/web_bench.sh, which serves the site):
//   - page load to first frame, the cover clicked as soon as it is ready,
//     and the bytes transferred (median of REPS loads, empty cache);
//   - frame intervals and the time drawing a frame over SECONDS of play;
//   - from a play call to its sound at the graph's output: the context's
//     base and output latency, and the delay until the analyser sees the
//     start jingle (median of REPS).
//   KESTRADA_URL=... node bench/web_bench.js
'use strict';
const puppeteer = require('../tests/web/node_modules/puppeteer-core');

const url = process.env.KESTRADA_URL;
const reps = Number(process.env.KESTRADA_BENCH_REPS || 5);
const seconds = Number(process.env.KESTRADA_BENCH_SECONDS || 60);
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const ms = (v) => `${v.toFixed(1)} ms`;

async function load(browser) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  await page.goto(`${url}?seed=11&watch=sound`);
  await page.waitForFunction(() => window.kestrada && window.kestrada.readyAt() !== null);
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  const at = await page.evaluate(() => ({
    ready: window.kestrada.readyAt(), frame: window.kestrada.firstFrameAt(),
    play: window.kestrada.lastPlay().at, latency: window.kestrada.latency(),
  }));
  // Every file the page fetched, the page itself included.
  const bytes = await page.evaluate(() => performance.getEntries()
    .filter((e) => e.transferSize !== undefined)
    .reduce((sum, e) => sum + e.transferSize, 0));
  await page.waitForFunction(() => window.kestrada.lastPlay().heardAt !== null, { timeout: 5000 });
  const heard = await page.evaluate(() => window.kestrada.lastPlay().heardAt);
  await page.close();
  return { ...at, heard, bytes };
}

async function play(browser) {
  const page = await browser.newPage();
  await page.goto(`${url}?seed=12`, { waitUntil: 'networkidle0' });
  await page.click('#cover');
  // Frame intervals from the page's own clock, and the drawing of each frame.
  await page.evaluate(() => {
    window.intervals = [];
    let last = null;
    const step = (now) => {
      if (last !== null) window.intervals.push(now - last);
      last = now;
      requestAnimationFrame(step);
    };
    requestAnimationFrame(step);
  });
  await page.keyboard.down('ArrowUp');
  const end = Date.now() + seconds * 1000;
  for (let turn = 0; Date.now() < end; ++turn) {
    const key = turn % 2 ? 'ArrowLeft' : 'ArrowRight';
    await page.keyboard.down(key);
    await new Promise((r) => setTimeout(r, 150));
    await page.keyboard.up(key);
    await page.keyboard.press(turn % 5 ? 'Space' : 'Enter');
    await new Promise((r) => setTimeout(r, 350));
  }
  const intervals = await page.evaluate(() => window.intervals);
  await page.close();
  return intervals;
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new',
    args: ['--no-sandbox', '--autoplay-policy=user-gesture-required'],
  });
  const loads = [];
  for (let i = 0; i < reps; ++i) {
    loads.push(await load(browser));
  }
  const intervals = await play(browser);
  await browser.close();
  const mean = intervals.reduce((a, b) => a + b, 0) / intervals.length;
  console.log('| Measure (headless chromium) | Value |');
  console.log('|---|---|');
  console.log(`| page load to cover ready (median of ${reps}) | ${ms(median(loads.map((l) => l.ready)))} |`);
  console.log(`| page load to first frame, cover clicked at once | ${ms(median(loads.map((l) => l.frame)))} |`);
  console.log(`| bytes transferred | ${median(loads.map((l) => l.bytes))} |`);
  console.log(`| frame interval over ${seconds} s of play: mean / worst (${intervals.length} frames) | ${ms(mean)} / ${ms(Math.max(...intervals))} |`);
  console.log(`| AudioContext base + output latency | ${ms(1000 * median(loads.map((l) => l.latency)))} |`);
  console.log(`| play call to the jingle at the analyser | ${ms(median(loads.map((l) => l.heard - l.play)))} |`);
})();
