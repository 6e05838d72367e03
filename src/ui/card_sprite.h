// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One card on screen: a face (Suite 1..4, Number 1..13), a back (Suite -1..-13, design
// 1..13, Number keeping the hidden card's rank) or nothing (Suite 0).

#include "core/cards.h"

#include <QWidget>

namespace halbeet {

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

signals:
    void clicked(halbeet::CardSprite* sprite);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_number = 0;
    int m_suite = 0;
};

} // namespace halbeet
