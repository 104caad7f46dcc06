// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/qt_world_link.h"

#include "world/server_reply.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace kestrada::desktop {

QtWorldLink::QtWorldLink(session::HallOfFameWorld& world, std::function<double()> now,
                         QObject* parent)
    : QObject(parent), world_(world), now_(std::move(now)) {}

void QtWorldLink::pump() {
    while (const auto request = world_.next(now_())) {
        send(*request);
    }
}

void QtWorldLink::send(const session::WorldRequest& request) {
    QNetworkRequest http(QUrl(QString::fromStdString(world_.url(request))));
    http.setTransferTimeout(timeoutMs_);
    http.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain"));
    QNetworkReply* reply = request.method == "POST"
                               ? network_.post(http, QByteArray::fromStdString(request.body))
                               : network_.get(http);
    ++out_;
    connect(reply, &QNetworkReply::finished, this, [this, request, reply] {
        --out_;
        take(request, *reply);
        reply->deleteLater();
        Q_EMIT answered();
    });
}

void QtWorldLink::take(const session::WorldRequest& request, QNetworkReply& reply) {
    const QVariant code = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QByteArray body = reply.isOpen() ? reply.readAll() : QByteArray();
    session::WorldReply answer = session::serverReply(
        code.isValid() ? code.toInt() : 0, std::string_view(body.constData(), body.size()));
    bool ok = false;
    const double retryAfter = reply.rawHeader("Retry-After").toDouble(&ok);
    if (ok && retryAfter >= 0) {
        answer.retryAfterSeconds = retryAfter;
    }
    world_.answered(request, answer, now_());
}

} // namespace kestrada::desktop
