// Comparing two definitions on one log: the same log decoded with each, item
// by item (matched by ID), record by record.
//
// Thread contract: DiffDefinitions replays both definitions; one thread at a
// time per definition.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/LogData.h"

class ADXDefinition;

enum class DiffPresence { kBoth, kOnlyInA, kOnlyInB };

struct ItemDifference {
  std::string id;
  std::string title;  // from A when the item is in A, else from B
  DiffPresence presence = DiffPresence::kBoth;
  std::size_t recordsDiffering = 0;
  // Largest difference of the numbers shown; none for text-only items.
  std::optional<double> maxAbsDifference;
  double firstTimeSeconds = 0.0;
};

// The items whose shown text differs in at least one record a definition
// processes, and the items present in only one of them: items of A in A's
// order, then those only in B in B's order.
// `cancel` (may be null) stops the comparison early; the result is then partial.
std::vector<ItemDifference> DiffDefinitions(const LogData& log, const ADXDefinition& a,
                                            const ADXDefinition& b,
                                            const std::atomic<bool>* cancel = nullptr);
