#include "tools/varnak-cli/ItemRows.h"

#include <algorithm>
#include <cstring>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXText.h"
#include "definition/ADXValue.h"
#include "definition/NumberText.h"
#include "definition/RawField.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {

bool Belongs(std::uint32_t parent, std::uint32_t command) {
  return parent == 0 || parent == command;
}

}  // namespace

void AppendCsvField(std::string& out, const char* text, std::size_t length) {
  bool quote = length > 0 && (text[0] == ' ' || text[length - 1] == ' ');
  for (std::size_t i = 0; i < length && !quote; ++i) {
    const char c = text[i];
    quote = c == ',' || c == '"' || c == '\n' || c == '\r';
  }
  if (!quote) {
    out.append(text, length);
    return;
  }
  out.push_back('"');
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == '"') out.push_back('"');
    out.push_back(text[i]);
  }
  out.push_back('"');
}

ItemRowFormatter::ItemRowFormatter(const ADXDefinition& definition) : definition_(definition) {
  for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
    ADXObject* object = definition.ObjectAt(i);
    if (object != nullptr &&
        (object->objectType == ADX_TYPE_VALUE || object->objectType == ADX_TYPE_BITMASK)) {
      items_.push_back(object);
    }
  }
  FindRowCommands();
  PlanColumns();
}

ItemRowFormatter::ItemRowFormatter(const ADXDefinition& definition, const std::vector<std::string>& ids,
                                   std::vector<std::string>* unknown)
    : definition_(definition) {
  for (const std::string& id : ids) {
    ADXObject* found = nullptr;
    for (std::size_t i = 0; i < definition.ObjectCount() && found == nullptr; ++i) {
      ADXObject* object = definition.ObjectAt(i);
      if (object != nullptr &&
          (object->objectType == ADX_TYPE_VALUE || object->objectType == ADX_TYPE_BITMASK) &&
          id == object->id) {
        found = object;
      }
    }
    if (found != nullptr) {
      items_.push_back(found);
    } else if (unknown != nullptr) {
      unknown->push_back(id);
    }
  }
  FindRowCommands();
  PlanColumns();
}

namespace {

// Time texts up to 10^15 s with three decimals, and the comma before each column.
constexpr std::size_t kTimeBound = 24;

}  // namespace

void ItemRowFormatter::PlanColumns() {
  columns_.resize(items_.size());
  rowBound_ = kTimeBound + 1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    Column& column = columns_[i];
    // The place of the raw word, as the items' ExtractRaw finds it.
    const auto place = [&column](std::uint32_t offset, std::int32_t sizeInBits, bool lsbFirst) {
      column.offset = offset;
      column.sizeInBits = sizeInBits;
      column.swap = !lsbFirst && sizeInBits > 8;
    };
    if (items_[i]->objectType == ADX_TYPE_BITMASK) {
      const auto* bitmask = static_cast<const ADXBitmask*>(items_[i]);
      column.kind = Column::Kind::kBitmask;
      column.parent = bitmask->parentcmdidhash;
      place(bitmask->packetoffset, bitmask->sizeinbits, (bitmask->flags & kBitmaskLsbFirst) != 0);
      // The texts as the item list shows them: cut to the longest text, up
      // to a NUL.
      char text[kBitmaskTextMax + 1];
      CopyTextOut(bitmask->truestring, text, sizeof text);
      AppendCsvField(column.trueField, text, std::strlen(text));
      CopyTextOut(bitmask->falsestring, text, sizeof text);
      AppendCsvField(column.falseField, text, std::strlen(text));
      rowBound_ += 1 + std::max(column.trueField.size(), column.falseField.size());
      continue;
    }
    const auto* value = static_cast<const ADXValue*>(items_[i]);
    column.parent = value->parentcmdidhash;
    place(value->packetoffset, value->sizeinbits, (value->flags & kValueLsbFirst) != 0);
    const int slotCount = static_cast<int>(value->equation.SlotCount());
    bool planned = value->lookup == nullptr &&
                   slotCount <= static_cast<int>(EquationEvaluator::kMaxVariables) &&
                   value->digcount <= kFastDigitsMax;
    for (const ValueVariable& variable : value->variables) {
      if (variable.kind == kVariableLink) planned = false;
      const int slot = value->equation.SlotOf(variable.varID);
      if (slot >= 0 && slot < slotCount &&
          std::find(column.slots.begin(), column.slots.end(), slot) == column.slots.end()) {
        column.slots.push_back(slot);
      }
    }
    column.readsRaw = !value->variables.empty();
    column.slotCount = slotCount;
    column.fillsSlots = column.readsRaw && static_cast<int>(column.slots.size()) == slotCount;
    if (planned) column.texts.resize(column.readsRaw && column.sizeInBits > 15 ? 2048 : 256);
    column.kind = planned ? Column::Kind::kValue : Column::Kind::kGeneric;
    // A planned text fits the value text; any other may be quoted.
    rowBound_ += 1 + (planned ? kValueTextSize : 2 * kValueTextSize + 2);
  }
}

char* ItemRowFormatter::WriteValue(char* first, const Column& column, ADXObject* item,
                                   const std::uint8_t* packet, std::size_t length,
                                   std::uint32_t commandIdHash) const {
  auto* value = static_cast<ADXValue*>(item);
  // Every variable reads the same raw number of the packet (or, for another
  // command's packet or one too short, the latest one).
  std::uint32_t word = 0;
  if (column.readsRaw) {
    const bool own = Belongs(column.parent, commandIdHash);
    if (own && ReadRawField(packet, length, column.offset, column.sizeInBits, column.swap, &word)) {
      value->SetLastRaw(static_cast<std::int32_t>(word));
    } else {
      word = static_cast<std::uint32_t>(value->LastRaw());
    }
  }
  Column::Text& cached = column.texts[word & (column.texts.size() - 1)];
  if (cached.length != Column::kNoText && cached.word == word) {
    // The row has room for the longest value text, more than the copy.
    std::memcpy(first, cached.text, sizeof cached.text);
    return first + cached.length;
  }
  char* const end = FormatValue(first, column, value, word);
  const auto shown = static_cast<std::size_t>(end - first);
  if (shown <= sizeof cached.text) {
    cached.word = word;
    cached.length = static_cast<std::uint8_t>(shown);
    std::memcpy(cached.text, first, shown);
  }
  return end;
}

char* ItemRowFormatter::FormatValue(char* first, const Column& column, ADXValue* value,
                                    std::uint32_t word) const {
  double slots[EquationEvaluator::kMaxVariables];
  if (!column.fillsSlots) std::fill_n(slots, column.slotCount, 0.0);
  if (column.readsRaw) {
    // Only for a word not seen before: the value's own reading of it.
    const double number = value->RawWordToNumber(static_cast<std::int32_t>(word));
    for (const int slot : column.slots) slots[slot] = number;
  }
  const double n = value->equation.EvaluateSlots(slots);
  // Texts longer than the item list's are cut as the list cuts them.
  char* const limit = first + kValueTextSize - 1;
  const int digits = value->digcount;
  switch (value->outputtype) {
    case kOutputHex:
      return AppendHex(first, limit, TruncToUInt32Bits(n), digits);
    case kOutputInteger:
      return AppendInt(first, limit, TruncToInt32(n), digits);
    case kOutputUnsigned:
      return AppendUnsigned(first, limit, TruncToUInt32Bits(n), digits);
    case kOutputFloat:
      if (char* end = AppendFixed(first, limit, n, digits)) return end;
      return first + FormatFixed(first, kValueTextSize, n, digits);
    default:
      return first;  // percentage of range and unknown types write no text
  }
}

void ItemRowFormatter::FindRowCommands() {
  for (std::size_t i = 0; i < definition_.ObjectCount(); ++i) {
    const ADXObject* object = definition_.ObjectAt(i);
    if (object == nullptr) continue;
    if (object->objectType == ADX_TYPE_VALUE) {
      rowCommands_.push_back(static_cast<const ADXValue*>(object)->parentcmdidhash);
    } else if (object->objectType == ADX_TYPE_BITMASK) {
      rowCommands_.push_back(static_cast<const ADXBitmask*>(object)->parentcmdidhash);
    }
  }
  if (definition_.monitorcmd != nullptr) rowCommands_.push_back(definition_.monitorcmd->idhash);
  std::sort(rowCommands_.begin(), rowCommands_.end());
  rowCommands_.erase(std::unique(rowCommands_.begin(), rowCommands_.end()), rowCommands_.end());
}

bool ItemRowFormatter::MakesRow(std::uint32_t commandIdHash) const {
  return std::binary_search(rowCommands_.begin(), rowCommands_.end(), commandIdHash);
}

std::string ItemRowFormatter::UnitsRow() const {
  std::string row = "s";
  for (std::size_t i = 0; i < items_.size(); ++i) {
    row.push_back(',');
    const std::string units = Latin1ToUtf8(ItemUnits(i));
    AppendCsvField(row, units.data(), units.size());
  }
  row.push_back('\n');
  return row;
}

std::string ItemRowFormatter::HeaderRow() const {
  std::string row = "time_s";
  for (const ADXObject* item : items_) {
    row.push_back(',');
    AppendCsvField(row, item->id, std::strlen(item->id));
  }
  row.push_back('\n');
  return row;
}

std::size_t ItemRowFormatter::FormatItem(std::size_t index, const std::uint8_t* packet, std::size_t length,
                                         std::uint32_t commandIdHash, char* buffer, std::size_t size) const {
  buffer[0] = '\0';
  ADXObject* item = items_[index];
  if (item->objectType == ADX_TYPE_VALUE) {
    auto* value = static_cast<ADXValue*>(item);
    const bool own = Belongs(value->parentcmdidhash, commandIdHash);
    value->Format(buffer, size, &definition_, own ? packet : nullptr, own ? length : 0, 0, 0);
  } else {
    auto* bitmask = static_cast<ADXBitmask*>(item);
    const bool own = Belongs(bitmask->parentcmdidhash, commandIdHash);
    bitmask->TestBitsText(buffer, size, &definition_, own ? packet : nullptr, own ? length : 0, 0, 0);
  }
  buffer[size - 1] = '\0';
  return std::strlen(buffer);
}

char* ItemRowFormatter::WriteRow(char* first, char* last, double timeSeconds, const std::uint8_t* packet,
                                 std::size_t length, std::uint32_t commandIdHash) const {
  if (static_cast<std::size_t>(last - first) < rowBound_) return nullptr;
  char* p = AppendFixed(first, first + kTimeBound, timeSeconds, 3);
  if (p == nullptr) return nullptr;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    *p++ = ',';
    const Column& column = columns_[i];
    switch (column.kind) {
      case Column::Kind::kValue:
        // Number texts never need quoting in CSV.
        p = WriteValue(p, column, items_[i], packet, length, commandIdHash);
        break;
      case Column::Kind::kBitmask: {
        auto* bitmask = static_cast<ADXBitmask*>(items_[i]);
        std::uint32_t word = 0;
        if (Belongs(column.parent, commandIdHash) &&
            ReadRawField(packet, length, column.offset, column.sizeInBits, column.swap, &word)) {
          bitmask->SetLastRaw(word);
        } else {
          word = bitmask->LastRaw();
        }
        const std::string& field = bitmask->Evaluate(word) ? column.trueField : column.falseField;
        std::memcpy(p, field.data(), field.size());
        p += field.size();
        break;
      }
      case Column::Kind::kGeneric: {
        char text[kValueTextSize];
        const std::size_t shown = FormatItem(i, packet, length, commandIdHash, text, sizeof text);
        std::string field;
        AppendCsvField(field, text, shown);
        std::memcpy(p, field.data(), field.size());
        p += field.size();
        break;
      }
    }
  }
  *p++ = '\n';
  return p;
}

void ItemRowFormatter::AppendRow(std::string& out, double timeSeconds, const std::uint8_t* packet,
                                 std::size_t length, std::uint32_t commandIdHash) const {
  const std::size_t start = out.size();
  out.resize(start + rowBound_);
  if (char* end =
          WriteRow(out.data() + start, out.data() + out.size(), timeSeconds, packet, length, commandIdHash)) {
    out.resize(static_cast<std::size_t>(end - out.data()));
    return;
  }
  out.resize(start);
  AppendRowByItems(out, timeSeconds, packet, length, commandIdHash);
}

// The row through each item's own formatting, for times too large for the
// planned row.
void ItemRowFormatter::AppendRowByItems(std::string& out, double timeSeconds, const std::uint8_t* packet,
                                        std::size_t length, std::uint32_t commandIdHash) const {
  char text[kBitmaskTextMax + 1];
  out += FixedText(timeSeconds, 3);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    out.push_back(',');
    const std::size_t size = items_[i]->objectType == ADX_TYPE_VALUE ? kValueTextSize : sizeof text;
    const std::size_t shown = FormatItem(i, packet, length, commandIdHash, text, size);
    AppendCsvField(out, text, shown);
  }
  out.push_back('\n');
}

std::string ItemRowFormatter::ItemText(std::size_t index, const std::uint8_t* packet, std::size_t length,
                                       std::uint32_t commandIdHash) const {
  if (index >= items_.size()) return std::string();
  char text[kBitmaskTextMax + 1];
  const std::size_t size = items_[index]->objectType == ADX_TYPE_VALUE ? kValueTextSize : sizeof text;
  const std::size_t shown = FormatItem(index, packet, length, commandIdHash, text, size);
  return std::string(text, shown);
}

std::string ItemRowFormatter::ItemUnits(std::size_t index) const {
  if (index >= items_.size() || items_[index]->objectType != ADX_TYPE_VALUE) return std::string();
  return static_cast<const ADXValue*>(items_[index])->units;
}
