// The page factory: one page class per object type, and the order in which
// the editor dialog creates them.
#include "editor/pages/ADXBitmaskEditor.h"
#include "editor/pages/ADXCmdMacroEditor.h"
#include "editor/pages/ADXDashEditor.h"
#include "editor/pages/ADXHeaderEditor.h"
#include "editor/pages/ADXHistogramEditor.h"
#include "editor/pages/ADXItemEditorBase.h"
#include "editor/pages/ADXListviewEditor.h"
#include "editor/pages/ADXLookupEditor.h"
#include "editor/pages/ADXLsn160BaudEditor.h"
#include "editor/pages/ADXLsnChatterEditor.h"
#include "editor/pages/ADXLsnSilenceEditor.h"
#include "editor/pages/ADXMonitorEditor.h"
#include "editor/pages/ADXSndCmdEditor.h"
#include "editor/pages/ADXTriggerEditor.h"
#include "editor/pages/ADXValueEditor.h"

namespace {

template <class Page>
std::unique_ptr<ADXItemEditorBase> MakePage(QWidget* parent, IEditorPageServices* services) {
  return std::make_unique<Page>(parent, services);
}

// The editor's page map, keyed by the kind (0: the header), in the order the
// pages are created.
struct PageKind {
  std::uint32_t type;
  std::unique_ptr<ADXItemEditorBase> (*make)(QWidget*, IEditorPageServices*);
};

constexpr PageKind kPages[] = {
    {0, MakePage<ADXHeaderEditor>},
    {ADX_TYPE_VALUE, MakePage<ADXValueEditor>},
    {ADX_TYPE_BITMASK, MakePage<ADXBitmaskEditor>},
    {ADX_TYPE_LOOKUPTABLE, MakePage<ADXLookupEditor>},
    {ADX_TYPE_LISTVIEW, MakePage<ADXListviewEditor>},
    {ADX_TYPE_DASHBOARD, MakePage<ADXDashEditor>},
    {ADX_TYPE_HISTOGRAM, MakePage<ADXHistogramEditor>},
    {ADX_TYPE_MONITOR, MakePage<ADXMonitorEditor>},
    {ADX_TYPE_TRIGGER, MakePage<ADXTriggerEditor>},
    {ADX_TYPE_160BAUDLISTEN, MakePage<ADXLsn160BaudEditor>},
    {ADX_TYPE_LISTENSILENCE, MakePage<ADXLsnSilenceEditor>},
    {ADX_TYPE_LISTENCHATTER, MakePage<ADXLsnChatterEditor>},
    {ADX_TYPE_SENDCOMMAND, MakePage<ADXSndCmdEditor>},
    {ADX_TYPE_MACRO, MakePage<ADXCmdMacroEditor>},
};

}  // namespace

std::unique_ptr<ADXItemEditorBase> CreateItemEditor(std::uint32_t objectType, QWidget* parent,
                                                    IEditorPageServices* services) {
  for (const PageKind& page : kPages) {
    if (page.type == objectType) return page.make(parent, services);
  }
  return nullptr;
}

const std::vector<std::uint32_t>& ItemEditorCreationOrder() {
  static const std::vector<std::uint32_t> order = [] {
    std::vector<std::uint32_t> types;
    for (const PageKind& page : kPages) types.push_back(page.type);
    return types;
  }();
  return order;
}
