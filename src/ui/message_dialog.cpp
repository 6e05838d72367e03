// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_dialog.h"

#include "settings/settings.h"
#include "ui/language.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include <array>
#include <cstdlib>

namespace halbeet {

namespace {

constexpr std::array<MsgButton, 12> ButtonOrder{
    MsgButton::Yes,   MsgButton::No,    MsgButton::OK,      MsgButton::Cancel,
    MsgButton::Abort, MsgButton::Retry, MsgButton::Ignore,  MsgButton::All,
    MsgButton::NoToAll, MsgButton::YesToAll, MsgButton::Help, MsgButton::Close};

constexpr std::array<const char*, 12> ButtonNames{
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll",
    "Help", "Close"};

constexpr std::array<int, 12> ButtonResults{
    MsgResult::Yes,   MsgResult::No,     MsgResult::OK,      MsgResult::Cancel,
    MsgResult::Abort, MsgResult::Retry,  MsgResult::Ignore,  MsgResult::All,
    MsgResult::NoToAll, MsgResult::YesToAll, MsgResult::None, MsgResult::Close};

// a * b / c rounded to the nearest integer, halves away from zero.
int scale(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long twice = 2 * product;
    const long long rounded = (std::llabs(twice) + std::llabs(c)) / (2 * std::llabs(c));
    return static_cast<int>(((product < 0) != (c < 0)) ? -rounded : rounded);
}

// Enter: OK, else Yes, else Retry.
MsgButton defaultButtonOf(Buttons buttons)
{
    if (buttons.testFlag(MsgButton::OK))
        return MsgButton::OK;
    if (buttons.testFlag(MsgButton::Yes))
        return MsgButton::Yes;
    return MsgButton::Retry;
}

// Esc: Cancel, else No, else OK.
MsgButton cancelButtonOf(Buttons buttons)
{
    if (buttons.testFlag(MsgButton::Cancel))
        return MsgButton::Cancel;
    if (buttons.testFlag(MsgButton::No))
        return MsgButton::No;
    return MsgButton::OK;
}

QIcon iconOf(DialogType type)
{
    const QStyle* style = QApplication::style();
    switch (type) {
    case DialogType::Warning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case DialogType::Error: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case DialogType::Information: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case DialogType::Confirmation: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case DialogType::Custom: break;
    }
    return {};
}

QString captionOf(const LanguageTexts& table, DialogType type)
{
    if (type == DialogType::Custom)
        return table.applicationTitle; // the dialog's own language, even from another run
    return table.messageDialog.captions[static_cast<std::size_t>(type)];
}

void openHelpFile()
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(helpFileName());
    if (QFileInfo::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QRect screenGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

int resultCodeOf(MsgButton button)
{
    for (std::size_t i = 0; i < ButtonOrder.size(); ++i) {
        if (ButtonOrder[i] == button)
            return ButtonResults[i];
    }
    return MsgResult::None;
}

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent)
{
    setFont(QApplication::font("QMessageBox"));
}

void MessageDialog::reject()
{
    // The title bar's close box.
    done(MsgResult::Cancel);
}

void MessageDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Esc presses the cancel button; without one it does nothing (never "close box").
        if (m_cancelButton)
            m_cancelButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::unique_ptr<MessageDialog> CreateArabicMessageDialog(const QString& text, DialogType type,
                                                        Buttons buttons, const QString& details)
{
    const LanguageTexts& arabic = arabicTexts();
    auto form = std::make_unique<MessageDialog>();
    form->setLayoutDirection(Qt::RightToLeft);
    form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    // Average character size of the dialog's font.
    const QFontMetrics metrics(form->font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int cx = metrics.horizontalAdvance(alphabet) / 52;
    const int cy = metrics.height();

    const int horzMargin = scale(8, cx, 4);
    const int vertMargin = scale(8, cy, 8);
    const int horzSpacing = scale(10, cx, 4);
    const int vertSpacing = scale(10, cy, 8);
    const int buttonWidth = scale(50, cx, 4);
    const int buttonHeight = scale(14, cy, 8);
    const int buttonSpacing = scale(4, cx, 4);

    const QRect screen = screenGeometry();
    const QRect textRect = metrics.boundingRect(QRect(0, 0, screen.width() / 2, 0),
                                                Qt::TextWordWrap | Qt::TextExpandTabs, text);
    // The details, a paragraph below the text, share its column.
    const QRect detailsRect = details.isEmpty() ? QRect()
                                                : metrics.boundingRect(QRect(0, 0, screen.width() / 2, 0),
                                                                       Qt::TextWordWrap | Qt::TextExpandTabs, details);
    const int textWidth = std::max(textRect.width(), detailsRect.width());
    const int detailsTop = textRect.height() + vertSpacing;
    const int textHeight = details.isEmpty() ? textRect.height() : detailsTop + detailsRect.height();

    const QIcon icon = iconOf(type);
    const bool hasIcon = !icon.isNull();
    const int iconTextWidth = hasIcon ? textWidth + horzSpacing + 32 : textWidth;
    const int iconTextHeight = hasIcon ? std::max(textHeight, 32) : textHeight;

    int buttonCount = 0;
    for (const MsgButton button : ButtonOrder)
        buttonCount += buttons.testFlag(button) ? 1 : 0;
    const int groupWidth =
        buttonCount == 0 ? 0 : buttonCount * buttonWidth + (buttonCount - 1) * buttonSpacing;

    const int clientWidth = std::max(iconTextWidth, groupWidth) + 2 * horzMargin;
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin;
    form->setFixedSize(clientWidth, clientHeight);
    // The window manager draws the frame outside the client area, so the client width takes
    // the place of the outer width below.
    form->move(screen.x() + screen.width() / 2 - clientWidth / 2,
               screen.y() + screen.height() / 2 - clientHeight / 2);

    form->setWindowTitle(captionOf(arabic, type));

    int textOffset = (clientWidth - textWidth) / 2;
    if (hasIcon) {
        auto* image = new QLabel(form.get());
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(icon.pixmap(32, 32));
        image->setGeometry(clientWidth - 50, vertMargin, 32, 32);
        textOffset = 65;
    }

    auto* message = new QLabel(form.get());
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setText(text);
    message->setGeometry(clientWidth - textWidth - textOffset, vertMargin, textWidth, textRect.height());
    if (!details.isEmpty()) {
        auto* more = new QLabel(form.get());
        more->setObjectName(QStringLiteral("Details"));
        more->setTextFormat(Qt::PlainText);
        more->setWordWrap(true);
        more->setText(details);
        more->setGeometry(clientWidth - textWidth - textOffset, vertMargin + detailsTop, textWidth,
                          detailsRect.height());
    }

    const MsgButton defaultButton = defaultButtonOf(buttons);
    const MsgButton cancelButton = cancelButtonOf(buttons);
    int x = clientWidth - (clientWidth - groupWidth) / 2 - buttonWidth;
    const int y = iconTextHeight + vertMargin + vertSpacing;
    MessageDialog* raw = form.get();
    for (std::size_t i = 0; i < ButtonOrder.size(); ++i) {
        const MsgButton kind = ButtonOrder[i];
        if (!buttons.testFlag(kind))
            continue;
        auto* button = new QPushButton(arabic.messageDialog.buttons[i], raw);
        button->setObjectName(QString::fromLatin1(ButtonNames[i]));
        // Return presses the button that has the focus, as the standard box does: Tab to No
        // and Return must answer No. The default button is the one focused at the start.
        button->setAutoDefault(true);
        button->setGeometry(x, y, buttonWidth, buttonHeight);
        if (kind == defaultButton) {
            button->setDefault(true);
            raw->m_defaultButton = button;
        }
        if (kind == cancelButton)
            raw->m_cancelButton = button;
        if (kind == MsgButton::Help) {
            QObject::connect(button, &QPushButton::clicked, raw, [] { openHelpFile(); });
        } else {
            const int code = ButtonResults[i];
            QObject::connect(button, &QPushButton::clicked, raw, [raw, code] { raw->done(code); });
        }
        x -= buttonWidth + buttonSpacing;
    }
    if (raw->m_defaultButton)
        raw->m_defaultButton->setFocus();
    return form;
}

int ArabicMessageDlg(const QString& text, DialogType type, Buttons buttons, QWidget* parent,
                     const QString& details)
{
    // The dialog stays parentless, centred on the screen and modal to the whole application,
    // so it never belongs to (and dies with) a window that might close while it is up.
    Q_UNUSED(parent);
    const std::unique_ptr<MessageDialog> form = CreateArabicMessageDialog(text, type, buttons, details);
    form->setWindowModality(Qt::ApplicationModal);
    return form->exec();
}

namespace {

// The standard box, its custom caption being the title of the given language.
int standardBox(const LanguageTexts& titleLanguage, const QString& text, DialogType type,
                Buttons buttons, QWidget* parent, const QString& details)
{
    const LanguageTexts& english = englishTexts();
    QMessageBox box(parent);
    box.setWindowTitle(type == DialogType::Custom ? titleLanguage.applicationTitle
                                                  : english.messageDialog.captions[static_cast<std::size_t>(type)]);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setInformativeText(details);
    switch (type) {
    case DialogType::Warning: box.setIcon(QMessageBox::Warning); break;
    case DialogType::Error: box.setIcon(QMessageBox::Critical); break;
    case DialogType::Information: box.setIcon(QMessageBox::Information); break;
    case DialogType::Confirmation: box.setIcon(QMessageBox::Question); break;
    case DialogType::Custom: box.setIcon(QMessageBox::NoIcon); break;
    }

    constexpr std::array<QMessageBox::StandardButton, 12> standard{
        QMessageBox::Yes,   QMessageBox::No,    QMessageBox::Ok,         QMessageBox::Cancel,
        QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore,     QMessageBox::NoButton,
        QMessageBox::NoToAll, QMessageBox::YesToAll, QMessageBox::Help,  QMessageBox::Close};

    // Qt's exec() answers with its own button values; the callers test the program's codes,
    // so every button carries its code here and the clicked one is looked up afterwards.
    std::array<QAbstractButton*, 12> made{};
    for (std::size_t i = 0; i < ButtonOrder.size(); ++i) {
        if (!buttons.testFlag(ButtonOrder[i]))
            continue;
        if (standard[i] == QMessageBox::NoButton)
            made[i] = box.addButton(english.messageDialog.buttons[i], QMessageBox::AcceptRole);
        else
            made[i] = box.addButton(standard[i]);
        // Spelled as on every other button of the game ("Ok"), not as the toolkit spells it.
        if (ButtonOrder[i] == MsgButton::OK)
            made[i]->setText(english.messageDialog.buttons[i]);
    }
    const auto indexOf = [](MsgButton kind) {
        for (std::size_t i = 0; i < ButtonOrder.size(); ++i) {
            if (ButtonOrder[i] == kind)
                return i;
        }
        return std::size_t{0};
    };
    if (QAbstractButton* enter = made[indexOf(defaultButtonOf(buttons))])
        box.setDefaultButton(qobject_cast<QPushButton*>(enter));
    if (QAbstractButton* escape = made[indexOf(cancelButtonOf(buttons))])
        box.setEscapeButton(escape);

    for (;;) {
        box.exec();
        const QAbstractButton* clicked = box.clickedButton();
        const std::size_t help = indexOf(MsgButton::Help);
        if (clicked && clicked == made[help]) {
            // Help opens the help file and leaves the question standing.
            openHelpFile();
            continue;
        }
        for (std::size_t i = 0; i < made.size(); ++i) {
            if (made[i] && made[i] == clicked)
                return ButtonResults[i];
        }
        return MsgResult::Cancel;
    }
}

} // namespace

int StandardMessageDlg(const QString& text, DialogType type, Buttons buttons, QWidget* parent,
                       const QString& details)
{
    return standardBox(texts(), text, type, buttons, parent, details);
}

int LangMessageDlg(const QString& text, DialogType type, Buttons buttons, QWidget* parent,
                   const QString& details)
{
    return MessageDlgIn(CurrentLang(), text, type, buttons, parent, details);
}

int MessageDlgIn(const QString& code, const QString& text, DialogType type, Buttons buttons,
                 QWidget* parent, const QString& details)
{
    if (code == QLatin1String("AR"))
        return ArabicMessageDlg(text, type, buttons, parent, details);
    return standardBox(textsFor(code), text, type, buttons, parent, details);
}

void showSettingsWriteError(QWidget* parent, const SettingsWriteError& error)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), error.message(), QMessageBox::Ok,
                    parent);
    box.button(QMessageBox::Ok)->setText(texts().messageDialog.buttons[2]);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace halbeet
