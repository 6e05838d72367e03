// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The interface language of the run and every fixed text of both languages.
//
// The language is decided once, at start-up, from the stored code; nothing changes it
// during the run (the language commands only store the choice for the next start).
// English is the source language: its texts are written in language.cpp. Every other
// language is a Qt Linguist translation (translations/halbeet_<code>.ts, compiled into the
// program), and its code is the file's suffix in capitals ("ar" gives "AR"). Each language's
// texts are gathered once into one table; windows take the table of the current language
// through texts().

#include "stats_window/statistics_texts.h"

#include <QString>
#include <QStringList>

#include <array>

namespace halbeet {

// Called once at start with the stored code. Only the exact code of a language the program
// has ("AR", "EN") selects it; anything else means English.
void setCurrentLang(const QString& code);
// "AR" or "EN" (or the code of another language the program has been given).
QString CurrentLang();
bool isArabic();
// Installs Qt's own translations of the current language (the standard texts of Qt's
// widgets: a text field's context menu, standard buttons), when the system has them.
// Nothing is installed in English, and missing files leave Qt's texts in English.
void installQtTranslations();
// "الهلبيط" in Arabic, "Halbeet" in English: task-bar caption and custom-dialog caption.
QString applicationTitle();
// The help file of the current language, a plain file name to look for beside the program.
QString helpFileName();

struct MainWindowTexts {
    QString caption;
    QString N1;        // Game menu
    QString N9;        // Help menu
    QString N2;        // New Game
    QString N6;        // Options...
    QString N3;        // Last trick
    QString N4;        // Scores
    QString Language1; // Language submenu
    QString N15;       // Arabic
    QString English1;  // English
    QString N7;        // Exit
    QString N10;       // About
    QString N12;       // Help contents
    QString N13;       // About, in the trick cards' context menu
    QString Button1;   // the bid button
    QString ComboBox1Hint;
    QString playLabel;  // status label before the player to play
    QString dealLabel;  // status label before the dealer
    QString trumpLabel; // status label of the trump
    QString FullScreen; // the full-screen command (F11)
};

// Texts the game flow shows.
struct FlowTexts {
    QString ExitQuestion;
    // Under the exit question: whether the game in progress will be kept for the next start.
    QString ExitKeepsGame;
    QString ExitLosesGame;
    QString NewGameQuestion;
    // Under the new-game question after a won game: what Yes and No do.
    QString NewGameAfterWinDetails;
    // The statement of a won game, before the new-game question: who won, then both sides'
    // final scores (%1 %3 names, %2 %4 their scores).
    QString GameWonYourSide;
    QString GameWonOtherSide;
    QString YourSideScores;
    QString OtherSideScores;
    QString BidPrompt;
    QString PassNotice;
    QString EmptyHint;
    // Shown when the bid button is pressed with no bid chosen (the same in both languages).
    QString MissingBidNotice;
    // Shown after the user picks THIS language from the menu (so it is read from the table
    // of the chosen language, not of the running one).
    QString RestartNotice;
    // The settings file was over the size cap and has been moved aside; %1 is its new path.
    QString SettingsSetAside;
    // Help was asked for, and the program has no help files at all.
    QString NoHelp;
    // The help file exists, nothing on this computer opens it, and its pages are missing.
    QString HelpNotOpened;
};

struct OptionsTexts {
    QString caption;
    QString Label5; // heading of the human team
    QString Label1; // your name
    QString Label2; // partner name
    QString Label6; // heading of the other team
    QString Label3; // first opponent
    QString Label4; // second opponent
    QString Label9; // heading of the speed choice
    QString RadioButton3; // fast
    QString RadioButton4; // normal
    QString RadioButton5; // slow
    QString BitBtn1;      // OK
    QString BitBtn3;      // Cancel
    QString Card1Hint;
    QString SpeedButton1; // left arrow
    QString SpeedButton2; // right arrow
};

struct NameDialogTexts {
    QString caption;
    QString Label1; // greeting
    QString Label2; // question
    QString BitBtn1; // OK
    QString BitBtn2; // Close
};

// The players' names wherever they are typed: the computer players' names when none is
// stored, and what the name fields say when a name cannot be taken as it is.
struct NameTexts {
    std::array<QString, 5> defaults; // seats 2..4
    QString EmptyName;               // OK with the name dialog's field empty
    QString EmptyNames;              // OK with an empty name field in Options
    QString DuplicateName;           // the same name twice in Options
    QString NameCut;                 // typing or pasting past the longest name
};

struct LastTrickTexts {
    QString caption;
    QString Button1;
};

struct AboutTexts {
    QString caption;
    QString Button1;
    QString gameName;
    QString version;
};

struct ScoreSheetTexts {
    QString caption;
    QString Button1;
};

// Captions of the message dialogs. The custom type takes the application title instead.
struct MessageDialogTexts {
    // Warning, Error, Information, Confirmation.
    std::array<QString, 4> captions;
    // In the fixed button order: Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll,
    // YesToAll, Help, Close.
    std::array<QString, 12> buttons;
};

// The game saved when the program is quit, offered again at the next start.
struct SavedGameTexts {
    QString ResumeQuestion;
    QString UnreadableNotice; // %1: why, %2: where the file was kept
    QString NotASave;
    QString NewerVersion;
    QString Damaged;
    QString KeptNowhere; // stands for %2 when the file could not even be moved aside
    QString SaveFailedNotice; // %1: the file or folder
    QString ResumeOption;     // the check box in Options
};

// The Expert level, and the hints it gives the player.
struct ExpertTexts {
    QString HintItem;        // the Game menu's Hint command
    QString BidHint;         // %1: the bid
    QString CardHint;        // %1: the card, %2: why
    QString CardHintPlain;   // %1: the card, when no reason holds
    QString LevelCaption;    // Options: the heading of the level choice
    QString Classic;
    QString Expert;
    std::array<QString, 5> suitNames;  // 1..4: clubs, spades, hearts, diamonds
    std::array<QString, 14> rankNames; // 1..13
    QString cardName;                  // %1 rank, %2 suit
    std::array<QString, 13> reasons;   // by ExpertReason (NoReason has none)
};

// The choice of card faces in Options.
struct FacesTexts {
    QString Caption;      // the heading of the choice
    QString NoDecks;      // the only entry when no deck is installed
    QString PreviewHint;  // the tooltip of the preview
};

// What a screen reader says: the names of the things on the table and the announcements of
// what happens. Counts go through cardCount() and trickCount() for the plural forms.
struct AccessTexts {
    std::array<QString, 5> suits;  // 1..4: clubs, spades, hearts, diamonds
    std::array<QString, 14> ranks; // 1..13
    QString card;                  // %1 rank, %2 suit
    QString inHand;                // description of a card of the human's hand
    QString played;                // %1 player, %2 card
    QString playedDescription;
    QString hand;                  // %1 player, %2 count of cards
    QString taken;                 // %1 player, %2 count of tricks
    QString turnedUp;              // %1 the dealer, %2 the card
    QString bid;                   // %1 player, %2 the bid
    QString bidHidden;             // %1 player
    QString bidNone;               // %1 player
    QString bidBox;                // the bid list
    QString you, partner, rightOpponent, leftOpponent; // who sits behind a name
    QString warning;               // the follow-suit warning sign
    QString trumpPanel;            // %1 the suit
    QString noTrump;
    QString dealerPanel;           // %1 the name
    QString playPanel;             // %1 the name
    QString hintPanel;             // %1 the hint
    QString statusBar;
    QString table;                 // the green table itself
    QString menuBar;
    QString score;                 // %1 player, %2 score
    QString scoreLatest, scoreEarlier;
    QString lastTrickCard;         // %1 player, %2 card
    QString announcer;             // the description of the announcements' object
    // Announcements.
    QString deals;     // %1 the dealer, %2 the trump suit
    QString yourBid;
    QString bidMade;   // %1 player, %2 bid
    QString bidsShown; // %1 the list of bids
    QString bidItem;   // %1 player, %2 bid
    QString passed;
    QString plays;     // %1 player, %2 card
    QString toPlay;    // %1 player
    QString yourTurn;
    QString takes;     // %1 player, %2 count of tricks
    QString scored;    // %1 the list of changes
    QString scoreItem; // %1 player, %2 change, %3 score
    QString won;       // %1 player
    QString separator; // between the items of a list
    // "0 cards" .. "13 cards" and "0 tricks" .. "13 tricks", in the language's plural forms.
    std::array<QString, 14> cards;
    std::array<QString, 14> tricks;
};

// Tables over the network: hosting, joining, the side panel and its chat line.
struct NetworkTexts {
    QString hostItem;   // Game menu
    QString joinItem;
    QString leaveItem;
    QString hostCaption;
    QString hostIntro;
    QString partnerChair;
    QString rightChair;
    QString leftChair;
    QString openChair;    // a chair left for a friend
    QString classicChair; // a computer at either level
    QString expertChair;
    QString portLabel;
    QString hostButton;
    QString joinCaption;
    QString tablesFound;
    QString noTablesFound;
    QString foundTable; // %1 host's name, %2 address, %3 open chairs
    QString addressLabel;
    QString codeLabel;
    QString joinButton;
    QString rejoinButton;
    QString cancelButton;
    QString panelTitle;  // %1 the table's code
    QString reachTable;  // %1 addresses, %2 code
    QString browserLinks; // %1 the table's links, one a line
    QString qrCodeName;   // %1 the link the QR code holds: its accessible name
    QString copyButton;
    QString startButton;
    QString waitingForHost;
    QString waitingForFriends;
    QString openMark;     // who sits in an open chair
    QString computerMark; // %1 a name: a computer plays for him
    QString awayMark;     // %1 a name: his connection dropped
    QString connectionLost;
    QString reconnected;
    QString tableEnded; // %1 why
    QString hostFailed; // %1 why
    QString leaveQuestion;
    QString hostAgainQuestion; // %1 the kept table's code
    QString tableNotKept;      // %1 why
    QString closeTableQuestion;
    // Why a table was left, for the reasons a player meets; others are shown as the server says.
    QString noSuchTable;
    QString tableFull;
    QString closedByHost;
    QString gaveUp;
    QString tooManyWrongCodes;
    QString unknownToken;
    QString seatTakenElsewhere;
    QString chatPlaceholder;
    QString chatSend;
    QString chatTooFast;
    QString chatName;
    QString chatLine; // %1 name, %2 text: how a chat line is read aloud
};

struct LanguageTexts {
    QString code; // "AR" or "EN"
    QString name; // the language's name in itself: "English", "العربية"
    Qt::LayoutDirection direction = Qt::LeftToRight;
    QString applicationTitle;
    QString helpFileName;
    MainWindowTexts mainWindow;
    FlowTexts flow;
    OptionsTexts options;
    NameDialogTexts nameDialog;
    NameTexts names;
    LastTrickTexts lastTrick;
    AboutTexts about;
    ScoreSheetTexts scoreSheet;
    MessageDialogTexts messageDialog;
    SavedGameTexts savedGame;
    ExpertTexts expert;
    StatisticsTexts statistics;
    FacesTexts faces;
    AccessTexts access;
    NetworkTexts network;
};

// "9 cards", "1 card"; "3 tricks" in the current language, with its plural forms.
QString cardCount(int n);
QString trickCount(int n);

// Scores and other figures, as every window shows them: the sign stays on the left ("-3",
// "+2") in both languages. In a right-to-left interface the figure is kept one left-to-right
// run; left alone, the bidi rules put a leading minus on the right ("3-").
QString numberText(const QString& figure);
QString scoreText(int score);
// A change of score: "+2", "-3", "0".
QString scoreChangeText(int change);

// The name of a computer player (seat 2..4) when the settings file has none: the English
// default is what the file would hold, other languages name them in their own words.
QString defaultPlayerName(int seat);

const LanguageTexts& arabicTexts();
const LanguageTexts& englishTexts();
// The table of the current language.
const LanguageTexts& texts();
// The table of the language with this code; English for a code the program does not have.
const LanguageTexts& textsFor(const QString& code);
// The codes of every language the program has: "EN" first, then the translations by code.
QStringList availableLanguages();

} // namespace halbeet
