// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The saved game on disk: where it lives, and reading, writing, discarding and setting aside
// the file. What is in it is the game model's business; the settings file is never touched.

#include <QString>

#include <optional>
#include <string>

namespace halbeet::savedgame {

// $XDG_DATA_HOME/Dovelarks/Halbeet (usually ~/.local/share/Dovelarks/Halbeet). Empty when
// there is no home to put it in: then nothing is saved rather than a folder made at the root.
QString folder();
// folder() + "/game.json", or empty.
QString path();

// The saved text, or nothing when there is no save. A file over the size cap, or one that
// cannot be read, is reported through *unreadable (and left where it is).
std::optional<std::string> read(bool* unreadable = nullptr);
// Writes the text atomically (a temporary file renamed over the old one). On failure the old
// file stays as it was and *error says why, in words for the user.
bool write(const std::string& text, QString* error = nullptr);
// Removes the save; a missing file is not an error.
void discard();
// Moves a save that cannot be used aside, whole, under a new name in the same folder, and
// returns that path (empty when even that failed, in which case the file is removed so that
// it is not offered again).
QString setAside();

} // namespace halbeet::savedgame
