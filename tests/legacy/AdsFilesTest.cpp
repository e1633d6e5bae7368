// Reading ADS files from disk: the example definitions, files that cannot
// be read, and damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "legacy/ALDLDefinition.h"
#include "legacy/AdsInput.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"

namespace {

const std::string kExamples = std::string(VARNAK_SOURCE_DIR) + "/examples/legacy/";

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A scratch file removed at the end of the test.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& content) {
    path_ = (std::filesystem::temp_directory_path() /
             ("varnak_ads_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".ads"))
                .string();
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

TEST(AdsFiles, ReadsThe8192BaudExample) {
  ALDLDefinition d;
  AdsMessageLog log;
  ASSERT_TRUE(LoadAds(kExamples + "ecu8192_port_injected_v6.ads", d, &log));
  for (const AdsMessage& m : log.Messages()) ADD_FAILURE() << m.ToString();

  EXPECT_FLOAT_EQ(d.formatVersion, 1.21f);
  EXPECT_EQ(d.header.title, "Port Injected V6 8192 Baud Stream");
  EXPECT_EQ(d.header.engine, "3.1L V6 MPFI");
  EXPECT_EQ(d.header.baud, 8192);
  EXPECT_EQ(d.header.flags, 2u);
  EXPECT_EQ(d.header.checksumId, 0xA5u);
  ASSERT_EQ(d.header.numDataCommands, 2);
  EXPECT_EQ(d.commands[0].BytesToSend(), (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x00, 0xB4}));
  EXPECT_EQ(d.commands[1].BytesToSend(), (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x06, 0xAE}));
  EXPECT_EQ(d.commands[0].payloadBytes, 64);
  EXPECT_EQ(d.commands[0].master, 1);
  EXPECT_EQ(d.commands[1].chainTo, 0);

  ASSERT_EQ(d.values.size(), 16u);
  ASSERT_EQ(d.bits.size(), 7u);
  ASSERT_EQ(d.tables.size(), 2u);

  const ALDLValue* coolant = d.FindValueByName("Coolant Temperature");
  ASSERT_NE(coolant, nullptr);
  ASSERT_NE(coolant->lookupTable, nullptr);
  EXPECT_EQ(coolant->lookupTable->name, "Coolant Temperature Curve");
  EXPECT_EQ(coolant->DisplayText(0), "-40.00");
  EXPECT_EQ(coolant->lookupTable->users.size(), 1u);
  // Carriage returns of the file's line ends do not upset the table data.
  const ALDLLookupTable& curve = *coolant->lookupTable;
  EXPECT_TRUE(curve.IsGiven(16));
  EXPECT_FALSE(curve.IsGiven(8));
  EXPECT_NEAR(curve.EntryValue(8), (curve.EntryValue(0) + curve.EntryValue(16)) / 2, 1e-4);
  EXPECT_TRUE(curve.IsGiven(255));

  EXPECT_EQ(d.FindValueByName("Engine Speed")->DisplayText(40), "1000.00");
  EXPECT_EQ(d.FindValueByName("Prom ID")->DisplayText(0x1A2B), "1A2B");
  EXPECT_EQ(d.FindValueByName("Reference Period RPM")->DisplayText(1966), "1000.04");
  // Table entry i answers raw i + 1.
  EXPECT_EQ(d.FindValueByName("Gear")->DisplayText(4), "3.00");
  EXPECT_EQ(d.FindValueByName("Engine Sensors")->separator, 1);
  EXPECT_EQ(d.FindBitByName("Malfunction Lamp")->alarmWhenSet, 1);
  EXPECT_EQ(d.FindBitByName("Fuel Pump Voltage OK")->clearText, "LOW");

  ASSERT_EQ(d.dash.gauges.size(), 4u);
  EXPECT_EQ(d.dash.gauges[0], coolant);
  ASSERT_EQ(d.dash.monitors.size(), 3u);
  EXPECT_FALSE(d.hadDuplicateIds);
}

TEST(AdsFiles, ReadsThe160BaudExample) {
  ALDLDefinition d;
  AdsMessageLog log;
  ASSERT_TRUE(LoadAds(kExamples + "ecu160_tbi_four.ads", d, &log));
  for (const AdsMessage& m : log.Messages()) ADD_FAILURE() << m.ToString();
  EXPECT_FLOAT_EQ(d.formatVersion, 1.20f);
  EXPECT_EQ(d.header.baud, 160);
  EXPECT_EQ(d.header.codeMask, "");
  ASSERT_EQ(d.header.numDataCommands, 1);
  EXPECT_EQ(d.commands[0].name, "160 Baud Data Stream");
  EXPECT_EQ(d.commands[0].payloadBytes, 20);
  EXPECT_TRUE(d.commands[0].BytesToSend().empty());
  EXPECT_EQ(d.values.size(), 5u);
  EXPECT_EQ(d.bits.size(), 2u);
  EXPECT_TRUE(d.tables.empty());
  EXPECT_EQ(d.FindValueByName("Coolant Temperature")->DisplayText(100), "35.00");
  EXPECT_EQ(d.dash.gauges.size(), 2u);
}

TEST(AdsFiles, ReadsTheFormat110ExampleWithoutItsFlags) {
  ALDLDefinition d;
  AdsMessageLog log;
  ASSERT_TRUE(LoadAds(kExamples + "ecu8192_tbi_v8_format110.ads", d, &log));
  for (const AdsMessage& m : log.Messages()) ADD_FAILURE() << m.ToString();
  EXPECT_EQ(d.header.baud, 8192);
  EXPECT_EQ(d.header.flags, 0u);  // written in the file, but 1.10 predates flags
  EXPECT_EQ(d.commands[0].BytesToSend(), (std::vector<uint8_t>{0xF4, 0x56, 0x01, 0xB5}));
  ASSERT_EQ(d.tables.size(), 1u);
  const ALDLLookupTable& knock = *d.tables[0];
  EXPECT_EQ(knock.EntryValue(4), 12.0);
  EXPECT_EQ(knock.EntryValue(3), 0.0);  // integer gaps are not filled
  EXPECT_FALSE(knock.IsGiven(3));
  EXPECT_EQ(d.FindValueByName("Knock Retard")->DisplayText(16), "45.00");  // entry 15
}

TEST(AdsFiles, UnreadablePathsFailAndLeaveDefaults) {
  ALDLDefinition d;
  ASSERT_TRUE(LoadAds(kExamples + "ecu160_tbi_four.ads", d));
  AdsMessageLog log;
  EXPECT_FALSE(LoadAds(kExamples + "no_such_file.ads", d, &log));
  EXPECT_TRUE(d.values.empty());
  EXPECT_EQ(d.header.baud, 8192);
  EXPECT_FLOAT_EQ(d.formatVersion, ALDLDefinition::kCurrentFormatVersion);
  ASSERT_EQ(log.Messages().size(), 1u);
  EXPECT_NE(log.Messages()[0].text.find("cannot open"), std::string::npos);
  EXPECT_NE(log.Messages()[0].text.find("no_such_file.ads"), std::string::npos);

  // A folder opens but cannot be read.
  AdsMessageLog folderLog;
  EXPECT_FALSE(LoadAds(kExamples, d, &folderLog));
  EXPECT_TRUE(d.values.empty());
  EXPECT_FALSE(folderLog.Empty());

  // An endless input stops at the size limit instead of reading forever.
  if (std::filesystem::exists("/dev/zero")) {
    AdsFileInput endless("/dev/zero", 100000);
    ASSERT_TRUE(endless.IsOpen());
    EXPECT_FALSE(ReadAds(endless, d));
    EXPECT_TRUE(endless.Failed());
    EXPECT_NE(endless.ReadError().find("too large"), std::string::npos);
  }
}

TEST(AdsFiles, AByteFFEndsTheFile) {
  std::string text = ReadWhole(kExamples + "ecu160_tbi_four.ads");
  const std::size_t bits = text.find("// BITS");
  ASSERT_NE(bits, std::string::npos);
  text.insert(bits, "\xFF");
  ScratchFile file(text);
  ALDLDefinition d;
  ASSERT_TRUE(LoadAds(file.Path(), d));
  EXPECT_EQ(d.values.size(), 5u);
  EXPECT_TRUE(d.bits.empty());
}

TEST(AdsFiles, EveryPrefixOfAnExampleReadsWithoutHarm) {
  const std::string text = ReadWhole(kExamples + "ecu8192_port_injected_v6.ads");
  ASSERT_FALSE(text.empty());
  std::size_t previousValues = 0;
  for (std::size_t length = 0; length <= text.size(); length += 7) {
    ALDLDefinition d;
    AdsMessageLog log;
    ASSERT_TRUE(ReadAdsText(std::string_view(text).substr(0, length), d, &log));
    // Items only ever accumulate as the file grows.
    EXPECT_GE(d.values.size(), previousValues);
    previousValues = d.values.size();
  }
}

TEST(AdsFiles, RandomDamageNeverBreaksTheReader) {
  const std::string original = ReadWhole(kExamples + "ecu8192_port_injected_v6.ads");
  std::mt19937 random(12345);
  const char structure[] = {'{', '}', '=', ';', ',', '\n', '\xFF', '\0', '-', '9'};
  for (int round = 0; round < 300; ++round) {
    std::string text = original;
    for (int edit = 0; edit < 20; ++edit) {
      std::size_t at = random() % text.size();
      if (random() % 2) {
        text[at] = structure[random() % sizeof structure];
      } else {
        text[at] = static_cast<char>(random() % 256);
      }
    }
    ALDLDefinition d;
    AdsMessageLog log;
    ReadAdsText(text, d, &log);
    EXPECT_LE(log.Messages().size(), AdsMessageLog::kMaxMessages + 1);
    for (const auto& v : d.values) EXPECT_LE(v->title.size(), ALDLValue::kTitleCapacity);
  }
}

TEST(AdsFiles, MessageFloodIsLimited) {
  std::string text = "{fDefFrmtVers=1.21;}";
  for (int i = 0; i < 2000; ++i) text += "{dwItemType=9;}";
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(text, d, &log);
  ASSERT_EQ(log.Messages().size(), AdsMessageLog::kMaxMessages + 1);
  EXPECT_NE(log.Messages().back().text.find("further messages"), std::string::npos);
  EXPECT_EQ(log.Messages()[0].ToString(), "line 1: record of unknown item type 9 skipped");
}
