// The compact table that the command-line scan redraws in place: the status
// line, then one line per item with its ID, value text and units.
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

// The whole screen: starts at the top left corner, clears every line's rest
// and everything below the table, so a redraw leaves no trace of the last one.
std::string LiveTableText(const std::string& statusLine, const std::vector<LiveTableRow>& rows);
