#include "legacy/AdsReader.h"

#include <array>
#include <cfloat>

#include "legacy/ALDLDefinition.h"
#include "legacy/AdsFieldText.h"
#include "legacy/AdsInput.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsRecordScanner.h"

namespace {

// Longest value of an ordinary field, and of a lookup table's data field.
constexpr std::size_t kValueCapacity = 255;
constexpr std::size_t kTableDataCapacity = 10239;

// Field counts and names, in file order. The names appear in messages only:
// the reader takes fields by position.
constexpr std::size_t kHeaderFieldCount = 13;
constexpr std::array<const char*, kHeaderFieldCount> kHeaderFields = {
    "fDefFrmtVers", "strDefVersion", "strDefTitle",      "strAuthor",   "strEngine",
    "strYear",      "strVINCode",    "strCodeMask",      "strComments", "iBaud",
    "dwFlags",      "dwCSID",        "btNumDumpRequests"};
constexpr std::size_t kCommandFieldCount = 9;
constexpr std::array<const char*, kCommandFieldCount> kCommandFields = {
    "strCommandName",   "rgbtCommand",        "iTotalBytesInCommand",
    "bChecksumCommand", "iNumBytesInPayload", "iNumBytesBeforePayload",
    "bMaster",          "bMonitor",           "iChainTo"};
constexpr std::size_t kCommonFieldCount = 5;
constexpr std::array<const char*, kCommonFieldCount> kCommonFields = {"dwItemType", "strItemComments",
                                                                      "bSeparator", "bVisible", "dwUniqueID"};
constexpr std::array<const char*, 15> kValueFields = {
    "btByteNumber", "btMessageNumber", "dwItemSizeBits", "dwOperation", "dFactor",
    "dOffset",      "strItemTitle",    "strUnitLabel",   "dwAlarmHigh", "bAlarmHighENable",
    "dwAlarmLow",   "bAlarmLowEnable", "iRangeHigh",     "iRangeLow",   "iLookupTableIndex"};
constexpr std::array<const char*, 8> kBitFields = {"btByteNumber",   "btMessageNumber", "btBitNumber",
                                                   "strItemTitle",   "bAlarmSetEnable", "bAlarmNotSetEnable",
                                                   "strBitSetTitle", "strBitClearTitle"};
constexpr std::array<const char*, 7> kTableFields = {"btDataType", "wTableSize", "wIndexSize", "strTableName",
                                                     "dwReserved", "dwReserved", "pbtData"};
constexpr std::array<const char*, 4> kDashFields = {"btNumGauges", "strIDsDisplayed", "btNumMonitors",
                                                    "strMonsDisplayed"};
// Position of the lookup table's data among all fields of its record.
constexpr std::size_t kTableDataField = kCommonFieldCount + 6;

// Format versions from which fields are read.
constexpr float kFirstFieldsVersion = 1.0f;
constexpr float kBaudVersion = 1.1f;
constexpr float kFlagsVersion = 1.2f;

// Applies field values to the definition's fields, reporting every repair.
class FieldWriter {
 public:
  explicit FieldWriter(AdsMessageLog& log) : log_(log) {}

  void Text(const AdsField& field, const char* name, std::string& target, std::size_t capacity) {
    if (AssignCapped(target, field.value, capacity) || field.cut) {
      log_.Add(field.line,
               FormatAds("%s: text of %zu characters cut to %zu", name, field.fullLength, capacity));
    }
  }

  AdsNumber<int64_t> Integer(const AdsField& field, const char* name) {
    AdsNumber<int64_t> number = ParseAdsInteger(field.value);
    if (!number.valid) {
      log_.Add(field.line, FormatAds("%s: \"%.40s\" is not a number; read as 0", name, field.value.c_str()));
    }
    return number;
  }

  template <typename T, typename Clamp>
  void Number(const AdsField& field, const char* name, T& target, Clamp clamp) {
    AdsNumber<int64_t> number = Integer(field, name);
    bool clamped = false;
    target = clamp(number.value, &clamped);
    if (clamped) {
      log_.Add(field.line, FormatAds("%s: %lld is out of range; stored as %lld", name,
                                     static_cast<long long>(number.value), static_cast<long long>(target)));
    }
  }
  void Int32(const AdsField& f, const char* name, int32_t& target) { Number(f, name, target, ClampToInt32); }
  void Uint32(const AdsField& f, const char* name, uint32_t& target) {
    Number(f, name, target, ClampToUint32);
  }
  void Uint16(const AdsField& f, const char* name, uint16_t& target) {
    Number(f, name, target, ClampToUint16);
  }
  void Uint8(const AdsField& f, const char* name, uint8_t& target) { Number(f, name, target, ClampToUint8); }

  void Double(const AdsField& field, const char* name, double& target) {
    AdsNumber<double> number = ParseAdsFloat(field.value);
    if (!number.valid) {
      log_.Add(field.line, FormatAds("%s: \"%.40s\" is not a number; read as 0", name, field.value.c_str()));
    }
    target = number.value;
  }

  void Float(const AdsField& field, const char* name, float& target) {
    double value = 0.0;
    Double(field, name, value);
    if (value > FLT_MAX || value < -FLT_MAX) {
      log_.Add(field.line, FormatAds("%s: %g is out of range; read as 0", name, value));
      value = 0.0;
    }
    target = static_cast<float>(value);
  }

  void Hex(const AdsField& field, uint32_t& target) { target = ParseHexText(field.value); }

 private:
  AdsMessageLog& log_;
};

class AdsReaderImpl {
 public:
  AdsReaderImpl(AdsInput& input, ALDLDefinition& definition, AdsMessageLog& log)
      : scanner_(input), definition_(definition), log_(log), write_(log) {}

  void Read() {
    if (!scanner_.NextRecord()) {
      log_.Add(0, "the file holds no record; nothing was read");
      return;
    }
    ReadHeaderRecord();
    while (scanner_.NextRecord()) ReadItemRecord();
    definition_.FinishReading(log_);
  }

 private:
  bool FieldsApply() const { return definition_.formatVersion >= kFirstFieldsVersion; }

  // Reads the next field of the current record; false at the record's end.
  bool Next(std::size_t capacity, AdsField& field) {
    AdsRecordScanner::Result result = scanner_.NextField(capacity, field);
    if (result == AdsRecordScanner::Result::EndOfInput) {
      log_.Add(scanner_.Line(), "the file ends inside a record");
      return false;
    }
    if (result == AdsRecordScanner::Result::Field && field.unterminated) {
      log_.Add(field.line, "the file ends inside a field value");
    }
    return result == AdsRecordScanner::Result::Field;
  }

  void ReadHeaderRecord() {
    ALDLHeader& header = definition_.header;
    AdsField field;
    std::size_t index = 0;
    std::size_t extraFields = 0;
    int extraLine = 0;
    while (Next(kValueCapacity, field)) {
      if (index == 0) {
        // The format version is always read: it decides which fields follow.
        write_.Float(field, kHeaderFields[0], definition_.formatVersion);
        header.formatVersion = definition_.formatVersion;
        if (!FieldsApply()) {
          log_.Add(field.line,
                   FormatAds("format version %.2f is older than 1.0; the rest of the file is not read",
                             double(definition_.formatVersion)));
        }
      } else if (!FieldsApply()) {
        // Fields of an older format keep their defaults.
      } else if (index < kHeaderFieldCount) {
        ApplyHeaderField(index, field);
      } else {
        const std::size_t k = index - kHeaderFieldCount;
        const std::size_t command = k / kCommandFieldCount;
        if (command < header.numDataCommands) {
          ApplyCommandField(definition_.commands[command], command, k % kCommandFieldCount, field);
        } else if (extraFields++ == 0) {
          extraLine = field.line;
        }
      }
      ++index;
    }
    if (index == 0) {
      log_.Add(scanner_.RecordLine(), "the header gives no format version; the rest of the file is not read");
    }
    if (extraFields > 0) {
      log_.Add(extraLine, FormatAds("header: %zu fields beyond the %u data commands ignored", extraFields,
                                    unsigned(header.numDataCommands)));
    }
    const std::size_t commandFields = index > kHeaderFieldCount ? index - kHeaderFieldCount : 0;
    if (FieldsApply() && commandFields < header.numDataCommands * kCommandFieldCount) {
      log_.Add(scanner_.Line(),
               FormatAds("header: %u data commands announced but only %zu complete",
                         unsigned(header.numDataCommands), commandFields / kCommandFieldCount));
    }
  }

  void ApplyHeaderField(std::size_t index, const AdsField& field) {
    ALDLHeader& h = definition_.header;
    const char* name = kHeaderFields[index];
    switch (index) {
      case 1:
        write_.Text(field, name, h.definitionVersion, ALDLHeader::kDefinitionVersionCapacity);
        break;
      case 2:
        write_.Text(field, name, h.title, ALDLHeader::kTitleCapacity);
        break;
      case 3:
        write_.Text(field, name, h.author, ALDLHeader::kAuthorCapacity);
        break;
      case 4:
        write_.Text(field, name, h.engine, ALDLHeader::kEngineCapacity);
        break;
      case 5:
        write_.Text(field, name, h.year, ALDLHeader::kYearCapacity);
        break;
      case 6:
        write_.Text(field, name, h.vinCode, ALDLHeader::kVinCodeCapacity);
        break;
      case 7:
        write_.Text(field, name, h.codeMask, ALDLHeader::kCodeMaskCapacity);
        break;
      case 8:
        write_.Text(field, name, h.comments, ALDLHeader::kCommentsCapacity);
        break;
      case 9:
        if (definition_.formatVersion >= kBaudVersion) write_.Int32(field, name, h.baud);
        break;
      case 10:
        if (definition_.formatVersion >= kFlagsVersion) write_.Hex(field, h.flags);
        break;
      case 11:
        write_.Hex(field, h.checksumId);
        break;
      case 12: {
        write_.Uint8(field, name, h.numDataCommands);
        // The definition has room for ten data commands.
        if (h.numDataCommands > ALDLDefinition::kMaxDataCommands) {
          log_.Add(field.line, FormatAds("%s: %u data commands given; only %zu are read", name,
                                         unsigned(h.numDataCommands), ALDLDefinition::kMaxDataCommands));
          h.numDataCommands = static_cast<uint8_t>(ALDLDefinition::kMaxDataCommands);
        }
        break;
      }
      default:
        break;
    }
  }

  void ApplyCommandField(ALDLCommand& c, std::size_t number, std::size_t index, const AdsField& field) {
    const char* name = kCommandFields[index];
    switch (index) {
      case 0:
        write_.Text(field, name, c.name, ALDLCommand::kNameCapacity);
        break;
      case 1: {
        ALDLCommand::ByteListResult result = c.ReadByteList(field.value);
        if (result.tokensCut > 0) {
          log_.Add(field.line, FormatAds("command %zu: %zu byte tokens longer than %zu characters were cut",
                                         number, result.tokensCut, ALDLCommand::kMaxByteTokenLength));
        }
        if (result.bytesIgnored > 0) {
          log_.Add(field.line, FormatAds("command %zu: %zu bytes beyond the twelfth ignored", number,
                                         result.bytesIgnored));
        }
        break;
      }
      case 2:
        write_.Int32(field, name, c.totalBytes);
        break;
      case 3:
        write_.Int32(field, name, c.checksum);
        if (!c.ApplyChecksum()) {
          log_.Add(field.line,
                   FormatAds("command %zu: checksum position %d lies outside the %zu command bytes; "
                             "no checksum written",
                             number, c.totalBytes, ALDLCommand::kMaxCommandBytes));
        }
        break;
      case 4:
        write_.Int32(field, name, c.payloadBytes);
        break;
      case 5:
        write_.Int32(field, name, c.bytesBeforePayload);
        break;
      case 6:
        write_.Int32(field, name, c.master);
        break;
      case 7:
        write_.Int32(field, name, c.monitor);
        break;
      case 8:
        write_.Int32(field, name, c.chainTo);
        break;
      default:
        break;
    }
  }

  void ReadItemRecord() {
    const int recordLine = scanner_.RecordLine();
    AdsField field;
    if (!Next(kValueCapacity, field)) return;
    if (!FieldsApply()) {
      scanner_.SkipRecord();
      return;
    }
    uint32_t type = 0;
    write_.Uint32(field, kCommonFields[0], type);
    switch (type) {
      case kAldlTypeValue: {
        auto value = std::make_unique<ALDLValue>();
        ReadItemFields(*value, recordLine,
                       [&](std::size_t i, const AdsField& f) { ApplyValueField(*value, i, f); });
        definition_.AddValue(std::move(value));
        break;
      }
      case kAldlTypeBit: {
        auto bit = std::make_unique<ALDLBit>();
        ReadItemFields(*bit, recordLine,
                       [&](std::size_t i, const AdsField& f) { ApplyBitField(*bit, i, f); });
        definition_.AddBit(std::move(bit));
        break;
      }
      case kAldlTypeLookupTable: {
        auto table = std::make_unique<ALDLLookupTable>();
        ReadItemFields(*table, recordLine,
                       [&](std::size_t i, const AdsField& f) { ApplyTableField(*table, i, f); });
        definition_.AddTable(std::move(table));
        break;
      }
      case kAldlTypeDash: {
        if (dashRecords_++ > 0) log_.Add(recordLine, "a further dash record replaces the one before it");
        definition_.dash = ALDLDash();
        definition_.dashGaugeIds.clear();
        definition_.dashMonitorIds.clear();
        ReadItemFields(definition_.dash, recordLine,
                       [&](std::size_t i, const AdsField& f) { ApplyDashField(i, f); });
        break;
      }
      default:
        log_.Add(field.line, FormatAds("record of unknown item type %u skipped", type));
        scanner_.SkipRecord();
        break;
    }
  }

  // Reads the fields after the type into an item: the common ones here, the
  // rest through `apply` with their index counted after the common fields.
  template <typename Apply>
  void ReadItemFields(ALDLItem& item, int recordLine, Apply apply) {
    item.fileLine = recordLine;
    AdsField field;
    std::size_t index = 1;
    std::size_t extraFields = 0;
    int extraLine = 0;
    for (;;) {
      const bool tableData = item.type == kAldlTypeLookupTable && index == kTableDataField;
      if (!Next(tableData ? kTableDataCapacity : kValueCapacity, field)) break;
      if (index < kCommonFieldCount) {
        ApplyCommonField(item, index, field);
      } else if (!ApplyTypedField(item, index - kCommonFieldCount, field, apply) && extraFields++ == 0) {
        extraLine = field.line;
      }
      ++index;
    }
    if (extraFields > 0)
      log_.Add(extraLine, FormatAds("%zu fields beyond the item's last one ignored", extraFields));
  }

  template <typename Apply>
  bool ApplyTypedField(const ALDLItem& item, std::size_t index, const AdsField& field, Apply apply) {
    std::size_t count = 0;
    switch (item.type) {
      case kAldlTypeValue:
        count = kValueFields.size();
        break;
      case kAldlTypeBit:
        count = kBitFields.size();
        break;
      case kAldlTypeLookupTable:
        count = kTableFields.size();
        break;
      case kAldlTypeDash:
        count = kDashFields.size();
        break;
      default:
        break;
    }
    if (index >= count) return false;
    apply(index, field);
    return true;
  }

  void ApplyCommonField(ALDLItem& item, std::size_t index, const AdsField& field) {
    const char* name = kCommonFields[index];
    switch (index) {
      case 1:
        write_.Text(field, name, item.comments, ALDLItem::kCommentsCapacity);
        break;
      case 2:
        write_.Int32(field, name, item.separator);
        break;
      case 3:
        write_.Int32(field, name, item.visible);
        break;
      case 4:
        write_.Uint32(field, name, item.uniqueId);
        break;
      default:
        break;
    }
  }

  void ApplyValueField(ALDLValue& v, std::size_t index, const AdsField& field) {
    const char* name = kValueFields[index];
    switch (index) {
      case 0:
        write_.Uint8(field, name, v.byteNumber);
        break;
      case 1:
        write_.Uint8(field, name, v.messageNumber);
        break;
      case 2:
        write_.Uint32(field, name, v.sizeInBits);
        if (v.EffectiveRaw(1) == 0) {
          log_.Add(field.line,
                   FormatAds("%s: values of %u bits are not supported; their raw number reads as 0", name,
                             v.sizeInBits));
        }
        break;
      case 3:
        write_.Uint32(field, name, v.operation);
        if (v.operation > kAldlOpLookup) {
          log_.Add(field.line, FormatAds("%s: operation %u is unknown; the raw number is shown unconverted",
                                         name, v.operation));
        }
        break;
      case 4:
        write_.Double(field, name, v.factor);
        break;
      case 5:
        write_.Double(field, name, v.offset);
        break;
      case 6:
        write_.Text(field, name, v.title, ALDLValue::kTitleCapacity);
        break;
      case 7:
        write_.Text(field, name, v.units, ALDLValue::kUnitsCapacity);
        break;
      case 8:
        write_.Uint32(field, name, v.alarmHigh);
        break;
      case 9:
        write_.Int32(field, name, v.alarmHighEnabled);
        break;
      case 10:
        write_.Uint32(field, name, v.alarmLow);
        break;
      case 11:
        write_.Int32(field, name, v.alarmLowEnabled);
        break;
      case 12:
        write_.Int32(field, name, v.rangeHigh);
        break;
      case 13:
        write_.Int32(field, name, v.rangeLow);
        break;
      case 14:
        write_.Int32(field, name, v.lookupTableId);
        break;
      default:
        break;
    }
  }

  void ApplyBitField(ALDLBit& b, std::size_t index, const AdsField& field) {
    const char* name = kBitFields[index];
    switch (index) {
      case 0:
        write_.Uint8(field, name, b.byteNumber);
        break;
      case 1:
        write_.Uint8(field, name, b.messageNumber);
        break;
      case 2:
        write_.Uint8(field, name, b.bitNumber);
        break;
      case 3:
        write_.Text(field, name, b.title, ALDLBit::kTitleCapacity);
        break;
      case 4:
        write_.Int32(field, name, b.alarmWhenSet);
        break;
      case 5:
        write_.Int32(field, name, b.alarmWhenClear);
        break;
      case 6:
        write_.Text(field, name, b.setText, ALDLBit::kStateTextCapacity);
        break;
      case 7:
        write_.Text(field, name, b.clearText, ALDLBit::kStateTextCapacity);
        break;
      default:
        break;
    }
  }

  void ApplyTableField(ALDLLookupTable& t, std::size_t index, const AdsField& field) {
    const char* name = kTableFields[index];
    switch (index) {
      case 0:
        write_.Uint8(field, name, t.dataType);
        break;
      case 1:
        write_.Uint16(field, name, t.tableSize);
        break;
      case 2:
        write_.Uint16(field, name, t.entrySize);
        if (t.entrySize > ALDLLookupTable::kMaxEntrySize) {
          log_.Add(field.line, FormatAds("%s: entries of %u bytes are capped at %u bytes", name,
                                         unsigned(t.entrySize), unsigned(ALDLLookupTable::kMaxEntrySize)));
          t.entrySize = ALDLLookupTable::kMaxEntrySize;
        }
        break;
      case 3:
        write_.Text(field, name, t.name, ALDLLookupTable::kNameCapacity);
        break;
      case 4:
      case 5:
        break;  // reserved
      case 6:
        if (field.cut) {
          log_.Add(field.line, FormatAds("%s: table data of %zu characters cut to %zu", name,
                                         field.fullLength, kTableDataCapacity));
        }
        t.ReadData(field.value + "\n", field.line, log_);
        break;
      default:
        break;
    }
  }

  void ApplyDashField(std::size_t index, const AdsField& field) {
    ALDLDash& d = definition_.dash;
    const char* name = kDashFields[index];
    switch (index) {
      case 0:
        write_.Uint8(field, name, d.numGauges);
        break;
      case 1:
        write_.Text(field, name, definition_.dashGaugeIds, ALDLDefinition::kDashIdsCapacity);
        break;
      case 2:
        write_.Uint8(field, name, d.numMonitors);
        break;
      case 3:
        write_.Text(field, name, definition_.dashMonitorIds, ALDLDefinition::kDashIdsCapacity);
        break;
      default:
        break;
    }
  }

  AdsRecordScanner scanner_;
  ALDLDefinition& definition_;
  AdsMessageLog& log_;
  FieldWriter write_;
  int dashRecords_ = 0;
};

}  // namespace

bool ReadAds(AdsInput& input, ALDLDefinition& definition, AdsMessageLog* log) {
  AdsMessageLog scratch;
  AdsMessageLog& messages = log ? *log : scratch;
  definition.Reset();
  // The format version counts as not given until the header gives it.
  definition.formatVersion = 0.0f;
  definition.header.formatVersion = 0.0f;
  AdsReaderImpl(input, definition, messages).Read();
  return !input.Failed();
}

bool ReadAdsText(std::string_view text, ALDLDefinition& definition, AdsMessageLog* log) {
  AdsTextInput input(text);
  return ReadAds(input, definition, log);
}

bool LoadAds(const std::string& path, ALDLDefinition& definition, AdsMessageLog* log) {
  definition.Reset();
  AdsFileInput input(path);
  if (!input.IsOpen()) {
    if (log) log->Add(0, FormatAds("cannot open \"%s\": %s", path.c_str(), input.OpenError().c_str()));
    return false;
  }
  if (!ReadAds(input, definition, log)) {
    if (log) log->Add(0, FormatAds("cannot read \"%s\": %s", path.c_str(), input.ReadError().c_str()));
    // Half a file is not a definition: leave the defaults, as for a file
    // that could not be opened.
    definition.Reset();
    return false;
  }
  return true;
}
