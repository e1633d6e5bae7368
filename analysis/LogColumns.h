// Channel columns: one item of a definition decoded at every record of a log
// into 32-bit floats, the first time a view asks for it.
//
// A column holds, for each record, the number the item shows after that record
// (see LogDecoding.h); records the definition does not process keep the
// previous number, and records before the first processed one are NaN.
// Decoding a column replays only the raw values that the item depends on (its
// own and those of the values its equation links to), so it costs a fraction
// of a full decode.
//
// Thread contract: a ColumnCache belongs to one thread at a time (it replays
// its definition while decoding); the columns it hands out stay valid until
// Clear or destruction.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

#include "analysis/LogDecoding.h"

class ADXObject;

// Decodes the item at every record of the binding's log.
std::vector<float> DecodeColumn(const LogBinding& binding, ADXObject& item);

class ColumnCache {
 public:
  explicit ColumnCache(const LogBinding& binding) : binding_(binding) {}
  // The item's column, decoded on first use.
  const std::vector<float>& Column(ADXObject& item);
  bool Has(const ADXObject& item) const { return columns_.count(&item) != 0; }
  void Clear() { columns_.clear(); }
  std::size_t MemoryBytes() const;

 private:
  const LogBinding& binding_;
  std::map<const ADXObject*, std::vector<float>> columns_;
};
