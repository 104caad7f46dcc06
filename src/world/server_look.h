// SPDX-License-Identifier: GPL-3.0-or-later
// When a page that has found no world's server on its origin looks again:
// at once, then at the outbox's retry times (2 s, growing to 5 minutes),
// and at once again when the browser says it is back online. A page opened
// offline, or while the server's database was down, finds it later.
#pragma once

namespace kestrada::session {

class ServerLook {
  public:
    // True when a look is due now: it is counted as made.
    bool due(double nowMs);
    // The browser is back online.
    void online();

  private:
    double dueAt_ = 0;
    int looks_ = 0;
};

} // namespace kestrada::session
