// SPDX-License-Identifier: GPL-3.0-or-later
// The Classic computer player.

#include "core/player.h"

#include "core/bidding.h"
#include "core/computer_play.h"

namespace halbeet {

std::int32_t ClassicPlayer::chooseBid(const GameModel& game, int seat)
{
    const TGameState& st = game.state();
    const auto s = static_cast<std::size_t>(seat);
    std::int32_t bid = 0;
    ComputerBid(st.Hands[s], st.Trump, bid, st.Scores[s]);
    return bid;
}

TCardFace ClassicPlayer::chooseCard(const GameModel& game, int seat)
{
    return ChooseComputerCard(game.state(), ProfileOf(seat));
}

} // namespace halbeet
