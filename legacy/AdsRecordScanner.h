// Splits ADS text into records and fields. A record runs from "{" to the
// next "}" that stands where a field name could start; everything outside
// records is ignored (comment lines, banners). A field is a name, "=", the
// value and ";": the name is skipped unread, the value is everything up to
// the next ";" (it may contain "}" and line breaks). The input ends at its
// end or at a byte 0xFF.
//
// Values longer than the capacity the caller asks for are cut there; the
// rest of the value is still consumed, so the next field starts in the
// right place.
//
// Thread contract: belongs to the thread that reads.
#pragma once

#include <cstddef>
#include <string>

class AdsInput;

struct AdsField {
  std::string value;
  int line = 0;                // line on which the value starts
  std::size_t fullLength = 0;  // length before any cut
  bool cut = false;            // longer than the capacity asked for
  bool unterminated = false;   // the input ended before the ";"
};

class AdsRecordScanner {
 public:
  enum class Result { Field, EndOfRecord, EndOfInput };

  explicit AdsRecordScanner(AdsInput& input) : input_(input) {}

  // Skips to the next "{". Returns false at the end of the input.
  bool NextRecord();

  // Reads the next field of the current record into `field`, its value cut
  // to `capacity` characters. EndOfRecord when a "}" came first, EndOfInput
  // when the input ended before a "=" (a value that the input ends is
  // returned as a Field with `unterminated` set).
  Result NextField(std::size_t capacity, AdsField& field);

  // Skips the rest of the current record, field by field.
  void SkipRecord();

  // Line of the byte read last (1-based).
  int Line() const { return line_; }
  // Line on which the current record's "{" stood.
  int RecordLine() const { return recordLine_; }

 private:
  int Get();

  AdsInput& input_;
  int line_ = 1;
  int recordLine_ = 0;
  bool ended_ = false;
};
