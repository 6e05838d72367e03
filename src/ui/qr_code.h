// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A QR code of a table's link, for a friend's phone to read off the host's screen: its modules
// made by libqrencode, drawn square by square on whole device pixels so that it stays sharp at
// any size and screen scale.

#include <QString>
#include <QWidget>

#include <vector>

namespace halbeet {

// The modules of a text's QR code (medium error correction, the smallest version that holds it).
class QrMatrix {
public:
    QrMatrix() = default;
    explicit QrMatrix(const QString& text);
    // Modules a side; 0 when there is no code (no text, or one too long for any version).
    int size() const { return m_size; }
    bool dark(int x, int y) const { return m_dark[static_cast<std::size_t>(y * m_size + x)]; }

private:
    int m_size = 0;
    std::vector<bool> m_dark;
};

class QrCodeWidget final : public QWidget {
    Q_OBJECT

public:
    // The light margin readers need around a code, in modules.
    static constexpr int QuietModules = 4;

    explicit QrCodeWidget(QWidget* parent = nullptr);
    // The text to encode and the widget's accessible name.
    void setCode(const QString& text, const QString& accessibleName);
    const QrMatrix& matrix() const { return m_matrix; }
    QString text() const { return m_text; }

    // Four pixels a module when there is room, down to two on a crowded panel.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QrMatrix m_matrix;
};

} // namespace halbeet
