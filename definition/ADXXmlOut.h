#pragma once
// Helpers for the WriteXml operations of the definition objects: the number
// formats of ADX files and the parts every object element shares.
//
// Thread contract: called on the saving thread only.
#include <cstdint>
#include <string>
#include <string_view>

class ADXObject;
class XmlWriter;

namespace adxxml {

std::string Hex8(std::uint32_t v);  // "0x%.8X"
std::string Hex2(std::uint32_t v);  // "0x%.2X"
std::string Hex(std::uint32_t v);   // "0x%X"
// A text escaped for the file.
std::string Escaped(std::string_view text);
// The first 14 characters of the object's ID, escaped: the form in which
// objects are named by other objects and by the header.
std::string IdRef(const ADXObject& object);

// Starts the object's element with the attributes id, idhash, title and
// (when set) baseflags. Command elements add their own attributes after it.
bool BeginObject(XmlWriter& w, const ADXObject& object, std::string_view element);
// The desc child, when the object has a description.
bool Desc(XmlWriter& w, const ADXObject& object);
// A child element holding an escaped text.
bool TextChild(XmlWriter& w, std::string_view name, std::string_view text);

}  // namespace adxxml
