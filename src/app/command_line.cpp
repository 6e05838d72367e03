// SPDX-License-Identifier: GPL-3.0-or-later
// The game's command line: its two options and the options Qt takes for itself.

#include "app/command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <array>

namespace halbeet {

namespace {

// Options every Qt program takes (QGuiApplication and its X11 platform); QApplication reads
// and removes them, so the game only has to let them through.
constexpr std::array<const char*, 14> QtValueOptions = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "name",          "title"};
constexpr std::array<const char*, 6> QtFlagOptions = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "qmljsdebugger"};

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Halbeet: a partnership trick-taking card game against three computer players, in "
        "English and Arabic.\nWithout options the game starts; its settings are kept in "
        "Halbeet.ini and its statistics in the user's data folder."));
    // Qt's options are written with one dash: -platform offscreen, -reverse.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : QtValueOptions) {
        QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : QtFlagOptions) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program =
        arguments.isEmpty() ? QStringLiteral("halbeet") : QFileInfo(arguments.first()).fileName();
    const QString tryHelp =
        QStringLiteral("\nTry '%1 --help' for more information.\n").arg(program);
    if (!parser.parse(arguments))
        return {CommandLine::Action::Error,
                program + QStringLiteral(": ") + parser.errorText() + tryHelp};
    if (parser.isSet(help)) {
        // helpText() names the program after QCoreApplication's arguments; say it ourselves.
        QString text = parser.helpText();
        const qsizetype options = text.indexOf(QLatin1Char('\n'));
        text = QStringLiteral("Usage: %1 [options]").arg(program) + text.mid(options);
        return {CommandLine::Action::Help, text};
    }
    if (parser.isSet(version))
        return {CommandLine::Action::Version,
                QStringLiteral("%1 %2\n").arg(program, QStringLiteral(HALBEET_VERSION))};
    if (!parser.positionalArguments().isEmpty())
        return {CommandLine::Action::Error,
                QStringLiteral("%1: unexpected argument '%2'.")
                        .arg(program, parser.positionalArguments().first()) +
                    tryHelp};
    return {};
}

} // namespace halbeet
