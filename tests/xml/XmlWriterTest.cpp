#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/FileSizeCap.h"
#include "tests/xml/RecordingCallback.h"
#include "xml/XmlSaxParser.h"
#include "xml/XmlWriter.h"

namespace {

class XmlWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("varnak_xmlw_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".xml"))
                .string();
  }
  void TearDown() override { std::filesystem::remove(path_); }

  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::string path_;
};

TEST_F(XmlWriterTest, EmptyElementWithAttributeClosesWithSlash) {
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  EXPECT_TRUE(writer.BeginElement("A"));
  EXPECT_TRUE(writer.Attribute("x", "1"));
  EXPECT_TRUE(writer.EndElement());
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(Contents(), "<A x=\"1\" />\r\n");
}

TEST_F(XmlWriterTest, NestedElementsAreIndentedOneUnitPerLevel) {
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  writer.BeginElement("ADXFORMAT");
  writer.AttributeFormat("version", "%.2f", 0.5);
  writer.EndElement();
  writer.Comment("Written 01/02/2026 03:04:05", false);
  writer.BeginElement("ADXHEADER");
  writer.ElementText("flags", "0x01");
  writer.ElementInt("baud", 8192);
  writer.BeginElement("range");
  writer.AttributeFloat("low", -1.5);
  writer.AttributeInt("n", -7);
  writer.EndElement();
  writer.BeginElement("MATH");
  writer.BeginElement("VAR");
  writer.EndElement();
  // An inline comment does not end the line, so the end tag follows directly.
  writer.Comment("inline", true);
  writer.EndElement();
  writer.ElementFloat("xmin", 2.0);
  writer.EndElement();
  writer.Text("\n");
  writer.BeginElement("ADXVALUE");
  writer.Comment("first", false);
  writer.EndElement();
  EXPECT_FALSE(writer.Failed());
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(Contents(),
            "<ADXFORMAT version=\"0.50\" />\r\n"
            "<!-- Written 01/02/2026 03:04:05 -->\r\n"
            "<ADXHEADER>\r\n"
            "    <flags>0x01</flags>\r\n"
            "    <baud>8192</baud>\r\n"
            "    <range low=\"-1.500000\" n=\"-7\" />\r\n"
            "    <MATH>\r\n"
            "        <VAR />\r\n"
            "<!-- inline --></MATH>\r\n"
            "    <xmin>2.000000</xmin>\r\n"
            "</ADXHEADER>\r\n"
            "\n<ADXVALUE>\r\n"
            "    <!-- first -->\r\n"
            "</ADXVALUE>\r\n");
}

TEST_F(XmlWriterTest, IndentUnitIsCappedAndLineBreaksCanBeSwitchedOff) {
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  writer.SetIndent(20);
  writer.BeginElement("a");
  writer.BeginElement("b");
  writer.EndElement();
  writer.SetIndent(0);
  writer.BeginElement("c");
  writer.EndElement();
  writer.SetNewlines(false);
  writer.BeginElement("d");
  writer.Text("t");
  writer.EndElement();
  writer.EndElement();
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(Contents(), "<a>\r\n        <b />\r\n<c />\r\n<d>t</d></a>");
}

TEST_F(XmlWriterTest, TextEndingInALineBreakIsNotFollowedByIndentation) {
  // Indenting the end tag here would add spaces to the element's text.
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  writer.BeginElement("a");
  writer.ElementText("desc", "two\r\nlines\r\n");
  writer.EndElement();
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(Contents(), "<a>\r\n    <desc>two\r\nlines\r\n</desc>\r\n</a>\r\n");
}

TEST_F(XmlWriterTest, OutputLargerThanTheBufferArrivesWhole) {
  std::string expected;
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  writer.BeginElement("root");
  expected += "<root>\r\n";
  const std::string big(XmlWriter::kBufferSize + 123, 'b');
  for (int i = 0; i < 500; ++i) {
    std::string text = std::to_string(i) + std::string(static_cast<size_t>(i % 97), 'x');
    writer.ElementText("e", text);
    expected += "    <e>" + text + "</e>\r\n";
  }
  writer.ElementText("big", big);
  expected += "    <big>" + big + "</big>\r\n";
  writer.EndElement();
  expected += "</root>\r\n";
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(Contents(), expected);
}

// Switches LC_NUMERIC to a locale with a decimal comma: an installed one, or
// one compiled into a temporary folder when the locale sources are present.
const char* UseCommaLocale() {
  const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
  for (const char* name : candidates) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) return name;
  }
  static const std::string folder =
      (std::filesystem::temp_directory_path() / ("varnak_locale_" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(folder);
  const std::string command = "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return nullptr;
  ::setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
}

TEST_F(XmlWriterTest, FloatsUseAPointWhateverTheLocale) {
  const char* chosen = UseCommaLocale();
  if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma is available";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5");
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  writer.BeginElement("r");
  writer.AttributeFloat("a", 1.25);
  writer.AttributeFormat("b", "%.2f", 0.5);
  writer.EndElement();
  writer.ElementFloat("c", -3.5);
  bool closed = writer.Close();
  std::setlocale(LC_NUMERIC, "C");
  if (const char* compiled = std::getenv("LOCPATH")) {
    std::filesystem::remove_all(compiled);
    ::unsetenv("LOCPATH");
  }
  ASSERT_TRUE(closed);
  EXPECT_EQ(Contents(), "<r a=\"1.250000\" b=\"0.50\" />\r\n<c>-3.500000</c>\r\n");
}

// ---------------------------------------------------------------------------
// Failures

TEST_F(XmlWriterTest, OpenFailsForAPathThatCannotBeCreated) {
  XmlWriter writer;
  EXPECT_FALSE(writer.Open("/nonexistent/dir/out.adx"));
  EXPECT_FALSE(writer.Open(""));
  EXPECT_FALSE(writer.BeginElement("a"));
  EXPECT_FALSE(writer.Close());
}

TEST_F(XmlWriterTest, FailedSystemWritesAreReportedAndSticky) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // A small document fails only when the buffer is written out at Close.
  {
    XmlWriter writer;
    ASSERT_TRUE(writer.Open("/dev/full"));
    EXPECT_TRUE(writer.ElementText("a", "b"));
    EXPECT_FALSE(writer.Close());
    EXPECT_TRUE(writer.Failed());
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
  }
  // A large one fails at the write that overflows the buffer, and stays failed.
  XmlWriter writer;
  ASSERT_TRUE(writer.Open("/dev/full"));
  EXPECT_FALSE(writer.Text(std::string(XmlWriter::kBufferSize + 1, 'x')));
  EXPECT_TRUE(writer.Failed());
  EXPECT_FALSE(writer.ElementText("a", "b"));
  EXPECT_FALSE(writer.Close());
}

TEST_F(XmlWriterTest, RefusedOperationsAreRefusedAloneAndTheSaveGoesOn) {
  struct Case {
    const char* what;
    bool (*misuse)(XmlWriter&);
  };
  const Case cases[] = {
      {"end tag without element", [](XmlWriter& w) { return w.EndElement() && w.EndElement(); }},
      {"attribute outside a start tag", [](XmlWriter& w) { return w.Attribute("x", "1"); }},
      {"comment that would end early", [](XmlWriter& w) { return w.Comment("a --> b", false); }},
      {"empty element name", [](XmlWriter& w) { return w.BeginElement(""); }},
      {"over-long element name", [](XmlWriter& w) { return w.BeginElement(std::string(255, 'n')); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    XmlWriter writer;
    ASSERT_TRUE(writer.Open(path_.c_str()));
    ASSERT_TRUE(writer.BeginElement("top"));
    ASSERT_TRUE(writer.Text("t"));
    EXPECT_FALSE(c.misuse(writer));
    // Nothing of the refused call was written, and every later call works.
    EXPECT_FALSE(writer.Failed());
    while (writer.Depth() > 0) EXPECT_TRUE(writer.EndElement());
    EXPECT_TRUE(writer.ElementInt("next", 7));
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(Contents(), "<top>t</top>\r\n<next>7</next>\r\n");
  }
}

TEST_F(XmlWriterTest, OpenNamesAreLimitedTo254Characters) {
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  EXPECT_TRUE(writer.BeginElement(std::string(200, 'a')));
  EXPECT_TRUE(writer.BeginElement(std::string(54, 'b')));
  EXPECT_TRUE(writer.EndElement());
  EXPECT_EQ(writer.Depth(), 1u);
  // One more character would not be kept, so the element is not begun at all.
  EXPECT_FALSE(writer.BeginElement(std::string(55, 'c')));
  EXPECT_EQ(writer.Depth(), 1u);
  EXPECT_TRUE(writer.EndElement());
  EXPECT_TRUE(writer.Close());
}

TEST_F(XmlWriterTest, FailedSaveLeavesTheEarlierFileAsItWas) {
  { std::ofstream(path_, std::ios::binary) << "earlier"; }
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  {
    // The disk fills up while the document is written.
    FileSizeCap cap(1000);
    EXPECT_FALSE(writer.ElementText("a", std::string(3 * XmlWriter::kBufferSize, 'x')));
    EXPECT_TRUE(writer.Failed());
    EXPECT_EQ(Contents(), "earlier");
    EXPECT_FALSE(writer.EndElement());
    EXPECT_FALSE(writer.Close());
  }
  EXPECT_EQ(Contents(), "earlier");
  // No temporary file is left beside it.
  const auto folder = std::filesystem::path(path_).parent_path();
  const std::string stem = std::filesystem::path(path_).filename().string();
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(name != stem && name.rfind(stem, 0) == 0) << name;
  }
  // A file that did not exist is not created by a failed save.
  std::filesystem::remove(path_);
  ASSERT_TRUE(writer.Open(path_.c_str()));
  {
    FileSizeCap cap(1000);
    EXPECT_FALSE(writer.Text(std::string(2 * XmlWriter::kBufferSize, 'y')));
    EXPECT_FALSE(writer.Close());
  }
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(XmlWriterTest, SavingReplacesTheFileKeepingItsModeAndLinks) {
  namespace fs = std::filesystem;
  {
    std::ofstream(path_, std::ios::binary) << "earlier contents, longer than the new ones";
  }
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const std::string link = path_ + ".link";
  fs::remove(link);
  fs::create_symlink(path_, link);
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(link.c_str()));
  writer.ElementText("a", "1");
  ASSERT_TRUE(writer.Close());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Contents(), "<a>1</a>\r\n");
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::remove(link);
  // Devices are written in place, never replaced by a regular file.
  if (fs::exists("/dev/null")) {
    ASSERT_TRUE(writer.Open("/dev/null"));
    writer.ElementText("a", "1");
    EXPECT_TRUE(writer.Close());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
  }
}

TEST_F(XmlWriterTest, ReopeningStartsAFreshDocument) {
  XmlWriter writer;
  ASSERT_TRUE(writer.Open(path_.c_str()));
  EXPECT_FALSE(writer.EndElement());
  ASSERT_TRUE(writer.Open(path_.c_str()));
  EXPECT_FALSE(writer.Failed());
  writer.ElementText("a", "1");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(Contents(), "<a>1</a>\r\n");
  {
    XmlWriter destroyedOpen;
    ASSERT_TRUE(destroyedOpen.Open(path_.c_str()));
    destroyedOpen.ElementText("b", "2");
  }
  EXPECT_EQ(Contents(), "<b>2</b>\r\n");
}

// ---------------------------------------------------------------------------
// Escaping

TEST(XmlEscapeText, ReplacesTheFiveMarkupCharacters) {
  char out[64];
  EXPECT_EQ(XmlWriter::EscapeText("a&\"b", 4, out, sizeof out), 14u);
  EXPECT_STREQ(out, "a&amp;&quot;b");
  EXPECT_EQ(XmlWriter::EscapeText("<'>", 100, out, sizeof out), 15u);
  EXPECT_STREQ(out, "&lt;&apos;&gt;");
  // The source ends at its NUL or its length, whichever comes first.
  EXPECT_EQ(XmlWriter::EscapeText("abc\0def", 7, out, sizeof out), 4u);
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(XmlWriter::EscapeText("abcdef", 2, out, sizeof out), 3u);
  EXPECT_STREQ(out, "ab");
  EXPECT_EQ(XmlWriter::EscapeText(nullptr, 3, out, sizeof out), 0u);
  EXPECT_EQ(XmlWriter::EscapeText("", 0, out, sizeof out), 1u);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(XmlWriter::EscapeText(std::string_view("x<\"y&'z>")), "x&lt;&quot;y&amp;&apos;z&gt;");
}

TEST(XmlEscapeText, StopsAtAFullDestinationWithoutCuttingAnEntity) {
  char out[8];
  std::memset(out, '#', sizeof out);
  // "ab&amp;" needs 7 characters + NUL = 8: fits exactly.
  EXPECT_EQ(XmlWriter::EscapeText("ab&c", 4, out, 8), 8u);
  EXPECT_STREQ(out, "ab&amp;");
  // With one byte less the entity is left out whole.
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(XmlWriter::EscapeText("ab&c", 4, out, 7), 3u);
  EXPECT_STREQ(out, "ab");
  EXPECT_EQ(out[7], '#');
  EXPECT_EQ(XmlWriter::EscapeText("abc", 3, out, 1), 1u);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(XmlWriter::EscapeText("abc", 3, out, 0), 0u);
}

// ---------------------------------------------------------------------------

TEST_F(XmlWriterTest, WrittenDocumentParsesBackToTheSameContent) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  const std::string title = "Fuel & \"Spark\" <adv> 'deg'";
  {
    XmlWriter writer;
    ASSERT_TRUE(writer.Open(path_.c_str()));
    writer.BeginElement("ADXFORMAT");
    writer.Attribute("version", "0.50");
    writer.EndElement();
    writer.Comment("saved", false);
    writer.Text("\n");
    writer.BeginElement("ADXVALUE");
    writer.Attribute("title", XmlWriter::EscapeText(title));
    writer.Attribute("all", XmlWriter::EscapeText(all));
    writer.ElementText("desc", XmlWriter::EscapeText(all));
    writer.BeginElement("range");
    writer.AttributeFloat("low", -40.0);
    writer.AttributeFloat("high", 215.5);
    writer.EndElement();
    writer.BeginElement("MATH");
    writer.Attribute("equation", XmlWriter::EscapeText("X*(9/5)+32"));
    writer.BeginElement("VAR");
    writer.Attribute("varID", "X");
    writer.EndElement();
    writer.EndElement();
    writer.EndElement();
    ASSERT_TRUE(writer.Close());
  }
  XmlSaxParser parser;
  RecordingCallback callback;
  parser.SetCallback(&callback);
  ASSERT_EQ(parser.Parse(path_.c_str()), kXmlOk) << callback.errorMessage;
  std::u16string wideAll(all.begin(), all.end());
  for (char16_t& c : wideAll) c = static_cast<unsigned char>(c);
  const std::string shownAll = RecordingCallback::Show(wideAll.data(), static_cast<int32_t>(wideAll.size()));
  const std::vector<std::string> expected = {"SD",
                                             "SE ADXFORMAT version=[0.50]",
                                             "EE ADXFORMAT",
                                             "SE ADXVALUE title=[" + title + "] all=[" + shownAll + "]",
                                             "SE desc",
                                             "CH [" + shownAll + "]",
                                             "EE desc",
                                             "SE range low=[-40.000000] high=[215.500000]",
                                             "EE range",
                                             "SE MATH equation=[X*(9/5)+32]",
                                             "SE VAR varID=[X]",
                                             "EE VAR",
                                             "EE MATH",
                                             "EE ADXVALUE",
                                             "ED"};
  EXPECT_EQ(callback.events, expected);
}

}  // namespace
