// Halbeet: start-up. The language is read once from the settings file and fixed for the run.

#include "core/random.h"
#include "core/state.h"
#include "settings/settings.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("halbeet"));
    QApplication::setOrganizationName(QStringLiteral("Dovelarks"));
    QGuiApplication::setDesktopFileName(QStringLiteral("halbeet"));

    halbeet::setCurrentLang(halbeet::settings::language());
    halbeet::installAppStyle(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/halbeet.png")));

    halbeet::TGameState state;
    halbeet::TForm1 window(state, &halbeet::ClockSeed);
    window.adjustSize();
    window.setFixedSize(window.size());
    if (const QScreen* screen = window.screen()) {
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               screen->availableGeometry()));
    }
    window.show();
    return QApplication::exec();
}
