// The compact table that the command-line scan redraws in place: the status
// line, then the items with their ID, value text and units, laid out in as
// many columns as the terminal is wide, so that a redraw never scrolls.
//
// Thread contract: pure function, callable from any thread.
#pragma once

#include <string>
#include <vector>

struct LiveTableRow {
  std::string id;
  std::string value;
  std::string units;
};

// Width of one item cell, the gap included.
inline constexpr int kLiveCellWidth = 40;

// The whole screen for a terminal of `width` x `height` characters: starts at
// the top left corner, clears the rest of every line and everything below,
// so a redraw leaves no trace of the last one. Items that do not fit are
// counted on the last line. Definition texts are Latin-1; the table is UTF-8,
// without control characters.
std::string LiveTableText(const std::string& statusLine, const std::vector<LiveTableRow>& rows,
                          int width = 80, int height = 24);
