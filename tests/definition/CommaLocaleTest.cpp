// Under a comma-decimal process locale (the window sets the locale from the
// environment) value texts, lookup tables, histograms and ADX files keep the
// decimal point, and number texts still read in full.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "tests/definition/AdxSampleDefinitions.h"
#include "tests/definition/AdxTestSupport.h"
#include "tests/definition/CommaLocale.h"

namespace {

std::string Text(ADXValue& v, const ADXDefinition* def, const std::uint8_t* p, std::size_t n) {
  char buf[64];
  v.Format(buf, sizeof(buf), def, p, n, 0, 0);
  return buf;
}

}  // namespace

TEST(CommaLocale, ValueTextsKeepTheDecimalPoint) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXValue v;
  const char* equation = "X * 0.500000 + -40.000000";
  ASSERT_EQ(v.SetEquation(equation, std::strlen(equation)), 1);
  const std::uint8_t p[] = {105};
  EXPECT_DOUBLE_EQ(v.Convert(nullptr, p, 1, 0, 0), 12.5) << "the equation reads its own numbers";
  v.outputtype = kOutputFloat;
  v.digcount = 2;
  EXPECT_EQ(Text(v, nullptr, p, 1), "12.50");
  v.digcount = 0;
  EXPECT_EQ(Text(v, nullptr, p, 1), "12");
  v.outputtype = kOutputInteger;
  v.digcount = 3;
  EXPECT_EQ(Text(v, nullptr, p, 1), "012");
}

TEST(CommaLocale, LookupTablesFormatAndReadWithAPoint) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXDefinition def;
  auto table = std::make_unique<ADXLookupTable>();
  ADXLookupTable* t = table.get();
  t->SetId("T");
  def.Append(std::move(table));
  t->lookupmode = kLookupClosest;
  // A number given as text reads in full, not up to the point.
  const char* text = "87.5";
  t->AddEntry(1.0f, text, std::strlen(text));
  float input = 0.0f;
  float output = 0.0f;
  ASSERT_EQ(t->GetTableEntry(0, &input, &output), 1);
  EXPECT_EQ(output, 87.5f);

  char buf[32];
  double shown = 0.0;
  t->LookupFormat(1.0f, buf, sizeof(buf), &shown, 3);
  EXPECT_STREQ(buf, "87.500");

  // Switching to text output writes each number with "%f".
  t->SetOutputType(kLookupText);
  ASSERT_EQ(t->GetTableEntryText(0, &input, buf, sizeof(buf)), 1);
  EXPECT_STREQ(buf, "87.500000");
}

TEST(CommaLocale, HistogramTextsKeepTheDecimalPoint) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXHistogram h;
  h.SetRows(1);
  h.SetCols(1);
  h.AddSample(0, 0, 1.0);
  h.AddSample(0, 0, 2.5);
  char buf[32];
  h.GetCellStatistic(kStatAverage, 0, 0, buf, sizeof(buf));
  EXPECT_STREQ(buf, "1.750");
}

// A file saved under the comma locale has the same bytes as one saved under
// the C locale, and reads back with every fraction intact.
TEST(CommaLocale, AdxFilesAreTheSameInEveryLocale) {
  ScratchDir dir;
  ADXDefinition full;
  BuildFullDefinition(full);
  ASSERT_EQ(SaveAdx(&full, dir.Path("c.adx").c_str(), nullptr), 1);
  const std::string cBytes = WithoutTimeComment(ReadWholeFile(dir.Path("c.adx")));

  REQUIRE_COMMA_LOCALE(locale);
  ASSERT_EQ(SaveAdx(&full, dir.Path("de.adx").c_str(), nullptr), 1);
  EXPECT_EQ(WithoutTimeComment(ReadWholeFile(dir.Path("de.adx"))), cBytes);
  EXPECT_EQ(cBytes.find("0,5"), std::string::npos);

  ADXDefinition loaded;
  ASSERT_EQ(LoadAdx(&loaded, dir.Path("de.adx").c_str(), nullptr, 0, nullptr, nullptr), 1);
  ExpectSameDefinition(full, loaded);

  // Fractions that the sample may not hold.
  const std::string file =
      "<ADXFORMAT version=\"0.50\" />\r\n<ADXHEADER><baud>8192</baud></ADXHEADER>\n"
      "<ADXVALUE id=\"V\"><range low=\"-12.25\" high=\"87.5\" /></ADXVALUE>\n";
  WriteWholeFile(dir.Path("f.adx"), file);
  ADXDefinition small;
  ASSERT_EQ(LoadAdx(&small, dir.Path("f.adx").c_str(), nullptr, 0, nullptr, nullptr), 1);
  ASSERT_EQ(small.ObjectCount(), 1u);
  const auto* v = dynamic_cast<const ADXValue*>(small.ObjectAt(0));
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->rangelow, -12.25f);
  EXPECT_EQ(v->rangehigh, 87.5f);
}
