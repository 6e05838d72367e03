// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/card_sprite.h"

#include "ui/card_art.h"

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
}

void CardSprite::setSuite(int suite)
{
    if (suite == m_suite)
        return;
    m_suite = suite;
    update();
}

void CardSprite::setFace(TCardFace face)
{
    setNumber(face.Number);
    setSuite(face.Suite);
}

void CardSprite::paintEvent(QPaintEvent* /*event*/)
{
    const QPixmap picture = CardArt::forSprite(m_suite, m_number, size(), devicePixelRatioF());
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture);
}

void CardSprite::mousePressEvent(QMouseEvent* event)
{
    // Keep the press so that the release, and with it the click, belongs to this card.
    event->setAccepted(event->button() == Qt::LeftButton);
    if (!event->isAccepted())
        QWidget::mousePressEvent(event);
}

void CardSprite::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked(this);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace halbeet
