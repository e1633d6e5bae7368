// Helpers for callbacks that turn the parser's 16-bit strings into the
// program's 8-bit texts and look up names without regard to case.
//
// Thread contract: free functions without shared state; safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/ISAXCallback.h"

// The character that stands in for characters above 255, which 8-bit texts
// cannot hold.
inline constexpr char kXmlUnmappableChar = '?';

// The text as 8-bit characters: 0 to 255 by value, anything above as
// kXmlUnmappableChar (rather than a wrong character from its low byte).
std::string SaxToNarrow(const char16_t* text, int32_t length);

// Copies at most destinationSize - 1 characters of the narrowed text and
// NUL-terminates; returns the number of characters copied. Nothing is written
// when destinationSize is 0.
size_t SaxToNarrow(const char16_t* text, int32_t length, char* destination, size_t destinationSize);

// Whether the name equals the ASCII text, with A-Z and a-z matched without
// regard to case.
bool SaxEqualsNoCase(const char16_t* name, int32_t length, std::string_view ascii);

// The first attribute whose name equals `name` without regard to case, or null.
const SAXAttribute* SaxFindAttribute(const SAXAttribute* attributes, int32_t count, std::string_view name);
