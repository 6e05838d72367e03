// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/score_sheet.h"

#include "core/game.h"
#include "ui/arabic_style.h"
#include "ui/close_request_filter.h"
#include "ui/language.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <memory>

namespace halbeet {

namespace {

constexpr std::array<int, 5> ColumnLeft{0, 16, 80, 144, 208};
constexpr std::array<int, 5> ScoreLeft{0, 16, 80, 144, 206};
constexpr int HeadingWidth = 62;
const QColor WinnerGreen(0, 128, 0);

QFont sheetFont(bool struckOut)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    font.setBold(true);
    font.setStrikeOut(struckOut);
    return font;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

ScoreSheet::ScoreSheet(GameModel& game, Table& table, StatusBar& statusBar, QWidget* parent)
    : QDialog(parent), m_game(game), m_table(table), m_statusBar(statusBar)
{
    setObjectName(QStringLiteral("TScores"));
    const ScoreSheetTexts& t = texts().scoreSheet;
    setWindowTitle(t.caption);
    setLayoutDirection(languageDirection());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(323, 170);
    setModal(true);

    // The places are those of the designed sheet, read from the left; in a right-to-left
    // language the sheet is turned around at the end, the human's column on the right.
    for (int seat = 1; seat <= 4; ++seat) {
        auto* heading = new QLabel(this);
        heading->setObjectName(QStringLiteral("Player%1").arg(seat));
        heading->setTextFormat(Qt::PlainText);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFont(sheetFont(false));
        // As wide as the column's share of the sheet, so a long name has room before it is
        // drawn smaller (FormShow).
        heading->setGeometry(ColumnLeft[seat] - 10, 16, HeadingWidth, 16);
        setTextColour(heading, seat % 2 == 1 ? Qt::blue : Qt::red);
        m_headings[seat] = heading;
    }

    m_button = new QPushButton(t.Button1, this);
    m_button->setObjectName(QStringLiteral("Button1"));
    m_button->setGeometry(256, 32, 58, 25);
    m_button->setDefault(true);
    connect(m_button, &QPushButton::clicked, this, &ScoreSheet::closeSheet);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 35, 242, 126);
    panel->setFrameShape(QFrame::NoFrame);
    for (int seat = 1; seat <= 4; ++seat) {
        for (int row = 1; row <= Rows; ++row) {
            auto* label = new QLabel(panel);
            label->setObjectName(QStringLiteral("p%1s%2").arg(seat).arg(row));
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignCenter);
            label->setGeometry(ScoreLeft[seat], 8 + 16 * (row - 1), 28, 13);
            label->hide();
            m_scores[seat][row] = label;
        }
    }
    if (languageDirection() == Qt::RightToLeft) {
        mirrorPlaces(this);
        mirrorPlaces(panel);
    }
    resetSheet();
}

void ScoreSheet::resetSheet()
{
    // The rows scroll once the sheet is full: the last seven totals stay on it.
    const TableView* view = m_viewSource ? m_viewSource() : nullptr;
    const auto& rows = view ? view->scoreRows : m_game.scoreRows();
    const int shown = std::min<int>(static_cast<int>(rows.size()), Rows);
    const std::size_t first = rows.size() - static_cast<std::size_t>(shown);
    const int winner = view ? view->winner : m_game.state().GameWinner;
    for (int seat = 1; seat <= 4; ++seat) {
        for (int row = 1; row <= Rows; ++row) {
            QLabel* label = m_scores[seat][row];
            const bool filled = row <= shown;
            label->setVisible(filled);
            label->setText(filled ? scoreText(rows[first + static_cast<std::size_t>(row - 1)][seat]) : QString());
            label->setFont(sheetFont(filled && row < shown));
            setTextColour(label, seat == winner ? WinnerGreen : QColor(Qt::black));
            // Read aloud with its player, and whether it is the latest score or struck out.
            const AccessTexts& access = texts().access;
            label->setAccessibleName(filled ? access.score.arg(m_table.nameLabel(seat)->text(), label->text()) : QString());
            label->setAccessibleDescription(filled ? (row < shown ? access.scoreEarlier : access.scoreLatest) : QString());
        }
    }
}

void ScoreSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void ScoreSheet::FormShow()
{
    for (int seat = 1; seat <= 4; ++seat) {
        QLabel* heading = m_headings[seat];
        const QString name = m_table.nameLabel(seat)->text();
        heading->setText(name);
        heading->setAccessibleName(name);
        shrinkToFit(heading, sheetFont(false), HeadingWidth - 2, 6);
        // A name too long even for the smallest size ends in an ellipsis, so the cut shows;
        // the whole name is a hover away, and stays whole everywhere else.
        const QFontMetrics metrics(heading->font());
        if (metrics.horizontalAdvance(name) > HeadingWidth - 2) {
            heading->setText(metrics.elidedText(name, Qt::ElideRight, HeadingWidth - 2));
            heading->setToolTip(name);
        } else {
            heading->setToolTip(QString());
        }
    }
    resetSheet();
}

void ScoreSheet::showAfterDeal()
{
    m_afterDeal = true;
    // The sheet blocks the main window, and Qt drops a close aimed at a blocked window: the
    // main window's close box and Alt+F4 are heard here instead, and act as the sheet's do.
    const std::unique_ptr<CloseRequestFilter> mainClose = CloseRequestFilter::watch(parentWidget(), [this] {
        if (m_afterDeal && isVisible() && m_closeRequested)
            m_closeRequested();
    });
    exec();
    m_afterDeal = false;
}

void ScoreSheet::closeEvent(QCloseEvent* event)
{
    // Esc and OK lead on to the next deal; a close from the window system must not deal.
    if (event->spontaneous() && m_afterDeal && m_closeRequested) {
        event->ignore();
        m_closeRequested();
        return;
    }
    QDialog::closeEvent(event);
}

void ScoreSheet::accept() { closeSheet(); }

void ScoreSheet::reject() { closeSheet(); }

void ScoreSheet::closeSheet()
{
    // done() below re-enters through accept()/reject() in some paths; act once per closing.
    if (m_closing)
        return;
    m_closing = true;
    done(QDialog::Accepted);
    m_closing = false;
    const TableView* view = m_viewSource ? m_viewSource() : nullptr;
    if (!m_afterDeal || !(view ? view->scored : m_game.dealScored()))
        return; // only looked at
    m_afterDeal = false;
    if (m_dealClosed)
        m_dealClosed();
}

} // namespace halbeet
