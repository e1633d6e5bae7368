// What a definition object sees of the ADX reader while it reads its own
// element: the current element's name, text and attributes. Each class reads
// its element beside the code that writes it (ADXObjectXml.cpp); the reader
// (ADXParser) creates the object from the kinds table and hands it its start
// element and then each child element in turn.
//
// Thread contract: used by one load on one thread.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class AdxXmlIn {
 public:
  // True when the current element has this name (letter case is ignored).
  virtual bool Is(std::string_view name) const = 0;
  // The current element's text (cut at the reader's buffer size).
  virtual std::string_view Text() const = 0;
  // The attribute's value; empty when it is absent.
  virtual std::string_view AttrText(std::string_view name) const = 0;
  virtual bool HasAttr(std::string_view name) const = 0;

  // Entries read into the current object's list so far (list views count
  // their entries against entrycount); 0 at the start of every object.
  int fill = 0;

 protected:
  ~AdxXmlIn() = default;
};

// A 32-bit number stored in a 16-bit field, clamped to its range.
inline std::int16_t AdxToInt16(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
}

// Copies at most 14 characters of text into a reference-by-name buffer.
inline void AdxStoreIdRef(std::array<char, 15>& to, std::string_view text) {
  to.fill('\0');
  const std::size_t n = std::min<std::size_t>(text.size(), 14);
  if (n > 0) std::memcpy(to.data(), text.data(), n);
}
