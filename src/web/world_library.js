// SPDX-License-Identifier: GPL-3.0-or-later
// The page's line to the world's server (declared in page_world.h): whether
// the page was served by a kestrada-server, and each request of the hall of
// fame carried by fetch, its JSON reply flattened for the C++ side into
// "key<TAB>value" lines, each entry of a table opened by a "-" line.
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
    const line = (key, value) => `${key}\t${String(value ?? '').replace(/[\t\r\n]/g, ' ')}\n`;
    const scalars = (object) => Object.entries(object || {})
      .filter(([, value]) => value === null || typeof value !== 'object')
      .map(([key, value]) => line(key, value)).join('');
    const flat = (json) => {
      if (!json || typeof json !== 'object' || Array.isArray(json)) {
        return '';
      }
      const entries = Array.isArray(json.entries) ? json.entries : [];
      return scalars(json) + entries.map((entry) => `-\n${scalars(entry)}`).join('');
    };
    const withText = kestradaPage.withText;
    const reply = (status, retryAfter, fields, text) => withText(fields, (f) => withText(text,
      (t) => Module._kestrada_world_reply(token, status, retryAfter, f, t)));
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
        const text = await response.text();
        clearTimeout(timer);
        let json = null;
        try {
          json = JSON.parse(text);
        } catch (error) {
          json = null; // a recording, or a proxy's page
        }
        const retryAfter = Number(response.headers.get('Retry-After') ?? '-1');
        reply(response.status, Number.isFinite(retryAfter) ? retryAfter : -1, flat(json),
          json === null ? text : '');
      })
      .catch(() => {
        clearTimeout(timer);
        reply(0, -1, '', '');
      });
  },
});
