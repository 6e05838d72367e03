// SPDX-License-Identifier: GPL-3.0-or-later
// The side panel of a networked table.
#include "ui/network_panel.h"

#include "ui/chat_panel.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/qr_code.h"

#include <QApplication>
#include <QClipboard>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace halbeet {

namespace {

// A label of addresses to read aloud or select and copy: plain text, wrapped.
QLabel* selectableLines(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

QString TableLink(const QString& address, quint16 port, const QString& code, bool tls)
{
    const bool v6 = QHostAddress(address).protocol() == QAbstractSocket::IPv6Protocol;
    return QStringLiteral("%1://%2:%3/#%4")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"),
             v6 ? QLatin1Char('[') + address + QLatin1Char(']') : address)
        .arg(port)
        .arg(code);
}

NetworkPanel::NetworkPanel(QWidget* parent) : QWidget(parent)
{
    const NetworkTexts& t = texts().network;
    setObjectName(QStringLiteral("NetworkPanel"));
    setLayoutDirection(languageDirection());
    setAccessibleName(t.chatName);
    setMinimumWidth(200);
    setMaximumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TableTitle"));
    m_title->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    layout->addWidget(m_title);

    m_reach = selectableLines(QStringLiteral("ReachTable"), this);
    layout->addWidget(m_reach);

    m_copy = new QPushButton(t.copyButton, this);
    m_copy->setObjectName(QStringLiteral("CopyTable"));
    connect(m_copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(m_copyText); });
    layout->addWidget(m_copy, 0, Qt::AlignLeading);

    m_start = new QPushButton(t.startButton, this);
    m_start->setObjectName(QStringLiteral("StartGame"));
    connect(m_start, &QPushButton::clicked, this, &NetworkPanel::startClicked);
    layout->addWidget(m_start);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("TableStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    // Below the host's buttons, which stay where a hand (or a script) expects them.
    m_links = selectableLines(QStringLiteral("TableLinks"), this);
    layout->addWidget(m_links);

    m_qr = new QrCodeWidget(this);
    layout->addWidget(m_qr, 0, Qt::AlignHCenter);

    m_chat = new ChatPanel(ChatTexts{t.chatPlaceholder, t.chatSend, t.chatTooFast, t.chatName}, this);
    layout->addWidget(m_chat, 1);

    setStartOffered(false);
    setStatus({});
}

void NetworkPanel::showTable(const QString& code, const QStringList& addresses, quint16 port)
{
    const NetworkTexts& t = texts().network;
    m_title->setText(t.panelTitle.arg(code));
    setAccessibleName(m_title->text());
    QStringList where;
    for (const QString& address : addresses)
        where << QStringLiteral("%1:%2").arg(address).arg(port);
    const bool hosting = !where.isEmpty();
    // Addresses and the code read left to right inside the sentence of either language.
    m_reach->setText(hosting ? t.reachTable.arg(QChar(0x2066) + where.join(QStringLiteral(", ")) + QChar(0x2069),
                                                QChar(0x2066) + code + QChar(0x2069))
                             : QString());
    m_reach->setVisible(hosting);
    QStringList links;
    for (const QString& address : addresses)
        links << TableLink(address, port, code);
    // A link reads left to right in either language, one a line; the mark before it keeps the
    // line in the interface's direction (a line that begins with a link would otherwise be
    // taken for a left-to-right one, and sit on the left of an Arabic panel).
    const QChar mark = languageDirection() == Qt::RightToLeft ? QChar(0x200F) : QChar(0x200E);
    QStringList isolated;
    for (const QString& link : links)
        isolated << QString(mark) + QChar(0x2066) + link + QChar(0x2069);
    m_links->setText(hosting ? t.browserLinks.arg(isolated.join(QLatin1Char('\n'))) : QString());
    m_links->setVisible(hosting);
    m_qr->setCode(hosting ? links.first() : QString(), hosting ? t.qrCodeName.arg(links.first()) : QString());
    m_qr->setVisible(hosting);
    m_copy->setVisible(hosting);
    // What a friend needs either way: the address and code for the game, the link for a browser.
    m_copyText = hosting ? where.first() + QLatin1Char(' ') + code + QLatin1Char('\n') + links.first() : code;
}

void NetworkPanel::setStartOffered(bool offered) { m_start->setVisible(offered); }

QString NetworkPanel::status() const { return m_status->text(); }

void NetworkPanel::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

} // namespace halbeet
