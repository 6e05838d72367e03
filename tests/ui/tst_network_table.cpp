// SPDX-License-Identifier: GPL-3.0-or-later
// Two game windows at one table over the loopback network: one hosts, one joins by the code;
// each sees the table from his own chair, they play a deal together, a dropped connection
// comes back by itself, and leaving or closing the table takes each window back to its own
// game. The dialogs' typed addresses are read here too.

#include "test_support.h"

#include "net/hosted_table.h"
#include "net/table_beacon.h"
#include "net/table_client.h"
#include "net/table_server.h"
#include "table/turned_view.h"
#include "stats/stats_store.h"
#include "ui/chat_panel.h"
#include "ui/host_dialog.h"
#include "ui/join_dialog.h"
#include "ui/local_seat.h"
#include "ui/network_panel.h"
#include "ui/network_table.h"
#include "ui/qr_code.h"
#include "ui/statistics.h"
#include "ui/statistics_recorder.h"

#include <QAbstractSocket>
#include <QNetworkDatagram>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUdpSocket>
#include <QWebSocket>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

GameWindow::Options named(const QString& name, std::uint32_t seed)
{
    GameWindow::Options options;
    options.playerName = name;
    options.firstSeed = seed;
    return options;
}

// Answers for a window's person when his seat is asked and the window has shown everything:
// a middling bid, or the first card the table allows.
bool actFor(GameWindow& w)
{
    MainWindow& window = w.window();
    const LocalSeat& seat = window.windowSeat();
    if (!seat.asked() || window.tableBusy() || QApplication::activeModalWidget())
        return false;
    const TableView& question = seat.question();
    if (!question.legalBids.empty()) {
        if (!w.table().bidButton()->isVisible())
            return false;
        const std::int32_t bid = question.legalBids[std::min<std::size_t>(2, question.legalBids.size() - 1)];
        QComboBox* box = w.table().bidBox();
        box->setCurrentIndex(box->findText(QString::number(bid)));
        window.confirmBid();
        return true;
    }
    if (!window.humanMayPlay() || question.legalCards.empty())
        return false;
    CardSprite* sprite = w.spriteOf(question.legalCards.front());
    if (!sprite)
        return false;
    GameWindow::click(sprite);
    return true;
}

// The score sheet after a deal, the pass notice and the statement of a won game are closed
// as a player closes them.
std::unique_ptr<ModalAnswerer> closeFlowWindows()
{
    return std::make_unique<ModalAnswerer>(
        [](QWidget* modal) {
            if (auto* sheet = qobject_cast<ScoreSheet*>(modal)) {
                QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
                return true;
            }
            return isMessageDialog(modal) && pressMessageButton(modal, MsgButton::OK);
        });
}

} // namespace

class TstNetworkTable : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GameWindow> m_host;
    std::unique_ptr<GameWindow> m_friend;
    // The partner's name in the friend's own game.
    QString m_friendsPartner;
    std::unique_ptr<QUdpSocket> m_announcements;

    net::HostedTable* hostedTable() const
    {
        NetworkTable* table = m_host->window().networkTable();
        return table && table->server() ? table->server()->table(table->code()) : nullptr;
    }

    // Hosts with the partner's chair open and Expert opponents, and has the friend join by the
    // code; both are seated when it returns.
    void seatBoth()
    {
        m_host = std::make_unique<GameWindow>(named(QStringLiteral("Hala"), 11));
        QCOMPARE(m_host->start(), QString());
        m_friend = std::make_unique<GameWindow>(named(QStringLiteral("Omar"), 12));
        QCOMPARE(m_friend->start(), QString());

        MainWindow& host = m_host->window();
        // The table is announced to the loopback address, where this test hears it.
        m_announcements = std::make_unique<QUdpSocket>();
        QVERIFY(m_announcements->bind(QHostAddress(QHostAddress::LocalHost), 0));
        host.setHostingForTests({QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHost),
                                 m_announcements->localPort(), 0.0});
        NetworkTable::ChairPlans plans{};
        plans[2] = net::ChairPlan::Expert;
        plans[3] = net::ChairPlan::Open;
        plans[4] = net::ChairPlan::Expert;
        host.hostNetworkTable(plans, 0);
        NetworkTable* hosting = host.networkTable();
        QVERIFY(hosting);
        QVERIFY(QTest::qWaitFor([&] { return hosting->seated() && !hosting->code().isEmpty(); }, 5000));
        QVERIFY(host.networkPanel()->isVisible());
        QVERIFY(host.networkPanel()->startButton()->isVisible());
        QVERIFY(host.networkPanel()->reachLabel()->text().contains(hosting->code()));
        // The link a browser opens the table with, and its QR code, name this computer's first
        // address and the table's port and code.
        const QString link = TableLink(hosting->addresses().first(), hosting->port(), hosting->code());
        QVERIFY(host.networkPanel()->linksLabel()->text().contains(link));
        QVERIFY(host.networkPanel()->qrCode()->isVisible());
        QCOMPARE(host.networkPanel()->qrCode()->text(), link);
        // Friends on the local network hear of it.
        QVERIFY(QTest::qWaitFor([&] { return m_announcements->hasPendingDatagrams(); }, 3000));
        const QNetworkDatagram heard = m_announcements->receiveDatagram();
        const auto announced = net::DecodeAnnouncement(heard.data().toStdString());
        QVERIFY(announced);
        QCOMPARE(announced->code, hosting->code());
        QCOMPARE(announced->port, hosting->port());
        QCOMPARE(announced->name, QStringLiteral("Hala"));

        m_friendsPartner = m_friend->table().nameLabel(3)->text();
        m_friend->window().joinNetworkTable(
            QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(hosting->port())), hosting->code());
        NetworkTable* joined = m_friend->window().networkTable();
        QVERIFY(QTest::qWaitFor([&] { return joined->seated(); }, 5000));
        QCOMPARE(joined->ownChair(), 3);
        QVERIFY(QTest::qWaitFor([&] { return hosting->chairAt(3) == net::ChairKind::Person; }, 5000));
    }

    // Both windows answer for their persons until done() holds or the time is out.
    bool playUntil(const std::function<bool()>& done, int ms = 60000)
    {
        const bool reached = QTest::qWaitFor(
            [&] {
                // Looked at before either answers: a question answered at once is gone.
                if (done())
                    return true;
                actFor(*m_host);
                actFor(*m_friend);
                return false;
            },
            ms);
        if (!reached)
            qWarning().noquote() << tableAsItStands();
        return reached;
    }

    // Where each side stands, for a test that stopped short.
    QString tableAsItStands()
    {
        QStringList lines;
        if (net::HostedTable* table = hostedTable())
            lines << QStringLiteral("server: phase %1, to act %2, cards played %3, deals %4")
                         .arg(static_cast<int>(table->game().phase()))
                         .arg(table->game().toAct())
                         .arg(table->game().state().CardsPlayed)
                         .arg(table->game().dealsDealt());
        for (GameWindow* w : {m_host.get(), m_friend.get()}) {
            MainWindow& window = w->window();
            lines << QStringLiteral("chair %1: asked %2, busy %3, showing %4, may play %5, bid button %6, modal %7")
                         .arg(window.networkTable() ? window.networkTable()->ownChair() : 0)
                         .arg(window.windowSeat().asked())
                         .arg(window.tableBusy())
                         .arg(window.showingStep())
                         .arg(window.humanMayPlay())
                         .arg(w->table().bidButton()->isVisible())
                         .arg(QApplication::activeModalWidget() ? QApplication::activeModalWidget()->metaObject()->className()
                                                                : "none");
        }
        return lines.join(QLatin1Char('\n'));
    }

    // The view each window shows is the server's view of its chair, turned to the bottom.
    void compareWithTheServer()
    {
        net::HostedTable* table = hostedTable();
        QVERIFY(table);
        for (GameWindow* w : {m_host.get(), m_friend.get()}) {
            const int chair = w->window().networkTable()->ownChair();
            const TableView expected = TurnedView(TableViewOf(table->game(), chair), chair);
            QVERIFY2(net::SameBesidesChoices(w->window().shownView(), expected),
                     qPrintable(QStringLiteral("the window of chair %1 shows another table").arg(chair)));
        }
    }

private slots:
    void cleanup()
    {
        m_friend.reset();
        m_host.reset();
        m_announcements.reset();
    }

    void eachSeesTheTableFromHisOwnChair()
    {
        seatBoth();
        MainWindow& host = m_host->window();
        MainWindow& joined = m_friend->window();
        // Partners across from each other, the computers at the sides, both ways round.
        QCOMPARE(host.table()->nameLabel(3)->text(), QStringLiteral("Omar"));
        QCOMPARE(joined.table()->nameLabel(3)->text(), QStringLiteral("Hala"));
        QCOMPARE(joined.table()->nameLabel(1)->text(), QStringLiteral("Omar"));
        for (int seat : {2, 4}) {
            QCOMPARE(host.table()->nameLabel(seat)->text(), texts().expert.Expert);
            QCOMPARE(joined.table()->nameLabel(seat)->text(), texts().expert.Expert);
        }
        // The friend cannot start the game, and nothing is dealt before the host does.
        QVERIFY(!joined.networkPanel()->startButton()->isVisible());
        QVERIFY(!joined.table()->bidButton()->isVisible());
        QVERIFY(!host.menuItem(QStringLiteral("N2"))->isEnabled());
        QVERIFY(host.menuItem(QStringLiteral("LeaveTable"))->isEnabled());
    }

    void theyPlayADealTogether()
    {
        seatBoth();
        const auto answerer = closeFlowWindows();
        QTest::mouseClick(m_host->window().networkPanel()->startButton(), Qt::LeftButton);
        net::HostedTable* table = hostedTable();
        QVERIFY(QTest::qWaitFor([&] { return table->game().dealsDealt() >= 1; }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return !m_host->window().networkPanel()->startButton()->isVisible(); }, 5000));
        // Halfway through the deal: both tables as the server has them.
        QVERIFY(playUntil([&] {
            return table->game().state().CardsPlayed >= 26 && !m_host->window().tableBusy() &&
                   !m_friend->window().tableBusy() &&
                   (m_host->window().windowSeat().asked() || m_friend->window().windowSeat().asked());
        }));
        compareWithTheServer();
        // On to the next deal: the score sheet came and went in both windows.
        // On to a scored deal (a deal thrown in is dealt again).
        QVERIFY(playUntil([&] { return !table->game().scoreRows().empty(); }));
        // Each window shows the score sheet of the deal, in its own time.
        QVERIFY(playUntil([&] { return answerer->answered() >= 2; }));
        QVERIFY2(answerer->unexpected().isEmpty(), qPrintable(answerer->unexpected().join(QLatin1Char('\n'))));
        QCOMPARE(m_host->window().stepsOutOfOrder(), 0);
        QCOMPARE(m_friend->window().stepsOutOfOrder(), 0);

        // Each player's statistics hold the deal as his seat played it, his partner a person.
        const PerSeat<std::int32_t> row = table->game().scoreRows().front();
        for (GameWindow* w : {m_host.get(), m_friend.get()}) {
            const int chair = w->window().networkTable()->ownChair();
            StatsStore& store = w->window().statisticsRecorder().statistics().store();
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
            db.setDatabaseName(store.filePath());
            QVERIFY(db.open());
            QSqlQuery query(QStringLiteral("SELECT level, score1, score3, deal_number FROM deals"), db);
            bool found = false;
            while (query.next()) {
                QCOMPARE(query.value(0).toString(), QStringLiteral("NETWORK-PARTNER-PERSON"));
                found = found || (query.value(1).toInt() == row[static_cast<std::size_t>(chair)] &&
                                  query.value(2).toInt() == row[static_cast<std::size_t>(PartnerOf(chair))] &&
                                  query.value(3).toInt() == 1);
            }
            query.finish();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("look"));
            QVERIFY2(found, qPrintable(QStringLiteral("chair %1 has not its deal in its statistics").arg(chair)));
        }
    }

    void aDroppedConnectionComesBackByItself()
    {
        seatBoth();
        const auto answerer = closeFlowWindows();
        m_host->window().networkPanel()->startButton()->click();
        net::HostedTable* table = hostedTable();
        QVERIFY(playUntil([&] { return table->game().state().CardsPlayed >= 6; }));
        // The friend's connection is cut mid-trick.
        auto* socket = m_friend->window().networkTable()->client().findChild<QWebSocket*>();
        QVERIFY(socket);
        socket->abort();
        net::TableClient& client = m_friend->window().networkTable()->client();
        QVERIFY(QTest::qWaitFor([&] { return !client.connected(); }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return client.connected(); }, 10000));
        QVERIFY(playUntil([&] {
            return table->game().state().CardsPlayed >= 20 && !m_host->window().tableBusy() &&
                   !m_friend->window().tableBusy() &&
                   (m_host->window().windowSeat().asked() || m_friend->window().windowSeat().asked());
        }));
        compareWithTheServer();
        QVERIFY(answerer->unexpected().isEmpty());
    }

    void leavingAndClosingGoBackToTheGameOfThisComputer()
    {
        seatBoth();
        MainWindow& joined = m_friend->window();
        ModalAnswerer answerer([](QWidget* modal) {
            return isMessageDialog(modal) && (pressMessageButton(modal, MsgButton::Yes) ||
                                              pressMessageButton(modal, MsgButton::OK));
        });
        // The host closes his table: the friend is told, and is back at his own game, with
        // his own names and the bid it was waiting for.
        m_host->window().leaveTable();
        QVERIFY2(!m_host->window().networkTable(), qPrintable(answerer.unexpected().join(QLatin1Char('\n'))));
        QVERIFY(QTest::qWaitFor([&] { return !joined.networkTable(); }, 10000));
        QVERIFY(QTest::qWaitFor([&] { return joined.table()->bidButton()->isVisible(); }, 5000));
        QCOMPARE(joined.table()->nameLabel(1)->text(), QStringLiteral("Omar"));
        QCOMPARE(joined.table()->nameLabel(3)->text(), m_friendsPartner);
        QVERIFY(!joined.networkPanel()->isVisible());
        QVERIFY(joined.menuItem(QStringLiteral("N2"))->isEnabled());
        QVERIFY(m_host->table().bidButton()->isVisible());
        QVERIFY(answerer.answered() >= 2);
    }

    void aKeptTableIsOpenedAgainAndTheFriendComesBack()
    {
        // Two players whose seats answer at once with the first choice they are offered.
        struct Player {
            std::unique_ptr<NetworkTable> table;
            int answers = 0;
            void sit()
            {
                table = std::make_unique<NetworkTable>(LocalSeat::Handlers{
                    [this](const TableView& question) {
                        ++answers;
                        const SeatAction action = question.legalBids.empty()
                                                      ? SeatAction::ofCard(question.legalCards.front())
                                                      : SeatAction::ofBid(question.legalBids.back());
                        QTimer::singleShot(0, table.get(), [this, action] { table->seat().answer(action); });
                    },
                    {}, [this](const SeatEvent& event) { table->shown(event.serial); }});
                table->setListenAddress(QHostAddress(QHostAddress::LocalHost));
                table->setTimeScale(0);
            }
        };
        QUdpSocket announcements;
        QVERIFY(announcements.bind(QHostAddress(QHostAddress::LocalHost), 0));
        Player host;
        host.sit();
        host.table->setAnnouncement(QHostAddress(QHostAddress::LocalHost), announcements.localPort());
        NetworkTable::ChairPlans plans{};
        plans[2] = net::ChairPlan::Classic;
        plans[3] = net::ChairPlan::Open;
        plans[4] = net::ChairPlan::Expert;
        QString error;
        QVERIFY2(host.table->host(QStringLiteral("Hala"), 0, plans, &error), qPrintable(error));
        QVERIFY(QTest::qWaitFor([&] { return host.table->seated(); }, 5000));
        const QString code = host.table->code();
        const quint16 port = host.table->port();
        Player friendly;
        friendly.sit();
        friendly.table->join(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port)), code, QStringLiteral("Omar"));
        QVERIFY(QTest::qWaitFor([&] { return friendly.table->seated(); }, 5000));
        // No game, nothing to keep.
        QVERIFY(!host.table->tableToKeep());
        host.table->start();
        QVERIFY(QTest::qWaitFor(
            [&] {
                const auto* table = host.table->server()->table(code);
                return table && table->game().state().CardsPlayed >= 6;
            },
            10000));

        // The host's game ends: the table is kept, his server goes, the friend waits to come back.
        const std::optional<net::HostedTable::Saved> kept = host.table->tableToKeep();
        QVERIFY(kept);
        const std::string token = host.table->token();
        const std::int64_t dealsBefore = host.table->server()->table(code)->game().dealsDealt();
        host.table.reset();
        QVERIFY(QTest::qWaitFor([&] { return !friendly.table->client().connected(); }, 5000));

        // Hosted again, on the same port, under the same code: both sit where they sat.
        Player again;
        again.sit();
        QVERIFY2(again.table->hostAgain(QStringLiteral("Hala"), port, *kept, token, &error), qPrintable(error));
        QCOMPARE(again.table->port(), port);
        QVERIFY(QTest::qWaitFor([&] { return again.table->seated(); }, 5000));
        QCOMPARE(again.table->ownChair(), 1);
        QCOMPARE(again.table->code(), code);
        QVERIFY(QTest::qWaitFor([&] { return friendly.table->client().connected(); }, 20000));
        QCOMPARE(friendly.table->ownChair(), 3);
        QCOMPARE(again.table->nameAt(3), QStringLiteral("Omar"));
        QCOMPARE(friendly.table->nameAt(3), QStringLiteral("Hala"));
        const net::HostedTable* table = again.table->server()->table(code);
        QVERIFY(table);
        QCOMPARE(table->game().dealsDealt(), dealsBefore);
        // And the game goes on to its next deal with both of them.
        const int friendsAnswers = friendly.answers;
        QVERIFY(QTest::qWaitFor([&] { return table->game().dealsDealt() > dealsBefore; }, 20000));
        QVERIFY(friendly.answers > friendsAnswers);
        QCOMPARE(friendly.table->client().ignoredMessages(), 0);
    }

    void aTypedAddressIsReadAsAPlayerMeansIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("url");
        QTest::newRow("address") << "192.168.1.20" << "ws://192.168.1.20:4141";
        QTest::newRow("address and port") << "192.168.1.20:5000" << "ws://192.168.1.20:5000";
        QTest::newRow("blanks around") << "  host.lan  " << "ws://host.lan:4141";
        QTest::newRow("IPv6") << "[::1]:4242" << "ws://[::1]:4242";
        QTest::newRow("IPv6 without a port") << "fe80::1" << "ws://[fe80::1]:4141";
        QTest::newRow("port out of range") << "host:70000" << "";
        QTest::newRow("port not a number") << "host:abc" << "";
        QTest::newRow("a path") << "host/x" << "";
        QTest::newRow("a user") << "me@host" << "";
        QTest::newRow("nothing") << "   " << "";
        QTest::newRow("unclosed bracket") << "[::1" << "";
    }
    void aTypedAddressIsReadAsAPlayerMeansIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, url);
        const QUrl read = JoinDialog::urlOf(typed);
        QCOMPARE(read.toString(), url);
        // What is kept for the way back to the table reads back as the same server.
        if (!read.isEmpty())
            QCOMPARE(JoinDialog::urlOf(JoinDialog::addressOf(read.host(), read.port())), read);
    }

    void theHostDialogOffersEveryChairItsChoices()
    {
        HostDialog dialog;
        // A friend as partner, computers as opponents, until the host says otherwise.
        NetworkTable::ChairPlans plans = dialog.plans();
        QCOMPARE(plans[3], net::ChairPlan::Open);
        QCOMPARE(plans[2], net::ChairPlan::Expert);
        QCOMPARE(plans[4], net::ChairPlan::Expert);
        dialog.chairBox(2)->setCurrentIndex(1);
        dialog.chairBox(4)->setCurrentIndex(0);
        plans = dialog.plans();
        QCOMPARE(plans[2], net::ChairPlan::Classic);
        QCOMPARE(plans[4], net::ChairPlan::Open);
        QCOMPARE(dialog.port(), NetworkTable::DefaultPort);
    }
};

QTEST_MAIN(TstNetworkTable)
#include "tst_network_table.moc"
