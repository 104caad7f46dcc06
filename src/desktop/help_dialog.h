// SPDX-License-Identifier: GPL-3.0-or-later
// frmHelp: the modal how-to-play window.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kestrada::desktop {

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
