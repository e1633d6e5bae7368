#include "analysis/DefinitionDiff.h"

#include <cmath>

#include "analysis/LogDecoding.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"

namespace {

ADXObject* FindItem(const std::vector<ADXObject*>& items, const std::string& id) {
  for (ADXObject* item : items) {
    if (ItemId(*item) == id) return item;
  }
  return nullptr;
}

// Whether the two items turn equal numbers into equal texts: values without
// lookup tables that format alike, or bitmasks with the same two texts. Then
// their numbers decide, and the texts need not be written for every record.
bool SameFormatting(const ADXObject& a, const ADXObject& b) {
  if (a.objectType == ADX_TYPE_VALUE && b.objectType == ADX_TYPE_VALUE) {
    const auto& va = static_cast<const ADXValue&>(a);
    const auto& vb = static_cast<const ADXValue&>(b);
    return va.lookup == nullptr && vb.lookup == nullptr && va.outputtype == vb.outputtype &&
           va.digcount == vb.digcount;
  }
  if (a.objectType == ADX_TYPE_BITMASK && b.objectType == ADX_TYPE_BITMASK) {
    const auto& ba = static_cast<const ADXBitmask&>(a);
    const auto& bb = static_cast<const ADXBitmask&>(b);
    return ba.truestring == bb.truestring && ba.falsestring == bb.falsestring;
  }
  return false;
}

bool SameNumber(double x, double y) {
  return x == y || (std::isnan(x) && std::isnan(y));
}

struct Pair {
  ADXObject* a = nullptr;
  ADXObject* b = nullptr;
  bool numeric = false;
  bool sameFormatting = false;
  ItemDifference difference;
};

}  // namespace

std::vector<ItemDifference> DiffDefinitions(const LogData& log, const ADXDefinition& a,
                                            const ADXDefinition& b, const std::atomic<bool>* cancel) {
  const std::vector<ADXObject*> itemsA = DefinitionItems(a);
  const std::vector<ADXObject*> itemsB = DefinitionItems(b);
  std::vector<ItemDifference> out;
  std::vector<Pair> pairs;
  // Order of the output: A's items (shared or only in A), then B's own.
  std::vector<std::pair<bool, std::size_t>> order;  // (shared, index into pairs or out)
  for (ADXObject* item : itemsA) {
    const std::string id = ItemId(*item);
    ADXObject* other = FindItem(itemsB, id);
    if (other == nullptr) {
      ItemDifference d;
      d.id = id;
      d.title = ItemTitle(*item);
      d.presence = DiffPresence::kOnlyInA;
      order.emplace_back(false, out.size());
      out.push_back(std::move(d));
      continue;
    }
    Pair p;
    p.a = item;
    p.b = other;
    p.numeric = !ItemIsTextOnly(*item) && !ItemIsTextOnly(*other);
    p.sameFormatting = SameFormatting(*item, *other);
    p.difference.id = id;
    p.difference.title = ItemTitle(*item);
    order.emplace_back(true, pairs.size());
    pairs.push_back(std::move(p));
  }
  for (ADXObject* item : itemsB) {
    const std::string id = ItemId(*item);
    if (FindItem(itemsA, id) != nullptr) continue;
    ItemDifference d;
    d.id = id;
    d.title = ItemTitle(*item);
    d.presence = DiffPresence::kOnlyInB;
    order.emplace_back(false, out.size());
    out.push_back(std::move(d));
  }

  LogBinding bindA(log, a);
  LogBinding bindB(log, b);
  ResetRawValues(a);
  ResetRawValues(b);
  BoundPacket packetA, packetB;
  for (std::size_t r = 0; r < log.RecordCount(); ++r) {
    if (cancel != nullptr && r % 4096 == 0 && cancel->load(std::memory_order_relaxed)) break;
    const bool usedA = bindA.PacketOf(r, &packetA);
    const bool usedB = bindB.PacketOf(r, &packetB);
    if (!usedA && !usedB) continue;
    if (usedA) a.UpdateRawValues(packetA.data, packetA.length, packetA.command);
    if (usedB) b.UpdateRawValues(packetB.data, packetB.length, packetB.command);
    if (!usedA) packetA = BoundPacket{};
    if (!usedB) packetB = BoundPacket{};
    for (Pair& p : pairs) {
      // An item shows something new only at records of its command.
      const bool fresh = (usedA && packetA.data && ItemReadsCommand(*p.a, packetA.command)) ||
                         (usedB && packetB.data && ItemReadsCommand(*p.b, packetB.command));
      if (!fresh) continue;
      double numberA = 0.0, numberB = 0.0;
      if (p.sameFormatting || p.numeric) {
        numberA = ItemNumber(a, *p.a, packetA);
        numberB = ItemNumber(b, *p.b, packetB);
        if (p.sameFormatting && SameNumber(numberA, numberB)) continue;
      }
      if (ItemText(a, *p.a, packetA) == ItemText(b, *p.b, packetB)) continue;
      ItemDifference& d = p.difference;
      if (d.recordsDiffering == 0) d.firstTimeSeconds = log.TimeSeconds(r);
      ++d.recordsDiffering;
      if (p.numeric) {
        const double delta = std::fabs(numberA - numberB);
        if (!d.maxAbsDifference || delta > *d.maxAbsDifference || std::isnan(delta))
          d.maxAbsDifference = delta;
      }
    }
  }

  std::vector<ItemDifference> result;
  for (const auto& [shared, index] : order) {
    if (!shared) {
      result.push_back(out[index]);
    } else if (pairs[index].difference.recordsDiffering != 0) {
      result.push_back(pairs[index].difference);
    }
  }
  return result;
}
