#pragma once
// Moving several rows of a list together in front of another row, as a drag
// in the list-view and macro pages does.
//
// Thread contract: pure functions.
#include <algorithm>
#include <vector>

// Moves the rows whose indices are in selected (any order) in front of row
// target, keeping their order; a target past the end (or -1) moves them to
// the end. A target that is itself selected, or no valid selected row, changes
// nothing. Returns the new indices of the moved rows, or an empty vector when
// nothing moved.
template <typename T>
std::vector<int> MoveRowsBefore(std::vector<T>& rows, std::vector<int> selected, int target) {
  const int count = static_cast<int>(rows.size());
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  selected.erase(
      std::remove_if(selected.begin(), selected.end(), [count](int r) { return r < 0 || r >= count; }),
      selected.end());
  if (selected.empty()) return {};
  if (target < 0 || target > count) target = count;
  if (std::binary_search(selected.begin(), selected.end(), target)) return {};
  std::vector<T> moved;
  std::vector<T> rest;
  int insertAt = 0;
  for (int r = 0; r < count; ++r) {
    if (std::binary_search(selected.begin(), selected.end(), r)) {
      moved.push_back(rows[static_cast<std::size_t>(r)]);
    } else {
      if (r < target) ++insertAt;
      rest.push_back(rows[static_cast<std::size_t>(r)]);
    }
  }
  rest.insert(rest.begin() + insertAt, moved.begin(), moved.end());
  rows.swap(rest);
  std::vector<int> placed;
  for (int i = 0; i < static_cast<int>(moved.size()); ++i) placed.push_back(insertAt + i);
  return placed;
}
