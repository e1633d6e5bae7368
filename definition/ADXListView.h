#pragma once
// A list of item rows and separator rows shown in the Item Lists pane.
//
// Thread contract: see ADXObject.h and ADXEntryArray.h.
#include <cstdint>
#include <string>

#include "definition/ADXEntryArray.h"
#include "definition/ADXObject.h"

constexpr std::uint32_t kListEntryBold = 0x1;  // "Bold (Separator)"
constexpr int kListEntryItem = 0;
constexpr int kListEntrySeparator = 1;
constexpr std::size_t kListEntryTitleMax = 127;

struct ListViewEntry {
  ListViewEntry() = default;
  ListViewEntry(const ListViewEntry& other);
  ListViewEntry& operator=(const ListViewEntry& other);

  // Copies at most 127 characters of the text.
  void SetTitle(const char* text, std::size_t length);
  // Sets the row's item and takes over its idhash (0 for none).
  void SetItem(ADXObject* object);

  std::uint32_t flags = 0;
  std::int32_t entrytype = kListEntryItem;
  std::uint32_t itemidhash = 0;
  std::string title;          // at most 127 characters; empty = none
  ADXObject* item = nullptr;  // not owned
  std::uint32_t color = 0;    // 0x00BBGGRR, 0 = default
};

class ADXListView : public ADXObject {
 public:
  ADXListView();
  // Writes the object as its ADX element; 0 for a failed write (1 for no writer).
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  int SetEntryCount(int n) { return entries.SetEntryCount(n); }
  int AppendEntry(const ListViewEntry& e) { return entries.AppendEntry(e); }
  int SetEntry(int index, const ListViewEntry& e) { return entries.SetEntry(index, e); }
  ListViewEntry* GetEntry(int index) { return entries.GetEntry(index); }
  const ListViewEntry* GetEntry(int index) const { return entries.GetEntry(index); }
  int RemoveEntry(int index) { return entries.RemoveEntry(index); }
  int EntryCount() const { return entries.Count(); }

  std::uint32_t flags = 0;
  ADXEntryArray<ListViewEntry> entries;
};
