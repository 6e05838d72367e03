#include "ui/main_window.h"

#include "core/analysis.h"
#include "core/bidding.h"
#include "core/computer_play.h"
#include "core/deal_cycle.h"
#include "core/suits.h"
#include "settings/settings.h"
#include "ui/about.h"
#include "ui/arabic_style.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/last_trick.h"
#include "ui/message_dialog.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/options_dialog.h"
#include "ui/score_sheet.h"
#include "ui/statistics.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace halbeet {

namespace {

// The bids the human may choose, by the lowest bid his score allows.
QStringList bidItems(int score)
{
    QStringList items{QStringLiteral("2"),  QStringLiteral("3"),  QStringLiteral("4"),
                      QStringLiteral("5"),  QStringLiteral("6"),  QStringLiteral("14"),
                      QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("20"),
                      QStringLiteral("22"), QStringLiteral("24"), QStringLiteral("26")};
    const int lowest = score >= 40 ? 4 : score >= 30 ? 3 : 2;
    return items.mid(lowest - 2);
}

} // namespace

TForm1::TForm1(TGameState& state, SeedSource seedSource, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_random(std::move(seedSource))
{
    setObjectName(QStringLiteral("TForm1"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_table = new Table(client);
    m_statusBar = new TStatusBar(m_state, client);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(m_table);
    layout->addWidget(m_statusBar);
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    createMenus();

    // The secondary windows exist once for the run, created in this order.
    m_about = new TAboutBox(this);
    m_scores = new TScores(m_state, *m_table, *m_statusBar, this);
    m_options = new Tstings(*m_table, *m_statusBar, m_state, this);
    m_lastShot = new TLASTSHOT(this);
    m_scores->setDealClosedHandler([this] { scoreSheetClosedAfterDeal(); });

    connect(m_table, &Table::humanCardClicked, this, &TForm1::PlayCard);
    connect(m_table->bidButton(), &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(m_table->bidBox(), &QComboBox::currentTextChanged, this, &TForm1::ComboBox1Change);
    connect(m_table->aboutAction(), &QAction::triggered, this, &TForm1::N10Click);

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createMenus()
{
    auto addItem = [this](QMenu* menu, const QString& name, void (TForm1::*handler)(),
                          const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(name);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    QMenu* game = menuBar()->addMenu(QString());
    game->setObjectName(QStringLiteral("N1"));
    game->menuAction()->setObjectName(QStringLiteral("N1"));
    addItem(game, QStringLiteral("N2"), &TForm1::N2Click, Qt::Key_F2);
    game->addSeparator()->setObjectName(QStringLiteral("N5"));
    addItem(game, QStringLiteral("N6"), &TForm1::N6Click);
    addItem(game, QStringLiteral("N3"), &TForm1::N3Click, Qt::Key_F4);
    addItem(game, QStringLiteral("N4"), &TForm1::N4Click, Qt::Key_F3);
    addItem(game, QStringLiteral("Statistics"), &TForm1::StatisticsClick)
        ->setText(texts().statistics.menuItem);
    game->addSeparator()->setObjectName(QStringLiteral("N16"));
    QMenu* language = game->addMenu(QString());
    language->setObjectName(QStringLiteral("Language1"));
    language->menuAction()->setObjectName(QStringLiteral("Language1"));
    addItem(language, QStringLiteral("N15"), &TForm1::N15Click)->setCheckable(true);
    addItem(language, QStringLiteral("English1"), &TForm1::English1Click)->setCheckable(true);
    game->addSeparator()->setObjectName(QStringLiteral("N8"));
    addItem(game, QStringLiteral("N7"), &TForm1::N7Click);

    QMenu* help = menuBar()->addMenu(QString());
    help->setObjectName(QStringLiteral("N9"));
    help->menuAction()->setObjectName(QStringLiteral("N9"));
    addItem(help, QStringLiteral("N10"), &TForm1::N10Click);
    addItem(help, QStringLiteral("N12"), &TForm1::N12Click, Qt::Key_F1);
}

QAction* TForm1::menuItem(const QString& name) const
{
    const auto actions = findChildren<QAction*>(name);
    return actions.isEmpty() ? nullptr : actions.first();
}

QLabel* TForm1::nameLabel(int seat) const { return m_table->nameLabel(seat); }

void TForm1::FormCreate()
{
    // The deal reseeds from the clock before every shuffle; this first seeding only keeps the
    // generator's state from being a constant.
    m_random.Reseed();
    m_state.ScoreRow = 1;
    adjustSize();
    m_glideStep = ComputeGlideStep(sizeHint().height());
    applyLanguage();
}

void TForm1::applyLanguage()
{
    const MainWindowTexts& t = texts().mainWindow;
    setWindowTitle(t.caption);
    const Qt::LayoutDirection direction = languageDirection();
    // The table reads left to right in both languages; the bars follow the language.
    menuBar()->setLayoutDirection(direction);
    m_statusBar->setLayoutDirection(direction);
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        menu->setLayoutDirection(direction);
    m_table->trickMenu()->setLayoutDirection(direction);

    const std::pair<const char*, QString> captions[] = {
        {"N1", t.N1},   {"N9", t.N9},   {"N2", t.N2},   {"N6", t.N6},
        {"N3", t.N3},   {"N4", t.N4},   {"Language1", t.Language1},
        {"N15", t.N15}, {"English1", t.English1},       {"N7", t.N7},
        {"N10", t.N10}, {"N12", t.N12},
    };
    for (const auto& [name, caption] : captions) {
        for (QAction* action : findChildren<QAction*>(QString::fromLatin1(name)))
            action->setText(caption);
    }
    m_table->aboutAction()->setText(t.N13);
    m_table->bidButton()->setText(t.Button1);
    m_table->bidBox()->setToolTip(t.ComboBox1Hint);

    m_checkedLang = CurrentLang();
    menuItem(QStringLiteral("N15"))->setChecked(isArabic());
    menuItem(QStringLiteral("English1"))->setChecked(!isArabic());
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_timer1 || m_names)
        return;
    // FormShow: the name dialog comes half a second after the window, once per run.
    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(m_nameDialogDelay);
    connect(m_timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    m_timer1->start();
}

void TForm1::Timer1Timer()
{
    setEnabled(false);
    m_names = new Tnamesform(*m_table, m_state, this);
    connect(m_names, &Tnamesform::nameAccepted, this, &TForm1::nameAccepted);
    connect(m_names, &Tnamesform::closedWithoutName, this, [] { QCoreApplication::quit(); });
    m_names->show();
    m_names->raise();
    m_names->activateWindow();
    m_names->nameField()->setFocus();
    m_timer1->deleteLater();
    m_timer1 = nullptr;
    update();
}

void TForm1::nameAccepted()
{
    update();
    NewDeal();
    m_statusBar->repaintNow();
    update();
    setEnabled(true);
}

// ---------------------------------------------------------------------------------------
// The deal cycle

void TForm1::NewDeal()
{
    // Whatever flow still waits belongs to a deal that is gone.
    stopWaitingFlows();
    m_table->UnlockInput();
    m_scores->beginDeal();

    for (int seat = 1; seat <= 4; ++seat)
        m_table->bidLabel(seat)->clear();

    auto& s = m_state;
    DealNewDeal(s, m_random);

    m_table->bidBox()->setCurrentIndex(-1);
    for (int seat = 2; seat <= 4; ++seat)
        ComputerBid(s.Hands[seat], s.Trump, s.Bids[seat], s.Scores[seat]);
    SortHumanHand(s.Hands[1]);

    showDealAndBids();
    adaptBidList();

    m_table->ShowHumanHand(s);
    m_table->UpdateCards();
    m_table->ShowComputerBacks(s, settings::backDesign());
    m_table->RevealDeal(s.DealerCounter);
    m_statusBar->repaintNow();

    loadPlayDelay();
    s.TrickPause = 1000;

    m_table->bidButton()->show();
    m_table->bidBox()->show();
    m_statusBar->getHintPanel()->setText(texts().flow.BidPrompt);
}

void TForm1::showDealAndBids()
{
    const int c = m_state.DealerCounter;
    const int dealer = DealerSeat(c);
    const int first = dealer % 4 + 1;
    // The human sees the bids of the seats that bid before him; the others show "?".
    for (int seat = 2; seat <= 4; ++seat) {
        const bool before = first == 1 ? false : seat >= first;
        m_table->bidLabel(seat)->setText(before ? QString::number(m_state.Bids[seat])
                                                : QStringLiteral("?"));
    }
    m_statusBar->getDealPanel()->setText(nameLabel(dealer)->text());
    m_statusBar->getPlayPanel()->setText(nameLabel(first)->text());
    if (dealer >= 2)
        m_table->cutSprite(dealer)->setFace(m_state.CutCard);
}

void TForm1::adaptBidList()
{
    QComboBox* box = m_table->bidBox();
    const QStringList wanted = bidItems(m_state.Scores[1]);
    QStringList current;
    for (int i = 0; i < box->count(); ++i)
        current << box->itemText(i);
    if (current != wanted) {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(wanted);
    }
    box->setCurrentIndex(-1);
}

void TForm1::loadPlayDelay()
{
    // The corrected speed is written back; a refused write must not stop the deal, so the
    // corrected value is used all the same and the user is told once, not at every deal.
    try {
        m_state.PlayDelay = settings::dealDelay();
    } catch (const SettingsWriteError& error) {
        m_state.PlayDelay = settings::normalizedDealDelay(
            settings::readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 100));
        if (!m_delayErrorShown)
            showSettingsWriteError(this, error);
        m_delayErrorShown = true;
    }
}

void TForm1::ComboBox1Change()
{
    m_table->bidButton()->setEnabled(!m_table->bidBox()->currentText().isEmpty());
}

void TForm1::clearStatusForNoDeal(bool emptyHint)
{
    // The trump picture is drawn blank while CardsPlayed stands at 52.
    m_state.CardsPlayed = 52;
    m_statusBar->getDealPanel()->setText(QString());
    m_statusBar->getPlayPanel()->setText(QString());
    if (emptyHint)
        m_statusBar->getHintPanel()->setText(texts().flow.EmptyHint);
    m_statusBar->repaintNow();
    m_state.CardsPlayed = 0;
}

void TForm1::Button1Click()
{
    QComboBox* box = m_table->bidBox();
    QPushButton* button = m_table->bidButton();
    if (!button->isVisible())
        return; // Enter on a hidden button, or a click that arrived after the bid
    const QString text = box->currentText();
    if (text.isEmpty()) {
        LangMessageDlg(texts().flow.MissingBidNotice, DialogType::Custom, MsgButton::OK, this);
        return;
    }
    const int bid = text.toInt();
    const int total = bid + m_state.Bids[2] + m_state.Bids[3] + m_state.Bids[4];

    for (int seat = 2; seat <= 4; ++seat)
        m_table->bidLabel(seat)->setText(QString::number(m_state.Bids[seat]));
    m_table->bidLabel(1)->setText(text);
    button->setEnabled(false);
    button->hide();
    box->hide();

    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = m_table->handSprite(1, k);
        sprite->move(sprite->x(), Table::HandTop);
    }
    for (int seat = 2; seat <= 4; ++seat) {
        CardSprite* cut = m_table->cutSprite(seat);
        if (!cut->isVisible())
            continue;
        cut->hide();
        CardSprite* last = m_table->handSprite(seat, 13);
        last->setSuite(m_table->card(25)->Suite());
        last->show();
        last->repaint();
    }

    if (total < 11) {
        LangMessageDlg(texts().flow.PassNotice, DialogType::Custom, MsgButton::OK, this);
        m_table->DeleteCards();
        m_table->deletegools();
        clearStatusForNoDeal(true);
        NewDeal();
        return;
    }

    update();
    m_state.Bids[1] = bid;
    m_state.TricksWon = {};
    m_state.CardsPlayed = 0;
    m_statusBar->getHintPanel()->setText(texts().flow.EmptyHint);
    m_state.TrickPos = 1;
    const int leader = FirstSeat(m_state.DealerCounter);
    if (leader >= 2 && !computerTurns(leader, 4))
        return;
    m_statusBar->getPlayPanel()->setText(nameLabel(1)->text());
    m_statusBar->repaintNow();
}

bool TForm1::computerTurns(int first, int last)
{
    for (int seat = first; seat <= last; ++seat) {
        if (!computerTurn(seat))
            return false;
    }
    return true;
}

bool TForm1::computerTurn(int seat)
{
    m_statusBar->getPlayPanel()->setText(nameLabel(seat)->text());
    m_statusBar->repaintNow();
    if (!Pause(m_state.PlayDelay))
        return false;
    const bool leads = m_state.TrickPos == 1;
    ComputerPlay(m_state, seat);
    const TCardFace card = m_state.ComputerCard;

    // A computer hand sprite carries its card's rank under the back.
    QPoint from;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = m_table->handSprite(seat, k);
        if (sprite->isVisible() && sprite->Number() == card.Number) {
            sprite->hide();
            from = sprite->pos();
            break;
        }
    }
    m_table->UpdateCards();

    CardSprite* mover = m_table->moveSprite(seat);
    mover->setNumber(card.Number);
    mover->setSuite(card.Suite);
    const int left = seat == 2   ? from.x() - mover->width()
                     : seat == 3 ? from.x()
                                 : mover->x() + from.x();
    mover->move(left, from.y());
    CardSprite* slot = m_table->trickSlot(seat);
    if (!m_table->GlideTo(mover, slot, m_glideStep))
        return false;
    // The cards of a trick overlap in play order.
    if (leads)
        mover->lower();
    else
        mover->raise();
    slot->setFace(card);
    return true;
}

void TForm1::PlayCard(CardSprite* sprite)
{
    CardSprite* humanSlot = m_table->trickSlot(1);
    if (humanSlot->Suite() != 0 || PauseBusy() || m_table->bidButton()->isVisible())
        return;
    // No deal on the table (before the first deal, or after a deal before the next one), or
    // the input is locked while a card moves.
    if (!sprite->isVisible() || !sprite->isEnabled() || m_state.HandCount[1] <= 0 ||
        m_state.CardsPlayed >= 52)
        return;

    const int led = m_state.Trick[1].Suite;
    if (led != 0) {
        bool holdsLedSuit = false;
        for (int k = 1; k <= m_state.HandCount[1]; ++k)
            holdsLedSuit = holdsLedSuit || m_state.Hands[1][k].Suite == led;
        if (holdsLedSuit && sprite->Suite() != led) {
            m_table->warningImage()->show();
            QApplication::beep();
            return;
        }
    }
    m_table->warningImage()->hide();

    m_humanSprite = sprite;
    m_humanHome = sprite->pos();
    if (!m_table->GlideTo(sprite, humanSlot, m_glideStep))
        return;
    m_state.ComputerCard = humanSlot->face();
    m_table->UpdateCards();
    m_table->LockInput();

    auto& s = m_state;
    RemoveCard(s.ComputerCard, s.Hands[1], s.HandCount[1]);
    RemoveFromSplit(s.ComputerCard, s.Splits[1]);
    AddToSplit(s.ComputerCard, s.PlayedCards);
    s.CardsPlayed += 1;

    const bool by2 = m_table->trickSlot(2)->Suite() != 0;
    const bool by3 = m_table->trickSlot(3)->Suite() != 0;
    const bool by4 = m_table->trickSlot(4)->Suite() != 0;
    auto record = [&](int position) {
        s.Trick[position] = {s.ComputerCard.Suite, s.ComputerCard.Number, 1};
        s.TrickPos = position % 4 + 1;
    };
    bool alive = true;
    if (!by2 && !by3 && !by4) {
        record(1);
        humanSlot->lower();
        sprite->lower();
        alive = computerTurns(2, 4);
    } else if (!by2 && !by3 && by4) {
        record(2);
        sprite->raise();
        alive = computerTurns(2, 3);
    } else if (!by2 && by3 && by4) {
        record(3);
        sprite->raise();
        alive = computerTurn(2);
    } else if (by2 && by3 && by4) {
        record(4);
        sprite->raise();
    } else {
        m_table->UnlockInput();
        return;
    }
    if (!alive)
        return;
    completeTrick();
}

// ---------------------------------------------------------------------------------------
// Completing a trick

bool TForm1::completeTrick()
{
    auto& s = m_state;
    m_lastShot->fill(*m_table, s.Trick[1].Seat);
    s.WinningCard = TrickWinner(s.Trick, s.Trump);
    if (!Pause(s.TrickPause))
        return false;
    const int taker = s.WinningCard.Seat;
    if (!sweepTrick(taker))
        return false;
    takeTrick(taker);

    if (s.CardsPlayed >= 52) {
        m_scores->showAfterDeal();
        return true;
    }
    if (taker >= 2 && !computerTurns(taker, 4))
        return false;
    m_statusBar->getPlayPanel()->setText(nameLabel(1)->text());
    m_statusBar->repaintNow();
    m_table->UnlockInput();
    return true;
}

bool TForm1::sweepTrick(int taker)
{
    CardSprite* human = m_humanSprite;
    CardSprite* p2 = m_table->moveSprite(2);
    CardSprite* p3 = m_table->moveSprite(3);
    CardSprite* p4 = m_table->moveSprite(4);
    if (!human)
        return true;

    // The reference coordinate is read once, before the first card moves.
    QPoint to;
    std::array<CardSprite*, 4> order{};
    switch (taker) {
    case 1:
        to = {human->x(), height()};
        order = {human, p2, p4, p3};
        break;
    case 2:
        to = {width(), p2->y()};
        order = {p2, p3, human, p4};
        break;
    case 3:
        to = {p3->x(), 0};
        order = {p3, p2, p4, human};
        break;
    default:
        to = {0, p4->y()};
        order = {p4, p3, human, p2};
        break;
    }
    // A motion sprite rests on its seat's cut-card place between plays.
    for (CardSprite* sprite : order) {
        const QPoint home = sprite == human ? m_humanHome
                            : sprite == p2  ? Table::cutHome(2)
                            : sprite == p3  ? Table::cutHome(3)
                                            : Table::cutHome(4);
        if (!m_table->GlideOut(sprite, to.x(), to.y(), home.x(), home.y(), m_glideStep))
            return false;
    }
    m_humanSprite = nullptr;
    return true;
}

void TForm1::takeTrick(int taker)
{
    auto& s = m_state;
    for (int seat = 1; seat <= 4; ++seat) {
        CardSprite* slot = m_table->trickSlot(seat);
        slot->hide();
        slot->setSuite(0);
    }
    s.Trick = {};
    s.TrickPos = 1;
    const int n = s.TricksWon[taker] + 1;
    if (n >= 1 && n <= 13) {
        CardSprite* marker = m_table->marker(taker, n);
        // Card51 is a hand sprite of seat 4, so it always holds the current back design.
        marker->setSuite(m_table->card(51)->Suite());
        marker->show();
        marker->repaint();
    }
    s.TricksWon[taker] = n;
}

void TForm1::scoreSheetClosedAfterDeal()
{
    m_table->UpdateCards();
    m_table->deletegools();
    m_table->DeleteCards();
    if (m_state.GameWinner >= 1 && m_state.GameWinner <= 4) {
        for (int seat = 1; seat <= 4; ++seat)
            m_table->bidLabel(seat)->clear();
        const int answer = StandardMessageDlg(texts().flow.NewGameQuestion, DialogType::Custom,
                                              MsgButton::Yes | MsgButton::No, this);
        if (answer != MsgResult::Yes) {
            // No deal is in progress (CardsPlayed stands at 52), so the window closes without
            // a question and the program ends.
            close();
            return;
        }
        m_scores->resetSheet();
        m_state.Scores = {};
    }
    NewDeal();
}

// ---------------------------------------------------------------------------------------
// Menu commands

void TForm1::N2Click()
{
    if (LangMessageDlg(texts().flow.NewGameQuestion, DialogType::Custom,
                       MsgButton::Yes | MsgButton::No, this) != MsgResult::Yes)
        return;
    // The flow of the old deal stops at its next wait.
    stopWaitingFlows();
    for (int seat = 1; seat <= 4; ++seat) {
        m_table->moveSprite(seat)->hide();
        CardSprite* slot = m_table->trickSlot(seat);
        slot->hide();
        slot->setSuite(0);
    }
    // The human's card may lie on the trick: put it back at its place, hidden.
    if (m_humanSprite) {
        m_humanSprite->hide();
        m_humanSprite->move(m_humanHome);
        m_humanSprite = nullptr;
    }
    for (int seat = 2; seat <= 4; ++seat)
        m_table->moveSprite(seat)->move(Table::cutHome(seat));
    m_state.Trick = {};
    m_state.TrickPos = 1;
    m_state.Scores = {};
    update();
    m_table->warningImage()->hide();
    m_table->DeleteCards();
    m_table->UpdateCards();
    m_table->deletegools();
    m_table->UpdateCards();
    clearStatusForNoDeal(false);
    m_scores->resetSheet();
    NewDeal();
}

void TForm1::N3Click()
{
    if (m_state.CardsPlayed >= 4)
        m_lastShot->exec();
}

void TForm1::N4Click() { m_scores->exec(); }

void TForm1::StatisticsClick()
{
    Statistics::instance().showWindow(this, {nameLabel(1)->text(), nameLabel(2)->text(),
                                             nameLabel(3)->text(), nameLabel(4)->text()});
}

void TForm1::N6Click()
{
    const QString playing = m_statusBar->getPlayPanel()->text();
    QLabel* found = nullptr;
    for (int seat : {4, 3, 2, 1}) { // Label1, Label3, Label4, Label2
        if (nameLabel(seat)->text() == playing) {
            found = nameLabel(seat);
            break;
        }
    }
    m_options->setPlayerLabel(found);
    m_options->exec();
}

void TForm1::N7Click() { close(); }

void TForm1::N10Click() { m_about->exec(); }

QStringList TForm1::helpFileCandidates()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString name = helpFileName();
    return {QDir(dir).filePath(name), QDir(dir).filePath(QStringLiteral("../share/halbeet/") + name)};
}

void TForm1::N12Click()
{
    for (const QString& path : helpFileCandidates()) {
        if (QFileInfo(path).isFile()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath()));
            return;
        }
    }
}

void TForm1::N15Click() { switchLanguage(QStringLiteral("AR")); }

void TForm1::English1Click() { switchLanguage(QStringLiteral("EN")); }

void TForm1::switchLanguage(const QString& code)
{
    // Checkable items toggle themselves on a click; the check marks follow m_checkedLang.
    auto showChecks = [this] {
        menuItem(QStringLiteral("N15"))->setChecked(m_checkedLang == QStringLiteral("AR"));
        menuItem(QStringLiteral("English1"))->setChecked(m_checkedLang != QStringLiteral("AR"));
    };
    if (m_checkedLang == code) {
        showChecks();
        return;
    }
    try {
        settings::setLanguage(code);
    } catch (const SettingsWriteError& error) {
        showChecks();
        showSettingsWriteError(this, error);
        return;
    }
    const LanguageTexts& chosen = code == QStringLiteral("AR") ? arabicTexts() : englishTexts();
    LangMessageDlg(chosen.flow.RestartNotice, DialogType::Custom, MsgButton::OK, this);
    m_checkedLang = code;
    showChecks();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_state.CardsPlayed >= 52) {
        endAllFlows();
        event->accept();
        QCoreApplication::quit();
        return;
    }
    if (LangMessageDlg(texts().flow.ExitQuestion, DialogType::Custom,
                       MsgButton::Yes | MsgButton::No, this) == MsgResult::Yes) {
        endAllFlows();
        event->accept();
        QCoreApplication::quit();
        return;
    }
    event->ignore();
}

} // namespace halbeet
