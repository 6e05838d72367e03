// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pictures of the cards: faces rendered from an SVG deck (or drawn by hand when the deck
// is not installed) and thirteen back designs drawn by the program. Every picture is cached
// per card, size and device-pixel ratio, so a repaint only blits.

#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace halbeet {

// An installed SVG deck: its folder's name (what the settings file keeps), its name in the
// current language and its picture file.
struct CardDeck {
    QString id;
    QString name;
    QString file;
};

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

    // The folder the decks are installed in: HALBEET_CARDDECKS from the environment, or the
    // system's card-data folder. Changing it (tests) empties the cache.
    static QString deckFolder();
    static void setDeckFolder(const QString& folder);
    // Every deck in that folder with an index and an SVG file, named in Arabic or English
    // and sorted by that name. Decks whose suits are not the French ones (the German suits)
    // are left out: the status bar and the hints name French suits. Telling them apart reads
    // each deck once per run.
    static QList<CardDeck> installedDecks(bool arabic);
    // Reads the installed decks for installedDecks on another thread, so the list is ready
    // when it is first asked for.
    static void sortDecksInBackground();
    // The id of the deck used when none is chosen, or empty when none of those is installed.
    static QString defaultDeck();

    // The faces asked for: an installed deck's id, or empty for the default deck. A deck
    // that is gone, cannot be read, is not valid SVG or lacks a face is passed over for the
    // default deck, and that for the hand-drawn faces, without a word. Empties the cache.
    static void setDeck(const QString& id);
    static QString chosenDeck();
    // The id of the deck whose faces are painted, after the fallback (parses the deck);
    // empty when the faces are drawn by hand or come from a file given by setDeckFile.
    static QString deckInUse();
    // A few faces of a deck, each at cardSize and overlapping, from left to right, for a
    // preview; the same fallback as the table. The deck is parsed for the call and dropped.
    static QPixmap preview(const QString& id, QSize cardSize, qreal dpr);

    // The deck file in use (before the first face is painted: the one that will be tried
    // first); an empty path means the faces are drawn by hand.
    static QString deckFile();
    // Replaces the deck by that one file, without fallback (tests: a missing file forces the
    // hand-drawn faces), and empties the cache.
    static void setDeckFile(const QString& path);
    // True once the deck has been parsed; it is parsed on the first face painted, once.
    static bool deckParsed();
    // Drops every cached picture.
    static void clearCache();

    // The hand-drawn face, used when no deck can be read.
    static QPixmap drawnFace(int suite, int number, QSize size, qreal dpr);
};

} // namespace halbeet
