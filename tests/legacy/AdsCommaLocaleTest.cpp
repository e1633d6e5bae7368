// Legacy conversion under a comma-decimal process locale: equations, limits
// and the saved ADX file come out as under the C locale.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsImport.h"
#include "legacy/AdsToAdx.h"
#include "tests/definition/CommaLocale.h"

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file without its line holding the time of saving.
std::string WithoutWrittenLine(const std::string& bytes) {
  const std::size_t at = bytes.find("Written ");
  if (at == std::string::npos) return bytes;
  const std::size_t end = bytes.find('\n', at);
  return bytes.substr(0, at) + (end == std::string::npos ? std::string() : bytes.substr(end));
}

}  // namespace

TEST(AdsCommaLocale, EquationsAndLimitsKeepTheirFractions) {
  REQUIRE_COMMA_LOCALE(locale);
  ALDLDefinition legacy;
  auto value = std::make_unique<ALDLValue>();
  value->uniqueId = 1;
  value->byteNumber = 1;
  value->operation = kAldlOpLinear;
  value->factor = 0.5;
  value->offset = -40.0;
  value->rangeHigh = 255;  // shown "87.50"
  value->alarmLow = 1;     // shown "-39.50"
  value->title = "Coolant";
  legacy.AddValue(std::move(value));
  auto inverse = std::make_unique<ALDLValue>();
  inverse->uniqueId = 2;
  inverse->byteNumber = 1;
  inverse->operation = kAldlOpInverse;
  inverse->factor = 1000.5;
  inverse->offset = 0.25;
  legacy.AddValue(std::move(inverse));

  ADXDefinition def;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  auto* v = dynamic_cast<ADXValue*>(def.FindById("1"));
  ASSERT_NE(v, nullptr);
  char equation[256] = {};
  v->GetEquation(equation, sizeof equation);
  EXPECT_STREQ(equation, "X * 0.500000 + -40.000000");
  EXPECT_EQ(v->rangehigh, 87.5f);
  EXPECT_EQ(v->alarmlow, -39.5f);
  v->SetLastRaw(100);
  EXPECT_DOUBLE_EQ(v->Convert(&def, nullptr, 0, 0, 0), 10.0);

  auto* inv = dynamic_cast<ADXValue*>(def.FindById("2"));
  ASSERT_NE(inv, nullptr);
  inv->GetEquation(equation, sizeof equation);
  EXPECT_STREQ(equation, "1000.500000 / X + 0.250000");
}

TEST(AdsCommaLocale, ImportedFilesAreTheSameInEveryLocale) {
  const std::string input = std::string(VARNAK_SOURCE_DIR) + "/examples/legacy/ecu8192_port_injected_v6.ads";
  const auto dir = std::filesystem::temp_directory_path();
  const std::string tag = std::to_string(reinterpret_cast<std::uintptr_t>(&input));
  const std::string cPath = (dir / ("varnak_c_" + tag + ".adx")).string();
  const std::string dePath = (dir / ("varnak_de_" + tag + ".adx")).string();
  const AdsImportResult c = ImportAdsFile(input, cPath, true);
  ASSERT_TRUE(c.ok) << c.error;
  const std::string cBytes = WithoutWrittenLine(ReadWhole(cPath));
  std::remove(cPath.c_str());

  REQUIRE_COMMA_LOCALE(locale);
  const AdsImportResult de = ImportAdsFile(input, dePath, true);
  ASSERT_TRUE(de.ok) << de.error;
  const std::string deBytes = WithoutWrittenLine(ReadWhole(dePath));
  std::remove(dePath.c_str());
  EXPECT_EQ(deBytes, cBytes);
  EXPECT_EQ(c.warnings, de.warnings);
  EXPECT_NE(cBytes.find(" * 0."), std::string::npos) << "the example has fractional factors";
}
