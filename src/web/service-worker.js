// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the whole site of one build in a cache of its own, so that after
// one visit the game loads and plays without the network. The build fills
// in its hash and its files (cmake/stamp_site.cmake), so each build is a
// new worker: the browser installs it beside the running page, and it takes
// over at the next load. The older builds' caches go at the first load the
// newest worker answers: until then a page of an older build that is still
// loading finds its own files.
'use strict';

const kBuild = '@KESTRADA_BUILD@';
const kCache = `kestrada-${kBuild}`;
const kFiles = [
  @KESTRADA_FILES@,
];

// The network's own answers, headers and all, fetched past the browser's
// HTTP cache, which may still hold another build's files under these names.
async function keepSite() {
  const cache = await caches.open(kCache);
  await cache.addAll(kFiles.map((file) => new Request(file, { cache: 'reload' })));
  const page = await (await cache.match('index.html')).text();
  if (!page.includes(kBuild)) {
    await caches.delete(kCache);
    throw new Error(`the server's page is not that of build ${kBuild}`);
  }
}

self.addEventListener('install', (event) => {
  event.waitUntil(keepSite().then(() => self.skipWaiting()));
});

async function dropOlderBuilds() {
  const registration = self.registration;
  if (registration.installing || registration.waiting) {
    return; // a newer build is on its way, and its cache with it
  }
  for (const name of await caches.keys()) {
    if (name.startsWith('kestrada-') && name !== kCache) {
      await caches.delete(name);
    }
  }
}

// This build's file, else an older build's for its page still loading, else
// the network's. Every page of the site is the one index.html.
async function answer(request) {
  const own = await caches.open(kCache);
  const key = request.mode === 'navigate' ? 'index.html' : request;
  return (await own.match(key)) || (await caches.match(request)) || fetch(request);
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  // The world's tables and runs are the server's to answer, never a copy.
  if (request.method !== 'GET' || url.origin !== location.origin || url.pathname.startsWith('/api/')) {
    return;
  }
  event.respondWith(answer(request));
  if (request.mode === 'navigate') {
    event.waitUntil(dropOlderBuilds());
  }
});
