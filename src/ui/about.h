// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The about window: icon, the game's name with its shadow, the version and an OK button.

#include <QDialog>

namespace halbeet {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace halbeet
