// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/options_dialog.h"

#include "core/game.h"
#include "settings/settings.h"
#include "ui/arabic_style.h"
#include "ui/card_art.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/message_dialog.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStringList>
#include <QToolButton>

#include <algorithm>

namespace halbeet {

namespace {

constexpr int NameLength = 8;
constexpr int Fast = 100;
constexpr int Normal = 500;
constexpr int Slow = 1000;
// The band below the designed dialog: the computer players' level and the saved game.
constexpr int ExtraBand = 58;
// Below that, the card faces: the list of decks and a preview of a few faces.
constexpr int FacesBand = 72;
constexpr int FacesTop = 300; // under the level band
constexpr QSize PreviewCard(44, 60);

QFrame* makeFrame(QWidget* parent, const QString& name, QRect geometry, QFrame::Shape shape)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

} // namespace

OptionsDialog::OptionsDialog(Table& table, StatusBar& statusBar, GameModel& game, QWidget* parent)
    : QDialog(parent), m_table(table), m_statusBar(statusBar), m_game(game)
{
    setObjectName(QStringLiteral("stings"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11));
    // The designed dialog is 277 high; the level of the computer players and the saved game
    // take a band of their own below it.
    setFixedSize(395, 277 + ExtraBand + FacesBand);
    centreOnScreen(this);

    // The frames first, so that everything else lies over them.
    makeFrame(this, QStringLiteral("Bevel1"), {8, 8, 379, 230}, QFrame::Box);
    makeFrame(this, QStringLiteral("Bevel6"), {10, 14, 192, 210}, QFrame::Box);
    makeFrame(this, QStringLiteral("Bevel4"), {204, 14, 177, 210}, QFrame::Box);
    makeFrame(this, QStringLiteral("Bevel2"), {236, 18, 114, 88}, QFrame::Box);

    const auto makeLabel = [this](int n, QPoint at) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label%1").arg(n));
        label->move(at);
        m_labels[static_cast<std::size_t>(n)] = label;
        return label;
    };
    const auto makeEdit = [this](int n, QPoint at) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit%1").arg(n));
        edit->setMaxLength(NameLength);
        edit->setGeometry(at.x(), at.y(), 89, 21);
        m_edits[static_cast<std::size_t>(n)] = edit;
        return edit;
    };

    makeLabel(5, {123, 27});
    m_bevel3 = makeFrame(this, QStringLiteral("Bevel3"), {14, 27, 103, 13}, QFrame::HLine);
    makeEdit(1, {16, 45});
    makeLabel(1, {127, 51});
    makeEdit(2, {16, 77});
    makeLabel(2, {124, 83});
    makeLabel(6, {120, 119});
    m_bevel5 = makeFrame(this, QStringLiteral("Bevel5"), {14, 119, 102, 13}, QFrame::HLine);
    makeEdit(3, {16, 140});
    makeLabel(3, {129, 146});
    makeEdit(4, {16, 180});
    makeLabel(4, {129, 186});

    m_card1 = new CardSprite(this);
    m_card1->setObjectName(QStringLiteral("Card1"));
    m_card1->setGeometry(265, 24, 56, 76);

    const auto makeArrow = [this](const QString& name, int x) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setAutoRaise(true);
        QFont bold = font();
        bold.setBold(true);
        button->setFont(bold);
        button->setGeometry(x, 50, 17, 25);
        return button;
    };
    m_speedButton1 = makeArrow(QStringLiteral("SpeedButton1"), 243);
    m_speedButton2 = makeArrow(QStringLiteral("SpeedButton2"), 326);
    connect(m_speedButton1, &QToolButton::clicked, this, [this] { nextDesign(); });
    connect(m_speedButton2, &QToolButton::clicked, this, [this] { previousDesign(); });

    makeLabel(9, {322, 111});
    m_panel2 = makeFrame(this, QStringLiteral("Panel2"), {208, 128, 169, 41}, QFrame::Panel);
    // Each button reaches to the next one, so the fallback font's wider words still fit.
    const auto makeSpeed = [this](int n, int x, int width, int delay) {
        auto* radio = new QRadioButton(m_panel2);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(n));
        radio->setGeometry(x, 10, width, 21);
        // Clicking acts at once on the running game; the file changes only on OK.
        connect(radio, &QRadioButton::clicked, this, [this, delay] { m_game.setPlayDelay(delay); });
        return radio;
    };
    m_fast = makeSpeed(3, 116, 51, Fast);
    m_normal = makeSpeed(4, 58, 58, Normal);
    m_slow = makeSpeed(5, 5, 53, Slow);

    makeFrame(this, QStringLiteral("Bevel7"), {8, 242, 379, 54}, QFrame::Box);
    m_levelLabel = new QLabel(this);
    m_levelLabel->setObjectName(QStringLiteral("Label10"));
    m_levelPanel = new QWidget(this);
    m_levelPanel->setObjectName(QStringLiteral("Panel3"));
    m_classic = new QRadioButton(m_levelPanel);
    m_classic->setObjectName(QStringLiteral("RadioButton6"));
    m_expert = new QRadioButton(m_levelPanel);
    m_expert->setObjectName(QStringLiteral("RadioButton7"));
    m_resume = new QCheckBox(this);
    m_resume->setObjectName(QStringLiteral("CheckBox1"));
    m_resume->setGeometry(16, 272, 363, 20);

    makeFrame(this, QStringLiteral("Bevel8"), {8, FacesTop, 379, FacesBand - 4}, QFrame::Box);
    m_facesLabel = new QLabel(this);
    m_facesLabel->setObjectName(QStringLiteral("Label11"));
    m_faces = new QComboBox(this);
    m_faces->setObjectName(QStringLiteral("ComboBox1"));
    m_faces->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    m_facesPreview = new QLabel(this);
    m_facesPreview->setObjectName(QStringLiteral("Image2"));
    m_facesLabel->setBuddy(m_faces);
    connect(m_faces, &QComboBox::currentIndexChanged, this, [this] { showFacePreview(); });
    connect(m_faces, &QComboBox::activated, this, [this] { m_facesPicked = true; });

    // Beside the buttons: why OK did nothing, or that a name was cut at the longest name.
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("NameNote"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    m_note->setGeometry(16, 242 + ExtraBand + FacesBand, 200, 32);
    QPalette notePalette = m_note->palette();
    notePalette.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
    m_note->setPalette(notePalette);
    m_note->hide();
    for (std::size_t n = 1; n <= 4; ++n) {
        QLineEdit* edit = m_edits[n];
        connect(edit, &QLineEdit::inputRejected, this, [this, edit] {
            if (edit->text().size() >= edit->maxLength())
                showNote(texts().names.NameCut, edit);
        });
        connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
            // The note stays while what it says is still true of its field.
            const bool stillTrue =
                edit == m_noteField &&
                (m_note->text() == texts().names.NameCut     ? text.size() >= edit->maxLength()
                 : m_note->text() == texts().names.EmptyNames ? text.isEmpty()
                                                               : false);
            if (!stillTrue)
                m_note->hide();
        });
    }

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry(312, 246 + ExtraBand + FacesBand, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { applyOptions(); });

    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("BitBtn3"));
    m_cancel->setGeometry(224, 245 + ExtraBand + FacesBand, 75, 27);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setUpDialog();
}

void OptionsDialog::setUpDialog()
{
    const OptionsTexts& t = texts().options;
    setLayoutDirection(languageDirection());
    setWindowTitle(t.caption);
    const std::array<const QString*, 10> captions{
        nullptr, &t.Label1, &t.Label2, &t.Label3, &t.Label4, &t.Label5, &t.Label6,
        nullptr, nullptr, &t.Label9};
    for (std::size_t n = 0; n < captions.size(); ++n) {
        if (!captions[n])
            continue;
        m_labels[n]->setText(*captions[n]);
        m_labels[n]->adjustSize();
    }
    m_fast->setText(t.RadioButton3);
    m_normal->setText(t.RadioButton4);
    m_slow->setText(t.RadioButton5);
    m_ok->setText(t.BitBtn1);
    m_cancel->setText(t.BitBtn3);
    m_card1->setToolTip(t.Card1Hint);
    m_speedButton1->setText(t.SpeedButton1);
    m_speedButton2->setText(t.SpeedButton2);

    // Everything is placed for left-to-right reading; a right-to-left language then turns the
    // whole dialog around, so that it reads from the right as English reads from the left:
    // names first, the arrows pointing away from the card, OK where reading ends.
    fitSpeedButtons();
    layOutLevelBand();
    layOutFacesBand();
    layOutNames();
    // The speed buttons keep their designed places in both languages: fastest at the right.
    if (languageDirection() == Qt::RightToLeft) {
        mirrorPlaces(this);
        mirrorPlaces(m_levelPanel);
    }
}

void OptionsDialog::layOutLevelBand()
{
    const ExpertTexts& e = texts().expert;
    m_levelLabel->setText(e.LevelCaption);
    m_levelLabel->adjustSize();
    m_classic->setText(e.Classic);
    m_expert->setText(e.Expert);
    m_resume->setText(texts().savedGame.ResumeOption);
    m_classic->adjustSize();
    m_expert->adjustSize();
    // The caption at the start of the reading direction, the two choices at its end.
    const int gap = 12;
    const int choices = m_classic->width() + gap + m_expert->width();
    const int top = 248;
    m_levelPanel->resize(choices, 24);
    m_levelLabel->move(16, top + 4);
    m_levelPanel->move(379 - choices, top);
    m_classic->move(0, 2);
    m_expert->move(m_classic->width() + gap, 2);
}

void OptionsDialog::layOutFacesBand()
{
    const FacesTexts& t = texts().faces;
    m_facesLabel->setText(t.Caption);
    m_facesLabel->adjustSize();
    m_facesPreview->setToolTip(t.PreviewHint);
    // The caption and the list at the start of the reading direction, the preview at its end.
    const int previewWidth = PreviewCard.width() + PreviewCard.width() * 2 / 3 * 3;
    const int listWidth = 379 - 16 - previewWidth - 16;
    const int top = FacesTop + 6;
    m_facesPreview->setGeometry(0, FacesTop + 4, previewWidth, PreviewCard.height());
    m_faces->resize(listWidth, 24);
    // The list drops down in a window of its own, which does not take the dialog's direction.
    m_faces->view()->window()->setLayoutDirection(languageDirection());
    m_facesLabel->move(16, top);
    m_faces->move(16, top + 22);
    m_facesPreview->move(379 - previewWidth, m_facesPreview->y());
}

void OptionsDialog::fillFaceList()
{
    // Read again at every opening: a deck installed or removed meanwhile shows as it is now.
    const QSignalBlocker quiet(m_faces);
    m_faces->clear();
    const QList<CardDeck> decks = CardArt::installedDecks(isArabic());
    for (const CardDeck& deck : decks)
        m_faces->addItem(deck.name, deck.id);
    if (decks.isEmpty()) {
        m_faces->addItem(texts().faces.NoDecks, QString());
        m_faces->setEnabled(false);
    } else {
        m_faces->setEnabled(true);
    }
    // The stored deck when it is installed; otherwise the default deck the table falls back to.
    int index = m_faces->findData(settings::faceDeck());
    if (index < 0)
        index = m_faces->findData(CardArt::defaultDeck());
    m_faces->setCurrentIndex(std::max(index, 0));
    m_shownFaces = faceDeck();
    m_facesPicked = false;
}

QString OptionsDialog::faceDeck() const { return m_faces->currentData().toString(); }

void OptionsDialog::showFacePreview()
{
    const QString id = faceDeck();
    const qreal dpr = devicePixelRatioF();
    const QString key = id + QLatin1Char('@') + QString::number(dpr);
    auto it = m_previews.constFind(key);
    if (it == m_previews.constEnd()) {
        // A large deck takes a moment to parse the first time it is shown.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        it = m_previews.insert(key, CardArt::preview(id, PreviewCard, dpr));
        QApplication::restoreOverrideCursor();
    }
    m_facesPreview->setPixmap(*it);
}

void OptionsDialog::fitSpeedButtons()
{
    // Slow, Normal, Fast from the left across the panel, each as wide as its caption needs and
    // the room left over shared between them: the captions keep the dialog's font.
    const QRect room = m_panel2->contentsRect();
    const std::array<QRadioButton*, 3> row{m_slow, m_normal, m_fast};
    int needed = 0;
    for (QRadioButton* radio : row)
        needed += radio->sizeHint().width();
    const int spare = std::max(0, room.width() - needed) / int(row.size());
    int x = room.left() + spare / 2;
    for (QRadioButton* radio : row) {
        const int width = radio->sizeHint().width() + spare;
        radio->setGeometry(x, radio->y(), width, radio->height());
        x += width;
    }
}

void OptionsDialog::layOutNames()
{
    // Headings go where their lines were; the lines follow 4 pixels after the heading.
    const auto moveHeading = [](QLabel* heading, QWidget* line) {
        heading->move(line->x(), heading->y());
        line->move(heading->x() + heading->width() + 4, line->y());
    };
    moveHeading(m_labels[5], m_bevel3);
    moveHeading(m_labels[6], m_bevel5);

    // Labels before their fields, the fields in one column after the widest label. The
    // labels keep the dialog's font; a field gives up width rather than a label its letters.
    constexpr int LabelLeft = 16;
    constexpr int NamesRight = 198; // inside the frame of the names
    int widest = 0;
    for (std::size_t n = 1; n <= 4; ++n)
        widest = std::max(widest, m_labels[n]->width());
    const int fieldLeft = std::max(LabelLeft + 75, LabelLeft + widest + 4);
    const int fieldWidth = std::min(89, NamesRight - fieldLeft);
    for (std::size_t n = 1; n <= 4; ++n) {
        m_labels[n]->move(LabelLeft, m_labels[n]->y());
        m_edits[n]->setGeometry(fieldLeft, m_edits[n]->y(), fieldWidth, m_edits[n]->height());
        m_edits[n]->setLayoutDirection(languageDirection());
    }
    m_labels[9]->move(m_panel2->x(), m_labels[9]->y());
}

int OptionsDialog::design() const { return m_card1->Suite(); }

void OptionsDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void OptionsDialog::FormShow()
{
    const int design = settings::backDesign();
    m_card1->setSuite(design);
    m_card1->setNumber(1);

    // Edit1..Edit4 hold seats 1, 3, 2, 4. Typing is limited to 8 characters, but a longer
    // name from the file is shown and kept whole rather than cut without a word.
    const std::array<int, 5> seatOfEdit{0, 1, 3, 2, 4};
    for (std::size_t n = 1; n <= 4; ++n) {
        const QString name = m_table.nameLabel(seatOfEdit[n])->text();
        m_edits[n]->setMaxLength(std::max<int>(NameLength, name.size()));
        m_edits[n]->setText(name);
    }

    m_speedButton1->setEnabled(design != -13);
    m_speedButton2->setEnabled(design != -1);

    int delay = Fast;
    try {
        delay = settings::optionsDelay();
    } catch (const SettingsWriteError& error) {
        // The stored value was out of range and could not be corrected in the file; the
        // dialog still opens, on Fast as it would have.
        showSettingsWriteError(this, error);
    }
    QRadioButton* selected = delay == Slow ? m_slow : delay == Normal ? m_normal : m_fast;
    selected->setChecked(true);
    m_game.setPlayDelay(delay);
    (settings::expertPlayers() ? m_expert : m_classic)->setChecked(true);
    m_resume->setChecked(settings::resumeGames());
    fillFaceList();
    showFacePreview();
    m_note->hide();
    m_edits[1]->setFocus();
}

void OptionsDialog::nextDesign()
{
    const int design = m_card1->Suite() - 1;
    m_card1->setSuite(design);
    if (design <= -13)
        m_speedButton1->setEnabled(false);
    m_speedButton2->setEnabled(true);
}

void OptionsDialog::previousDesign()
{
    const int design = m_card1->Suite() + 1;
    m_card1->setSuite(design);
    if (design >= -1)
        m_speedButton2->setEnabled(false);
    m_speedButton1->setEnabled(true);
}

void OptionsDialog::showNote(const QString& text, QLineEdit* field)
{
    m_note->setText(text);
    m_noteField = field;
    m_note->show();
}

bool OptionsDialog::namesAreValid()
{
    QStringList seen;
    for (std::size_t n = 1; n <= 4; ++n) {
        QLineEdit* edit = m_edits[n];
        const QString name = edit->text();
        if (name.isEmpty()) {
            showNote(texts().names.EmptyNames, edit);
            edit->setFocus();
            return false;
        }
        if (seen.contains(name, Qt::CaseInsensitive)) {
            edit->clear();
            showNote(texts().names.DuplicateName, edit);
            edit->setFocus();
            return false;
        }
        seen.append(name);
    }
    return true;
}

void OptionsDialog::applyOptions()
{
    if (!namesAreValid())
        return;

    m_table.setPlayerName(4, m_edits[4]->text());
    m_table.setPlayerName(1, m_edits[1]->text());
    m_table.setPlayerName(3, m_edits[2]->text());
    m_table.setPlayerName(2, m_edits[3]->text());

    // Between two deals the flow has emptied the dealer panel; it gets the name back anyway.
    if (m_game.state().DealerCounter >= 0 && m_game.state().DealerCounter <= 3)
        m_statusBar.getDealPanel()->setText(
            m_table.nameLabel(DealerSeat(m_game.state().DealerCounter))->text());
    if (m_playerLabel)
        m_statusBar.getPlayPanel()->setText(m_playerLabel->text());

    const int design = m_card1->Suite();
    try {
        settings::setPlayerName(1, m_edits[1]->text());
        settings::setPlayerName(2, m_edits[3]->text());
        settings::setPlayerName(3, m_edits[2]->text());
        settings::setPlayerName(4, m_edits[4]->text());

        // The computer hands take the design hidden or not: a won-trick marker copies its
        // back from one of them (Card51), which may have been played already. Markers that
        // are not shown yet get the design when they are.
        for (int n = 14; n <= 52; ++n)
            m_table.card(n)->setSuite(design);
        for (int n = 57; n <= 108; ++n) {
            CardSprite* marker = m_table.card(n);
            if (!marker->isHidden())
                marker->setSuite(design);
        }

        settings::setBackDesign(design);
        settings::setDelay(m_game.state().PlayDelay);
        // Written only when changed, so a file the player never touched keeps its bytes.
        if (m_expert->isChecked() != settings::expertPlayers())
            settings::setExpertPlayers(m_expert->isChecked());
        if (m_resume->isChecked() != settings::resumeGames())
            settings::setResumeGames(m_resume->isChecked());
        // A stored deck that is no longer installed stays stored until the player picks one,
        // even the default deck shown in its place.
        if (faceDeck() != m_shownFaces || (m_facesPicked && faceDeck() != settings::faceDeck())) {
            settings::setFaceDeck(faceDeck());
            m_shownFaces = faceDeck();
            CardArt::setDeck(faceDeck());
            // Every card on screen, here and in the other windows, repaints with the new faces.
            for (QWidget* widget : QApplication::allWidgets())
                if (auto* sprite = qobject_cast<CardSprite*>(widget))
                    sprite->update();
        }
    } catch (const SettingsWriteError& error) {
        // What was written stays written; the dialog stays open for another try or Cancel.
        showSettingsWriteError(this, error);
        return;
    }
    accept();
}

} // namespace halbeet
