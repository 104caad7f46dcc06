// SPDX-License-Identifier: GPL-3.0-or-later
// The window's line to the world's server: carries the hall of fame's
// requests with Qt Network on the window's event loop, so no request ever
// holds up a frame, and reads each JSON reply with QJsonDocument into the
// session's plain reply.
#pragma once

#include "world/hall_of_fame_world.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <functional>

class QNetworkReply;

namespace kestrada::desktop {

class QtWorldLink : public QObject {
    Q_OBJECT

  public:
    // now: the steady clock the world's waits are counted on, in ms.
    QtWorldLink(session::HallOfFameWorld& world, std::function<double()> now,
                QObject* parent = nullptr);

    // Sends whatever is due now; returns at once.
    void pump();
    // A request unanswered this long counts as no answer (a server that
    // accepts and stays silent).
    void setTimeout(int ms) { timeoutMs_ = ms; }
    int requestsOut() const { return out_; }

  Q_SIGNALS:
    // A reply was taken in: the panel may show something new.
    void answered();

  private:
    void send(const session::WorldRequest& request);
    void take(const session::WorldRequest& request, QNetworkReply& reply);

    session::HallOfFameWorld& world_;
    std::function<double()> now_;
    QNetworkAccessManager network_;
    int timeoutMs_ = 10000;
    int out_ = 0;
};

} // namespace kestrada::desktop
