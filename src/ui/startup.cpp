// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/startup.h"

#include "settings/settings.h"
#include "ui/arabic_style.h"
#include "ui/card_art.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/screen_fit.h"

#include <QApplication>
#include <QTimer>
#include <QScreen>
#include <QStyle>

namespace halbeet {

void prepareApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("halbeet"));
    QApplication::setOrganizationName(QStringLiteral("Dovelarks"));
    QGuiApplication::setDesktopFileName(QStringLiteral("halbeet"));
    setCurrentLang(settings::language());
    installQtTranslations();
    // Only the choice: the deck is read when the first face is painted.
    CardArt::setDeck(settings::faceDeck());
    CardArt::sortDecksInBackground();
    installAppStyle(app);
    installScreenFit(app);
    // Told once, after the command that wrote has finished: where an oversized settings file
    // went when a fresh one took its place.
    settings::setSetAsideHandler([](const QString& movedTo) {
        QTimer::singleShot(0, qApp, [movedTo] {
            LangMessageDlg(texts().flow.SettingsSetAside.arg(movedTo), DialogType::Information,
                           MsgButton::OK, QApplication::activeWindow());
        });
    });
    // Every size the window manager may ask for, so small title-bar icons stay crisp.
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addFile(QStringLiteral(":/images/halbeet-%1.png").arg(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/images/halbeet.png"), QSize(256, 256));
    QApplication::setWindowIcon(icon);
}

std::unique_ptr<MainWindow> createMainWindow(GameModel& game)
{
    auto window = std::make_unique<MainWindow>(game);
    window->adjustSize();
    // The described size is the default and the smallest; the table scales with the rest.
    window->setMinimumSize(window->size());
    if (const QScreen* screen = window->screen()) {
        window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                                window->size(), screen->availableGeometry()));
    }
    return window;
}

} // namespace halbeet
