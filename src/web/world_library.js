// SPDX-License-Identifier: GPL-3.0-or-later
// The page's line to the world's server (declared in page_world.h): whether
// the page was served by a kestrada-server, and each request of the hall of
// fame carried by fetch, its reply handed whole to the C++ side, which
// reads it as the window does.
mergeInto(LibraryManager.library, {
  page_world_look: function () {
    fetch(`${location.origin}/api/health`, { cache: 'no-store' })
      .then((response) => (response.ok ? response.json() : null))
      .then((health) => {
        if (health && typeof health === 'object') {
          kestradaPage.withText(location.origin, (at) => Module._kestrada_world_server(at));
        }
      })
      .catch(() => {}); // no server here: no world table
    window.addEventListener('online', () => Module._kestrada_world_online());
  },
  page_world_send: function (token, method, url, body, timeoutMs) {
    const reply = (status, retryAfter, answer) => kestradaPage.withText(answer,
      (b) => Module._kestrada_world_reply(token, status, retryAfter, b));
    const request = { method: UTF8ToString(method), cache: 'no-store' };
    if (request.method === 'POST') {
      request.body = UTF8ToString(body);
      request.headers = { 'Content-Type': 'text/plain' };
    }
    // A server that accepts and stays silent counts as no answer.
    const abort = new AbortController();
    request.signal = abort.signal;
    const timer = setTimeout(() => abort.abort(), timeoutMs);
    fetch(UTF8ToString(url), request)
      .then(async (response) => {
        const answer = await response.text();
        clearTimeout(timer);
        const retryAfter = Number(response.headers.get('Retry-After') ?? '-1');
        reply(response.status, Number.isFinite(retryAfter) ? retryAfter : -1, answer);
      })
      .catch(() => {
        clearTimeout(timer);
        reply(0, -1, '');
      });
  },
});
