#include "editor/dialog/EditorTitle.h"

std::string ShortPathForm(std::string_view path) {
  int found = 0;
  std::size_t first = std::string_view::npos;  // the separator scanned last (leftmost so far)
  for (std::size_t i = path.size(); i-- > 0;) {
    if (path[i] != '\\' && path[i] != '/') continue;
    ++found;
    first = i;
    if (found == 3) return std::string(path.substr(i + 1));
  }
  if (found == 2) return std::string(path.substr(first + 1));
  return std::string(path);
}

std::string EditorTitle(std::string_view path) {
  return "Brelith - " + (path.empty() ? std::string("New ADX File") : ShortPathForm(path));
}
