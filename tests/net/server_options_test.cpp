// SPDX-License-Identifier: GPL-3.0-or-later
// The table server's command line: what it takes, what it refuses and why, and where its
// tables are kept when it is not told.

#include "server/server_options.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace halbeet::server {
namespace {

using Action = ServerCommandLine::Action;

Environment environmentOf(std::map<std::string, QString> values)
{
    return [values = std::move(values)](const char* name) {
        const auto it = values.find(name);
        return it == values.end() ? QString() : it->second;
    };
}

ServerCommandLine parse(const QStringList& args,
                        const Environment& environment = environmentOf({{"HOME", "/home/ann"}}))
{
    return ParseServerCommandLine(QStringList{QStringLiteral("/usr/bin/halbeet-server")} + args,
                                  environment, QStringLiteral("/srv/here"));
}

TEST(ServerOptions, DefaultsWithoutOptions)
{
    const ServerCommandLine line = parse({});
    ASSERT_EQ(line.action, Action::Run) << line.text.toStdString();
    EXPECT_EQ(line.options.listen, QHostAddress(QStringLiteral("127.0.0.1")));
    EXPECT_EQ(line.options.port, DefaultPort);
    EXPECT_EQ(line.options.maxTables, DefaultMaxTables);
    EXPECT_TRUE(line.options.tlsCertificate.isEmpty());
    EXPECT_EQ(line.options.stateDir, QStringLiteral("/home/ann/.local/state/halbeet"));
    EXPECT_TRUE(line.options.allowedOrigins.isEmpty());
}

TEST(ServerOptions, TakesEveryOption)
{
    const ServerCommandLine line =
        parse({"--listen", "::1", "--port=0", "--max-tables", "7", "--tls-cert", "c.pem",
               "--tls-key", "/k.pem", "--state-dir", "tables/../kept"});
    ASSERT_EQ(line.action, Action::Run) << line.text.toStdString();
    EXPECT_EQ(line.options.listen, QHostAddress(QHostAddress::LocalHostIPv6));
    EXPECT_EQ(line.options.port, 0);
    EXPECT_EQ(line.options.maxTables, 7);
    EXPECT_EQ(line.options.tlsCertificate, QStringLiteral("c.pem"));
    EXPECT_EQ(line.options.tlsKey, QStringLiteral("/k.pem"));
    // A relative folder is taken from where the server was started, not from where it runs later.
    EXPECT_EQ(line.options.stateDir, QStringLiteral("/srv/here/kept"));
}

// Origins are kept as a browser writes them, so that the server compares like with like.
TEST(ServerOptions, AllowedOriginsAsBrowsersWriteThem)
{
    const ServerCommandLine line =
        parse({"--allow-origin", "https://Cards.Example.org/", "--allow-origin=http://[::1]:8080",
               "--allow-origin", "https://cards.example.org:443", "--allow-origin",
               "http://192.168.1.5:80", "--allow-origin", "https://bücher.example"});
    ASSERT_EQ(line.action, Action::Run) << line.text.toStdString();
    EXPECT_EQ(line.options.allowedOrigins,
              QStringList({"https://cards.example.org", "http://[::1]:8080", "http://192.168.1.5",
                           "https://xn--bcher-kva.example"}));
}

TEST(ServerOptions, EdgesOfTheRanges)
{
    struct Case {
        QStringList args;
        quint16 port;
        int maxTables;
    };
    for (const Case& c :
         {Case{{"--port", "65535"}, 65535, DefaultMaxTables},
          Case{{"--port", "1"}, 1, DefaultMaxTables}, Case{{"--max-tables", "1"}, DefaultPort, 1},
          Case{{"--max-tables", QString::number(MostTables)}, DefaultPort, MostTables}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ServerCommandLine line = parse(c.args);
        ASSERT_EQ(line.action, Action::Run) << line.text.toStdString();
        EXPECT_EQ(line.options.port, c.port);
        EXPECT_EQ(line.options.maxTables, c.maxTables);
    }
}

TEST(ServerOptions, HelpAndVersionAnswer)
{
    const ServerCommandLine help = parse({"--help"});
    EXPECT_EQ(help.action, Action::Help);
    EXPECT_TRUE(help.text.startsWith(QStringLiteral("Usage: halbeet-server [options]\n")));
    // The help names the default port and the default folder, as the manual does.
    EXPECT_TRUE(help.text.contains(QStringLiteral("default %1").arg(DefaultPort)));
    EXPECT_TRUE(help.text.contains(QStringLiteral("~/.local/state/halbeet")));
    EXPECT_TRUE(help.text.contains(QStringLiteral("--allow-origin <url>")));
    EXPECT_EQ(parse({"-h"}).action, Action::Help);
    const ServerCommandLine version = parse({"--version"});
    EXPECT_EQ(version.action, Action::Version);
    EXPECT_EQ(version.text, QStringLiteral("halbeet-server " HALBEET_VERSION "\n"));
    // --help wins over a bad value given with it: the reader wanted help.
    EXPECT_EQ(parse({"--port", "x", "--help"}).action, Action::Help);
}

TEST(ServerOptions, RefusesWithTheReason)
{
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{"--bogus"}, "Unknown option 'bogus'"},
        {{"extra"}, "unexpected argument 'extra'"},
        {{"--port"}, "Missing value after '--port'"},
        {{"--port", "65536"}, "--port wants a number from 0 to 65535, not '65536'"},
        {{"--port", "-1"}, "--port wants a number"},
        {{"--port", "80x"}, "--port wants a number"},
        {{"--port", ""}, "--port wants a number"},
        {{"--port", "1", "--port", "2"}, "--port given more than once"},
        {{"--max-tables", "0"}, "--max-tables wants a number from 1 to 10000, not '0'"},
        {{"--max-tables", "10001"}, "--max-tables wants a number"},
        {{"--listen", "example.org"}, "--listen wants an IP address, not 'example.org'"},
        {{"--listen", "300.1.1.1"}, "--listen wants an IP address"},
        {{"--listen", ""}, "--listen wants an IP address"},
        {{"--tls-cert", "c.pem"}, "--tls-cert and --tls-key go together"},
        {{"--tls-key", "k.pem"}, "--tls-cert and --tls-key go together"},
        {{"--tls-cert", "", "--tls-key", "k.pem"}, "want a file each"},
        {{"--state-dir", ""}, "--state-dir wants a folder"},
        {{"--help=yes"}, "Unexpected value after '--help'"},
        {{"--allow-origin"}, "Missing value after '--allow-origin'"},
        {{"--allow-origin", "cards.example.org"}, "--allow-origin wants http(s)://host[:port]"},
        {{"--allow-origin", "https://cards.example.org/play"}, "not 'https://cards.example.org/play'"},
        {{"--allow-origin", "https://ann@cards.example.org"}, "--allow-origin wants"},
        {{"--allow-origin", "https://cards.example.org/?x=1"}, "--allow-origin wants"},
        {{"--allow-origin", "ftp://cards.example.org"}, "--allow-origin wants"},
        {{"--allow-origin", "null"}, "--allow-origin wants"},
        {{"--allow-origin", "*"}, "--allow-origin wants"},
        {{"--allow-origin", "https://"}, "--allow-origin wants"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ServerCommandLine line = parse(c.args);
        EXPECT_EQ(line.action, Action::Error);
        EXPECT_TRUE(line.text.startsWith(QStringLiteral("halbeet-server: ")));
        EXPECT_TRUE(line.text.contains(QString::fromUtf8(c.says))) << line.text.toStdString();
        EXPECT_TRUE(line.text.endsWith(
            QStringLiteral("Try 'halbeet-server --help' for more information.\n")));
    }
}

TEST(ServerOptions, DefaultStateFolderFollowsXdg)
{
    struct Case {
        std::map<std::string, QString> environment;
        QString folder;
    };
    const Case cases[] = {
        {{{"XDG_STATE_HOME", "/var/state"}, {"HOME", "/home/ann"}}, "/var/state/halbeet"},
        {{{"XDG_STATE_HOME", "/var/state/"}}, "/var/state/halbeet"},
        // A relative XDG_STATE_HOME is to be ignored.
        {{{"XDG_STATE_HOME", "state"}, {"HOME", "/home/ann"}}, "/home/ann/.local/state/halbeet"},
        {{{"HOME", "/home/ann"}}, "/home/ann/.local/state/halbeet"},
        // No home at all (a bare service): no folder rather than one at the root.
        {{}, ""},
        {{{"HOME", "relative"}}, ""},
    };
    for (const Case& c : cases) {
        const Environment environment = environmentOf(c.environment);
        EXPECT_EQ(DefaultStateFolder(environment), c.folder);
        EXPECT_EQ(parse({}, environment).options.stateDir, c.folder);
    }
}

} // namespace
} // namespace halbeet::server
