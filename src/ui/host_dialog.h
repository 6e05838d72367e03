// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Host a table: who sits in the partner's and the opponents' chairs (a friend, or a computer
// at either level), and the port friends reach the table on.

#include "ui/network_table.h"

#include <QDialog>

class QComboBox;
class QSpinBox;

namespace halbeet {

class HostDialog final : public QDialog {
    Q_OBJECT

public:
    explicit HostDialog(QWidget* parent = nullptr);

    NetworkTable::ChairPlans plans() const;
    quint16 port() const;
    // The choice of chair 2, 3 or 4.
    QComboBox* chairBox(int seat) const;

private:
    std::array<QComboBox*, 5> m_chairs{};
    QSpinBox* m_port = nullptr;
};

} // namespace halbeet
