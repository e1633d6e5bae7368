#include "legacy/AdsRecordScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "legacy/AdsInput.h"

namespace {

using Result = AdsRecordScanner::Result;

// Every record of a text as its list of field values.
std::vector<std::vector<std::string>> Records(const std::string& text, std::size_t capacity = 255) {
  AdsTextInput input(text);
  AdsRecordScanner scanner(input);
  std::vector<std::vector<std::string>> records;
  while (scanner.NextRecord()) {
    records.emplace_back();
    AdsField field;
    while (scanner.NextField(capacity, field) == Result::Field) records.back().push_back(field.value);
  }
  return records;
}

}  // namespace

TEST(AdsRecordScanner, IgnoresTextOutsideRecordsAndTakesValuesAsWritten) {
  auto records = Records(
      "// banner line\n"
      "garbage = 1;\n"
      "{\n\tname one =  spaced value ;\n\tsecond=x;}\n"
      "// between\n"
      "{a=1;b=;}");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"  spaced value ", "x"}));
  EXPECT_EQ(records[1], (std::vector<std::string>{"1", ""}));
}

TEST(AdsRecordScanner, ValuesRunToTheSemicolonAcrossBracesAndLines) {
  auto records = Records("{a=left } right\nnext;b=2;}");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"left } right\nnext", "2"}));
}

TEST(AdsRecordScanner, CommentWithBraceOrEqualsBecomesARecord) {
  // Comments must not hold these characters: they are read as structure.
  auto records = Records("// a { comment = x;\n}\n{v=1;}");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (std::vector<std::string>{" x"}));
}

TEST(AdsRecordScanner, LongValuesAreCutButFullyConsumed) {
  std::string text = "{a=" + std::string(300, 'x') + ";b=after;}";
  AdsTextInput input(text);
  AdsRecordScanner scanner(input);
  ASSERT_TRUE(scanner.NextRecord());
  AdsField field;
  ASSERT_EQ(scanner.NextField(255, field), Result::Field);
  EXPECT_EQ(field.value.size(), 255u);
  EXPECT_TRUE(field.cut);
  EXPECT_EQ(field.fullLength, 300u);
  ASSERT_EQ(scanner.NextField(255, field), Result::Field);
  EXPECT_EQ(field.value, "after");
  EXPECT_FALSE(field.cut);
}

TEST(AdsRecordScanner, EndsAtByteFFAndInsideValues) {
  auto records = Records(std::string("{a=1;}\xFF{b=2;}"));
  EXPECT_EQ(records.size(), 1u);

  AdsTextInput input("{a=unfinished");
  AdsRecordScanner scanner(input);
  ASSERT_TRUE(scanner.NextRecord());
  AdsField field;
  ASSERT_EQ(scanner.NextField(255, field), Result::Field);
  EXPECT_EQ(field.value, "unfinished");
  EXPECT_TRUE(field.unterminated);
  EXPECT_EQ(scanner.NextField(255, field), Result::EndOfInput);
  EXPECT_FALSE(scanner.NextRecord());
}

TEST(AdsRecordScanner, CountsLinesForRecordsAndValues) {
  AdsTextInput input("// one\n// two\n{\n a=1;\n b=\n2;\n}");
  AdsRecordScanner scanner(input);
  ASSERT_TRUE(scanner.NextRecord());
  EXPECT_EQ(scanner.RecordLine(), 3);
  AdsField field;
  ASSERT_EQ(scanner.NextField(255, field), Result::Field);
  EXPECT_EQ(field.line, 4);
  ASSERT_EQ(scanner.NextField(255, field), Result::Field);
  EXPECT_EQ(field.line, 5);
  EXPECT_EQ(scanner.NextField(255, field), Result::EndOfRecord);
}
