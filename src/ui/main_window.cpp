// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_window.h"

#include "net/table_client.h"
#include "net/table_store.h"
#include "settings/saved_game.h"
#include "settings/settings.h"
#include "table/computer_seats.h"
#include "table/table_controller.h"
#include "ui/about.h"
#include "ui/arabic_style.h"
#include "ui/card_sprite.h"
#include "ui/chat_panel.h"
#include "ui/hand_keys.h"
#include "ui/help_launcher.h"
#include "ui/hint_presenter.h"
#include "ui/host_dialog.h"
#include "ui/join_dialog.h"
#include "ui/language.h"
#include "ui/language_menu.h"
#include "ui/last_trick.h"
#include "ui/local_seat.h"
#include "ui/message_dialog.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/network_panel.h"
#include "ui/network_table.h"
#include "ui/options_dialog.h"
#include "ui/score_sheet.h"
#include "ui/statistics.h"
#include "ui/statistics_recorder.h"
#include "ui/status_bar.h"
#include "ui/table.h"
#include "ui/table_access.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace halbeet {

namespace {

// Holds the table where it is while a dialog the player opened is up: no step is taken and no
// card moves until it is closed.
class TableHold {
public:
    // controller: the table of this computer, or none at a table over the network (which
    // goes on for the others; its steps wait in the window's queue).
    TableHold(TableController* controller, Table* table) : m_controller(controller), m_table(table)
    {
        if (m_controller)
            m_controller->hold();
        m_table->holdGlides();
    }
    ~TableHold()
    {
        if (m_table)
            m_table->letGlidesGo();
        if (m_controller)
            m_controller->letGo();
    }
    TableHold(const TableHold&) = delete;
    TableHold& operator=(const TableHold&) = delete;

private:
    TableController* m_controller;
    QPointer<Table> m_table;
};

// The index-th card of the deal as every seat has seen it played.
Table::PublicPlay publicPlay(std::span<const TTrickCard> plays, std::int32_t dealerCounter, TCardFace cutCard,
                             std::size_t index)
{
    const TTrickCard& played = plays[index];
    Table::PublicPlay play{played.Seat, {played.Suite, played.Number}, dealerCounter, cutCard};
    for (std::size_t i = 0; i < index; ++i) {
        if (plays[i].Seat == played.Seat)
            ++play.playedBefore;
        if (plays[i].Suite == play.cutCard.Suite && plays[i].Number == play.cutCard.Number)
            play.cutPlayedBefore = true;
    }
    return play;
}

// Unicode's directional isolates: what they enclose is laid out apart from the text around it.
const QChar LeftToRightIsolate(0x2066);
const QChar FirstStrongIsolate(0x2068);
const QChar PopIsolate(0x2069);

} // namespace

MainWindow::MainWindow(GameModel& game, QWidget* parent)
    : QMainWindow(parent), m_game(game), m_state(game.state()), m_placement(*this), m_recorder(game), m_saves(game, m_recorder, this),
      m_helpLauncher(this)
{
    setObjectName(QStringLiteral("TForm1"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    auto* row = new QHBoxLayout(client);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* column = new QWidget(client);
    column->setObjectName(QStringLiteral("TableColumn"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_table = new Table(column);
    m_statusBar = new StatusBar(m_state, column);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(m_table);
    layout->addWidget(m_statusBar);
    row->addWidget(column, 1);
    // Beside the table at a networked table: its code, the host's Start, and the chat.
    m_networkPanel = new NetworkPanel(client);
    m_networkPanel->hide();
    row->addWidget(m_networkPanel);
    connect(m_networkPanel, &NetworkPanel::startClicked, this, [this] {
        if (m_network)
            m_network->start();
    });
    connect(m_networkPanel->chat(), &ChatPanel::said, this, [this](const QString& line) {
        if (m_network)
            m_network->say(line);
    });
    // The described client area is the smallest; the table scales with whatever is more.
    client->setMinimumSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    createMenus();

    // The secondary windows exist once for the run, created in this order.
    m_about = new AboutBox(this);
    m_scores = new ScoreSheet(m_game, *m_table, *m_statusBar, this);
    m_options = new OptionsDialog(*m_table, *m_statusBar, m_game, this);
    m_lastShot = new LastTrickWindow(this);
    m_scores->setDealClosedHandler([this] { m_sheetClosedAfterDeal = true; });
    // The sheet's close box and Alt+F4 after a deal mean the program, not the next deal.
    m_scores->setCloseRequestHandler([this] { close(); });
    m_access = new TableAccess(*this);

    connect(m_table, &Table::humanCardClicked, this, &MainWindow::playCard);
    m_keys = new HandKeys(
        *m_table, *this, [this] { return humanMayPlay(); },
        [this](const CardSprite* sprite) {
            if (sprite == m_humanSprite)
                return false; // on the trick
            const TCardFace face = sprite->face();
            const SeatView& seen = m_shownView.seat;
            for (int k = 0; k < seen.HandCount; ++k)
                if (seen.Hand[static_cast<std::size_t>(k)] == face)
                    return true;
            return false;
        },
        [this](CardSprite* sprite) { playCard(sprite); });
    connect(m_table->bidButton(), &QPushButton::clicked, this, &MainWindow::confirmBid);
    connect(m_table, &Table::bidConfirmRequested, this, &MainWindow::confirmBid);
    connect(m_table->bidBox(), &QComboBox::currentTextChanged, this, &MainWindow::bidChoiceChanged);
    connect(m_table->aboutAction(), &QAction::triggered, this, &MainWindow::showAbout);

    // The window is the view of seat 1: the person at this computer.
    m_controller = std::make_unique<TableController>(m_game);
    m_controller->setTimeScaleSource([] { return timeScale(); });
    // Seat 1 is always a person here: the table cannot run on by itself within a call.
    m_controller->setTimelessWaitsInCall(true);
    auto seat = std::make_unique<LocalSeat>(LocalSeat::Handlers{
        [this](const TableView& question) { asked(question); }, [this] { questionWithdrawn(); },
        [this](const SeatEvent& event) { told(event); }});
    m_seat = seat.get();
    m_localSeat = m_seat;
    m_controller->setSeat(1, std::move(seat));
    m_controller->setPacing(1, true);
    m_hints = new HintPresenter({*m_seat, *m_table, *m_statusBar, *m_keys, [this] { return m_showing || m_humanMoving; },
                                 [this] { return m_showGeneration; }},
                                this);

    setUpWindow();
}

void MainWindow::stopTable()
{
    // A host's table is kept like a game of this computer, to be opened again.
    keepHostedTable(!m_endingWithoutQuestion);
    markApplicationQuitting();
    dropShows();
    m_controller->stop();
    // The seat at a networked table is kept for its player to come back with his token; a
    // host's table closes with his game.
    closeNetworkTable();
}

MainWindow::~MainWindow()
{
    dropShows();
    // The tables and their seats go before the widgets the seats report to.
    closeNetworkTable();
    m_controller.reset();
    m_seat = nullptr;
}

void MainWindow::createMenus()
{
    auto addItem = [this](QMenu* menu, const QString& name, void (MainWindow::*handler)(),
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
    addItem(game, QStringLiteral("N2"), &MainWindow::askNewGame, Qt::Key_F2);
    addItem(game, QStringLiteral("HostTable"), &MainWindow::hostTable);
    addItem(game, QStringLiteral("JoinTable"), &MainWindow::joinTable);
    addItem(game, QStringLiteral("LeaveTable"), &MainWindow::leaveTable)->setEnabled(false);
    game->addSeparator()->setObjectName(QStringLiteral("N5"));
    addItem(game, QStringLiteral("N6"), &MainWindow::showOptions);
    addItem(game, QStringLiteral("N3"), &MainWindow::showLastTrick, Qt::Key_F4)->setEnabled(false);
    addItem(game, QStringLiteral("N4"), &MainWindow::showScores, Qt::Key_F3);
    addItem(game, QStringLiteral("Statistics"), &MainWindow::showStatistics)
        ->setText(texts().statistics.menuItem);
    addItem(game, QStringLiteral("Hint1"), &MainWindow::showHint, Qt::Key_H);
    addItem(game, QStringLiteral("FullScreen1"), &MainWindow::toggleFullScreen, Qt::Key_F11)->setCheckable(true);
    game->addSeparator()->setObjectName(QStringLiteral("N16"));
    QMenu* language = game->addMenu(QString());
    language->setObjectName(QStringLiteral("Language1"));
    language->menuAction()->setObjectName(QStringLiteral("Language1"));
    m_languageMenu = new LanguageMenu(language, this);
    game->addSeparator()->setObjectName(QStringLiteral("N8"));
    addItem(game, QStringLiteral("N7"), &MainWindow::exitCommand);

    QMenu* help = menuBar()->addMenu(QString());
    help->setObjectName(QStringLiteral("N9"));
    help->menuAction()->setObjectName(QStringLiteral("N9"));
    addItem(help, QStringLiteral("N10"), &MainWindow::showAbout);
    addItem(help, QStringLiteral("N12"), &MainWindow::showHelp, Qt::Key_F1);

    // F10 opens the first menu: a key, not a letter, so it works in every language and
    // keyboard layout.
    auto* openMenus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    openMenus->setObjectName(QStringLiteral("OpenMenus"));
    connect(openMenus, &QShortcut::activated, this, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty())
            menuBar()->setActiveAction(menus.first());
    });
}

QAction* MainWindow::menuItem(const QString& name) const
{
    const auto actions = findChildren<QAction*>(name);
    return actions.isEmpty() ? nullptr : actions.first();
}

QLabel* MainWindow::nameLabel(int seat) const { return m_table->nameLabel(seat); }

void MainWindow::setUpWindow()
{
    // The deal reseeds from the clock before every shuffle; this first seeding only keeps the
    // generator's state from being a constant.
    m_game.reseed();
    applyLanguage();
    // The menu bar's height depends on its captions, so the step is taken once they are set.
    adjustSize();
    m_placement.setDefaultSize(size());
    updateGlideStep();
}

void MainWindow::updateGlideStep() { m_glideStep = m_placement.glideStep(); }

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc leaves full screen too, as a player expects; otherwise it means nothing here.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isFullScreen()) {
        toggleFullScreen();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (QAction* item = menuItem(QStringLiteral("FullScreen1")))
            item->setChecked(isFullScreen());
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_placement.resized(event->size());
}

void MainWindow::applyLanguage()
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
        {"N10", t.N10}, {"N12", t.N12}, {"Hint1", texts().expert.HintItem},
        {"FullScreen1", t.FullScreen},
        {"HostTable", texts().network.hostItem}, {"JoinTable", texts().network.joinItem},
        {"LeaveTable", texts().network.leaveItem},
    };
    for (const auto& [name, caption] : captions) {
        for (QAction* action : findChildren<QAction*>(QString::fromLatin1(name)))
            action->setText(caption);
    }
    m_table->aboutAction()->setText(t.N13);
    m_table->bidButton()->setText(t.Button1);
    m_table->bidBox()->setToolTip(t.ComboBox1Hint);

    m_languageMenu->checkCurrentLanguage();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_timer1 || m_names)
        return;
    // FormShow: the name dialog comes half a second after the window, once per run.
    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(m_nameDialogDelay);
    connect(m_timer1, &QTimer::timeout, this, &MainWindow::showNameDialog);
    m_timer1->start();
}

void MainWindow::showNameDialog()
{
    // The window has been framed by now, and no card has moved yet.
    updateGlideStep();
    setEnabled(false);
    m_names = new NameDialog(*m_table, this);
    connect(m_names, &NameDialog::nameAccepted, this, &MainWindow::nameAccepted);
    connect(m_names, &NameDialog::closedWithoutName, this, &MainWindow::endWithoutName);
    m_names->show();
    m_names->raise();
    m_names->activateWindow();
    m_names->nameField()->setFocus();
    m_timer1->deleteLater();
    m_timer1 = nullptr;
    update();
}

void MainWindow::endWithoutName()
{
    // No name, no game: the program ends at once. quit() would ask the main window to close,
    // and its close handler would ask whether to exit.
    m_endingWithoutQuestion = true;
    stopTable();
    close();
    QCoreApplication::exit(0);
}

void MainWindow::nameAccepted()
{
    // The deck in its first order, for the game's first shuffle: the dialog only names.
    m_game.initDeck();
    update();
    if (m_saves.offerSavedGame()) {
        m_statusBar->repaintNow();
        update();
        setEnabled(true);
        activateWindow();
        // The table goes on from where the game was left: laid out from the seat's view, then
        // the seat to act is asked (a game kept between deals goes on with its next deal).
        seatComputers();
        m_controller->resume();
        return;
    }
    newDeal();
    m_statusBar->repaintNow();
    update();
    setEnabled(true);
    // The keyboard comes back to the table from the name dialog that had it. A window manager
    // may have activated the window already, while the deal was laid out: it was disabled
    // then, so the bid list could not take the focus that newDeal gave it, and activating an
    // active window brings no focus either. The list takes it now that it can.
    if (m_table->bidBox()->isVisible())
        m_table->bidBox()->setFocus(Qt::ActiveWindowFocusReason);
    activateWindow();
}

// ---------------------------------------------------------------------------------------
// The seats of the table

void MainWindow::seatComputers()
{
    // The level is read at each deal; a deal in progress keeps the players it began with.
    m_expert = settings::expertPlayers();
    m_recorder.setExpertLevel(m_expert);
    // A table that runs without time (tests) has the Expert answer within its turn.
    const bool answerInCall = timeScale() == 0.0;
    for (int seat = 2; seat <= 4; ++seat) {
        if (m_expert)
            m_controller->setSeat(seat, std::make_unique<ExpertSeat>(answerInCall));
        else
            // The Classic rule set reads the partner's hand by suit: it can only sit at a table
            // whose whole game is on this computer, as this one is.
            m_controller->setSeat(seat, std::make_unique<ClassicSeat>(m_game));
    }
    loadPlayDelay();
    m_game.setTrickPause(1000);
}

void MainWindow::clearTableForNewGame()
{
    dropShows();
    m_keys->disarm();
    for (int seat = 1; seat <= 4; ++seat) {
        m_table->moveSprite(seat)->hide();
        CardSprite* slot = m_table->trickSlot(seat);
        slot->hide();
        slot->setSuite(0);
    }
    // The human's card may lie on the trick: put it back at its place, hidden.
    if (m_humanSprite) {
        m_humanSprite->hide();
        m_humanSprite->moveLogical(m_humanHome);
        m_humanSprite = nullptr;
    }
    for (int seat = 2; seat <= 4; ++seat)
        m_table->moveSprite(seat)->moveLogical(Table::cutHome(seat));
    m_humanMoving = false;
    setLastTrickAvailable(false);
    update();
    m_table->warningImage()->hide();
    m_table->DeleteCards();
    m_table->UpdateCards();
    m_table->deletegools();
    m_table->UpdateCards();
    clearStatusForNoDeal(false);
}

void MainWindow::newDeal()
{
    dropShows();
    seatComputers();
    m_controller->newDeal();
}

void MainWindow::newGame()
{
    clearTableForNewGame();
    m_scores->resetSheet();
    seatComputers();
    m_controller->newGame();
}

// ---------------------------------------------------------------------------------------
// Showing what the table reports, one step after the other

void MainWindow::told(const SeatEvent& event)
{
    if (m_network) {
        const net::ChairKind partner = m_network->chairAt(3);
        m_recorder.networkStep(event, partner == net::ChairKind::Person || partner == net::ChairKind::Away);
    }
    if (m_network && event.kind == SeatEvent::Kind::Snapshot) {
        // The table as it stands, after coming back: whatever was still to show is behind it.
        dropShows();
        m_lastShown = 0;
    }
    m_toShow.push_back(event);
    showQueued();
}

void MainWindow::showQueued()
{
    // Steps are shown one at a time, in the order they were told: one that arrives while
    // another is shown waits its turn. A step shown at once (without time, or one without
    // motion) lets the loop go on to the next.
    if (m_inShowLoop)
        return;
    m_inShowLoop = true;
    while (!m_showing && !m_toShow.empty()) {
        SeatEvent event = std::move(m_toShow.front());
        m_toShow.pop_front();
        if (event.serial <= m_lastShown) {
            // Never: the controller counts its steps up, and New Game empties the queue.
            qCritical("halbeet: step %llu would be shown after step %llu", static_cast<unsigned long long>(event.serial),
                      static_cast<unsigned long long>(m_lastShown));
            Q_ASSERT(false);
            ++m_stepsOutOfOrder;
            continue;
        }
        m_showing = true;
        m_shownView = event.view;
        m_access->told(event);
        present(event);
    }
    m_inShowLoop = false;
}

void MainWindow::shownStep(std::uint64_t serial, std::uint64_t generation)
{
    if (generation != m_showGeneration)
        return; // a step of a table given up meanwhile (New Game, a close)
    m_showing = false;
    m_lastShown = serial;
    if (m_network)
        m_network->shown(serial);
    else
        m_controller->shown(1, serial);
    showQueued();
}

void MainWindow::dropShows()
{
    ++m_showGeneration;
    m_toShow.clear();
    m_showing = false;
    m_table->stopGlides();
    m_humanMoving = false;
}

void MainWindow::present(const SeatEvent& event)
{
    const TableView& view = event.view;
    const std::uint64_t serial = event.serial;
    const std::uint64_t generation = m_showGeneration;
    const auto done = [this, serial, generation] { shownStep(serial, generation); };
    switch (event.kind) {
    case SeatEvent::Kind::Snapshot:
    case SeatEvent::Kind::DealStarted:
        layOut(view, event.kind == SeatEvent::Kind::DealStarted);
        done();
        return;
    case SeatEvent::Kind::BidMade:
        if (event.seat >= 2)
            m_table->bidLabel(event.seat)->setText(event.value != 0 ? QString::number(event.value) : QStringLiteral("?"));
        else if (event.seat == 1)
            m_table->bidLabel(1)->setText(QString::number(event.value));
        if (m_network && view.toAct >= 1 && view.toAct <= 4) {
            // Bids come in turn there: the bar names who bids next.
            m_statusBar->getPlayPanel()->setText(nameLabel(view.toAct)->text());
            m_statusBar->repaintNow();
        }
        done();
        return;
    case SeatEvent::Kind::BidsPublic:
        showEveryBid(view);
        update();
        m_statusBar->getHintPanel()->setText(texts().flow.EmptyHint);
        showWhoPlays(view);
        done();
        return;
    case SeatEvent::Kind::Passed:
        showEveryBid(view);
        LangMessageDlg(texts().flow.PassNotice, DialogType::Custom, MsgButton::OK, this);
        if (generation != m_showGeneration || applicationQuitting())
            return;
        m_table->DeleteCards();
        m_table->deletegools();
        clearStatusForNoDeal(true);
        if (!m_network)
            seatComputers();
        done();
        return;
    case SeatEvent::Kind::CardPlayed:
        showCardPlayed(event, done);
        return;
    case SeatEvent::Kind::TrickComplete: {
        const std::vector<TTrickCard> trick = view.cardsOnTable();
        m_lastShot->fill(*m_table, trick.empty() ? 1 : trick.front().Seat);
        setLastTrickAvailable(true);
        done();
        return;
    }
    case SeatEvent::Kind::TrickTaken:
        // The trick is the taker's now: the places under the cards hold it no more, while the
        // cards themselves sweep off toward him.
        clearTrickSlots();
        sweepTrick(event.seat, [this, event, done] {
            takeTrick(event.seat, event.value);
            showWhoPlays(event.view);
            done();
        });
        return;
    case SeatEvent::Kind::DealScored:
        showScoredDeal(view, done);
        return;
    case SeatEvent::Kind::GameWon:
        showWonGame(view, done);
        return;
    case SeatEvent::Kind::NewGame:
        m_scores->resetSheet();
        done();
        return;
    case SeatEvent::Kind::Asked:
        done();
        return;
    }
    done();
}

void MainWindow::showEveryBid(const TableView& view)
{
    for (int seat = 1; seat <= 4; ++seat) {
        const std::int32_t bid = view.seat.Bids[static_cast<std::size_t>(seat)];
        if (bid != 0)
            m_table->bidLabel(seat)->setText(QString::number(bid));
    }
}

void MainWindow::showWhoPlays(const TableView& view)
{
    if (view.phase != Phase::Playing || view.toAct < 1 || view.toAct > 4)
        return;
    m_statusBar->getPlayPanel()->setText(nameLabel(view.toAct)->text());
    m_statusBar->repaintNow();
}

void MainWindow::asked(const TableView& question)
{
    if (question.phase == Phase::Bidding) {
        adaptBidList(question.legalBids);
        m_table->bidButton()->setEnabled(false);
        m_table->bidButton()->show();
        m_table->bidBox()->show();
        // The keyboard starts on the bid list: Down chooses, Tab goes on to the button.
        m_table->bidBox()->setFocus();
        m_statusBar->getHintPanel()->setText(texts().flow.BidPrompt);
        m_statusBar->repaintNow();
        m_saves.keepSaveCurrent();
        emit humansTurn();
        return;
    }
    m_statusBar->getPlayPanel()->setText(nameLabel(1)->text());
    m_statusBar->repaintNow();
    m_table->UnlockInput();
    m_keys->arm();
    emit humansTurn();
}

void MainWindow::questionWithdrawn()
{
    m_keys->disarm();
}

void MainWindow::adaptBidList(const std::vector<std::int32_t>& bids)
{
    QComboBox* box = m_table->bidBox();
    QStringList wanted;
    for (const std::int32_t bid : bids)
        wanted << QString::number(bid);
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

void MainWindow::loadPlayDelay()
{
    // The corrected speed is written back; a refused write must not stop the deal, so the
    // corrected value is used all the same and the user is told once, not at every deal.
    try {
        m_game.setPlayDelay(settings::dealDelay());
    } catch (const SettingsWriteError& error) {
        m_game.setPlayDelay(settings::normalizedDealDelay(
            settings::readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 100)));
        if (!m_delayErrorShown)
            showSettingsWriteError(this, error);
        m_delayErrorShown = true;
    }
}

void MainWindow::bidChoiceChanged()
{
    m_table->bidButton()->setEnabled(!m_table->bidBox()->currentText().isEmpty());
}

void MainWindow::clearStatusForNoDeal(bool emptyHint)
{
    m_statusBar->getDealPanel()->setText(QString());
    m_statusBar->getPlayPanel()->setText(QString());
    if (emptyHint)
        m_statusBar->getHintPanel()->setText(texts().flow.EmptyHint);
    m_statusBar->repaintBlank();
}

bool MainWindow::askedToBid() const
{
    return m_seat->asked() && m_seat->question().phase == Phase::Bidding;
}

void MainWindow::confirmBid()
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
    if (!askedToBid() || m_showing)
        return; // the seats before the human are still bidding
    const std::vector<std::int32_t>& legal = m_seat->question().legalBids;
    if (std::find(legal.begin(), legal.end(), bid) == legal.end())
        return; // the list offers only legal bids

    m_table->bidLabel(1)->setText(text);
    button->setEnabled(false);
    button->hide();
    box->hide();

    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = m_table->handSprite(1, k);
        sprite->moveLogical(sprite->logicalX(), Table::HandTop);
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
    m_seat->answer(SeatAction::ofBid(bid));
}

bool MainWindow::tableBusy() const
{
    if (m_network)
        return showingStep();
    return showingStep() || m_controller->waiting() || m_controller->asking() >= 2;
}

TableController* MainWindow::heldController() const { return m_network ? nullptr : m_controller.get(); }

bool MainWindow::humanMayPlay() const
{
    return m_seat->asked() && m_seat->question().phase == Phase::Playing && !m_humanMoving && !m_showing &&
           !m_table->inputLocked() && !m_table->bidButton()->isVisible();
}

void MainWindow::playCard(CardSprite* sprite)
{
    // Not the human's turn: bidding, the computers still to play, his card already on its
    // way or on the trick, or no deal at all. Nor while a step is still being shown.
    if (!m_seat->asked() || m_seat->question().phase != Phase::Playing || m_humanMoving || m_showing)
        return;
    if (!sprite->isVisible() || !sprite->isEnabled())
        return;

    const TCardFace card = sprite->face();
    const std::vector<TCardFace>& legal = m_seat->question().legalCards;
    if (std::find(legal.begin(), legal.end(), card) == legal.end()) {
        m_table->warningImage()->show();
        QApplication::beep();
        return;
    }
    m_keys->disarm();
    m_table->warningImage()->hide();
    m_hints->withdraw();

    CardSprite* humanSlot = m_table->trickSlot(1);
    m_humanSprite = sprite;
    m_humanHome = sprite->logicalPos();
    m_humanMoving = true;
    // The card is played once it lands.
    const std::uint64_t generation = m_showGeneration;
    m_table->glideTo(sprite, humanSlot, m_glideStep, [this, card, generation] {
        if (generation != m_showGeneration)
            return;
        m_humanMoving = false;
        m_table->UpdateCards();
        m_table->LockInput();
        m_seat->answer(SeatAction::ofCard(card));
    });
}

void MainWindow::showCardPlayed(const SeatEvent& event, const std::function<void()>& done)
{
    const int seat = event.seat;
    const TCardFace card = event.card;
    const bool leads = event.value == 1;
    if (seat == 1) {
        // The human's card glided before it was played; it lies on the trick.
        CardSprite* humanSlot = m_table->trickSlot(1);
        if (m_humanSprite) {
            if (leads) {
                humanSlot->lower();
                m_humanSprite->lower();
            } else {
                m_humanSprite->raise();
            }
        }
        done();
        return;
    }

    // The card leaves from a back chosen from what every seat has seen.
    const SeatView& seen = event.view.seat;
    const std::span<const TTrickCard> plays(seen.Plays.data(), static_cast<std::size_t>(seen.PlayCount));
    QPoint from;
    if (!plays.empty()) {
        if (CardSprite* sprite = m_table->leavingBack(
                publicPlay(plays, event.view.dealerCounter, seen.CutCard, plays.size() - 1))) {
            sprite->hide();
            from = sprite->logicalPos();
        }
    }
    m_table->UpdateCards();

    CardSprite* mover = m_table->moveSprite(seat);
    mover->setNumber(card.Number);
    mover->setSuite(card.Suite);
    const int left = seat == 2   ? from.x() - mover->logicalGeometry().width()
                     : seat == 3 ? from.x()
                                 : mover->logicalX() + from.x();
    mover->moveLogical(left, from.y());
    CardSprite* slot = m_table->trickSlot(seat);
    m_table->glideTo(mover, slot, m_glideStep, [this, mover, slot, card, leads, view = event.view, done] {
        // The cards of a trick overlap in play order.
        if (leads)
            mover->lower();
        else
            mover->raise();
        slot->setFace(card);
        showWhoPlays(view);
        done();
    });
}

// ---------------------------------------------------------------------------------------
// Completing a trick

void MainWindow::sweepTrick(int taker, std::function<void()> swept)
{
    CardSprite* human = m_humanSprite;
    CardSprite* p2 = m_table->moveSprite(2);
    CardSprite* p3 = m_table->moveSprite(3);
    CardSprite* p4 = m_table->moveSprite(4);
    if (!human) {
        swept();
        return;
    }

    // The reference coordinate is read once, before the first card moves. The cards leave by
    // the window's edges as laid out at the default size, so that a sweep takes as many steps
    // at every size of the window.
    const QSize sweepEdge = m_placement.defaultSize();
    QPoint to;
    std::array<CardSprite*, 4> order{};
    switch (taker) {
    case 1:
        to = {human->logicalX(), sweepEdge.height()};
        order = {human, p2, p4, p3};
        break;
    case 2:
        to = {sweepEdge.width(), p2->logicalY()};
        order = {p2, p3, human, p4};
        break;
    case 3:
        to = {p3->logicalX(), 0};
        order = {p3, p2, p4, human};
        break;
    default:
        to = {0, p4->logicalY()};
        order = {p4, p3, human, p2};
        break;
    }
    // A motion sprite rests on its seat's cut-card place between plays. The cards leave one
    // after the other.
    std::array<QPoint, 4> homes{};
    for (std::size_t i = 0; i < order.size(); ++i) {
        CardSprite* sprite = order[i];
        homes[i] = sprite == human ? m_humanHome
                   : sprite == p2  ? Table::cutHome(2)
                   : sprite == p3  ? Table::cutHome(3)
                                   : Table::cutHome(4);
    }
    auto next = std::make_shared<std::function<void(std::size_t)>>();
    *next = [this, order, homes, to, swept = std::move(swept), next](std::size_t i) {
        if (i == order.size()) {
            m_humanSprite = nullptr;
            // The chain lets go of itself; what follows is taken out of it first.
            const std::function<void()> then = swept;
            const auto keep = next;
            *next = nullptr;
            then();
            return;
        }
        m_table->glideOut(order[i], to, homes[i], m_glideStep, [next, i] {
            if (*next)
                (*next)(i + 1);
        });
    };
    (*next)(0);
}

void MainWindow::clearTrickSlots()
{
    for (int seat = 1; seat <= 4; ++seat) {
        CardSprite* slot = m_table->trickSlot(seat);
        slot->hide();
        slot->setSuite(0);
    }
}

void MainWindow::takeTrick(int taker, int tricksOfTaker)
{
    if (tricksOfTaker >= 1 && tricksOfTaker <= 13) {
        CardSprite* marker = m_table->marker(taker, tricksOfTaker);
        // Card51 is a hand sprite of seat 4, so it always holds the current back design.
        marker->setSuite(m_table->card(51)->Suite());
        marker->show();
        marker->repaint();
    }
    // A crash or a power cut loses at most the trick under way.
    m_saves.keepSaveCurrent();
}

void MainWindow::showScoredDeal(const TableView& view, const std::function<void()>& done)
{
    m_statusBar->getPlayPanel()->setText(QString());
    m_statusBar->getDealPanel()->setText(QString());
    m_statusBar->repaintNow();
    const std::uint64_t generation = m_showGeneration;
    m_sheetClosedAfterDeal = false;
    m_scores->showAfterDeal();
    // Closed by OK or Esc: the next deal follows. Closed by the program's end: nothing does.
    if (generation != m_showGeneration || !m_sheetClosedAfterDeal || applicationQuitting())
        return;
    m_table->UpdateCards();
    m_table->deletegools();
    m_table->DeleteCards();
    if (view.winner == 0 && !m_network)
        seatComputers();
    done();
}

void MainWindow::showWonGame(const TableView& view, const std::function<void()>& done)
{
    Q_UNUSED(view);
    for (int seat = 1; seat <= 4; ++seat)
        m_table->bidLabel(seat)->clear();
    // The green column alone does not say who won, nor that No ends the program.
    LangMessageDlg(gameWonText(), DialogType::Information, MsgButton::OK, this);
    if (m_network) {
        // A networked table begins its next game by itself.
        if (!applicationQuitting())
            done();
        return;
    }
    const int answer = StandardMessageDlg(texts().flow.NewGameQuestion, DialogType::Custom,
                                          MsgButton::Yes | MsgButton::No, this,
                                          texts().flow.NewGameAfterWinDetails);
    if (applicationQuitting())
        return;
    if (answer != MsgResult::Yes) {
        // No deal is in progress (CardsPlayed stands at 52), so the window closes without
        // a question and the program ends.
        close();
        return;
    }
    dropShows();
    m_scores->resetSheet();
    seatComputers();
    m_controller->newGame();
}

void MainWindow::showHint() { m_hints->showHint(); }

void MainWindow::endOnSignal()
{
    if (m_endingWithoutQuestion)
        return; // a second signal while ending
    m_saves.storeOnSignal();
    // The close handler then stores the window's state and ends the flows and the program;
    // an open question or dialog ends with it.
    m_endingWithoutQuestion = true;
    close();
    // Under the exit question the window is closing already, and close() does nothing.
    hide();
    QCoreApplication::exit(0);
}

QString MainWindow::gameWonText() const
{
    const FlowTexts& t = texts().flow;
    // What the human's seat has seen of the game's end.
    const TableView& s = m_shownView;
    // Right to left, each name and each score is set apart from its neighbours, or a Latin
    // name would run on into the scores around it ("سالم 33، Omar 42" shows as "42، Omar 33"),
    // and a score reads left to right, so that "-3" keeps its sign in front.
    const bool rightToLeft = languageDirection() == Qt::RightToLeft;
    const auto score = [rightToLeft](std::int32_t value) {
        const QString number = QString::number(value);
        return rightToLeft ? LeftToRightIsolate + number + PopIsolate : number;
    };
    const auto name = [this, rightToLeft](int seat) {
        const QString text = nameLabel(seat)->text();
        return rightToLeft ? FirstStrongIsolate + text + PopIsolate : text;
    };
    const bool ours = s.winner == 1 || s.winner == 3;
    return (ours ? t.GameWonYourSide : t.GameWonOtherSide) + QStringLiteral("\n\n") +
           t.YourSideScores.arg(name(1), score(s.seat.Scores[1]), name(3), score(s.seat.Scores[3])) +
           QLatin1Char('\n') +
           t.OtherSideScores.arg(name(2), score(s.seat.Scores[2]), name(4), score(s.seat.Scores[4]));
}

void MainWindow::layOut(const TableView& view, bool freshDeal)
{
    // Laid out from what the human's seat may know: a new deal, a restored game, a seat that
    // takes its place at a table in progress.
    const SeatView& seen = view.seat;
    const std::span<const TTrickCard> plays(seen.Plays.data(), static_cast<std::size_t>(seen.PlayCount));
    m_keys->disarm();
    m_table->UnlockInput();
    m_humanMoving = false;
    m_humanSprite = nullptr;
    m_hints->forget();
    m_table->warningImage()->hide();
    m_table->DeleteCards();
    m_table->deletegools();
    for (int seat = 1; seat <= 4; ++seat) {
        m_table->moveSprite(seat)->hide();
        CardSprite* slot = m_table->trickSlot(seat);
        slot->hide();
        slot->setSuite(0);
    }
    for (int seat = 2; seat <= 4; ++seat)
        m_table->moveSprite(seat)->moveLogical(Table::cutHome(seat));

    // The hands as they were dealt, then every card played taken out the way the play takes it.
    m_table->ShowHumanHand(view.ownDealtHand, view.dealerCounter, seen.CutCard);
    m_table->UpdateCards();
    m_table->ShowComputerBacks(settings::backDesign());
    const bool bidding = view.phase == Phase::Bidding;
    const int dealer = view.dealer();
    if (bidding && dealer >= 2)
        m_table->cutSprite(dealer)->setFace(seen.CutCard);
    if (freshDeal) {
        // Dealt in front of the player: the hands appear in dealing rhythm.
        m_table->RevealDeal(view.dealerCounter);
    } else {
        for (int k = 1; k <= 13; ++k) {
            m_table->handSprite(1, k)->raise(); // each card of the fan lies over its left neighbour
            for (int seat = 1; seat <= 4; ++seat)
                m_table->handSprite(seat, k)->show();
        }
        if (bidding && dealer >= 2) {
            // A computer dealer's turned card stands in for his thirteenth card until the bid.
            m_table->cutSprite(dealer)->show();
            m_table->handSprite(dealer, 13)->hide();
        }
    }
    if (!bidding) {
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = m_table->handSprite(1, k);
            sprite->moveLogical(sprite->logicalX(), Table::HandTop);
        }
    }

    const std::size_t firstOnTable = plays.size() - view.cardsOnTable().size();
    for (std::size_t i = 0; i < plays.size(); ++i) {
        const TTrickCard& play = plays[i];
        const TCardFace card{play.Suite, play.Number};
        CardSprite* taken = nullptr;
        if (play.Seat == 1) {
            for (int k = 1; k <= 13 && !taken; ++k) {
                CardSprite* sprite = m_table->handSprite(1, k);
                if (!sprite->isHidden() && sprite->face() == card)
                    taken = sprite;
            }
        } else {
            taken = m_table->leavingBack(publicPlay(plays, view.dealerCounter, seen.CutCard, i));
        }
        if (!taken)
            continue;
        if (i < firstOnTable) {
            taken->hide();
            continue;
        }
        // On the table: the human's own sprite, or the seat's motion sprite, at its trick place.
        CardSprite* slot = m_table->trickSlot(play.Seat);
        slot->setFace(card);
        if (play.Seat == 1) {
            m_humanSprite = taken;
            m_humanHome = taken->logicalPos();
            taken->moveLogical(slot->logicalPos());
            taken->raise();
        } else {
            taken->hide();
            CardSprite* mover = m_table->moveSprite(play.Seat);
            mover->setNumber(card.Number);
            mover->setSuite(card.Suite);
            mover->moveLogical(slot->logicalPos());
            mover->show();
            mover->raise();
        }
    }
    for (int seat = 1; seat <= 4; ++seat) {
        const auto won = std::count(view.takers.begin(), view.takers.end(), seat);
        for (int n = 1; n <= won && n <= 13; ++n) {
            CardSprite* marker = m_table->marker(seat, n);
            marker->setSuite(m_table->card(51)->Suite());
            marker->show();
        }
    }

    // The last trick taken, for the Last trick command; a complete trick not yet taken is the
    // one it shows.
    const std::vector<TTrickCard> onTable = view.cardsOnTable();
    const std::vector<TTrickCard> last = view.phase == Phase::TrickComplete ? onTable : view.lastTrick();
    if (!last.empty()) {
        std::array<TCardFace, 5> current{};
        for (int seat = 1; seat <= 4; ++seat)
            current[static_cast<std::size_t>(seat)] = m_table->trickSlot(seat)->face();
        for (const TTrickCard& play : last)
            m_table->trickSlot(play.Seat)->setFace({play.Suite, play.Number});
        m_lastShot->fill(*m_table, last.front().Seat);
        for (int seat = 1; seat <= 4; ++seat)
            m_table->trickSlot(seat)->setFace(current[static_cast<std::size_t>(seat)]);
    }
    setLastTrickAvailable(!last.empty());

    // Bids, the bid box, the status bar and the score sheet.
    for (int seat = 1; seat <= 4; ++seat) {
        const std::int32_t bid = seen.Bids[static_cast<std::size_t>(seat)];
        QString text;
        if (!bidding)
            text = QString::number(bid);
        else if (m_network)
            // At a table of several people each bids in turn: a bid made and hidden from this
            // seat shows as "?", one still to come as nothing.
            text = bid != 0 ? QString::number(bid) : view.bidMade[static_cast<std::size_t>(seat)] ? QStringLiteral("?") : QString();
        else if (seat != 1)
            text = bid != 0 ? QString::number(bid) : QStringLiteral("?");
        m_table->bidLabel(seat)->setText(text);
    }
    // The bid controls come with the table here, where the person bids at once; at a table
    // over the network, when he is asked.
    const bool bidNow = bidding && (!m_network || view.toAct == 1);
    adaptBidList(view.legalBids);
    m_table->bidButton()->setEnabled(false);
    m_table->bidButton()->setVisible(bidNow);
    m_table->bidBox()->setVisible(bidNow);
    if (bidNow)
        m_table->bidBox()->setFocus();
    m_statusBar->getDealPanel()->setText(nameLabel(dealer)->text());
    const int playing = m_network && view.toAct != 0 ? view.toAct
                        : bidding                    ? FirstSeat(view.dealerCounter)
                        : view.toAct != 0            ? view.toAct
                                                     : 1;
    m_statusBar->getPlayPanel()->setText(nameLabel(playing)->text());
    m_statusBar->getHintPanel()->setText(bidNow ? texts().flow.BidPrompt : texts().flow.EmptyHint);
    if (!freshDeal)
        m_scores->resetSheet();
    m_table->UpdateCards();
    m_statusBar->repaintNow();
}

// ---------------------------------------------------------------------------------------
// Tables over the network

namespace {

// Where a host's table is kept between runs of the game: one table at most.
net::TableStore hostedTableStore() { return net::TableStore(savedgame::folder() + QStringLiteral("/hosted-table")); }

} // namespace

void MainWindow::keepHostedTable(bool tellOnFailure)
{
    if (!m_network || !m_network->hosting())
        return;
    const std::optional<net::HostedTable::Saved> table = m_network->tableToKeep();
    if (!table)
        return;
    const net::TableStore store = hostedTableStore();
    QString error;
    bool kept = !savedgame::folder().isEmpty() && store.prepare(&error) && store.write(*table, &error);
    if (kept) {
        try {
            settings::writeString(QStringLiteral("Network"), QStringLiteral("HostToken"),
                                  QString::fromStdString(m_network->token()));
            // The same port again, so that the friends' games find the table where it was.
            settings::writeInteger(QStringLiteral("Network"), QStringLiteral("HostPort"), m_network->port());
        } catch (const SettingsWriteError& failure) {
            kept = false;
            error = QString::fromLocal8Bit(failure.what());
            store.remove(table->code);
        }
    }
    if (kept)
        return;
    qWarning("halbeet: the hosted table could not be kept: %s", qPrintable(error));
    if (tellOnFailure)
        LangMessageDlg(texts().network.tableNotKept.arg(error), DialogType::Warning, MsgButton::OK, this);
}

bool MainWindow::offerKeptTable()
{
    const net::TableStore store = hostedTableStore();
    if (savedgame::folder().isEmpty())
        return false;
    const std::vector<net::TableStore::Entry> kept = store.readAll();
    if (kept.empty())
        return false;
    const net::TableStore::Entry& entry = kept.front();
    const std::string token =
        settings::readString(QStringLiteral("Network"), QStringLiteral("HostToken"), QString()).toStdString();
    bool again = false;
    if (entry.table && !token.empty()) {
        const TableHold hold(heldController(), m_table);
        again = LangMessageDlg(texts().network.hostAgainQuestion.arg(entry.code), DialogType::Custom,
                               MsgButton::Yes | MsgButton::No, this) == MsgResult::Yes;
    }
    // Taken up or not, the file has done its part: the table in memory counts from now on.
    for (const net::TableStore::Entry& each : kept)
        store.remove(each.code);
    if (!again)
        return false;
    enterNetworkTable();
    applyHostingForTests();
    QString error;
    const int port = settings::readInteger(QStringLiteral("Network"), QStringLiteral("HostPort"), NetworkTable::DefaultPort);
    if (!m_network->hostAgain(m_localNames[1], static_cast<quint16>(port >= 1 && port <= 65535 ? port : NetworkTable::DefaultPort),
                              *entry.table, token, &error))
        returnToLocalTable(texts().network.hostFailed.arg(error));
    return true;
}

void MainWindow::applyHostingForTests()
{
    if (!m_hostingForTests)
        return;
    m_network->setListenAddress(m_hostingForTests->listen);
    m_network->setAnnouncement(m_hostingForTests->announceTo, m_hostingForTests->announcePort);
    m_network->setTimeScale(m_hostingForTests->timeScale);
}

void MainWindow::hostTable()
{
    if (offerKeptTable())
        return;
    HostDialog dialog(this);
    {
        const TableHold hold(heldController(), m_table);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    hostNetworkTable(dialog.plans(), dialog.port());
}

void MainWindow::hostNetworkTable(const NetworkTable::ChairPlans& plans, quint16 port)
{
    enterNetworkTable();
    applyHostingForTests();
    QString error;
    if (!m_network->host(m_localNames[1], port, plans, &error)) {
        returnToLocalTable(texts().network.hostFailed.arg(error));
        return;
    }
    m_networkPanel->setStatus(texts().network.waitingForFriends);
}

void MainWindow::joinTable()
{
    JoinDialog dialog(this, m_hostingForTests ? m_hostingForTests->announcePort : 0);
    {
        const TableHold hold(heldController(), m_table);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    const QString network = QStringLiteral("Network");
    std::string token;
    if (dialog.rejoining())
        token = settings::readString(network, QStringLiteral("LastToken"), QString()).toStdString();
    joinNetworkTable(dialog.url(), dialog.code(), token);
}

void MainWindow::joinNetworkTable(const QUrl& url, const QString& code, const std::string& token)
{
    enterNetworkTable();
    keepTableForComingBack(url);
    m_network->join(url, code, m_localNames[1], token);
    m_networkPanel->setStatus(texts().network.waitingForHost);
}

void MainWindow::leaveTable()
{
    if (!m_network)
        return;
    {
        const TableHold hold(heldController(), m_table);
        const NetworkTexts& t = texts().network;
        if (LangMessageDlg(m_network->hosting() ? t.closeTableQuestion : t.leaveQuestion, DialogType::Custom,
                           MsgButton::Yes | MsgButton::No, this) != MsgResult::Yes)
            return;
    }
    if (!m_network)
        return; // the table ended while the question was up
    // He left for good: no way back with the token.
    m_network->leave();
    try {
        settings::writeString(QStringLiteral("Network"), QStringLiteral("LastCode"), QString());
        settings::writeString(QStringLiteral("Network"), QStringLiteral("LastToken"), QString());
    } catch (const SettingsWriteError&) {
        // Nothing is lost: the token is no seat's any more.
    }
    returnToLocalTable({});
}

void MainWindow::enterNetworkTable()
{
    if (m_network)
        closeNetworkTable();
    else
        for (int seat = 1; seat <= 4; ++seat)
            m_localNames[static_cast<std::size_t>(seat)] = nameLabel(seat)->text();
    // The game of this computer stays where it is; it goes on when the player comes back.
    m_controller->stop();
    clearTableForNewGame();
    clearStatusForNoDeal(true);
    m_table->bidButton()->hide();
    m_table->bidBox()->hide();
    m_shownView = TableView{};
    m_lastShown = 0;
    m_network = std::make_unique<NetworkTable>(LocalSeat::Handlers{
        [this](const TableView& question) { asked(question); }, [this] { questionWithdrawn(); },
        [this](const SeatEvent& event) { told(event); }});
    m_seat = &m_network->seat();
    const auto shownView = [this]() -> const TableView* { return &m_shownView; };
    m_statusBar->setViewSource(shownView);
    m_scores->setViewSource(shownView);
    m_scores->resetSheet();
    for (int seat = 1; seat <= 4; ++seat)
        m_table->bidLabel(seat)->clear();

    NetworkTable* table = m_network.get();
    connect(table, &NetworkTable::chairsChanged, this, [this, table] {
        showNetworkChairs();
        m_networkPanel->showTable(table->code(), table->hosting() ? table->addresses() : QStringList(),
                                  table->port());
        m_networkPanel->setStartOffered(table->hosting() && !table->started());
        if (table->started())
            m_networkPanel->setStatus({});
        keepTableForComingBack({});
    });
    connect(table, &NetworkTable::chatReceived, this, [this](int seat, const QString& text) {
        const QString who = seat >= 1 && seat <= 4 ? nameLabel(seat)->text() : QString();
        m_networkPanel->chat()->addLine(who, text);
    });
    connect(table, &NetworkTable::connectionLost, this,
            [this] { m_networkPanel->setStatus(texts().network.connectionLost); });
    connect(table, &NetworkTable::reconnected, this, [this] {
        const QString back = texts().network.reconnected;
        m_networkPanel->setStatus(back);
        // Said for a moment, unless something else has been said since.
        QTimer::singleShot(5000, m_networkPanel, [panel = m_networkPanel, back] {
            if (panel->status() == back)
                panel->setStatus({});
        });
    });
    connect(table, &NetworkTable::ended, this, [this](const QString& reason) {
        // The server's words, in the player's language where they are ones he meets.
        const NetworkTexts& t = texts().network;
        const std::pair<const char*, QString> known[] = {
            {"no such table", t.noSuchTable},
            {"the table is full", t.tableFull},
            {NetworkTable::ClosedByHostReason, t.closedByHost},
            {net::TableClient::GaveUpReason, t.gaveUp},
            {"too many wrong codes", t.tooManyWrongCodes},
            {"unknown token", t.unknownToken},
            {"seat taken back elsewhere", t.seatTakenElsewhere},
        };
        QString why = reason;
        for (const auto& [said, text] : known) {
            if (reason == QLatin1String(said))
                why = text;
        }
        // Told from inside the client's own signal: the table goes once that is over.
        QTimer::singleShot(0, this, [this, why] {
            if (m_network)
                returnToLocalTable(texts().network.tableEnded.arg(why));
        });
    });

    m_networkPanel->chat()->lines()->clear();
    m_networkPanel->showTable(QString(), {}, 0);
    m_networkPanel->setStatus({});
    if (!m_networkPanel->isVisible()) {
        m_networkPanel->show();
        // The table keeps its size: the window grows by the panel, where there is room.
        if (!isMaximized() && !isFullScreen())
            resize(width() + m_networkPanel->sizeHint().width(), height());
    }
    offerLocalCommands(false);
}

void MainWindow::closeNetworkTable()
{
    if (!m_network)
        return;
    dropShows();
    m_seat = m_localSeat;
    // Nothing it hears reaches the window any more; it is deleted once out of the signal that
    // may have brought the window here.
    disconnect(m_network.get(), nullptr, this, nullptr);
    m_network->silence();
    m_network.release()->deleteLater();
}

void MainWindow::returnToLocalTable(const QString& why)
{
    closeNetworkTable();
    m_recorder.networkTableLeft();
    m_statusBar->setViewSource({});
    m_scores->setViewSource({});
    m_networkPanel->hide();
    if (!isMaximized() && !isFullScreen())
        resize(std::max(minimumSizeHint().width(), width() - m_networkPanel->sizeHint().width()), height());
    offerLocalCommands(true);
    for (int seat = 1; seat <= 4; ++seat)
        m_table->setPlayerName(seat, m_localNames[static_cast<std::size_t>(seat)]);
    clearTableForNewGame();
    m_lastShown = 0;
    m_scores->resetSheet();
    if (!why.isEmpty())
        LangMessageDlg(why, DialogType::Information, MsgButton::OK, this);
    if (applicationQuitting())
        return;
    // The game of this computer goes on from where it was left.
    seatComputers();
    m_controller->resume();
}

void MainWindow::showNetworkChairs()
{
    if (!m_network)
        return;
    const NetworkTexts& t = texts().network;
    for (int seat = 1; seat <= 4; ++seat) {
        const QString name = m_network->nameAt(seat);
        const net::ChairKind chair = m_network->chairAt(seat);
        const bool computer = chair == net::ChairKind::Computer;
        QString shown = name;
        if (chair == net::ChairKind::Open)
            shown = t.openMark;
        else if (computer && name == QLatin1String("Expert"))
            shown = texts().expert.Expert;
        else if (computer && name == QLatin1String("Classic"))
            shown = texts().expert.Classic;
        else if (computer)
            shown = t.computerMark.arg(name);
        else if (chair == net::ChairKind::Away)
            shown = t.awayMark.arg(name);
        m_table->setPlayerName(seat, shown);
    }
}

void MainWindow::offerLocalCommands(bool offered)
{
    for (const char* item : {"N2", "N6", "Hint1"})
        menuItem(QString::fromLatin1(item))->setEnabled(offered);
    menuItem(QStringLiteral("LeaveTable"))->setEnabled(!offered);
}

void MainWindow::keepTableForComingBack(const QUrl& url)
{
    // The token takes the seat back after a dropped connection or a restart of the game; it
    // is renewed at each return, so it is kept each time. A host's own table needs none.
    if (!m_network || m_network->hosting())
        return;
    const QString network = QStringLiteral("Network");
    try {
        if (!url.isEmpty())
            settings::writeString(network, QStringLiteral("LastAddress"), JoinDialog::addressOf(url.host(), url.port()));
        // Told at every change of a chair; written only when a return has renewed the token.
        if (!m_network->token().empty() && m_network->token() != m_keptToken) {
            settings::writeString(network, QStringLiteral("LastCode"), m_network->code());
            settings::writeString(network, QStringLiteral("LastToken"), QString::fromStdString(m_network->token()));
            m_keptToken = m_network->token();
        }
    } catch (const SettingsWriteError&) {
        // The table goes on; only the way back after a restart is lost.
    }
}

// ---------------------------------------------------------------------------------------
// Menu commands

void MainWindow::askNewGame()
{
    bool wanted = false;
    {
        const TableHold hold(heldController(), m_table);
        wanted = LangMessageDlg(texts().flow.NewGameQuestion, DialogType::Custom, MsgButton::Yes | MsgButton::No,
                                this) == MsgResult::Yes;
    }
    if (wanted)
        newGame();
}

void MainWindow::showLastTrick()
{
    if (menuItem(QStringLiteral("N3"))->isEnabled()) {
        const TableHold hold(heldController(), m_table);
        m_lastShot->exec();
    }
}

void MainWindow::setLastTrickAvailable(bool available)
{
    menuItem(QStringLiteral("N3"))->setEnabled(available);
}

void MainWindow::showScores()
{
    const TableHold hold(heldController(), m_table);
    m_scores->exec();
}

void MainWindow::showStatistics()
{
    m_recorder.statistics().showWindow(this, {nameLabel(1)->text(), nameLabel(2)->text(), nameLabel(3)->text(),
                                   nameLabel(4)->text()});
}

void MainWindow::showOptions()
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
    const TableHold hold(heldController(), m_table);
    m_options->exec();
}

void MainWindow::exitCommand() { close(); }

void MainWindow::showAbout()
{
    const TableHold hold(heldController(), m_table);
    m_about->exec();
}

void MainWindow::showHelp() { m_helpLauncher.openHelp(); }

void MainWindow::switchToArabic() { m_languageMenu->switchLanguage(QStringLiteral("AR")); }

void MainWindow::switchToEnglish() { m_languageMenu->switchLanguage(QStringLiteral("EN")); }

void MainWindow::closeEvent(QCloseEvent* event)
{
    if ((m_state.CardsPlayed >= 52 && !m_network) || m_endingWithoutQuestion) {
        // Between deals a game is kept as it stands (or this run's save goes, when saving
        // has been turned off); ending without a name or on a signal has done its part.
        if (!m_endingWithoutQuestion)
            m_saves.saveGameOnQuit();
        saveWindowState();
        stopTable();
        event->accept();
        QCoreApplication::quit();
        return;
    }
    // A close before the name dialog: the dialog would disable the window under the question
    // and take the question with it. It comes once the question is answered No.
    const bool namePending = m_timer1 && m_timer1->isActive();
    const int nameDue = namePending ? m_timer1->remainingTime() : 0;
    if (namePending)
        m_timer1->stop();
    const FlowTexts& t = texts().flow;
    const TableHold hold(heldController(), m_table);
    if (LangMessageDlg(t.ExitQuestion, DialogType::Custom, MsgButton::Yes | MsgButton::No, this,
                       m_saves.quitKeepsGame() ? t.ExitKeepsGame : t.ExitLosesGame) == MsgResult::Yes) {
        m_saves.saveGameOnQuit();
        saveWindowState();
        stopTable();
        event->accept();
        QCoreApplication::quit();
        return;
    }
    event->ignore();
    if (namePending && m_timer1)
        m_timer1->start(std::max(0, nameDue));
}

} // namespace halbeet
