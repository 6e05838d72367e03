// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The last completed trick, shown again on demand. The window keeps its own copy, refreshed
// at the end of every trick, so it can be filled while hidden.

#include <QDialog>

#include <array>

namespace halbeet {

class CardSprite;
class Table;

class LastTrickWindow : public QDialog {
    Q_OBJECT

public:
    explicit LastTrickWindow(QWidget* parent = nullptr);

    // Copies the table's four trick slots and stacks them: the leader's card at the bottom,
    // then the others in playing order, the last card played on top.
    void fill(const Table& table, int leaderSeat);

    // Card56, Card53, Card54, Card55 for seats 1..4.
    CardSprite* trickCard(int seat) const;

private:
    void mirrorForRightToLeft();

    std::array<CardSprite*, 5> m_cards{};
};

} // namespace halbeet
