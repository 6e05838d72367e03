// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Questions and notices. LangMessageDlg is the one routine the game uses: the program's own
// right-to-left dialog in Arabic, the standard message box in English, with the same result
// codes in both.

#include <QDialog>
#include <QFlags>
#include <QString>

#include <memory>

class QPushButton;

namespace halbeet {

class SettingsWriteError;

enum class DialogType { Warning = 0, Error, Information, Confirmation, Custom };

// The twelve buttons in their fixed order (the bit index is the order).
enum class MsgButton : unsigned {
    Yes = 1u << 0,
    No = 1u << 1,
    OK = 1u << 2,
    Cancel = 1u << 3,
    Abort = 1u << 4,
    Retry = 1u << 5,
    Ignore = 1u << 6,
    All = 1u << 7,
    NoToAll = 1u << 8,
    YesToAll = 1u << 9,
    Help = 1u << 10,
    Close = 1u << 11,
};
Q_DECLARE_FLAGS(Buttons, MsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(Buttons)

// Result codes, shared by both languages.
namespace MsgResult {
inline constexpr int None = 0; // nothing closed the dialog (the Help button never closes it)
inline constexpr int OK = 1;
inline constexpr int Cancel = 2; // also the Arabic dialog's close box
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int All = 8;
inline constexpr int NoToAll = 9;
inline constexpr int YesToAll = 10;
inline constexpr int Close = 11;
} // namespace MsgResult

// The result code of one button (0 for Help).
int resultCodeOf(MsgButton button);

// The Arabic dialog: built entirely at run time by CreateArabicMessageDialog.
class MessageDialog : public QDialog {
    Q_OBJECT

public:
    explicit MessageDialog(QWidget* parent = nullptr);

    // The button Return presses when the dialog opens, where the focus starts, and the one
    // Esc presses (null when the set has none such). Tab moves Return's button with the focus.
    QPushButton* defaultButton() const { return m_defaultButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

    // The close box (and anything else that rejects the dialog) returns Cancel (2).
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend std::unique_ptr<MessageDialog> CreateArabicMessageDialog(const QString&, DialogType,
                                                                   Buttons, const QString&);
    QPushButton* m_defaultButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

// Questions and notices in the interface language; returns the result code. `details`, when
// given, says more under the text (what an answer will do): the message box's informative
// text, a paragraph of its own in the Arabic dialog.
int LangMessageDlg(const QString& text, DialogType type, Buttons buttons,
                   QWidget* parent = nullptr, const QString& details = {});

// The same in the dialog of the language with this code, whatever the language of the run:
// a text in another language comes with buttons and a caption in that language.
int MessageDlgIn(const QString& code, const QString& text, DialogType type, Buttons buttons,
                 QWidget* parent = nullptr, const QString& details = {});

// Builds (does not show) the Arabic dialog: caption by type, icon at the top right with the
// text to its left (or the text centred without an icon), buttons right to left in the fixed
// order, centred on the screen. The caller owns it.
std::unique_ptr<MessageDialog> CreateArabicMessageDialog(const QString& text, DialogType type,
                                                        Buttons buttons, const QString& details = {});
// Builds, shows modally, frees; returns the code of the button that closed it.
int ArabicMessageDlg(const QString& text, DialogType type, Buttons buttons,
                     QWidget* parent = nullptr, const QString& details = {});

// The standard message box in either language (the score sheet's new-game question uses it
// in both). Caption: the application title for the custom type, otherwise "Warning",
// "Error", "Information", "Confirm". Returns the program's result codes; Esc and the close
// box act as the Esc button: Cancel, else No, else OK.
int StandardMessageDlg(const QString& text, DialogType type, Buttons buttons,
                       QWidget* parent = nullptr, const QString& details = {});

// The general error handler for a refused settings write: "Unable to write to <path>" in a
// message box (plain text).
void showSettingsWriteError(QWidget* parent, const SettingsWriteError& error);

} // namespace halbeet
