// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <vector>

// Every fixed text of the program. The English texts written here are the source texts; the
// other languages' texts come from their translations (translations/halbeet_<code>.ts,
// compiled by the build into the resources under :/i18n). A text is looked up by its context
// (the window or part of the program), its English text and its key (the field it fills), so
// that two equal English texts may differ in another language. The texts are kept character
// for character, trailing spaces and doubled spaces included.
//
// To add a text: a field in the struct of language.h, one tr.translate(...) line below with
// the English text, then `cmake --build <build> --target update_translations` brings it into
// every .ts file, where its translations are filled in (Qt Linguist or a text editor).

namespace halbeet {

namespace {

const QString SourceCode = QStringLiteral("EN");
const QString TranslationFolder = QStringLiteral(":/i18n");
const QString TranslationPrefix = QStringLiteral("halbeet_");

// One language's texts: through its translation, or, for the source language, the English
// texts themselves. A text the translation lacks stays English.
class Translation {
  public:
    explicit Translation(const QTranslator* translator) : m_translator(translator) {}

    QString translate(const char* context, const char* source, const char* key) const
    {
        if (m_translator) {
            const QString text = m_translator->translate(context, source, key);
            if (!text.isEmpty())
                return text;
        }
        return QString::fromUtf8(source);
    }

    // A count: the translation's plural form for n, or the English source with "(s)" for
    // every n but 1. "%n" becomes the number.
    QString translate(const char* context, const char* source, const char* key, int n) const
    {
        QString text;
        if (m_translator)
            text = m_translator->translate(context, source, key, n);
        if (text.isEmpty())
            text = QString::fromUtf8(source).replace(QStringLiteral("(s)"),
                                                     n == 1 ? QString() : QStringLiteral("s"));
        return text.replace(QStringLiteral("%n"), QString::number(n));
    }

  private:
    const QTranslator* m_translator;
};

void addStatistics(StatisticsTexts& t, const Translation& tr)
{
    t.menuItem = tr.translate("Statistics", "&Statistics...", "menuItem");
    t.caption = tr.translate("Statistics", "Statistics", "caption");
    t.gamesPlayed = tr.translate("Statistics", "Games finished:", "gamesPlayed");
    t.gamesWon = tr.translate("Statistics", "Won by your side:", "gamesWon");
    t.gamesWonOf = tr.translate("Statistics", "%1 of %2 (%3)", "gamesWonOf");
    t.noGamesYet = tr.translate("Statistics", "none yet", "noGamesYet");
    t.winningStreak = tr.translate("Statistics", "Longest winning streak:", "winningStreak");
    t.dealsScored = tr.translate("Statistics", "Deals scored:", "dealsScored");
    t.averageChange =
        tr.translate("Statistics", "Your average score change per deal:", "averageChange");
    t.bidsHeading = tr.translate("Statistics", "Your bids", "bidsHeading");
    t.bidTricks = tr.translate("Statistics", "Bid", "bidTricks");
    t.bidCount = tr.translate("Statistics", "Times", "bidCount");
    t.bidMade = tr.translate("Statistics", "Made", "bidMade");
    t.bidRate = tr.translate("Statistics", "Success", "bidRate");
    t.noBids = tr.translate("Statistics", "No deal has been scored yet.", "noBids");
    t.scoreChart = tr.translate("Statistics", "This game's scores", "scoreChart");
    t.scoreAxisDeal = tr.translate("Statistics", "Deal", "scoreAxisDeal");
    t.scoreAxisPoints = tr.translate("Statistics", "Points", "scoreAxisPoints");
    t.noScores =
        tr.translate("Statistics", "No deal of this game has been scored yet.", "noScores");
    t.winRateChart = tr.translate("Statistics", "Your side's win rate", "winRateChart");
    t.winRateAxisGames = tr.translate("Statistics", "Games", "winRateAxisGames");
    t.winRateAxisRate = tr.translate("Statistics", "%", "winRateAxisRate");
    t.noGames = tr.translate("Statistics", "No game has been finished yet.", "noGames");
    t.resetButton = tr.translate("Statistics", "&Reset...", "resetButton");
    t.closeButton = tr.translate("Statistics", "&Close", "closeButton");
    t.resetQuestion = tr.translate("Statistics", "Forget all statistics? This cannot be undone.",
                                   "resetQuestion");
    t.unavailable =
        tr.translate("Statistics", "The statistics cannot be read just now.", "unavailable");
    t.windowMissing =
        tr.translate("Statistics", "The Statistics window cannot be shown:\n%1", "windowMissing");
    t.errorDamaged = tr.translate("Statistics",
                                  "The statistics file is damaged, so statistics are not being "
                                  "kept. Reset in the Statistics window starts a new file.\n%1",
                                  "errorDamaged");
    t.errorLocked = tr.translate("Statistics",
                                 "Another copy of Halbeet is using the statistics file; deals "
                                 "played in this copy may not be recorded.",
                                 "errorLocked");
    t.errorWriteFailed = tr.translate("Statistics",
                                      "Statistics cannot be saved (the disk may be full or the "
                                      "folder read-only). The game goes on.\n%1",
                                      "errorWriteFailed");
}

// What a screen reader hears: the names of what lies on the table, and the announcements.
void addAccess(AccessTexts& t, const Translation& tr)
{
    t.suits[1] = tr.translate("Access", "clubs", "suits[1]");
    t.suits[2] = tr.translate("Access", "spades", "suits[2]");
    t.suits[3] = tr.translate("Access", "hearts", "suits[3]");
    t.suits[4] = tr.translate("Access", "diamonds", "suits[4]");
    t.ranks[1] = tr.translate("Access", "Ace", "ranks[1]");
    t.ranks[2] = tr.translate("Access", "2", "ranks[2]");
    t.ranks[3] = tr.translate("Access", "3", "ranks[3]");
    t.ranks[4] = tr.translate("Access", "4", "ranks[4]");
    t.ranks[5] = tr.translate("Access", "5", "ranks[5]");
    t.ranks[6] = tr.translate("Access", "6", "ranks[6]");
    t.ranks[7] = tr.translate("Access", "7", "ranks[7]");
    t.ranks[8] = tr.translate("Access", "8", "ranks[8]");
    t.ranks[9] = tr.translate("Access", "9", "ranks[9]");
    t.ranks[10] = tr.translate("Access", "10", "ranks[10]");
    t.ranks[11] = tr.translate("Access", "Jack", "ranks[11]");
    t.ranks[12] = tr.translate("Access", "Queen", "ranks[12]");
    t.ranks[13] = tr.translate("Access", "King", "ranks[13]");
    t.card = tr.translate("Access", "%1 of %2", "card");
    t.inHand = tr.translate("Access", "in your hand", "inHand");
    t.played = tr.translate("Access", "%1: %2", "played");
    t.playedDescription = tr.translate("Access", "on the table in this trick", "playedDescription");
    t.hand = tr.translate("Access", "%1: %2", "hand");
    t.taken = tr.translate("Access", "%1 has taken %2", "taken");
    t.turnedUp = tr.translate("Access", "%1 turned up %2", "turnedUp");
    t.bid = tr.translate("Access", "Bid of %1: %2", "bid");
    t.bidHidden = tr.translate("Access", "Bid of %1: not shown yet", "bidHidden");
    t.bidNone = tr.translate("Access", "Bid of %1: none yet", "bidNone");
    t.bidBox = tr.translate("Access", "Your bid", "bidBox");
    t.you = tr.translate("Access", "you", "you");
    t.partner = tr.translate("Access", "your partner", "partner");
    t.rightOpponent = tr.translate("Access", "right-hand opponent", "rightOpponent");
    t.leftOpponent = tr.translate("Access", "left-hand opponent", "leftOpponent");
    t.warning = tr.translate("Access", "That card does not follow suit", "warning");
    t.trumpPanel = tr.translate("Access", "Trump: %1", "trumpPanel");
    t.noTrump = tr.translate("Access", "Trump: none", "noTrump");
    t.dealerPanel = tr.translate("Access", "Dealer: %1", "dealerPanel");
    t.playPanel = tr.translate("Access", "To play: %1", "playPanel");
    t.hintPanel = tr.translate("Access", "Hint: %1", "hintPanel");
    t.statusBar = tr.translate("Access", "Status bar", "statusBar");
    t.table = tr.translate("Access", "Card table", "table");
    t.menuBar = tr.translate("Access", "Menu bar", "menuBar");
    t.score = tr.translate("Access", "%1: %2", "score");
    t.scoreLatest = tr.translate("Access", "latest score", "scoreLatest");
    t.scoreEarlier = tr.translate("Access", "earlier score", "scoreEarlier");
    t.lastTrickCard = tr.translate("Access", "%1: %2", "lastTrickCard");
    t.announcer = tr.translate("Access", "What happens in the game", "announcer");
    t.deals = tr.translate("Access", "New deal: %1 deals, trump is %2", "deals");
    t.yourBid = tr.translate("Access", "Your turn to bid", "yourBid");
    t.bidMade = tr.translate("Access", "%1 bids %2", "bidMade");
    t.bidsShown = tr.translate("Access", "Bids: %1", "bidsShown");
    t.bidItem = tr.translate("Access", "%1 %2", "bidItem");
    t.passed = tr.translate("Access", "The bids total less than 11; the deal is dealt again", "passed");
    t.plays = tr.translate("Access", "%1 plays %2", "plays");
    t.toPlay = tr.translate("Access", "%1 to play", "toPlay");
    t.yourTurn = tr.translate("Access", "Your turn", "yourTurn");
    t.takes = tr.translate("Access", "%1 takes the trick, %2 now", "takes");
    t.scored = tr.translate("Access", "Deal scored: %1", "scored");
    t.scoreItem = tr.translate("Access", "%1 %2, total %3", "scoreItem");
    t.won = tr.translate("Access", "%1 wins the game for his side", "won");
    t.separator = tr.translate("Access", ", ", "separator");
    for (int n = 0; n < int(t.cards.size()); ++n) {
        t.cards[std::size_t(n)] = tr.translate("Access", "%n card(s)", "cards", n);
        t.tricks[std::size_t(n)] = tr.translate("Access", "%n trick(s)", "tricks", n);
    }
}

LanguageTexts makeTexts(const QString& code, const Translation& tr)
{
    LanguageTexts t;
    t.code = code;
    //: This language's name in itself, as the Language menu lists it.
    t.name = tr.translate("Language", "English", "name");
    // Qt's convention: a right-to-left translation translates this to "RTL".
    const QString direction = tr.translate(
        "QGuiApplication", "QT_LAYOUT_DIRECTION",
        "Translate this string to the string 'LTR' in left-to-right languages or to 'RTL' in "
        "right-to-left languages (such as Hebrew and Arabic) to get proper widget layout.");
    t.direction = direction == QLatin1String("RTL") ? Qt::RightToLeft : Qt::LeftToRight;
    t.applicationTitle = tr.translate("Language", "Halbeet", "applicationTitle");
    t.helpFileName = tr.translate("Language", "HalbeetEnglish.chm", "helpFileName");
    t.mainWindow.caption = tr.translate("MainWindow", "Halbeet", "caption");
    t.mainWindow.N1 = tr.translate("MainWindow", "&Game", "N1");
    t.mainWindow.N9 = tr.translate("MainWindow", "&Help", "N9");
    t.mainWindow.N2 = tr.translate("MainWindow", "New Game", "N2");
    t.mainWindow.N6 = tr.translate("MainWindow", "Options...", "N6");
    t.mainWindow.N3 = tr.translate("MainWindow", "Last Trick", "N3");
    t.mainWindow.N4 = tr.translate("MainWindow", "Scores", "N4");
    t.mainWindow.Language1 = tr.translate("MainWindow", "Language", "Language1");
    //: Arabic in Arabic: the same in every language.
    t.mainWindow.N15 = tr.translate("MainWindow", "العربية", "N15");
    //: English in English: the same in every language.
    t.mainWindow.English1 = tr.translate("MainWindow", "English", "English1");
    t.mainWindow.N7 = tr.translate("MainWindow", "Exit", "N7");
    t.mainWindow.FullScreen = tr.translate("MainWindow", "&Full Screen", "FullScreen");
    t.mainWindow.N10 = tr.translate("MainWindow", "About", "N10");
    t.mainWindow.N12 = tr.translate("MainWindow", "Help Contents", "N12");
    t.mainWindow.N13 = tr.translate("MainWindow", "About", "N13");
    t.mainWindow.Button1 = tr.translate("MainWindow", "Ok", "Button1");
    t.mainWindow.ComboBox1Hint = tr.translate("MainWindow", "Choose your bid", "ComboBox1Hint");
    t.mainWindow.playLabel = tr.translate("MainWindow", "Play", "playLabel");
    t.mainWindow.dealLabel = tr.translate("MainWindow", "Deal", "dealLabel");
    t.mainWindow.trumpLabel = tr.translate("MainWindow", "Halbeet", "trumpLabel");
    t.flow.ExitQuestion = tr.translate("Flow", "Do you want to exit?", "ExitQuestion");
    t.flow.ExitKeepsGame = tr.translate(
        "Flow", "The game in progress will be kept and offered when Halbeet starts again.",
        "ExitKeepsGame");
    t.flow.ExitLosesGame =
        tr.translate("Flow", "The game in progress will not be kept.", "ExitLosesGame");
    t.flow.NewGameQuestion =
        tr.translate("Flow", "Do you want to begin a new Game?!", "NewGameQuestion");
    t.flow.NewGameAfterWinDetails = tr.translate(
        "Flow", "Yes deals the first hand of a new game. No closes Halbeet.", "NewGameAfterWinDetails");
    t.flow.GameWonYourSide = tr.translate("Flow", "Your side has won the game!", "GameWonYourSide");
    t.flow.GameWonOtherSide =
        tr.translate("Flow", "The other side has won the game.", "GameWonOtherSide");
    //: %1 and %3: the names of the human and his partner; %2 and %4: their final scores.
    t.flow.YourSideScores = tr.translate("Flow", "Your side: %1 %2, %3 %4", "YourSideScores");
    //: %1 and %3: the names of the two opponents; %2 and %4: their final scores.
    t.flow.OtherSideScores =
        tr.translate("Flow", "The other side: %1 %2, %3 %4", "OtherSideScores");
    t.flow.BidPrompt = tr.translate("Flow", "Choose your bid ...", "BidPrompt");
    t.flow.PassNotice = tr.translate("Flow", "Bids are less than 11; deal passes.", "PassNotice");
    t.flow.EmptyHint = QString();
    //: Shown in Arabic in every language.
    t.flow.MissingBidNotice =
        tr.translate("Flow", "أدخل توقعك لعدد الرميات الرابحة.", "MissingBidNotice");
    t.flow.RestartNotice = tr.translate(
        "Flow", "you must restart the game before new settings will take effect", "RestartNotice");
    t.flow.SettingsSetAside =
        tr.translate("Flow",
                     "The settings file was too large to be read, so a new one has been started. "
                     "The old file has been kept, unchanged, as:\n%1",
                     "SettingsSetAside");
    t.flow.NoHelp = tr.translate(
        "Flow", "The help files of this game are not installed on this computer.", "NoHelp");
    t.flow.HelpNotOpened = tr.translate(
        "Flow", "No program on this computer can open the help file:\n%1", "HelpNotOpened");
    t.options.caption = tr.translate("Options", "Option", "caption");
    t.options.Label5 = tr.translate("Options", "Team A", "Label5");
    t.options.Label1 = tr.translate("Options", "Your Name", "Label1");
    t.options.Label2 = tr.translate("Options", "Partner Name", "Label2");
    t.options.Label6 = tr.translate("Options", "Team B", "Label6");
    t.options.Label3 = tr.translate("Options", "Player1", "Label3");
    t.options.Label4 = tr.translate("Options", "Player2", "Label4");
    t.options.Label9 = tr.translate("Options", "Playing Speed", "Label9");
    t.options.RadioButton3 = tr.translate("Options", "Fast", "RadioButton3");
    t.options.RadioButton4 = tr.translate("Options", "Normal", "RadioButton4");
    t.options.RadioButton5 = tr.translate("Options", "Slow", "RadioButton5");
    t.options.BitBtn1 = tr.translate("Options", "&Ok", "BitBtn1");
    t.options.BitBtn3 = tr.translate("Options", "&Cancel", "BitBtn3");
    t.options.Card1Hint = tr.translate("Options", "Choose Cards Back", "Card1Hint");
    t.options.SpeedButton1 = tr.translate("Options", "<", "SpeedButton1");
    t.options.SpeedButton2 = tr.translate("Options", ">", "SpeedButton2");
    t.nameDialog.caption = tr.translate("NameDialog", "Halbeet", "caption");
    t.nameDialog.Label1 = tr.translate("NameDialog", "Welcome to Halbeet", "Label1");
    t.nameDialog.Label2 = tr.translate("NameDialog", "What is your name?", "Label2");
    t.nameDialog.BitBtn1 = tr.translate("NameDialog", "&Ok", "BitBtn1");
    t.nameDialog.BitBtn2 = tr.translate("NameDialog", "&Close", "BitBtn2");
    t.names.defaults = {QString(), QString(), tr.translate("Names", "Player2", "defaults[2]"),
                        tr.translate("Names", "Player3", "defaults[3]"),
                        tr.translate("Names", "Player4", "defaults[4]")};
    t.names.EmptyName = tr.translate("Names", "Please type your name.", "EmptyName");
    t.names.EmptyNames = tr.translate("Names", "Every player needs a name.", "EmptyNames");
    t.names.DuplicateName =
        tr.translate("Names", "Two players cannot have the same name.", "DuplicateName");
    t.names.NameCut = tr.translate("Names", "A name has at most 8 characters.", "NameCut");
    t.lastTrick.caption = tr.translate("LastTrick", "Last Shot", "caption");
    t.lastTrick.Button1 = tr.translate("LastTrick", "Close", "Button1");
    t.about.caption = tr.translate("About", "About", "caption");
    t.about.Button1 = tr.translate("About", "&Ok", "Button1");
    t.about.gameName = tr.translate("About", "Halbeet", "gameName");
    t.about.version = tr.translate("About", "Version  2.0", "version");
    t.scoreSheet.caption = tr.translate("ScoreSheet", "Scores", "caption");
    t.scoreSheet.Button1 = tr.translate("ScoreSheet", "&Ok", "Button1");
    t.messageDialog.captions = {tr.translate("MessageDialog", "Warning", "captions[0]"),
                                tr.translate("MessageDialog", "Error", "captions[1]"),
                                tr.translate("MessageDialog", "Information", "captions[2]"),
                                tr.translate("MessageDialog", "Confirm", "captions[3]")};
    t.messageDialog.buttons = {tr.translate("MessageDialog", "&Yes", "buttons[0]"),
                               tr.translate("MessageDialog", "&No", "buttons[1]"),
                               tr.translate("MessageDialog", "&Ok", "buttons[2]"),
                               tr.translate("MessageDialog", "Cancel", "buttons[3]"),
                               tr.translate("MessageDialog", "&Abort", "buttons[4]"),
                               tr.translate("MessageDialog", "&Retry", "buttons[5]"),
                               tr.translate("MessageDialog", "&Ignore", "buttons[6]"),
                               tr.translate("MessageDialog", "&All", "buttons[7]"),
                               tr.translate("MessageDialog", "N&o to All", "buttons[8]"),
                               tr.translate("MessageDialog", "Yes to &All", "buttons[9]"),
                               tr.translate("MessageDialog", "&Help", "buttons[10]"),
                               tr.translate("MessageDialog", "&Close", "buttons[11]")};
    NetworkTexts& n = t.network;
    n.hostItem = tr.translate("Network", "&Host a table...", "hostItem");
    n.joinItem = tr.translate("Network", "&Join a table...", "joinItem");
    n.leaveItem = tr.translate("Network", "&Leave the table", "leaveItem");
    n.hostCaption = tr.translate("Network", "Host a table", "hostCaption");
    n.hostIntro = tr.translate("Network", "Choose who sits in each chair. Friends take the open chairs; "
                                          "computers fill those still open when you start.", "hostIntro");
    n.partnerChair = tr.translate("Network", "Partner", "partnerChair");
    n.rightChair = tr.translate("Network", "Opponent on the right", "rightChair");
    n.leftChair = tr.translate("Network", "Opponent on the left", "leftChair");
    n.openChair = tr.translate("Network", "Open for a friend", "openChair");
    n.classicChair = tr.translate("Network", "Computer (Classic)", "classicChair");
    n.expertChair = tr.translate("Network", "Computer (Expert)", "expertChair");
    n.portLabel = tr.translate("Network", "Port", "portLabel");
    n.hostButton = tr.translate("Network", "&Host", "hostButton");
    n.joinCaption = tr.translate("Network", "Join a table", "joinCaption");
    n.tablesFound = tr.translate("Network", "Tables on your network:", "tablesFound");
    n.noTablesFound = tr.translate("Network", "No table found on your network yet.", "noTablesFound");
    n.foundTable = tr.translate("Network", "%1 at %2 (open chairs: %3)", "foundTable");
    n.addressLabel = tr.translate("Network", "Address", "addressLabel");
    n.codeLabel = tr.translate("Network", "Table code", "codeLabel");
    n.joinButton = tr.translate("Network", "&Join", "joinButton");
    n.rejoinButton = tr.translate("Network", "&Back to my last table", "rejoinButton");
    n.cancelButton = tr.translate("Network", "Cancel", "cancelButton");
    n.panelTitle = tr.translate("Network", "Table %1", "panelTitle");
    n.reachTable = tr.translate("Network", "Friends join at %1 with the code %2", "reachTable");
    n.browserLinks = tr.translate("Network", "Or in a web browser:\n%1", "browserLinks");
    n.qrCodeName = tr.translate("Network", "QR code of the link %1", "qrCodeName");
    n.copyButton = tr.translate("Network", "&Copy", "copyButton");
    n.startButton = tr.translate("Network", "&Start the game", "startButton");
    n.waitingForHost = tr.translate("Network", "Waiting for the host to start the game.", "waitingForHost");
    n.waitingForFriends = tr.translate("Network", "Start when your friends are seated.", "waitingForFriends");
    n.openMark = tr.translate("Network", "(open)", "openMark");
    n.computerMark = tr.translate("Network", "%1 (computer)", "computerMark");
    n.awayMark = tr.translate("Network", "%1 (away)", "awayMark");
    n.connectionLost = tr.translate("Network", "Connection lost; reconnecting...", "connectionLost");
    n.reconnected = tr.translate("Network", "Back at the table.", "reconnected");
    n.tableEnded = tr.translate("Network", "You are no longer at the table: %1", "tableEnded");
    n.hostFailed = tr.translate("Network", "The table could not be opened: %1", "hostFailed");
    n.hostAgainQuestion = tr.translate("Network",
                                       "Your table %1 was kept when your game ended. Open it again? "
                                       "Your friends come back to it with the same code.",
                                       "hostAgainQuestion");
    n.tableNotKept = tr.translate("Network", "Your table could not be kept: %1", "tableNotKept");
    n.leaveQuestion = tr.translate("Network", "Leave the table? A computer will play your seat.", "leaveQuestion");
    n.closeTableQuestion =
        tr.translate("Network", "Close your table? Your friends will leave it too.", "closeTableQuestion");
    n.noSuchTable = tr.translate("Network", "no table has this code", "noSuchTable");
    n.tableFull = tr.translate("Network", "every chair is taken", "tableFull");
    n.closedByHost = tr.translate("Network", "the host closed the table", "closedByHost");
    n.gaveUp = tr.translate("Network", "the table could not be reached again", "gaveUp");
    n.unknownToken = tr.translate("Network", "the table no longer knows this seat's token", "unknownToken");
    n.seatTakenElsewhere =
        tr.translate("Network", "your seat was taken back from another connection", "seatTakenElsewhere");
    n.tooManyWrongCodes = tr.translate("Network", "too many wrong codes; try again in a minute", "tooManyWrongCodes");
    n.chatPlaceholder = tr.translate("Network", "Say something to the table", "chatPlaceholder");
    n.chatSend = tr.translate("Network", "Send", "chatSend");
    n.chatTooFast = tr.translate("Network", "Not so fast: wait a moment.", "chatTooFast");
    n.chatName = tr.translate("Network", "Chat", "chatName");
    n.chatLine = tr.translate("Network", "%1 says: %2", "chatLine");
    t.expert.HintItem = tr.translate("Expert", "&Hint", "HintItem");
    t.expert.BidHint = tr.translate("Expert", "Hint: bid %1", "BidHint");
    t.expert.CardHint = tr.translate("Expert", "Hint: %1 (%2)", "CardHint");
    t.expert.CardHintPlain = tr.translate("Expert", "Hint: %1", "CardHintPlain");
    t.expert.LevelCaption = tr.translate("Expert", "Computer Players", "LevelCaption");
    t.expert.Classic = tr.translate("Expert", "Classic", "Classic");
    t.expert.Expert = tr.translate("Expert", "Expert", "Expert");
    t.expert.suitNames = {QString(), tr.translate("Expert", "clubs", "suitNames[1]"),
                          tr.translate("Expert", "spades", "suitNames[2]"),
                          tr.translate("Expert", "hearts", "suitNames[3]"),
                          tr.translate("Expert", "diamonds", "suitNames[4]")};
    t.expert.rankNames = {QString(),
                          tr.translate("Expert", "ace", "rankNames[1]"),
                          tr.translate("Expert", "2", "rankNames[2]"),
                          tr.translate("Expert", "3", "rankNames[3]"),
                          tr.translate("Expert", "4", "rankNames[4]"),
                          tr.translate("Expert", "5", "rankNames[5]"),
                          tr.translate("Expert", "6", "rankNames[6]"),
                          tr.translate("Expert", "7", "rankNames[7]"),
                          tr.translate("Expert", "8", "rankNames[8]"),
                          tr.translate("Expert", "9", "rankNames[9]"),
                          tr.translate("Expert", "10", "rankNames[10]"),
                          tr.translate("Expert", "jack", "rankNames[11]"),
                          tr.translate("Expert", "queen", "rankNames[12]"),
                          tr.translate("Expert", "king", "rankNames[13]")};
    t.expert.cardName = tr.translate("Expert", "%1 of %2", "cardName");
    //: Short: the hint panel is the status bar's last panel.
    t.expert.reasons = {tr.translate("Expert", "the only card", "reasons[0]"),
                        tr.translate("Expert", "takes the trick", "reasons[1]"),
                        tr.translate("Expert", "trumps it", "reasons[2]"),
                        tr.translate("Expert", "over-trumps", "reasons[3]"),
                        tr.translate("Expert", "partner is winning", "reasons[4]"),
                        tr.translate("Expert", "keep high cards", "reasons[5]"),
                        tr.translate("Expert", "least useful card", "reasons[6]"),
                        tr.translate("Expert", "a sure winner", "reasons[7]"),
                        tr.translate("Expert", "draws trumps", "reasons[8]"),
                        tr.translate("Expert", "a low lead", "reasons[9]"),
                        tr.translate("Expert", "best over the deals", "reasons[10]"),
                        tr.translate("Expert", "lowest is best", "reasons[11]"),
                        tr.translate("Expert", "cannot take the trick", "reasons[12]")};
    t.savedGame.ResumeQuestion = tr.translate(
        "SavedGame",
        "The last game was not finished when Halbeet was closed. Do you want to continue it?",
        "ResumeQuestion");
    t.savedGame.UnreadableNotice = tr.translate(
        "SavedGame",
        "The saved game could not be read (%1).\nIt has been kept as:\n%2\nA new game begins.",
        "UnreadableNotice");
    t.savedGame.NotASave = tr.translate("SavedGame", "the file is not a saved game", "NotASave");
    t.savedGame.NewerVersion =
        tr.translate("SavedGame", "it was saved by a newer version of Halbeet", "NewerVersion");
    t.savedGame.Damaged = tr.translate("SavedGame", "the file is damaged", "Damaged");
    t.savedGame.KeptNowhere =
        tr.translate("SavedGame", "(it could not be kept and was removed)", "KeptNowhere");
    t.savedGame.SaveFailedNotice = tr.translate(
        "SavedGame",
        "The game could not be saved to:\n%1\nIt will not be offered at the next start.",
        "SaveFailedNotice");
    t.savedGame.ResumeOption =
        tr.translate("SavedGame", "Continue an unfinished game at the next start", "ResumeOption");
    t.faces.Caption = tr.translate("Faces", "Card Faces", "Caption");
    t.faces.NoDecks = tr.translate("Faces", "Simple faces (no deck installed)", "NoDecks");
    t.faces.PreviewHint = tr.translate("Faces", "How the chosen cards look", "PreviewHint");
    addStatistics(t.statistics, tr);
    addAccess(t.access, tr);
    return t;
}

// Every language of the program, built once: English first, then each compiled translation.
const std::vector<LanguageTexts>& languages()
{
    static const std::vector<LanguageTexts> all = [] {
        std::vector<LanguageTexts> list;
        list.push_back(makeTexts(SourceCode, Translation(nullptr)));
        const QDir folder(TranslationFolder);
        for (const QString& file : folder.entryList({TranslationPrefix + QStringLiteral("*.qm")},
                                                    QDir::Files, QDir::Name)) {
            QTranslator translator;
            if (!translator.load(folder.filePath(file)))
                continue;
            const QString code =
                file.mid(TranslationPrefix.size()).chopped(3).toUpper(); // "halbeet_ar.qm": "AR"
            if (code.isEmpty() || code == SourceCode)
                continue;
            list.push_back(makeTexts(code, Translation(&translator)));
        }
        return list;
    }();
    return all;
}

const LanguageTexts* g_current = nullptr;

} // namespace

void setCurrentLang(const QString& code)
{
    // Exact comparison: "ar" or "FR" in the file mean English.
    g_current = &textsFor(code);
}

QString CurrentLang()
{
    return texts().code;
}

bool isArabic()
{
    return texts().code == QLatin1String("AR");
}

QString applicationTitle()
{
    return texts().applicationTitle;
}

QString helpFileName()
{
    return texts().helpFileName;
}

void installQtTranslations()
{
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || texts().code == SourceCode)
        return;
    // Qt's catalogue carries its own reading direction, which would turn the whole program
    // around on installing it; the windows set their direction themselves and the table reads
    // left to right in every language, so the application keeps the direction it has.
    QGuiApplication::setLayoutDirection(QGuiApplication::layoutDirection());
    auto* qt = new QTranslator(app);
    if (!qt->load(QLocale(texts().code.toLower()), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt; // Qt's texts stay English
        return;
    }
    QCoreApplication::installTranslator(qt);
    installed = qt;
}

const LanguageTexts& arabicTexts()
{
    return textsFor(QStringLiteral("AR"));
}

const LanguageTexts& englishTexts()
{
    return textsFor(SourceCode);
}

const LanguageTexts& texts()
{
    return g_current ? *g_current : englishTexts();
}

const LanguageTexts& textsFor(const QString& code)
{
    const std::vector<LanguageTexts>& all = languages();
    for (const LanguageTexts& language : all) {
        if (language.code == code)
            return language;
    }
    return all.front();
}

QStringList availableLanguages()
{
    QStringList codes;
    for (const LanguageTexts& language : languages())
        codes << language.code;
    return codes;
}

QString numberText(const QString& figure)
{
    if (texts().direction == Qt::LeftToRight)
        return figure;
    // Marks rather than isolates: the Qt this builds against does not know the isolates.
    return QChar(0x200E) + figure + QChar(0x200E);
}

QString scoreText(int score)
{
    return numberText(QString::number(score));
}

QString scoreChangeText(int change)
{
    return numberText(change > 0 ? QStringLiteral("+%1").arg(change) : QString::number(change));
}

QString defaultPlayerName(int seat)
{
    return seat >= 2 && seat <= 4 ? texts().names.defaults[std::size_t(seat)] : QString();
}

QString cardCount(int n)
{
    const auto& forms = texts().access.cards;
    return n >= 0 && n < int(forms.size()) ? forms[std::size_t(n)] : QString::number(n);
}

QString trickCount(int n)
{
    const auto& forms = texts().access.tricks;
    return n >= 0 && n < int(forms.size()) ? forms[std::size_t(n)] : QString::number(n);
}

} // namespace halbeet
