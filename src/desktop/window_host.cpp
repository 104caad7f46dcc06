// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/window_host.h"

#include "desktop/help_dialog.h"

#include <QMessageBox>
#include <QTime>

namespace kestrada::desktop {

namespace {
// The dialog keeps the main window from input until it closes, then
// deletes itself; the handler that opened it has long returned.
void openModal(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}
} // namespace

WindowHost::WindowHost(QWidget& window) : window_(window) {}

uint32_t WindowHost::millisecondsSinceMidnight() {
    return static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay());
}

void WindowHost::showHelp() {
    openModal(new HelpDialog(&window_));
}

void WindowHost::showMessage(const std::string& title, const std::string& text) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(title), plainText(text),
                                QMessageBox::Ok, &window_);
    box->setTextFormat(Qt::PlainText);
    openModal(box);
}

} // namespace kestrada::desktop
