// SPDX-License-Identifier: GPL-3.0-or-later
// The settings folder taken away while the game runs: made read-only, replaced by a regular
// file, deleted, or left readable on a disk that takes no more bytes. At each place the game
// writes (the name dialog's OK, the options dialog's OK, the language commands, a new deal
// correcting DELAY) a refused write must show "Unable to write to <path>" once, stop that one
// action, keep the game running and leave the stored file exactly as it was; the command
// then works once the folder is back. A deleted folder is simply made again.

#include "core/state.h"
#include "settings/saved_game.h"
#include "settings/settings.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/options_dialog.h"
#include "ui/startup.h"
#include "ui/table.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sys/resource.h>

using namespace halbeet;

namespace {

const QByteArray StoredFile = "[NAMES]\n"
                              "PLAYER1=Hawk\n"
                              "PLAYER2=Falcon\n"
                              "PLAYER3=Eagle\n"
                              "PLAYER4=Kite\n"
                              "[BACKCARD]\n"
                              "BACK=-5\n"
                              "[DELAYCARD]\n"
                              "DELAY=500\n"
                              "[LANGUAGE]\n"
                              "LANG=EN\n";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Answers every modal window while an action runs, from a timer, and keeps their texts:
// OK for notices, Yes for questions.
class ModalCatcher {
public:
    ModalCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    const QStringList& texts() const { return m_texts; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        // Answering hides the window at once, so a window still up is a new one.
        if (!modal || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            m_texts << box->text();
            QAbstractButton* button = box->button(QMessageBox::Yes);
            if (!button)
                button = box->button(QMessageBox::Ok);
            if (button)
                button->click();
            else
                box->reject();
            return;
        }
        const auto labels = modal->findChildren<QLabel*>();
        m_texts << (labels.isEmpty() ? modal->windowTitle() : labels.first()->text());
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    }

    QTimer m_timer;
    QStringList m_texts;
};

// One way of taking the folder away, and of giving it back.
struct Breaker {
    const char* name;
    // The write fails; otherwise (a deleted folder) it quietly makes the folder again.
    bool refusesWrites;
    // What was stored can still be read while the folder is away.
    bool stillReadable;
};

const Breaker Breakers[] = {
    {"read-only folder", true, true},
    {"folder replaced by a file", true, false},
    {"folder deleted", false, false},
    // Root ignores permissions; a file-size limit refuses every written byte to root too,
    // while the file stays readable: the stand-in for a read-only folder in CI.
    {"no byte can be written", true, true},
};

class SettingsHome {
public:
    SettingsHome() : m_data(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("APPDATA", m_dir.path().toUtf8());
        // A game saved by one case's window must not be offered to the next one's.
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
        QDir().mkpath(folder());
    }
    ~SettingsHome()
    {
        restore();
        qunsetenv("APPDATA");
        qputenv("XDG_DATA_HOME", m_data);
    }

    QString folder() const { return QDir::cleanPath(m_dir.path() + QStringLiteral("/Dovelarks/Halbeet")); }
    QString file() const { return folder() + QStringLiteral("/Halbeet.ini"); }
    // Where the stored file lies while the folder is away (empty when it is gone).
    QString storedFile() const
    {
        if (!m_breaker || m_breaker->stillReadable)
            return file();
        if (!m_breaker->refusesWrites)
            return {};
        return movedFolder() + QStringLiteral("/Halbeet.ini");
    }

    // False when this machine cannot take the folder away that way (a read-only folder for
    // root).
    bool take(const Breaker& breaker)
    {
        m_breaker = &breaker;
        const QString name = QString::fromLatin1(breaker.name);
        if (name == QLatin1String("read-only folder")) {
            QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner);
            QFile probe(folder() + QStringLiteral("/probe"));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                restore();
                return false;
            }
        } else if (name == QLatin1String("folder replaced by a file")) {
            if (!QDir().rename(folder(), movedFolder()) || !writeAll(folder(), "not a folder"))
                return false;
        } else if (name == QLatin1String("folder deleted")) {
            QDir(folder()).removeRecursively();
        } else {
            getrlimit(RLIMIT_FSIZE, &m_oldLimit);
            m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
            rlimit none = m_oldLimit;
            none.rlim_cur = 0;
            setrlimit(RLIMIT_FSIZE, &none);
            m_limited = true;
        }
        return true;
    }

    void restore()
    {
        if (!m_breaker)
            return;
        const QString name = QString::fromLatin1(m_breaker->name);
        if (name == QLatin1String("read-only folder")) {
            QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (name == QLatin1String("folder replaced by a file")) {
            QFile::remove(folder());
            QDir().rename(movedFolder(), folder());
        } else if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_oldLimit);
            std::signal(SIGXFSZ, m_oldSignal);
            m_limited = false;
        }
        m_breaker = nullptr;
    }

private:
    QString movedFolder() const { return folder() + QStringLiteral(".moved"); }

    QTemporaryDir m_dir;
    QByteArray m_data; // XDG_DATA_HOME as it was
    const Breaker* m_breaker = nullptr;
    rlimit m_oldLimit{};
    void (*m_oldSignal)(int) = SIG_DFL;
    bool m_limited = false;
};

} // namespace

class TestSettingsFolder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void nameDialogOk_data() { breakerRows(); }
    void nameDialogOk();
    void optionsOk_data() { breakerRows(); }
    void optionsOk();
    void languageCommand_data() { breakerRows(); }
    void languageCommand();
    void newDealCorrectsDelay_data() { breakerRows(); }
    void newDealCorrectsDelay();

private:
    static void breakerRows();
    // A fresh settings folder holding StoredFile, and the main window with its name dialog up.
    void startWindow();
    // Takes the folder away, runs the action, gives the folder back, and checks that what was
    // stored is intact. Returns the texts of the modal windows the action showed; nothing
    // when this machine cannot take the folder away that way.
    std::optional<QStringList> breakAndRun(const std::function<void()>& action);
    void acceptName(const QString& name);

    QString writeError() const { return QStringLiteral("Unable to write to ") + m_home->file(); }

    const Breaker* m_breaker = nullptr;
    std::unique_ptr<SettingsHome> m_home;
    std::unique_ptr<GameModel> m_game;
    std::unique_ptr<MainWindow> m_window;
};

void TestSettingsFolder::initTestCase() { setTimeScale(0); }

void TestSettingsFolder::cleanup()
{
    if (m_home)
        m_home->restore();
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_home.reset();
    m_game.reset();
}

void TestSettingsFolder::breakerRows()
{
    QTest::addColumn<int>("breaker");
    for (int i = 0; i < int(std::size(Breakers)); ++i)
        QTest::newRow(Breakers[i].name) << i;
}

void TestSettingsFolder::startWindow()
{
    QFETCH(int, breaker);
    m_breaker = &Breakers[breaker];
    m_home = std::make_unique<SettingsHome>();
    QVERIFY(writeAll(m_home->file(), StoredFile));

    prepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    m_game = std::make_unique<GameModel>([next = std::uint32_t{3}]() mutable { return next++; });
    m_window = createMainWindow(*m_game);
    m_window->setNameDialogDelay(0);
    m_window->show();
    QTRY_VERIFY(m_window->nameDialog() && m_window->nameDialog()->isVisible());
}

void TestSettingsFolder::acceptName(const QString& name)
{
    NameDialog* dialog = m_window->nameDialog();
    dialog->nameField()->setText(name);
    ModalCatcher catcher;
    dialog->acceptName();
    QCOMPARE(catcher.texts(), QStringList());
    QVERIFY(!dialog->isVisible());
    QVERIFY(m_window->isEnabled());
}

std::optional<QStringList> TestSettingsFolder::breakAndRun(const std::function<void()>& action)
{
    const QByteArray before = readAll(m_home->file());
    if (!m_home->take(*m_breaker))
        return std::nullopt;
    QStringList texts;
    {
        ModalCatcher catcher;
        action();
        texts = catcher.texts();
    }
    // Where the stored file still exists, it is whole: looked at while the folder is away,
    // and again once it is back.
    const QString stored = m_home->storedFile();
    const QByteArray whileAway = readAll(stored);
    m_home->restore();
    if (!stored.isEmpty()) {
        [&] {
            QCOMPARE(whileAway, before);
            QCOMPARE(readAll(m_home->file()), before);
        }();
    }
    // A refused write leaves nothing behind in the folder, not even a temporary file.
    if (m_breaker->refusesWrites) {
        [&] {
            QCOMPARE(QDir(m_home->folder()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("Halbeet.ini")});
        }();
    }
    return texts;
}

void TestSettingsFolder::nameDialogOk()
{
    startWindow();
    NameDialog* dialog = m_window->nameDialog();
    QCOMPARE(dialog->nameField()->text(), QStringLiteral("Hawk"));
    dialog->nameField()->setText(QStringLiteral("Owl"));

    const std::optional<QStringList> texts = breakAndRun([dialog] { dialog->acceptName(); });
    if (!texts)
        QSKIP("this user can still write to a read-only folder");
    if (QTest::currentTestFailed())
        return;

    if (m_breaker->refusesWrites) {
        QCOMPARE(*texts, QStringList{writeError()});
        // The dialog waits for another try; no deal has started behind it.
        QVERIFY(dialog->isVisible());
        QVERIFY(!m_window->isEnabled());
        QVERIFY(!m_window->table()->bidButton()->isVisible());
        QCOMPARE(settings::playerName(1), QStringLiteral("Hawk"));

        acceptName(QStringLiteral("Owl"));
        QVERIFY(m_window->table()->bidButton()->isVisible());
        QCOMPARE(settings::playerName(1), QStringLiteral("Owl"));
        QCOMPARE(settings::playerName(2), QStringLiteral("Falcon"));
        QCOMPARE(m_window->table()->nameLabel(2)->text(), QStringLiteral("Falcon"));
    } else {
        // The folder comes back, empty but for the name just written.
        QCOMPARE(*texts, QStringList());
        QVERIFY(!dialog->isVisible());
        QVERIFY(m_window->isEnabled());
        QCOMPARE(readAll(m_home->file()), QByteArray("[NAMES]\nPLAYER1=Owl\n"));
        QCOMPARE(m_window->table()->nameLabel(2)->text(), QStringLiteral("Player2"));
    }
}

void TestSettingsFolder::optionsOk()
{
    startWindow();
    acceptName(QStringLiteral("Hawk"));
    OptionsDialog* options = m_window->optionsDialog();
    options->show();
    QTRY_VERIFY(options->isVisible());
    const QStringList names{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy"),
                            QStringLiteral("Di")};
    for (int n = 1; n <= 4; ++n)
        options->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(n))->setText(names[n - 1]);

    const std::optional<QStringList> texts = breakAndRun([options] { options->applyOptions(); });
    if (!texts)
        QSKIP("this user can still write to a read-only folder");
    if (QTest::currentTestFailed())
        return;

    if (m_breaker->refusesWrites) {
        // One message for the first refused write; the later keys are not even tried.
        QCOMPARE(*texts, QStringList{writeError()});
        QVERIFY(options->isVisible());
        QCOMPARE(settings::playerName(1), QStringLiteral("Hawk"));

        ModalCatcher catcher;
        options->applyOptions();
        QCOMPARE(catcher.texts(), QStringList());
        QVERIFY(!options->isVisible());
        // Edit1..Edit4 hold seats 1, 3, 2, 4.
        QCOMPARE(settings::playerName(1), QStringLiteral("Ann"));
        QCOMPARE(settings::playerName(3), QStringLiteral("Bob"));
        QCOMPARE(settings::playerName(2), QStringLiteral("Cy"));
        QCOMPARE(settings::playerName(4), QStringLiteral("Di"));
        QCOMPARE(settings::language(), QStringLiteral("EN"));
        QCOMPARE(settings::backDesign(), -5);
    } else {
        QCOMPARE(*texts, QStringList());
        QVERIFY(!options->isVisible());
        QCOMPARE(readAll(m_home->file()), QByteArray("[NAMES]\nPLAYER1=Ann\nPLAYER2=Cy\nPLAYER3=Bob\n"
                                                     "PLAYER4=Di\n[BACKCARD]\nBACK=-5\n"
                                                     "[DELAYCARD]\nDELAY=500\n"));
    }
}

void TestSettingsFolder::languageCommand()
{
    startWindow();
    acceptName(QStringLiteral("Hawk"));
    QAction* arabic = m_window->menuItem(QStringLiteral("N15"));
    QAction* english = m_window->menuItem(QStringLiteral("English1"));
    const QString restartNotice = arabicTexts().flow.RestartNotice;

    const std::optional<QStringList> texts = breakAndRun([this] { m_window->switchToArabic(); });
    if (!texts)
        QSKIP("this user can still write to a read-only folder");
    if (QTest::currentTestFailed())
        return;

    if (m_breaker->refusesWrites) {
        QCOMPARE(*texts, QStringList{writeError()});
        // The check mark stays with the language that is still stored.
        QVERIFY(!arabic->isChecked());
        QVERIFY(english->isChecked());
        QCOMPARE(settings::language(), QStringLiteral("EN"));

        ModalCatcher catcher;
        m_window->switchToArabic();
        QCOMPARE(catcher.texts(), QStringList{restartNotice});
    } else {
        QCOMPARE(*texts, QStringList{restartNotice});
        QCOMPARE(readAll(m_home->file()), QByteArray("[LANGUAGE]\nLANG=AR\n"));
    }
    QVERIFY(arabic->isChecked());
    QVERIFY(!english->isChecked());
    QCOMPARE(settings::language(), QStringLiteral("AR"));
    // The language of the run does not change until the next start.
    QCOMPARE(CurrentLang(), QStringLiteral("EN"));
}

void TestSettingsFolder::newDealCorrectsDelay()
{
    startWindow();
    acceptName(QStringLiteral("Hawk"));
    QCOMPARE(m_game->state().PlayDelay, 500);
    // A speed that the next deal must bring into range and write back.
    QByteArray stored = StoredFile;
    stored.replace("DELAY=500", "DELAY=250");
    QVERIFY(writeAll(m_home->file(), stored));

    const std::optional<QStringList> texts = breakAndRun([this] { m_window->newDeal(); });
    if (!texts)
        QSKIP("this user can still write to a read-only folder");
    if (QTest::currentTestFailed())
        return;

    // The deal goes on at the corrected speed whether or not it could be stored; a file
    // that cannot be read gives the default speed, which needs no correction.
    QCOMPARE(m_game->state().PlayDelay, 100);
    QVERIFY(m_window->table()->bidButton()->isVisible());
    QCOMPARE(m_game->state().CardsPlayed, 0);
    QStringList expected;
    if (m_breaker->refusesWrites && m_breaker->stillReadable)
        expected << writeError();
    // A disk that takes no byte refuses the new deal's save as well, and says so.
    if (QLatin1String(m_breaker->name) == QLatin1String("no byte can be written"))
        expected << halbeet::texts().savedGame.SaveFailedNotice.arg(savedgame::path());
    QCOMPARE(*texts, expected);
    if (m_breaker->refusesWrites)
        QCOMPARE(readAll(m_home->file()), stored);
    else
        QVERIFY(!QFileInfo::exists(m_home->file()));

    // With the folder back, the next deal stores the correction.
    if (m_breaker->refusesWrites) {
        ModalCatcher catcher;
        m_window->newDeal();
        QCOMPARE(catcher.texts(), QStringList());
        QCOMPARE(settings::readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 0), 100);
    }
}

QTEST_MAIN(TestSettingsFolder)
#include "tst_settings_folder.moc"
