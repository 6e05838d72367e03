// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's seven-panel status bar: hint, player to play, dealer, their labels, the
// trump picture and the game's name.
//
// Panels lie left to right by index in both languages. The designed (Arabic) order puts the
// hint at index 0 and the game's name at index 6; English shows the mirror image, built by
// MirrorStatusPanels. Text is always painted as plain text, so a name such as "<b>x</b>"
// shows literally.

#include <QColor>
#include <QString>
#include <QWidget>

#include "table/table_view.h"

#include <functional>
#include <memory>
#include <vector>

namespace halbeet {

struct TGameState;
class StatusBar;

class StatusPanel {
public:
    enum class Bevel { None, Lowered };

    explicit StatusPanel(StatusBar* bar) : m_bar(bar) {}

    QString text() const { return m_text; }
    void setText(const QString& text);
    int width() const { return m_width; }
    void setWidth(int width);
    // Qt::AlignLeft, Qt::AlignRight (reading start of English / Arabic) or Qt::AlignHCenter.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    Bevel bevel() const { return m_bevel; }
    void setBevel(Bevel bevel);
    bool ownerDrawn() const { return m_ownerDrawn; }
    void setOwnerDrawn(bool ownerDrawn);

private:
    StatusBar* m_bar;
    QString m_text;
    int m_width = 50;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    Bevel m_bevel = Bevel::Lowered;
    bool m_ownerDrawn = false;
};

class StatusBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int BarHeight = 19;

    // Builds the designed layout with the labels of the current language and, in English,
    // mirrors it once: the bar is ready to use, do not call MirrorStatusPanels again.
    // The trump picture follows state.Trump and state.CardsPlayed at every repaint.
    explicit StatusBar(const TGameState& state, QWidget* parent = nullptr);
    ~StatusBar() override;

    StatusPanel* getDealPanel() const; // index 3
    StatusPanel* getPlayPanel() const; // index 1 in Arabic, 5 in English
    StatusPanel* getHintPanel() const; // index 0 in Arabic, 6 in English

    // Rebuilds the panels in reverse order with the default look (lowered, reading-start
    // aligned), makes panel 1 the owner-drawn trump panel, centres panel 6 and sets the
    // widths of panels 2..5 to 30, 76, 30, 76. Each call reverses again.
    void MirrorStatusPanels();

    int trumpPanelIndex() const; // 5 in Arabic, 1 in English
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    StatusPanel* panel(int index) const;
    // The panel's rectangle in the bar. The hint panel takes the width the others leave, in
    // both languages, so a wider window gives the room to the messages.
    QRect panelRect(int index) const;
    int stretchingPanelIndex() const; // the hint panel's: 0 in Arabic, 6 in English
    // The panel's text as it fits the panel: whole, or cut at its logical end with an ellipsis
    // (on the left for right-to-left text, where that end is read).
    QString shownText(int index) const;

    // Paints at once (the flow repaints after dealing; with no deal in progress, that is with
    // CardsPlayed at 52, the trump picture is blank).
    void repaintNow();
    // Paints at once with the trump picture blank, as between a finished deal and the next.
    void repaintBlank();

    QSize sizeHint() const override;

    // The suit the trump panel shows now: 1..4, or 0 when it is blank.
    int trumpShown() const;
    // At a table of another computer the bar reads the seat's view instead of the game here.
    void setViewSource(std::function<const TableView*()> source) { m_viewSource = std::move(source); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect textRect(int index) const;
    void addPanel(int width, const QString& text, Qt::Alignment alignment,
                  StatusPanel::Bevel bevel, bool ownerDrawn = false);
    void StatusBar1DrawPanel(QPainter& painter, int index, const QRect& rect);

    const TGameState& m_state;
    std::function<const TableView*()> m_viewSource;
    // The trump and the cards played, from the view when there is one.
    int trump() const;
    int cardsPlayed() const;
    std::vector<std::unique_ptr<StatusPanel>> m_panels;
    QColor m_textColour;
    bool m_blank = false;
};

} // namespace halbeet
