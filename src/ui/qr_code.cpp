// SPDX-License-Identifier: GPL-3.0-or-later
// A QR code made by libqrencode and drawn on whole device pixels.
#include "ui/qr_code.h"

#include <QPaintEvent>
#include <QPainter>

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace halbeet {

QrMatrix::QrMatrix(const QString& text)
{
    if (text.isEmpty())
        return;
    const QByteArray utf8 = text.toUtf8();
    // Version 0: the smallest that holds the text. Medium correction still reads off a screen
    // with a reflection across it, and keeps a table's link at 29 modules a side or so.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return;
    m_size = code->width;
    m_dark.resize(static_cast<std::size_t>(m_size) * static_cast<std::size_t>(m_size));
    // The lowest bit of each byte is the module's colour; the others say what part it is of.
    for (std::size_t i = 0; i < m_dark.size(); ++i)
        m_dark[i] = (code->data[i] & 1) != 0;
}

QrCodeWidget::QrCodeWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TableQrCode"));
    // Never larger than its hint; smaller, down to its minimum, when the panel is short.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
}

void QrCodeWidget::setCode(const QString& text, const QString& accessibleName)
{
    m_text = text;
    m_matrix = QrMatrix(text);
    setAccessibleName(accessibleName);
    updateGeometry();
    update();
}

QSize QrCodeWidget::sizeHint() const
{
    // Four pixels a module: large enough for a phone's camera across a desk.
    const int side = (m_matrix.size() + 2 * QuietModules) * 4;
    return {side, side};
}

QSize QrCodeWidget::minimumSizeHint() const
{
    const int side = (m_matrix.size() + 2 * QuietModules) * 2;
    return {side, side};
}

void QrCodeWidget::paintEvent(QPaintEvent*)
{
    const int modules = m_matrix.size();
    if (modules == 0)
        return;
    QPainter painter(this);
    // Drawn in device pixels, each module a whole number of them: at a screen scale of 1.5 a
    // module of 2.67 pixels would blur its edges and a reader would see grey.
    // The ratio of what is painted on: the screen's, or an image's when the widget is rendered.
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    const int deviceWidth = static_cast<int>(width() * ratio);
    const int deviceHeight = static_cast<int>(height() * ratio);
    const int across = modules + 2 * QuietModules;
    const int module = std::max(1, std::min(deviceWidth, deviceHeight) / across);
    const int drawn = module * across;
    const int left = (deviceWidth - drawn) / 2;
    const int top = (deviceHeight - drawn) / 2;
    // Dark on light whatever the desktop's colours: readers expect it so.
    painter.fillRect(left, top, drawn, drawn, Qt::white);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            if (m_matrix.dark(x, y))
                painter.fillRect(left + (QuietModules + x) * module, top + (QuietModules + y) * module, module,
                                 module, Qt::black);
        }
    }
}

} // namespace halbeet
