#pragma once
// A sorted table of breakpoints that maps a number to another number or to a
// text, by interpolation or by picking the closest, previous or next entry.
//
// Thread contract: built on one thread; read-only (and then safe to read from
// any number of threads) while values or histograms use it. Lookups allocate
// nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "definition/ADXObject.h"

constexpr std::int32_t kLookupHex = 0;
constexpr std::int32_t kLookupInteger = 1;
constexpr std::int32_t kLookupFloat = 3;
constexpr std::int32_t kLookupText = 5;  // output only

constexpr std::int32_t kLookupInterpolate = 0;
constexpr std::int32_t kLookupClosest = 1;
constexpr std::int32_t kLookupPrevious = 2;
constexpr std::int32_t kLookupNext = 3;

struct LookupEntry {
  float input = 0.0f;
  float output = 0.0f;  // numeric tables
  std::string text;     // text tables; its size is the output text length
};

class ADXLookupTable : public ADXObject {
 public:
  ADXLookupTable();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  // Inserts by input, replacing the output of an entry with the same input.
  // Returns the entry's index. A number added to a text table is stored as
  // its "%f" text; a text added to a numeric table is read as a number.
  int AddEntry(float input, float output);
  // Returns -1 for a null text.
  int AddEntry(float input, const char* text, std::size_t length);
  int RemoveInput(float input);
  void ClearEntries();
  int EntryCount() const { return static_cast<int>(entries.size()); }

  int GetTableEntry(int index, float* input, float* output) const;
  int GetTableEntryText(int index, float* input, char* buffer, std::size_t size) const;

  void SetOutputType(std::int32_t type);
  void SetLookupMode(std::int32_t mode);

  // Numeric table: writes the float result into output (size >= 4) and
  // returns 4. Text table: copies the selected text into output (cut to size)
  // and returns the text's length. No entries or no output place: returns 0.
  int Lookup(float x, void* output, std::size_t size) const;
  float LookupNumber(float x) const;
  int LookupText(float x, char* buffer, std::size_t size) const;
  // Looks x up and writes the result as text (the form used by values).
  // Numeric tables set *number to the looked-up number.
  int LookupFormat(float x, char* buffer, std::size_t size, double* number, int digits) const;

  std::uint32_t flags = 0;
  std::int32_t inputtype = kLookupFloat;
  std::int32_t outputtype = kLookupFloat;
  std::int32_t lookupmode = kLookupInterpolate;
  std::vector<LookupEntry> entries;

 private:
  // Selects the entry for x. Returns false when the mode selects nothing;
  // otherwise sets lo and hi (equal unless interpolating between them).
  bool Select(float x, std::size_t& lo, std::size_t& hi) const;
  int InsertAt(float input, std::size_t& index);
};
