// SPDX-License-Identifier: GPL-3.0-or-later
// A card on the table: its picture at any scale, its place and its click.
#include "ui/card_sprite.h"

#include <utility>

#include "ui/card_art.h"
#include "ui/table_scale.h"

#include <QMouseEvent>
#include <QPainter>

namespace halbeet {

CardSprite::CardSprite(QWidget* parent) : QWidget(parent)
{
    // The rounded corners let the table show through, so the sprite paints no background.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void CardSprite::setNumber(int number)
{
    if (number == m_number)
        return;
    m_number = number;
    // A back does not show its rank.
    if (m_suite > 0)
        update();
    emit faceChanged();
}

void CardSprite::setSuite(int suite)
{
    if (suite == m_suite)
        return;
    m_suite = suite;
    update();
    emit faceChanged();
}

void CardSprite::setFace(TCardFace face)
{
    setNumber(face.Number);
    setSuite(face.Suite);
}

QRect CardSprite::logicalGeometry() const
{
    return m_scale ? m_scale->toLogical(geometry()) : geometry();
}

void CardSprite::setLogicalGeometry(const QRect& rect)
{
    setGeometry(m_scale ? m_scale->toReal(rect) : rect);
}

void CardSprite::moveLogical(QPoint at) { move(m_scale ? m_scale->toReal(at) : at); }

void CardSprite::setArtSize(QSize size)
{
    if (size == m_artSize)
        return;
    m_artSize = size;
    update();
}

void CardSprite::setFocusMark(bool on) { m_focusMark = on; }

bool CardSprite::focusMarkShown() const { return m_focusMark && isVisible() && isActiveWindow(); }

void CardSprite::paintEvent(QPaintEvent* /*event*/)
{
    const QSize art = m_artSize.isEmpty() ? size() : m_artSize;
    const QPixmap picture = CardArt::forSprite(m_suite, m_number, art, devicePixelRatioF());
    if (picture.isNull())
        return;
    QPainter painter(this);
    if (art == size()) {
        painter.drawPixmap(0, 0, picture);
    } else {
        // Only for the moments of a resize, until the table renders the new size.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture);
    }
}

void CardSprite::mousePressEvent(QMouseEvent* event)
{
    // Keep the press so that the release, and with it the click, belongs to this card.
    event->setAccepted(event->button() == Qt::LeftButton);
    m_leftPressed = event->isAccepted();
    if (!event->isAccepted())
        QWidget::mousePressEvent(event);
}

void CardSprite::mouseReleaseEvent(QMouseEvent* event)
{
    // A release whose press was refused (the table was locked then) is no click.
    const bool pressedHere = std::exchange(m_leftPressed, false);
    if (event->button() == Qt::LeftButton && pressedHere && rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked(this);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace halbeet
