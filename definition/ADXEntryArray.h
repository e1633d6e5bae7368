#pragma once
// The entry array shared by the three entry views (list view, dashboard,
// monitor): at most 255 entries, copied in and out by value.
//
// Thread contract: edited on one thread while no acquisition runs; readers on
// other threads only read while nobody edits.
#include <cstddef>
#include <vector>

constexpr int kAdxMaxEntries = 255;

template <class Entry>
class ADXEntryArray {
 public:
  int Count() const { return static_cast<int>(entries_.size()); }

  // 0 frees the array; 1..255 resizes it, keeping the first min(old, n)
  // entries (run-time state is not carried over); anything else changes nothing.
  int SetEntryCount(int n) {
    if (n < 0 || n > kAdxMaxEntries) return 0;
    std::vector<Entry> next(static_cast<std::size_t>(n));
    std::size_t keep = entries_.size() < next.size() ? entries_.size() : next.size();
    for (std::size_t i = 0; i < keep; ++i) {
      next[i] = entries_[i];
      if constexpr (requires(Entry & e) { e.ResetRunTime(); }) next[i].ResetRunTime();
    }
    entries_.swap(next);
    return 1;
  }

  // Appends a copy; refused (returns 0) when the array already holds 255 entries.
  int AppendEntry(const Entry& entry) {
    if (Count() >= kAdxMaxEntries) return 0;
    entries_.push_back(entry);
    return 1;
  }

  int SetEntry(int index, const Entry& entry) {
    if (index < 0 || index >= Count()) return 0;
    entries_[static_cast<std::size_t>(index)] = entry;
    return 1;
  }

  Entry* GetEntry(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
  }
  const Entry* GetEntry(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
  }

  int RemoveEntry(int index) {
    if (index < 0 || index >= Count()) return 0;
    entries_.erase(entries_.begin() + index);
    return 1;
  }

  void Clear() { entries_.clear(); }

  typename std::vector<Entry>::iterator begin() { return entries_.begin(); }
  typename std::vector<Entry>::iterator end() { return entries_.end(); }
  typename std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
  typename std::vector<Entry>::const_iterator end() const { return entries_.end(); }

 private:
  std::vector<Entry> entries_;
};
