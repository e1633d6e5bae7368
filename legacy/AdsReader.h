// Reading of ADS legacy definition files into an ALDLDefinition.
//
// An ADS file is text: records in braces, the first the header with its
// data commands, every later one an item; inside a record, fields of the
// form name=value; taken strictly by their order. The reader never rejects
// a file for its contents: fields that are missing keep their defaults,
// values that are too long are cut, numbers that do not fit are clamped,
// and every such repair is reported in the message log with its line.
//
// Thread contract: the functions use only their arguments; one thread at a
// time may read into a given definition.
#pragma once

#include <string>
#include <string_view>

class ALDLDefinition;
class AdsInput;
class AdsMessageLog;

// Reads the ADS file at `path` into `definition`, which is reset to its
// defaults first. Returns true when the file could be opened and was read,
// false otherwise (the definition is then left at its defaults and the log,
// when given, says why).
bool LoadAds(const std::string& path, ALDLDefinition& definition, AdsMessageLog* log = nullptr);

// Reads ADS text from any input into `definition` (reset first). Returns
// false only when the input reports a read error.
bool ReadAds(AdsInput& input, ALDLDefinition& definition, AdsMessageLog* log = nullptr);

// Convenience for text in memory.
bool ReadAdsText(std::string_view text, ALDLDefinition& definition, AdsMessageLog* log = nullptr);
