// Log lines, the status line's rate and the CSV rows under a comma-decimal
// process locale, as the window and the tools run: always a decimal point.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "acquisition/CollectingTextSink.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/ConnectionState.h"
#include "acquisition/control/StatusLine.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "tests/definition/CommaLocale.h"
#include "tools/varnak-cli/ItemRows.h"

TEST(CommaLocaleTexts, LogLinesAndTheStatusRateKeepTheDecimalPoint) {
  REQUIRE_COMMA_LOCALE(locale);
  CollectingTextSink sink;
  QvDebugOutput log;
  log.SetSink(&sink);
  log.Log("%.3f: Command/Reply Success", 12.5);
  ASSERT_EQ(sink.LineCount(), 1u);
  EXPECT_EQ(sink.Lines()[0], "12.500: Command/Reply Success");

  StatusLineInput input;
  input.connectionState = Connected;
  input.rate = 17.25;
  input.errorCount = 3;
  EXPECT_EQ(StatusFiguresText(input), "17.25 Hz   Errors: 3");
}

TEST(CommaLocaleTexts, CsvRowsKeepTheDecimalPoint) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXDefinition def;
  auto value = std::make_unique<ADXValue>();
  value->SetId("CLT");
  const char* equation = "X * 0.500000 + -40.000000";
  ASSERT_EQ(value->SetEquation(equation, std::strlen(equation)), 1);
  value->outputtype = kOutputFloat;
  value->digcount = 2;
  def.Append(std::move(value));
  ItemRowFormatter rows(def);
  std::string out;
  const std::uint8_t packet[] = {105};
  rows.AppendRow(out, 1.5, packet, sizeof packet, 0);
  EXPECT_EQ(out, "1.500,12.50\n");
}
