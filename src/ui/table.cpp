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
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtMath>

#include <algorithm>
#include <cmath>
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

QFont nameFont(const TableScale& scale)
{
    return fontWithFallback(QStringLiteral("Tahoma"), scale.length(19), false);
}

// The follow-suit warning drawn at any size: a yellow disc with a dark rim and a black
// exclamation mark, the shapes of the picture shipped for the unscaled table.
QPixmap drawnWarning(QSize size, qreal dpr)
{
    QPixmap pm(QSize(qCeil(size.width() * dpr), qCeil(size.height() * dpr)));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width(), size.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8A, 0x6A, 0x00));
    p.drawEllipse(QPointF(0.5, 0.5), 0.49, 0.49);
    p.setBrush(QColor(0xFF, 0xD2, 0x1F));
    p.drawEllipse(QPointF(0.5, 0.5), 0.49 - 1.6 / 40, 0.49 - 1.6 / 40);
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawPolygon(QPolygonF({{0.43, 0.17}, {0.57, 0.17}, {0.535, 0.63}, {0.465, 0.63}}));
    p.drawRoundedRect(QRectF(0.43, 0.15, 0.14, 0.15), 0.07, 0.07);
    p.drawEllipse(QPointF(0.5, 0.77), 0.075, 0.075);
    return pm;
}

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
    setMinimumSize(Width, Height);
    resize(Width, Height);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, TableGreen);
    setPalette(pal);

    // Creation order is stacking order: panels and bid boxes at the bottom, the human's markers
    // under his hand (its ranks must stay readable), the opponents' markers over their hands
    // of backs (tucked under those they would hardly show), then the cut cards, the cards of
    // the trick and the moving cards over them all. The cut cards are gone before the first
    // trick is won, so no marker ever lies over one.
    m_panel1 = new QWidget(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    place(m_panel1, QRect(51, 8, 89, 26));
    m_panel2 = new QWidget(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    place(m_panel2, QRect(413, 0, 89, 26));

    for (int seat = 1; seat <= 4; ++seat) {
        auto* box = new BidBox(this);
        box->setObjectName(QStringLiteral("Shape%1").arg(ShapeOfSeat[seat]));
        place(box, QRect(ShapeHome[seat], BidBoxSize));
        box->hide();
        m_shapes[ShapeOfSeat[seat]] = box;
    }
    const QFont bidFont = fontWithFallback(QStringLiteral("MS Sans Serif"), 11, true);
    for (int seat = 1; seat <= 4; ++seat) {
        makeLabel(BidLabel[seat], BidHome[seat], bidFont, Qt::white);
        QLabel* name = makeLabel(NameLabel[seat], NameHome[seat], nameFont(m_scale), Qt::black);
        if (seat == 1)
            name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // Label1 is opaque: it paints the table's green behind the name.
    m_labels[1]->setAutoFillBackground(true);

    const auto makeMarkers = [this](int seat) {
        for (int n = 1; n <= 13; ++n)
            m_cards[markerCardNumber(seat, n)] = makeSprite(
                QStringLiteral("Card%1").arg(markerCardNumber(seat, n)),
                QRect(markerHome(seat, n), MarkerSize));
    };
    makeMarkers(1);
    for (int seat = 1; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            const int n = (seat - 1) * 13 + k;
            m_cards[n] = makeSprite(QStringLiteral("Card%1").arg(n), QRect(handHome(seat, k), HandSize));
        }
    for (int seat = 2; seat <= 4; ++seat)
        makeMarkers(seat);
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
    place(m_image, QRect(376, 232, 41, 41));
    m_image->setScaledContents(true);
    updateWarningPicture();
    m_image->hide();

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setEditable(false);
    place(m_combo, QRect(97, 360, 41, 21));
    m_combo->hide();

    m_button = new QPushButton(this);
    m_button->setObjectName(QStringLiteral("Button1"));
    place(m_button, QRect(232, 240, 75, 25));
    m_button->setEnabled(false);
    m_button->hide();
    // Return and keypad Enter confirm the bid from the list and from the button: outside a
    // dialog neither control takes them by itself.
    m_combo->installEventFilter(this);
    m_button->installEventFilter(this);

    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleMs);
    connect(m_settle, &QTimer::timeout, this, &Table::renderForSize);

    fitLabels();
}

void Table::place(QWidget* child, const QRect& logical)
{
    m_placed.insert(child, logical);
    child->setGeometry(m_scale.toReal(logical));
}

std::vector<CardSprite*> Table::allSprites() const
{
    std::vector<CardSprite*> sprites;
    for (int n = 1; n <= 108; ++n)
        sprites.push_back(m_cards[n]);
    for (int seat = 2; seat <= 4; ++seat)
        sprites.push_back(m_cutSprites[seat]);
    for (int seat = 1; seat <= 4; ++seat)
        sprites.push_back(m_moveSprites[seat]);
    return sprites;
}

bool Table::renderPending() const { return m_settle->isActive(); }

void Table::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isVisible() && !m_settle->isActive()) {
        // A drag has begun: the cards keep the pictures of their present size, drawn scaled,
        // until the size has settled, instead of rendering every size the drag passes.
        for (CardSprite* sprite : allSprites())
            sprite->setArtSize(sprite->size());
    }
    applyScale();
    if (isVisible())
        m_settle->start();
    else
        renderForSize();
}

void Table::applyScale()
{
    const qreal factor = std::min(qreal(width()) / Width, qreal(height()) / Height);
    const QSize shown = QSize(qRound(Width * factor), qRound(Height * factor));
    const TableScale scale{std::max(factor, qreal(0.01)),
                           QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2)};
    if (scale.factor == m_scale.factor && scale.offset == m_scale.offset)
        return;
    const bool factorChanged = scale.factor != m_scale.factor;
    const std::vector<CardSprite*> sprites = allSprites();
    std::vector<QRect> logical;
    logical.reserve(sprites.size());
    for (const CardSprite* sprite : sprites)
        logical.push_back(sprite->logicalGeometry());
    m_scale = scale;
    for (std::size_t i = 0; i < sprites.size(); ++i)
        sprites[i]->setLogicalGeometry(logical[i]);
    for (auto it = m_placed.cbegin(); it != m_placed.cend(); ++it)
        it.key()->setGeometry(m_scale.toReal(it.value()));
    if (factorChanged) {
        // The bid list and its button take the table's font.
        setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), m_scale.length(11), false));
    }
    fitLabels();
}

void Table::renderForSize()
{
    m_settle->stop();
    for (CardSprite* sprite : allSprites())
        sprite->setArtSize(QSize());
    updateWarningPicture();
    emit rendered();
}

void Table::updateWarningPicture()
{
    const qreal dpr = devicePixelRatioF();
    const QSize size = m_image->size();
    // The shipped picture (with its @2x twin) on the unscaled table; drawn at other sizes.
    if (m_scale.factor == 1.0)
        m_image->setPixmap(QIcon(QStringLiteral(":/images/warning.png")).pixmap(size, dpr));
    else
        m_image->setPixmap(drawnWarning(size, dpr));
}

CardSprite* Table::makeSprite(const QString& name, QRect geometry)
{
    auto* sprite = new CardSprite(this);
    sprite->setObjectName(name);
    sprite->setScale(&m_scale);
    sprite->setLogicalGeometry(geometry);
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
    label->move(m_scale.toReal(at));
    m_labels[n] = label;
    return label;
}

void Table::fitLabels()
{
    for (int seat = 1; seat <= 4; ++seat) {
        // Fonts at the scaled size, so texts stay sharp; places from the logical layout.
        QLabel* name = nameLabel(seat);
        shrinkToFit(name, nameFont(m_scale), m_scale.length(NameRoom[seat]),
                    m_scale.length(SmallestNamePixels));
        const QSize hint = name->sizeHint();
        const QPoint home = m_scale.toReal(NameHome[seat]);
        if (seat == 1)
            name->setGeometry(m_scale.toReal(QPoint(HumanNameRight, 0)).x() - hint.width(),
                              home.y(), hint.width(), hint.height());
        else
            name->setGeometry(QRect(home, hint));
        QLabel* bid = bidLabel(seat);
        const QFont bidFont =
            fontWithFallback(QStringLiteral("MS Sans Serif"), m_scale.length(11), true);
        if (bid->font() != bidFont)
            bid->setFont(bidFont);
        bid->setGeometry(QRect(m_scale.toReal(BidHome[seat]), bid->sizeHint()));
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
    if (sprite && sprite->isVisible() && TrickArea.contains(sprite->logicalGeometry().center())) {
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

void Table::ShowHumanHand(const THand& hand, std::int32_t dealerCounter, TCardFace cutCard)
{
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = handSprite(1, k);
        sprite->setNumber(hand[static_cast<std::size_t>(k)].Number);
        sprite->setSuite(hand[static_cast<std::size_t>(k)].Suite);
    }
    if (dealerCounter != 1)
        return;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = handSprite(1, k);
        if (sprite->face() == cutCard)
            sprite->moveLogical(sprite->logicalX(), RaisedTop);
    }
}

void Table::ShowComputerBacks(int backCode)
{
    for (int seat = 2; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = handSprite(seat, k);
            sprite->setNumber(0);
            SetBack(sprite, backCode);
        }
}

CardSprite* Table::leavingBack(const PublicPlay& play) const
{
    const bool dealer = play.seat == DealerSeat(play.dealerCounter);
    if (dealer && play.card == play.cutCard)
        return handSprite(play.seat, 13);
    const bool keepThirteenth = dealer && !play.cutPlayedBefore;
    std::vector<CardSprite*> inHand;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = handSprite(play.seat, k);
        if (!sprite->isHidden() && !(keepThirteenth && k == 13))
            inHand.push_back(sprite);
    }
    if (inHand.empty())
        return nullptr;
    // A well-mixed draw, so that the cards leave the hands from changing places, as a person's do.
    std::uint64_t h = static_cast<std::uint64_t>(play.cutCard.Suite * 13 + play.cutCard.Number);
    h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint64_t>(play.dealerCounter);
    h = h * 0xBF58476D1CE4E5B9ULL + static_cast<std::uint64_t>(play.seat * 16 + play.playedBefore);
    h ^= h >> 31;
    h *= 0x94D049BB133111EBULL;
    h ^= h >> 29;
    return inHand[static_cast<std::size_t>(h % inHand.size())];
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
        sprite->moveLogical(sprite->logicalX(), HandTop);
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
    if ((watched == m_combo || watched == m_button) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool confirm = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (confirm && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // Held down, the key must not answer the notice or bid again behind it.
            if (!key->isAutoRepeat())
                emit bidConfirmRequested();
            return true;
        }
    }
    if (!m_inputLocked || !isUserInput(event->type()) || !belongsToWindow(watched))
        return false;
    // Accepting the override keeps the key from reaching the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    return true;
}

// One card on its way: where it goes, and what follows once it is there.
class Table::Glide {
public:
    QPointer<CardSprite> sprite;
    QPointer<CardSprite> target; // glideTo: the place it lands on, whose face it takes
    QPoint to;                   // glideOut: where it leaves the table
    QPoint home;                 // glideOut: where it waits, hidden, for its next card
    int step = 1;
    std::function<void()> then;
    QTimer timer;

    QPoint destination() const { return target ? target->logicalPos() : to; }
};

Table::~Table() = default;

void Table::glideTo(CardSprite* m, CardSprite* t, int step, std::function<void()> landed)
{
    auto glide = std::make_unique<Glide>();
    glide->sprite = m;
    glide->target = t;
    glide->step = std::max(1, step);
    glide->then = std::move(landed);
    LockInput();
    m->raise();
    m->show();
    Glide* started = glide.get();
    m_glides.push_back(std::move(glide));
    glideCycle(started);
}

void Table::glideOut(CardSprite* c, QPoint to, QPoint home, int step, std::function<void()> done)
{
    auto glide = std::make_unique<Glide>();
    glide->sprite = c;
    glide->to = to;
    glide->home = home;
    glide->step = std::max(1, step);
    glide->then = std::move(done);
    LockInput();
    c->raise();
    Glide* started = glide.get();
    m_glides.push_back(std::move(glide));
    glideCycle(started);
}

void Table::glideCycle(Glide* glide)
{
    // A cycle moves the card one step (down or up first, then across, in logical pixels so that
    // a glide takes as many steps at every scale) and gives it one cycle's time there.
    const int interval = static_cast<int>(std::lround(GlideCycleMs * timeScale()));
    for (;;) {
        CardSprite* m = glide->sprite;
        if (!m) { // the sprite went with its window
            std::erase_if(m_glides, [glide](const auto& g) { return g.get() == glide; });
            return;
        }
        const QPoint destination = glide->destination();
        m->moveLogical(m->logicalX(), approach(m->logicalY(), destination.y(), glide->step));
        m->moveLogical(approach(m->logicalX(), destination.x(), glide->step), m->logicalY());
        countGlideCycle();
        if (interval > 0)
            break;
        if (m->logicalPos() == destination) {
            finishGlide(glide);
            return;
        }
    }
    // Real time: the next cycle, or the landing, once this one's time is up.
    glide->timer.setSingleShot(true);
    glide->timer.setTimerType(Qt::PreciseTimer);
    glide->timer.disconnect();
    QObject::connect(&glide->timer, &QTimer::timeout, this, [this, glide] {
        CardSprite* m = glide->sprite;
        if (m && m->logicalPos() == glide->destination())
            finishGlide(glide);
        else
            glideCycle(glide);
    });
    if (m_glidesHeld == 0)
        glide->timer.start(interval);
}

void Table::holdGlides()
{
    ++m_glidesHeld;
    for (const auto& glide : m_glides)
        glide->timer.stop();
}

void Table::letGlidesGo()
{
    if (m_glidesHeld == 0 || --m_glidesHeld > 0)
        return;
    const int interval = static_cast<int>(std::lround(GlideCycleMs * timeScale()));
    for (const auto& glide : m_glides) {
        if (!glide->timer.isActive())
            glide->timer.start(interval);
    }
}

void Table::finishGlide(Glide* glide)
{
    const auto it = std::find_if(m_glides.begin(), m_glides.end(), [glide](const auto& g) { return g.get() == glide; });
    if (it == m_glides.end())
        return;
    std::unique_ptr<Glide> done = std::move(*it);
    m_glides.erase(it);
    CardSprite* m = done->sprite;
    if (m && done->target) {
        done->target->setSuite(m->Suite());
        done->target->setNumber(m->Number());
    } else if (m) {
        m->hide();
        m->moveLogical(m->logicalX(), done->home.y());
        m->moveLogical(done->home);
    }
    if (m_glides.empty())
        UnlockInput();
    if (done->then)
        done->then();
}

void Table::stopGlides()
{
    m_glides.clear();
    UnlockInput();
}

} // namespace halbeet
