#pragma once
// A strip chart of one or more values over time.
//
// Thread contract: see ADXObject.h and ADXEntryArray.h.
#include <cstdint>

#include "definition/ADXEntryArray.h"
#include "definition/ADXObject.h"

struct MonitorSeries {
  // Sets the series' item and takes over its idhash (0 for none).
  void SetItem(ADXObject* object) {
    item = object;
    itemidhash = object ? object->idhash : 0;
  }

  std::uint32_t flags = 0;
  std::uint32_t linecolor = 0;  // 0x00BBGGRR
  std::uint32_t axiscolor = 0;  // 0x00BBGGRR
  std::uint8_t linewidth = 1;
  std::uint8_t linetype = 0;
  ADXObject* item = nullptr;  // not owned
  std::uint32_t itemidhash = 0;
};

class ADXMonitor : public ADXObject {
 public:
  ADXMonitor();
  // Writes the object as its ADX element; 0 for a failed write (1 for no writer).
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  int SetEntryCount(int n) { return entries.SetEntryCount(n); }
  int AppendEntry(const MonitorSeries& e) { return entries.AppendEntry(e); }
  int SetEntry(int index, const MonitorSeries& e) { return entries.SetEntry(index, e); }
  MonitorSeries* GetEntry(int index) { return entries.GetEntry(index); }
  const MonitorSeries* GetEntry(int index) const { return entries.GetEntry(index); }
  int RemoveEntry(int index) { return entries.RemoveEntry(index); }
  int EntryCount() const { return entries.Count(); }

  std::uint32_t flags = 0;
  ADXEntryArray<MonitorSeries> entries;
};
