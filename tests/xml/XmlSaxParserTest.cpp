#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/xml/RecordingCallback.h"
#include "xml/XmlSaxParser.h"

namespace {

using Events = std::vector<std::string>;

struct Outcome {
  int32_t result = 0;
  RecordingCallback callback;
};

Outcome ParseBytes(const std::string& bytes, const std::string& abortOn = "") {
  Outcome outcome;
  outcome.callback.abortOn = abortOn;
  XmlSaxParser parser;
  parser.SetCallback(&outcome.callback);
  outcome.result = parser.ParseMemory(bytes.data(), bytes.size(), "mem.xml");
  return outcome;
}

// The document as 16-bit units of its 8-bit characters (or of `wide`).
std::string To16(const std::u16string& text, bool bigEndian, bool byteOrderMark) {
  std::string bytes;
  auto put = [&](char16_t c) {
    char low = static_cast<char>(c & 0xFF);
    char high = static_cast<char>(c >> 8);
    if (bigEndian) {
      bytes += high;
      bytes += low;
    } else {
      bytes += low;
      bytes += high;
    }
  };
  if (byteOrderMark) put(0xFEFF);
  for (char16_t c : text) put(c);
  return bytes;
}

std::u16string Widen(const std::string& text) {
  std::u16string wide;
  for (unsigned char c : text) wide.push_back(c);
  return wide;
}

class TempFile {
 public:
  explicit TempFile(const std::string& contents) {
    path_ = std::filesystem::temp_directory_path() /
            ("varnak_xml_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++) + ".xml");
    std::ofstream(path_, std::ios::binary) << contents;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string Path() const { return path_.string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

const std::string kSample =
    "<?xml version=\"1.0\"?>\r\n"
    "<!-- a definition -->\r\n"
    "<ADXHEADER a='1' b=\"&lt;&#65;&#x42;\">\r\n"
    "    <flags>0x01</flags>\r\n"
    "    <empty />\r\n"
    "    <data><![CDATA[<raw & ]]]></data>\r\n"
    "</ADXHEADER>\r\n";

const Events kSampleEvents = {"SD",           "SE ADXHEADER a=[1] b=[<AB]",
                              "SE flags",     "CH [0x01]",
                              "EE flags",     "SE empty",
                              "EE empty",     "SE data",
                              "SC",           "CD [<raw & ]]",
                              "EC",           "EE data",
                              "EE ADXHEADER", "ED"};

// ---------------------------------------------------------------------------

TEST(XmlSaxParser, ReportsElementsTextCDataAndSkipsCommentsAndDeclarations) {
  Outcome out = ParseBytes(kSample);
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, kSampleEvents);
  EXPECT_EQ(out.callback.errorCount, 0);
}

TEST(XmlSaxParser, AcceptsSeveralTopLevelElementsAndUnmatchedEndTags) {
  Outcome out = ParseBytes("<a></b><c/><d x = \"1\"\t></d >");
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "EE b", "SE c", "EE c", "SE d x=[1]", "EE d", "ED"}));
}

TEST(XmlSaxParser, EmptyElementWithQuotedAndEncodedAttributes) {
  Outcome out = ParseBytes("<e a='1' b=\"&lt;&#65;&#x42;\"/>");
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE e a=[1] b=[<AB]", "EE e", "ED"}));
  // The other quote is ordinary text inside a value; attributes may follow a value directly.
  out = ParseBytes("<e a='say \"hi\"' b=\"it's\"c=''/>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE e a=[say \"hi\"] b=[it's] c=[]", "EE e", "ED"}));
}

TEST(XmlSaxParser, WhiteSpaceOnlyTextIsDroppedOtherTextIsKeptWhole) {
  Outcome out = ParseBytes("<a> \t\r\n </a><b> x </b>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "EE a", "SE b", "CH [ x ]", "EE b", "ED"}));
  // Text after the last tag is delivered before the end of the document.
  out = ParseBytes("<a/>tail");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "EE a", "CH [tail]", "ED"}));
}

TEST(XmlSaxParser, DecodesEntitiesInTextAndWrapsCodesAt16Bits) {
  Outcome out = ParseBytes("<a>&lt;&gt;&amp;&apos;&quot;&#;&#x10041;&#65601;&#x263a;</a>");
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "CH [<>&'\"\\u0000AA\\u263A]", "EE a", "ED"}));
}

TEST(XmlSaxParser, DecimalReferencesAbove255KeepAllSixteenBits) {
  // A parser that wrapped decimal references at 8 bits would give 0xAC, 0x00
  // and 0xFF here.
  Outcome out = ParseBytes("<a e=\"&#8364;\">&#8364;&#256;&#65535;</a>");
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events,
            (Events{"SD", "SE a e=[\\u20AC]", "CH [\\u20AC\\u0100\\uFFFF]", "EE a", "ED"}));
}

TEST(XmlSaxParser, CDataIsRawAndEndsOnlyAtTheFullTerminator) {
  Outcome out = ParseBytes("<a><![CDATA[&lt; ]> ]]x ]]]></a><b><![CDATA[]]></b>");
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "SC", "CD [&lt; ]> ]]x ]]", "EC", "EE a", "SE b", "SC",
                                         "CD []", "EC", "EE b", "ED"}));
}

TEST(XmlSaxParser, CommentsEndAtTheFirstDoubleDashAndGreaterThan) {
  Outcome out = ParseBytes("<a><!-- x -- y - > <b> ---></a><!---->");
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "EE a", "ED"}));
}

// ---------------------------------------------------------------------------
// Encodings

TEST(XmlSaxParser, SixteenBitDocumentsInBothByteOrdersWithAndWithoutMark) {
  for (bool bigEndian : {false, true}) {
    for (bool mark : {false, true}) {
      SCOPED_TRACE(std::string(bigEndian ? "big" : "little") + (mark ? " with mark" : " without mark"));
      Outcome out = ParseBytes(To16(Widen(kSample.substr(kSample.find("<!--"))), bigEndian, mark));
      EXPECT_EQ(out.result, kXmlOk);
      EXPECT_EQ(out.callback.events, kSampleEvents);
    }
  }
}

TEST(XmlSaxParser, SixteenBitCharactersAbove255ArePassedOn) {
  std::u16string doc = u"<a t='\u0141'>\u20AC&#x100;</a>";
  Outcome out = ParseBytes(To16(doc, true, true));
  EXPECT_EQ(out.result, kXmlOk);
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a t=[\\u0141]", "CH [\\u20AC\\u0100]", "EE a", "ED"}));
}

TEST(XmlSaxParser, EightBitCharactersKeepTheirByteValue) {
  Outcome out = ParseBytes("<a>\xE9\xFF</a>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "CH [\\u00E9\\u00FF]", "EE a", "ED"}));
}

TEST(XmlSaxParser, RejectsUtf8MarkLeadingWhiteSpaceAndEmptyInput) {
  for (const std::string& doc :
       {std::string("\xEF\xBB\xBF<a/>"), std::string("\r\n<a/>"), std::string(" <a/>"), std::string()}) {
    Outcome out = ParseBytes(doc);
    EXPECT_EQ(out.result, kXmlErrorSyntax);
    EXPECT_EQ(
        out.callback.events,
        (Events{"SD", "ERROR Unrecognized encoding (parser does not support UTF-8 language encodings)"}));
  }
}

TEST(XmlSaxParser, SixteenBitInputEndingInsideACharacter) {
  // A lone zero byte at the end is padding; any other lone byte is a cut-off character.
  std::string doc = To16(u"<a/>", false, true);
  EXPECT_EQ(ParseBytes(doc + '\0').result, kXmlOk);
  Outcome out = ParseBytes(doc + 'x');
  EXPECT_EQ(out.result, kXmlErrorSyntax);
  EXPECT_EQ(out.callback.errorMessage, "Unexpected EOF while parsing XML file");
}

TEST(XmlSaxParser, ZeroCharactersArePaddingOnlyAtTheEnd) {
  EXPECT_EQ(ParseBytes(std::string("<a/>\0\0\0", 7)).result, kXmlOk);
  // Padding that runs past the first chunk is still padding.
  EXPECT_EQ(ParseBytes("<a/>" + std::string(5000, '\0')).result, kXmlOk);
  // A zero in the middle must not hide the rest of the document.
  for (const std::string& doc : {std::string("<a>x\0y</a>", 10), "<a/>" + std::string(3000, '\0') + "<b/>"}) {
    Outcome out = ParseBytes(doc);
    EXPECT_EQ(out.result, kXmlErrorSyntax);
    EXPECT_EQ(out.callback.errorMessage, "Unexpected zero character in XML file");
    EXPECT_EQ(out.callback.events.back(), "ERROR Unexpected zero character in XML file");
  }
}

// ---------------------------------------------------------------------------
// Errors

struct ErrorCase {
  const char* document;
  const char* message;
};

TEST(XmlSaxParser, EverySyntaxErrorHasItsMessageAndStopsTheParse) {
  const ErrorCase cases[] = {
      {"<a><!-x--></a>", "Expecting '-' after '<!-'"},
      {"<a><![CDAT x]]></a>", "Expecting '<![CDATA['"},
      {"<!DOCTYPE a><a/>", "Expecting '<![CDATA['"},
      {"<a></a x>", "Expecting '>' after name for closing entity reference"},
      {"<a/ >", "Expecting '>' after '/' in element tag"},
      {"<a b></a>", "Expecting '=' character after attribute name"},
      {"<a b c='1'/>", "Expecting '=' character after attribute name"},
      {"<1a/>", "Names must start with an alphabetic character or _ or :"},
      {"<a -b='1'/>", "Names must start with an alphabetic character or _ or :"},
      {"<a></ a>", "Names must start with an alphabetic character or _ or :"},
      {"<a b=1/>", "Attribute values must be enclosed in quotes"},
      {"<a b='<'/>", "Illegal character '<' in element tag"},
      {"<a>&#xG;</a>", "Expected hex digit as part of &#x escape sequence"},
      {"<a>&#X41;</a>", "Expected decimal digit as part of &# escape sequence"},
      {"<a>&#1a;</a>", "Expected decimal digit as part of &# escape sequence"},
      {"<a>& b</a>", "Expecting entity name after &"},
      {"<a>&nbsp;</a>", "Unrecognized entity name after & - (should be lt, gt, amp, apos, or quot)"},
      {"<a b='&ampx;'/>", "Unrecognized entity name after & - (should be lt, gt, amp, apos, or quot)"},
      {"<a>&lt </a>", "Expected terminating ; for entity reference"},
      {"<a", "Unexpected EOF while parsing XML file"},
      {"<a b='1", "Unexpected EOF while parsing XML file"},
      {"<a><!-- open", "Unexpected EOF while parsing XML file"},
      {"<a><![CDATA[x]]", "Unexpected EOF while parsing XML file"},
      {"<?xml version='1.0'", "Unexpected EOF while parsing XML file"},
      {"<a>&am", "Unexpected EOF while parsing XML file"},
      {"<a></a", "Unexpected EOF while parsing XML file"},
      {"<", "Unexpected EOF while parsing XML file"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.document);
    Outcome out = ParseBytes(c.document);
    EXPECT_EQ(out.result, kXmlErrorSyntax);
    EXPECT_EQ(out.callback.errorCode, kXmlErrorSyntax);
    EXPECT_EQ(out.callback.errorCount, 1);
    EXPECT_EQ(out.callback.errorMessage, c.message);
    // Nothing is reported after the error, the end of the document included.
    EXPECT_EQ(out.callback.events.back(), std::string("ERROR ") + c.message);
  }
}

TEST(XmlSaxParser, ThirtyTwoAttributesAreTheLimit) {
  auto element = [](int count) {
    std::string doc = "<e";
    for (int i = 0; i < count; ++i) doc += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    return doc + "/>";
  };
  Outcome out = ParseBytes(element(32));
  EXPECT_EQ(out.result, kXmlOk);
  ASSERT_EQ(out.callback.events.size(), 4u);
  EXPECT_NE(out.callback.events[1].find("a31=[31]"), std::string::npos);
  out = ParseBytes(element(33));
  EXPECT_EQ(out.result, kXmlErrorSyntax);
  EXPECT_EQ(out.callback.errorMessage, "Elements may not have more than 32 attributes");
}

TEST(XmlSaxParser, NamesAndValuesOfOneTagShare2048Characters) {
  const std::string limit = "Total element tag size may not be more than 2048 characters";
  // Element name alone.
  EXPECT_EQ(ParseBytes("<" + std::string(2048, 'n') + "/>").result, kXmlOk);
  EXPECT_EQ(ParseBytes("<" + std::string(2049, 'n') + "/>").callback.errorMessage, limit);
  // Name "e" + attribute name "a" + value: 2046 characters of value fit, 2047 do not.
  EXPECT_EQ(ParseBytes("<e a='" + std::string(2046, 'v') + "'/>").result, kXmlOk);
  Outcome out = ParseBytes("<e a='" + std::string(2047, 'v') + "'/>");
  EXPECT_EQ(out.result, kXmlErrorSyntax);
  EXPECT_EQ(out.callback.errorMessage, limit);
  // An end tag name has the same limit.
  EXPECT_EQ(ParseBytes("<a></" + std::string(2049, 'n') + ">").callback.errorMessage, limit);
  // Text is not a tag: it is cut into pieces instead.
  EXPECT_EQ(ParseBytes("<a>" + std::string(5000, 't') + "</a>").result, kXmlOk);
}

TEST(XmlSaxParser, ErrorPositionsCountLinesAndColumns) {
  // Carriage returns do not count; the column is that of the offending character.
  Outcome out = ParseBytes("<a>\r\n  <b>\r\n\t<1/>");
  EXPECT_EQ(out.callback.errorMessage, "Names must start with an alphabetic character or _ or :");
  EXPECT_EQ(out.callback.errorLine, 3);
  EXPECT_EQ(out.callback.errorColumn, 3);
  EXPECT_EQ(out.callback.line, 3);
  EXPECT_EQ(out.callback.column, 3);

  XmlSaxParser parser;
  RecordingCallback callback;
  parser.SetCallback(&callback);
  const std::string doc = "<a>\n\n  <b x='1' y=2/>";
  EXPECT_EQ(parser.ParseMemory(doc.data(), doc.size()), kXmlErrorSyntax);
  EXPECT_EQ(parser.ErrorMessage(), "Attribute values must be enclosed in quotes");
  EXPECT_EQ(parser.ErrorLine(), 3);
  EXPECT_EQ(parser.ErrorColumn(), 14);

  // In 16-bit documents a character is two bytes, and the mark does not count.
  out = ParseBytes(To16(u"<a>\n<b c></b>", true, true));
  EXPECT_EQ(out.callback.errorLine, 2);
  EXPECT_EQ(out.callback.errorColumn, 5);
}

TEST(XmlSaxParser, CallbackCanAbortAtAnyEvent) {
  for (const char* event : {"SD", "SE", "CH", "EE", "SC", "CD", "EC", "ED"}) {
    SCOPED_TRACE(event);
    Outcome out = ParseBytes(kSample, event);
    EXPECT_EQ(out.result, kXmlErrorAbort);
    EXPECT_EQ(out.callback.errorCount, 0);
    ASSERT_FALSE(out.callback.events.empty());
    EXPECT_EQ(out.callback.events.back().substr(0, 2), event);
  }
}

TEST(XmlSaxParser, WithoutCallbackNothingIsParsed) {
  XmlSaxParser parser;
  EXPECT_EQ(parser.ParseMemory("<a/>", 4), kXmlErrorNoCallback);
  EXPECT_EQ(parser.Parse("/nonexistent"), kXmlErrorNoCallback);
}

// ---------------------------------------------------------------------------
// Long text and chunk boundaries

TEST(XmlSaxParser, LongTextIsDeliveredInBufferSizedPieces) {
  Outcome out = ParseBytes("<a>" + std::string(2048, 'x') + "</a>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "CH [" + std::string(2048, 'x') + "]", "EE a", "ED"}));

  out = ParseBytes("<a>" + std::string(5000, 'x') + "</a>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "CH [" + std::string(2048, 'x') + "] more",
                                         "CH [" + std::string(2048, 'x') + "] more",
                                         "CH [" + std::string(904, 'x') + "]", "EE a", "ED"}));

  // White space continuing a text that was already handed out is part of it.
  out = ParseBytes("<a>" + std::string(2048, 'x') + std::string(2100, ' ') + "</a>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "CH [" + std::string(2048, 'x') + "] more",
                                         "CH [" + std::string(2048, ' ') + "] more",
                                         "CH [" + std::string(52, ' ') + "]", "EE a", "ED"}));

  // A buffer of white space before any text is dropped; the text after it is not.
  out = ParseBytes("<a>" + std::string(2048, ' ') + "y</a><b>" + std::string(4100, '\n') + "</b>");
  EXPECT_EQ(out.callback.events, (Events{"SD", "SE a", "CH [y]", "EE a", "SE b", "EE b", "ED"}));

  out = ParseBytes("<a><![CDATA[" + std::string(4097, 'c') + "]]></a>");
  EXPECT_EQ(out.callback.events,
            (Events{"SD", "SE a", "SC", "CD [" + std::string(2048, 'c') + "] more",
                    "CD [" + std::string(2048, 'c') + "] more", "CD [c]", "EC", "EE a", "ED"}));
}

TEST(XmlSaxParser, MarkupAcrossChunkBoundariesInEveryEncoding) {
  // Elements and entities placed so that they straddle the 2048-byte chunks.
  std::string doc;
  for (int i = 0; doc.size() < 9000; ++i) {
    doc += "<item n='" + std::to_string(i) + "' v=\"&amp;&#x41;\">t&lt;" + std::to_string(i) + "</item>";
  }
  Outcome reference = ParseBytes(doc);
  ASSERT_EQ(reference.result, kXmlOk);
  for (bool bigEndian : {false, true}) {
    for (bool mark : {false, true}) {
      Outcome out = ParseBytes(To16(Widen(doc), bigEndian, mark));
      EXPECT_EQ(out.result, kXmlOk);
      EXPECT_EQ(out.callback.events, reference.callback.events);
    }
  }
  // Shift by one character so that the boundaries fall elsewhere.
  Outcome shifted = ParseBytes("<x/>" + doc);
  ASSERT_EQ(shifted.result, kXmlOk);
  EXPECT_EQ(shifted.callback.events.size(), reference.callback.events.size() + 2);
}

// ---------------------------------------------------------------------------
// Files

TEST(XmlSaxParser, ParsesFilesAndNamesThemToTheCallback) {
  TempFile file(kSample);
  XmlSaxParser parser;
  RecordingCallback callback;
  parser.SetCallback(&callback);
  EXPECT_EQ(parser.Parse(file.Path().c_str()), kXmlOk);
  EXPECT_EQ(callback.events, kSampleEvents);
  EXPECT_EQ(callback.fileNameSeen, file.Path());
  EXPECT_EQ(callback.fileName, nullptr);
  EXPECT_EQ(callback.line, 8);

  // Large 16-bit file, read in many chunks.
  std::string body;
  while (body.size() < 20000) body += "<v x='1'>" + std::string(37, 'z') + "</v>\n";
  TempFile wide(To16(Widen(body), true, true));
  RecordingCallback wideCallback;
  parser.SetCallback(&wideCallback);
  EXPECT_EQ(parser.Parse(wide.Path().c_str()), kXmlOk);
  EXPECT_EQ(wideCallback.events, ParseBytes(body).callback.events);
}

TEST(XmlSaxParser, FileThatCannotBeOpenedGetsOnlyTheError) {
  for (const std::string& path : {std::string("/nonexistent/dir/file.adx"),
                                  std::filesystem::temp_directory_path().string(), std::string()}) {
    SCOPED_TRACE(path);
    XmlSaxParser parser;
    RecordingCallback callback;
    parser.SetCallback(&callback);
    EXPECT_EQ(parser.Parse(path.c_str()), kXmlErrorFile);
    EXPECT_EQ(callback.events, (Events{"ERROR Error opening file"}));
    EXPECT_EQ(callback.errorCode, kXmlErrorFile);
    EXPECT_EQ(callback.fileName, nullptr);
  }
}

TEST(XmlSaxParser, PipeWithoutWriterDoesNotHang) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("varnak_xml_fifo_" + std::to_string(::getpid()))).string();
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  XmlSaxParser parser;
  RecordingCallback callback;
  parser.SetCallback(&callback);
  EXPECT_EQ(parser.Parse(path.c_str()), kXmlErrorSyntax);
  EXPECT_EQ(callback.errorMessage,
            "Unrecognized encoding (parser does not support UTF-8 language encodings)");
  std::filesystem::remove(path);
}

TEST(XmlSaxParser, ReadErrorIsAFailureNotAnEndOfFile) {
  // Reading this file from its start fails with an I/O error on Linux.
  if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem";
  XmlSaxParser parser;
  RecordingCallback callback;
  parser.SetCallback(&callback);
  EXPECT_EQ(parser.Parse("/proc/self/mem"), kXmlErrorFile);
  EXPECT_EQ(callback.events, (Events{"SD", "ERROR Error reading file"}));
}

}  // namespace
