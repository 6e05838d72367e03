// SPDX-License-Identifier: GPL-3.0-or-later
// The Host a table dialog.
#include "ui/host_dialog.h"

#include "ui/arabic_style.h"
#include "ui/language.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace halbeet {

HostDialog::HostDialog(QWidget* parent) : QDialog(parent)
{
    const NetworkTexts& t = texts().network;
    setObjectName(QStringLiteral("HostDialog"));
    setWindowTitle(t.hostCaption);
    setLayoutDirection(languageDirection());

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(t.hostIntro, this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    // Partner first: he is who a player thinks of first.
    const std::pair<int, QString> chairs[] = {{3, t.partnerChair}, {2, t.rightChair}, {4, t.leftChair}};
    for (const auto& [seat, label] : chairs) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Chair%1").arg(seat));
        box->addItem(t.openChair, static_cast<int>(net::ChairPlan::Open));
        box->addItem(t.classicChair, static_cast<int>(net::ChairPlan::Classic));
        box->addItem(t.expertChair, static_cast<int>(net::ChairPlan::Expert));
        // A friend for a partner, computers for opponents: the usual table of two friends.
        box->setCurrentIndex(seat == 3 ? 0 : 2);
        box->setAccessibleName(label);
        m_chairs[static_cast<std::size_t>(seat)] = box;
        form->addRow(label, box);
    }
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("Port"));
    m_port->setRange(1024, 65535);
    m_port->setValue(NetworkTable::DefaultPort);
    m_port->setAccessibleName(t.portLabel);
    m_port->setLayoutDirection(Qt::LeftToRight);
    form->addRow(t.portLabel, m_port);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* host = buttons->addButton(t.hostButton, QDialogButtonBox::AcceptRole);
    host->setObjectName(QStringLiteral("HostButton"));
    host->setDefault(true);
    buttons->addButton(t.cancelButton, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

NetworkTable::ChairPlans HostDialog::plans() const
{
    NetworkTable::ChairPlans plans{};
    for (int seat = 2; seat <= 4; ++seat)
        plans[static_cast<std::size_t>(seat)] =
            static_cast<net::ChairPlan>(m_chairs[static_cast<std::size_t>(seat)]->currentData().toInt());
    return plans;
}

quint16 HostDialog::port() const { return static_cast<quint16>(m_port->value()); }

QComboBox* HostDialog::chairBox(int seat) const
{
    return seat >= 2 && seat <= 4 ? m_chairs[static_cast<std::size_t>(seat)] : nullptr;
}

} // namespace halbeet
