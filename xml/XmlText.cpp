#include "xml/XmlText.h"

namespace {

char16_t FoldCase(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

char Narrow(char16_t c) {
  return c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : kXmlUnmappableChar;
}

}  // namespace

std::string SaxToNarrow(const char16_t* text, int32_t length) {
  std::string narrow;
  if (text == nullptr || length <= 0) return narrow;
  narrow.resize(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i) narrow[static_cast<size_t>(i)] = Narrow(text[i]);
  return narrow;
}

size_t SaxToNarrow(const char16_t* text, int32_t length, char* destination, size_t destinationSize) {
  if (destination == nullptr || destinationSize == 0) return 0;
  size_t copied = 0;
  if (text != nullptr && length > 0) {
    for (; copied < static_cast<size_t>(length) && copied + 1 < destinationSize; ++copied) {
      destination[copied] = Narrow(text[copied]);
    }
  }
  destination[copied] = '\0';
  return copied;
}

bool SaxEqualsNoCase(const char16_t* name, int32_t length, std::string_view ascii) {
  if (length < 0 || static_cast<size_t>(length) != ascii.size()) return false;
  for (size_t i = 0; i < ascii.size(); ++i) {
    if (FoldCase(name[i]) != FoldCase(static_cast<unsigned char>(ascii[i]))) return false;
  }
  return true;
}

const SAXAttribute* SaxFindAttribute(const SAXAttribute* attributes, int32_t count, std::string_view name) {
  for (int32_t i = 0; attributes != nullptr && i < count; ++i) {
    if (SaxEqualsNoCase(attributes[i].name, attributes[i].nameLength, name)) return &attributes[i];
  }
  return nullptr;
}
