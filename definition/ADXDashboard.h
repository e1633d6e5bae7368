#pragma once
// A page of gauges, each placed by percentages of the page.
//
// Thread contract: see ADXObject.h and ADXEntryArray.h.
#include <cstdint>

#include "definition/ADXEntryArray.h"
#include "definition/ADXObject.h"

struct DashboardEntry {
  // Sets the gauge's item and takes over its idhash (0 for none).
  void SetItem(ADXObject* object) {
    item = object;
    itemidhash = object ? object->idhash : 0;
  }
  // Run-time state is never stored and never survives a resize.
  void ResetRunTime() { control = nullptr; }

  std::uint32_t flags = 0;
  std::int32_t gaugetype = 0;
  std::int16_t top = 0;
  std::int16_t left = 0;
  std::int16_t bottom = 100;
  std::int16_t right = 100;
  ADXObject* item = nullptr;  // not owned
  void* control = nullptr;    // run-time: the gauge shown for this entry, owned by the pane
  std::uint32_t itemidhash = 0;
};

class ADXDashboard : public ADXObject {
 public:
  ADXDashboard();
  // Writes the object as its ADX element; 0 for a failed write (1 for no writer).
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  int SetEntryCount(int n) { return entries.SetEntryCount(n); }
  int AppendEntry(const DashboardEntry& e) { return entries.AppendEntry(e); }
  int SetEntry(int index, const DashboardEntry& e) { return entries.SetEntry(index, e); }
  DashboardEntry* GetEntry(int index) { return entries.GetEntry(index); }
  const DashboardEntry* GetEntry(int index) const { return entries.GetEntry(index); }
  int RemoveEntry(int index) { return entries.RemoveEntry(index); }
  int EntryCount() const { return entries.Count(); }

  std::uint32_t flags = 0;
  ADXEntryArray<DashboardEntry> entries;
};
