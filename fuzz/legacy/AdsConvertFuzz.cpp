// Feeds arbitrary bytes through the whole import: the ADS reader, the
// conversion to ADX and the ADX saver, then loads the saved file back. None
// of it may crash, hang or overrun; the conversion must produce the objects
// its summary counts, and the saved file must load back with the same
// objects in the same order.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXListView.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"
#include "legacy/AdsToAdx.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// One scratch folder per process, removed when the process ends.
class ScratchFile {
 public:
  ScratchFile() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/varnak-adsfuzz-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
      folder_ = pattern;
      path_ = folder_ + "/out.adx";
    }
  }
  ~ScratchFile() {
    if (folder_.empty()) return;
    unlink(path_.c_str());
    rmdir(folder_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScratchFile scratch;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ALDLDefinition legacy;
  AdsMessageLog log;
  ReadAdsText(text, legacy, &log);

  ADXDefinition converted;
  AdsConversionSummary summary;
  Check(ConvertAdsToAdx(&converted, &legacy, &summary) == 1);
  const std::size_t expected = static_cast<std::size_t>(summary.commands + summary.tables + summary.values +
                                                        summary.bits + (summary.hasListView ? 1 : 0));
  Check(converted.ObjectCount() == expected);
  Check(summary.commands <= static_cast<int>(ALDLDefinition::kMaxDataCommands));
  Check(converted.monitorcmd == nullptr || converted.IndexOf(converted.monitorcmd) >= 0);
  if (summary.hasListView) {
    auto* view = dynamic_cast<ADXListView*>(converted.ObjectAt(converted.ObjectCount() - 1));
    Check(view != nullptr && view->EntryCount() == summary.listRows);
    for (int i = 0; i < view->EntryCount(); ++i) {
      const ADXObject* item = view->GetEntry(i)->item;
      Check(item != nullptr && item->IsType(ADX_MASK_ITEMS) && converted.IndexOf(item) >= 0);
    }
  }

  if (scratch.Path().empty()) return 0;
  Check(SaveAdx(&converted, scratch.Path().c_str(), nullptr) == 1);
  ADXDefinition loaded;
  AdxLoadReport report;
  Check(LoadAdx(&loaded, scratch.Path().c_str(), nullptr, 0, nullptr, &report) == 1);
  Check(loaded.ObjectCount() == converted.ObjectCount());
  for (std::size_t i = 0; i < loaded.ObjectCount(); ++i) {
    Check(loaded.ObjectAt(i)->objectType == converted.ObjectAt(i)->objectType);
    Check(std::strcmp(loaded.ObjectAt(i)->id, converted.ObjectAt(i)->id) == 0);
  }
  Check(loaded.baud == converted.baud);
  Check((loaded.monitorcmd == nullptr) == (converted.monitorcmd == nullptr));
  return 0;
}
