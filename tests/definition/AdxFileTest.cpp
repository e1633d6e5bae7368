// Saving and loading ADX files: layout, round trips, number texts, versions,
// references, buffer limits, failures and progress.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"
#include "definition/AdxNumberText.h"
#include "definition/IProgress.h"
#include "tests/definition/AdxSampleDefinitions.h"
#include "tests/definition/AdxTestSupport.h"
#include "tests/support/ResultPrinting.h"

namespace {

const char* kFormat = "<ADXFORMAT version=\"0.50\" />\r\n";

// A file of the given objects behind a format marker and a header.
std::string Adx(const std::string& objects,
                const std::string& header = "<ADXHEADER><baud>8192</baud></ADXHEADER>") {
  return std::string(kFormat) + header + "\n" + objects;
}

class AdxFileTest : public ::testing::Test {
 protected:
  // Writes the bytes to a file and loads it; the error goes to error_.
  int LoadText(const std::string& bytes) {
    WriteWholeFile(path_, bytes);
    return LoadAdx(&def_, path_.c_str(), nullptr, 0, nullptr, &error_);
  }
  template <class T>
  T* Object(std::size_t i) {
    return dynamic_cast<T*>(def_.ObjectAt(i));
  }

  ScratchDir dir_;
  std::string path_ = dir_.Path("test.adx");
  ADXDefinition def_;
  AdxLoadReport error_;
};

struct RecordingProgress : IProgress {
  void SetRange(int low, int high) override {
    calls.push_back("range " + std::to_string(low) + "-" + std::to_string(high));
  }
  void Step() override { ++steps; }
  void SetPos(int position) override { calls.push_back("pos " + std::to_string(position)); }
  std::vector<std::string> calls;
  int steps = 0;
};

TEST(AdxNumberText, HexTextTakesEveryHexDigitAndSkipsTheRest) {
  EXPECT_EQ(ParseHexText("0x1A"), 0x1Au);
  EXPECT_EQ(ParseHexText("1A"), 0x1Au);
  EXPECT_EQ(ParseHexText("1a"), 0x1Au);
  EXPECT_EQ(ParseHexText("1 F"), 0x1Fu);
  EXPECT_EQ(ParseHexText("12"), 0x12u);
  EXPECT_EQ(ParseHexText("zz"), 0u);
  EXPECT_EQ(ParseHexText(""), 0u);
  EXPECT_EQ(ParseHexText("0xFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseHexText("123456789"), 0x23456789u);  // the low 32 bits are kept
}

TEST(AdxNumberText, DecimalTextReadsLeadingDigitsAndSaturates) {
  EXPECT_EQ(ParseDecText("8192"), 8192);
  EXPECT_EQ(ParseDecText("  -12abc"), -12);
  EXPECT_EQ(ParseDecText("+7"), 7);
  EXPECT_EQ(ParseDecText("abc"), 0);
  EXPECT_EQ(ParseDecText(""), 0);
  EXPECT_EQ(ParseDecText("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(ParseDecText("-99999999999999999999"), INT32_MIN);
  EXPECT_EQ(ParseDecText("-2147483648"), INT32_MIN);
}

TEST_F(AdxFileTest, FullDefinitionRoundTripsToIdenticalBytes) {
  ADXDefinition original;
  BuildFullDefinition(original);
  ASSERT_EQ(SaveAdx(&original, path_.c_str(), nullptr), 1);
  const std::string first = ReadWholeFile(path_);

  ASSERT_EQ(LoadAdx(&def_, path_.c_str(), nullptr, 0, nullptr, &error_), 1) << error_.message;
  ExpectSameDefinition(original, def_);

  const std::string again = dir_.Path("again.adx");
  ASSERT_EQ(SaveAdx(&def_, again.c_str(), nullptr), 1);
  EXPECT_EQ(WithoutTimeComment(first), WithoutTimeComment(ReadWholeFile(again)));
}

TEST_F(AdxFileTest, SavedFileHasTheDocumentedLayout) {
  ADXDefinition original;
  BuildFullDefinition(original);
  ASSERT_EQ(SaveAdx(&original, path_.c_str(), nullptr), 1);
  const std::string text = ReadWholeFile(path_);

  EXPECT_EQ(text.rfind("<ADXFORMAT version=\"0.50\" />\r\n<!-- Written ", 0), 0u) << text.substr(0, 80);
  EXPECT_NE(
      text.find("-->\r\n<ADXHEADER>\r\n    <flags>0x01</flags>\r\n    <objectcount>15</objectcount>\r\n"),
      std::string::npos);
  // The 15-character ID is written whole, but named by its first 14 characters.
  EXPECT_NE(text.find("<connectcmd>SEND_DATA_LONG</connectcmd>"), std::string::npos);
  EXPECT_NE(text.find("id=\"SEND_DATA_LONG1\""), std::string::npos);
  // Each object element follows a single line feed.
  EXPECT_NE(text.find("</ADXHEADER>\r\n\n<ADXCSENDCOMMAND id=\"SEND_DATA_LONG1\" idhash=\"0x"),
            std::string::npos);
  EXPECT_NE(text.find("title=\"Data &amp; &quot;more&quot;\" baseflags=\"0x00000010\" flags=\"0x00000001\">"),
            std::string::npos);
  EXPECT_NE(text.find("    <bytestring size=\"0x5\">0xF4 0x57 0x01 0x00 0xB4 </bytestring>\r\n"),
            std::string::npos);
  EXPECT_NE(
      text.find("<bytestring size=\"0xC\">0xF0 0xF1 0xF2 0xF3 0xF4 0xF5 0xF6 0xF7 0xF8 0xF9 0xFA 0xFB "),
      std::string::npos);
  EXPECT_NE(text.find("    <packetoffset>0x1A</packetoffset>\r\n    <sizeinbits>16</sizeinbits>\r\n"
                      "    <range low=\"-40.000000\" high=\"150.000000\" />\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("<MATH equation=\"X*0.75-Y\" lookupidhash=\"0x"), std::string::npos);
  EXPECT_NE(text.find("<VAR varID=\"Y\" type=\"link\" linkIDHash=\"0x"), std::string::npos);
  EXPECT_NE(text.find("<VAR varID=\"X\" type=\"native\" />"), std::string::npos);
  EXPECT_NE(text.find("<bitop>XOR</bitop>"), std::string::npos);
  EXPECT_NE(text.find("<tableentry input=\"0.000000\" output=\"Park &amp; &quot;Neutral&quot;\" />"),
            std::string::npos);
  EXPECT_NE(
      text.find(
          "<ADXLVENTRY entrytype=\"1\" flags=\"0x00000001\" title=\"Engine &amp; &quot;body&quot;\" />"),
      std::string::npos);
  EXPECT_NE(text.find("color=\"000080FF\""), std::string::npos);
  EXPECT_NE(text.find("<ADXMONSERIES flags=\"0x0003\" linewidth=\"2\" linetype=\"1\" linecolor=\"0xFF0000\" "
                      "axiscolor=\"0x00FF00\" itemidhash=\"0x"),
            std::string::npos);
  EXPECT_NE(text.find("<ADXMACRO id=\"MONITOR\""), std::string::npos);
  EXPECT_NE(text.find("repeatcount=\"3\" flags=\"0x00000005\">"), std::string::npos);
  EXPECT_NE(text.find("<NODE flags=\"0x00000001\" commandID=\"SEND_DATA_LONG\" repeatcount=\"2\" />"),
            std::string::npos);
  EXPECT_NE(text.find("<xmin>-1.500000</xmin>"), std::string::npos);
}

TEST_F(AdxFileTest, VersionCheck) {
  ASSERT_EQ(LoadText("<ADXFORMAT version=\"0.49\" />\r\n<ADXHEADER></ADXHEADER>"), 0);
  EXPECT_EQ(error_.message, "File version is out of date.");
  EXPECT_EQ(error_.line, 1);
  char text[256];
  EXPECT_EQ(LoadAdx(&def_, path_.c_str(), text, sizeof(text), nullptr), 0);
  EXPECT_STREQ(text, "File version is out of date.");

  for (const char* version : {"0.5", "0.50", "2"}) {
    EXPECT_EQ(LoadText(std::string("<ADXFORMAT version=\"") + version + "\" /><ADXHEADER></ADXHEADER>"), 1)
        << version;
  }
  // Missing marker, marker after the header, marker without a version: no message.
  for (const char* bad : {"<ADXHEADER></ADXHEADER>", "<ADXHEADER></ADXHEADER><ADXFORMAT version=\"0.5\"/>",
                          "<ADXFORMAT/><ADXHEADER></ADXHEADER>"}) {
    EXPECT_EQ(LoadText(bad), 0) << bad;
    EXPECT_EQ(error_.message, "") << bad;
    EXPECT_EQ(error_.line, 0) << bad;
  }
}

TEST_F(AdxFileTest, OutOfDateFileIsReadButNotResolved) {
  std::string file =
      "<ADXFORMAT version=\"0.3\"/><ADXHEADER><monitorcmd>C</monitorcmd></ADXHEADER>"
      "<ADXCSENDCOMMAND id=\"C\" title=\"\"/>";
  EXPECT_EQ(LoadText(file), 0);
  EXPECT_EQ(def_.ObjectCount(), 1u);
  EXPECT_EQ(def_.monitorcmd, nullptr);
}

TEST_F(AdxFileTest, FieldsReadFromTheirNumberTexts) {
  ASSERT_EQ(
      LoadText(Adx("<ADXVALUE id=\"A\"><packetoffset>0x1A</packetoffset></ADXVALUE>\n"
                   "<ADXVALUE id=\"B\"><packetoffset>1a</packetoffset><digcount>258</digcount></ADXVALUE>\n"
                   "<ADXVALUE id=\"C\"><packetoffset>12</packetoffset></ADXVALUE>\n"
                   "<adxvalue ID=\"D\"><PacketOffset>1A</PacketOffset><Range LOW=\"-1.5\"/></adxvalue>\n",
                   "<ADXHEADER><flags>1</flags><baud>9600</baud><author>Me &amp; you</author></ADXHEADER>")),
      1)
      << error_.message;
  ASSERT_EQ(def_.ObjectCount(), 4u);
  EXPECT_EQ(Object<ADXValue>(0)->packetoffset, 26u);
  EXPECT_EQ(Object<ADXValue>(1)->packetoffset, 26u);
  EXPECT_EQ(Object<ADXValue>(1)->digcount, 2);  // low 8 bits of 258
  EXPECT_EQ(Object<ADXValue>(2)->packetoffset, 18u);
  EXPECT_EQ(Object<ADXValue>(3)->packetoffset, 26u);  // names match without regard to case
  EXPECT_EQ(Object<ADXValue>(3)->rangelow, -1.5f);
  EXPECT_EQ(Object<ADXValue>(3)->rangehigh, 255.0f);  // absent: default
  EXPECT_EQ(def_.flags, 1u);
  EXPECT_EQ(def_.baud, 9600);
  EXPECT_EQ(def_.author, "Me & you");
}

TEST_F(AdxFileTest, ReferencesAreResolvedAfterTheDocument) {
  // The monitor, list and histogram come before the items they name.
  ASSERT_EQ(LoadText(Adx("<ADXMONITOR id=\"M\"><ADXMONSERIES itemidhash=\"0x12345678\"/>"
                         "<ADXMONSERIES itemidhash=\"" +
                         std::to_string(0) +
                         "\"/></ADXMONITOR>\n"
                         "<ADXLISTVIEW id=\"L\"><entrycount>2</entrycount>"
                         "<ADXLVENTRY entrytype=\"0\" itemidhash=\"0x12345678\"/>"
                         "<ADXLVENTRY entrytype=\"0\" itemidhash=\"0x12345678\"/>"
                         "<ADXLVENTRY entrytype=\"0\"/></ADXLISTVIEW>\n"
                         "<ADXBITMASK id=\"BM\"/>\n"
                         "<ADXVALUE id=\"V\"><MATH equation=\"X\" lookupidhash=\"" +
                         std::string("0x") +
                         [] {
                           char t[16];
                           std::snprintf(t, sizeof(t), "%08X", ADXBitmask().idhash);
                           return std::string(t);
                         }() +
                         "\"/></ADXVALUE>\n")),
            1)
      << error_.message;
  auto* monitor = Object<ADXMonitor>(0);
  auto* list = Object<ADXListView>(1);
  // A series whose item is missing is removed; a list row keeps its place without item.
  EXPECT_EQ(monitor->EntryCount(), 0);
  ASSERT_EQ(list->EntryCount(), 2);  // entrycount 2, three entries
  EXPECT_EQ(list->GetEntry(0)->item, nullptr);
  EXPECT_EQ(list->GetEntry(0)->itemidhash, 0x12345678u);
  EXPECT_THAT(
      error_.unresolved,
      ::testing::ElementsAre("M: series 1 item 0x00000000 not found; the series was removed",
                             "M: series 0 item 0x12345678 not found; the series was removed",
                             "L: row 0 item 0x12345678 not found", "L: row 1 item 0x12345678 not found"));
}

TEST_F(AdxFileTest, ValueLookupMustBeALookupTable) {
  ADXBitmask probe;
  probe.SetId("BM");
  ADXLookupTable table;
  table.SetId("T");
  char hashes[128];
  std::snprintf(hashes, sizeof(hashes), "0x%08X|0x%08X", probe.idhash, table.idhash);
  std::string bm(hashes, 10), tb(hashes + 11, 10);
  ASSERT_EQ(LoadText(Adx("<ADXBITMASK id=\"BM\"/>\n<ADXLOOKUPTABLE id=\"T\"/>\n"
                         "<ADXVALUE id=\"V1\"><MATH equation=\"X\" lookupidhash=\"" +
                         bm +
                         "\"/></ADXVALUE>\n"
                         "<ADXVALUE id=\"V2\"><MATH equation=\"X\" lookupidhash=\"" +
                         tb + "\"/></ADXVALUE>\n")),
            1);
  EXPECT_EQ(Object<ADXValue>(2)->lookup, nullptr);
  EXPECT_EQ(Object<ADXValue>(3)->lookup, Object<ADXLookupTable>(1));
}

TEST_F(AdxFileTest, CommandsAreFoundByTheirFirst14Characters) {
  ASSERT_EQ(
      LoadText(Adx(
          "<ADXCSENDCOMMAND id=\"ABCDEFGHIJKLMNO\" title=\"\"/>\n"
          "<ADXVALUE id=\"VALUE\"/>\n"
          "<ADXMACRO id=\"MAC\" repeatcount=\"0\"><NODE commandID=\"ABCDEFGHIJKLMNOXYZ\"/>"
          "<NODE commandID=\"NOPE\" flags=\"2\" repeatcount=\"4\"/><NODE commandID=\"VALUE\"/></ADXMACRO>\n",
          "<ADXHEADER><connectcmd>ABCDEFGHIJKLMN</connectcmd><monitorcmd>MAC</monitorcmd>"
          "<disconnectcmd>VALUE</disconnectcmd></ADXHEADER>")),
      1);
  auto* macro = Object<ADXMacro>(2);
  EXPECT_EQ(def_.connectcmd, def_.ObjectAt(0));
  EXPECT_EQ(def_.monitorcmd, macro);
  // Only commands can be run: a header or node naming a value gets none.
  EXPECT_EQ(def_.disconnectcmd, nullptr);
  ASSERT_EQ(macro->NodeCount(), 3);
  EXPECT_EQ(macro->repeatcount, 0);
  EXPECT_EQ(macro->nodes[0].command, def_.ObjectAt(0));
  EXPECT_STREQ(macro->nodes[0].commandID, "ABCDEFGHIJKLMN");
  EXPECT_EQ(macro->nodes[1].command, nullptr);
  EXPECT_EQ(macro->nodes[1].flags, 2u);
  EXPECT_EQ(macro->nodes[1].repeatcount, 4);
  EXPECT_EQ(macro->nodes[2].command, nullptr);
  EXPECT_THAT(error_.unresolved,
              ::testing::ElementsAre("MAC: step 1 command 'NOPE' not found",
                                     "MAC: step 2 command 'VALUE' is not a command",
                                     "header: disconnect command 'VALUE' is not a command"));
}

TEST_F(AdxFileTest, ByteStrings) {
  std::string big = "<bytestring size=\"0x300\">";
  for (int i = 0; i < 700; ++i) big += "0x01 ";
  big += "</bytestring>";
  ASSERT_EQ(LoadText(Adx(
                "<ADXCLISTENCHATTER id=\"A\"><bytestring size=\"0xC\">1 2 3 4 5 6 7 8 9 A B 0xC "
                "</bytestring></ADXCLISTENCHATTER>\n"
                "<ADXCSENDCOMMAND id=\"B\"><bytestring "
                "size=\"2\">0xF4\r\n0x57\t0x01</bytestring></ADXCSENDCOMMAND>\n"
                "<ADXCSENDCOMMAND id=\"C\"><bytestring>0xF4 0x57</bytestring></ADXCSENDCOMMAND>\n"
                "<ADXCSENDCOMMAND id=\"D\">" +
                big +
                "</ADXCSENDCOMMAND>\n"
                "<ADXCLISTENCHATTER id=\"E\">" +
                big +
                "</ADXCLISTENCHATTER>\n"
                "<ADXCSENDCOMMAND id=\"F\"><bytestring size=\"9\">0x1 0x2</bytestring></ADXCSENDCOMMAND>\n")),
            1);
  EXPECT_EQ(Object<ADXCListenChatter>(0)->bytes.size(), 12u);
  EXPECT_EQ(Object<ADXCListenChatter>(0)->bytes[11], 0x0C);
  EXPECT_EQ(Object<ADXCSendCommand>(1)->bytes, (std::vector<std::uint8_t>{0xF4, 0x57}));  // size keeps 2
  EXPECT_TRUE(Object<ADXCSendCommand>(2)->bytes.empty());                                 // no size: ignored
  EXPECT_EQ(Object<ADXCSendCommand>(3)->bytes.size(), 512u);
  EXPECT_EQ(Object<ADXCListenChatter>(4)->bytes.size(), 256u);
  EXPECT_EQ(Object<ADXCSendCommand>(5)->bytes.size(), 2u);  // never more bytes than the text holds
}

TEST_F(AdxFileTest, OverlongTextIsCutAtTheLoaderBuffers) {
  const std::string longText(3000, 'd');
  const std::string longTitle(1000, 't');
  const std::string longName(300, 'n');
  const std::string longAttr(300, 'a');
  ASSERT_EQ(
      LoadText(Adx("<ADXVALUE id=\"V\" title=\"" + longTitle + "\" " + longAttr + "=\"1\"><desc>" + longText +
                   "</desc><" + longName + ">x</" + longName + "><units>kPa</units></ADXVALUE>\n")),
      1)
      << error_.message;
  auto* v = Object<ADXValue>(0);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->desc, std::string(1023, 'd'));
  EXPECT_EQ(v->title, std::string(255, 't'));
  EXPECT_EQ(v->units, "kPa");
}

TEST_F(AdxFileTest, LookupTablesLoadThroughTheirSetters) {
  ASSERT_EQ(LoadText(Adx("<ADXLOOKUPTABLE id=\"T\"><outputtype>5</outputtype><lookupmode>0</lookupmode>"
                         "<entrycount>99</entrycount><tableentry input=\"2\" output=\"two\"/>"
                         "<tableentry input=\"1\" output=\"one\"/><tableentry input=\"2\" output=\"TWO\"/>"
                         "<tableentry output=\"zero\"/></ADXLOOKUPTABLE>\n")),
            1);
  auto* t = Object<ADXLookupTable>(0);
  EXPECT_EQ(t->lookupmode, kLookupClosest);  // interpolate is not possible for texts
  ASSERT_EQ(t->EntryCount(), 3);
  EXPECT_EQ(t->entries[0].text, "zero");
  EXPECT_EQ(t->entries[1].text, "one");
  EXPECT_EQ(t->entries[2].text, "TWO");
}

// Output types are read as the numbers the file holds; a number the program
// does not know is kept and written back unchanged (and shows no text).
TEST_F(AdxFileTest, ValueOutputTypesKeepTheirNumbers) {
  ASSERT_EQ(LoadText(Adx("<ADXVALUE id=\"U\"><outputtype>2</outputtype></ADXVALUE>\n"
                         "<ADXVALUE id=\"P\"><outputtype>4</outputtype></ADXVALUE>\n"
                         "<ADXVALUE id=\"N\"><outputtype>9</outputtype></ADXVALUE>\n")),
            1)
      << error_.message;
  ASSERT_EQ(def_.ObjectCount(), 3u);
  EXPECT_EQ(Object<ADXValue>(0)->outputtype, kOutputUnsigned);
  EXPECT_EQ(Object<ADXValue>(1)->outputtype, kOutputPercent);
  EXPECT_EQ(static_cast<int>(Object<ADXValue>(2)->outputtype), 9);
  char text[32] = "untouched";
  Object<ADXValue>(2)->Format(text, sizeof text, &def_, nullptr, 0, 0, 0);
  EXPECT_STREQ(text, "");

  const std::string saved = dir_.Path("saved.adx");
  ASSERT_EQ(SaveAdx(&def_, saved.c_str(), nullptr), 1);
  const std::string bytes = ReadWholeFile(saved);
  EXPECT_NE(bytes.find("<outputtype>2</outputtype>"), std::string::npos);
  EXPECT_NE(bytes.find("<outputtype>4</outputtype>"), std::string::npos);
  EXPECT_NE(bytes.find("<outputtype>9</outputtype>"), std::string::npos);
}

TEST_F(AdxFileTest, HistogramSettingsGoThroughItsSetters) {
  ASSERT_EQ(LoadText(Adx("<ADXHISTOGRAM id=\"H\"><rows>100000</rows><cols>5</cols><xmin>0</xmin>"
                         "<xmax>100</xmax><historysize>0</historysize></ADXHISTOGRAM>\n")),
            1);
  auto* h = Object<ADXHistogram>(0);
  EXPECT_EQ(h->rows, kMaxHistogramAxis);
  EXPECT_EQ(h->cols, 5);
  EXPECT_EQ(h->GetHistorySize(), kDefaultHistorySize);  // 0 is ignored
  EXPECT_EQ(h->AddSample(12.5, 0, 1) >> 16, 1u);        // the column axis was rebuilt
}

TEST_F(AdxFileTest, XmlErrorsReportTheirPlace) {
  EXPECT_EQ(LoadText(Adx("<ADXVALUE id=\"V\">\n  <desc>x &nbsp; y</desc></ADXVALUE>")), 0);
  EXPECT_EQ(error_.message, "Unrecognized entity name after & - (should be lt, gt, amp, apos, or quot)");
  EXPECT_EQ(error_.line, 4);
  EXPECT_GT(error_.column, 0);
  // The objects read before the error stay.
  EXPECT_EQ(def_.ObjectCount(), 0u);
  EXPECT_EQ(LoadText(Adx("<ADXVALUE id=\"V\"/>\n<ADXVALUE id=\"W\" title=x/>")), 0);
  EXPECT_EQ(def_.ObjectCount(), 1u);
  EXPECT_EQ(error_.message, "Attribute values must be enclosed in quotes");
}

TEST_F(AdxFileTest, MissingFileFailsWithoutPlace) {
  char text[8];
  EXPECT_EQ(LoadAdx(&def_, dir_.Path("none.adx").c_str(), text, sizeof(text), nullptr, &error_), 0);
  EXPECT_EQ(error_.message, "Error opening file");
  EXPECT_EQ(error_.line, 0);
  EXPECT_STREQ(text, "Error o");  // cut to the buffer
  EXPECT_EQ(LoadAdx(&def_, nullptr, nullptr, 0, nullptr), 0);
  EXPECT_EQ(LoadAdx(nullptr, path_.c_str(), nullptr, 0, nullptr), 0);
}

TEST_F(AdxFileTest, LoadClearsTheDefinitionFirst) {
  BuildFullDefinition(def_);
  ASSERT_EQ(LoadText(Adx("<ADXVALUE id=\"ONLY\"/>\n")), 1);
  EXPECT_EQ(def_.ObjectCount(), 1u);
  EXPECT_EQ(def_.connectcmd, nullptr);
  EXPECT_EQ(def_.baud, 8192);
}

TEST_F(AdxFileTest, SixteenBitFilesLoad) {
  const std::string text = Adx("<ADXVALUE id=\"V\" title=\"T\"/>\n");
  std::string wide = "\xFF\xFE";
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  ASSERT_EQ(LoadText(wide), 1) << error_.message;
  ASSERT_EQ(def_.ObjectCount(), 1u);
  EXPECT_EQ(def_.ObjectAt(0)->title, "T");
}

TEST_F(AdxFileTest, ProgressIsReportedForSaveAndLoad) {
  BuildFullDefinition(def_);
  RecordingProgress saving;
  ASSERT_EQ(SaveAdx(&def_, path_.c_str(), &saving), 1);
  EXPECT_EQ(saving.calls, (std::vector<std::string>{"range 0-15", "pos 0"}));
  EXPECT_EQ(saving.steps, 15);

  RecordingProgress loading;
  ASSERT_EQ(LoadAdx(&def_, path_.c_str(), nullptr, 0, &loading), 1);
  EXPECT_EQ(loading.calls, (std::vector<std::string>{"range 0-15", "pos 0", "pos 0"}));
  EXPECT_EQ(loading.steps, 15);

  RecordingProgress failing;
  EXPECT_EQ(SaveAdx(&def_, dir_.Path("no/such/dir.adx").c_str(), &failing), 0);
  EXPECT_EQ(failing.calls, (std::vector<std::string>{"pos 0"}));
}

TEST_F(AdxFileTest, FailedSaveKeepsTheExistingFile) {
  WriteWholeFile(path_, "precious");
  EXPECT_EQ(SaveAdx(nullptr, path_.c_str(), nullptr), 0);
  EXPECT_EQ(SaveAdx(&def_, nullptr, nullptr), 0);
  EXPECT_EQ(SaveAdx(&def_, "", nullptr), 0);

  // A file-size limit makes the writes fail part of the way through.
  BuildLargeDefinition(def_, 400);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 20000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int saved = SaveAdx(&def_, path_.c_str(), nullptr);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadWholeFile(path_), "precious");
  // No temporary file is left behind.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path_).parent_path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);

  std::filesystem::permissions(path_,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_EQ(SaveAdx(&def_, path_.c_str(), nullptr), 1);
  EXPECT_NE(ReadWholeFile(path_), "precious");
  // The saved file replaces the old one with the old one's permissions.
  EXPECT_EQ(std::filesystem::status(path_).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(AdxFileTest, SavingThroughALinkKeepsTheLink) {
  const std::string real = dir_.Path("real.adx");
  WriteWholeFile(real, "old");
  std::filesystem::create_symlink(real, path_);
  BuildFullDefinition(def_);
  ASSERT_EQ(SaveAdx(&def_, path_.c_str(), nullptr), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_NE(ReadWholeFile(real), "old");
}

TEST_F(AdxFileTest, WriteXmlWithoutWriter) {
  EXPECT_EQ(ADXValue().WriteXml(nullptr), 0);
  EXPECT_EQ(ADXCSendCommand().WriteXml(nullptr), 0);
  EXPECT_EQ(ADXListView().WriteXml(nullptr), 1);
  EXPECT_EQ(ADXHistogram().WriteXml(nullptr), 1);
}

TEST_F(AdxFileTest, MemoryLoadMatchesFileLoad) {
  BuildFullDefinition(def_);
  ASSERT_EQ(SaveAdx(&def_, path_.c_str(), nullptr), 1);
  const std::string bytes = ReadWholeFile(path_);
  ADXDefinition fromFile, fromMemory;
  ASSERT_EQ(LoadAdx(&fromFile, path_.c_str(), nullptr, 0, nullptr), 1);
  ASSERT_EQ(LoadAdxFromMemory(&fromMemory, bytes.data(), bytes.size(), "mem", nullptr), 1);
  ExpectSameDefinition(fromFile, fromMemory);
}

}  // namespace

namespace {

// Found by fuzzing: elements without an ID or command name must load as
// objects with an empty ID.
TEST_F(AdxFileTest, ObjectsWithoutIdsLoad) {
  ASSERT_EQ(LoadText(Adx("<ADXVALUE/>\n<ADXMACRO><NODE/></ADXMACRO>\n",
                         "<ADXHEADER><connectcmd></connectcmd></ADXHEADER>")),
            1);
  ASSERT_EQ(def_.ObjectCount(), 2u);
  EXPECT_STREQ(def_.ObjectAt(0)->id, "");
  EXPECT_EQ(def_.ObjectAt(0)->idhash, 0xDC379ACFu);
  EXPECT_EQ(Object<ADXMacro>(1)->NodeCount(), 1);
  EXPECT_EQ(Object<ADXMacro>(1)->nodes[0].command, nullptr);
  EXPECT_EQ(def_.connectcmd, nullptr);
}

}  // namespace

namespace {

TEST_F(AdxFileTest, LongEquationsSurviveSaving) {
  std::string equation = "X";
  while (equation.size() < 150) equation += "+X*2";
  auto value = std::make_unique<ADXValue>();
  value->SetId("V");
  value->SetEquation(equation.data(), equation.size());
  def_.Append(std::move(value));
  ASSERT_EQ(SaveAdx(&def_, path_.c_str(), nullptr), 1);
  ASSERT_EQ(LoadAdx(&def_, path_.c_str(), nullptr, 0, nullptr), 1);
  char loaded[512] = {};
  Object<ADXValue>(0)->GetEquation(loaded, sizeof(loaded));
  EXPECT_EQ(loaded, equation);
}

}  // namespace
