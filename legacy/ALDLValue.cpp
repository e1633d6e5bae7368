#include "legacy/ALDLValue.h"

#include <cmath>
#include <limits>

#include "definition/NumberText.h"
#include "legacy/ALDLLookupTable.h"
#include "legacy/AdsMessage.h"

namespace {

// Truncates toward zero into the 32-bit range; NaN reads as 0.
int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}

// "%X" of r.
std::string HexText(uint32_t r) {
  char text[16];
  return std::string(text, AppendHex(text, text + sizeof text, r));
}

// "%i" of n.
std::string IntText(int32_t n) {
  char text[16];
  return std::string(text, AppendInt(text, text + sizeof text, n));
}

}  // namespace

uint32_t ALDLValue::EffectiveRaw(uint32_t raw) const {
  switch (sizeInBits) {
    case 1:
      return raw & 0x1u;
    case 8:
      return raw & 0xFFu;
    case 16:
      return raw & 0xFFFFu;
    case 24:
      return raw & 0xFFFFFFu;
    case 32:
      return raw;
    default:
      return 0;
  }
}

double ALDLValue::NumericValue(uint32_t raw) const {
  const uint32_t r = EffectiveRaw(raw);
  const double x = static_cast<double>(r);
  switch (operation) {
    case kAldlOpLinear:
      return offset + factor * x;
    case kAldlOpInverse:
      return r == 0 ? offset : offset + factor / x;
    case kAldlOpInteger:
      return TruncateToInt32(offset + factor * x);
    case kAldlOpPercent: {
      // An empty range has no percentage; show 0 rather than dividing by 0.
      const double span = static_cast<double>(rangeHigh) - static_cast<double>(rangeLow);
      if (span == 0.0) return 0.0;
      return (x - static_cast<double>(rangeLow)) / span * 100.0;
    }
    case kAldlOpLookup:
      // Table entries answer the raw numbers from 1 up: entry i holds the
      // value of raw i + 1, the same reading that the ADX conversion gives
      // the table (inputs i + 1). A raw 0 lies below the first entry and,
      // as in an ADX table, takes the first one.
      return lookupTable ? lookupTable->EntryValue(r == 0 ? 0 : r - 1u) : 0.0;
    case kAldlOpHexadecimal:
    case kAldlOpCharacter:
    default:
      return x;
  }
}

std::string ALDLValue::DisplayText(uint32_t raw) const {
  const uint32_t r = EffectiveRaw(raw);
  switch (operation) {
    case kAldlOpHexadecimal:
      return HexText(r);
    case kAldlOpInteger:
      return IntText(TruncateToInt32(offset + factor * static_cast<double>(r)));
    case kAldlOpCharacter: {
      // A zero byte would end the text, so it shows as "?" like a raw 0.
      const char c = static_cast<char>(r & 0xFFu);
      return c == '\0' ? std::string("?") : std::string(1, c);
    }
    default:
      return FixedText(NumericValue(raw), 2);
  }
}
