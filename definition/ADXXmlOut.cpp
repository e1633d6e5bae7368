#include "definition/ADXXmlOut.h"

#include <cstdio>
#include <cstring>

#include "definition/ADXObject.h"
#include "definition/NumberText.h"
#include "xml/XmlWriter.h"

namespace adxxml {

namespace {
// "0x" and at least minDigits upper-case hexadecimal digits.
std::string PrefixedHex(std::uint32_t v, int minDigits) {
  char text[16] = "0x";
  char* end = AppendHex(text + 2, text + sizeof(text), v, minDigits);
  return std::string(text, end);
}
}  // namespace

std::string Hex8(std::uint32_t v) {
  return PrefixedHex(v, 8);
}
std::string Hex2(std::uint32_t v) {
  return PrefixedHex(v, 2);
}
std::string Hex(std::uint32_t v) {
  return PrefixedHex(v, 1);
}

std::string Escaped(std::string_view text) {
  return XmlWriter::EscapeText(text);
}

std::string IdRef(const ADXObject& object) {
  char id[kAdxIdSize] = {};
  object.GetId(id, sizeof(id));
  return Escaped(id);
}

bool BeginObject(XmlWriter& w, const ADXObject& object, std::string_view element) {
  bool ok = w.BeginElement(element);
  ok = w.Attribute("id", Escaped(std::string_view(object.id, strnlen(object.id, kAdxIdMaxLength)))) && ok;
  ok = w.Attribute("idhash", Hex8(object.idhash)) && ok;
  ok = w.Attribute("title", Escaped(object.title)) && ok;
  if (object.baseflags != 0) ok = w.Attribute("baseflags", Hex8(object.baseflags)) && ok;
  return ok;
}

bool Desc(XmlWriter& w, const ADXObject& object) {
  return object.desc.empty() || TextChild(w, "desc", object.desc);
}

bool TextChild(XmlWriter& w, std::string_view name, std::string_view text) {
  return w.ElementText(name, Escaped(text));
}

}  // namespace adxxml
