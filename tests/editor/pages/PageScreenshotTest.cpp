// Every page rendered with the example definition loaded: the pictures land in
// page-shots/ beside the test for a person to look at, and each must show
// something other than a blank window.
#include "definition/ADXValue.h"

#include <QApplication>
#include <QImage>
#include <QTabWidget>

#include <filesystem>

#include "controls/containers/QvTabSheet.h"
#include "definition/ADXCommands.h"
#include "tests/editor/pages/PageTestSupport.h"
#include "tests/support/QtTestApp.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

int Colours(const QImage& image) {
  std::vector<QRgb> seen;
  for (int y = 0; y < image.height(); y += 4) {
    for (int x = 0; x < image.width(); x += 4) {
      const QRgb c = image.pixel(x, y);
      if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
      if (seen.size() > 16) return 17;
    }
  }
  return static_cast<int>(seen.size());
}

}  // namespace

TEST(PageScreenshots, EveryPageShowsTheExampleDefinition) {
  ADXDefinition def;
  const std::string path = std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx";
  char error[256] = {};
  ASSERT_EQ(LoadAdx(&def, path.c_str(), error, sizeof(error), nullptr), 1) << error;
  // Command kinds the example does not use.
  auto* trigger = Add<ADXCTrigger>(def, "REDRAW", "Redraw charts");
  trigger->triggertype = kTriggerMonitors | kTriggerDashboards;
  auto* quiet = Add<ADXCListenSilence>(def, "QUIET", "Wait for a quiet line");
  quiet->silencelen = 20;
  Add<ADXC160BaudListen>(def, "SLOW", "Slow data");

  std::filesystem::create_directories("page-shots");
  QWidget window;
  window.resize(400, 400);
  window.show();
  for (const std::uint32_t type : ItemEditorCreationOrder()) {
    auto page = CreateItemEditor(type, &window);
    ASSERT_NE(page, nullptr);
    ADXObject* object = type == 0 ? nullptr : def.GetObjectByType(type, 0);
    ASSERT_TRUE(type == 0 || object != nullptr) << type;
    ADXEditorItemRecord record;
    record.kind = type == 0 ? ADXEditorItemRecord::kHeader : ADXEditorItemRecord::kObject;
    record.object = object;
    ASSERT_EQ(page->Load(&def, &record), 1);
    auto* sheet = static_cast<QvTabSheet*>(page->PageWindow());
    sheet->show();
    for (int tab = 0; tab < sheet->pageCount(); ++tab) {
      sheet->selectPage(tab);
      QApplication::processEvents();
      const QImage image = sheet->grab().toImage();
      const std::string name = "page-shots/page-" + std::to_string(type) + "-" + std::to_string(tab) + ".png";
      EXPECT_TRUE(image.save(QString::fromStdString(name))) << name;
      EXPECT_GT(Colours(image), 3) << name;
    }
    sheet->hide();
  }
}
