// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Players choose actions for the game; the game decides whether they are legal and applies
// them. The computer seats' Classic player is the fixed rule set, unchanged.

#include <cstdint>

#include "core/game.h"

namespace halbeet {

class Player {
public:
    virtual ~Player() = default;
    // The stored bid of seat, which is game.toAct() in the bidding phase.
    virtual std::int32_t chooseBid(const GameModel& game, int seat) = 0;
    // The card of seat, which is game.toAct() in the playing phase.
    virtual TCardFace chooseCard(const GameModel& game, int seat) = 0;
};

// The described computer player: ComputerBid and ComputerPlay's rules. It reads what those
// rules read, which includes the partner's hand by suit.
class ClassicPlayer final : public Player {
public:
    std::int32_t chooseBid(const GameModel& game, int seat) override;
    TCardFace chooseCard(const GameModel& game, int seat) override;
};

} // namespace halbeet
