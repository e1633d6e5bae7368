#include "legacy/AdsToAdx.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "definition/NumberText.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsFieldText.h"
#include "legacy/AdsMessage.h"

namespace {

// Text limits of the converted fields (the legacy field sizes).
constexpr std::size_t kAuthorMax = 50;
constexpr std::size_t kDescMax = 256;
constexpr std::size_t kTitleMax = 100;
constexpr std::size_t kUnitsMax = 25;
constexpr std::size_t kStateTextMax = 15;
// Longest equation text that a saved file keeps whole.
constexpr std::size_t kEquationSavedMax = 99;

constexpr int32_t kLegacy160Baud = 160;
constexpr int32_t k160BaudStandIn = 4800;

void SetTitle(ADXObject& object, const std::string& text, std::size_t limit = kTitleMax) {
  object.SetTitle(text.data(), std::min(text.size(), limit));
}

void SetDesc(ADXObject& object, const std::string& text) {
  object.SetDesc(text.data(), std::min(text.size(), kDescMax));
}

// Items are known by their legacy unique ID written in decimal.
std::string ItemId(uint32_t uniqueId) {
  return FormatAds("%i", static_cast<int32_t>(uniqueId));
}

// Byte numbers count from 1 in legacy files; offsets count from 0. A byte
// number of 0 (never set) gives an offset past any packet, so the item is
// never decoded rather than decoded from the wrong byte.
uint32_t PacketOffset(uint8_t byteNumber) {
  return static_cast<uint32_t>(byteNumber) - 1u;
}

void ConvertHeader(ADXDefinition& target, const ALDLDefinition& legacy) {
  const ALDLHeader& header = legacy.header;
  target.SetAuthor(header.author.data(), std::min(header.author.size(), kAuthorMax));
  target.SetDesc(header.comments.data(), std::min(header.comments.size(), kDescMax));
  target.baud = header.baud == kLegacy160Baud ? k160BaudStandIn : header.baud;
}

// The number of data commands the file declared, within the ten records.
std::size_t DataCommandCount(const ALDLDefinition& legacy) {
  return std::min<std::size_t>(legacy.header.numDataCommands, ALDLDefinition::kMaxDataCommands);
}

// A 160-baud ECU streams on its own: the first data command only says how
// big its packets are.
void Convert160BaudCommand(ADXDefinition& target, const ALDLDefinition& legacy,
                           AdsConversionSummary& summary) {
  if (DataCommandCount(legacy) == 0) return;
  const ALDLCommand& first = legacy.commands[0];
  if (first.payloadBytes == 0) return;
  auto listen = std::make_unique<ADXC160BaudListen>();
  SetTitle(*listen, first.name);
  listen->SetId("160BAUD");
  listen->flags = 0;
  listen->packetsize = first.payloadBytes;
  if (first.payloadBytes < 0) {
    summary.notes.push_back(FormatAds("command \"%s\": packet size %d is negative; the listen reads nothing",
                                      first.name.c_str(), first.payloadBytes));
  }
  ADXObject* raw = listen.get();
  target.Append(std::move(listen));
  target.monitorcmd = raw;
  ++summary.commands;
}

void ConvertSendCommands(ADXDefinition& target, const ALDLDefinition& legacy, AdsConversionSummary& summary) {
  const std::size_t count = DataCommandCount(legacy);
  for (std::size_t i = 0; i < count; ++i) {
    const ALDLCommand& command = legacy.commands[i];
    auto send = std::make_unique<ADXCSendCommand>();
    SetTitle(*send, command.name);
    send->SetId(FormatAds("COMMAND%i", static_cast<int>(i)).c_str());
    send->flags = kSendReadReply;
    const std::vector<uint8_t> bytes = command.BytesToSend();
    send->SetByteString(bytes.data(), bytes.size());
    if (bytes.empty()) {
      summary.notes.push_back(FormatAds(
          "command \"%s\": %d bytes in the command do not fit its %zu command bytes; it sends nothing",
          command.name.c_str(), command.totalBytes, ALDLCommand::kMaxCommandBytes));
    }
    send->packetoffset = command.bytesBeforePayload;
    send->packetsize = command.payloadBytes;
    send->replysize = ClampToInt32(static_cast<int64_t>(command.bytesBeforePayload) +
                                   static_cast<int64_t>(command.payloadBytes));
    ADXObject* raw = send.get();
    target.Append(std::move(send));
    if (command.master != 0) target.monitorcmd = raw;  // the last master command wins
    ++summary.commands;
  }
}

// Only the entries given in the file are carried over; legacy entry i is
// the table's answer for raw number i + 1.
std::unique_ptr<ADXLookupTable> ConvertTable(const ALDLLookupTable& legacy) {
  auto table = std::make_unique<ADXLookupTable>();
  SetTitle(*table, legacy.name);
  SetDesc(*table, legacy.comments);
  table->SetId(ItemId(legacy.uniqueId).c_str());
  table->inputtype = kLookupInteger;
  table->SetOutputType(legacy.dataType == kAldlTableInteger ? kLookupInteger : kLookupFloat);
  for (std::size_t i = 0; i < legacy.EntryCount(); ++i) {
    if (!legacy.IsGiven(i)) continue;
    table->AddEntry(static_cast<float>(i + 1), static_cast<float>(legacy.EntryValue(i)));
  }
  return table;
}

// The legacy display of a raw limit, read back as a number.
float LegacyLimit(const ALDLValue& value, uint32_t raw) {
  return LeadingDecimalNumber(value.DisplayText(raw));
}

std::string AffineEquation(const ALDLValue& value) {
  if (value.factor == 1.0 && value.offset == 0.0) return "X";
  return "X * " + FixedText(value.factor, 6) + " + " + FixedText(value.offset, 6);
}

// Sets the equation and output type that the value's operation stands for.
void ConvertOperation(ADXValue& out, const ALDLValue& value,
                      const std::unordered_map<uint32_t, ADXLookupTable*>& tables,
                      AdsConversionSummary& summary) {
  std::string equation = "X";
  switch (value.operation) {
    case kAldlOpLinear:
      equation = AffineEquation(value);
      out.outputtype = kOutputFloat;
      break;
    case kAldlOpInverse:
      equation = FixedText(value.factor, 6) + " / X + " + FixedText(value.offset, 6);
      out.outputtype = kOutputFloat;
      break;
    case kAldlOpHexadecimal:
      equation = AffineEquation(value);
      out.outputtype = kOutputHex;
      break;
    case kAldlOpInteger:
      equation = AffineEquation(value);
      out.outputtype = kOutputInteger;
      break;
    case kAldlOpLookup: {
      auto found =
          value.lookupTableId >= 0 ? tables.find(static_cast<uint32_t>(value.lookupTableId)) : tables.end();
      if (found != tables.end()) {
        out.lookup = found->second;
        out.lookupidhash = found->second->idhash;
      } else {
        summary.notes.push_back(FormatAds("value \"%s\": lookup table %d not found; the value has no table",
                                          value.title.c_str(), value.lookupTableId));
      }
      break;
    }
    default:  // percent, character and unknown operations show the raw number
      break;
  }
  out.SetEquation(equation.data(), equation.size());
  if (equation.size() > kEquationSavedMax) {
    summary.notes.push_back(
        FormatAds("value \"%s\": the equation has %zu characters; a saved file keeps only the first %zu",
                  value.title.c_str(), equation.size(), kEquationSavedMax));
  }
}

std::unique_ptr<ADXValue> ConvertValue(const ALDLValue& value,
                                       const std::unordered_map<uint32_t, ADXLookupTable*>& tables,
                                       AdsConversionSummary& summary) {
  auto out = std::make_unique<ADXValue>();
  SetTitle(*out, value.title);
  out->SetUnits(value.units.data(), std::min(value.units.size(), kUnitsMax));
  out->packetoffset = PacketOffset(value.byteNumber);
  out->sizeinbits = static_cast<int32_t>(std::min<uint32_t>(value.sizeInBits, INT32_MAX));
  out->SetId(ItemId(value.uniqueId).c_str());
  out->alarmlow = LegacyLimit(value, value.alarmLow);
  out->alarmhigh = LegacyLimit(value, value.alarmHigh);
  out->rangelow = LegacyLimit(value, static_cast<uint32_t>(value.rangeLow));
  out->rangehigh = LegacyLimit(value, static_cast<uint32_t>(value.rangeHigh));
  out->flags = 0;
  if (value.alarmLowEnabled != 0) out->flags |= kValueAlarmLow;
  if (value.alarmHighEnabled != 0) out->flags |= kValueAlarmHigh;
  ConvertOperation(*out, value, tables, summary);
  // Every letter of the equation is the value's own raw number.
  out->SetVariableSource('X', kVariableNative, 0);
  return out;
}

std::unique_ptr<ADXBitmask> ConvertBit(const ALDLBit& bit) {
  auto out = std::make_unique<ADXBitmask>();
  SetTitle(*out, bit.title);
  out->packetoffset = PacketOffset(bit.byteNumber);
  out->sizeinbits = 8;
  out->SetId(ItemId(bit.uniqueId).c_str());
  const uint32_t mask = 1u << (bit.bitNumber % 32u);
  out->operand = mask;
  out->result = mask;
  out->bitop = kBitopAnd;
  out->SetTrueString(bit.setText.data(), std::min(bit.setText.size(), kStateTextMax));
  out->SetFalseString(bit.clearText.data(), std::min(bit.clearText.size(), kStateTextMax));
  out->flags = 0;
  if (bit.alarmWhenSet != 0) out->flags |= kBitmaskAlarmOnSet;
  if (bit.alarmWhenClear != 0) out->flags |= kBitmaskAlarmOnNotSet;
  return out;
}

// One item row for every value and bitmask of the target, in list order. A
// list view holds at most 255 rows; the items beyond stay in the definition.
void AddDefaultView(ADXDefinition& target, AdsConversionSummary& summary) {
  auto view = std::make_unique<ADXListView>();
  view->SetTitle("Default View", 12);
  view->SetId("DEFAULTVIEW");
  int items = 0;
  for (std::size_t i = 0; i < target.ObjectCount(); ++i) {
    ADXObject* object = target.ObjectAt(i);
    if (object == nullptr || !object->IsType(ADX_TYPE_VALUE | ADX_TYPE_BITMASK)) continue;
    ++items;
    if (view->EntryCount() >= kAdxMaxEntries) continue;
    ListViewEntry entry;
    entry.entrytype = kListEntryItem;
    entry.SetItem(object);
    view->AppendEntry(entry);
  }
  if (items > view->EntryCount()) {
    summary.notes.push_back(
        FormatAds("the default view shows the first %d of %d items", view->EntryCount(), items));
  }
  if (view->EntryCount() == 0) return;
  summary.listRows = view->EntryCount();
  summary.hasListView = true;
  target.Append(std::move(view));
}

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

float LeadingDecimalNumber(const std::string& text) {
  // Only plain decimal notation counts: strtod alone would also take "inf",
  // "nan" and "0x1F", which no legacy display means as a number.
  std::size_t end = 0;
  if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
  const std::size_t digitsStart = end;
  while (end < text.size() && IsDecimalDigit(text[end])) ++end;
  std::size_t digits = end - digitsStart;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fraction = end + 1;
    std::size_t after = fraction;
    while (after < text.size() && IsDecimalDigit(text[after])) ++after;
    if (digits > 0 || after > fraction) {
      digits += after - fraction;
      end = after;
    }
  }
  if (digits == 0) return 0.0f;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    std::size_t after = exponent;
    while (after < text.size() && IsDecimalDigit(text[after])) ++after;
    if (after > exponent) end = after;
  }
  const double value = ReadLeadingDouble(std::string_view(text).substr(0, end));
  if (!std::isfinite(value)) return value < 0 ? -FLT_MAX : FLT_MAX;
  return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

int ConvertAdsToAdx(ADXDefinition* target, const ALDLDefinition* legacy, AdsConversionSummary* summary) {
  if (target == nullptr || legacy == nullptr) return 0;
  AdsConversionSummary local;
  AdsConversionSummary& sum = summary != nullptr ? *summary : local;
  sum = AdsConversionSummary{};

  target->Clear();
  ConvertHeader(*target, *legacy);

  if (legacy->header.baud == kLegacy160Baud) {
    Convert160BaudCommand(*target, *legacy, sum);
  } else {
    ConvertSendCommands(*target, *legacy, sum);
  }

  // Tables by their legacy unique ID; after reading, IDs are unique, and the
  // first table keeps an ID should a definition built in code repeat it.
  std::unordered_map<uint32_t, ADXLookupTable*> tables;
  for (const auto& table : legacy->tables) {
    std::unique_ptr<ADXLookupTable> converted = ConvertTable(*table);
    tables.emplace(table->uniqueId, converted.get());
    target->Append(std::move(converted));
    ++sum.tables;
  }
  for (const auto& value : legacy->values) {
    if (value->separator != 0) continue;
    target->Append(ConvertValue(*value, tables, sum));
    ++sum.values;
  }
  for (const auto& bit : legacy->bits) {
    if (bit->separator != 0) continue;
    target->Append(ConvertBit(*bit));
    ++sum.bits;
  }

  const bool hadItems = !legacy->tables.empty() || !legacy->values.empty() || !legacy->bits.empty();
  if (hadItems) AddDefaultView(*target, sum);
  return 1;
}
