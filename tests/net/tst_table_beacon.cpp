// SPDX-License-Identifier: GPL-3.0-or-later
// Tables found on the local network: the strict decoder of an announcement, the list the
// finder keeps (limits and forgetting, on a clock of the test's own), and a beacon heard by a
// finder over real sockets on the loopback address.

#include "net/table_beacon.h"
#include "wait_until.h"

#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <memory>

using namespace halbeet::net;
using namespace std::chrono_literals;
using halbeet::testing::waitUntil;

namespace {

const QByteArray Good = R"({"version":1,"port":4141,"code":"ABC234","name":"Hawk","openChairs":3})";

// The good announcement with one piece of it replaced.
QByteArray with(const QByteArray& piece, const QByteArray& replacement)
{
    QByteArray datagram = Good;
    Q_ASSERT(datagram.contains(piece));
    return datagram.replace(piece, replacement);
}

TableAnnouncement table(const QString& code, const QString& name, int openChairs = 3, quint16 port = 4141)
{
    TableAnnouncement what;
    what.port = port;
    what.code = code;
    what.name = name;
    what.openChairs = openChairs;
    return what;
}

std::string datagram(const TableAnnouncement& what)
{
    return EncodeAnnouncement(what);
}

QStringList codes(const std::vector<TableAnnouncement>& tables)
{
    QStringList list;
    for (const TableAnnouncement& what : tables)
        list << what.code;
    return list;
}

// A code the server could make, different for each n below 31 * 31.
QString codeNumber(int n)
{
    static const QString alphabet = QStringLiteral("ABCDEFGHJKMNPQRSTUVWXYZ23456789");
    return QStringLiteral("AAAA") + alphabet[n / 31] + alphabet[n % 31];
}

} // namespace

class TstTableBeacon : public QObject {
    Q_OBJECT

private slots:
    void decoder_data();
    void decoder();
    void encodedReadsBackWithoutHost();

    void heardTablesForgetAndUpdate();
    void heardTablesLimits();
    void heardTablesSorted();

    void beaconHeardByFinder();
    void tableForgottenWhenBeaconStops();
    void floodFromOneSender_data();
    void floodFromOneSender();
    void hostileDatagramsNotListed();
    void finderOnTakenPort();
};

void TstTableBeacon::decoder_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("taken");

    QTest::newRow("good") << Good << true;
    QTest::newRow("good, fields in another order")
        << QByteArray(R"({"name":"Hawk","openChairs":3,"code":"ABC234","port":4141,"version":1})") << true;
    QTest::newRow("good, spaces around") << (" \n" + Good + "\t ") << true;
    QTest::newRow("good, Arabic name") << with("\"Hawk\"", "\"صقر الليل\"") << true;
    QTest::newRow("good, name of 24") << with("\"Hawk\"", '"' + QByteArray(24, 'n') + '"') << true;
    QTest::newRow("good, lowest port, no chair open") << with("4141", "1").replace("\"openChairs\":3", "\"openChairs\":0") << true;
    QTest::newRow("good, highest port") << with("4141", "65535") << true;

    QTest::newRow("version 2") << with("\"version\":1", "\"version\":2") << false;
    QTest::newRow("version 0") << with("\"version\":1", "\"version\":0") << false;
    QTest::newRow("version missing") << with("\"version\":1,", "") << false;
    QTest::newRow("version as text") << with("\"version\":1", "\"version\":\"1\"") << false;

    QTest::newRow("port 0") << with("4141", "0") << false;
    QTest::newRow("port 65536") << with("4141", "65536") << false;
    QTest::newRow("port negative") << with("4141", "-4141") << false;
    QTest::newRow("port past 64 bits") << with("4141", "18446744073709551617") << false;
    QTest::newRow("port largest unsigned") << with("4141", "18446744073709551615") << false;
    QTest::newRow("port with a fraction") << with("4141", "4141.5") << false;
    QTest::newRow("port as a float") << with("4141", "4141.0") << false;
    QTest::newRow("port as text") << with("4141", "\"4141\"") << false;
    QTest::newRow("port true") << with("4141", "true") << false;
    QTest::newRow("port null") << with("4141", "null") << false;
    QTest::newRow("port missing") << with("\"port\":4141,", "") << false;

    QTest::newRow("code lowercase") << with("ABC234", "abc234") << false;
    QTest::newRow("code with I") << with("ABC234", "ABI234") << false;
    QTest::newRow("code with O") << with("ABC234", "ABO234") << false;
    QTest::newRow("code with 0") << with("ABC234", "ABC230") << false;
    QTest::newRow("code with 1") << with("ABC234", "ABC231") << false;
    QTest::newRow("code of 5") << with("ABC234", "ABC23") << false;
    QTest::newRow("code of 7") << with("ABC234", "ABC2345") << false;
    QTest::newRow("code empty") << with("ABC234", "") << false;
    QTest::newRow("code with a NUL") << with("ABC234", "ABC23\\u0000") << false;
    QTest::newRow("code as a number") << with("\"ABC234\"", "234234") << false;
    QTest::newRow("code missing") << with("\"code\":\"ABC234\",", "") << false;

    QTest::newRow("name empty") << with("\"Hawk\"", "\"\"") << false;
    QTest::newRow("name of 25") << with("\"Hawk\"", '"' + QByteArray(25, 'n') + '"') << false;
    QTest::newRow("name with a line break") << with("Hawk", "Ha\\nwk") << false;
    QTest::newRow("name with a raw line break") << with("Hawk", "Ha\nwk") << false;
    QTest::newRow("name with a tab") << with("Hawk", "Ha\\twk") << false;
    QTest::newRow("name with a bell") << with("Hawk", "Ha\\u0007wk") << false;
    QTest::newRow("name with DEL") << with("Hawk", "Ha\\u007fwk") << false;
    QTest::newRow("name with a C1 control") << with("Hawk", "Ha\\u0085wk") << false;
    QTest::newRow("name with a NUL") << with("Hawk", "Ha\\u0000wk") << false;
    QTest::newRow("name not UTF-8") << with("Hawk", "Ha\xC3\x28wk") << false;
    QTest::newRow("name with a lone surrogate") << with("Hawk", "Ha\\ud800wk") << false;
    QTest::newRow("name as a number") << with("\"Hawk\"", "7") << false;
    QTest::newRow("name missing") << with("\"name\":\"Hawk\",", "") << false;

    QTest::newRow("open chairs 4") << with("\"openChairs\":3", "\"openChairs\":4") << false;
    QTest::newRow("open chairs negative") << with("\"openChairs\":3", "\"openChairs\":-1") << false;
    QTest::newRow("open chairs true") << with("\"openChairs\":3", "\"openChairs\":true") << false;
    QTest::newRow("open chairs missing") << with(",\"openChairs\":3", "") << false;

    QTest::newRow("extra field: host") << with("{", "{\"host\":\"203.0.113.9\",") << false;
    QTest::newRow("extra field: null") << with("{", "{\"x\":null,") << false;
    QTest::newRow("a field twice, same value") << with("{", "{\"port\":4141,") << false;
    QTest::newRow("a field twice, other value") << with("{", "{\"name\":\"Owl\",") << false;

    // Padded with spaces, so that only the size is wrong.
    QTest::newRow("512 bytes") << (Good + QByteArray(512 - Good.size(), ' ')) << true;
    QTest::newRow("513 bytes") << (Good + QByteArray(513 - Good.size(), ' ')) << false;
    QTest::newRow("64 KiB") << (Good + QByteArray(65536, ' ')) << false;

    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("not JSON") << QByteArray("hello, tables") << false;
    QTest::newRow("cut short") << Good.left(Good.size() - 1) << false;
    QTest::newRow("two objects") << (Good + Good) << false;
    QTest::newRow("an array") << ('[' + Good + ']') << false;
    QTest::newRow("a string") << QByteArray(R"("ABC234")") << false;
    QTest::newRow("a number") << QByteArray("4142") << false;
    QTest::newRow("a field nested") << with("\"Hawk\"", "{\"text\":\"Hawk\"}") << false;
    QTest::newRow("a field an array") << with("\"Hawk\"", "[\"Hawk\"]") << false;
    QTest::newRow("deep nesting") << (QByteArray(200, '[') + QByteArray(200, ']')) << false;
    QTest::newRow("deep nesting, cut") << QByteArray(500, '{') << false;
    QTest::newRow("brackets in the name are text") << with("Hawk", "[{Hawk}]") << true;
}

void TstTableBeacon::decoder()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, taken);
    const auto what = DecodeAnnouncement(std::string_view(datagram.constData(), static_cast<std::size_t>(datagram.size())));
    QCOMPARE(what.has_value(), taken);
    if (!what)
        return;
    // Nothing in a datagram says where the table is.
    QVERIFY(what->host.isEmpty());
    if (QByteArray(QTest::currentDataTag()) == "good") {
        QCOMPARE(what->port, quint16(4141));
        QCOMPARE(what->code, QStringLiteral("ABC234"));
        QCOMPARE(what->name, QStringLiteral("Hawk"));
        QCOMPARE(what->openChairs, 3);
    }
}

void TstTableBeacon::encodedReadsBackWithoutHost()
{
    const QList<TableAnnouncement> cases{
        table(QStringLiteral("ABC234"), QStringLiteral("Hawk")),
        table(QStringLiteral("ZZZ999"), QStringLiteral("صقر \"الليل\" \\"), 0, 65535),
        table(QStringLiteral("HJK789"), QString(24, QChar(0x0628)), 2, 1),
    };
    for (TableAnnouncement what : cases) {
        what.host = QStringLiteral("203.0.113.9");
        const std::string text = EncodeAnnouncement(what);
        QVERIFY2(text.find("203.0.113.9") == std::string::npos, text.c_str());
        QVERIFY(text.size() <= MaxAnnouncementBytes);
        const auto back = DecodeAnnouncement(text);
        QVERIFY2(back.has_value(), text.c_str());
        what.host.clear();
        QCOMPARE(*back, what);
    }
}

void TstTableBeacon::heardTablesForgetAndUpdate()
{
    HeardTables heard;
    heard.setForgetAfter(5s);
    const QString host = QStringLiteral("192.0.2.7");
    auto say = [&](const TableAnnouncement& what, HeardTables::Time now) {
        return heard.admit(host, now) && heard.hear(host, datagram(what), now);
    };

    QVERIFY(say(table(QStringLiteral("ABC234"), QStringLiteral("Hawk")), 0ms));
    QCOMPARE(heard.tables().size(), std::size_t(1));
    QCOMPARE(heard.tables().front().host, host);
    // The same again: heard, nothing changed.
    QVERIFY(!say(table(QStringLiteral("ABC234"), QStringLiteral("Hawk")), 1000ms));
    // A beacon heard every second is never forgotten, however long it lives.
    for (int second = 2; second <= 20; ++second) {
        QVERIFY(!say(table(QStringLiteral("ABC234"), QStringLiteral("Hawk")), std::chrono::seconds(second)));
        QVERIFY(!heard.forgetOld(std::chrono::seconds(second) + 900ms));
    }
    // A chair taken: the same table, changed in place.
    QVERIFY(say(table(QStringLiteral("ABC234"), QStringLiteral("Hawk"), 2), 21s));
    QCOMPARE(heard.tables().size(), std::size_t(1));
    QCOMPARE(heard.tables().front().openChairs, 2);

    // Silent from 21 s: kept until 26 s, gone then.
    QVERIFY(!heard.forgetOld(25999ms));
    QCOMPARE(heard.tables().size(), std::size_t(1));
    QVERIFY(heard.forgetOld(26s));
    QVERIFY(heard.tables().empty());
    QVERIFY(!heard.forgetOld(30s));
}

void TstTableBeacon::heardTablesLimits()
{
    HeardTables heard;
    const QString flooder = QStringLiteral("192.0.2.66");

    // A burst from one address: a few read, the rest dropped before they are looked at.
    int admitted = 0;
    for (int i = 0; i < 100; ++i)
        admitted += heard.admit(flooder, 10ms) ? 1 : 0;
    QCOMPARE(admitted, HeardTables::MaxDatagramsPerSenderPerSecond);
    // Another address is not held up by it.
    QVERIFY(heard.admit(QStringLiteral("192.0.2.5"), 20ms));
    // A second later the flooder is read again.
    QVERIFY(!heard.admit(flooder, 1009ms));
    QVERIFY(heard.admit(flooder, 1010ms));

    // Within its budget, one address announcing ever new tables takes a few places only.
    for (int i = 0; i < 40; ++i)
        heard.hear(flooder, datagram(table(codeNumber(i), QStringLiteral("Flood"))), std::chrono::seconds(2 + i / 4));
    QCOMPARE(heard.tables().size(), HeardTables::MaxTablesPerSender);
    // A known table of the full address is still updated.
    QVERIFY(heard.hear(flooder, datagram(table(codeNumber(0), QStringLiteral("Flood"), 1)), 12s));

    // Many addresses: the list stops at its size, the tables first heard kept.
    for (int i = 0; i < 50; ++i) {
        const QString host = QStringLiteral("198.51.100.%1").arg(i + 1);
        heard.hear(host, datagram(table(codeNumber(100 + i), QStringLiteral("Host %1").arg(i))), 12s);
    }
    const auto tables = heard.tables();
    QCOMPARE(tables.size(), HeardTables::MaxTables);
    QVERIFY(codes(tables).contains(codeNumber(0)));
    QVERIFY(!codes(tables).contains(codeNumber(100 + 49)));

    // The budgets of ever new addresses (spoofed, say) are bounded too: in one second only so
    // many addresses are read, and the next second makes room again.
    HeardTables spoofed;
    int newAddressesRead = 0;
    for (int i = 0; i < 1000; ++i)
        newAddressesRead += spoofed.admit(QStringLiteral("10.0.%1.%2").arg(i / 250).arg(i % 250), 0ms) ? 1 : 0;
    QVERIFY(newAddressesRead >= int(HeardTables::MaxTables));
    QVERIFY(newAddressesRead < 1000);
    QVERIFY(spoofed.admit(QStringLiteral("10.9.9.9"), 1000ms));
}

void TstTableBeacon::heardTablesSorted()
{
    HeardTables heard;
    const QStringList names{QStringLiteral("owl"), QStringLiteral("Hawk"), QStringLiteral("Crane"), QStringLiteral("hawk")};
    for (int i = 0; i < names.size(); ++i) {
        const QString host = QStringLiteral("192.0.2.%1").arg(10 - i);
        QVERIFY(heard.admit(host, 0ms));
        QVERIFY(heard.hear(host, datagram(table(codeNumber(i), names[i])), 0ms));
    }
    QStringList shown;
    for (const TableAnnouncement& what : heard.tables())
        shown << what.name;
    QCOMPARE(shown, (QStringList{QStringLiteral("Crane"), QStringLiteral("Hawk"), QStringLiteral("hawk"),
                                 QStringLiteral("owl")}));
}

void TstTableBeacon::beaconHeardByFinder()
{
    TableFinder finder(QHostAddress::LocalHost, 0);
    QVERIFY(finder.listening());
    QSignalSpy changed(&finder, &TableFinder::tablesChanged);

    // The host named in the announcement is not sent; the finder takes the sender's.
    TableAnnouncement what = table(QStringLiteral("KMN456"), QStringLiteral("صقر"), 3, 4141);
    what.host = QStringLiteral("203.0.113.9");
    TableBeacon beacon(what, QHostAddress::LocalHost, finder.port());
    QVERIFY(waitUntil([&] { return finder.tables().size() == 1; }, 5000));
    TableAnnouncement heard = finder.tables().front();
    QCOMPARE(heard.host, QStringLiteral("127.0.0.1"));
    heard.host = what.host;
    QCOMPARE(heard, what);
    QCOMPARE(changed.count(), 1);

    // A chair taken is said at once, not at the next second.
    what.openChairs = 2;
    beacon.update(what);
    QVERIFY(waitUntil([&] { return finder.tables().front().openChairs == 2; }, 500));
    QCOMPARE(finder.tables().size(), std::size_t(1));
    QCOMPARE(changed.count(), 2);
}

void TstTableBeacon::tableForgottenWhenBeaconStops()
{
    TableFinder finder(QHostAddress::LocalHost, 0);
    finder.setForgetAfter(300ms);
    auto beacon = std::make_unique<TableBeacon>(table(QStringLiteral("PQR567"), QStringLiteral("Hawk")),
                                                QHostAddress::LocalHost, finder.port());
    QVERIFY(waitUntil([&] { return finder.tables().size() == 1; }, 5000));
    QSignalSpy changed(&finder, &TableFinder::tablesChanged);
    beacon.reset();
    QVERIFY(waitUntil([&] { return finder.tables().empty(); }, 3000));
    QCOMPARE(changed.count(), 1);
}

void TstTableBeacon::floodFromOneSender_data()
{
    QTest::addColumn<bool>("newTables");
    QTest::newRow("ever new tables") << true;
    QTest::newRow("one table, ever changing") << false;
}

void TstTableBeacon::floodFromOneSender()
{
    QFETCH(bool, newTables);
    TableFinder finder(QHostAddress::LocalHost, 0);
    QSignalSpy changed(&finder, &TableFinder::tablesChanged);
    QUdpSocket flooder;
    QVERIFY(flooder.bind(QHostAddress::LocalHost, 0));
    // Sent in a burst, far faster than any beacon.
    for (int i = 0; i < 300; ++i) {
        const TableAnnouncement what = table(codeNumber(newTables ? i : 0), QStringLiteral("Flood %1").arg(i));
        flooder.writeDatagram(QByteArray::fromStdString(datagram(what)), QHostAddress::LocalHost, finder.port());
    }
    QVERIFY(waitUntil([&] { return !finder.tables().empty(); }, 5000));
    // Whatever more there is to read is read now.
    waitUntil([] { return false; }, 300);

    const auto tables = finder.tables();
    QVERIFY(tables.size() <= HeardTables::MaxTablesPerSender);
    QVERIFY(changed.count() <= HeardTables::MaxDatagramsPerSenderPerSecond);
    for (const TableAnnouncement& what : tables)
        QCOMPARE(what.host, QStringLiteral("127.0.0.1"));
    // Only the first few were read: the table stands as the last of those said.
    if (!newTables) {
        QCOMPARE(tables.size(), std::size_t(1));
        QCOMPARE(tables.front().name, QStringLiteral("Flood %1").arg(HeardTables::MaxDatagramsPerSenderPerSecond - 1));
    }
}

void TstTableBeacon::hostileDatagramsNotListed()
{
    TableFinder finder(QHostAddress::LocalHost, 0);
    QUdpSocket sender;
    QVERIFY(sender.bind(QHostAddress::LocalHost, 0));
    // Four at once, within an address's budget: each is read, and refused for its own fault.
    const QList<QByteArray> hostile{
        with("{", "{\"host\":\"203.0.113.9\","),
        Good + QByteArray(4000, ' '),
        with("Hawk", "Ha\\u0007wk"),
    };
    for (const QByteArray& bytes : hostile)
        QCOMPARE(sender.writeDatagram(bytes, QHostAddress::LocalHost, finder.port()), qint64(bytes.size()));
    // A good one after them is still heard: the bad ones were read and dropped.
    sender.writeDatagram(Good, QHostAddress::LocalHost, finder.port());
    QVERIFY(waitUntil([&] { return !finder.tables().empty(); }, 5000));
    QCOMPARE(finder.tables().size(), std::size_t(1));
    QCOMPARE(finder.tables().front().host, QStringLiteral("127.0.0.1"));
    QCOMPARE(finder.tables().front().name, QStringLiteral("Hawk"));
}

void TstTableBeacon::finderOnTakenPort()
{
    // Two games on one computer share the port.
    TableFinder first(QHostAddress::LocalHost, 0);
    QVERIFY(first.listening());
    TableFinder second(QHostAddress::LocalHost, first.port());
    QVERIFY(second.listening());

    // A program that keeps the port to itself leaves the finder deaf, and it says so.
    QUdpSocket owner;
    QVERIFY(owner.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    TableFinder shut(QHostAddress::LocalHost, owner.localPort());
    QVERIFY(!shut.listening());
    QVERIFY(shut.tables().empty());
}

QTEST_GUILESS_MAIN(TstTableBeacon)
#include "tst_table_beacon.moc"
