#include "tools/varnak-cli/ItemRows.h"

#include <algorithm>
#include <cstring>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "definition/NumberText.h"
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

void ItemRowFormatter::AppendRow(std::string& out, double timeSeconds, const std::uint8_t* packet,
                                 std::size_t length, std::uint32_t commandIdHash) const {
  char text[kBitmaskTextMax + 1];
  // "%.3f" of the time, without the cost of printf; the item texts come from
  // the same formatter (value texts) or from the bitmask's own texts.
  if (char* end = AppendFixed(text, text + sizeof text, timeSeconds, 3)) {
    out.append(text, end);
  } else {
    out += FixedText(timeSeconds, 3);
  }
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
