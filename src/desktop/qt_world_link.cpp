// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/qt_world_link.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace kestrada::desktop {

namespace {
// Numbers as the server wrote them: whole ones without a point.
std::string scalarText(const QJsonValue& value) {
    if (value.isString()) {
        return value.toString().toStdString();
    }
    if (value.isDouble()) {
        const double number = value.toDouble();
        const auto whole = static_cast<qint64>(number);
        return static_cast<double>(whole) == number ? std::to_string(whole)
                                                    : QString::number(number).toStdString();
    }
    if (value.isBool()) {
        return value.toBool() ? "true" : "false";
    }
    return {};
}

session::WorldFields fieldsOf(const QJsonObject& object) {
    session::WorldFields fields;
    for (auto at = object.begin(); at != object.end(); ++at) {
        if (!at.value().isArray() && !at.value().isObject()) {
            fields[at.key().toStdString()] = scalarText(at.value());
        }
    }
    return fields;
}
} // namespace

session::WorldReply worldReplyOf(int status, const QByteArray& body) {
    session::WorldReply reply;
    reply.status = status;
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        reply.text = body.toStdString();
        return reply;
    }
    const QJsonObject object = json.object();
    reply.fields = fieldsOf(object);
    for (const QJsonValue entry : object.value(QStringLiteral("entries")).toArray()) {
        reply.entries.push_back(fieldsOf(entry.toObject()));
    }
    return reply;
}

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
    session::WorldReply answer = worldReplyOf(code.isValid() ? code.toInt() : 0,
                                              reply.isOpen() ? reply.readAll() : QByteArray());
    bool ok = false;
    const double retryAfter = reply.rawHeader("Retry-After").toDouble(&ok);
    if (ok && retryAfter >= 0) {
        answer.retryAfterSeconds = retryAfter;
    }
    world_.answered(request, answer, now_());
}

} // namespace kestrada::desktop
