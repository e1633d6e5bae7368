// Moving a finished recording to the name the user chose, never replacing a
// file that is already there.
//
// Thread contract: plain functions, callable from any thread.
#pragma once

#include <string>

// Moves `from` to `to` when `to` does not exist: an atomic rename that refuses
// to replace (renameat2 with RENAME_NOREPLACE); where the file system cannot do
// that, a hard link then removal of the old name; across file systems, a copy
// into a newly created file, then removal of the old one. Returns 0, or the
// system error (EEXIST when `to` exists; the source is then left untouched).
int MoveFileNoReplace(const std::string& from, const std::string& to);

// The folder of the running program ("/proc/self/exe"), empty when unknown.
std::string ProgramFolder();

// The folder for the recording file: programFolder when it is writable and
// holds a Settings.dat (a portable installation), else
// "$XDG_DATA_HOME/varnak" (an absolute xdgDataHome), else
// "$HOME/.local/share/varnak". The folder is created when missing; empty when
// none can be had.
std::string RecordingFolder(const std::string& programFolder, const char* xdgDataHome, const char* home);
// The same from the process environment.
std::string DefaultRecordingFolder();
