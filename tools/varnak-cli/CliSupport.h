#pragma once
// Helpers shared by the varnak-cli sub-commands.
//
// Thread contract: varnak-cli runs on one thread; these are plain functions.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ADXDefinition;
class ADXObject;
struct AdxLoadReport;

// Loads the definition; on failure writes "FILE:LINE:COLUMN: message" (or
// "FILE: message" when the place is unknown) to err and returns false.
bool LoadDefinitionForCli(ADXDefinition& def, const std::string& path, std::ostream& err,
                          AdxLoadReport* report = nullptr);

// Definition texts are bytes: UTF-8 when they are valid UTF-8, else Latin-1.
// Terminals and CSV readers get UTF-8 either way.
std::string Latin1ToUtf8(std::string_view text);

// A CSV field, quoted when it holds a comma, a double quote or a line break
// (with inner quotes doubled).
std::string CsvField(std::string_view text);

// Reads hexadecimal bytes: tokens separated by white space, each an even
// number of hex digits with an optional 0x prefix ("F4 92 01", "F49201",
// "0xF4 0x92"). Returns nothing for any other text.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);

// The ID of an object for messages (8-bit, as stored), or "(no ID)".
std::string IdText(const ADXObject& object);
// The short type name of an object ("value", "send", ...).
const char* TypeName(const ADXObject& object);
