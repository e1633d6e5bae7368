// The example definitions: they are what the saver writes, they survive a
// round trip unchanged, and the demo ECU definition decodes its reply.
//
// Run with VARNAK_WRITE_EXAMPLES=1 to rewrite examples/demo-ecu.adx from
// BuildDemoEcuDefinition after changing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXValue.h"
#include "tests/definition/AdxTestSupport.h"
#include "tests/definition/DemoEcuDefinition.h"

namespace {

const std::string kExamples = std::string(VARNAK_SOURCE_DIR) + "/examples";
const std::string kDemo = kExamples + "/demo-ecu.adx";

std::vector<std::string> ExampleFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
    if (entry.path().extension() == ".adx") files.push_back(entry.path().string());
  }
  return files;
}

TEST(ExampleFiles, DemoEcuFileIsTheGeneratedDefinition) {
  ADXDefinition def;
  BuildDemoEcuDefinition(def);
  if (std::getenv("VARNAK_WRITE_EXAMPLES") != nullptr) {
    ASSERT_EQ(SaveAdx(&def, kDemo.c_str(), nullptr), 1);
  }
  ScratchDir dir;
  ASSERT_EQ(SaveAdx(&def, dir.Path("demo.adx").c_str(), nullptr), 1);
  EXPECT_EQ(WithoutTimeComment(ReadWholeFile(dir.Path("demo.adx"))),
            WithoutTimeComment(ReadWholeFile(kDemo)));
}

TEST(ExampleFiles, EveryExampleRoundTripsToIdenticalBytes) {
  const std::vector<std::string> files = ExampleFiles();
  ASSERT_FALSE(files.empty());
  ScratchDir dir;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    ADXDefinition first;
    AdxLoadReport report;
    ASSERT_EQ(LoadAdx(&first, file.c_str(), nullptr, 0, nullptr, &report), 1) << report.message;
    EXPECT_TRUE(report.unresolved.empty()) << report.unresolved.front();
    ASSERT_EQ(SaveAdx(&first, dir.Path("a.adx").c_str(), nullptr), 1);
    ADXDefinition second;
    ASSERT_EQ(LoadAdx(&second, dir.Path("a.adx").c_str(), nullptr, 0, nullptr), 1);
    ExpectSameDefinition(first, second);
    ASSERT_EQ(SaveAdx(&second, dir.Path("b.adx").c_str(), nullptr), 1);
    const std::string a = WithoutTimeComment(ReadWholeFile(dir.Path("a.adx")));
    EXPECT_EQ(a, WithoutTimeComment(ReadWholeFile(dir.Path("b.adx"))));
    // The examples are written by the saver, so loading and saving keeps them as they are.
    EXPECT_EQ(a, WithoutTimeComment(ReadWholeFile(file)));
  }
}

// A data reply laid out as the demo ECU sends it.
std::vector<std::uint8_t> DemoReply() {
  std::vector<std::uint8_t> r(67, 0);
  r[0] = 0xF4;
  r[1] = 0x92;
  r[2] = 0x01;
  r[3] = 0x12;
  r[4] = 0x34;   // PROM ID
  r[5] = 0x03;   // running, closed loop
  r[6] = 0x80;   // check engine lamp
  r[7] = 160;    // coolant 80 C
  r[8] = 80;     // intake 20 C
  r[9] = 51;     // TPS 20 %
  r[10] = 100;   // 2500 rpm
  r[11] = 150;   // MAP 70 kPa
  r[12] = 100;   // O2 444 mV
  r[13] = 80;    // spark 20 degrees
  r[15] = 140;   // 14.0 V
  r[16] = 100;   // 100 km/h
  r[17] = 128;   // BLM neutral
  r[19] = 0x13;  // injector 5000 us
  r[20] = 0x88;
  r[25] = 225;   // baro 100 kPa
  r[26] = 0x04;  // converter clutch locked
  r[27] = 64;    // 800 rpm idle
  int sum = 0;
  for (int i = 0; i < 66; ++i) sum += r[static_cast<std::size_t>(i)];
  r[66] = static_cast<std::uint8_t>(-sum);
  return r;
}

std::string Shown(ADXDefinition& def, const char* id) {
  char text[128] = {};
  ADXObject* o = def.FindById(id);
  if (o == nullptr) return "<missing>";
  if (o->objectType == ADX_TYPE_VALUE) {
    static_cast<ADXValue*>(o)->Format(text, sizeof(text), &def, nullptr, 0, 0, 0);
  } else {
    static_cast<ADXBitmask*>(o)->TestBitsText(text, sizeof(text), &def, nullptr, 0, 0, 0);
  }
  return text;
}

TEST(ExampleFiles, DemoEcuDecodesItsReply) {
  ADXDefinition def;
  ASSERT_EQ(LoadAdx(&def, kDemo.c_str(), nullptr, 0, nullptr), 1);
  EXPECT_EQ(def.flags & kHeaderEcho, kHeaderEcho);
  EXPECT_EQ(def.baud, 8192);
  ASSERT_NE(def.monitorcmd, nullptr);
  ADXObject* data = def.FindById("DATA");
  ASSERT_NE(data, nullptr);
  const std::vector<std::uint8_t> reply = DemoReply();
  def.UpdateRawValues(reply.data(), reply.size(), data->idhash);

  EXPECT_EQ(Shown(def, "PROMID"), "1234");
  EXPECT_EQ(Shown(def, "COOLANT"), "80.0");
  EXPECT_EQ(Shown(def, "COOLANT_F"), "176");
  EXPECT_EQ(Shown(def, "COOLANT_WORD"), "Warm");
  EXPECT_EQ(Shown(def, "IAT"), "20.0");
  EXPECT_EQ(Shown(def, "IAT_SENSOR"), "20.0");
  EXPECT_EQ(Shown(def, "TPS"), "20.0");
  EXPECT_EQ(Shown(def, "RPM"), "2500");
  EXPECT_EQ(Shown(def, "MAP"), "70.0");
  EXPECT_EQ(Shown(def, "VACUUM"), "30.0");
  EXPECT_EQ(Shown(def, "LOAD"), "70");
  EXPECT_EQ(Shown(def, "O2"), "444");
  EXPECT_EQ(Shown(def, "SPARK"), "20.0");
  EXPECT_EQ(Shown(def, "BATT"), "14.0");
  EXPECT_EQ(Shown(def, "VSS_MPH"), "62");
  EXPECT_EQ(Shown(def, "BLM_TRIM"), "0.0");
  EXPECT_EQ(Shown(def, "INJ_PW"), "5.00");
  EXPECT_EQ(Shown(def, "INJ_DUTY"), "10.4");
  EXPECT_EQ(Shown(def, "IDLE_RPM"), "800");
  EXPECT_EQ(Shown(def, "ENGINE_RUN"), "Running");
  EXPECT_EQ(Shown(def, "CLOSED_LOOP"), "Closed");
  EXPECT_EQ(Shown(def, "FAN"), "Off");
  EXPECT_EQ(Shown(def, "CHECK_ENGINE"), "ON");
  EXPECT_EQ(Shown(def, "TCC"), "Locked");
}

}  // namespace
