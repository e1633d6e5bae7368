// Decimal fields under a comma-decimal locale (the editor runs inside the
// window, which takes the user's locale): they show a decimal point, read a
// typed "12.5" in full, and refuse "12,5" with a message instead of storing 12.
// Runs in the item pages' executable, which provides the application object.
#include <QLineEdit>
#include <QPushButton>

#include "definition/ADXHistogram.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "tests/definition/CommaLocale.h"
#include "tests/editor/pages/PageTestSupport.h"

namespace {

std::string ValidateText(ADXItemEditorBase& page, int* result) {
  char message[kAdxValidateMessageSize] = {};
  *result = page.Validate(message, sizeof(message));
  return message;
}

}  // namespace

TEST(DecimalFields, ValuePageShowsAPointAndRefusesACommaWithAMessage) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXDefinition def;
  auto* v = Add<ADXValue>(def, "CLT", "Coolant");
  v->rangelow = -40.25f;
  v->rangehigh = 12.5f;
  TestPage p(ADX_TYPE_VALUE);
  ASSERT_EQ(p.Load(&def, v), 1);
  EXPECT_EQ(p.C<QLineEdit>(1014)->text(), "-40.250000");
  EXPECT_EQ(p.C<QLineEdit>(1015)->text(), "12.500000");

  p.SetText(1015, "87,5");
  int ok = 1;
  EXPECT_EQ(ValidateText(*p.page, &ok),
            "Range High: \"87,5\" is not a number. Write a decimal number with a point, for example 12.5.");
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(v->rangehigh, 12.5f) << "a refused field keeps the stored number";

  p.SetText(1015, " 87.5 ");
  p.SetText(1016, "");  // an empty field is 0
  EXPECT_EQ(ValidateText(*p.page, &ok), "");
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(v->rangehigh, 87.5f);
  EXPECT_EQ(v->alarmlow, 0.0f);

  // The first refused field is named; the others stay as they were.
  p.SetText(1014, "abc");
  p.SetText(1017, "1.2.3");
  const std::string message = ValidateText(*p.page, &ok);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(message.rfind("Range Low: \"abc\"", 0), 0u) << message;
  EXPECT_EQ(v->rangelow, -40.25f);
}

TEST(DecimalFields, HistogramRangesAreRefusedBeforeTheGridIsRebuilt) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXDefinition def;
  auto* h = Add<ADXHistogram>(def, "MAP", "Map");
  h->SetRows(4);
  h->SetCols(4);
  h->SetXMax(6400.0f);
  TestPage p(ADX_TYPE_HISTOGRAM);
  ASSERT_EQ(p.Load(&def, h), 1);
  EXPECT_EQ(p.C<QLineEdit>(1106)->text(), "6400.000000");
  p.SetText(1106, "6400,5");
  int ok = 1;
  EXPECT_NE(ValidateText(*p.page, &ok).find("Column Max"), std::string::npos);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(h->xmax, 6400.0f);
  p.SetText(1106, "6400.5");
  EXPECT_EQ(ValidateText(*p.page, &ok), "");
  EXPECT_EQ(h->xmax, 6400.5f);
}

TEST(DecimalFields, LookupEntriesThatAreNotNumbersAreNotAdded) {
  REQUIRE_COMMA_LOCALE(locale);
  ADXDefinition def;
  auto* t = Add<ADXLookupTable>(def, "CURVE", "Curve");
  TestPage p(ADX_TYPE_LOOKUPTABLE);
  ASSERT_EQ(p.Load(&def, t), 1);
  p.Choose(1058, "Floating Point");
  p.Choose(1059, "Floating Point");
  auto* add = p.C<QPushButton>(1066);
  p.SetText(1064, "2.5");
  p.SetText(1065, "100,5");
  add->click();
  EXPECT_EQ(t->EntryCount(), 0);
  ASSERT_EQ(p.services.messages.size(), 1u);
  EXPECT_TRUE(p.services.messages[0].second.startsWith("Output: \"100,5\""));

  p.SetText(1065, "100.5");
  add->click();
  ASSERT_EQ(t->EntryCount(), 1);
  EXPECT_EQ(t->entries[0].input, 2.5f);
  EXPECT_EQ(t->entries[0].output, 100.5f);
  EXPECT_EQ(p.services.messages.size(), 1u);
}
