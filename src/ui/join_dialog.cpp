// SPDX-License-Identifier: GPL-3.0-or-later
// The Join a table dialog.
#include "ui/join_dialog.h"

#include "net/client_message.h"
#include "net/table_beacon.h"
#include "settings/settings.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/network_table.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace halbeet {

namespace {
constexpr int AddressRole = Qt::UserRole;
constexpr int CodeRole = Qt::UserRole + 1;
} // namespace

JoinDialog::JoinDialog(QWidget* parent, quint16 beaconPort) : QDialog(parent)
{
    const NetworkTexts& t = texts().network;
    setObjectName(QStringLiteral("JoinDialog"));
    setWindowTitle(t.joinCaption);
    setLayoutDirection(languageDirection());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(t.tablesFound, this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("FoundTables"));
    m_list->setAccessibleName(t.tablesFound);
    m_list->setMinimumHeight(90);
    layout->addWidget(m_list);
    m_none = new QLabel(t.noTablesFound, this);
    layout->addWidget(m_none);

    auto* form = new QFormLayout;
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("Address"));
    m_address->setAccessibleName(t.addressLabel);
    m_address->setMaxLength(255);
    // Addresses and codes read left to right in both languages.
    m_address->setLayoutDirection(Qt::LeftToRight);
    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("Code"));
    m_code->setAccessibleName(t.codeLabel);
    m_code->setMaxLength(static_cast<int>(net::TableCodeLength));
    m_code->setLayoutDirection(Qt::LeftToRight);
    m_code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]*")), m_code));
    form->addRow(t.addressLabel, m_address);
    form->addRow(t.codeLabel, m_code);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    m_join = buttons->addButton(t.joinButton, QDialogButtonBox::AcceptRole);
    m_join->setObjectName(QStringLiteral("JoinButton"));
    m_join->setDefault(true);
    const QString lastCode = settings::readString(QStringLiteral("Network"), QStringLiteral("LastCode"), QString());
    if (!lastCode.isEmpty()) {
        QPushButton* rejoin = buttons->addButton(t.rejoinButton, QDialogButtonBox::ActionRole);
        rejoin->setObjectName(QStringLiteral("RejoinButton"));
        connect(rejoin, &QPushButton::clicked, this, [this, lastCode] {
            m_address->setText(settings::readString(QStringLiteral("Network"), QStringLiteral("LastAddress"), QString()));
            m_code->setText(lastCode);
            m_rejoining = true;
            accept();
        });
    }
    buttons->addButton(t.cancelButton, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!url().isEmpty() && code().size() == static_cast<int>(net::TableCodeLength))
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!item)
            return;
        m_address->setText(item->data(AddressRole).toString());
        m_code->setText(item->data(CodeRole).toString());
    });
    connect(m_list, &QListWidget::itemActivated, this, [this] {
        if (!url().isEmpty())
            accept();
    });
    connect(m_address, &QLineEdit::textChanged, this, &JoinDialog::updateButtons);
    connect(m_code, &QLineEdit::textChanged, this, &JoinDialog::updateButtons);

    m_finder = new net::TableFinder(beaconPort != 0 ? beaconPort : net::BeaconPort, this);
    connect(m_finder, &net::TableFinder::tablesChanged, this, &JoinDialog::listTables);
    listTables();
    updateButtons();
}

JoinDialog::~JoinDialog() = default;

void JoinDialog::listTables()
{
    const NetworkTexts& t = texts().network;
    const QString chosen = m_list->currentItem() ? m_list->currentItem()->data(CodeRole).toString() : QString();
    m_list->clear();
    for (const net::TableAnnouncement& table : m_finder->tables()) {
        const QString where = addressOf(table.host, table.port);
        // The host's name is his own text: an isolate keeps it from reordering what follows.
        auto* item = new QListWidgetItem(
            t.foundTable.arg(QChar(0x2068) + table.name + QChar(0x2069), where).arg(table.openChairs), m_list);
        item->setData(AddressRole, where);
        item->setData(CodeRole, table.code);
        if (table.code == chosen)
            m_list->setCurrentItem(item);
    }
    // The first table heard is the one a player most likely came for: chosen, unless he has
    // typed a table of his own.
    if (!m_list->currentItem() && m_list->count() > 0 && m_address->text().isEmpty() && m_code->text().isEmpty())
        m_list->setCurrentRow(0);
    m_none->setVisible(m_list->count() == 0);
}

void JoinDialog::updateButtons()
{
    m_join->setEnabled(!url().isEmpty() && code().size() == static_cast<int>(net::TableCodeLength));
}

QString JoinDialog::code() const { return m_code->text().trimmed().toUpper(); }

QUrl JoinDialog::url() const { return urlOf(m_address->text()); }

QString JoinDialog::addressOf(const QString& host, int port)
{
    const QString shown = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return port == NetworkTable::DefaultPort ? shown : QStringLiteral("%1:%2").arg(shown).arg(port);
}

QUrl JoinDialog::urlOf(const QString& typed)
{
    QString text = typed.trimmed();
    if (text.isEmpty() || text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('@')))
        return {};
    QString host = text;
    int port = NetworkTable::DefaultPort;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return {};
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            bool ok = false;
            port = rest.startsWith(QLatin1Char(':')) ? rest.mid(1).toInt(&ok) : 0;
            if (!ok)
                return {};
        }
    } else if (text.count(QLatin1Char(':')) == 1) {
        bool ok = false;
        host = text.section(QLatin1Char(':'), 0, 0);
        port = text.section(QLatin1Char(':'), 1).toInt(&ok);
        if (!ok)
            return {};
    }
    if (host.isEmpty() || port < 1 || port > 65535)
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(host);
    url.setPort(port);
    return url.isValid() ? url : QUrl();
}

} // namespace halbeet
