// The rows that the command-line tool writes for every good packet: the
// packet time, then the text that the item list shows for every value and
// bitmask of the definition, in definition order. The header row names the
// columns "time_s" and the items' IDs.
//
// Thread contract: one thread formats at a time (the thread that delivers the
// packets); the definition must not change meanwhile. Decoding stores the
// items' atomic raw values, as the panes do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ADXDefinition;
class ADXObject;

class ItemRowFormatter {
 public:
  // Longest value text, as the item list shows it.
  static constexpr std::size_t kValueTextSize = 41;

  explicit ItemRowFormatter(const ADXDefinition& definition);

  std::size_t ItemCount() const { return items_.size(); }
  const std::vector<ADXObject*>& Items() const { return items_; }

  // "time_s,ID,ID,...\n".
  std::string HeaderRow() const;
  // Appends one row for a packet of a command: "%.3f" of the time, then each
  // item's text. An item is read from the packet when it belongs to no
  // command or to this one, otherwise its latest reading is shown.
  void AppendRow(std::string& out, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                 std::uint32_t commandIdHash) const;
  // The text of one item (as AppendRow formats it, unquoted).
  std::string ItemText(std::size_t index, const std::uint8_t* packet, std::size_t length,
                       std::uint32_t commandIdHash) const;
  // Units of one item (empty for bitmasks).
  std::string ItemUnits(std::size_t index) const;

 private:
  std::size_t FormatItem(std::size_t index, const std::uint8_t* packet, std::size_t length,
                         std::uint32_t commandIdHash, char* buffer, std::size_t size) const;

  const ADXDefinition& definition_;
  std::vector<ADXObject*> items_;
};

// Appends text as one CSV field: quoted (with doubled quotes) when it holds a
// comma, a quote, a line break or leading or trailing blanks.
void AppendCsvField(std::string& out, const char* text, std::size_t length);
