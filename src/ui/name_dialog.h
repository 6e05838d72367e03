// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The gate to the game: asks the player's name on every start. OK puts the four names on the
// table and lets the first deal begin; closing it in any way ends the program.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace halbeet {

class Table;

class NameDialog : public QDialog {
    Q_OBJECT

public:
    // Not modal, always on top. The caller disables the main window while it is up.
    NameDialog(Table& table, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return m_edit1; } // Edit1
    // Says why OK did nothing, or that typing stopped at the longest name; hidden otherwise.
    QLabel* note() const { return m_note; }

    // The OK button's action (also Enter).
    void acceptName();

    // Esc, the Close button and the close box all land here.
    void reject() override;

signals:
    // The names are on the table, the deck is in its initial order and PLAYER1 is stored:
    // the caller starts the first deal and enables the main window.
    void nameAccepted();
    // The dialog was closed without a name: the caller ends the program.
    void closedWithoutName();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void showNote(const QString& text);

    Table& m_table;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace halbeet
