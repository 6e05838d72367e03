#include "ui/score_sheet.h"

#include "core/scoring.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

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

TScores::TScores(TGameState& state, Table& table, TStatusBar& statusBar, QWidget* parent)
    : QDialog(parent), m_state(state), m_table(table), m_statusBar(statusBar)
{
    setObjectName(QStringLiteral("TScores"));
    const ScoreSheetTexts& t = texts().scoreSheet;
    setWindowTitle(t.caption);
    setLayoutDirection(isArabic() ? Qt::RightToLeft : Qt::LeftToRight);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(323, 170);
    setModal(true);

    // Positions are those of the designed sheet; Qt mirrors them for right-to-left reading.
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
    connect(m_button, &QPushButton::clicked, this, &TScores::Button1Click);

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
    resetSheet();
}

void TScores::resetSheet()
{
    m_state.ScoreRow = 1;
    for (int seat = 1; seat <= 4; ++seat) {
        for (int row = 1; row <= Rows; ++row) {
            QLabel* label = m_scores[seat][row];
            label->hide();
            label->setFont(sheetFont(false));
            setTextColour(label, Qt::black);
        }
    }
}

void TScores::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TScores::FormShow()
{
    for (int seat = 1; seat <= 4; ++seat) {
        m_headings[seat]->setText(m_table.nameLabel(seat)->text());
        shrinkToFit(m_headings[seat], sheetFont(false), HeadingWidth - 2, 6);
    }

    // A finished deal is scored once, however often the sheet is shown before the next deal.
    if (m_afterDeal && m_state.CardsPlayed >= 52 && !m_dealScored) {
        m_statusBar.getPlayPanel()->setText(QString());
        m_statusBar.getDealPanel()->setText(QString());
        m_statusBar.repaintNow();
        ScoreDeal(m_state.Scores, m_state.Bids, m_state.TricksWon);
        writeRow();
        m_dealScored = true;
    }

    m_state.GameWinner = FindGameWinner(m_state.Scores);
    if (m_state.GameWinner >= 1 && m_state.GameWinner <= 4) {
        for (int row = 1; row <= Rows; ++row)
            setTextColour(m_scores[m_state.GameWinner][row], WinnerGreen);
    }
}

void TScores::writeRow()
{
    const int row = m_state.ScoreRow;
    for (int seat = 1; seat <= 4; ++seat) {
        const QString value = QString::number(m_state.Scores[seat]);
        auto& column = m_scores[seat];
        if (row >= 1 && row <= Rows) {
            column[row]->setText(value);
            column[row]->show();
            if (row >= 2)
                column[row - 1]->setFont(sheetFont(true));
        } else {
            for (int r = 1; r < Rows; ++r)
                column[r]->setText(column[r + 1]->text());
            column[Rows]->setText(value);
        }
    }
    if (row >= 1 && row <= Rows)
        m_state.ScoreRow = row + 1;
}

void TScores::showAfterDeal()
{
    m_afterDeal = true;
    exec();
    m_afterDeal = false;
}

void TScores::accept() { Button1Click(); }

void TScores::reject() { Button1Click(); }

void TScores::Button1Click()
{
    // done() below re-enters through accept()/reject() in some paths; act once per closing.
    if (m_closing)
        return;
    m_closing = true;
    done(QDialog::Accepted);
    m_closing = false;
    if (!m_afterDeal || m_state.CardsPlayed < 52)
        return; // only looked at
    m_afterDeal = false;
    if (m_dealClosed)
        m_dealClosed();
}

} // namespace halbeet
