// Header and data command records of ADS files.
#include <gtest/gtest.h>

#include <string>

#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"
#include "tests/legacy/AdsTestText.h"

using adstest::Record;

namespace {

std::string HeaderWith(const std::string& version, const std::string& flags = "0x00000002",
                       const std::string& commands = "0") {
  return Record({{"fDefFrmtVers", version},
                 {"strDefVersion", "Version 3"},
                 {"strDefTitle", "Title"},
                 {"strAuthor", "Author"},
                 {"strEngine", "Engine"},
                 {"strYear", "1991"},
                 {"strVINCode", "VIN"},
                 {"strCodeMask", "Mask"},
                 {"strComments", "Notes"},
                 {"iBaud", "9600"},
                 {"dwFlags", flags},
                 {"dwCSID", "0x00A5"},
                 {"btNumDumpRequests", commands}});
}

// A header record with data commands: `commandFields` are the nine fields
// of each command, in order.
std::string HeaderWithCommands(int count, const std::string& commandFields) {
  std::string header = HeaderWith("1.21", "0x0", std::to_string(count));
  header.resize(header.size() - 2);  // drop "}\n"
  return header + commandFields + "}\n";
}

std::string Command(const std::string& name, const std::string& bytes, int total, int checksum,
                    int payload = 63, int before = 3, int master = 0, int monitor = 0, int chain = -1) {
  auto f = [](const char* n, const std::string& v) { return std::string("\t") + n + "=" + v + ";\n"; };
  return f("strCommandName", name) + f("rgbtCommand", bytes) +
         f("iTotalBytesInCommand", std::to_string(total)) + f("bChecksumCommand", std::to_string(checksum)) +
         f("iNumBytesInPayload", std::to_string(payload)) +
         f("iNumBytesBeforePayload", std::to_string(before)) + f("bMaster", std::to_string(master)) +
         f("bMonitor", std::to_string(monitor)) + f("iChainTo", std::to_string(chain));
}

bool HasMessage(const AdsMessageLog& log, const std::string& part, int line = -1) {
  for (const AdsMessage& m : log.Messages()) {
    if (m.text.find(part) != std::string::npos && (line < 0 || m.line == line)) return true;
  }
  return false;
}

}  // namespace

TEST(AdsHeader, ReadsEveryFieldInOrder) {
  ALDLDefinition d;
  ASSERT_TRUE(ReadAdsText(HeaderWith("1.21"), d));
  EXPECT_FLOAT_EQ(d.formatVersion, 1.21f);
  EXPECT_FLOAT_EQ(d.header.formatVersion, 1.21f);
  EXPECT_EQ(d.header.definitionVersion, "Version 3");
  EXPECT_EQ(d.header.title, "Title");
  EXPECT_EQ(d.header.author, "Author");
  EXPECT_EQ(d.header.engine, "Engine");
  EXPECT_EQ(d.header.year, "1991");
  EXPECT_EQ(d.header.vinCode, "VIN");
  EXPECT_EQ(d.header.codeMask, "Mask");
  EXPECT_EQ(d.header.comments, "Notes");
  EXPECT_EQ(d.header.baud, 9600);
  EXPECT_EQ(d.header.flags, 2u);
  EXPECT_EQ(d.header.checksumId, 0xA5u);
  EXPECT_EQ(d.header.numDataCommands, 0);
}

TEST(AdsHeader, VersionGatesKeepDefaultsOfNewerFields) {
  ALDLDefinition d;
  AdsMessageLog log;
  // Before 1.0 nothing but the version is read, items included.
  ReadAdsText(HeaderWith("0.9") + adstest::Value(1, "Speed"), d, &log);
  EXPECT_FLOAT_EQ(d.formatVersion, 0.9f);
  EXPECT_EQ(d.header.title, "New ALDL Datastream Definition");
  EXPECT_EQ(d.header.definitionVersion, "Version 1.0");
  EXPECT_EQ(d.header.baud, 8192);
  EXPECT_TRUE(d.values.empty());
  EXPECT_TRUE(HasMessage(log, "older than 1.0"));

  // 1.0 reads the texts but neither baud nor flags.
  ReadAdsText(HeaderWith("1.0"), d);
  EXPECT_EQ(d.header.title, "Title");
  EXPECT_EQ(d.header.baud, 8192);
  EXPECT_EQ(d.header.flags, 0u);
  EXPECT_EQ(d.header.checksumId, 0xA5u);

  // 1.1 (written "1.10") reads the baud but not the flags.
  ReadAdsText(HeaderWith("1.10"), d);
  EXPECT_EQ(d.header.baud, 9600);
  EXPECT_EQ(d.header.flags, 0u);

  // 1.2 reads both; the comparison must hold for the float 1.2 exactly.
  ReadAdsText(HeaderWith("1.20"), d);
  EXPECT_EQ(d.header.baud, 9600);
  EXPECT_EQ(d.header.flags, 2u);
}

TEST(AdsHeader, MissingVersionReadsNothingAndSaysSo) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText("{}\n" + adstest::Value(1, "Speed"), d, &log);
  EXPECT_FLOAT_EQ(d.formatVersion, 0.0f);
  EXPECT_TRUE(d.values.empty());
  EXPECT_TRUE(HasMessage(log, "no format version", 1));

  ReadAdsText("// only comments\n", d, &log);
  EXPECT_TRUE(HasMessage(log, "no record"));
}

TEST(AdsHeader, ClosingBraceEndsTheHeaderEarly) {
  ALDLDefinition d;
  ReadAdsText(Record({{"fDefFrmtVers", "1.21"}, {"strDefVersion", "V9"}, {"strDefTitle", "Short"}}) +
                  adstest::Value(4, "Speed"),
              d);
  EXPECT_EQ(d.header.title, "Short");
  EXPECT_EQ(d.header.author, "");
  EXPECT_EQ(d.header.baud, 8192);
  EXPECT_EQ(d.header.numDataCommands, 0);
  // The next record is an item, not more header fields.
  ASSERT_EQ(d.values.size(), 1u);
  EXPECT_EQ(d.values[0]->title, "Speed");
}

TEST(AdsHeader, TextsAreCutAtTheirCapacity) {
  ALDLDefinition d;
  AdsMessageLog log;
  std::string longText(400, 'a');
  ReadAdsText(Record({{"fDefFrmtVers", "1.21"},
                      {"strDefVersion", "0123456789ABCDEFGHIJ"},
                      {"strDefTitle", longText},
                      {"strAuthor", longText}}),
              d, &log);
  EXPECT_EQ(d.header.definitionVersion, "0123456789ABCDE");
  EXPECT_EQ(d.header.title, std::string(100, 'a'));
  EXPECT_EQ(d.header.author, std::string(50, 'a'));
  EXPECT_TRUE(HasMessage(log, "strDefVersion: text of 20 characters cut to 15", 3));
  EXPECT_TRUE(HasMessage(log, "strDefTitle: text of 400 characters cut to 100", 4));
}

TEST(AdsCommands, ReadAllNineFieldsAndApplyTheChecksum) {
  ALDLDefinition d;
  ReadAdsText(HeaderWithCommands(2, Command("Mode 1", "F4,57,01,00,", 5, 1, 64, 3, 1, 1, -1) +
                                        Command("Mode 2", "f4, 56, 02", 3, 0, 20, 2, 0, 0, 0)),
              d);
  ASSERT_EQ(d.header.numDataCommands, 2);
  const ALDLCommand& c0 = d.commands[0];
  EXPECT_EQ(c0.name, "Mode 1");
  EXPECT_EQ(c0.totalBytes, 5);
  EXPECT_EQ(c0.payloadBytes, 64);
  EXPECT_EQ(c0.bytesBeforePayload, 3);
  EXPECT_EQ(c0.master, 1);
  EXPECT_EQ(c0.monitor, 1);
  EXPECT_EQ(c0.chainTo, -1);
  // F4 + 57 + 01 + 00 = 0x14C; two's complement of 0x4C is 0xB4.
  EXPECT_EQ(c0.BytesToSend(), (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x00, 0xB4}));
  EXPECT_EQ(c0.commandBytes[4], 0xB4);

  const ALDLCommand& c1 = d.commands[1];
  EXPECT_EQ(c1.BytesToSend(), (std::vector<uint8_t>{0xF4, 0x56, 0x02}));
  EXPECT_EQ(c1.chainTo, 0);
  // Commands not in the file keep their defaults.
  EXPECT_EQ(d.commands[2].name, "New ALDL Data Command");
  EXPECT_EQ(d.commands[2].payloadBytes, 63);
  EXPECT_EQ(d.commands[2].checksum, 1);
}

TEST(AdsCommands, ChecksumOutsideTheCommandBytesIsNotWritten) {
  for (int total : {0, -3, 13, 1000}) {
    ALDLDefinition d;
    AdsMessageLog log;
    ReadAdsText(HeaderWithCommands(1, Command("Bad", "01,02,03,04,05,06,07,08,09,0A,0B,0C", total, 1)), d,
                &log);
    const ALDLCommand& c = d.commands[0];
    EXPECT_EQ(c.commandBytes[11], 0x0C) << total;
    EXPECT_TRUE(c.BytesToSend().empty()) << total;
    EXPECT_TRUE(HasMessage(log, "checksum position")) << total;
  }
  // A total of one puts the checksum of no bytes (0) into the first byte.
  ALDLDefinition d;
  ReadAdsText(HeaderWithCommands(1, Command("One", "7F", 1, 1)), d);
  EXPECT_EQ(d.commands[0].BytesToSend(), (std::vector<uint8_t>{0x00}));
}

TEST(AdsCommands, ByteListIsCappedAtTwelveAndLongTokensAreCut) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(HeaderWithCommands(1, Command("Long", "0x000000000F1,2,3,4,5,6,7,8,9,A,B,C,D,E,", 12, 0)), d,
              &log);
  const ALDLCommand& c = d.commands[0];
  // "0x000000000F1" is cut to eleven characters, "0x000000000", which reads 0.
  EXPECT_EQ(c.commandBytes[0], 0x00);
  EXPECT_EQ(c.commandBytes[1], 0x02);
  EXPECT_EQ(c.commandBytes[11], 0x0C);
  EXPECT_TRUE(HasMessage(log, "1 byte tokens longer than 11"));
  EXPECT_TRUE(HasMessage(log, "2 bytes beyond the twelfth"));
}

TEST(AdsCommands, AtMostTenCommandsAreRead) {
  std::string commands;
  for (int i = 0; i < 12; ++i) commands += Command("C" + std::to_string(i), "F4", 1, 0);
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(HeaderWithCommands(12, commands) + adstest::Value(1, "After"), d, &log);
  EXPECT_EQ(d.header.numDataCommands, 10);
  EXPECT_EQ(d.commands[9].name, "C9");
  EXPECT_TRUE(HasMessage(log, "12 data commands given; only 10"));
  EXPECT_TRUE(HasMessage(log, "18 fields beyond the 10 data commands"));
  ASSERT_EQ(d.values.size(), 1u);
}

TEST(AdsCommands, FewerCommandFieldsThanAnnouncedKeepDefaults) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(HeaderWithCommands(3, Command("Only", "F4,57", 2, 0)), d, &log);
  EXPECT_EQ(d.header.numDataCommands, 3);
  EXPECT_EQ(d.commands[0].name, "Only");
  EXPECT_EQ(d.commands[1].name, "New ALDL Data Command");
  EXPECT_TRUE(HasMessage(log, "3 data commands announced but only 1 complete"));
}

TEST(AdsHeader, NumbersThatDoNotFitAreClampedAndReported) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Record({{"fDefFrmtVers", "1.21"},
                      {"a", ""},
                      {"b", ""},
                      {"c", ""},
                      {"d", ""},
                      {"e", ""},
                      {"f", ""},
                      {"g", ""},
                      {"h", ""},
                      {"iBaud", "99999999999"},
                      {"dwFlags", "zz"},
                      {"dwCSID", ""},
                      {"btNumDumpRequests", "-4"}}),
              d, &log);
  EXPECT_EQ(d.header.baud, 2147483647);
  EXPECT_EQ(d.header.flags, 0u);
  EXPECT_EQ(d.header.numDataCommands, 0);
  EXPECT_TRUE(HasMessage(log, "iBaud: 99999999999 is out of range"));
  EXPECT_TRUE(HasMessage(log, "btNumDumpRequests: -4 is out of range; stored as 0"));
  EXPECT_EQ(d.header.title, "");
}
