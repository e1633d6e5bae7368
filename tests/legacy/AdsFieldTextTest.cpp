#include "legacy/AdsFieldText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(AdsFieldText, IntegersSkipBlanksTakeSignAndStopAtOtherText) {
  EXPECT_EQ(ParseAdsInteger("42").value, 42);
  EXPECT_EQ(ParseAdsInteger(" \t\r\n -17;").value, -17);
  EXPECT_EQ(ParseAdsInteger("+8192 baud").value, 8192);
  EXPECT_EQ(ParseAdsInteger("12abc34").value, 12);
  EXPECT_TRUE(ParseAdsInteger("0").valid);

  for (const char* text : {"", "   ", "abc", "-", "+", "- 5", "x12"}) {
    AdsNumber<int64_t> number = ParseAdsInteger(text);
    EXPECT_FALSE(number.valid) << text;
    EXPECT_EQ(number.value, 0) << text;
  }
}

TEST(AdsFieldText, IntegersSaturateInsteadOfOverflowing) {
  EXPECT_EQ(ParseAdsInteger("99999999999999999999999").value, std::numeric_limits<int64_t>::max());
  EXPECT_EQ(ParseAdsInteger("-99999999999999999999999").value, std::numeric_limits<int64_t>::min());
  EXPECT_EQ(ParseAdsInteger("-9223372036854775808").value, std::numeric_limits<int64_t>::min());
  EXPECT_EQ(ParseAdsInteger("9223372036854775807").value, std::numeric_limits<int64_t>::max());
}

TEST(AdsFieldText, FloatsReadDecimalAndRejectNonFinite) {
  EXPECT_DOUBLE_EQ(ParseAdsFloat("0.351562").value, 0.351562);
  EXPECT_DOUBLE_EQ(ParseAdsFloat("  -40.000000").value, -40.0);
  EXPECT_DOUBLE_EQ(ParseAdsFloat("+1.5e2 units").value, 150.0);
  EXPECT_DOUBLE_EQ(ParseAdsFloat("7").value, 7.0);
  EXPECT_DOUBLE_EQ(ParseAdsFloat(".5").value, 0.5);
  for (const char* text : {"", "abc", "nan", "inf", "-inf", "1e999", "+-1", "--1"}) {
    AdsNumber<double> number = ParseAdsFloat(text);
    EXPECT_FALSE(number.valid) << text;
    EXPECT_EQ(number.value, 0.0) << text;
  }
}

TEST(AdsFieldText, HexTextTakesEveryHexDigitAndSkipsTheRest) {
  EXPECT_EQ(ParseHexText("0x1F"), 0x1Fu);
  EXPECT_EQ(ParseHexText("1F"), 0x1Fu);
  EXPECT_EQ(ParseHexText("1 F"), 0x1Fu);
  EXPECT_EQ(ParseHexText("12"), 0x12u);
  EXPECT_EQ(ParseHexText("0x000000a5"), 0xA5u);
  EXPECT_EQ(ParseHexText("xyz"), 0u);
  EXPECT_EQ(ParseHexText(""), 0u);
  // Beyond eight digits the oldest ones leave the 32 bits.
  EXPECT_EQ(ParseHexText("0x123456789"), 0x23456789u);
}

TEST(AdsFieldText, ClampsReportWhenANumberDoesNotFit) {
  bool clamped = false;
  EXPECT_EQ(ClampToUint8(300, &clamped), 255);
  EXPECT_TRUE(clamped);
  EXPECT_EQ(ClampToUint8(-1, &clamped), 0);
  EXPECT_TRUE(clamped);
  EXPECT_EQ(ClampToUint8(200, &clamped), 200);
  EXPECT_FALSE(clamped);
  EXPECT_EQ(ClampToUint16(70000), 65535);
  EXPECT_EQ(ClampToUint32(-5), 0u);
  EXPECT_EQ(ClampToUint32(4294967295LL), 4294967295u);
  EXPECT_EQ(ClampToInt32(-3000000000LL, &clamped), std::numeric_limits<int32_t>::min());
  EXPECT_TRUE(clamped);
}

TEST(AdsFieldText, AssignCappedCutsAtTheCapacity) {
  std::string target = "old";
  EXPECT_FALSE(AssignCapped(target, "abc", 3));
  EXPECT_EQ(target, "abc");
  EXPECT_TRUE(AssignCapped(target, "abcdef", 4));
  EXPECT_EQ(target, "abcd");
  EXPECT_FALSE(AssignCapped(target, "", 4));
  EXPECT_EQ(target, "");
}
