// SPDX-License-Identifier: GPL-3.0-or-later
// The chat panel: lines from the network shown as plain text, each in its own direction with
// the name and the words kept apart, cleaned and cut to size, the last 200 kept; the edit
// line's limit, the rate limit and its notice; each line announced to assistive technology;
// and the lines as drawn, in an English and an Arabic window (HALBEET_TEST_GRABS=<folder>
// saves pictures of them to look at).

#include "ui/announcer.h"
#include "ui/chat_panel.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

using namespace halbeet;
using namespace std::chrono_literals;

namespace {

const QChar Fsi(0x2068);
const QChar Pdi(0x2069);

ChatTexts texts()
{
    return {QStringLiteral("Say something"), QStringLiteral("Send"), QStringLiteral("Not so fast"),
            QStringLiteral("Chat")};
}

// The panel in a direction, with the clock of the rate limit in the test's hands.
struct Panel {
    explicit Panel(Qt::LayoutDirection direction = Qt::LeftToRight) : panel(texts())
    {
        panel.setLayoutDirection(direction);
        panel.setClock([this] { return now; });
    }
    QStringList blocks() const
    {
        QStringList list;
        for (QTextBlock b = panel.lines()->document()->begin(); b.isValid(); b = b.next())
            list << b.text();
        return list;
    }
    QTextBlock lastBlock() const { return panel.lines()->document()->lastBlock(); }
    void type(const QString& text)
    {
        panel.edit()->setText(text);
        QTest::keyClick(panel.edit(), Qt::Key_Return);
    }

    ChatPanel panel;
    std::chrono::milliseconds now{0};
};

QString accessibleName(QObject* object)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// Left and right end of what is drawn on the row of a block, in the lines' viewport; -1 for
// an empty row.
std::pair<int, int> inkExtent(const QImage& image, const QRect& row)
{
    const QRgb background = image.pixel(image.width() / 2, image.height() - 2);
    int left = -1;
    int right = -1;
    for (int y = std::max(0, row.top()); y <= std::min(image.height() - 1, row.bottom()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < qGray(background) - 80) {
                left = left < 0 ? x : std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

} // namespace

class TstChatPanel : public QObject {
    Q_OBJECT

private slots:
    void linesShownAsPlainText();
    void lineDirectionAndIsolation_data();
    void lineDirectionAndIsolation();
    void lastLinesKept();
    void editLineLimit_data();
    void editLineLimit();
    void sending();
    void rateLimit();
    void noticeGoesAway();
    void linesAnnounced();
    void accessibleNames();
    void drawnInTheirOwnDirection_data();
    void drawnInTheirOwnDirection();
};

void TstChatPanel::linesShownAsPlainText()
{
    Panel p;
    p.panel.addLine(QStringLiteral("<b>Hawk</b>"), QStringLiteral("<i>hi</i> &amp; <img src=\"x.png\"> <a href=\"x\">y</a>"));
    QCOMPARE(p.blocks(), QStringList(Fsi + QStringLiteral("<b>Hawk</b>") + Pdi + QStringLiteral(": ") + Fsi +
                                     QStringLiteral("<i>hi</i> &amp; <img src=\"x.png\"> <a href=\"x\">y</a>") + Pdi));
    // Nothing of it became a picture, a link or a style.
    for (auto it = p.lastBlock().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        QVERIFY(!format.isImageFormat());
        QVERIFY(!format.isAnchor());
        QVERIFY(!format.fontItalic());
    }
}

void TstChatPanel::lineDirectionAndIsolation_data()
{
    QTest::addColumn<Qt::LayoutDirection>("panel");
    QTest::addColumn<QString>("who");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    const auto ltr = Qt::LeftToRight;
    const auto rtl = Qt::RightToLeft;
    const QString hawk = QStringLiteral("Hawk");
    const QString saqr = QStringLiteral("صقر");
    const QString hello = QStringLiteral("hello there");
    const QString marhaba = QStringLiteral("مرحبا بكم");
    QTest::newRow("English words, English window") << ltr << hawk << hello << hawk << hello << ltr;
    QTest::newRow("English words, Arabic window") << rtl << hawk << hello << hawk << hello << ltr;
    QTest::newRow("Arabic words, English window") << ltr << saqr << marhaba << saqr << marhaba << rtl;
    QTest::newRow("Arabic words, Arabic window") << rtl << saqr << marhaba << saqr << marhaba << rtl;
    QTest::newRow("Arabic name, English words") << rtl << saqr << hello << saqr << hello << ltr;
    QTest::newRow("English name, Arabic words") << ltr << hawk << marhaba << hawk << marhaba << rtl;
    QTest::newRow("digits first, then Arabic") << ltr << hawk << QStringLiteral("3 مرات") << hawk << QStringLiteral("3 مرات") << rtl;
    QTest::newRow("no letters, English window") << ltr << saqr << QStringLiteral("14 :-)") << saqr << QStringLiteral("14 :-)") << ltr;
    QTest::newRow("no letters, Arabic window") << rtl << hawk << QStringLiteral("14 :-)") << hawk << QStringLiteral("14 :-)") << rtl;

    QTest::newRow("control characters dropped")
        << ltr << QStringLiteral("Ha\nwk") << QStringLiteral("a\tb\u0007c\u0085d\r\ne\u2028f\u2029g") << hawk
        << QStringLiteral("abcdefg") << ltr;
    // An override or isolate left open, or a stray close, would turn the rest of the line round.
    QTest::newRow("direction controls dropped")
        << ltr << QStringLiteral("x\u2069\u202Ey") << QStringLiteral("\u202Bhello\u2066 there") << QStringLiteral("xy")
        << hello << ltr;
    QTest::newRow("direction marks kept") << ltr << hawk << QStringLiteral("\u200Fhi") << hawk << QStringLiteral("\u200Fhi") << rtl;
    QTest::newRow("long name and words cut")
        << ltr << QString(30, QLatin1Char('n')) << QString(250, QLatin1Char('w')) << QString(24, QLatin1Char('n'))
        << QString(200, QLatin1Char('w')) << ltr;
    QTest::newRow("no name") << rtl << QString() << hello << QString() << hello << ltr;
    QTest::newRow("a name of controls only") << ltr << QStringLiteral("\u0007\u202E") << hello << QString() << hello << ltr;
}

void TstChatPanel::lineDirectionAndIsolation()
{
    QFETCH(Qt::LayoutDirection, panel);
    QFETCH(QString, who);
    QFETCH(QString, text);
    QFETCH(QString, shownName);
    QFETCH(QString, shownText);
    QFETCH(Qt::LayoutDirection, direction);

    Panel p(panel);
    p.panel.addLine(who, text);
    const QString name = shownName.isEmpty() ? QString() : Fsi + shownName + Pdi + QStringLiteral(": ");
    QCOMPARE(p.blocks(), QStringList(name + Fsi + shownText + Pdi));
    QCOMPARE(p.lastBlock().blockFormat().layoutDirection(), direction);
    QCOMPARE(p.lastBlock().textDirection(), direction);
    const QString announced = shownName.isEmpty() ? shownText : shownName + QStringLiteral(": ") + shownText;
    QCOMPARE(p.panel.announcer()->accessibleName(), announced);
    QCOMPARE(p.panel.announcer()->history(), QStringList(announced));
}

void TstChatPanel::lastLinesKept()
{
    Panel p;
    p.panel.resize(300, 200);
    p.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.panel));
    // Lines that come to nothing are not lines.
    p.panel.addLine(QStringLiteral("Hawk"), QString());
    p.panel.addLine(QStringLiteral("Hawk"), QStringLiteral("\u0007\u202E"));
    QCOMPARE(p.panel.lines()->document()->toPlainText(), QString());
    for (int i = 1; i <= 250; ++i)
        p.panel.addLine(QStringLiteral("Hawk"), QStringLiteral("line %1").arg(i));
    const QStringList blocks = p.blocks();
    QCOMPARE(blocks.size(), ChatPanel::MaxLines);
    QVERIFY(blocks.first().contains(QStringLiteral("line 51") + Pdi));
    QVERIFY(blocks.last().contains(QStringLiteral("line 250") + Pdi));
    QScrollBar* scroll = p.panel.lines()->verticalScrollBar();
    QVERIFY(scroll->maximum() > 0);
    QCOMPARE(scroll->value(), scroll->maximum());

    // Scrolled back to read: a new line does not pull the view away.
    scroll->setValue(0);
    p.panel.addLine(QStringLiteral("Hawk"), QStringLiteral("line 251"));
    QCOMPARE(scroll->value(), 0);
}

void TstChatPanel::editLineLimit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("after");

    const QString smile = QStringLiteral("\U0001F600");
    const QString a199(199, QLatin1Char('a'));
    QTest::newRow("pasted past the end") << QString() << 0 << QString(250, QLatin1Char('a')) << QString(200, QLatin1Char('a'));
    QTest::newRow("exactly full") << a199 << 199 << QStringLiteral("b") << a199 + QLatin1Char('b');
    QTest::newRow("one key too many") << a199 + QLatin1Char('b') << 200 << QStringLiteral("c") << a199 + QLatin1Char('b');
    // Characters, not UTF-16 units: a picture outside the first plane is one, never halved.
    QTest::newRow("pictures count once") << QString() << 0 << smile.repeated(150) << smile.repeated(150);
    QTest::newRow("picture not halved") << a199 << 199 << smile + smile << a199 + smile;
    QTest::newRow("Arabic") << QString() << 0 << QStringLiteral("م").repeated(201) << QStringLiteral("م").repeated(200);
    // Into the middle of a full line: what was put in goes, the rest stays.
    QTest::newRow("full, in the middle") << QString(100, QLatin1Char('x')) + QString(100, QLatin1Char('y')) << 100
                                         << QStringLiteral("ZZZ") << QString(100, QLatin1Char('x')) + QString(100, QLatin1Char('y'));
    QTest::newRow("nearly full, in the middle") << QString(99, QLatin1Char('x')) + QString(100, QLatin1Char('y')) << 99
                                                << QStringLiteral("ZZZ")
                                                << QString(99, QLatin1Char('x')) + QLatin1Char('Z') + QString(100, QLatin1Char('y'));
}

void TstChatPanel::editLineLimit()
{
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, inserted);
    QFETCH(QString, after);

    Panel p;
    QLineEdit* edit = p.panel.edit();
    edit->setText(before);
    edit->setCursorPosition(cursor);
    edit->insert(inserted);
    QCOMPARE(edit->text(), after);

    QSignalSpy said(&p.panel, &ChatPanel::said);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(said.count(), 1);
    QCOMPARE(said.first().first().toString(), after);
}

void TstChatPanel::sending()
{
    Panel p;
    QSignalSpy said(&p.panel, &ChatPanel::said);
    QLineEdit* edit = p.panel.edit();
    QPushButton* send = p.panel.sendButton();
    QVERIFY(!send->isEnabled());

    QTest::keyClicks(edit, QStringLiteral("  hello  "));
    QVERIFY(send->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(said.count(), 1);
    QCOMPARE(said.last().first().toString(), QStringLiteral("hello"));
    QVERIFY(edit->text().isEmpty());
    QVERIFY(!send->isEnabled());

    // Spaces alone are nothing to send, and stay where they are.
    QTest::keyClicks(edit, QStringLiteral("   "));
    QVERIFY(!send->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(said.count(), 1);
    QCOMPARE(edit->text(), QStringLiteral("   "));

    // A pasted line break or tab becomes a space: the server takes no control characters.
    edit->setText(QStringLiteral("one\ttwo\nthree\u2029"));
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(said.count(), 2);
    QCOMPARE(said.last().first().toString(), QStringLiteral("one two three"));
    QVERIFY(edit->text().isEmpty());

    // The player's own markup is sent as it is: it is shown as text at the other end.
    p.now = 10s;
    p.type(QStringLiteral("<b>bold</b>"));
    QCOMPARE(said.last().first().toString(), QStringLiteral("<b>bold</b>"));
}

void TstChatPanel::rateLimit()
{
    Panel p;
    QSignalSpy said(&p.panel, &ChatPanel::said);
    QLabel* notice = p.panel.notice();
    p.panel.show();
    QVERIFY(!notice->isVisible());

    p.now = 0ms;
    p.type(QStringLiteral("one"));
    p.now = 1000ms;
    p.type(QStringLiteral("two"));
    p.now = 2000ms;
    p.type(QStringLiteral("three"));
    QCOMPARE(said.count(), 3);

    // A fourth inside five seconds of the first is held back, with the notice, and kept.
    p.now = 4999ms;
    p.type(QStringLiteral("four"));
    QCOMPARE(said.count(), 3);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("Not so fast"));
    QCOMPARE(p.panel.announcer()->accessibleName(), QStringLiteral("Not so fast"));
    QCOMPARE(p.panel.edit()->text(), QStringLiteral("four"));

    // Five seconds after the first, it goes; the notice with it.
    p.now = 5000ms;
    QTest::keyClick(p.panel.edit(), Qt::Key_Return);
    QCOMPARE(said.count(), 4);
    QCOMPARE(said.last().first().toString(), QStringLiteral("four"));
    QVERIFY(!notice->isVisible());
    QVERIFY(p.panel.edit()->text().isEmpty());

    // Lines held back do not count: three more are sent once the window has moved on.
    p.now = 5500ms;
    p.type(QStringLiteral("five"));
    QCOMPARE(said.count(), 4);
    p.now = 7000ms;
    QTest::keyClick(p.panel.edit(), Qt::Key_Return);
    QCOMPARE(said.count(), 5);
}

void TstChatPanel::noticeGoesAway()
{
    Panel p;
    p.panel.show();
    for (const char* line : {"one", "two", "three", "four"})
        p.type(QString::fromLatin1(line));
    QVERIFY(p.panel.notice()->isVisible());
    if (const QString folder = qEnvironmentVariable("HALBEET_TEST_GRABS"); !folder.isEmpty()) {
        p.panel.resize(300, 200);
        p.panel.addLine(QStringLiteral("Hawk"), QStringLiteral("one"));
        p.panel.grab().save(QDir(folder).filePath(QStringLiteral("chat-notice.png")));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!p.panel.notice()->isVisible(), int(ChatPanel::NoticeTime.count()) + 2000);
    QCOMPARE(p.panel.edit()->text(), QStringLiteral("four"));
}

void TstChatPanel::linesAnnounced()
{
    Panel p;
    p.panel.show();
    p.panel.addLine(QStringLiteral("صقر"), QStringLiteral("hello"));
    p.panel.addLine(QStringLiteral("Hawk"), QStringLiteral("<b>gg</b>"));
    // The same words again are heard again.
    p.panel.addLine(QStringLiteral("Hawk"), QStringLiteral("<b>gg</b>"));
    QCOMPARE(p.panel.announcer()->history(), (QStringList{QStringLiteral("صقر: hello"), QStringLiteral("Hawk: <b>gg</b>"),
                                 QStringLiteral("Hawk: <b>gg</b>")}));
    // The announcer speaks only to assistive technology.
    QVERIFY(p.panel.announcer()->text().isEmpty());
    QVERIFY(p.panel.announcer()->width() <= 1);
}

void TstChatPanel::accessibleNames()
{
    Panel p;
    p.panel.show();
    QCOMPARE(accessibleName(&p.panel), QStringLiteral("Chat"));
    QCOMPARE(accessibleName(p.panel.lines()), QStringLiteral("Chat"));
    QCOMPARE(accessibleName(p.panel.edit()), QStringLiteral("Say something"));
    QCOMPARE(accessibleName(p.panel.sendButton()), QStringLiteral("Send"));
    QCOMPARE(p.panel.announcer()->accessibleDescription(), QStringLiteral("Chat"));
    // Everything is reached with the keys: the lines, the edit line, the button.
    QVERIFY(p.panel.lines()->focusPolicy() & Qt::TabFocus);
    QVERIFY(p.panel.edit()->focusPolicy() & Qt::TabFocus);
    QVERIFY(p.panel.sendButton()->focusPolicy() & Qt::TabFocus);
}

void TstChatPanel::drawnInTheirOwnDirection_data()
{
    QTest::addColumn<Qt::LayoutDirection>("panel");
    QTest::newRow("English window") << Qt::LeftToRight;
    QTest::newRow("Arabic window") << Qt::RightToLeft;
}

void TstChatPanel::drawnInTheirOwnDirection()
{
    QFETCH(Qt::LayoutDirection, panel);
    Panel p(panel);
    p.panel.resize(420, 260);
    p.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.panel));
    struct Line {
        QString who;
        QString text;
        Qt::LayoutDirection direction;
    };
    const std::vector<Line> lines{
        {QStringLiteral("صقر"), QStringLiteral("مرحبا بكم جميعا"), Qt::RightToLeft},
        {QStringLiteral("Hawk"), QStringLiteral("Good game, all"), Qt::LeftToRight},
        {QStringLiteral("صقر"), QStringLiteral("well played"), Qt::LeftToRight},
        {QStringLiteral("Hawk"), QStringLiteral("شكرا <b>x</b>"), Qt::RightToLeft},
    };
    for (const Line& line : lines)
        p.panel.addLine(line.who, line.text);
    p.panel.edit()->setText(QStringLiteral("أهلا"));
    QApplication::processEvents();

    QWidget* viewport = p.panel.lines()->viewport();
    const QImage image = viewport->grab().toImage();
    if (const QString folder = qEnvironmentVariable("HALBEET_TEST_GRABS"); !folder.isEmpty()) {
        const QString name = panel == Qt::LeftToRight ? QStringLiteral("chat-ltr.png") : QStringLiteral("chat-rtl.png");
        p.panel.grab().save(QDir(folder).filePath(name));
    }

    // A line of one direction starts at that side, whatever the window's: its ink keeps to
    // that half of the row.
    QTextBlock block = p.panel.lines()->document()->begin();
    for (const Line& line : lines) {
        QTextCursor at(block);
        const QRect row = p.panel.lines()->cursorRect(at);
        const auto [left, right] = inkExtent(image, row);
        const QByteArray what = (line.who + QStringLiteral(": ") + line.text).toUtf8() + " drawn at " +
                                QByteArray::number(left) + ".." + QByteArray::number(right) + " of " +
                                QByteArray::number(image.width());
        QVERIFY2(left >= 0, what);
        if (line.direction == Qt::LeftToRight)
            QVERIFY2(left < image.width() / 8 && right < image.width() * 3 / 4, what);
        else
            QVERIFY2(right > image.width() * 7 / 8 && left > image.width() / 4, what);
        block = block.next();
    }
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstChatPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chat_panel.moc"
