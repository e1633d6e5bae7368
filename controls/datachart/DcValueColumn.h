#pragma once
// A column of float values kept compactly and exactly. The values a chart
// plots mostly come from one byte of a packet through an equation, so a
// series of any length holds few distinct values: while there are at most
// 256 of them the column stores one byte per value (an index into a table of
// the distinct values, compared by their bits, so -0 and each NaN stay what
// they were), and from the 257th distinct value on four bytes per value, as
// a plain column. Reading gives back exactly the float that was stored.
//
// Storage is in fixed blocks: appending never moves what is stored.
//
// Thread contract: a plain value type; one thread at a time.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class DcValueColumn {
 public:
  static constexpr std::size_t kTableSize = 256;

  std::size_t size() const { return wide_ ? values_.size() : indexes_.size(); }
  bool empty() const { return size() == 0; }
  float operator[](std::size_t i) const { return wide_ ? values_[i] : table_[indexes_[i]]; }

  void push_back(float value);
  void set(std::size_t i, float value);
  void erase(std::size_t i);
  void clear();

  // Whether the values went past the table (four bytes each from then on).
  bool wide() const { return wide_; }

 private:
  // The table index of value, adding it to the table; -1 when the table is
  // full and value is not in it.
  int IndexOf(float value);
  void Widen();

  bool wide_ = false;
  std::deque<std::uint8_t> indexes_;
  std::deque<float> values_;
  std::vector<float> table_;
  // Open addressing over the bits of the table's values: slot holds index + 1
  // (0 empty). Twice the table's size keeps probes short.
  std::array<std::uint16_t, 2 * kTableSize> slots_{};
};
