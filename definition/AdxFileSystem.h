#pragma once
// The few file-system and clock services the ADX saver needs, kept apart from
// the format code.
//
// Thread contract: free functions; safe on any thread.
#include <string>

namespace adxfs {

// The file a save to path must replace: path itself, or the final target when
// path is a symbolic link (so that saving keeps the link).
std::string SaveTarget(const std::string& path);
// A name beside target that no file has yet, for writing a new version of it.
std::string TemporaryBeside(const std::string& target);
// Renames from over to in one step, giving from the permissions of an
// existing to first. Returns whether it worked.
bool ReplaceFile(const std::string& from, const std::string& to);
void RemoveFile(const std::string& path);
// The local time as "Written MM/DD/YYYY hh:mm:ss".
std::string WrittenTimeText();

}  // namespace adxfs
