// Builders for small ADS texts in tests: one field per line, records in
// braces, as the files are laid out.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

namespace adstest {

using Fields = std::initializer_list<std::pair<const char*, std::string>>;

inline std::string Record(Fields fields) {
  std::string text = "{\n";
  for (const auto& [name, value] : fields) text += std::string("\t") + name + "\t=" + value + ";\n";
  return text + "}\n";
}

// A version 1.21 header with the given title and no data commands.
inline std::string Header(const std::string& version = "1.21") {
  return Record({{"fDefFrmtVers", version},
                 {"strDefVersion", "Version 7"},
                 {"strDefTitle", "Test Stream"},
                 {"strAuthor", "Tester"},
                 {"strEngine", "Engine"},
                 {"strYear", "1990"},
                 {"strVINCode", "V"},
                 {"strCodeMask", "MASK"},
                 {"strComments", "Comments"},
                 {"iBaud", "8192"},
                 {"dwFlags", "0x00000000"},
                 {"dwCSID", "0x0000"},
                 {"btNumDumpRequests", "0"}});
}

inline std::string Value(int id, const std::string& title, int tableId = -1, int op = 0) {
  return Record({{"dwItemType", "1"},
                 {"strItemComments", "c"},
                 {"bSeparator", "0"},
                 {"bVisible", "1"},
                 {"dwUniqueID", std::to_string(id)},
                 {"btByteNumber", "3"},
                 {"btMessageNumber", "1"},
                 {"dwItemSizeBits", "8"},
                 {"dwOperation", std::to_string(op)},
                 {"dFactor", "1.000000"},
                 {"dOffset", "0.000000"},
                 {"strItemTitle", title},
                 {"strUnitLabel", "u"},
                 {"dwAlarmHigh", "255"},
                 {"bAlarmHighENable", "0"},
                 {"dwAlarmLow", "0"},
                 {"bAlarmLowEnable", "0"},
                 {"iRangeHigh", "255"},
                 {"iRangeLow", "0"},
                 {"iLookupTableIndex", std::to_string(tableId)}});
}

inline std::string Bit(int id, const std::string& title) {
  return Record({{"dwItemType", "2"},
                 {"strItemComments", "c"},
                 {"bSeparator", "0"},
                 {"bVisible", "1"},
                 {"dwUniqueID", std::to_string(id)},
                 {"btByteNumber", "4"},
                 {"btMessageNumber", "1"},
                 {"btBitNumber", "5"},
                 {"strItemTitle", title},
                 {"bAlarmSetEnable", "0"},
                 {"bAlarmNotSetEnable", "0"},
                 {"strBitSetTitle", "On"},
                 {"strBitClearTitle", "Off"}});
}

inline std::string Table(int id, const std::string& name, int dataType, int size, int entrySize,
                         const std::string& data) {
  return Record({{"dwItemType", "5"},
                 {"strItemComments", "c"},
                 {"bSeparator", "0"},
                 {"bVisible", "1"},
                 {"dwUniqueID", std::to_string(id)},
                 {"btDataType", std::to_string(dataType)},
                 {"wTableSize", std::to_string(size)},
                 {"wIndexSize", std::to_string(entrySize)},
                 {"strTableName", name},
                 {"dwReserved", "0"},
                 {"dwReserved", "0"},
                 {"pbtData", data}});
}

}  // namespace adstest
