// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One card on screen: a face (Suite 1..4, Number 1..13), a back (Suite -1..-13, design
// 1..13, Number keeping the hidden card's rank) or nothing (Suite 0).

#include "core/cards.h"

#include <QRect>
#include <QWidget>

namespace halbeet {

struct TableScale;

class CardSprite : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Number READ Number WRITE setNumber)
    Q_PROPERTY(int Suite READ Suite WRITE setSuite)

public:
    explicit CardSprite(QWidget* parent = nullptr);

    int Number() const { return m_number; }
    int Suite() const { return m_suite; }
    void setNumber(int number);
    void setSuite(int suite);
    TCardFace face() const { return {m_suite, m_number}; }
    void setFace(TCardFace face);

    // Place in the table's logical coordinates. On a scaled table the widget's geometry is
    // this times the table's factor; without a scale the two are the same.
    QRect logicalGeometry() const;
    void setLogicalGeometry(const QRect& rect);
    QPoint logicalPos() const { return logicalGeometry().topLeft(); }
    int logicalX() const { return logicalPos().x(); }
    int logicalY() const { return logicalPos().y(); }
    void moveLogical(QPoint at);
    void moveLogical(int x, int y) { moveLogical(QPoint(x, y)); }
    // The scale of the table the sprite lies on (it outlives the sprite). The logical place
    // is read back from the widget's geometry, so a plain move() keeps both in step.
    void setScale(const TableScale* scale) { m_scale = scale; }
    // The size the picture is rendered at. While a resize goes on the table holds the last
    // rendered size and the picture is drawn scaled; an empty size renders for the widget.
    void setArtSize(QSize size);
    // The keyboard's mark, shown while the window is the active one (a dialog over it hides
    // the mark). The sprite only keeps the flag: the hand draws the mark around the card, never
    // over a face, so that no rank is hidden by it.
    bool focusMark() const { return m_focusMark; }
    void setFocusMark(bool on);
    // True when the mark is on the screen now.
    bool focusMarkShown() const;

signals:
    void clicked(halbeet::CardSprite* sprite);
    // The face, the back or the rank changed.
    void faceChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_number = 0;
    int m_suite = 0;
    const TableScale* m_scale = nullptr;
    QSize m_artSize;
    bool m_focusMark = false;
    bool m_leftPressed = false;
};

} // namespace halbeet
