// Importing the example ADS files: each is read, converted, saved as ADX and
// loaded back, and the loaded objects must be exactly what the conversion
// rules give for that input. Also the import's file handling: unreadable
// input, existing output, and the committed example ADX files.
#include "legacy/AdsImport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"
#include "tests/support/ResultPrinting.h"

namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(VARNAK_SOURCE_DIR) + "/examples/legacy/";
const char* const kExampleNames[] = {"ecu160_tbi_four", "ecu8192_port_injected_v6",
                                     "ecu8192_tbi_v8_format110"};

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "varnak-import-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  bool Valid() const { return !path_.empty(); }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Equation(const ADXValue& v) {
  char buffer[256] = {};
  v.GetEquation(buffer, sizeof buffer);
  return buffer;
}

std::string Id(uint32_t uniqueId) {
  return std::to_string(static_cast<int32_t>(uniqueId));
}

std::string Cut(const std::string& text, std::size_t limit) {
  return text.substr(0, limit);
}

float Limit(const ALDLValue& value, uint32_t raw) {
  return std::strtof(value.DisplayText(raw).c_str(), nullptr);
}

// The equation the conversion rules give for an operation.
std::string ExpectedEquation(const ALDLValue& v) {
  char text[200];
  switch (v.operation) {
    case 0:
    case 2:
    case 3:
      if (v.factor == 1.0 && v.offset == 0.0) return "X";
      std::snprintf(text, sizeof text, "X * %f + %f", v.factor, v.offset);
      return text;
    case 1:
      std::snprintf(text, sizeof text, "%f / X + %f", v.factor, v.offset);
      return text;
    default:
      return "X";
  }
}

OutputType ExpectedOutputType(uint32_t operation) {
  switch (operation) {
    case 2:
      return kOutputHex;
    case 3:
      return kOutputInteger;
    default:
      return kOutputFloat;
  }
}

// Checks a loaded ADX definition against the conversion rules applied to the
// legacy definition, object by object and field by field.
void ExpectConversionOf(const ALDLDefinition& legacy, const ADXDefinition& adx) {
  EXPECT_EQ(adx.author, Cut(legacy.header.author, 50));
  EXPECT_EQ(adx.desc, Cut(legacy.header.comments, 256));
  EXPECT_EQ(adx.baud, legacy.header.baud == 160 ? 4800 : legacy.header.baud);
  EXPECT_EQ(adx.userversion, "");
  EXPECT_EQ(adx.flags, 0u);
  EXPECT_EQ(adx.connectcmd, nullptr);
  EXPECT_EQ(adx.disconnectcmd, nullptr);

  std::size_t at = 0;  // walks the object list in its required order
  auto next = [&]() { return adx.ObjectAt(at++); };

  if (legacy.header.baud == 160) {
    auto* listen = dynamic_cast<ADXC160BaudListen*>(next());
    ASSERT_NE(listen, nullptr);
    EXPECT_STREQ(listen->id, "160BAUD");
    EXPECT_EQ(listen->title, legacy.commands[0].name);
    EXPECT_EQ(listen->flags, 0u);
    EXPECT_EQ(listen->packetsize, legacy.commands[0].payloadBytes);
    EXPECT_EQ(adx.monitorcmd, listen);
  } else {
    const ADXObject* monitor = nullptr;
    for (int i = 0; i < legacy.header.numDataCommands; ++i) {
      const ALDLCommand& c = legacy.commands[static_cast<std::size_t>(i)];
      auto* send = dynamic_cast<ADXCSendCommand*>(next());
      ASSERT_NE(send, nullptr);
      EXPECT_EQ(std::string(send->id), "COMMAND" + std::to_string(i));
      EXPECT_EQ(send->title, c.name);
      EXPECT_EQ(send->flags, 1u);
      std::vector<uint8_t> bytes;
      if (c.totalBytes >= 1 && c.totalBytes <= 12)
        bytes.assign(c.commandBytes.begin(), c.commandBytes.begin() + c.totalBytes);
      if (c.checksum && !bytes.empty()) {
        unsigned sum = 0;
        for (std::size_t k = 0; k + 1 < bytes.size(); ++k) sum += bytes[k];
        bytes.back() = static_cast<uint8_t>(-sum);
      }
      EXPECT_EQ(send->bytes, bytes);
      EXPECT_EQ(send->packetoffset, c.bytesBeforePayload);
      EXPECT_EQ(send->packetsize, c.payloadBytes);
      EXPECT_EQ(send->replysize, c.bytesBeforePayload + c.payloadBytes);
      EXPECT_EQ(send->replytimeout, 200);
      if (c.master) monitor = send;
    }
    EXPECT_EQ(adx.monitorcmd, monitor);
  }

  std::map<uint32_t, const ADXLookupTable*> tables;
  for (const auto& t : legacy.tables) {
    auto* table = dynamic_cast<ADXLookupTable*>(next());
    ASSERT_NE(table, nullptr);
    tables[t->uniqueId] = table;
    EXPECT_EQ(std::string(table->id), Id(t->uniqueId));
    EXPECT_EQ(table->title, t->name);
    EXPECT_EQ(table->desc, Cut(t->comments, 256));
    EXPECT_EQ(table->inputtype, 1);
    EXPECT_EQ(table->outputtype, t->dataType == 1 ? 1 : 3);
    std::size_t entry = 0;
    for (std::size_t i = 0; i < t->EntryCount(); ++i) {
      if (!t->IsGiven(i)) continue;
      ASSERT_LT(entry, table->entries.size());
      EXPECT_EQ(table->entries[entry].input, static_cast<float>(i + 1));
      EXPECT_EQ(table->entries[entry].output, static_cast<float>(t->EntryValue(i)));
      ++entry;
    }
    EXPECT_EQ(entry, table->entries.size()) << table->title;
  }

  std::vector<const ADXObject*> rows;
  for (const auto& v : legacy.values) {
    if (v->separator) continue;
    auto* value = dynamic_cast<ADXValue*>(next());
    ASSERT_NE(value, nullptr);
    rows.push_back(value);
    SCOPED_TRACE(v->title);
    EXPECT_EQ(std::string(value->id), Id(v->uniqueId));
    EXPECT_EQ(value->title, v->title);
    EXPECT_EQ(value->units, v->units);
    EXPECT_EQ(value->packetoffset, v->byteNumber - 1u);
    EXPECT_EQ(value->sizeinbits, static_cast<int32_t>(v->sizeInBits));
    EXPECT_FLOAT_EQ(value->alarmlow, Limit(*v, v->alarmLow));
    EXPECT_FLOAT_EQ(value->alarmhigh, Limit(*v, v->alarmHigh));
    EXPECT_FLOAT_EQ(value->rangelow, Limit(*v, static_cast<uint32_t>(v->rangeLow)));
    EXPECT_FLOAT_EQ(value->rangehigh, Limit(*v, static_cast<uint32_t>(v->rangeHigh)));
    EXPECT_EQ(value->flags, (v->alarmLowEnabled ? 0x8u : 0u) | (v->alarmHighEnabled ? 0x4u : 0u));
    EXPECT_EQ(Equation(*value), ExpectedEquation(*v));
    EXPECT_EQ(value->outputtype, ExpectedOutputType(v->operation));
    ASSERT_EQ(value->VariableCount(), 1);
    EXPECT_EQ(value->GetVariable(0)->varID, 'X');
    EXPECT_EQ(value->GetVariable(0)->kind, kVariableNative);
    const ADXLookupTable* table = nullptr;
    if (v->operation == 6 && tables.count(static_cast<uint32_t>(v->lookupTableId))) {
      table = tables[static_cast<uint32_t>(v->lookupTableId)];
    }
    EXPECT_EQ(value->lookup, table);
    EXPECT_EQ(value->parentcmdidhash, 0u);
  }
  for (const auto& b : legacy.bits) {
    if (b->separator) continue;
    auto* bit = dynamic_cast<ADXBitmask*>(next());
    ASSERT_NE(bit, nullptr);
    rows.push_back(bit);
    SCOPED_TRACE(b->title);
    EXPECT_EQ(std::string(bit->id), Id(b->uniqueId));
    EXPECT_EQ(bit->title, b->title);
    EXPECT_EQ(bit->packetoffset, b->byteNumber - 1u);
    EXPECT_EQ(bit->sizeinbits, 8);
    EXPECT_EQ(bit->operand, 1u << (b->bitNumber % 32));
    EXPECT_EQ(bit->result, 1u << (b->bitNumber % 32));
    EXPECT_EQ(bit->bitop, 0);
    EXPECT_EQ(bit->truestring, b->setText);
    EXPECT_EQ(bit->falsestring, b->clearText);
    EXPECT_EQ(bit->flags, (b->alarmWhenSet ? 0x4u : 0u) | (b->alarmWhenClear ? 0x8u : 0u));
  }

  if (!rows.empty()) {
    auto* view = dynamic_cast<ADXListView*>(next());
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->id, "DEFAULTVIEW");
    EXPECT_EQ(view->title, "Default View");
    ASSERT_EQ(static_cast<std::size_t>(view->EntryCount()), rows.size());
    for (int i = 0; i < view->EntryCount(); ++i) {
      EXPECT_EQ(view->GetEntry(i)->entrytype, 0);
      EXPECT_EQ(view->GetEntry(i)->item, rows[static_cast<std::size_t>(i)]);
    }
  }
  EXPECT_EQ(at, adx.ObjectCount());
}

struct Imported {
  ALDLDefinition legacy;
  ADXDefinition adx;
  AdsImportResult result;
};

// Imports an example into dir and loads the ADX file back.
void ImportExample(const TempDir& dir, const std::string& name, Imported& out) {
  AdsMessageLog log;
  ASSERT_TRUE(LoadAds(kExamples + name + ".ads", out.legacy, &log));
  const std::string adxPath = dir.File(name + ".adx");
  out.result = ImportAdsFile(kExamples + name + ".ads", adxPath, false);
  ASSERT_TRUE(out.result.ok) << out.result.error;
  AdxLoadReport report;
  ASSERT_EQ(LoadAdx(&out.adx, adxPath.c_str(), nullptr, 0, nullptr, &report), 1) << report.message;
  EXPECT_TRUE(report.unresolved.empty());
}

}  // namespace

TEST(AdsImport, EveryExampleLoadsBackAsTheRulesSay) {
  TempDir dir;
  ASSERT_TRUE(dir.Valid());
  for (const char* name : kExampleNames) {
    SCOPED_TRACE(name);
    Imported imported;
    ImportExample(dir, name, imported);
    ExpectConversionOf(imported.legacy, imported.adx);
    EXPECT_TRUE(imported.result.warnings.empty()) << imported.result.warnings.front();
  }
}

TEST(AdsImport, ThePortInjectedExampleInDetail) {
  TempDir dir;
  Imported im;
  ImportExample(dir, "ecu8192_port_injected_v6", im);
  const ADXDefinition& d = im.adx;
  EXPECT_EQ(ImportSummaryLine(im.result.summary), "2 commands, 15 values, 6 bits, 2 tables converted");
  EXPECT_EQ(d.baud, 8192);
  EXPECT_EQ(d.author, "Varnak project examples");
  auto* message0 = dynamic_cast<ADXCSendCommand*>(d.FindById("COMMAND0"));
  ASSERT_NE(message0, nullptr);
  EXPECT_EQ(message0->bytes, (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x00, 0xB4}));
  EXPECT_EQ(message0->replysize, 67);
  EXPECT_EQ(d.monitorcmd, message0);
  auto* message6 = dynamic_cast<ADXCSendCommand*>(d.FindById("COMMAND1"));
  ASSERT_NE(message6, nullptr);
  EXPECT_EQ(message6->bytes, (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x06, 0xAE}));

  auto* gear = dynamic_cast<ADXLookupTable*>(d.FindById("51"));
  ASSERT_NE(gear, nullptr);
  EXPECT_EQ(gear->outputtype, 1);
  std::vector<std::pair<float, float>> entries;
  for (const LookupEntry& e : gear->entries) entries.emplace_back(e.input, e.output);
  EXPECT_EQ(entries, (std::vector<std::pair<float, float>>{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {8, 0}}));

  auto* rpm = dynamic_cast<ADXValue*>(d.FindById("1"));
  ASSERT_NE(rpm, nullptr);
  EXPECT_EQ(Equation(*rpm), "X * 25.000000 + 0.000000");
  EXPECT_EQ(rpm->packetoffset, 36u);
  EXPECT_FLOAT_EQ(rpm->alarmhigh, 6000.0f);
  EXPECT_EQ(rpm->flags, 0x4u);
  auto* battery = dynamic_cast<ADXValue*>(d.FindById("6"));
  EXPECT_EQ(battery->flags, 0xCu);
  EXPECT_FLOAT_EQ(battery->alarmlow, 11.0f);
  EXPECT_FLOAT_EQ(battery->alarmhigh, 16.0f);
  EXPECT_EQ(Equation(*dynamic_cast<ADXValue*>(d.FindById("10"))), "1966080.000000 / X + 0.000000");
  auto* prom = dynamic_cast<ADXValue*>(d.FindById("13"));
  EXPECT_EQ(prom->outputtype, kOutputHex);
  EXPECT_EQ(prom->sizeinbits, 16);
  EXPECT_EQ(d.FindById("7"), nullptr);   // the separator value
  EXPECT_EQ(d.FindById("24"), nullptr);  // the separator bit
  auto* pump = dynamic_cast<ADXBitmask*>(d.FindById("26"));
  ASSERT_NE(pump, nullptr);
  EXPECT_EQ(pump->operand, 0x20u);
  EXPECT_EQ(pump->flags, 0x8u);
  EXPECT_EQ(pump->falsestring, "LOW");

  // The gear value decodes through its table like the legacy display does.
  auto* gearValue = dynamic_cast<ADXValue*>(d.FindById("14"));
  ASSERT_NE(gearValue, nullptr);
  EXPECT_EQ(gearValue->lookup, gear);
  for (int32_t raw = 1; raw <= 5; ++raw) {
    gearValue->SetLastRaw(raw);
    EXPECT_DOUBLE_EQ(gearValue->Convert(&d, nullptr, 0, 0, 0),
                     im.legacy.FindValueById(14)->NumericValue(static_cast<uint32_t>(raw)));
  }
}

TEST(AdsImport, TheSlowBaudExampleListens) {
  TempDir dir;
  Imported im;
  ImportExample(dir, "ecu160_tbi_four", im);
  EXPECT_EQ(ImportSummaryLine(im.result.summary), "1 command, 5 values, 2 bits, 0 tables converted");
  EXPECT_EQ(im.adx.baud, 4800);
  auto* listen = dynamic_cast<ADXC160BaudListen*>(im.adx.FindById("160BAUD"));
  ASSERT_NE(listen, nullptr);
  EXPECT_EQ(listen->title, "160 Baud Data Stream");
  EXPECT_EQ(listen->packetsize, 20);
  EXPECT_EQ(im.adx.monitorcmd, listen);
  auto* loop = dynamic_cast<ADXBitmask*>(im.adx.FindById("10"));
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->operand, 0x80u);
  EXPECT_EQ(loop->truestring, "Closed");
  auto* view = dynamic_cast<ADXListView*>(im.adx.FindById("DEFAULTVIEW"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->EntryCount(), 7);
}

// The ADX files kept beside the examples hold what importing the examples
// gives today.
TEST(AdsImport, TheCommittedExampleFilesMatchAFreshImport) {
  TempDir dir;
  for (const char* name : kExampleNames) {
    SCOPED_TRACE(name);
    Imported im;
    ImportExample(dir, name, im);
    ADXDefinition committed;
    AdxLoadReport report;
    ASSERT_EQ(LoadAdx(&committed, (kExamples + name + ".adx").c_str(), nullptr, 0, nullptr, &report), 1)
        << report.message;
    ExpectConversionOf(im.legacy, committed);
  }
}

TEST(AdsImport, AnExistingOutputIsReplacedOnlyWhenForced) {
  TempDir dir;
  const std::string in = kExamples + "ecu160_tbi_four.ads";
  const std::string out = dir.File("out.adx");
  WriteFile(out, "keep me");
  AdsImportResult refused = ImportAdsFile(in, out, false);
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.error.find("already exists"), std::string::npos) << refused.error;
  EXPECT_NE(refused.error.find("--force"), std::string::npos);
  EXPECT_EQ(ReadFile(out), "keep me");

  AdsImportResult forced = ImportAdsFile(in, out, true);
  ASSERT_TRUE(forced.ok) << forced.error;
  ADXDefinition loaded;
  EXPECT_EQ(LoadAdx(&loaded, out.c_str(), nullptr, 0, nullptr), 1);
  EXPECT_NE(loaded.FindById("160BAUD"), nullptr);
}

TEST(AdsImport, UnreadableInputOrUnwritableOutputFailsClearly) {
  TempDir dir;
  const std::string out = dir.File("out.adx");

  AdsImportResult missing = ImportAdsFile(dir.File("missing.ads"), out, false);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("missing.ads"), std::string::npos) << missing.error;
  EXPECT_FALSE(fs::exists(out));

  // A file without any record is no definition, even though it can be read.
  WriteFile(dir.File("notes.ads"), "just some text, no records\n");
  AdsImportResult notAds = ImportAdsFile(dir.File("notes.ads"), out, false);
  EXPECT_FALSE(notAds.ok);
  EXPECT_NE(notAds.error.find("not an ADS definition"), std::string::npos) << notAds.error;
  EXPECT_FALSE(fs::exists(out));

  // A folder that does not exist: nothing is written anywhere.
  const std::string nowhere = dir.File("no/such/folder/out.adx");
  AdsImportResult unwritable = ImportAdsFile(kExamples + "ecu160_tbi_four.ads", nowhere, false);
  EXPECT_FALSE(unwritable.ok);
  EXPECT_NE(unwritable.error.find("cannot write"), std::string::npos) << unwritable.error;
  AdsImportResult unwritableForced = ImportAdsFile(kExamples + "ecu160_tbi_four.ads", nowhere, true);
  EXPECT_FALSE(unwritableForced.ok);
  EXPECT_FALSE(fs::exists(dir.File("no")));
}

TEST(AdsImport, ReaderRepairsAndConversionNotesAreWarnings) {
  TempDir dir;
  const std::string in = dir.File("odd.ads");
  // A value on a lookup table that does not exist, in a file whose header
  // declares one command with a byte count beyond the twelve command bytes.
  WriteFile(in,
            "{fDefFrmtVers=1.21;strDefVersion=V;strDefTitle=T;strAuthor=A;strEngine=E;strYear=Y;"
            "strVINCode=V;strCodeMask=M;strComments=C;iBaud=8192;dwFlags=0;dwCSID=0;btNumDumpRequests=1;"
            "strCommandName=Long;rgbtCommand=F4,;iTotalBytesInCommand=20;bChecksumCommand=1;"
            "iNumBytesInPayload=10;iNumBytesBeforePayload=2;bMaster=1;bMonitor=1;iChainTo=-1;}\n"
            "{dwItemType=1;strItemComments=c;bSeparator=0;bVisible=1;dwUniqueID=4;btByteNumber=2;"
            "btMessageNumber=1;dwItemSizeBits=8;dwOperation=6;dFactor=1;dOffset=0;strItemTitle=Temp;"
            "strUnitLabel=C;dwAlarmHigh=255;bAlarmHighENable=0;dwAlarmLow=0;bAlarmLowEnable=0;"
            "iRangeHigh=255;iRangeLow=0;iLookupTableIndex=9;}\n");
  AdsImportResult result = ImportAdsFile(in, dir.File("odd.adx"), false);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(ImportSummaryLine(result.summary), "1 command, 1 value, 0 bits, 0 tables converted");
  bool tableNote = false;
  bool commandNote = false;
  for (const std::string& w : result.warnings) {
    tableNote = tableNote || w.find("lookup table 9 not found") != std::string::npos;
    commandNote = commandNote || w.find("sends nothing") != std::string::npos;
  }
  EXPECT_TRUE(tableNote);
  EXPECT_TRUE(commandNote);
}
