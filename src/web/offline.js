// SPDX-License-Identifier: GPL-3.0-or-later
// Hands the site to its service worker (service-worker.js), which keeps it
// for play without the network. Where there is none (an old browser, a page
// not served over https or from this machine) the game plays as before.
'use strict';

async function keepForOffline() {
  try {
    const registration = await navigator.serviceWorker.register('service-worker.js');
    // Asked at every load, a new build is found at once rather than when the
    // browser gets round to it; it is kept beside this page and takes over
    // at the next load. Without the network, the kept build plays on.
    if (registration.active) {
      await registration.update().catch(() => {});
    }
  } catch (error) {
    console.warn(`Kestrada cannot be kept for play offline: ${error.message}`);
  }
}

if ('serviceWorker' in navigator) {
  // After the page's own downloads, which the first start waits for.
  window.addEventListener('load', keepForOffline);
}
