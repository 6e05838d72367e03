// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Right-to-left helpers for the Arabic interface.
//
// An access-key ampersand inside an Arabic word ("&لعبة") makes the style draw the
// underlined letter as a separate run, which breaks the joining of the word. In Arabic the
// application style therefore never underlines access keys; the keys themselves still work
// (Alt+letter opens the menu), only the underline is not drawn.

#include <QFont>
#include <QProxyStyle>

class QApplication;
class QLabel;
class QWidget;

namespace halbeet {

class AppStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Wraps the platform's default style.
    AppStyle();

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Installs AppStyle on the application (call after setCurrentLang).
void installAppStyle(QApplication& app);

// Qt::RightToLeft in Arabic, Qt::LeftToRight in English.
Qt::LayoutDirection languageDirection();
// Sets the reading direction of the current language on a widget. Pop-up menus and dialogs
// do not inherit it from the menu bar, so each one needs it explicitly.
void applyLanguageDirection(QWidget* widget);

// Centres a top-level window on the primary screen (a parent would otherwise centre it
// over itself when shown).
void centreOnScreen(QWidget* window);

// Mirrors the places of the area's own controls across its width, for right-to-left reading:
// what stood at the left edge stands at the right edge. Controls inside the controls are left
// alone (mirror a panel of one's own with a call of its own).
void mirrorPlaces(QWidget* area);

// Gives the label the designed font, or the largest smaller size of it (not below
// minPixelSize) in which its text fits the width: a long name shows whole, never cut.
void shrinkToFit(QLabel* label, const QFont& designed, int width, int minPixelSize);

// "MS Sans Serif" / "Tahoma" / "Impact" are not on Linux; DejaVu Sans shapes Arabic.
QFont fontWithFallback(const QString& family, int pixelSize, bool bold = false);

} // namespace halbeet
