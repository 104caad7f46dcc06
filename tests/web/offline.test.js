// SPDX-License-Identifier: GPL-3.0-or-later
// The site as an installed app, in headless chromium. offline_test.sh
// serves whichever folder of KESTRADA_SITES the link "served" points at:
// a build, named by its hash, or "none".
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const sites = process.env.KESTRADA_SITES;
const [first, second] = process.env.KESTRADA_BUILDS.split(' ');
const problems = [];
let browser;
let page;
let session;

function serve(folder) {
  fs.rmSync(path.join(sites, 'served'));
  fs.symlinkSync(path.join(sites, folder), path.join(sites, 'served'));
}

// The files whose names carry the build: its scripts, style and wasm.
const stamped = (build) => fs.readdirSync(path.join(sites, build)).filter((name) => name.includes(build)).sort();

// A reload up to the cover; the stamped files it loaded.
async function reload() {
  await page.reload({ waitUntil: 'networkidle0' });
  await page.waitForFunction(() => window.kestrada.readyAt() !== null);
  const urls = await page.evaluate(() => performance.getEntriesByType('resource').map((entry) => entry.name));
  return urls.map((url) => path.basename(url)).filter((name) => /-[0-9a-f]{16}\./.test(name)).sort();
}

async function play() {
  await page.click('#cover');
  await page.waitForFunction(() => window.kestrada.state().slot > 25);
}

// Until the worker of BUILD is the one in charge, with CACHES caches kept.
const settled = (build, caches) => page.waitForFunction(async (name, kept) => {
  const registration = await navigator.serviceWorker.getRegistration();
  const names = await window.caches.keys();
  return registration?.active?.state === 'activated' && !registration.installing && names.includes(name) && names.length === kept;
}, { polling: 100 }, `kestrada-${build}`, caches);

test.before(async () => {
  browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: 'new', args: ['--no-sandbox'] });
  page = await browser.newPage();
  page.on('pageerror', (error) => problems.push(error.message));
  // Served without a kestrada-server, the page's look for one finds none.
  const world = (request) => request.url().includes('/api/');
  page.on('requestfailed', (request) => !world(request) && problems.push(`failed ${request.url()}`));
  page.on('response', (response) => response.status() >= 400 && !world(response) && problems.push(`${response.status()} ${response.url()}`));
  await page.goto(process.env.KESTRADA_URL, { waitUntil: 'networkidle0' });
  await settled(first, 1);
  session = await page.target().createCDPSession();
});
test.after(() => browser.close());

test('chromium finds the page installable', async () => {
  assert.deepStrictEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);
});

test('after one visit the game loads and plays with the network gone', async () => {
  serve('none');
  await page.setOfflineMode(true);
  // Only the worker's cache is left: not the browser's own.
  await session.send('Network.clearBrowserCache');
  assert.deepStrictEqual(await reload(), stamped(first));
  await play();
  await page.setOfflineMode(false);
  assert.deepStrictEqual(problems, []);
});

test('an update takes over whole at the next load, and the old build\'s cache goes', async () => {
  serve(second);
  assert.deepStrictEqual(await reload(), stamped(first));
  await settled(second, 2);
  serve('none');
  assert.deepStrictEqual(await reload(), stamped(second));
  await play();
  await settled(second, 1);
  assert.deepStrictEqual(problems, []);
});
