// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/table.h"

#include "ui/arabic_style.h"
#include "ui/motion.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

namespace halbeet {

namespace {

const QColor TableGreen(0, 128, 0);

constexpr QSize HandSize(71, 96);
constexpr QSize TrickSize(68, 96);
constexpr QSize MarkerSize(39, 57);
constexpr QSize BidBoxSize(25, 17);

// Label number of each seat's name and bid (seats 1..4).
constexpr std::array<int, 5> NameLabel = {0, 2, 4, 3, 1};
constexpr std::array<int, 5> BidLabel = {0, 12, 11, 9, 10};
constexpr std::array<int, 5> ShapeOfSeat = {0, 4, 2, 1, 3};
constexpr std::array<QPoint, 5> NameHome = {QPoint(), {124, 334}, {485, 322}, {415, 5}, {52, 11}};
// Seat 1's name is right-justified and grows to the left, away from the hand it sits beside.
constexpr int HumanNameRight = 140;
constexpr std::array<QPoint, 5> BidHome = {QPoint(), {118, 362}, {463, 330}, {422, 33}, {29, 18}};
constexpr std::array<QPoint, 5> ShapeHome = {QPoint(), {112, 360}, {457, 328}, {416, 31}, {24, 16}};
constexpr std::array<QPoint, 5> MoveHome = {QPoint(), {144, 288}, {448, 32}, {144, 24}, {40, 232}};

// A bid box: a green rectangle with a thin black outline.
class BidBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(Qt::black);
        p.setBrush(TableGreen);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QFont nameFont() { return fontWithFallback(QStringLiteral("Tahoma"), 19, false); }

// Room for each seat's name on the green, up to the hand, the bid box or the edge beside it:
// seat 1 right of the table's edge, seat 2 and 3 up to the right edge, seat 4 up to the
// partner's hand. A longer name is drawn smaller.
constexpr std::array<int, 5> NameRoom = {0, HumanNameRight - 2, 560 - 485 - 2, 560 - 415 - 2, 144 - 52 - 2};
constexpr int SmallestNamePixels = 8;

// The cards of a trick lie in the rectangle spanned by the four trick slots.
const QRect TrickArea = QRect(208, 120, 1, 1).united(QRect(272 + 68 - 1, 176 + 96 - 1, 1, 1));

// What the input lock keeps out: everything the mouse, the keyboard or a touch could do.
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

// One step of a glide on one axis: a step toward the target, landing on it once less than
// a step would remain, so the sprite never overshoots.
int approach(int current, int target, int step)
{
    if (current > target)
        current -= step;
    else if (current < target)
        current += step;
    if (std::abs(current - target) < step)
        current = target;
    return current;
}

} // namespace

Table::Table(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Table"));
    setFixedSize(Width, Height);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, TableGreen);
    setPalette(pal);

    // Creation order is stacking order: panels and bid boxes at the bottom, the markers under
    // the hands they peek out of, the cards of the trick and the moving cards over them all.
    m_panel1 = new QWidget(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(51, 8, 89, 26);
    m_panel2 = new QWidget(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setGeometry(413, 0, 89, 26);

    for (int seat = 1; seat <= 4; ++seat) {
        auto* box = new BidBox(this);
        box->setObjectName(QStringLiteral("Shape%1").arg(ShapeOfSeat[seat]));
        box->setGeometry(QRect(ShapeHome[seat], BidBoxSize));
        box->hide();
        m_shapes[ShapeOfSeat[seat]] = box;
    }
    const QFont bidFont = fontWithFallback(QStringLiteral("MS Sans Serif"), 11, true);
    for (int seat = 1; seat <= 4; ++seat) {
        makeLabel(BidLabel[seat], BidHome[seat], bidFont, Qt::white);
        QLabel* name = makeLabel(NameLabel[seat], NameHome[seat], nameFont(), Qt::black);
        if (seat == 1)
            name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // Label1 is opaque: it paints the table's green behind the name.
    m_labels[1]->setAutoFillBackground(true);

    for (int seat = 1; seat <= 4; ++seat)
        for (int n = 1; n <= 13; ++n)
            m_cards[markerCardNumber(seat, n)] = makeSprite(
                QStringLiteral("Card%1").arg(markerCardNumber(seat, n)),
                QRect(markerHome(seat, n), MarkerSize));
    for (int seat = 1; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            const int n = (seat - 1) * 13 + k;
            m_cards[n] = makeSprite(QStringLiteral("Card%1").arg(n), QRect(handHome(seat, k), HandSize));
        }
    for (int seat = 2; seat <= 4; ++seat)
        m_cutSprites[seat] = makeSprite(QStringLiteral("Player%1Cut").arg(seat),
                                        QRect(cutHome(seat), HandSize));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_aboutAction = m_menu->addAction(QString());
    m_aboutAction->setObjectName(QStringLiteral("N13"));
    for (int seat = 1; seat <= 4; ++seat) {
        const int n = trickCardNumber(seat);
        CardSprite* slot = makeSprite(QStringLiteral("Card%1").arg(n), QRect(trickHome(seat), TrickSize));
        slot->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(slot, &QWidget::customContextMenuRequested, this,
                [this, slot](const QPoint& at) { m_menu->popup(slot->mapToGlobal(at)); });
        m_cards[n] = slot;
    }
    for (int seat = 1; seat <= 4; ++seat)
        m_moveSprites[seat] = makeSprite(QStringLiteral("p%1_move_c").arg(seat),
                                         QRect(MoveHome[seat], HandSize));

    for (int k = 1; k <= 13; ++k)
        connect(m_cards[k], &CardSprite::clicked, this, &Table::humanCardClicked);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(376, 232, 41, 41);
    m_image->setScaledContents(true);
    // Through QIcon, so that the @2x picture is taken on a scaled screen.
    m_image->setPixmap(QIcon(QStringLiteral(":/images/warning.png"))
                           .pixmap(m_image->size(), devicePixelRatioF()));
    m_image->hide();

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setEditable(false);
    m_combo->setGeometry(97, 360, 41, 21);
    m_combo->hide();

    m_button = new QPushButton(this);
    m_button->setObjectName(QStringLiteral("Button1"));
    m_button->setGeometry(232, 240, 75, 25);
    m_button->setEnabled(false);
    m_button->hide();

    fitLabels();
}

CardSprite* Table::makeSprite(const QString& name, QRect geometry)
{
    auto* sprite = new CardSprite(this);
    sprite->setObjectName(name);
    sprite->setGeometry(geometry);
    sprite->hide();
    return sprite;
}

QLabel* Table::makeLabel(int n, QPoint at, const QFont& font, const QColor& colour)
{
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label%1").arg(n));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::Window, TableGreen);
    label->setPalette(pal);
    label->move(at);
    m_labels[n] = label;
    return label;
}

void Table::fitLabels()
{
    for (int seat = 1; seat <= 4; ++seat) {
        QLabel* name = nameLabel(seat);
        shrinkToFit(name, nameFont(), NameRoom[seat], SmallestNamePixels);
        const QSize hint = name->sizeHint();
        if (seat == 1)
            name->setGeometry(HumanNameRight - hint.width(), NameHome[seat].y(), hint.width(),
                              hint.height());
        else
            name->setGeometry(QRect(NameHome[seat], hint));
        QLabel* bid = bidLabel(seat);
        bid->setGeometry(QRect(BidHome[seat], bid->sizeHint()));
    }
}

bool Table::event(QEvent* event)
{
    // A label whose text changed asks its parent for a new layout; the table answers by
    // fitting the labels, as auto-sized labels would.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)
        fitLabels();
    return QWidget::event(event);
}

void Table::contextMenuEvent(QContextMenuEvent* event)
{
    // A right click on a card lying in the middle of the table (a played card, whichever
    // sprite shows it) offers About, as the trick's own pop-up menu does.
    const auto* sprite = qobject_cast<CardSprite*>(childAt(event->pos()));
    if (sprite && sprite->isVisible() && TrickArea.contains(sprite->geometry().center())) {
        m_menu->popup(event->globalPos());
        event->accept();
        return;
    }
    QWidget::contextMenuEvent(event);
}

void Table::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), TableGreen);
}

// ---- accessors and the layout ------------------------------------------------------------

QPoint Table::handHome(int seat, int k)
{
    const int step = 16 * (k - 1);
    switch (seat) {
    case 1: return {144 + step, HandTop};
    case 2: return {464, 224 - step};
    case 3: return {336 - step, 8};
    case 4: return {24, 40 + step};
    default: return {};
    }
}

int Table::markerCardNumber(int seat, int n)
{
    switch (seat) {
    case 1: return n == 13 ? 82 : 69 - (n - 1);
    case 2: return n == 13 ? 57 : 95 - (n - 1);
    case 3: return n == 13 ? 83 : 81 - (n - 1);
    case 4: return 96 + (n - 1);
    default: return 0;
    }
}

QPoint Table::markerHome(int seat, int n)
{
    const int step = 16 * (n - 1);
    switch (seat) {
    case 1: return {344 - step, 280};
    case 2: return {448, 56 + step};
    case 3: return {344 - step, 56};
    case 4: return {72, 56 + step};
    default: return {};
    }
}

QPoint Table::cutHome(int seat)
{
    switch (seat) {
    case 2: return {448, 32};
    case 3: return {144, 24};
    case 4: return {40, 232};
    default: return {};
    }
}

QPoint Table::trickHome(int seat)
{
    switch (seat) {
    case 1: return {237, 176};
    case 2: return {272, 160};
    case 3: return {245, 120};
    case 4: return {208, 144};
    default: return {};
    }
}

int Table::trickCardNumber(int seat)
{
    constexpr std::array<int, 5> numbers = {0, 56, 53, 54, 55};
    return seat >= 1 && seat <= 4 ? numbers[seat] : 0;
}

CardSprite* Table::card(int n) const { return n >= 1 && n <= 108 ? m_cards[n] : nullptr; }

CardSprite* Table::handSprite(int seat, int k) const
{
    if (seat < 1 || seat > 4 || k < 1 || k > 13)
        return nullptr;
    return m_cards[(seat - 1) * 13 + k];
}

CardSprite* Table::trickSlot(int seat) const { return card(trickCardNumber(seat)); }

CardSprite* Table::moveSprite(int seat) const
{
    return seat >= 1 && seat <= 4 ? m_moveSprites[seat] : nullptr;
}

CardSprite* Table::cutSprite(int seat) const
{
    return seat >= 2 && seat <= 4 ? m_cutSprites[seat] : nullptr;
}

CardSprite* Table::marker(int seat, int n) const
{
    if (seat < 1 || seat > 4 || n < 1 || n > 13)
        return nullptr;
    return m_cards[markerCardNumber(seat, n)];
}

QLabel* Table::nameLabel(int seat) const
{
    return seat >= 1 && seat <= 4 ? m_labels[NameLabel[seat]] : nullptr;
}

QLabel* Table::bidLabel(int seat) const
{
    return seat >= 1 && seat <= 4 ? m_labels[BidLabel[seat]] : nullptr;
}

QWidget* Table::shape(int n) const { return n >= 1 && n <= 4 ? m_shapes[n] : nullptr; }
QLabel* Table::warningImage() const { return m_image; }
QPushButton* Table::bidButton() const { return m_button; }
QComboBox* Table::bidBox() const { return m_combo; }
QMenu* Table::trickMenu() const { return m_menu; }
QAction* Table::aboutAction() const { return m_aboutAction; }

void Table::setPlayerName(int seat, const QString& name)
{
    QLabel* label = nameLabel(seat);
    if (!label)
        return;
    label->setText(name);
    fitLabels();
}

// ---- the routines of a deal --------------------------------------------------------------

void Table::processPending()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Table::ShowHumanHand(const TGameState& state)
{
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = handSprite(1, k);
        sprite->setNumber(state.Hands[1][k].Number);
        sprite->setSuite(state.Hands[1][k].Suite);
    }
    if (state.DealerCounter != 1)
        return;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = handSprite(1, k);
        if (sprite->face() == state.CutCard)
            sprite->move(sprite->x(), RaisedTop);
    }
}

void Table::ShowComputerBacks(const TGameState& state, int backCode)
{
    for (int seat = 2; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = handSprite(seat, k);
            sprite->setNumber(state.Hands[seat][k].Number);
            SetBack(sprite, backCode);
        }
}

void Table::SetBack(CardSprite* sprite, int backCode)
{
    sprite->setSuite(backCode);
    processPending();
}

void Table::RevealDeal(int dealerCounter)
{
    auto showStep = [this](CardSprite* sprite) {
        sprite->show();
        processPending();
    };
    // Each new card of the human's fan lies over its left neighbour.
    handSprite(1, 1)->lower();
    showStep(handSprite(1, 1));
    for (int seat = 2; seat <= 4; ++seat)
        showStep(handSprite(seat, 1));
    for (int k = 2; k <= 12; ++k) {
        handSprite(1, k)->raise();
        showStep(handSprite(1, k));
        for (int seat = 2; seat <= 4; ++seat)
            showStep(handSprite(seat, k));
    }
    handSprite(1, 13)->raise();
    showStep(handSprite(1, 13));

    // A computer dealer's turned card stands in for his thirteenth card.
    const std::array<CardSprite*, 3> last = {
        dealerCounter == 2 ? cutSprite(2) : handSprite(2, 13),
        dealerCounter == 3 ? cutSprite(3) : handSprite(3, 13),
        dealerCounter == 0 ? cutSprite(4) : handSprite(4, 13),
    };
    for (CardSprite* sprite : last) {
        sprite->show();
        sprite->repaint();
    }
}

void Table::UpdateCards()
{
    // One synchronous repaint of the table paints every sprite on it.
    repaint();
}

void Table::DeleteCards()
{
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = handSprite(1, k);
        sprite->move(sprite->x(), HandTop);
    }
    for (int seat = 2; seat <= 4; ++seat) {
        CardSprite* cut = cutSprite(seat);
        if (cut->isHidden())
            continue;
        cut->hide();
        CardSprite* lastCard = handSprite(seat, 13);
        lastCard->show();
        lastCard->repaint();
    }
    for (int n = 1; n <= 52; ++n) {
        CardSprite* sprite = card(n);
        sprite->hide();
        repaint(sprite->geometry());
    }
}

void Table::deletegools()
{
    for (int seat = 1; seat <= 4; ++seat)
        for (int n = 1; n <= 13; ++n) {
            CardSprite* sprite = marker(seat, n);
            sprite->hide();
            repaint(sprite->geometry());
        }
}

// ---- motion ------------------------------------------------------------------------------

void Table::LockInput()
{
    if (!m_inputLocked) {
        m_inputLocked = true;
        qApp->installEventFilter(this);
        // A menu of the window that is open now could not be used or closed until the lock
        // ends; a disabled window would not keep it open either.
        while (QWidget* popup = QApplication::activePopupWidget()) {
            if (!belongsToWindow(popup))
                break;
            popup->close();
        }
    }
    for (int k = 1; k <= 13; ++k)
        handSprite(1, k)->setEnabled(false);
}

void Table::UnlockInput()
{
    if (m_inputLocked) {
        m_inputLocked = false;
        qApp->removeEventFilter(this);
    }
    for (int k = 1; k <= 13; ++k)
        handSprite(1, k)->setEnabled(true);
}

bool Table::belongsToWindow(const QObject* object) const
{
    // The main window with the menus that drop from its menu bar; a question or a dialog is
    // a window of its own.
    if (const auto* widget = qobject_cast<const QWidget*>(object)) {
        const QWidget* top = widget->window();
        while (top && top != window() && top->windowType() == Qt::Popup && top->parentWidget())
            top = top->parentWidget()->window();
        return top == window();
    }
    if (const auto* handle = qobject_cast<const QWindow*>(object))
        return handle == window()->windowHandle();
    return false;
}

bool Table::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_inputLocked || !isUserInput(event->type()) || !belongsToWindow(watched))
        return false;
    // Accepting the override keeps the key from reaching the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    return true;
}

bool Table::abandonGlide(Table* table)
{
    if (table && !applicationQuitting())
        table->UnlockInput();
    return false;
}

bool Table::GlideTo(CardSprite* m, CardSprite* t, int step)
{
    const int s = std::max(1, step);
    // The table or its sprites may be gone once a wait returns (a closed window).
    const QPointer<Table> self(this);
    const QPointer<CardSprite> moving(m);
    const QPointer<CardSprite> target(t);

    LockInput();
    m->raise();
    m->show();
    do {
        m->move(m->x(), approach(m->y(), t->y(), s));
        m->move(approach(m->x(), t->x(), s), m->y());
        if (!Pause(5) || !self || !moving || !target)
            return abandonGlide(self);
    } while (m->pos() != t->pos());

    t->setSuite(m->Suite());
    t->setNumber(m->Number());
    QCoreApplication::processEvents();
    if (!self)
        return false;
    UnlockInput();
    return true;
}

bool Table::GlideOut(CardSprite* c, int x, int y, int hx, int hy, int step)
{
    const int s = std::max(1, step);
    const QPointer<Table> self(this);
    const QPointer<CardSprite> sprite(c);

    LockInput();
    c->raise();
    const QPoint destination(x, y);
    do {
        c->move(c->x(), approach(c->y(), y, s));
        c->move(approach(c->x(), x, s), c->y());
        if (!Pause(5) || !self || !sprite)
            return abandonGlide(self);
        QCoreApplication::processEvents();
        if (!self || !sprite)
            return false;
    } while (c->pos() != destination);

    c->hide();
    QCoreApplication::processEvents();
    if (!self || !sprite)
        return false;
    c->move(c->x(), hy);
    c->move(hx, hy);
    UnlockInput();
    return true;
}

} // namespace halbeet
