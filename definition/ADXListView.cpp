#include "definition/ADXListView.h"

#include "definition/ADXText.h"

namespace {
void CopyBoundedTitle(std::string& to, const std::string& from) {
  AssignText(to, from.data(), from.size() < kListEntryTitleMax ? from.size() : kListEntryTitleMax);
}
}  // namespace

ListViewEntry::ListViewEntry(const ListViewEntry& other)
    : flags(other.flags),
      entrytype(other.entrytype),
      itemidhash(other.itemidhash),
      item(other.item),
      color(other.color) {
  CopyBoundedTitle(title, other.title);
}

ListViewEntry& ListViewEntry::operator=(const ListViewEntry& other) {
  if (this != &other) {
    flags = other.flags;
    entrytype = other.entrytype;
    itemidhash = other.itemidhash;
    item = other.item;
    color = other.color;
    CopyBoundedTitle(title, other.title);
  }
  return *this;
}

void ListViewEntry::SetTitle(const char* text, std::size_t length) {
  AssignText(title, text, length < kListEntryTitleMax ? length : kListEntryTitleMax);
}

void ListViewEntry::SetItem(ADXObject* object) {
  item = object;
  itemidhash = object ? object->idhash : 0;
}

ADXListView::ADXListView() {
  objectType = ADX_TYPE_LISTVIEW;
}
