// SPDX-License-Identifier: GPL-3.0-or-later
// One session through the page in headless chromium, on a clock stepped by
// hand: the steps of same_session.txt, which the window plays too. Leaves
// the run the page's "Download this run" gives and a line for each look in
// OUT_DIR (page-recording.txt, page-looks.txt).
//
//   KESTRADA_URL=http://127.0.0.1:PORT/ node same_session.js SCRIPT OUT_DIR
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const [scriptFile, out] = process.argv.slice(2);
const keys = { Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight',
  Space: 'Space', Enter: 'Enter', Escape: 'Escape' };

// A standard-layout controller the script presses, in place of the browser's.
function holdPad() {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
  window.testPad = { id: 'test pad', index: 0, connected: true, mapping: 'standard',
    timestamp: 0, axes: [0, 0, 0, 0], buttons };
  navigator.getGamepads = () => [window.testPad];
}

async function step(page, words, looks) {
  const [verb, what, count] = words;
  if (verb === 'slots') {
    await page.evaluate((n) => window.kestrada.step(n), Number(what));
  } else if (verb === 'down') {
    await page.keyboard.down(keys[what]);
  } else if (verb === 'up') {
    await page.keyboard.up(keys[what]);
  } else if (verb === 'repeat') {
    for (let i = 0; i < Number(count); i += 1) {
      await page.keyboard.down(keys[what]); // held already: a repeat
    }
  } else if (verb === 'type') {
    await page.keyboard.type(words.slice(1).join(' '));
  } else if (verb === 'menu') {
    await page.$eval(`#menubar .item[data-name="${what}"]`, (item) => item.click());
  } else if (verb === 'ctrl') {
    await page.keyboard.down('Control');
    await page.keyboard.press(`Key${what}`);
    await page.keyboard.up('Control');
  } else if (verb === 'close') {
    await page.click('#dialog-ok');
  } else if (verb === 'pad') {
    await page.evaluate((down) => {
      window.testPad.buttons[0] = { pressed: down, value: down ? 1 : 0 };
      window.testPad.timestamp += 1;
    }, what === 'down');
  } else if (verb === 'leave' || verb === 'back') {
    await page.evaluate((e) => window.dispatchEvent(new Event(e)), verb === 'leave' ? 'blur' : 'focus');
  } else if (verb === 'look') {
    looks.push(await page.evaluate(() => {
      window.kestrada.step(0); // the title as it stands
      const s = window.kestrada.state();
      const rows = window.kestrada.hallOfFame();
      return `${document.title} | over=${Number(s.GameOver)} paused=${Number(s.Paused)} `
        + `panel=${window.kestrada.hallOfFameShown() ? rows.length : '-'} `
        + `dialog=${Number(document.getElementById('dialog').open)}`;
    }));
  }
}

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrada-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new', userDataDir: profile,
    args: ['--no-sandbox'],
  });
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(holdPad);
    // The same best the window starts from, in the page's storage.
    await page.goto(`${process.env.KESTRADA_URL}?seed=20&clock=stepped`, { waitUntil: 'networkidle0' });
    await page.evaluate(() => new Promise((done) => {
      FS.writeFile('/data/Kestrada.txt', '"3043"\r\n');
      FS.syncfs(false, done);
    }));
    await page.reload({ waitUntil: 'networkidle0' });
    await page.click('#cover');
    await page.waitForFunction(() => window.kestrada.state().slot !== undefined);
    const looks = [];
    for (const line of fs.readFileSync(scriptFile, 'utf8').split('\n')) {
      if (line !== '' && !line.startsWith('#')) {
        await step(page, line.split(' '), looks);
      }
    }
    const recording = await page.evaluate(async () => {
      const link = document.getElementById('download');
      link.click();
      return (await fetch(link.href)).text();
    });
    fs.writeFileSync(path.join(out, 'page-recording.txt'), recording);
    fs.writeFileSync(path.join(out, 'page-looks.txt'), `${looks.join('\n')}\n`);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
