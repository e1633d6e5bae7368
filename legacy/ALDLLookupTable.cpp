#include "legacy/ALDLLookupTable.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "legacy/AdsFieldText.h"
#include "legacy/AdsMessage.h"

namespace {

// Width in bytes of the integer kept in an entry (the rest of a wider entry
// stays 0).
std::size_t IntegerWidth(uint16_t entrySize) {
  return std::min<std::size_t>(entrySize, 4);
}

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

void ALDLLookupTable::SizeStorage() {
  const uint16_t size = std::min(entrySize, kMaxEntrySize);
  storage_.assign(static_cast<std::size_t>(tableSize) * size, 0);
  given_.assign(tableSize, false);
}

bool ALDLLookupTable::EntriesHoldValues() const {
  const uint16_t size = std::min(entrySize, kMaxEntrySize);
  if (dataType == kAldlTableInteger) return size >= 1;
  if (dataType == kAldlTableFloat) return size >= 4;
  return false;
}

bool ALDLLookupTable::StoreEntry(std::size_t index, double value) {
  const std::size_t size = std::min(entrySize, kMaxEntrySize);
  if (!EntriesHoldValues() || index >= given_.size()) return false;
  const std::size_t start = index * size;
  if (start + size > storage_.size()) return false;
  uint8_t* entry = storage_.data() + start;
  if (dataType == kAldlTableFloat) {
    float f = 0.0f;
    if (std::isfinite(value)) f = static_cast<float>(std::clamp(value, -double(FLT_MAX), double(FLT_MAX)));
    std::memcpy(entry, &f, sizeof f);
    return true;
  }
  const std::size_t width = IntegerWidth(entrySize);
  int64_t number = 0;
  if (std::isfinite(value)) {
    double low = width >= 4 ? double(std::numeric_limits<int32_t>::min()) : 0.0;
    double high = width >= 4 ? double(std::numeric_limits<int32_t>::max()) : double((1u << (8 * width)) - 1);
    number = static_cast<int64_t>(std::clamp(std::trunc(value), low, high));
  }
  const uint32_t bits = static_cast<uint32_t>(number);
  for (std::size_t i = 0; i < width; ++i) entry[i] = static_cast<uint8_t>(bits >> (8 * i));
  return true;
}

double ALDLLookupTable::EntryValue(std::size_t index) const {
  const std::size_t size = std::min(entrySize, kMaxEntrySize);
  if (!EntriesHoldValues() || index >= given_.size()) return 0.0;
  const std::size_t start = index * size;
  if (start + size > storage_.size()) return 0.0;
  const uint8_t* entry = storage_.data() + start;
  if (dataType == kAldlTableFloat) {
    float f;
    std::memcpy(&f, entry, sizeof f);
    return f;
  }
  const std::size_t width = IntegerWidth(entrySize);
  uint32_t bits = 0;
  for (std::size_t i = 0; i < width; ++i) bits |= static_cast<uint32_t>(entry[i]) << (8 * i);
  if (width >= 4) return static_cast<int32_t>(bits);
  return bits;
}

void ALDLLookupTable::MarkGiven(std::size_t index) {
  if (index < given_.size()) given_[index] = true;
}

void ALDLLookupTable::ReadData(std::string_view text, int firstLine, AdsMessageLog& log) {
  SizeStorage();
  const bool holdsValues = EntriesHoldValues();
  if (!holdsValues && (dataType == kAldlTableInteger || dataType == kAldlTableFloat)) {
    log.Add(firstLine,
            FormatAds("lookup table \"%s\": entries of %u bytes cannot hold %s values; its data "
                      "is marked but not stored",
                      name.c_str(), unsigned(entrySize), dataType == kAldlTableFloat ? "float" : "integer"));
  }
  const bool isFloat = dataType == kAldlTableFloat;
  std::size_t previous = 0;  // entry 0 counts as the line before the first
  int line = firstLine;
  bool first = true;
  while (!text.empty()) {
    std::size_t newline = text.find('\n');
    std::string_view row = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    const int rowLine = first ? line : ++line;
    first = false;
    row = TrimBlanks(row);
    if (row.empty()) continue;

    const std::size_t comma = row.find(',');
    AdsNumber<int64_t> index = ParseAdsInteger(row.substr(0, comma));
    if (comma == std::string_view::npos || !index.valid) {
      log.Add(rowLine, FormatAds("lookup table \"%s\": line \"%.40s\" is not \"index, value\"; ignored",
                                 name.c_str(), std::string(row).c_str()));
      continue;
    }
    if (index.value < 0 || index.value >= static_cast<int64_t>(tableSize)) {
      log.Add(rowLine,
              FormatAds("lookup table \"%s\": entry %lld is outside the table of %u entries; ignored",
                        name.c_str(), static_cast<long long>(index.value), unsigned(tableSize)));
      continue;
    }
    const std::size_t at = static_cast<std::size_t>(index.value);
    std::string_view valueText = row.substr(comma + 1);
    if (dataType == kAldlTableInteger) {
      AdsNumber<int64_t> number = ParseAdsInteger(valueText);
      if (!number.valid)
        log.Add(rowLine,
                FormatAds("lookup table \"%s\": entry %zu has no number; stored as 0", name.c_str(), at));
      StoreEntry(at, static_cast<double>(ClampToInt32(number.value)));
    } else if (isFloat) {
      AdsNumber<double> number = ParseAdsFloat(valueText);
      if (!number.valid)
        log.Add(rowLine,
                FormatAds("lookup table \"%s\": entry %zu has no number; stored as 0", name.c_str(), at));
      StoreEntry(at, number.value);
    }
    MarkGiven(at);

    // Fill the gap since the previous line in a float table by linear
    // interpolation between the two stored values. Entries given in the
    // file (possible when the lines went backwards) keep their own values.
    if (isFloat && holdsValues && at > previous + 1) {
      const double from = EntryValue(previous);
      const double to = EntryValue(at);
      const double span = static_cast<double>(at - previous);
      for (std::size_t k = previous + 1; k < at; ++k) {
        if (!given_[k]) StoreEntry(k, from + (to - from) * static_cast<double>(k - previous) / span);
      }
    }
    previous = at;
  }
}
