#include "definition/ADXKinds.h"

#include <array>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"

namespace {

template <class T>
std::unique_ptr<ADXObject> Make() {
  return std::make_unique<T>();
}

constexpr std::array<AdxKind, 13> kKinds{{
    {ADX_TYPE_VALUE, "ADXVALUE", "value", "Value", Make<ADXValue>},
    {ADX_TYPE_BITMASK, "ADXBITMASK", "bitmask", "Bitmask", Make<ADXBitmask>},
    {ADX_TYPE_LOOKUPTABLE, "ADXLOOKUPTABLE", "lookuptable", "Lookup table", Make<ADXLookupTable>},
    {ADX_TYPE_LISTVIEW, "ADXLISTVIEW", "listview", "Item list", Make<ADXListView>},
    {ADX_TYPE_HISTOGRAM, "ADXHISTOGRAM", "histogram", "Histogram", Make<ADXHistogram>},
    {ADX_TYPE_DASHBOARD, "ADXDASHBOARD", "dashboard", "Dashboard", Make<ADXDashboard>},
    {ADX_TYPE_MONITOR, "ADXMONITOR", "monitor", "Monitor", Make<ADXMonitor>},
    {ADX_TYPE_LISTENSILENCE, "ADXCLISTENSILENCE", "silence", "Listen for silence", Make<ADXCListenSilence>},
    {ADX_TYPE_LISTENCHATTER, "ADXCLISTENCHATTER", "chatter", "Listen for chatter", Make<ADXCListenChatter>},
    {ADX_TYPE_160BAUDLISTEN, "ADXCLISTEN160BAUD", "listen160", "Listen for 160 baud data",
     Make<ADXC160BaudListen>},
    {ADX_TYPE_SENDCOMMAND, "ADXCSENDCOMMAND", "send", "Send command", Make<ADXCSendCommand>},
    {ADX_TYPE_TRIGGER, "ADXCTRIGGER", "trigger", "Trigger", Make<ADXCTrigger>},
    {ADX_TYPE_MACRO, "ADXMACRO", "macro", "Macro", Make<ADXMacro>},
}};

}  // namespace

bool AdxNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::span<const AdxKind> AdxKinds() {
  return kKinds;
}

const AdxKind* FindAdxKind(std::uint32_t type) {
  for (const AdxKind& kind : kKinds) {
    if (kind.type == type) return &kind;
  }
  return nullptr;
}

const AdxKind* FindAdxKindByElement(std::string_view element) {
  for (const AdxKind& kind : kKinds) {
    if (AdxNamesEqual(kind.element, element)) return &kind;
  }
  return nullptr;
}

std::unique_ptr<ADXObject> MakeAdxObject(std::uint32_t type) {
  const AdxKind* kind = FindAdxKind(type);
  return kind != nullptr ? kind->make() : nullptr;
}
