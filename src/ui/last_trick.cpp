// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/last_trick.h"

#include "ui/arabic_style.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/table.h"

#include <QPushButton>

namespace halbeet {

namespace {

// Sprite names and places by seat: bottom, right, top, left, as on the table but closer.
struct Slot {
    const char* name;
    int x;
    int y;
};
constexpr std::array<Slot, 5> Slots{{
    {"", 0, 0},
    {"Card56", 32, 72},
    {"Card53", 72, 40},
    {"Card54", 48, 8},
    {"Card55", 8, 24},
}};

} // namespace

LastTrickWindow::LastTrickWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LASTSHOT"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(215, 176);

    for (int seat = 1; seat <= 4; ++seat) {
        const Slot& slot = Slots[static_cast<std::size_t>(seat)];
        auto* card = new CardSprite(this);
        card->setObjectName(QString::fromLatin1(slot.name));
        card->setGeometry(slot.x, slot.y, 71, 96);
        m_cards[static_cast<std::size_t>(seat)] = card;
    }

    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("Button1"));
    button->setGeometry(152, 24, 57, 25);
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &QDialog::reject);

    // Set up once: the language.
    const LastTrickTexts& t = texts().lastTrick;
    setLayoutDirection(languageDirection());
    setWindowTitle(t.caption);
    button->setText(t.Button1);
    if (languageDirection() == Qt::RightToLeft)
        mirrorForRightToLeft();
}

void LastTrickWindow::mirrorForRightToLeft()
{
    // The button goes to the left and the trick to the right. The four cards move as one
    // picture: they stand as the players sit at the table, which is the same in every
    // language, so the right-hand opponent's card stays on the right.
    QRect trick;
    for (int seat = 1; seat <= 4; ++seat)
        trick |= trickCard(seat)->geometry();
    mirrorPlaces(this);
    const int shift = (width() - 1 - trick.right()) - trick.left(); // mirrored left - left
    for (int seat = 1; seat <= 4; ++seat) {
        const Slot& slot = Slots[static_cast<std::size_t>(seat)];
        trickCard(seat)->move(slot.x + shift, slot.y);
    }
}

CardSprite* LastTrickWindow::trickCard(int seat) const
{
    return seat >= 1 && seat <= 4 ? m_cards[static_cast<std::size_t>(seat)] : nullptr;
}

void LastTrickWindow::fill(const Table& table, int leaderSeat)
{
    for (int seat = 1; seat <= 4; ++seat) {
        const CardSprite* source = table.trickSlot(seat);
        CardSprite* copy = trickCard(seat);
        copy->setSuite(source->Suite());
        copy->setNumber(source->Number());
    }
    if (leaderSeat < 1 || leaderSeat > 4)
        return;
    // Raising in playing order leaves the leader's card lowest and the last card on top.
    int seat = leaderSeat;
    for (int k = 0; k < 4; ++k) {
        trickCard(seat)->raise();
        seat = NextSeat(seat);
    }
}

} // namespace halbeet
