// Value decoding: raw numbers from packets, conversion through equations,
// links and lookup tables, output texts and alarms.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "definition/ADXDecodeFlags.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"

namespace {

void SetEq(ADXValue& v, const char* text) {
  ASSERT_EQ(v.SetEquation(text, std::strlen(text)), 1) << text;
}

template <class T>
T* Add(ADXDefinition& def, const char* id) {
  auto object = std::make_unique<T>();
  object->SetId(id);
  T* raw = object.get();
  def.Append(std::move(object));
  return raw;
}

std::string Text(ADXValue& v, const ADXDefinition* def, const std::uint8_t* p, std::size_t n,
                 std::uint32_t flags = 0) {
  char buf[64];
  v.Format(buf, sizeof(buf), def, p, n, 0, flags);
  return buf;
}

}  // namespace

TEST(ValueRaw, ByteOrderAndCallFlags) {
  ADXValue v;
  v.sizeinbits = 16;
  const std::uint8_t p[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0x1234);
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, kDecodeNoSwap), 0x3412);
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 3, kDecodeAtOffset), 0x789A);
  v.flags = kValueLsbFirst;
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0x3412);
  EXPECT_EQ(v.LastRaw(), 0x3412);

  v.flags = 0;
  v.sizeinbits = 32;
  v.packetoffset = 1;
  EXPECT_EQ(static_cast<std::uint32_t>(v.ExtractRaw(p, sizeof(p), 0, 0)), 0x3456789Au);
  v.flags = kValueLsbFirst;
  EXPECT_EQ(static_cast<std::uint32_t>(v.ExtractRaw(p, sizeof(p), 0, 0)), 0x9A785634u);
}

TEST(ValueRaw, NoPacketOrShortPacketKeepsTheLastRaw) {
  ADXValue v;
  v.sizeinbits = 16;
  v.packetoffset = 2;
  v.SetLastRaw(0x55);
  const std::uint8_t p[] = {1, 2, 3};
  EXPECT_EQ(v.ExtractRaw(nullptr, 0, 0, 0), 0x55);
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0x55);  // byte 3 lies past the end
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0xFFFFFFFFu, kDecodeAtOffset), 0x55);
  EXPECT_EQ(v.LastRaw(), 0x55);
}

TEST(ValueRaw, OddSizesAreCutToFourBytes) {
  ADXValue v;
  const std::uint8_t p[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  v.sizeinbits = 64;
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0x01020304);
  v.sizeinbits = 24;
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0x010203);
  v.sizeinbits = 4;  // less than a byte reads nothing
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0);
  v.sizeinbits = -8;
  EXPECT_EQ(v.ExtractRaw(p, sizeof(p), 0, 0), 0);
  v.flags = kValueSigned;
  v.sizeinbits = 24;
  EXPECT_EQ(v.RawToNumber(p, sizeof(p), 0, 0), 0.0);  // signed reading of other sizes
}

TEST(ValueRaw, SignedAndUnsignedReading) {
  ADXValue v;
  const std::uint8_t ff[] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(v.RawToNumber(ff, 4, 0, 0), 255.0);
  v.flags = kValueSigned;
  EXPECT_EQ(v.RawToNumber(ff, 4, 0, 0), -1.0);
  v.sizeinbits = 16;
  EXPECT_EQ(v.RawToNumber(ff, 4, 0, 0), -1.0);
  const std::uint8_t p16[] = {0x80, 0x00};
  EXPECT_EQ(v.RawToNumber(p16, 2, 0, 0), -32768.0);
  v.sizeinbits = 32;
  EXPECT_EQ(v.RawToNumber(ff, 4, 0, 0), -1.0);
  v.flags = 0;
  EXPECT_EQ(v.RawToNumber(ff, 4, 0, 0), 4294967295.0);
}

TEST(ValueConvert, EquationAndFormats) {
  ADXValue v;
  SetEq(v, "X*2");
  ASSERT_EQ(v.VariableCount(), 1);
  EXPECT_EQ(v.GetVariable(0)->varID, 'X');
  EXPECT_EQ(v.GetVariable(1), nullptr);
  const std::uint8_t p[] = {10};
  EXPECT_DOUBLE_EQ(v.Convert(nullptr, p, 1, 0, 0), 20.0);
  EXPECT_EQ(Text(v, nullptr, p, 1), "20.00");
  v.outputtype = kOutputHex;
  v.digcount = 4;
  EXPECT_EQ(Text(v, nullptr, p, 1), "0014");
  v.outputtype = kOutputInteger;
  v.digcount = 3;
  EXPECT_EQ(Text(v, nullptr, p, 1), "020");
  v.outputtype = kOutputPercent;
  EXPECT_EQ(Text(v, nullptr, p, 1), "");
  // With no buffer Format only converts.
  EXPECT_DOUBLE_EQ(v.Format(nullptr, 0, nullptr, p, 1, 0, 0), 20.0);

  // Negative and huge outputs format without trapping.
  SetEq(v, "0-X");
  v.outputtype = kOutputHex;
  v.digcount = 2;
  EXPECT_EQ(Text(v, nullptr, p, 1), "FFFFFFF6");
  v.outputtype = kOutputUnsigned;
  SetEq(v, "X*1000000000000");
  EXPECT_EQ(Text(v, nullptr, p, 1), "4294967295");
  v.outputtype = kOutputInteger;
  EXPECT_EQ(Text(v, nullptr, p, 1), "2147483647");
}

TEST(ValueConvert, RepeatedLettersAndOrder) {
  ADXValue v;
  SetEq(v, "(A*256+B)/4");
  ASSERT_EQ(v.VariableCount(), 2);
  EXPECT_EQ(v.GetVariable(0)->varID, 'A');
  EXPECT_EQ(v.GetVariable(1)->varID, 'B');

  // Two natives read the same raw number; X*X squares it.
  SetEq(v, "X*X");
  EXPECT_EQ(v.VariableCount(), 2);
  const std::uint8_t p[] = {3};
  EXPECT_DOUBLE_EQ(v.Convert(nullptr, p, 1, 0, 0), 9.0);
  // An empty or failing equation gives 0.
  ADXValue empty;
  EXPECT_EQ(empty.Convert(nullptr, p, 1, 0, 0), 0.0);
}

TEST(ValueConvert, LinksFollowTheirOwnCommandsPacket) {
  ADXDefinition def;
  auto* other = Add<ADXValue>(def, "OTHER");
  auto* sibling = Add<ADXValue>(def, "SIB");
  auto* v = Add<ADXValue>(def, "SUM");
  SetEq(*other, "X");
  SetEq(*sibling, "X*10");
  SetEq(*v, "A+B+C");
  other->parentcmdidhash = 2;
  sibling->parentcmdidhash = 1;
  sibling->packetoffset = 1;
  v->parentcmdidhash = 1;
  ASSERT_EQ(v->SetVariableSource('B', kVariableLink, other->idhash), 1);
  ASSERT_EQ(v->SetVariableSource('C', kVariableLink, sibling->idhash), 1);
  EXPECT_EQ(v->SetVariableSource('Q', kVariableLink, 1), 0);

  other->SetLastRaw(40);
  const std::uint8_t p[] = {1, 2};
  // A = 1 (own raw), B = 40 (other command: last raw, not this packet), C = 20.
  EXPECT_DOUBLE_EQ(v->Convert(&def, p, 2, 0, 0), 61.0);
  EXPECT_EQ(other->LastRaw(), 40);
  // No packet: recomputed from the stored raw values.
  EXPECT_DOUBLE_EQ(v->Convert(&def, nullptr, 0, 0, 0), 61.0);
}

TEST(ValueConvert, MissingLinksKeepThePreviousNumber) {
  ADXDefinition def;
  auto* v = Add<ADXValue>(def, "V");
  auto* notValue = Add<ADXLookupTable>(def, "T");
  SetEq(*v, "A+B+C");
  v->SetVariableSource('B', kVariableLink, 0x12345678);  // nothing has this hash
  v->SetVariableSource('C', kVariableLink, notValue->idhash);
  const std::uint8_t p[] = {7};
  EXPECT_DOUBLE_EQ(v->Convert(&def, p, 1, 0, 0), 21.0);
  EXPECT_DOUBLE_EQ(v->Convert(nullptr, p, 1, 0, 0), 21.0);  // no definition: links are missing
}

TEST(ValueConvert, LinkCyclesEndAsMissingLinks) {
  ADXDefinition def;
  auto* a = Add<ADXValue>(def, "A");
  auto* b = Add<ADXValue>(def, "B");
  auto* self = Add<ADXValue>(def, "S");
  SetEq(*a, "X+L");
  SetEq(*b, "X+L");
  SetEq(*self, "X+L");
  a->SetVariableSource('L', kVariableLink, b->idhash);
  b->SetVariableSource('L', kVariableLink, a->idhash);
  self->SetVariableSource('L', kVariableLink, self->idhash);
  b->packetoffset = 1;
  const std::uint8_t p[] = {1, 100};
  // a = 1 + b; b = 100 + (link back to a: missing, keeps 100) = 200.
  EXPECT_DOUBLE_EQ(a->Convert(&def, p, 2, 0, 0), 201.0);
  // b = 100 + a, where a's link back to b is missing and keeps a's own 1.
  EXPECT_DOUBLE_EQ(b->Convert(&def, p, 2, 0, 0), 102.0);
  EXPECT_DOUBLE_EQ(self->Convert(&def, p, 2, 0, 0), 2.0);
}

TEST(ValueConvert, VeryLongLinkChainsStop) {
  ADXDefinition def;
  ADXValue* previous = nullptr;
  ADXValue* last = nullptr;
  for (int i = 0; i < 500; ++i) {
    std::string id = "V" + std::to_string(i);
    auto* v = Add<ADXValue>(def, id.c_str());
    SetEq(*v, "X+L");
    if (previous) v->SetVariableSource('L', kVariableLink, previous->idhash);
    previous = last = v;
  }
  const std::uint8_t p[] = {1};
  // Every level adds 1; the chain is cut at the link depth limit.
  EXPECT_DOUBLE_EQ(last->Convert(&def, p, 1, 0, 0), kMaxLinkDepth + 1.0 + 1.0);
}

TEST(ValueConvert, LookupStageAndItsCallFlag) {
  ADXDefinition def;
  auto* table = Add<ADXLookupTable>(def, "TBL");
  table->AddEntry(0.0f, 0.0f);
  table->AddEntry(10.0f, 100.0f);
  auto* v = Add<ADXValue>(def, "V");
  SetEq(*v, "X");
  v->lookup = table;
  const std::uint8_t p[] = {5};
  EXPECT_DOUBLE_EQ(v->Convert(&def, p, 1, 0, 0), 50.0);
  EXPECT_DOUBLE_EQ(v->Convert(&def, p, 1, 0, kDecodeNoLookup), 5.0);

  // Format: the table formats the text and its number is returned.
  char buf[32];
  EXPECT_DOUBLE_EQ(v->Format(buf, sizeof(buf), &def, p, 1, 0, 0), 50.0);
  EXPECT_STREQ(buf, "50.00");
  table->outputtype = kLookupHex;
  v->Format(buf, sizeof(buf), &def, p, 1, 0, 0);
  EXPECT_STREQ(buf, "0x32");
  // Caller skips the lookup: the value's own format.
  EXPECT_DOUBLE_EQ(v->Format(buf, sizeof(buf), &def, p, 1, 0, kDecodeNoLookup), 5.0);
  EXPECT_STREQ(buf, "5.00");

  // Text tables show their text; the number stays the converted one.
  table->outputtype = kLookupFloat;
  table->SetOutputType(kLookupText);
  table->ClearEntries();
  table->AddEntry(0.0f, "Closed", 6);
  table->AddEntry(10.0f, "Open", 4);
  EXPECT_DOUBLE_EQ(v->Format(buf, sizeof(buf), &def, p, 1, 0, 0), 5.0);
  EXPECT_STREQ(buf, "Open");

  // The lookup flag travels into linked values.
  auto* outer = Add<ADXValue>(def, "OUT");
  table->SetOutputType(kLookupFloat);
  table->SetLookupMode(kLookupInterpolate);  // text mode had turned it into closest
  table->ClearEntries();
  table->AddEntry(0.0f, 0.0f);
  table->AddEntry(10.0f, 100.0f);
  SetEq(*outer, "L");
  outer->SetVariableSource('L', kVariableLink, v->idhash);
  EXPECT_DOUBLE_EQ(outer->Convert(&def, p, 1, 0, 0), 50.0);
  EXPECT_DOUBLE_EQ(outer->Format(nullptr, 0, &def, p, 1, 0, 0), 5.0);
}

TEST(ValueConvert, FormatCutsToTheBuffer) {
  ADXValue v;
  SetEq(v, "X*1000");
  const std::uint8_t p[] = {123};
  char buf[4] = {'z', 'z', 'z', 'z'};
  v.Format(buf, sizeof(buf), nullptr, p, 1, 0, 0);
  EXPECT_STREQ(buf, "123");
  char one[1] = {'z'};
  v.Format(one, 1, nullptr, p, 1, 0, 0);
  EXPECT_EQ(one[0], '\0');
}

TEST(ValueAlarm, HighIsTestedFirst) {
  ADXValue v;
  SetEq(v, "X");
  v.alarmlow = 10.0f;
  v.alarmhigh = 200.0f;
  v.SetLastRaw(250);
  EXPECT_EQ(v.AlarmState(nullptr), kAlarmNone);  // no alarm bits
  v.flags = kValueAlarmHigh | kValueAlarmLow;
  EXPECT_EQ(v.AlarmState(nullptr), kAlarmHigh);
  v.SetLastRaw(5);
  EXPECT_EQ(v.AlarmState(nullptr), kAlarmLow);
  v.SetLastRaw(10);
  EXPECT_EQ(v.AlarmState(nullptr), kAlarmNone);
  // Limits that overlap: the high test wins.
  v.alarmlow = 300.0f;
  v.SetLastRaw(250);
  EXPECT_EQ(v.AlarmState(nullptr), kAlarmHigh);
}

TEST(ValueEquation, NewEquationResetsLinksAndCountsOccurrences) {
  ADXValue v;
  SetEq(v, "A+B");
  v.SetVariableSource('B', kVariableLink, 99);
  SetEq(v, "A+B+A");
  ASSERT_EQ(v.VariableCount(), 3);
  for (const ValueVariable& var : v.variables) {
    EXPECT_EQ(var.kind, kVariableNative);
    EXPECT_EQ(var.linkhash, 0u);
  }
  char buf[16];
  EXPECT_GT(v.GetEquation(buf, sizeof(buf)), 0);
  EXPECT_STREQ(buf, "A+B+A");
  v.SetUnits("kPa", 3);
  EXPECT_EQ(v.GetUnits(buf, sizeof(buf)), 4u);
  EXPECT_STREQ(buf, "kPa");
}
