// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/arabic_style.h"

#include "ui/language.h"

#include <QApplication>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace halbeet {

AppStyle::AppStyle() = default;

int AppStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                        QStyleHintReturn* returnData) const
{
    // Asked anew for every paint, so the answer follows the language even if the style was
    // installed before the language was set.
    if (hint == SH_UnderlineShortcut && isArabic())
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void installAppStyle(QApplication& app)
{
    // QApplication takes ownership of the style.
    app.setStyle(new AppStyle);
}

Qt::LayoutDirection languageDirection()
{
    return texts().direction;
}

void applyLanguageDirection(QWidget* widget)
{
    if (widget)
        widget->setLayoutDirection(languageDirection());
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!window || !screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

void mirrorPlaces(QWidget* area)
{
    if (!area)
        return;
    const int width = area->width();
    for (QWidget* control : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        control->move(width - control->x() - control->width(), control->y());
    }
}

void shrinkToFit(QLabel* label, const QFont& designed, int width, int minPixelSize)
{
    QFont font = designed;
    while (font.pixelSize() > minPixelSize &&
           QFontMetrics(font).horizontalAdvance(label->text()) > width)
        font.setPixelSize(font.pixelSize() - 1);
    if (label->font() != font)
        label->setFont(font);
}

QFont fontWithFallback(const QString& family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setFamilies({family, QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace halbeet
