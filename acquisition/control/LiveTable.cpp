#include "acquisition/control/LiveTable.h"

#include <cstdio>

namespace {

constexpr const char* kHome = "\x1b[H";
constexpr const char* kClearLine = "\x1b[K";
constexpr const char* kClearBelow = "\x1b[J";

}  // namespace

std::string LiveTableText(const std::string& statusLine, const std::vector<LiveTableRow>& rows) {
  std::string text = kHome;
  text += statusLine;
  text += kClearLine;
  text += "\n";
  char line[256];
  std::snprintf(line, sizeof line, "%-15s %14s  %s", "ID", "Value", "Units");
  text += line;
  text += kClearLine;
  text += "\n";
  for (const LiveTableRow& row : rows) {
    std::snprintf(line, sizeof line, "%-15.15s %14.40s  %.40s", row.id.c_str(), row.value.c_str(),
                  row.units.c_str());
    // Control characters from a definition would move the cursor.
    for (char* c = line; *c != '\0'; ++c) {
      if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F) *c = ' ';
    }
    text += line;
    text += kClearLine;
    text += "\n";
  }
  text += kClearBelow;
  return text;
}
