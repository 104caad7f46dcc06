// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/window_host.h"

#include "desktop/help_dialog.h"

#include <QMessageBox>
#include <QTime>

namespace kestrada::desktop {

namespace {
QString plainText(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}
} // namespace

WindowHost::WindowHost(QWidget& window, std::function<void()> beforeModal)
    : window_(window), beforeModal_(std::move(beforeModal)) {}

uint32_t WindowHost::millisecondsSinceMidnight() {
    return static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay());
}

void WindowHost::showHelp() {
    beforeModal_();
    HelpDialog help(&window_);
    help.exec();
}

void WindowHost::showMessage(const std::string& title, const std::string& text) {
    beforeModal_();
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), plainText(text),
                    QMessageBox::Ok, &window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace kestrada::desktop
