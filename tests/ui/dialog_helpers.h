// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the widget tests of the dialogs: a private settings folder and a way to
// answer a modal window that a call under test opens and waits for.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace halbeet::testing {

// Points APPDATA (the settings) and XDG_DATA_HOME (the saved game) at a fresh temporary
// folder for the lifetime of the object.
class TempSettings {
public:
    TempSettings()
        : m_hadPrevious(qEnvironmentVariableIsSet("APPDATA")), m_previous(qgetenv("APPDATA")),
          m_hadData(qEnvironmentVariableIsSet("XDG_DATA_HOME")), m_previousData(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("APPDATA", m_dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
    }
    ~TempSettings()
    {
        if (m_hadPrevious)
            qputenv("APPDATA", m_previous);
        else
            qunsetenv("APPDATA");
        if (m_hadData)
            qputenv("XDG_DATA_HOME", m_previousData);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString folder() const { return m_dir.path() + QStringLiteral("/Dovelarks/Halbeet"); }
    QString file() const { return folder() + QStringLiteral("/Halbeet.ini"); }

    QString contents() const
    {
        QFile f(file());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll());
    }

    void write(const QByteArray& text) const
    {
        QDir().mkpath(folder());
        QFile f(file());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // A folder where the file should be: every write fails, even for root.
    void blockWrites() const
    {
        QFile::remove(file());
        QDir().mkpath(file());
    }

private:
    QTemporaryDir m_dir;
    bool m_hadPrevious;
    QByteArray m_previous;
    bool m_hadData;
    QByteArray m_previousData;
};

// Runs action on the next modal window to appear (polls the event loop, gives up after 5 s).
// Returns a flag that tells whether the action ran.
inline std::shared_ptr<bool> whenModal(std::function<void(QWidget*)> action)
{
    auto done = std::make_shared<bool>(false);
    auto timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, done, tries] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *done = true;
            action(modal);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return done;
}

} // namespace halbeet::testing
