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
class ADXValue;

class ItemRowFormatter {
 public:
  // Longest value text, as the item list shows it.
  static constexpr std::size_t kValueTextSize = 41;

  explicit ItemRowFormatter(const ADXDefinition& definition);
  // Only the items with these IDs, in this order (only they are decoded); the
  // IDs that name no value or bitmask are put in *unknown.
  ItemRowFormatter(const ADXDefinition& definition, const std::vector<std::string>& ids,
                   std::vector<std::string>* unknown);

  std::size_t ItemCount() const { return items_.size(); }
  const std::vector<ADXObject*>& Items() const { return items_; }

  // "time_s,ID,ID,...\n".
  std::string HeaderRow() const;
  // "s,UNITS,UNITS,...\n": each item's units (as UTF-8), empty for bitmasks.
  std::string UnitsRow() const;
  // True when a packet of this command makes a row: items of the definition
  // are bound to the command, or it is the monitor command. Replies of other
  // commands (the connect command's) would only repeat older readings.
  bool MakesRow(std::uint32_t commandIdHash) const;
  // Appends one row for a packet of a command: "%.3f" of the time, then each
  // item's text. An item is read from the packet when it belongs to no
  // command or to this one, otherwise its latest reading is shown.
  void AppendRow(std::string& out, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                 std::uint32_t commandIdHash) const;
  // The same row written into [first, last), for writers that keep their own
  // buffer: returns the end of the row, or nullptr when it did not fit (then
  // the range holds nothing useful and AppendRow gives the row). A range of
  // RowBound() characters fits every row whose time is below 10^15 s.
  char* WriteRow(char* first, char* last, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                 std::uint32_t commandIdHash) const;
  std::size_t RowBound() const { return rowBound_; }
  // The text of one item (as AppendRow formats it, unquoted).
  std::string ItemText(std::size_t index, const std::uint8_t* packet, std::size_t length,
                       std::uint32_t commandIdHash) const;
  // Units of one item (empty for bitmasks).
  std::string ItemUnits(std::size_t index) const;

 private:
  std::size_t FormatItem(std::size_t index, const std::uint8_t* packet, std::size_t length,
                         std::uint32_t commandIdHash, char* buffer, std::size_t size) const;

  // How one column is made. Values without links or a lookup table are
  // decoded and formatted here, straight into the row; everything else goes
  // through the item's own formatting. Both give the same text.
  struct Column {
    enum class Kind { kGeneric, kValue, kBitmask };
    Kind kind = Kind::kGeneric;
    std::uint32_t parent = 0;  // the item's command; 0 for any
    // Where the raw word is (kValue, kBitmask).
    std::uint32_t offset = 0;
    std::int32_t sizeInBits = 0;
    bool swap = false;
    // kValue: the slots that receive the raw number (no variable: nothing
    // is read).
    bool readsRaw = false;
    std::vector<int> slots;
    int slotCount = 0;
    bool fillsSlots = false;  // the raw number fills every slot
    // kValue: the texts of recent raw words. A planned value's text depends
    // on its raw word alone (the equation has no state), so a word seen
    // before gives its text again without converting or formatting.
    struct Text {
      std::uint32_t word = 0;
      std::uint8_t length = kNoText;
      char text[11] = {};
    };
    static constexpr std::uint8_t kNoText = 0xFF;
    mutable std::vector<Text> texts;  // a power of two long, indexed by the word's low bits
    // kBitmask: the two texts as CSV fields.
    std::string trueField;
    std::string falseField;
  };
  void PlanColumns();
  // Digit counts above this take the item's own formatting (texts may be cut).
  static constexpr int kFastDigitsMax = 20;
  char* FormatValue(char* first, const Column& column, ADXValue* value, std::uint32_t word) const;
  char* WriteValue(char* first, const Column& column, ADXObject* item, const std::uint8_t* packet,
                   std::size_t length, std::uint32_t commandIdHash) const;
  void AppendRowByItems(std::string& out, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                        std::uint32_t commandIdHash) const;

  void FindRowCommands();

  const ADXDefinition& definition_;
  std::vector<ADXObject*> items_;
  std::vector<Column> columns_;  // one per item
  std::size_t rowBound_ = 0;
  std::vector<std::uint32_t> rowCommands_;  // sorted
};

// Appends text as one CSV field: quoted (with doubled quotes) when it holds a
// comma, a quote, a line break or leading or trailing blanks.
void AppendCsvField(std::string& out, const char* text, std::size_t length);
