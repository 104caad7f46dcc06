// SPDX-License-Identifier: GPL-3.0-or-later
// What the page's browser tests share: a headless browser for each test
// file (chromium, or firefox-esr over WebDriver BiDi when KESTRADA_BROWSER
// is firefox), the page's state and its slots, and the native headless
// program's state at a slot of the page's recording, which the page's must
// equal.
'use strict';
const test = require('node:test');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const puppeteer = require('puppeteer-core');

const engine = process.env.KESTRADA_BROWSER || 'chromium';
const chromium = engine === 'chromium';

function launchOptions(profile) {
  if (chromium) {
    return {
      executablePath: '/usr/bin/chromium', headless: 'new', userDataDir: profile,
      args: ['--no-sandbox', '--autoplay-policy=user-gesture-required'],
    };
  }
  return { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, userDataDir: profile };
}

// Launched before the file's tests, closed after them, with a profile of
// its own.
function useBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `kestrada-${engine}-`));
  let browser;
  test.before(async () => {
    browser = await puppeteer.launch(launchOptions(profile));
  });
  test.after(async () => {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  });
  return { newPage: () => browser.newPage() };
}

const state = (page) => page.evaluate(() => window.kestrada.state());

// Waits until this many more slots have run.
async function slotsPass(page, count) {
  const from = (await state(page)).slot;
  await page.waitForFunction((s) => window.kestrada.state().slot >= s, {}, from + count);
}

async function press(page, key, slots = 2) {
  await page.keyboard.press(key);
  await slotsPass(page, slots);
}

function nativeStateAt(recording, slot) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrada-replay-'));
  fs.writeFileSync(path.join(folder, 'run.txt'), recording);
  execFileSync(process.env.KESTRADA_NATIVE, ['--headless', '--input', path.join(folder, 'run.txt'),
    '--slots', String(slot), '--data-dir', folder, '--trace', path.join(folder, 'trace')]);
  const records = fs.readFileSync(path.join(folder, 'trace'), 'utf8').trim().split('\n');
  fs.rmSync(folder, { recursive: true, force: true });
  return JSON.parse(records[records.length - 1]);
}

module.exports = { engine, chromium, useBrowser, state, slotsPass, press, nativeStateAt };
