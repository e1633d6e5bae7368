#pragma once
// The editor's window title and the short form of a path shown in it.
//
// Thread contract: pure functions.
#include <string>
#include <string_view>

// The path cut to its last parts: the text after the third "\" or "/" from
// the end; with exactly two separators, the text after the first one; with one
// separator or none, the whole path.
std::string ShortPathForm(std::string_view path);
// "Brelith - " and the short form of the path, or "New ADX File" when the
// path is empty.
std::string EditorTitle(std::string_view path);
