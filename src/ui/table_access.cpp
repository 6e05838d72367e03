// SPDX-License-Identifier: GPL-3.0-or-later
// Accessible names of the table, the status bar's panels and the game's announcements.
#include "ui/table_access.h"

#include "ui/announcer.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/last_trick.h"
#include "ui/main_window.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

#include <map>
#include <vector>

namespace halbeet {

namespace {

void setName(QWidget* widget, const QString& name, const QString& description = QString())
{
    // Set only on a change: every change is an event on the accessibility bus.
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

// ---- the status bar's panels, which are painted, not widgets --------------------------

QString panelName(const StatusBar& bar, int index)
{
    const AccessTexts& t = texts().access;
    const StatusPanel* panel = bar.panel(index);
    if (!panel)
        return {};
    if (index == bar.trumpPanelIndex()) {
        const int trump = bar.trumpShown();
        return trump ? t.trumpPanel.arg(t.suits[static_cast<std::size_t>(trump)]) : t.noTrump;
    }
    if (panel == bar.getDealPanel())
        return t.dealerPanel.arg(panel->text());
    if (panel == bar.getPlayPanel())
        return t.playPanel.arg(panel->text());
    if (panel == bar.getHintPanel())
        return t.hintPanel.arg(panel->text());
    return panel->text().trimmed();
}

class StatusPanelAccessible : public QAccessibleInterface {
public:
    StatusPanelAccessible(StatusBar* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->panelCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_bar.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && m_bar ? panelName(*m_bar, m_index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!m_bar)
            return {};
        const QRect r = m_bar->panelRect(m_index);
        return QRect(m_bar->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !m_bar || !m_bar->isVisible();
        s.readOnly = true;
        return s;
    }

private:
    QPointer<StatusBar> m_bar;
    int m_index;
};

class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(StatusBar* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}
    ~StatusBarAccessible() override
    {
        for (const auto& [index, id] : m_ids)
            QAccessible::deleteAccessibleInterface(id);
    }

    StatusBar* bar() const { return static_cast<StatusBar*>(widget()); }
    int childCount() const override { return bar()->panelCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto found = m_ids.find(index);
        if (found == m_ids.end())
            found = m_ids.emplace(index, QAccessible::registerAccessibleInterface(
                                             new StatusPanelAccessible(bar(), index)))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return texts().access.statusBar;
        return QAccessibleWidget::text(kind);
    }

private:
    mutable std::map<int, QAccessible::Id> m_ids;
};

QAccessibleInterface* statusBarFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("halbeet::StatusBar"))
        if (auto* bar = qobject_cast<StatusBar*>(object))
            return new StatusBarAccessible(bar);
    // A card is a picture with a name, not an empty filler.
    if (className == QLatin1String("halbeet::CardSprite"))
        if (auto* card = qobject_cast<CardSprite*>(object))
            return new QAccessibleWidget(card, QAccessible::Graphic);
    return nullptr;
}

} // namespace

QString accessibleCardName(TCardFace card)
{
    const AccessTexts& t = texts().access;
    if (card.Suite < 1 || card.Suite > 4 || card.Number < 1 || card.Number > 13)
        return {};
    return t.card.arg(t.ranks[static_cast<std::size_t>(card.Number)], t.suits[static_cast<std::size_t>(card.Suite)]);
}

TableAccess::TableAccess(MainWindow& window) : QObject(&window), m_window(window)
{
    static bool factoryInstalled = false;
    if (!factoryInstalled) {
        QAccessible::installFactory(statusBarFactory);
        factoryInstalled = true;
    }
    Table* table = m_window.table();
    const AccessTexts& t = texts().access;
    table->setAccessibleName(t.table);
    if (QWidget* client = m_window.centralWidget()) {
        client->setAccessibleName(texts().mainWindow.caption);
        // The table with its status bar, beside the panel of a networked table.
        if (auto* column = client->findChild<QWidget*>(QStringLiteral("TableColumn")))
            column->setAccessibleName(t.table);
    }
    m_window.menuBar()->setAccessibleName(t.menuBar);
    m_announcer = new Announcer(table, texts().access.announcer);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &TableAccess::refresh);
    watchSprites();
    refresh();
}

void TableAccess::watchSprites()
{
    std::vector<QWidget*> watched;
    for (CardSprite* sprite : m_window.table()->findChildren<CardSprite*>())
        watched.push_back(sprite);
    for (int seat = 1; seat <= 4; ++seat)
        watched.push_back(m_window.lastTrickWindow()->trickCard(seat));
    for (QWidget* widget : watched) {
        if (auto* sprite = qobject_cast<CardSprite*>(widget))
            connect(sprite, &CardSprite::faceChanged, this, &TableAccess::schedule);
        widget->installEventFilter(this);
    }
    m_window.table()->installEventFilter(this);
    // The status bar repaints whenever a panel changes.
    m_window.statusBar1()->installEventFilter(this);
}

void TableAccess::schedule()
{
    if (!m_refresh.isActive())
        m_refresh.start();
}

QString TableAccess::playerName(int seat) const
{
    const QLabel* label = m_window.table()->nameLabel(seat);
    return label ? label->text() : QString();
}

void TableAccess::refresh()
{
    const AccessTexts& t = texts().access;
    Table& table = *m_window.table();

    // The human's hand, one of which may lie on the trick.
    CardSprite* onTrick = m_window.humanCardOnTrick();
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = table.handSprite(1, k);
        const QString card = accessibleCardName(sprite->face());
        if (sprite == onTrick && sprite->isVisible())
            setName(sprite, t.played.arg(playerName(1), card), t.playedDescription);
        else
            setName(sprite, card, t.inHand);
    }
    // The computer hands as counts; the dealer's turned card stands in for one of them.
    for (int seat = 2; seat <= 4; ++seat) {
        int held = 0;
        for (int k = 1; k <= 13; ++k)
            held += table.handSprite(seat, k)->isVisible() ? 1 : 0;
        CardSprite* cut = table.cutSprite(seat);
        if (cut->isVisible())
            ++held;
        const QString count = t.hand.arg(playerName(seat), cardCount(held));
        for (int k = 1; k <= 13; ++k)
            setName(table.handSprite(seat, k), count);
        setName(cut, t.turnedUp.arg(playerName(seat), accessibleCardName(cut->face())), count);
    }
    // The cards on the trick: the moving sprites and the trick slots, each with its player.
    for (int seat = 1; seat <= 4; ++seat) {
        for (CardSprite* sprite : {table.moveSprite(seat), table.trickSlot(seat)}) {
            const QString card = accessibleCardName(sprite->face());
            setName(sprite, card.isEmpty() ? QString() : t.played.arg(playerName(seat), card),
                    t.playedDescription);
        }
        CardSprite* kept = m_window.lastTrickWindow()->trickCard(seat);
        setName(kept, t.lastTrickCard.arg(playerName(seat), accessibleCardName(kept->face())));
    }
    // The won-trick markers as counts.
    for (int seat = 1; seat <= 4; ++seat) {
        int won = 0;
        for (int n = 1; n <= 13; ++n)
            won += table.marker(seat, n)->isVisible() ? 1 : 0;
        const QString count = t.taken.arg(playerName(seat), trickCount(won));
        for (int n = 1; n <= 13; ++n)
            setName(table.marker(seat, n), count);
    }
    // Names, bids and the boxes under the bids.
    const std::array<QString, 5> roles = {QString(), t.you, t.rightOpponent, t.partner, t.leftOpponent};
    const std::array<int, 5> shapeOfSeat = {0, 4, 2, 1, 3};
    for (int seat = 1; seat <= 4; ++seat) {
        QLabel* name = table.nameLabel(seat);
        setName(name, name->text(), roles[static_cast<std::size_t>(seat)]);
        QLabel* bid = table.bidLabel(seat);
        const QString shown = bid->text();
        const QString bidName = shown.isEmpty()                 ? t.bidNone.arg(playerName(seat))
                                : shown == QStringLiteral("?") ? t.bidHidden.arg(playerName(seat))
                                                                : t.bid.arg(playerName(seat), shown);
        setName(bid, bidName);
        if (QWidget* box = table.shape(shapeOfSeat[static_cast<std::size_t>(seat)]))
            setName(box, bidName);
    }
    // The two plain panels behind the top names.
    if (auto* panel = table.findChild<QWidget*>(QStringLiteral("Panel1"), Qt::FindDirectChildrenOnly))
        setName(panel, playerName(4), roles[4]);
    if (auto* panel = table.findChild<QWidget*>(QStringLiteral("Panel2"), Qt::FindDirectChildrenOnly))
        setName(panel, playerName(3), roles[3]);
    setName(table.warningImage(), t.warning);
    setName(table.bidBox(), t.bidBox, table.bidBox()->toolTip());
    refreshStatusPanels();
}

void TableAccess::refreshStatusPanels()
{
    // The panels are painted, not widgets: their name changes are sent here, so that a
    // listener that keeps names (as the accessibility library does) hears of them.
    if (!QAccessible::isActive())
        return;
    StatusBar* bar = m_window.statusBar1();
    QAccessibleInterface* barInterface = QAccessible::queryAccessibleInterface(bar);
    if (!barInterface)
        return;
    m_panelNames.resize(static_cast<std::size_t>(bar->panelCount()));
    for (int i = 0; i < bar->panelCount(); ++i) {
        const QString name = panelName(*bar, i);
        QString& known = m_panelNames[static_cast<std::size_t>(i)];
        if (name == known)
            continue;
        known = name;
        if (QAccessibleInterface* panel = barInterface->child(i)) {
            QAccessibleEvent changed(panel, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
    }
}

bool TableAccess::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::LayoutRequest: // a label's text changed
        schedule();
        break;
    case QEvent::Paint:
        if (watched == m_window.statusBar1())
            schedule();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TableAccess::announce(const QString& text)
{
    if (text.isEmpty())
        return;
    m_announcements << text;
    m_announcer->announce(text);
}

void TableAccess::told(const SeatEvent& event)
{
    const AccessTexts& t = texts().access;
    const TableView& view = event.view;
    const SeatView& s = view.seat;
    const QString sep = t.separator;
    auto turn = [&]() -> QString {
        if (view.phase == Phase::Playing)
            return view.toAct == 1 ? t.yourTurn : t.toPlay.arg(playerName(view.toAct));
        if (view.phase == Phase::Bidding && view.toAct == 1)
            return t.yourBid;
        return {};
    };
    auto joined = [&](const QString& first, const QString& second) {
        return second.isEmpty() ? first : first + sep + second;
    };
    schedule();
    switch (event.kind) {
    case SeatEvent::Kind::DealStarted:
        announce(joined(t.deals.arg(playerName(event.seat), t.suits[static_cast<std::size_t>(
                                                                 s.Trump >= 1 && s.Trump <= 4 ? s.Trump : 0)]),
                        turn()));
        break;
    case SeatEvent::Kind::BidMade:
        // A bid the human may not see yet is announced with all the others.
        if (event.seat != 1 && event.value != 0)
            announce(joined(t.bidMade.arg(playerName(event.seat)).arg(event.value), turn()));
        else if (view.toAct == 1)
            announce(turn());
        break;
    case SeatEvent::Kind::BidsPublic: {
        QStringList bids;
        for (int seat = 1; seat <= 4; ++seat)
            bids << t.bidItem.arg(playerName(seat)).arg(s.Bids[static_cast<std::size_t>(seat)]);
        announce(t.bidsShown.arg(bids.join(sep)));
        break;
    }
    case SeatEvent::Kind::Passed:
        announce(t.passed);
        break;
    case SeatEvent::Kind::CardPlayed:
        announce(joined(t.plays.arg(playerName(event.seat), accessibleCardName(event.card)), turn()));
        break;
    case SeatEvent::Kind::TrickTaken:
        announce(joined(t.takes.arg(playerName(event.seat), trickCount(event.value)), turn()));
        break;
    case SeatEvent::Kind::DealScored: {
        QStringList changes;
        const auto& rows = view.scoreRows;
        for (int seat = 1; seat <= 4; ++seat) {
            const auto now = s.Scores[static_cast<std::size_t>(seat)];
            const auto before = rows.size() >= 2 ? rows[rows.size() - 2][static_cast<std::size_t>(seat)] : 0;
            const auto change = now - before;
            changes << t.scoreItem.arg(playerName(seat), scoreChangeText(change), scoreText(now));
        }
        announce(t.scored.arg(changes.join(sep)));
        break;
    }
    case SeatEvent::Kind::GameWon:
        announce(t.won.arg(playerName(event.seat)));
        break;
    case SeatEvent::Kind::TrickComplete:
    case SeatEvent::Kind::NewGame:
    case SeatEvent::Kind::Snapshot:
    case SeatEvent::Kind::Asked:
        break;
    }
}

} // namespace halbeet
