// SPDX-License-Identifier: GPL-3.0-or-later
// The server of tables under load: many tables of four bot clients playing at full speed over
// loopback WebSockets, the server in a process of its own, timed from the bots' side.
//
//   server_load [--tables N] [--seconds S] [--warmup S]      one run of N tables
//   server_load --step 50,100,200,...                         the most tables with p99 under 50 ms
//   server_load --serve                                        the server host (started by the above)
//   --glib: the server runs on GLib's event loop (Qt's default) rather than Qt's own
//
// Every figure comes from one run: actions a second; from a bot sending its bid or card to the
// last of the four seats reading the event of it (one process, one clock): p50, p99, max; the
// server's CPU per action (utime+stime of its process over the measured seconds); its peak
// resident memory (VmHWM). Only 127.0.0.1; the server ends when the driver's pipe closes, and
// by itself after an hour at most.

#include "net/protocol.h"
#include "net/table_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkRequest>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketHandshakeOptions>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <cstdio>
#include <deque>
#include <memory>
#include <vector>

using namespace halbeet;
using namespace halbeet::net;

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void raiseFileLimit()
{
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
}

// ---- the server host ------------------------------------------------------------------

int serve()
{
    raiseFileLimit();
    ServerLimits limits;
    limits.maxTables = 100000;
    limits.connectionsPerAddress = 100000;
    // Bots answer at once, far faster than a person: the limit is raised, not removed.
    limits.messagesPerSecond = 2000;
    limits.idleTimeoutMs = 600000;
    limits.helloTimeoutMs = 60000;
    TableServer server(limits);
    server.setTimeScale(0);
    QString error;
    if (!server.listen(QHostAddress::LocalHost, 0, &error)) {
        std::fprintf(stderr, "server_load: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("port %u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    // The driver holds our stdin: when it goes, so do we.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, qApp, [&input] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(3600 * 1000, qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

// ---- the bots -------------------------------------------------------------------------

struct Action {
    int actor = 0;
    double sentAt = 0;
    int readBy = 0;
};

struct Run;
class Bot;

// One table's shared bookkeeping: the actions sent, oldest first, until all four have read them.
struct Table {
    std::deque<Action> actions;
    std::uint64_t firstAction = 0; // the number of actions[0] since the table began
    std::string code;
    Bot* host = nullptr;
};

class Bot final : public QObject {
public:
    Bot(Run& run, Table& table, int index, quint16 port);
    void say(const ClientMessage& message) { m_socket.sendTextMessage(QString::fromStdString(EncodeClientMessage(message))); }
    void read(const QString& text);
    bool connected() const { return m_open; }
    int seat = 0;

private:
    void told(const TableUpdate& event, const TableView& v);
    Run& m_run;
    Table& m_table;
    int m_index;
    QWebSocket m_socket;
    bool m_open = false;
    std::uint64_t m_nextAction = 0;
    // The seat's table as this bot has rebuilt it from what it was sent; it plays from it.
    SeatTable m_seatTable;
};

struct Run {
    std::vector<std::unique_ptr<Table>> tables;
    std::vector<std::unique_ptr<Bot>> bots;
    std::vector<double> latencies;
    double measureFrom = 1e300;
    double measureTo = 1e300;
    int seated = 0;
    long problems = 0;
    QString firstProblem;
    void problem(const QString& what)
    {
        if (problems++ == 0)
            firstProblem = what;
    }
};

Bot::Bot(Run& run, Table& table, int index, quint16 port) : m_run(run), m_table(table), m_index(index)
{
    connect(&m_socket, &QWebSocket::connected, this, [this] {
        m_open = true;
        // As the server does: a small message goes out at once rather than wait for the
        // acknowledgement of the one before.
        if (auto* tcp = m_socket.findChild<QAbstractSocket*>())
            tcp->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        else
            m_run.problem(QStringLiteral("no socket to set TCP_NODELAY on"));
        // The host opens the table; the others join it once he has its code.
        say(Hello{ProtocolVersion, m_index == 0 ? "Host" : "Guest", m_index == 0 ? "" : m_table.code, "", {}});
    });
    connect(&m_socket, &QWebSocket::textMessageReceived, this, [this](const QString& text) { read(text); });
    connect(&m_socket, &QWebSocket::disconnected, this, [this] {
        if (m_open)
            m_run.problem(QStringLiteral("a connection closed: %1").arg(m_socket.closeReason()));
        m_open = false;
    });
    QWebSocketHandshakeOptions options;
    options.setSubprotocols({QString::fromLatin1(Subprotocol.data(), static_cast<qsizetype>(Subprotocol.size()))});
    m_socket.open(QNetworkRequest(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port))), options);
}

void Bot::read(const QString& text)
{
    const auto message = DecodeServerMessage(text.toStdString());
    if (!message) {
        m_run.problem(QStringLiteral("unreadable: ") + text.left(120));
        return;
    }
    if (const auto* welcome = std::get_if<Welcome>(&*message)) {
        if (seat == 0) {
            seat = welcome->seat;
            ++m_run.seated;
            if (m_index == 0)
                m_table.code = welcome->table;
        }
        return;
    }
    if (const auto* update = std::get_if<TableUpdate>(&*message)) {
        if (!m_seatTable.apply(*update)) {
            m_run.problem(QStringLiteral("an event that does not fit the table held: ") + text.left(120));
            return;
        }
        told(*update, m_seatTable.view());
        return;
    }
    if (const auto* refused = std::get_if<Refused>(&*message))
        m_run.problem(QStringLiteral("refused: ") + QString::fromStdString(refused->reason));
    if (const auto* bye = std::get_if<Bye>(&*message))
        m_run.problem(QStringLiteral("bye: ") + QString::fromStdString(bye->reason));
}

void Bot::told(const TableUpdate& event, const TableView& v)
{
    using Kind = SeatEvent::Kind;
    if (event.kind == Kind::BidMade || event.kind == Kind::CardPlayed) {
        // The next action of the table this bot has not read yet: it is this one.
        const std::uint64_t n = m_nextAction++;
        if (n < m_table.firstAction || n >= m_table.firstAction + m_table.actions.size()) {
            m_run.problem(QStringLiteral("an event of no action sent"));
            return;
        }
        Action& action = m_table.actions[static_cast<std::size_t>(n - m_table.firstAction)];
        if (action.actor != event.seat)
            m_run.problem(QStringLiteral("an event of another seat's action"));
        if (++action.readBy == 4) {
            const double now = nowMs();
            if (action.sentAt >= m_run.measureFrom && action.sentAt < m_run.measureTo)
                m_run.latencies.push_back(now - action.sentAt);
        }
        while (!m_table.actions.empty() && m_table.actions.front().readBy == 4) {
            m_table.actions.pop_front();
            ++m_table.firstAction;
        }
        return;
    }
    if (event.kind != Kind::Asked)
        return;
    // Bids of four or so, so that deals are played rather than thrown in.
    if (!v.legalBids.empty()) {
        m_table.actions.push_back({seat, nowMs(), 0});
        say(BidMessage{v.legalBids[std::min<std::size_t>(2, v.legalBids.size() - 1)]});
    } else if (!v.legalCards.empty()) {
        m_table.actions.push_back({seat, nowMs(), 0});
        say(CardMessage{v.legalCards.front()});
    }
}

// CPU seconds (user + system) of a process, and its peak resident memory in kB.
double cpuOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long statusKb(qint64 pid, const char* key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(std::strlen(key))).trimmed().split(' ').front().toLong();
    }
    return 0;
}

double ownCpu()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until done() or ms pass.
bool runUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done();
}

struct Figures {
    int tables = 0;
    double actionsPerSecond = 0;
    double p50 = 0, p99 = 0, max = 0;
    double serverUsPerAction = 0;
    double serverHwmMb = 0;
    double botCpuShare = 0;
    long problems = 0;
    bool ok = false;
};

Figures runOnce(int tableCount, double seconds, double warmup, bool glib)
{
    Figures f;
    f.tables = tableCount;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!glib) {
        // Qt's own event loop rather than GLib's: with thousands of sockets GLib's checks of
        // every source on every turn of the loop cost more than the server's work.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_NO_GLIB"), QStringLiteral("1"));
        server.setProcessEnvironment(environment);
    }
    server.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--serve")});
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "server_load: the server did not start\n");
        return f;
    }
    const QByteArray line = server.readLine().trimmed();
    const quint16 port = static_cast<quint16>(line.mid(5).toUInt());
    const qint64 pid = server.processId();

    Run run;
    // Tables open in batches: a storm of thousands of handshakes at once is not the load we measure.
    constexpr int batch = 50;
    for (int first = 0; first < tableCount; first += batch) {
        const int last = std::min(tableCount, first + batch);
        for (int t = first; t < last; ++t) {
            run.tables.push_back(std::make_unique<Table>());
            run.bots.push_back(std::make_unique<Bot>(run, *run.tables.back(), 0, port));
            run.tables.back()->host = run.bots.back().get();
        }
        if (!runUntil([&] { return run.seated >= 4 * first + (last - first); }, 30000))
            break;
        for (int t = first; t < last; ++t) {
            for (int k = 1; k < 4; ++k)
                run.bots.push_back(std::make_unique<Bot>(run, *run.tables[static_cast<std::size_t>(t)], k, port));
        }
        if (!runUntil([&] { return run.seated >= 4 * last; }, 30000))
            break;
    }
    if (run.seated < 4 * tableCount) {
        std::fprintf(stderr, "server_load: only %d of %d seats taken (%s)\n", run.seated, 4 * tableCount,
                     qPrintable(run.firstProblem));
        server.closeWriteChannel();
        server.waitForFinished(10000);
        return f;
    }
    // Every host starts his table; bots play from the first Asked on.
    for (const auto& table : run.tables)
        table->host->say(StartMessage{});

    runUntil([] { return false; }, static_cast<int>(warmup * 1000));
    const double cpu0 = cpuOf(pid);
    const double own0 = ownCpu();
    run.measureFrom = nowMs();
    run.measureTo = run.measureFrom + seconds * 1000;
    runUntil([] { return false; }, static_cast<int>(seconds * 1000));
    const double cpu1 = cpuOf(pid);
    const double own1 = ownCpu();
    // The last actions' events still on their way.
    runUntil([] { return false; }, 300);
    f.serverHwmMb = static_cast<double>(statusKb(pid, "VmHWM:")) / 1024.0;
    server.closeWriteChannel();
    if (!server.waitForFinished(20000))
        server.kill();

    std::vector<double>& l = run.latencies;
    f.problems = run.problems;
    if (run.problems)
        std::fprintf(stderr, "server_load: %ld problems, the first: %s\n", run.problems, qPrintable(run.firstProblem));
    if (l.empty())
        return f;
    std::sort(l.begin(), l.end());
    auto at = [&](double q) { return l[std::min(l.size() - 1, static_cast<std::size_t>(q * static_cast<double>(l.size())))]; };
    f.p50 = at(0.50);
    f.p99 = at(0.99);
    f.max = l.back();
    f.actionsPerSecond = static_cast<double>(l.size()) / seconds;
    f.serverUsPerAction = (cpu1 - cpu0) * 1e6 / static_cast<double>(l.size());
    f.botCpuShare = (own1 - own0) / seconds;
    f.ok = run.problems == 0;
    return f;
}

void print(const Figures& f)
{
    std::printf("%6d tables  %8.0f actions/s  latency p50 %6.1f ms  p99 %6.1f ms  max %6.1f ms  "
                "server %6.1f us CPU/action  server VmHWM %6.1f MB  bots %3.0f %% of a core%s\n",
                f.tables, f.actionsPerSecond, f.p50, f.p99, f.max, f.serverUsPerAction, f.serverHwmMb,
                f.botCpuShare * 100, f.ok ? "" : "  (problems)");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--serve")))
        return serve();
    raiseFileLimit();
    auto option = [&](const QString& name, const QString& fallback) {
        const auto i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const double seconds = option(QStringLiteral("--seconds"), QStringLiteral("10")).toDouble();
    const double warmup = option(QStringLiteral("--warmup"), QStringLiteral("2")).toDouble();
    const bool glib = args.contains(QStringLiteral("--glib"));
    if (args.contains(QStringLiteral("--step"))) {
        int best = 0;
        for (const QString& count : option(QStringLiteral("--step"), QStringLiteral("50,100,200,400,700,1000")).split(QLatin1Char(','))) {
            const Figures f = runOnce(count.toInt(), seconds, warmup, glib);
            print(f);
            if (!f.ok || f.p99 >= 50)
                break;
            best = f.tables;
        }
        std::printf("most tables with p99 under 50 ms: %d\n", best);
        return 0;
    }
    const Figures f = runOnce(option(QStringLiteral("--tables"), QStringLiteral("1000")).toInt(), seconds, warmup, glib);
    print(f);
    return f.ok ? 0 : 1;
}
