// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about.h"

#include "ui/arabic_style.h"
#include "ui/language.h"

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace halbeet {

namespace {

constexpr int ClientWidth = 271;
constexpr int ClientHeight = 181;
const QColor NameBlue(0, 0, 255);

QPixmap programIcon()
{
    const QPixmap picture(QStringLiteral(":/images/halbeet.png"));
    if (!picture.isNull())
        return picture.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return QApplication::windowIcon().pixmap(32, 32);
}

QLabel* makeText(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                 const QColor& colour, QPoint at)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->adjustSize();
    label->move(at);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(ClientWidth, ClientHeight);

    const AboutTexts& t = texts().about;
    setLayoutDirection(languageDirection());
    setWindowTitle(t.caption);

    auto* iconFrame = new QFrame(this);
    iconFrame->setObjectName(QStringLiteral("Panel1"));
    iconFrame->setFrameShape(QFrame::Panel);
    iconFrame->setFrameShadow(QFrame::Sunken);
    iconFrame->setGeometry(8, 8, 44, 44);
    auto* icon = new QLabel(iconFrame);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(programIcon());
    icon->setGeometry(6, 6, 32, 32);

    // The name and the version are in the interface's language and read in its direction
    // ("الإصدار  2.0" with the word on the right); they keep their designed places.
    auto* namePanel = new QWidget(this);
    namePanel->setObjectName(QStringLiteral("Panel2"));
    namePanel->setLayoutDirection(languageDirection());
    namePanel->setGeometry(64, 8, ClientWidth - 64 - 8, 120);

    const QFont nameFont = fontWithFallback(QStringLiteral("Impact"), 29, true);
    makeText(namePanel, QStringLiteral("ProductShadow"), t.gameName, nameFont, Qt::black,
             {13, 6});
    QFont underlined = nameFont;
    underlined.setUnderline(true);
    QLabel* name =
        makeText(namePanel, QStringLiteral("ProductName"), t.gameName, underlined, NameBlue,
                 {11, 5});
    makeText(namePanel, QStringLiteral("Version"), t.version,
             fontWithFallback(QStringLiteral("MS Sans Serif"), 13), NameBlue,
             {13, name->y() + name->height() + 8});

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Bevel1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 136, ClientWidth - 16, 4);

    auto* ok = new QPushButton(t.Button1, this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    ok->setGeometry((ClientWidth - 75) / 2, 148, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    centreOnScreen(this);
}

} // namespace halbeet
