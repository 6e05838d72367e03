// SPDX-License-Identifier: GPL-3.0-or-later
// The built page as a program holds it through halbeet_embed_web: every file under :/web, the
// same bytes as the build wrote, each with its gzip copy beside it.
//   web_resources_check DIST

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: web_resources_check DIST\n");
        return 2;
    }
    const QDir dist(QString::fromLocal8Bit(argv[1]));
    int problems = 0;
    for (const char* name : {"index.html", "app.js", "app.css", "deck.svg", "texts.json"}) {
        const QString file = QString::fromLatin1(name);
        const QByteArray held = readAll(QStringLiteral(":/web/") + file);
        const QByteArray built = readAll(dist.filePath(file));
        const QByteArray packed = readAll(QStringLiteral(":/web/") + file + QStringLiteral(".gz"));
        if (held.isEmpty() || held != built) {
            std::fprintf(stderr, ":/web/%s is missing or not the file the build wrote\n", name);
            ++problems;
        }
        if (packed.size() < 18 || static_cast<unsigned char>(packed[0]) != 0x1f ||
            static_cast<unsigned char>(packed[1]) != 0x8b || packed != readAll(dist.filePath(file + QStringLiteral(".gz")))) {
            std::fprintf(stderr, ":/web/%s.gz is missing or not gzip\n", name);
            ++problems;
        }
    }
    return problems == 0 ? 0 : 1;
}
