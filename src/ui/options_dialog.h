// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The options dialog: the four players' names, the playing speed and the card-back design.
// Laid out once, at creation, for the reading direction: in Arabic the whole dialog is the
// mirror image of the English one, names on the right and OK at the left.

#include <QDialog>
#include <QHash>
#include <QPixmap>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace halbeet {

class GameModel;
class CardSprite;
class Table;
class StatusBar;

class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    OptionsDialog(Table& table, StatusBar& statusBar, GameModel& game, QWidget* parent = nullptr);

    // The name label of the player the play panel showed when Options was chosen, or null.
    // Set before each opening.
    void setPlayerLabel(QLabel* label) { m_playerLabel = label; }
    QLabel* playerLabel() const { return m_playerLabel; }

    // The design the preview shows, -1..-13.
    int design() const;

    // The id of the card faces chosen in the list; empty when no deck is installed.
    QString faceDeck() const;

    // The OK button's action (also Enter).
    void applyOptions();

    // Says why OK did nothing, or that typing stopped at the longest name; hidden otherwise.
    QLabel* note() const { return m_note; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpDialog();
    void layOutNames();
    void showNote(const QString& text, QLineEdit* field);
    void fitSpeedButtons();
    void layOutLevelBand();
    void layOutFacesBand();
    void fillFaceList();
    void showFacePreview();
    void FormShow();
    void nextDesign();
    void previousDesign();
    bool namesAreValid();

    Table& m_table;
    StatusBar& m_statusBar;
    GameModel& m_game;
    QLabel* m_playerLabel = nullptr;

    // Edit1 (you), Edit2 (partner), Edit3 (first opponent, seat 2), Edit4 (second, seat 4).
    std::array<QLineEdit*, 5> m_edits{};
    // Label1..Label4 before the fields, Label5/Label6 team headings, Label9 speed heading.
    std::array<QLabel*, 10> m_labels{};
    QWidget* m_bevel3 = nullptr;
    QWidget* m_bevel5 = nullptr;
    QWidget* m_panel2 = nullptr;
    CardSprite* m_card1 = nullptr;
    QToolButton* m_speedButton1 = nullptr;
    QToolButton* m_speedButton2 = nullptr;
    QRadioButton* m_fast = nullptr;
    QRadioButton* m_normal = nullptr;
    QRadioButton* m_slow = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_note = nullptr;
    QLineEdit* m_noteField = nullptr; // the field the note is about
    // The level of the computer players and the saved game, below the designed part.
    QLabel* m_levelLabel = nullptr;
    QWidget* m_levelPanel = nullptr;
    QRadioButton* m_classic = nullptr;
    QRadioButton* m_expert = nullptr;
    QCheckBox* m_resume = nullptr;
    // The card faces, in a band of their own below that: the list of decks and a preview.
    QLabel* m_facesLabel = nullptr;
    QComboBox* m_faces = nullptr;
    QLabel* m_facesPreview = nullptr;
    QString m_shownFaces; // the deck selected when the dialog opened
    bool m_facesPicked = false; // the player picked from the list since it opened
    QHash<QString, QPixmap> m_previews; // by deck id and pixel ratio: each deck parsed once
};

} // namespace halbeet
