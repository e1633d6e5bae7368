#include "controls/datachart/DcValueColumn.h"

#include <bit>

namespace {

std::size_t FirstSlot(std::uint32_t bits, std::size_t slotCount) {
  // Fibonacci hashing: the high bits of the product spread nearby values.
  return static_cast<std::size_t>((bits * 2654435769u) >> 16) & (slotCount - 1);
}

}  // namespace

int DcValueColumn::IndexOf(float value) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
  for (std::size_t s = FirstSlot(bits, slots_.size());; s = (s + 1) & (slots_.size() - 1)) {
    const std::uint16_t slot = slots_[s];
    if (slot == 0) {
      if (table_.size() == kTableSize) return -1;
      table_.push_back(value);
      slots_[s] = static_cast<std::uint16_t>(table_.size());
      return static_cast<int>(table_.size() - 1);
    }
    if (std::bit_cast<std::uint32_t>(table_[slot - 1u]) == bits) return slot - 1;
  }
}

void DcValueColumn::Widen() {
  values_.assign(indexes_.size(), 0.0f);
  for (std::size_t i = 0; i < indexes_.size(); ++i) values_[i] = table_[indexes_[i]];
  indexes_.clear();
  indexes_.shrink_to_fit();
  table_.clear();
  table_.shrink_to_fit();
  slots_.fill(0);
  wide_ = true;
}

void DcValueColumn::push_back(float value) {
  if (!wide_) {
    const int index = IndexOf(value);
    if (index >= 0) {
      indexes_.push_back(static_cast<std::uint8_t>(index));
      return;
    }
    Widen();
  }
  values_.push_back(value);
}

void DcValueColumn::set(std::size_t i, float value) {
  if (!wide_) {
    const int index = IndexOf(value);
    if (index >= 0) {
      indexes_[i] = static_cast<std::uint8_t>(index);
      return;
    }
    Widen();
  }
  values_[i] = value;
}

void DcValueColumn::erase(std::size_t i) {
  if (wide_) {
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(i));
  } else {
    indexes_.erase(indexes_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void DcValueColumn::clear() {
  indexes_.clear();
  values_.clear();
  table_.clear();
  slots_.fill(0);
  wide_ = false;
}
