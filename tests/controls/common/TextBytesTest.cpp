// Bytes of definitions, logs and paths shown as text and stored back.
#include <gtest/gtest.h>

#include <string>

#include "controls/common/TextBytes.h"

namespace {

TEST(TextBytes, ValidUtf8IsShownAsUtf8AndEverythingElseAsLatin1) {
  // "Kühlmittel" and "°C" written by a UTF-8 editor.
  EXPECT_EQ(TextFromBytes("K\xC3\xBChlmittel"), QStringLiteral("K\u00FChlmittel"));
  EXPECT_EQ(TextFromBytes("\xC2\xB0"
                          "C"),
            QStringLiteral("\u00B0C"));
  // The same words from an 8-bit file: one character per byte, nothing lost.
  EXPECT_EQ(TextFromBytes("K\xFChlmittel"), QStringLiteral("K\u00FChlmittel"));
  EXPECT_EQ(TextFromBytes("\xB0"
                          "C"),
            QStringLiteral("\u00B0C"));
  // A UTF-8 sequence cut short is not UTF-8.
  EXPECT_EQ(TextFromBytes("ab\xC3"), QStringLiteral("ab\u00C3"));
  EXPECT_EQ(TextFromBytes(static_cast<const char*>(nullptr)), QString());
  EXPECT_EQ(TextFromBytes(std::string_view("a\0b", 3)).size(), 3);
  // A path with a name in it, as the window title and the Output log show it.
  EXPECT_EQ(TextFromBytes("/home/j\xC3\xBCrgen/drive.xdl"), QStringLiteral("/home/j\u00FCrgen/drive.xdl"));
}

TEST(TextBytes, TypedTextIsStoredAsUtf8AndReadsBackTheSame) {
  const QString typed = QStringLiteral("Drehzahl \u2192 1/min \u00B0C \u20AC");
  const std::string bytes = BytesFromText(typed);
  EXPECT_EQ(bytes,
            "Drehzahl \xE2\x86\x92 1/min \xC2\xB0"
            "C \xE2\x82\xAC");
  EXPECT_EQ(TextFromBytes(bytes), typed);
  EXPECT_EQ(BytesFromText(QStringLiteral("RPM")), "RPM");
}

}  // namespace
