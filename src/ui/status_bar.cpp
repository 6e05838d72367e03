// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's panels: their layout in each language, their texts and the trump picture.
#include "ui/status_bar.h"

#include "core/state.h"
#include "ui/arabic_style.h"
#include "ui/language.h"

#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include <algorithm>

namespace halbeet {

namespace {

// Space a bevelled panel leaves free before the next one.
constexpr int PanelGap = 2;
constexpr int PictureOffset = 15;

Qt::Alignment readingStart() { return isArabic() ? Qt::AlignRight : Qt::AlignLeft; }

void drawLoweredBevel(QPainter& painter, const QRect& rect, const QPalette& palette)
{
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(palette.color(QPalette::Light));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

} // namespace

void StatusPanel::setText(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    m_bar->update();
}

void StatusPanel::setWidth(int width)
{
    m_width = width;
    m_bar->update();
}

void StatusPanel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    m_bar->update();
}

void StatusPanel::setBevel(Bevel bevel)
{
    m_bevel = bevel;
    m_bar->update();
}

void StatusPanel::setOwnerDrawn(bool ownerDrawn)
{
    m_ownerDrawn = ownerDrawn;
    m_bar->update();
}

StatusBar::StatusBar(const TGameState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_textColour(Qt::red)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(BarHeight);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11));
    setLayoutDirection(languageDirection());
    setAutoFillBackground(true);

    // The designed layout, read from the right edge as Arabic is read: game name, trump,
    // dealer label, dealer, play label, player to play, hint.
    const MainWindowTexts& captions = texts().mainWindow;
    using Bevel = StatusPanel::Bevel;
    addPanel(180, QString(), Qt::AlignHCenter, Bevel::Lowered);
    addPanel(76, QString(), readingStart(), Bevel::Lowered);
    addPanel(60, captions.playLabel, Qt::AlignHCenter, Bevel::None);
    addPanel(76, QString(), readingStart(), Bevel::Lowered);
    addPanel(63, captions.dealLabel, Qt::AlignHCenter, Bevel::None);
    addPanel(50, QString(), Qt::AlignLeft, Bevel::Lowered, true);
    addPanel(50, captions.trumpLabel, readingStart(), Bevel::None);

    if (!isArabic())
        MirrorStatusPanels();
}

StatusBar::~StatusBar() = default;

void StatusBar::addPanel(int width, const QString& text, Qt::Alignment alignment,
                          StatusPanel::Bevel bevel, bool ownerDrawn)
{
    auto panel = std::make_unique<StatusPanel>(this);
    panel->setWidth(width);
    panel->setText(text);
    panel->setAlignment(alignment);
    panel->setBevel(bevel);
    panel->setOwnerDrawn(ownerDrawn);
    m_panels.push_back(std::move(panel));
}

StatusPanel* StatusBar::panel(int index) const
{
    if (index < 0 || index >= panelCount())
        return nullptr;
    return m_panels[static_cast<std::size_t>(index)].get();
}

StatusPanel* StatusBar::getDealPanel() const { return panel(3); }

StatusPanel* StatusBar::getPlayPanel() const { return panel(isArabic() ? 1 : 5); }

StatusPanel* StatusBar::getHintPanel() const { return panel(isArabic() ? 0 : 6); }

int StatusBar::trumpPanelIndex() const { return isArabic() ? 5 : 1; }

void StatusBar::MirrorStatusPanels()
{
    struct Saved {
        int width;
        QString text;
    };
    std::vector<Saved> saved;
    saved.reserve(m_panels.size());
    for (const auto& p : m_panels)
        saved.push_back({p->width(), p->text()});

    m_panels.clear();
    for (auto it = saved.rbegin(); it != saved.rend(); ++it)
        addPanel(it->width, it->text, readingStart(), StatusPanel::Bevel::Lowered);

    if (panelCount() == 7) {
        m_panels[1]->setOwnerDrawn(true);
        m_panels[1]->setText(QString());
        m_panels[6]->setAlignment(Qt::AlignHCenter);
        m_panels[2]->setWidth(30);
        m_panels[3]->setWidth(76);
        m_panels[4]->setWidth(30);
        m_panels[5]->setWidth(76);
    }
    repaintNow();
}

int StatusBar::stretchingPanelIndex() const { return isArabic() ? 0 : panelCount() - 1; }

QRect StatusBar::panelRect(int index) const
{
    int fixed = 0;
    for (const auto& p : m_panels)
        fixed += p->width();
    const int stretch = stretchingPanelIndex();
    const auto widthOf = [&](int i) {
        const int own = panel(i)->width();
        return i == stretch ? std::max(0, own + this->width() - fixed) : own;
    };
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += widthOf(i);
    return {left, 0, widthOf(index), height()};
}

QRect StatusBar::textRect(int index) const
{
    return panelRect(index).adjusted(0, PanelGap, -PanelGap, 0).adjusted(1, 1, -1, -1);
}

QString StatusBar::shownText(int index) const
{
    const StatusPanel* p = panel(index);
    if (!p || p->ownerDrawn())
        return QString();
    // A little air at the edges, given up when the fallback font needs the room ("Deal" in its
    // 30-pixel panel); a text longer than the panel loses its end, never its beginning.
    const QFontMetrics metrics(font());
    const int room = textRect(index).width();
    if (metrics.horizontalAdvance(p->text()) <= room)
        return p->text();
    return metrics.elidedText(p->text(), Qt::ElideRight, std::max(0, room - 4));
}

bool StatusBar::event(QEvent* event)
{
    // A text cut to fit shows whole in the tooltip of its panel.
    if (event->type() == QEvent::ToolTip) {
        const QPoint at = static_cast<QHelpEvent*>(event)->pos();
        for (int i = 0; i < panelCount(); ++i) {
            if (!panelRect(i).contains(at))
                continue;
            const QString full = panel(i)->text();
            if (shownText(i) != full)
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), full, this,
                                   panelRect(i));
            else
                QToolTip::hideText();
            return true;
        }
    }
    return QWidget::event(event);
}

void StatusBar::repaintNow() { repaint(); }

void StatusBar::repaintBlank()
{
    m_blank = true;
    repaintNow();
    m_blank = false;
}

QSize StatusBar::sizeHint() const { return {560, BarHeight}; }

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setFont(font());

    for (int i = 0; i < panelCount(); ++i) {
        const StatusPanel& p = *m_panels[static_cast<std::size_t>(i)];
        const QRect outer = panelRect(i).adjusted(0, PanelGap, -PanelGap, 0);
        if (p.bevel() == StatusPanel::Bevel::Lowered)
            drawLoweredBevel(painter, outer, palette());
        const QRect inner = textRect(i);
        if (p.ownerDrawn()) {
            if (i == trumpPanelIndex())
                StatusBar1DrawPanel(painter, i, inner);
            continue;
        }
        painter.setPen(m_textColour);
        const QString text = shownText(i);
        const int spare = inner.width() - painter.fontMetrics().horizontalAdvance(text);
        const int padding = std::clamp(spare / 2, 0, 2);
        // Absolute alignment: the panel's alignment already names the reading-start edge of
        // the language, the painter's direction must not flip it again. The painter's direction
        // is the bar's, so an Arabic text is laid out right to left, brackets mirrored. Clipped
        // to the panel, so that nothing runs into a neighbour.
        painter.save();
        painter.setClipRect(inner);
        painter.drawText(inner.adjusted(padding, 0, -padding, 0),
                         int(p.alignment() | Qt::AlignAbsolute | Qt::AlignVCenter |
                             Qt::TextSingleLine),
                         text);
        painter.restore();
    }
}

void StatusBar::StatusBar1DrawPanel(QPainter& painter, int index, const QRect& rect)
{
    if (index != trumpPanelIndex())
        return;
    const int trump = this->trump();
    if (trump >= 1 && trump <= 4) {
        painter.fillRect(rect, palette().window());
        const QImage image(QStringLiteral(":/images/%1_p2.png").arg(trump));
        if (!image.isNull()) {
            // The ground colour of the picture, taken from its bottom-left pixel, is see-through.
            QPixmap picture = QPixmap::fromImage(image);
            const QColor ground = image.pixelColor(0, image.height() - 1);
            picture.setMask(picture.createMaskFromColor(ground, Qt::MaskInColor));
            painter.drawPixmap(rect.left() + PictureOffset, rect.top(), picture);
        }
    }
    if (cardsPlayed() >= 52 || m_blank)
        painter.fillRect(rect, palette().window());
}

int StatusBar::trumpShown() const
{
    const int trump = this->trump();
    return trump >= 1 && trump <= 4 && cardsPlayed() < 52 && !m_blank ? trump : 0;
}

int StatusBar::trump() const
{
    const TableView* view = m_viewSource ? m_viewSource() : nullptr;
    return view ? view->seat.Trump : m_state.Trump;
}

int StatusBar::cardsPlayed() const
{
    const TableView* view = m_viewSource ? m_viewSource() : nullptr;
    return view ? view->seat.PlayCount : m_state.CardsPlayed;
}

} // namespace halbeet
