#include "editor/dialog/DependencyRepair.h"

#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"

namespace {

constexpr std::size_t kTitleMax = 255;
constexpr std::uint32_t kRepairedEntryColor = 0x000000FFu;  // red, 0x00BBGGRR

void AppendBrokenSuffix(ADXObject& object) {
  std::string title = object.title + kBrokenDependencySuffix;
  if (title.size() > kTitleMax) title.resize(kTitleMax);
  object.SetTitle(title.data(), title.size());
}

bool RepairListView(ADXListView& view, const ADXObject* deleted) {
  bool repaired = false;
  for (int i = 0; i < view.EntryCount(); ++i) {
    ListViewEntry* entry = view.GetEntry(i);
    if (entry == nullptr || entry->entrytype == kListEntrySeparator || entry->item != deleted) continue;
    entry->SetItem(nullptr);
    entry->entrytype = kListEntrySeparator;
    entry->flags |= kListEntryBold;
    entry->color = kRepairedEntryColor;
    entry->SetTitle(kRemovedEntryText, std::char_traits<char>::length(kRemovedEntryText));
    repaired = true;
  }
  return repaired;
}

void RepairMacro(ADXMacro& macro, const ADXObject* deleted) {
  for (MacroNode& node : macro.nodes) {
    if (node.command == deleted) node.SetCommand(nullptr);
  }
}

// Pointers that the repair table leaves alone but that would dangle once the
// object is destroyed; saving or showing them would read freed memory.
void ClearPointers(ADXDefinition& definition, const ADXObject* deleted) {
  if (definition.connectcmd == deleted) definition.connectcmd = nullptr;
  if (definition.monitorcmd == deleted) definition.monitorcmd = nullptr;
  if (definition.disconnectcmd == deleted) definition.disconnectcmd = nullptr;
  for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
    ADXObject* object = definition.ObjectAt(i);
    if (object == nullptr) continue;
    switch (object->objectType) {
      case ADX_TYPE_VALUE: {
        auto* value = static_cast<ADXValue*>(object);
        if (value->lookup == deleted) {
          value->lookup = nullptr;
          value->lookupidhash = 0;
        }
        break;
      }
      case ADX_TYPE_DASHBOARD:
        for (DashboardEntry& entry : static_cast<ADXDashboard*>(object)->entries) {
          if (entry.item == deleted) entry.SetItem(nullptr);
        }
        break;
      case ADX_TYPE_MONITOR:
        for (MonitorSeries& series : static_cast<ADXMonitor*>(object)->entries) {
          if (series.item == deleted) series.SetItem(nullptr);
        }
        break;
      case ADX_TYPE_HISTOGRAM: {
        auto* histogram = static_cast<ADXHistogram*>(object);
        if (histogram->xvalue == deleted) histogram->SetXValue(nullptr);
        if (histogram->yvalue == deleted) histogram->SetYValue(nullptr);
        if (histogram->zvalue == deleted) histogram->SetZValue(nullptr);
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

DependencyRepairResult RepairDependants(ADXDefinition& definition, const ADXObject* deleted) {
  DependencyRepairResult result;
  if (deleted == nullptr) return result;
  int index = -1;
  for (ADXObject* referrer = definition.FindReferrer(deleted, 0, &index); referrer != nullptr;
       referrer = definition.FindReferrer(deleted, index + 1, &index)) {
    switch (referrer->objectType) {
      case ADX_TYPE_VALUE:
      case ADX_TYPE_BITMASK:
        AppendBrokenSuffix(*referrer);
        result.manualRemoval = true;
        break;
      case ADX_TYPE_LISTVIEW:
        if (RepairListView(*static_cast<ADXListView*>(referrer), deleted)) result.listViewRepaired = true;
        break;
      case ADX_TYPE_MACRO:
        RepairMacro(*static_cast<ADXMacro*>(referrer), deleted);
        break;
      default:
        break;
    }
  }
  ClearPointers(definition, deleted);
  return result;
}

std::string DependencyMessage(const DependencyRepairResult& result) {
  std::string message;
  if (result.listViewRepaired) message = "Dependencies on this object were removed.";
  if (result.manualRemoval) message += " There are more dependencies\nthat you must remove manually.";
  return message;
}
