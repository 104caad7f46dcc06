// SPDX-License-Identifier: GPL-3.0-or-later
// The page on a slow phone: headless chromium at 390×844, three device
// pixels a CSS pixel, touch, its CPU slowed by CDP's throttling at each rate
// asked for. Drives up to speed, then counts for SECONDS the frames drawn,
// the frames that showed something new (motion updates), the game's ticks,
// and the drawing time per frame, from the page's test hook. One table row
// per rate, headed by the machine's load average before and after; with
// --ghost, a second row a rate racing a run recorded on the same road first
// (driven as the bench drives, then off the road), its ghost drawn too, and
// both rows on another road (seed 11 for 7).
//   KESTRADA_URL=... node bench/phone_bench.js SECONDS [--ghost] RATE...
'use strict';
const os = require('node:os');
const puppeteer = require('../tests/web/node_modules/puppeteer-core');
const { driveUpTo } = require('./drive_up.js');

const [seconds = '5', ...asked] = process.argv.slice(2);
const withGhost = asked.includes('--ghost');
const rates = asked.filter((a) => a !== '--ghost');
// With a ghost, a road on which the bench's straight drive lasts past the
// measure (about 12 s), so that the ghost stays beside the player.
const seed = withGhost ? 11 : 7;
const load = () => os.loadavg()[0].toFixed(2);

async function openPhone(browser) {
  const page = await browser.newPage();
  await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
  await page.goto(`${process.env.KESTRADA_URL}?seed=${seed}`, { waitUntil: 'networkidle0' });
  await page.touchscreen.tap(195, 100);
  await page.waitForFunction(() => window.kestrada.firstFrameAt() !== null);
  return page;
}

// A run to race: the bench's drive, held for longer than a measure takes,
// then off the road's left edge so that it ends.
async function recordRun(browser) {
  const page = await openPhone(browser);
  await driveUpTo(page, 20);
  await new Promise((resolve) => setTimeout(resolve, (Number(seconds) + 4) * 1000));
  await page.keyboard.down('ArrowLeft');
  await page.waitForFunction(() => window.kestrada.state().GameOver, { timeout: 30000 });
  const run = await page.evaluate(() => window.kestrada.recording());
  await page.close();
  return run;
}

async function measure(browser, rate, run) {
  const page = await openPhone(browser);
  if (run) {
    await page.evaluate((text) => raceText(text), run);
    await page.waitForFunction(() => window.kestrada.ghost() !== null);
  }
  await driveUpTo(page, 20);
  const cdp = await page.target().createCDPSession();
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  await new Promise((resolve) => setTimeout(resolve, 1000));
  const before = load();
  const sample = () => page.evaluate(() => ({
    at: performance.now(), frames: window.kestrada.frames(), state: window.kestrada.state(),
    ghost: window.kestrada.ghost(),
  }));
  const from = await sample();
  await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
  const to = await sample();
  const s = (to.at - from.at) / 1000;
  const drawing = to.frames.drawingMs;
  const row = {
    rate,
    frames: (to.frames.drawn - from.frames.drawn) / s,
    updates: (to.frames.changed - from.frames.changed) / s,
    ticks: (to.state.TickCount - from.state.TickCount) / s,
    drawMs: drawing.reduce((a, b) => a + b, 0) / drawing.length,
    crashed: to.state.GameOver,
    ghost: run ? `${to.ghost.gap} px` : 'none',
  };
  await page.close();
  return { ...row, load: `${before} / ${load()}` };
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new', args: ['--no-sandbox'],
  });
  const run = withGhost ? await recordRun(browser) : null;
  console.log('| CPU slow-down | ghost (its lead at the end) | frames a second | motion updates a second | ticks a second | drawing a frame | load average before / after |');
  console.log('|---|---|---|---|---|---|---|');
  for (const rate of rates.map(Number)) {
    for (const raced of run ? [null, run] : [null]) {
      const r = await measure(browser, rate, raced);
      const crash = r.crashed ? ' (crashed)' : '';
      console.log(`| ${r.rate}× | ${r.ghost} | ${r.frames.toFixed(1)} | ${r.updates.toFixed(1)} | ${r.ticks.toFixed(1)}${crash} | ${r.drawMs.toFixed(2)} ms | ${r.load} |`);
    }
  }
  await browser.close();
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
