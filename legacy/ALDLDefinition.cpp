#include "legacy/ALDLDefinition.h"

#include <set>

#include "legacy/AdsFieldText.h"
#include "legacy/AdsMessage.h"

namespace {

template <typename Item>
Item* At(const std::vector<std::unique_ptr<Item>>& list, std::size_t index) {
  return index < list.size() ? list[index].get() : nullptr;
}

template <typename Item, typename Name>
Item* ByName(const std::vector<std::unique_ptr<Item>>& list, std::string_view wanted, Name name) {
  for (const auto& item : list) {
    if (name(*item) == wanted) return item.get();
  }
  return nullptr;
}

template <typename Item>
Item* ById(const std::vector<std::unique_ptr<Item>>& list, uint32_t uniqueId) {
  for (const auto& item : list) {
    if (item->uniqueId == uniqueId) return item.get();
  }
  return nullptr;
}

// Splits a dash ID list at "," and ";" into its non-blank entries.
std::vector<std::string_view> SplitIdList(std::string_view text) {
  std::vector<std::string_view> entries;
  while (!text.empty()) {
    std::size_t cut = text.find_first_of(",;");
    std::string_view entry = text.substr(0, cut);
    text = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    if (entry.find_first_not_of(" \t\r\n") != std::string_view::npos) entries.push_back(entry);
  }
  return entries;
}

}  // namespace

void ALDLDefinition::Reset() {
  header = ALDLHeader();
  commands.fill(ALDLCommand());
  // Values point at tables and the dash at values: drop the links first.
  dash = ALDLDash();
  values.clear();
  bits.clear();
  tables.clear();
  dashGaugeIds.clear();
  dashMonitorIds.clear();
  formatVersion = kCurrentFormatVersion;
  hadDuplicateIds = false;
  usedIds_.clear();
}

void ALDLDefinition::NoteId(ALDLItem& item) {
  if (!usedIds_.insert(item.uniqueId).second) {
    item.itemFlags |= kAldlItemFlagDuplicateId;
    hadDuplicateIds = true;
  }
}

ALDLValue& ALDLDefinition::AddValue(std::unique_ptr<ALDLValue> value) {
  NoteId(*value);
  values.push_back(std::move(value));
  return *values.back();
}

ALDLBit& ALDLDefinition::AddBit(std::unique_ptr<ALDLBit> bit) {
  NoteId(*bit);
  bits.push_back(std::move(bit));
  return *bits.back();
}

ALDLLookupTable& ALDLDefinition::AddTable(std::unique_ptr<ALDLLookupTable> table) {
  NoteId(*table);
  tables.push_back(std::move(table));
  return *tables.back();
}

ALDLValue* ALDLDefinition::ValueAt(std::size_t index) const {
  return At(values, index);
}
ALDLBit* ALDLDefinition::BitAt(std::size_t index) const {
  return At(bits, index);
}
ALDLLookupTable* ALDLDefinition::TableAt(std::size_t index) const {
  return At(tables, index);
}

ALDLValue* ALDLDefinition::FindValueByName(std::string_view title) const {
  return ByName(values, title, [](const ALDLValue& v) -> const std::string& { return v.title; });
}
ALDLBit* ALDLDefinition::FindBitByName(std::string_view title) const {
  return ByName(bits, title, [](const ALDLBit& b) -> const std::string& { return b.title; });
}
ALDLLookupTable* ALDLDefinition::FindTableByName(std::string_view name) const {
  return ByName(tables, name, [](const ALDLLookupTable& t) -> const std::string& { return t.name; });
}

ALDLValue* ALDLDefinition::FindValueById(uint32_t uniqueId) const {
  return ById(values, uniqueId);
}
ALDLBit* ALDLDefinition::FindBitById(uint32_t uniqueId) const {
  return ById(bits, uniqueId);
}
ALDLLookupTable* ALDLDefinition::FindTableById(uint32_t uniqueId) const {
  return ById(tables, uniqueId);
}

bool ALDLDefinition::IsIdUsed(uint32_t uniqueId) const {
  return FindValueById(uniqueId) || FindBitById(uniqueId) || FindTableById(uniqueId);
}

void ALDLDefinition::FinishReading(AdsMessageLog& log) {
  ReplaceDuplicateIds(log);
  LinkLookupTables(log);
  ResolveDash(log);
}

void ALDLDefinition::ReplaceDuplicateIds(AdsMessageLog& log) {
  std::set<uint32_t> used;
  for (const auto& v : values) used.insert(v->uniqueId);
  for (const auto& b : bits) used.insert(b->uniqueId);
  for (const auto& t : tables) used.insert(t->uniqueId);

  // Each new ID is the smallest free one, so the next search can start
  // where the last one ended.
  uint32_t candidate = 1;
  auto replace = [&](ALDLItem& item, const std::string& name) {
    if (!(item.itemFlags & kAldlItemFlagDuplicateId)) return;
    while (used.count(candidate)) ++candidate;
    log.Add(item.fileLine, FormatAds("\"%s\": unique ID %u is used twice; it gets the ID %u", name.c_str(),
                                     item.uniqueId, candidate));
    item.uniqueId = candidate;
    used.insert(candidate);
    item.itemFlags &= ~kAldlItemFlagDuplicateId;
  };
  for (auto& v : values) replace(*v, v->title);
  for (auto& b : bits) replace(*b, b->title);
  for (auto& t : tables) replace(*t, t->name);

  usedIds_.clear();
  usedIds_.insert(used.begin(), used.end());
}

void ALDLDefinition::LinkLookupTables(AdsMessageLog& log) {
  for (auto& t : tables) t->users.clear();
  for (auto& v : values) {
    v->lookupTable = nullptr;
    if (v->lookupTableId < 0) continue;
    ALDLLookupTable* table = FindTableById(static_cast<uint32_t>(v->lookupTableId));
    if (!table) {
      log.Add(v->fileLine, FormatAds("value \"%s\": no lookup table has the ID %d; the value has no table",
                                     v->title.c_str(), v->lookupTableId));
      continue;
    }
    v->lookupTable = table;
    table->users.push_back(v.get());
  }
}

void ALDLDefinition::ResolveDash(AdsMessageLog& log) {
  auto resolve = [&](const std::string& text, uint8_t count, std::vector<const ALDLValue*>& list,
                     const char* what) {
    list.clear();
    std::vector<std::string_view> entries = SplitIdList(text);
    if (entries.size() > count) {
      log.Add(dash.fileLine, FormatAds("dash: %zu %s IDs given for %u %ss; the rest are dropped",
                                       entries.size(), what, unsigned(count), what));
      entries.resize(count);
    }
    for (std::string_view entry : entries) {
      AdsNumber<int64_t> id = ParseAdsInteger(entry);
      const ALDLValue* value = id.valid && id.value >= 0 && id.value <= UINT32_MAX
                                   ? FindValueById(static_cast<uint32_t>(id.value))
                                   : nullptr;
      if (!value) {
        log.Add(dash.fileLine,
                FormatAds("dash: %s ID \"%.20s\" names no value; dropped", what, std::string(entry).c_str()));
        continue;
      }
      list.push_back(value);
    }
  };
  resolve(dashGaugeIds, dash.numGauges, dash.gauges, "gauge");
  resolve(dashMonitorIds, dash.numMonitors, dash.monitors, "monitor");
}
