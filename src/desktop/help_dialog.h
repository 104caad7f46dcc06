// SPDX-License-Identifier: GPL-3.0-or-later
// frmHelp: the modal how-to-play window.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace kestrada::desktop {

// The game's texts keep the line ends they were written with; Qt wants
// one newline a line.
QString plainText(const std::string& text);

class HelpDialog : public QDialog {
    Q_OBJECT

  public:
    explicit HelpDialog(QWidget* parent = nullptr);

    QLabel* lblInstructions() const { return lblInstructions_; }
    QPushButton* cmdOK() const { return cmdOK_; }

  private:
    QLabel* lblInstructions_;
    QPushButton* cmdOK_;
};

} // namespace kestrada::desktop
