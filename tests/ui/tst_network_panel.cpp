// SPDX-License-Identifier: GPL-3.0-or-later
// The hosted table's panel: the links a browser opens the table with and the QR code of the
// first, drawn module for module as libqrencode makes it, sharp at every size and screen scale
// and never mirrored; Copy hands a friend both the address and the link.

#include "ui/language.h"
#include "ui/network_panel.h"
#include "ui/qr_code.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <qrencode.h>

#include <memory>

using namespace halbeet;

namespace {

const QString Link = QStringLiteral("http://192.168.1.5:4141/#K7MQ2P");

// libqrencode's own matrix for the text, as the reference.
struct Reference {
    int size = 0;
    std::vector<bool> dark;
};
Reference referenceOf(const QString& text)
{
    QRcode* code = QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    Reference reference;
    if (!code)
        return reference;
    reference.size = code->width;
    for (int i = 0; i < code->width * code->width; ++i)
        reference.dark.push_back((code->data[i] & 1) != 0);
    QRcode_free(code);
    return reference;
}

} // namespace

class TstNetworkPanel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setCurrentLang(QStringLiteral("EN")); }

    // The code drawn into images of several sizes and scales: a light square with the quiet
    // margin, every module a whole number of pixels of pure black or white, dark exactly where
    // libqrencode's matrix is, read left to right in either direction of the interface.
    void theCodeIsDrawnModuleForModule_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("its own size") << 0 << 1.0 << Qt::LeftToRight;
        QTest::newRow("an odd size") << 171 << 1.0 << Qt::LeftToRight;
        QTest::newRow("scale 1.5") << 0 << 1.5 << Qt::LeftToRight;
        QTest::newRow("scale 2, larger") << 300 << 2.0 << Qt::LeftToRight;
        QTest::newRow("right to left") << 0 << 1.25 << Qt::RightToLeft;
    }
    void theCodeIsDrawnModuleForModule()
    {
        QFETCH(int, side);
        QFETCH(double, ratio);
        QFETCH(Qt::LayoutDirection, direction);
        const Reference reference = referenceOf(Link);
        QVERIFY(reference.size >= 21);

        QrCodeWidget widget;
        widget.setLayoutDirection(direction);
        widget.setCode(Link, QStringLiteral("the code"));
        QCOMPARE(widget.matrix().size(), reference.size);
        const QSize size = side > 0 ? QSize(side, side + 10) : widget.sizeHint();
        widget.resize(size);
        QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        const QRgb background = qRgb(40, 120, 40);
        image.fill(background);
        // Without the window background: only what the widget paints itself.
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);

        // The square: whatever is not the background.
        QRect square;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != background)
                    square |= QRect(x, y, 1, 1);
        const int across = reference.size + 2 * QrCodeWidget::QuietModules;
        QCOMPARE(square.width(), square.height());
        QVERIFY2(square.width() % across == 0, qPrintable(QString::number(square.width())));
        const int module = square.width() / across;
        QVERIFY(module >= 1);
        // As large as whole modules allow, in the middle.
        const int room = std::min(image.width(), image.height());
        QVERIFY(room - square.width() < across);
        QVERIFY(std::abs(square.center().x() - image.width() / 2) <= 1);

        for (int y = square.top(); y <= square.bottom(); ++y) {
            for (int x = square.left(); x <= square.right(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY2(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255),
                         qPrintable(QStringLiteral("grey at %1,%2").arg(x).arg(y)));
                const int mx = (x - square.left()) / module - QrCodeWidget::QuietModules;
                const int my = (y - square.top()) / module - QrCodeWidget::QuietModules;
                const bool inCode = mx >= 0 && my >= 0 && mx < reference.size && my < reference.size;
                const bool dark = inCode && reference.dark[static_cast<std::size_t>(my * reference.size + mx)];
                if ((pixel == qRgb(0, 0, 0)) != dark)
                    QFAIL(qPrintable(QStringLiteral("module %1,%2 drawn wrong").arg(mx).arg(my)));
            }
        }
    }

    // Nothing to encode: nothing drawn.
    void noTextNoCode()
    {
        QrCodeWidget widget;
        widget.setCode(QString(), QString());
        QCOMPARE(widget.matrix().size(), 0);
        widget.resize(100, 100);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::green);
        // Without the window background: only what the widget paints itself.
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(image.pixel(50, 50), QColor(Qt::green).rgb());
    }

    // A host's panel: one link per address, the code of the first with its accessible name,
    // Copy with the address and the link; a guest's panel shows none of them.
    void theHostSeesTheLinksAndTheCode()
    {
        NetworkPanel panel;
        panel.resize(300, 800);
        panel.show();
        panel.showTable(QStringLiteral("K7MQ2P"), {QStringLiteral("192.168.1.5"), QStringLiteral("fd00::5")}, 4141);
        QApplication::processEvents();
        QVERIFY(panel.linksLabel()->isVisible());
        QVERIFY(panel.linksLabel()->text().contains(Link));
        QVERIFY(panel.linksLabel()->text().contains(QStringLiteral("http://[fd00::5]:4141/#K7MQ2P")));
        QVERIFY(panel.qrCode()->isVisible());
        QCOMPARE(panel.qrCode()->text(), Link);
        QCOMPARE(panel.qrCode()->accessibleName(), QStringLiteral("QR code of the link ") + Link);
        // With room to spare, the code has its full size.
        QCOMPARE(panel.qrCode()->size(), panel.qrCode()->sizeHint());
        QApplication::clipboard()->clear();
        panel.copyButton()->click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("192.168.1.5:4141 K7MQ2P\n") + Link);

        panel.showTable(QStringLiteral("K7MQ2P"), {}, 0);
        QVERIFY(!panel.linksLabel()->isVisible());
        QVERIFY(!panel.qrCode()->isVisible());
        QVERIFY(!panel.copyButton()->isVisible());
    }

    // On a panel as tall as the table, with a link for each of two addresses, everything is
    // there and nothing lies over anything else: the code shrinks to fit, whole modules still.
    void everythingFitsBesideTheTable()
    {
        NetworkPanel panel;
        panel.resize(260, 390);
        panel.show();
        panel.showTable(QStringLiteral("K7MQ2P"), {QStringLiteral("192.168.100.105"), QStringLiteral("10.77.0.1")},
                        4141);
        panel.setStartOffered(true);
        panel.setStatus(QStringLiteral("Start when your friends are seated."));
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QApplication::processEvents();
        QList<QWidget*> shown;
        for (QWidget* child : panel.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (child->isVisible())
                shown << child;
        QVERIFY(shown.contains(panel.qrCode()));
        for (qsizetype i = 0; i < shown.size(); ++i) {
            QVERIFY2(panel.rect().contains(shown[i]->geometry()), qPrintable(shown[i]->objectName()));
            for (qsizetype j = i + 1; j < shown.size(); ++j)
                QVERIFY2(!shown[i]->geometry().intersects(shown[j]->geometry()),
                         qPrintable(shown[i]->objectName() + QStringLiteral(" over ") + shown[j]->objectName()));
        }
        const int across = panel.qrCode()->matrix().size() + 2 * QrCodeWidget::QuietModules;
        QVERIFY(std::min(panel.qrCode()->width(), panel.qrCode()->height()) >= 2 * across);
    }

    // The link's line sits where the interface's lines begin: on the right in Arabic, though
    // the link itself reads left to right.
    void theLinkLineFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "EN";
        QTest::newRow("Arabic") << "AR";
    }
    void theLinkLineFollowsTheLanguage()
    {
        QFETCH(QString, language);
        setCurrentLang(language);
        const bool rightToLeft = language == QLatin1String("AR");
        NetworkPanel panel;
        panel.resize(320, 600);
        panel.show();
        panel.showTable(QStringLiteral("K7MQ2P"), {QStringLiteral("192.168.1.5")}, 4141);
        QLabel* links = panel.linksLabel();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QImage image = links->grab().toImage();
        setCurrentLang(QStringLiteral("EN"));
        // The ink of the lower line, the link's.
        const QRgb paper = image.pixel(0, 0);
        int left = image.width();
        int right = -1;
        for (int y = image.height() / 2; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != paper) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY(right >= 0);
        const int margin = image.width() / 8;
        if (rightToLeft)
            QVERIFY2(right > image.width() - margin && left > margin, qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
        else
            QVERIFY2(left < margin && right < image.width() - margin, qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
    }

    void linksByAddressKind_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("link");
        QTest::newRow("IPv4") << "10.0.0.7" << false << "http://10.0.0.7:4141/#K7MQ2P";
        QTest::newRow("IPv6") << "2001:db8::7" << false << "http://[2001:db8::7]:4141/#K7MQ2P";
        QTest::newRow("TLS") << "10.0.0.7" << true << "https://10.0.0.7:4141/#K7MQ2P";
    }
    void linksByAddressKind()
    {
        QFETCH(QString, address);
        QFETCH(bool, tls);
        QFETCH(QString, link);
        QCOMPARE(TableLink(address, 4141, QStringLiteral("K7MQ2P"), tls), link);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstNetworkPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_network_panel.moc"
