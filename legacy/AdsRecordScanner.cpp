#include "legacy/AdsRecordScanner.h"

#include "legacy/AdsInput.h"

int AdsRecordScanner::Get() {
  if (ended_) return AdsInput::kEnd;
  int c = input_.Get();
  // A byte 0xFF ends the definition like the end of the file does.
  if (c == AdsInput::kEnd || c == 0xFF) {
    ended_ = true;
    return AdsInput::kEnd;
  }
  if (c == '\n') ++line_;
  return c;
}

bool AdsRecordScanner::NextRecord() {
  for (;;) {
    int c = Get();
    if (c == AdsInput::kEnd) return false;
    if (c == '{') {
      recordLine_ = line_;
      return true;
    }
  }
}

AdsRecordScanner::Result AdsRecordScanner::NextField(std::size_t capacity, AdsField& field) {
  // The name: anything up to "=", unread.
  for (;;) {
    int c = Get();
    if (c == AdsInput::kEnd) return Result::EndOfInput;
    if (c == '}') return Result::EndOfRecord;
    if (c == '=') break;
  }
  field.value.clear();
  field.line = line_;
  field.fullLength = 0;
  field.cut = false;
  field.unterminated = false;
  for (;;) {
    int c = Get();
    if (c == AdsInput::kEnd) {
      field.unterminated = true;
      break;
    }
    if (c == ';') break;
    if (field.fullLength < capacity) {
      field.value.push_back(static_cast<char>(c));
    } else {
      field.cut = true;
    }
    ++field.fullLength;
  }
  return Result::Field;
}

void AdsRecordScanner::SkipRecord() {
  AdsField field;
  while (NextField(0, field) == Result::Field) {
  }
}
