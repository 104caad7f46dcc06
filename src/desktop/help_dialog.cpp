// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/help_dialog.h"

#include "app/help_texts.h"
#include "desktop/label_styles.h"
#include "scene/label_styles.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace kestrada::desktop {

QString plainText(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}

namespace {
// The help window has no icon of its own; a blank one keeps the
// application's icon off its title bar.
QIcon blankIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}
} // namespace

HelpDialog::HelpDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      lblInstructions_(new QLabel(this)), cmdOK_(new QPushButton(this)) {
    setWindowTitle(QString::fromUtf8(kHelpCaption));
    setWindowIcon(blankIcon());
    setFixedSize(520, 412);
    // Black on white whatever the desktop's theme: a dark theme's light
    // text would vanish on the white the window asks for.
    QPalette blackOnWhite = palette();
    for (const auto role : {QPalette::Window, QPalette::Base}) {
        blackOnWhite.setColor(role, QColor(255, 255, 255));
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text}) {
        blackOnWhite.setColor(role, QColor(0, 0, 0));
    }
    setPalette(blackOnWhite);
    setAutoFillBackground(true);

    QFont arial;
    arial.setFamilies(arialFamilies());
    arial.setPixelSize(scene::pointsToPixels(11.25));
    lblInstructions_->setFont(arial);
    lblInstructions_->setGeometry(8, 16, 505, 337);
    lblInstructions_->setTextFormat(Qt::PlainText);
    lblInstructions_->setWordWrap(true);
    lblInstructions_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInstructions_->setText(plainText(helpInstructions()));

    cmdOK_->setText(QStringLiteral("&OK"));
    cmdOK_->setGeometry(215, 360, 89, 33);
    QPalette grey = cmdOK_->palette();
    grey.setColor(QPalette::Button, QColor(192, 192, 192));
    grey.setColor(QPalette::ButtonText, QColor(0, 0, 0));
    cmdOK_->setPalette(grey);
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace kestrada::desktop
