// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pictures of the cards: faces rendered from an SVG deck (or drawn by hand when the deck
// is not installed) and thirteen back designs drawn by the program. Every picture is cached
// per card, size and device-pixel ratio, so a repaint only blits.

#include <QPixmap>
#include <QSize>
#include <QString>

namespace halbeet {

class CardArt {
public:
    static constexpr int BackDesigns = 13;

    // The face of (suite 1..4, number 1..13) at size logical pixels, rendered for dpr.
    // An invalid card gives a null pixmap.
    static QPixmap face(int suite, int number, QSize size, qreal dpr);
    // Back design 1..13 (out-of-range designs fold into that range).
    static QPixmap back(int design, QSize size, qreal dpr);
    // What a sprite with this Suite/Number shows: faces for 1..4, backs for -1..-13,
    // a null pixmap for 0 or anything else.
    static QPixmap forSprite(int suite, int number, QSize size, qreal dpr);

    // The SVG element of a face in the installed decks: "1_club" .. "king_diamond".
    static QString elementId(int suite, int number);

    // The deck file in use; an empty path means the faces are drawn by hand.
    static QString deckFile();
    // Replaces the deck file (tests: a missing file forces the hand-drawn faces) and
    // empties the cache.
    static void setDeckFile(const QString& path);
    // True once the deck has been parsed; it is parsed on the first face painted, once.
    static bool deckParsed();
    // Drops every cached picture.
    static void clearCache();

    // The hand-drawn face, used when no deck can be read.
    static QPixmap drawnFace(int suite, int number, QSize size, qreal dpr);
};

} // namespace halbeet
