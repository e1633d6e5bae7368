#include "tools/varnak-cli/LiveTable.h"

#include <algorithm>
#include <cstdio>

#include "analysis/AnalysisText.h"

namespace {

constexpr const char* kHome = "\x1b[H";
constexpr const char* kClearLine = "\x1b[K";
constexpr const char* kClearBelow = "\x1b[J";

// The text as UTF-8 (kept when it is UTF-8 already, else read as Latin-1);
// control characters (which would move the cursor) become blanks.
void AppendShown(std::string& out, const char* text) {
  if (IsValidUtf8(text)) {
    for (const char* c = text; *c != '\0'; ++c) {
      const auto b = static_cast<unsigned char>(*c);
      out.push_back(b < 0x20 || b == 0x7F ? ' ' : *c);
    }
    return;
  }
  for (const char* c = text; *c != '\0'; ++c) {
    const auto b = static_cast<unsigned char>(*c);
    if (b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0)) {
      out.push_back(' ');
    } else if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
}

void EndLine(std::string& text) {
  text += kClearLine;
  text += "\n";
}

}  // namespace

std::string LiveTableText(const std::string& statusLine, const std::vector<LiveTableRow>& rows, int width,
                          int height) {
  const int columns = std::max(1, width / kLiveCellWidth);
  // Two lines for the status and the heading, one kept free at the bottom.
  const int lines = std::max(1, height - 3);
  const std::size_t capacity = static_cast<std::size_t>(columns) * static_cast<std::size_t>(lines);
  std::size_t shown = rows.size();
  if (shown > capacity) shown = capacity - 1;  // the last cell says how many are left out
  const std::size_t used =
      (shown + static_cast<std::size_t>(columns) - 1) / static_cast<std::size_t>(columns);

  std::string text = kHome;
  AppendShown(text, statusLine.c_str());
  EndLine(text);
  char cell[128];
  for (int c = 0; c < columns && static_cast<std::size_t>(c) < std::max<std::size_t>(shown, 1); ++c) {
    std::snprintf(cell, sizeof cell, "%-15s %14s  %-5s  ", "ID", "Value", "Units");
    text += cell;
  }
  EndLine(text);
  for (std::size_t line = 0; line < std::max<std::size_t>(used, 1); ++line) {
    for (int c = 0; c < columns; ++c) {
      // Items run down the columns, like a newspaper.
      const std::size_t index = static_cast<std::size_t>(c) * used + line;
      if (index < shown) {
        const LiveTableRow& row = rows[index];
        std::snprintf(cell, sizeof cell, "%-15.15s %14.14s  %-5.5s  ", row.id.c_str(), row.value.c_str(),
                      row.units.c_str());
        AppendShown(text, cell);
      } else if (index == shown && shown < rows.size()) {
        std::snprintf(cell, sizeof cell, "... %zu more", rows.size() - shown);
        text += cell;
        break;
      }
    }
    EndLine(text);
  }
  text += kClearBelow;
  return text;
}
