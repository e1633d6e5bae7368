// varnak-cli as a user runs it: output, messages and exit codes for the
// example definition and for broken files and arguments.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "definition/IdHash.h"
#include "tests/definition/AdxTestSupport.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string kDemo = std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx";

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

std::string Hash(const char* id) {
  char t[9];
  std::snprintf(t, sizeof(t), "%.8X", IdHash(id));
  return t;
}

class VarnakCli : public ::testing::Test {
 protected:
  CliRun Cli(const std::vector<std::string>& args) {
    std::string command = Quoted(VARNAK_CLI);
    for (const std::string& a : args) command += " " + Quoted(a);
    command += " >" + Quoted(dir_.Path("out")) + " 2>" + Quoted(dir_.Path("err"));
    CliRun r;
    int status = std::system(command.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadWholeFile(dir_.Path("out"));
    r.err = ReadWholeFile(dir_.Path("err"));
    return r;
  }
  std::string File(const std::string& name, const std::string& bytes) {
    WriteWholeFile(dir_.Path(name), bytes);
    return dir_.Path(name);
  }

  ScratchDir dir_;
};

// The demo reply of 67 bytes: header, a few live fields, zeros, checksum.
std::string DemoReplyHex() {
  std::vector<int> r(67, 0);
  r[0] = 0xF4, r[1] = 0x92, r[2] = 0x01, r[3] = 0x12, r[4] = 0x34, r[5] = 0x03;
  r[7] = 160, r[9] = 51, r[10] = 100, r[11] = 150, r[15] = 140, r[25] = 225, r[19] = 0x13, r[20] = 0x88;
  int sum = 0;
  for (int i = 0; i < 66; ++i) sum += r[static_cast<std::size_t>(i)];
  r[66] = (256 - sum % 256) % 256;
  std::string hex;
  char b[4];
  for (int v : r) {
    std::snprintf(b, sizeof(b), "%.2X ", v);
    hex += b;
  }
  return hex;
}

TEST_F(VarnakCli, InfoListsHeaderAndObjectsOfTheDemo) {
  CliRun r = Cli({"info", kDemo});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_THAT(r.out, HasSubstr("flags: 0x01 (echo)\nbaud: 8192\n"));
  EXPECT_THAT(r.out, HasSubstr("connect: CONNECT\nmonitor: MONITOR\ndisconnect: DISCONNECT\nobjects: 56\n"));
  EXPECT_THAT(
      r.out,
      HasSubstr("  send        DATA            \"Mode 1: data stream\" bytes=F4 57 01 00 B4 reply=67"));
  EXPECT_THAT(r.out,
              HasSubstr("  value       INJ_DUTY        \"Injector duty cycle\" command=DATA offset=0x13 "
                        "bits=16 equation=\"P*R/1200\" P=link:INJ_PW R=link:RPM units=\"%\"\n"));
  EXPECT_THAT(r.out, HasSubstr("units=\"\xC2\xB0"
                               "C\""));  // Latin-1 texts come out as UTF-8
  EXPECT_THAT(r.out,
              HasSubstr("  histogram   SPARK_MAP       \"Spark advance by speed and load\" command=DATA "
                        "grid=10x16 x=RPM y=MAP z=SPARK\n"));
  EXPECT_THAT(r.out, HasSubstr("\n0 warnings\n"));
}

TEST_F(VarnakCli, InfoWarnsAboutDuplicatesAndUnresolvedReferences) {
  // Two different IDs with the same hash (found once by a search over "H<n>").
  const std::string first = "H669759";
  const std::string second = "H1024526";
  ASSERT_EQ(IdHash(first.c_str()), IdHash(second.c_str()));
  const std::string file = File(
      "warn.adx",
      "<ADXFORMAT "
      "version=\"0.5\"/><ADXHEADER><connectcmd>NOPE</connectcmd><monitorcmd>V</monitorcmd></ADXHEADER>\n"
      "<ADXCSENDCOMMAND id=\"C\"/>\n<ADXCSENDCOMMAND id=\"C\"/>\n"
      "<ADXCTRIGGER id=\"ABCDEFGHIJKLMNO\"/>\n<ADXCTRIGGER id=\"ABCDEFGHIJKLMNP\"/>\n"
      "<ADXVALUE id=\"" +
          first + "\"/>\n<ADXVALUE id=\"" + second +
          "\"/>\n"
          "<ADXBITMASK id=\"B\"><parentcmdidhash>0x12345678</parentcmdidhash></ADXBITMASK>\n"
          "<ADXVALUE id=\"V\"><parentcmdidhash>0x" +
          Hash("B") +
          "</parentcmdidhash><MATH equation=\"X+Y+Z\" lookupidhash=\"0x1\"><VAR varID=\"Y\" type=\"link\" "
          "linkIDHash=\"0x2\"/><VAR varID=\"Z\" type=\"link\" linkIDHash=\"0xE5A2ADE3\"/></MATH></ADXVALUE>\n"
          "<ADXVALUE title=\"nameless\"/>\n"
          "<ADXLISTVIEW id=\"L\"><entrycount>1</entrycount><ADXLVENTRY entrytype=\"0\" "
          "itemidhash=\"0x3\"/></ADXLISTVIEW>\n"
          "<ADXDASHBOARD id=\"D\"><ADXDGENTRY itemidhash=\"0x4\"/></ADXDASHBOARD>\n"
          "<ADXMONITOR id=\"M\"><ADXMONSERIES itemidhash=\"0x5\"/></ADXMONITOR>\n"
          "<ADXHISTOGRAM id=\"H\"><xidhash>0x6</xidhash></ADXHISTOGRAM>\n"
          "<ADXMACRO id=\"MAC\"><NODE commandID=\"GONE\"/></ADXMACRO>\n"
          "<ADXCSENDCOMMAND "
          "id=\"CMD\"><replysize>10</replysize><packetoffset>3</packetoffset></ADXCSENDCOMMAND>\n"
          "<ADXVALUE id=\"FITS\"><parentcmdidhash>0x" +
          Hash("CMD") +
          "</parentcmdidhash><packetoffset>5</packetoffset>"
          "<sizeinbits>16</sizeinbits></ADXVALUE>\n"
          "<ADXVALUE id=\"PAST\"><parentcmdidhash>0x" +
          Hash("CMD") +
          "</parentcmdidhash><packetoffset>6</packetoffset>"
          "<sizeinbits>16</sizeinbits></ADXVALUE>\n"
          "<ADXBITMASK id=\"ODD\"><sizeinbits>24</sizeinbits></ADXBITMASK>\n"
          "<ADXCSENDCOMMAND id=\"HUGE\"><replysize>70000</replysize></ADXCSENDCOMMAND>\n"
          "<ADXCLISTEN160BAUD id=\"SLOWHUGE\"><packetsize>100000</packetsize></ADXCLISTEN160BAUD>\n"
          "<ADXHISTOGRAM "
          "id=\"BIG\"><rows>512</rows><cols>512</cols><historysize>1000</historysize></ADXHISTOGRAM>\n");
  CliRun r = Cli({"info", file});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("warning: duplicate ID 'C': references find only the first send with it\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: IDs 'ABCDEFGHIJKLMNO' and 'ABCDEFGHIJKLMNP' share their first 14 "
                               "characters"));
  EXPECT_THAT(r.out, HasSubstr("warning: IDs '" + first + "' and '" + second + "' have the same ID hash"));
  EXPECT_THAT(r.out, HasSubstr("warning: object 8 (value) has no ID\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: B: parent command 0x12345678 not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: V: parent command 'B' does not produce a reply packet\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: V: lookup table 0x00000001 not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: V: variable Y links to 0x00000002, which is not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: L: row 0 item 0x00000003 not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: D: gauge 0 item 0x00000004 not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: M: series 0 item 0x00000005 not found; the series was removed\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: H: x value 0x00000006 not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: MAC: step 0 command 'GONE' not found\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: header: connect command 'NOPE' not found\n"));
  EXPECT_THAT(r.out, Not(HasSubstr("warning: FITS")));
  EXPECT_THAT(r.out, HasSubstr("warning: PAST: bytes 6 to 7 lie beyond the 7-byte packet of 'CMD'\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: ODD: size of 24 bits; only 8, 16 and 32 are read\n"));
  // Sizes beyond the limit load, and are named.
  EXPECT_THAT(
      r.out,
      HasSubstr("warning: HUGE: size of 70000 bytes is beyond 65535; the command fails when it runs\n"));
  EXPECT_THAT(
      r.out,
      HasSubstr("warning: SLOWHUGE: size of 100000 bytes is beyond 65535; the command fails when it runs\n"));
  EXPECT_THAT(r.out, HasSubstr("warning: header: monitor command 'V' is not a command\n"));
  EXPECT_THAT(r.out, HasSubstr("  value       V               \"\" command=B offset=0x00 bits=8 "
                               "equation=\"X+Y+Z\" X=raw Y=link:?0x00000002"));
}

TEST_F(VarnakCli, LoadFailuresGiveTheirPlaceAndExitOne) {
  CliRun missing = Cli({"info", dir_.Path("missing.adx")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, dir_.Path("missing.adx") + ": Error opening file\n");

  const std::string broken =
      File("broken.adx",
           "<ADXFORMAT version=\"0.5\"/>\n<ADXHEADER>\n  <baud>8192</baud>\n  <author>A &nbsp; B</author>");
  CliRun syntax = Cli({"info", broken});
  EXPECT_EQ(syntax.code, 1);
  EXPECT_THAT(syntax.err, HasSubstr(broken + ":4:"));
  EXPECT_THAT(syntax.err,
              HasSubstr(": Unrecognized entity name after & - (should be lt, gt, amp, apos, or quot)\n"));

  CliRun old = Cli({"info", File("old.adx", "\n<ADXFORMAT version=\"0.3\"/>")});
  EXPECT_EQ(old.code, 1);
  EXPECT_THAT(old.err, HasSubstr("Unrecognized encoding"));  // a blank first line is no definition file
  CliRun outOfDate = Cli({"info", File("old2.adx", "<ADXFORMAT version=\"0.3\"/>\n<ADXHEADER/>")});
  EXPECT_EQ(outOfDate.code, 1);
  EXPECT_EQ(outOfDate.err, dir_.Path("old2.adx") + ":1:26: File version is out of date.\n");

  CliRun noMarker = Cli({"info", File("plain.xml", "<ADXHEADER/>")});
  EXPECT_EQ(noMarker.code, 1);
  EXPECT_THAT(noMarker.err, HasSubstr("plain.xml: not a definition file"));

  CliRun decode = Cli({"decode", broken, "--command", "DATA", "--packet", "00"});
  EXPECT_EQ(decode.code, 1);
  EXPECT_THAT(decode.err, HasSubstr(broken + ":4:"));
}

TEST_F(VarnakCli, DecodePrintsEveryItemOfTheDemoReply) {
  CliRun r = Cli({"decode", kDemo, "--command", "DATA", "--packet", DemoReplyHex()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("id,title,value\nPROMID,PROM ID,1234\nCOOLANT,Coolant temperature,80.0\n", 0), 0u)
      << r.out;
  EXPECT_THAT(r.out, HasSubstr("\nCOOLANT_WORD,Engine temperature,Warm\n"));
  EXPECT_THAT(r.out, HasSubstr("\nRPM,Engine speed,2500\n"));
  EXPECT_THAT(r.out, HasSubstr("\nVACUUM,Manifold vacuum,30.0\n"));
  EXPECT_THAT(r.out, HasSubstr("\nINJ_DUTY,Injector duty cycle,10.4\n"));
  EXPECT_THAT(r.out, HasSubstr("\nCLOSED_LOOP,Closed loop,Closed\n"));
  EXPECT_THAT(r.out, HasSubstr("\nFAN,Cooling fan,Off\n"));
  // One line per value and bitmask (34 + 10) after the header.
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 45);

  // Spaces are optional and 0x prefixes allowed; a short reply is noted but decoded.
  CliRun compact = Cli({"decode", kDemo, "--command=DATA", "--packet=0xF4 0x92 01 1234"});
  EXPECT_EQ(compact.code, 0);
  EXPECT_THAT(compact.err, HasSubstr("note: the reply has 5 bytes; 'DATA' expects 67"));
  EXPECT_THAT(compact.out, HasSubstr("\nPROMID,PROM ID,1234\n"));
}

TEST_F(VarnakCli, DecodeQuotesFieldsAndHonoursThePacketOffset) {
  const std::string file = File(
      "quote.adx",
      "<ADXFORMAT version=\"0.5\"/><ADXHEADER/>\n"
      "<ADXCSENDCOMMAND id=\"CMD\"><packetoffset>2</packetoffset><replysize>4</replysize></ADXCSENDCOMMAND>\n"
      "<ADXVALUE id=\"V\" title=\"Speed, "
      "&quot;fast&quot;\"><packetoffset>0</packetoffset><digcount>0</digcount>"
      "<MATH equation=\"X\"/></ADXVALUE>\n"
      "<ADXBITMASK id=\"B\" title=\"multi\nline\"><operand>1</operand><result>1</result>"
      "<truestring>yes, \"really\"</truestring></ADXBITMASK>\n"
      "<ADXCTRIGGER id=\"T\"/>\n");
  CliRun r = Cli({"decode", file, "--command", "CMD", "--packet", "AA BB 07 01"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "id,title,value\nV,\"Speed, \"\"fast\"\"\",7\nB,\"multi\nline\",\"yes, \"\"really\"\"\"\n");

  CliRun trigger = Cli({"decode", file, "--command", "T", "--packet", "00"});
  EXPECT_EQ(trigger.code, 1);
  EXPECT_THAT(trigger.err, HasSubstr("'T' is a trigger, not a command that receives a reply packet"));
  CliRun shortReply = Cli({"decode", file, "--command", "CMD", "--packet", "00"});
  EXPECT_EQ(shortReply.code, 1);
  EXPECT_THAT(shortReply.err, HasSubstr("shorter than the packet offset 2"));
}

TEST_F(VarnakCli, DecodeRejectsBadArguments) {
  CliRun unknown = Cli({"decode", kDemo, "--command", "NOSUCH", "--packet", "F4"});
  EXPECT_EQ(unknown.code, 1);
  EXPECT_THAT(unknown.err, HasSubstr("unknown command 'NOSUCH'"));
  for (const char* bad : {"F", "F4 9", "GG", "F4,92", "0x"}) {
    CliRun r = Cli({"decode", kDemo, "--command", "DATA", "--packet", bad});
    EXPECT_EQ(r.code, 1) << bad;
    EXPECT_THAT(r.err, HasSubstr("bad hex")) << bad;
    EXPECT_EQ(r.out, "") << bad;
  }
  CliRun missing = Cli({"decode", dir_.Path("none.adx"), "--command", "DATA", "--packet", "F4"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_THAT(missing.err, HasSubstr("Error opening file"));
  for (const std::vector<std::string>& args : {std::vector<std::string>{"decode", kDemo},
                                               {"decode", kDemo, "--command", "DATA"},
                                               {"decode", kDemo, "--packet"},
                                               {"decode", kDemo, "extra", "--command", "D", "--packet", "00"},
                                               {"info"},
                                               {"info", kDemo, kDemo},
                                               {"nosuch"},
                                               {}}) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(r.err, HasSubstr("usage: varnak-cli")) << ::testing::PrintToString(args);
  }
  CliRun help = Cli({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_THAT(help.out, HasSubstr("decode FILE.adx --command ID --packet HEX"));
}

// Every command answers --help (its usage on standard output) and --version
// before it touches a file; an unknown option is wrong usage.
TEST_F(VarnakCli, EveryCommandAnswersHelpAndVersion) {
  for (const char* command :
       {"info", "decode", "scan", "play", "export", "import", "histogram", "stats", "diff"}) {
    SCOPED_TRACE(command);
    CliRun help = Cli({command, "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind(std::string("usage: varnak-cli ") + command, 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    CliRun version = Cli({command, dir_.Path("none.adx"), "--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_THAT(version.out, HasSubstr("varnak-cli "));
    CliRun bogus = Cli({command, "--bogus", dir_.Path("a"), dir_.Path("b")});
    EXPECT_EQ(bogus.code, 2);
    EXPECT_THAT(bogus.err, HasSubstr("usage: varnak-cli"));
    EXPECT_EQ(bogus.out, "");
  }
  CliRun info = Cli({"info", "--bogus"});
  EXPECT_EQ(info.code, 2);
  EXPECT_THAT(info.err, Not(HasSubstr("Error opening file")));
  CliRun version = Cli({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_THAT(version.out, HasSubstr("varnak-cli "));
  // The usage says where the rows of scan go without --csv.
  EXPECT_THAT(Cli({"--help"}).out, HasSubstr("default: standard output"));
}

// An export to a file that cannot be a log leaves nothing behind and says why.
TEST_F(VarnakCli, ExportOfANonLogSaysSoAndLeavesNoFile) {
  const std::string notLog = File("notes.xdl", "these are notes, not a log of anything at all\n");
  CliRun r = Cli({"export", notLog, kDemo, "-o", dir_.Path("out.csv")});
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.err, HasSubstr(notLog + ": not an XDL log"));
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("out.csv")));
}

}  // namespace
