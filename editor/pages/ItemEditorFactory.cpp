// The page factory: one page class per object type, and the order in which
// the editor dialog creates them.
#include "ADXBitmaskEditor.h"
#include "ADXCmdMacroEditor.h"
#include "ADXDashEditor.h"
#include "ADXHeaderEditor.h"
#include "ADXHistogramEditor.h"
#include "ADXItemEditorBase.h"
#include "ADXListviewEditor.h"
#include "ADXLookupEditor.h"
#include "ADXLsn160BaudEditor.h"
#include "ADXLsnChatterEditor.h"
#include "ADXLsnSilenceEditor.h"
#include "ADXMonitorEditor.h"
#include "ADXSndCmdEditor.h"
#include "ADXTriggerEditor.h"
#include "ADXValueEditor.h"

std::unique_ptr<ADXItemEditorBase> CreateItemEditor(std::uint32_t objectType, QWidget* parent,
                                                    IEditorPageServices* services) {
  switch (objectType) {
    case 0:
      return std::make_unique<ADXHeaderEditor>(parent, services);
    case ADX_TYPE_VALUE:
      return std::make_unique<ADXValueEditor>(parent, services);
    case ADX_TYPE_BITMASK:
      return std::make_unique<ADXBitmaskEditor>(parent, services);
    case ADX_TYPE_LOOKUPTABLE:
      return std::make_unique<ADXLookupEditor>(parent, services);
    case ADX_TYPE_LISTVIEW:
      return std::make_unique<ADXListviewEditor>(parent, services);
    case ADX_TYPE_DASHBOARD:
      return std::make_unique<ADXDashEditor>(parent, services);
    case ADX_TYPE_HISTOGRAM:
      return std::make_unique<ADXHistogramEditor>(parent, services);
    case ADX_TYPE_MONITOR:
      return std::make_unique<ADXMonitorEditor>(parent, services);
    case ADX_TYPE_TRIGGER:
      return std::make_unique<ADXTriggerEditor>(parent, services);
    case ADX_TYPE_160BAUDLISTEN:
      return std::make_unique<ADXLsn160BaudEditor>(parent, services);
    case ADX_TYPE_LISTENSILENCE:
      return std::make_unique<ADXLsnSilenceEditor>(parent, services);
    case ADX_TYPE_LISTENCHATTER:
      return std::make_unique<ADXLsnChatterEditor>(parent, services);
    case ADX_TYPE_SENDCOMMAND:
      return std::make_unique<ADXSndCmdEditor>(parent, services);
    case ADX_TYPE_MACRO:
      return std::make_unique<ADXCmdMacroEditor>(parent, services);
    default:
      return nullptr;
  }
}

const std::vector<std::uint32_t>& ItemEditorCreationOrder() {
  static const std::vector<std::uint32_t> order{0,
                                                ADX_TYPE_VALUE,
                                                ADX_TYPE_BITMASK,
                                                ADX_TYPE_LOOKUPTABLE,
                                                ADX_TYPE_LISTVIEW,
                                                ADX_TYPE_DASHBOARD,
                                                ADX_TYPE_HISTOGRAM,
                                                ADX_TYPE_MONITOR,
                                                ADX_TYPE_TRIGGER,
                                                ADX_TYPE_160BAUDLISTEN,
                                                ADX_TYPE_LISTENSILENCE,
                                                ADX_TYPE_LISTENCHATTER,
                                                ADX_TYPE_SENDCOMMAND,
                                                ADX_TYPE_MACRO};
  return order;
}
