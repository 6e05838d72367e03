// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for start-up: a Qt Widgets main window with a menu bar and a label, the least any
// Qt program of this kind pays before its first window is on the screen.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
    auto* label = new QLabel(QStringLiteral("Hello"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(560, 450);
    window.show();
    return QApplication::exec();
}
