#include "definition/ADXLookupTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "definition/ADXText.h"
#include "definition/NumberText.h"

ADXLookupTable::ADXLookupTable() {
  objectType = ADX_TYPE_LOOKUPTABLE;
}

// Finds the slot for input: index of an equal entry (returns 1) or the place
// to insert a new one (returns 0). Entries are sorted by input, so this is the
// first entry whose input is not less than the new one; loaders add entries
// in ascending order, which the check of the last entry makes cheap.
int ADXLookupTable::InsertAt(float input, std::size_t& index) {
  if (entries.empty() || entries.back().input < input) {
    index = entries.size();
    return 0;
  }
  auto it = std::lower_bound(entries.begin(), entries.end(), input,
                             [](const LookupEntry& e, float v) { return e.input < v; });
  index = static_cast<std::size_t>(it - entries.begin());
  return index < entries.size() && entries[index].input == input ? 1 : 0;
}

int ADXLookupTable::AddEntry(float input, float output) {
  if (outputtype == kLookupText) {
    char text[64];
    const std::size_t n = FormatFixed(text, sizeof(text), static_cast<double>(output), 6);
    return AddEntry(input, text, n);
  }
  std::size_t index = 0;
  if (InsertAt(input, index)) {
    entries[index].output = output;
    entries[index].text.clear();
  } else {
    LookupEntry e;
    e.input = input;
    e.output = output;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index), std::move(e));
  }
  return static_cast<int>(index);
}

int ADXLookupTable::AddEntry(float input, const char* text, std::size_t length) {
  if (text == nullptr) return -1;
  length = strnlen(text, length);
  if (outputtype != kLookupText) {
    const std::size_t n = length < 63 ? length : 63;
    return AddEntry(input, ReadLeadingFloat(std::string_view(text, n)));
  }
  std::size_t index = 0;
  if (!InsertAt(input, index)) {
    LookupEntry e;
    e.input = input;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index), std::move(e));
  }
  entries[index].output = 0.0f;
  AssignText(entries[index].text, text, length);
  return static_cast<int>(index);
}

int ADXLookupTable::RemoveInput(float input) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].input == input) {
      entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
      return 1;
    }
  }
  return 0;
}

void ADXLookupTable::ClearEntries() {
  entries.clear();
}

int ADXLookupTable::GetTableEntry(int index, float* input, float* output) const {
  if (index < 0 || index >= EntryCount()) return 0;
  const LookupEntry& e = entries[static_cast<std::size_t>(index)];
  if (input) *input = e.input;
  if (output) *output = e.output;
  return 1;
}

int ADXLookupTable::GetTableEntryText(int index, float* input, char* buffer, std::size_t size) const {
  if (index < 0 || index >= EntryCount()) return 0;
  const LookupEntry& e = entries[static_cast<std::size_t>(index)];
  if (input) *input = e.input;
  CopyTextOut(e.text, buffer, size);
  return 1;
}

void ADXLookupTable::SetOutputType(std::int32_t type) {
  if (type == outputtype) return;
  if (type == kLookupText) {
    if (lookupmode == kLookupInterpolate) lookupmode = kLookupClosest;
    for (LookupEntry& e : entries) {
      char text[20];  // "%f" cut to 19 characters
      const std::size_t n = FormatFixed(text, sizeof(text), static_cast<double>(e.output), 6);
      AssignText(e.text, text, n);
      e.output = 0.0f;
    }
  } else if (outputtype == kLookupText) {
    for (LookupEntry& e : entries) {
      e.text.clear();
      e.output = 0.0f;
    }
  }
  outputtype = type;
}

void ADXLookupTable::SetLookupMode(std::int32_t mode) {
  if (outputtype == kLookupText && mode == kLookupInterpolate) mode = kLookupClosest;
  lookupmode = mode;
}

bool ADXLookupTable::Select(float x, std::size_t& lo, std::size_t& hi) const {
  const std::size_t last = entries.size() - 1;
  if (std::isnan(x)) {
    // A coordinate that is not a number has no place in the table: clamp to
    // the first entry rather than index outside it.
    lo = hi = 0;
    return true;
  }
  lo = 0;
  hi = last;
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    if (entries[mid].input < x) {
      lo = mid + 1;
    } else if (entries[mid].input > x) {
      hi = mid;
    } else {
      lo = hi = mid;
      break;
    }
  }
  if (entries[hi].input == x) {
    lo = hi;
    return true;
  }
  if (x > entries[last].input) {
    lo = hi = last;
  } else if (x < entries[0].input) {
    lo = hi = 0;
  } else if (hi > 0) {
    lo = hi - 1;  // x lies strictly between input[hi - 1] and input[hi]
  } else {
    lo = hi;  // only reachable with unordered inputs; stay inside the table
  }
  if (lo == hi) return true;
  switch (lookupmode) {
    case kLookupInterpolate:
      if (outputtype == kLookupText) hi = lo;
      return true;
    case kLookupClosest:
      if (std::fabs(x - entries[hi].input) <= std::fabs(x - entries[lo].input)) {
        lo = hi;
      } else {
        hi = lo;
      }
      return true;
    case kLookupPrevious:
      hi = lo;
      return true;
    case kLookupNext:
      lo = hi;
      return true;
    default:
      return false;
  }
}

int ADXLookupTable::Lookup(float x, void* output, std::size_t size) const {
  if (entries.empty() || output == nullptr || size == 0) return 0;
  std::size_t lo = 0, hi = 0;
  const bool selected = Select(x, lo, hi);
  if (outputtype == kLookupText) {
    char* buffer = static_cast<char*>(output);
    if (!selected) {
      buffer[0] = '\0';
      return 0;
    }
    CopyTextOut(entries[lo].text, buffer, size);
    return static_cast<int>(entries[lo].text.size());
  }
  if (size < sizeof(float)) return 0;
  float result = 0.0f;
  if (selected) {
    if (lo == hi) {
      result = entries[lo].output;
    } else {
      const LookupEntry& a = entries[lo];
      const LookupEntry& b = entries[hi];
      const float t = (x - a.input) / (b.input - a.input);
      result = a.output + (b.output - a.output) * t;
    }
  }
  std::memcpy(output, &result, sizeof(result));
  return static_cast<int>(sizeof(float));
}

float ADXLookupTable::LookupNumber(float x) const {
  if (outputtype == kLookupText) return 0.0f;
  float result = 0.0f;
  Lookup(x, &result, sizeof(result));
  return result;
}

int ADXLookupTable::LookupText(float x, char* buffer, std::size_t size) const {
  if (outputtype != kLookupText) return 0;
  return Lookup(x, buffer, size);
}

int ADXLookupTable::LookupFormat(float x, char* buffer, std::size_t size, double* number, int digits) const {
  if (outputtype == kLookupText) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    return Lookup(x, buffer, size);
  }
  const float result = LookupNumber(x);
  if (number) *number = result;
  if (buffer == nullptr || size == 0) return 0;
  const double n = result;
  switch (outputtype) {
    case kLookupHex: {
      char text[16] = "0x";
      char* end = AppendHex(text + 2, text + sizeof(text), TruncToUInt32Bits(n), 2);
      const std::size_t length = static_cast<std::size_t>(end - text);
      const std::size_t shown = length < size ? length : size - 1;
      std::memcpy(buffer, text, shown);
      buffer[shown] = '\0';
      return static_cast<int>(shown);
    }
    case kLookupInteger:
      return static_cast<int>(FormatInt(buffer, size, TruncToInt32(n)));
    case kLookupFloat:
      return static_cast<int>(FormatFixed(buffer, size, n, digits));
    default:
      buffer[0] = '\0';
      return 0;
  }
}
