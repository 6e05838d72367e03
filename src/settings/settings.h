// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one owner of the settings file Halbeet.ini. Nothing here is cached: every call
// opens the file, reads or writes, and closes it, so a value written by one window is
// what the next reader sees, and a folder deleted while the game runs is recreated.

#include <QString>

#include <functional>
#include <stdexcept>

namespace halbeet {

// Raised when the settings file cannot be written. The text is the one the user sees in
// the message box: "Unable to write to <path>".
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const QString& path);

    QString path() const { return m_path; }
    QString message() const;

private:
    QString m_path;
};

namespace settings {

// The folder that holds the settings file; created with its parents when missing.
// Never throws: a folder that cannot be created only shows at the first write. Without
// APPDATA, XDG_CONFIG_HOME and a home folder (HOME or the password database), nothing is
// created and the first write fails.
QString SettingsFolder();
// SettingsFolder() + "/Halbeet.ini".
QString SettingsFile();

// A settings file over the size cap is never read; the first write moves it aside, whole,
// as Halbeet-too-large.ini (or -2, -3 ...) in the same folder, and starts a fresh file.
// The handler is told the new path once the fresh file is written, so the user can be told.
void setSetAsideHandler(std::function<void(const QString& movedTo)> handler);

// Generic access. Sections and keys match without regard to case. A missing file,
// section or key, an unreadable file, or an integer key whose text is not an integer
// (decimal, or hexadecimal after "0x" or "$") gives the default. A key that is present
// with an empty value reads as "", not as the default.
QString readString(const QString& section, const QString& key, const QString& def);
int readInteger(const QString& section, const QString& key, int def);
// Both throw SettingsWriteError; the file on disk is then left as it was. The file is
// replaced atomically and only the one key's line changes; line breaks and other control
// characters in a value are stored as spaces, blanks around it are dropped. A section or
// key name that could not be read back ("[", "]", "=", line breaks) is a programming
// error: std::invalid_argument.
void writeString(const QString& section, const QString& key, const QString& value);
void writeInteger(const QString& section, const QString& key, int value);

// The program's keys, with their defaults and range rules.

// NAMES/PLAYER1..4 for seats 1..4 (std::out_of_range otherwise); defaults "", "Player2",
// "Player3", "Player4".
QString playerName(int seat);
// The same with the caller's default for a name that is not stored: the file keeps the
// described defaults, the interface may name the players in its own language.
QString playerName(int seat, const QString& fallback);
void setPlayerName(int seat, const QString& name);

// BACKCARD/BACK, a back design -1..-13; default -2. Values of 0 or more read as -1,
// values below -13 as -13. Clamped in memory only, never written back.
int backDesign();
void setBackDesign(int design);

// DELAYCARD/DELAY as a new deal uses it: below 500 (other than exactly 500) -> 100,
// strictly between 500 and 1000 -> 500, above 1000 -> 1000. The corrected value is
// written back, only when it differs from what was read; may throw SettingsWriteError.
int dealDelay();
// The same correction without touching the file, for a caller that must go on with the
// corrected speed after the write-back was refused.
int normalizedDealDelay(int stored);
// DELAYCARD/DELAY as the options dialog reads it: exactly 100, 500 or 1000 is kept,
// anything else is written back as 100; may throw SettingsWriteError.
int optionsDelay();
void setDelay(int ms);

// LANGUAGE/LANG as stored; default "EN". The caller decides what it means ("AR").
QString language();
void setLanguage(const QString& code);

// GAME/RESUME: 1 (the default) saves a game in progress when the program is quit and offers
// it at the next start; 0 leaves every start to a fresh game. Any value but 0 reads as 1.
bool resumeGames();
void setResumeGames(bool on);

// PLAYERS/LEVEL: how the three computer seats play. "CLASSIC" (the default) is the fixed rule
// set; "EXPERT" searches. Anything else reads as CLASSIC; case does not matter.
bool expertPlayers();
void setExpertPlayers(bool expert);

// FACES/DECK: the card faces, as the name of an installed deck's folder ("svg-standard").
// Missing or empty means the program's default deck; blanks around the name are dropped.
// Whether the deck is still installed is the card pictures' business, not this file's.
QString faceDeck();
void setFaceDeck(const QString& deck);

// WINDOW/WIDTH, HEIGHT, MAXIMIZED, FULLSCREEN: the main window as it was last closed. The
// size is that of the window when neither maximised nor full screen; 0 (the default, and
// anything that is not a positive number) means the default size. MAXIMIZED and FULLSCREEN
// read as on for any value but 0.
struct WindowPlacement {
    int width = 0;
    int height = 0;
    bool maximized = false;
    bool fullScreen = false;
    bool operator==(const WindowPlacement&) const = default;
};
WindowPlacement windowPlacement();
// Writes only the keys whose value differs from the file's; may throw SettingsWriteError.
void setWindowPlacement(const WindowPlacement& placement);

} // namespace settings
} // namespace halbeet
