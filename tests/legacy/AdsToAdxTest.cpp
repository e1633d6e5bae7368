// Conversion of legacy definitions built in code into ADX objects: header,
// commands, tables, values, bits and the default view.
#include "legacy/AdsToAdx.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "tests/support/ResultPrinting.h"

namespace {

ALDLValue& AddValue(ALDLDefinition& d, uint32_t id, uint32_t operation = kAldlOpLinear, double factor = 1.0,
                    double offset = 0.0) {
  auto v = std::make_unique<ALDLValue>();
  v->uniqueId = id;
  v->byteNumber = 1;
  v->operation = operation;
  v->factor = factor;
  v->offset = offset;
  v->title = "Value " + std::to_string(id);
  return d.AddValue(std::move(v));
}

ALDLBit& AddBit(ALDLDefinition& d, uint32_t id, uint8_t bitNumber = 0) {
  auto b = std::make_unique<ALDLBit>();
  b->uniqueId = id;
  b->byteNumber = 1;
  b->bitNumber = bitNumber;
  b->title = "Bit " + std::to_string(id);
  return d.AddBit(std::move(b));
}

ALDLLookupTable& AddTable(ALDLDefinition& d, uint32_t id, uint8_t dataType, uint16_t size, uint16_t entrySize,
                          const std::string& data) {
  auto t = std::make_unique<ALDLLookupTable>();
  t->uniqueId = id;
  t->dataType = dataType;
  t->tableSize = size;
  t->entrySize = entrySize;
  AdsMessageLog log;
  t->ReadData(data, 1, log);
  return d.AddTable(std::move(t));
}

void Link(ALDLDefinition& d) {
  AdsMessageLog log;
  d.LinkLookupTables(log);
}

template <typename T>
T* Find(const ADXDefinition& def, const char* id) {
  ADXObject* object = def.FindById(id);
  return dynamic_cast<T*>(object);
}

std::string Equation(const ADXValue& v) {
  char buffer[256] = {};
  v.GetEquation(buffer, sizeof buffer);
  return buffer;
}

double ConvertRaw(ADXDefinition& def, ADXValue& v, int32_t raw) {
  v.SetLastRaw(raw);
  return v.Convert(&def, nullptr, 0, 0, 0);
}

ALDLCommand Command(const std::string& name, std::vector<uint8_t> bytes, int total, int before, int payload) {
  ALDLCommand c;
  c.name = name;
  for (std::size_t i = 0; i < bytes.size(); ++i) c.commandBytes[i] = bytes[i];
  c.totalBytes = total;
  c.bytesBeforePayload = before;
  c.payloadBytes = payload;
  return c;
}

}  // namespace

TEST(AdsToAdx, MissingDefinitionsFailAndChangeNothing) {
  ADXDefinition def;
  def.baud = 9600;
  def.Append(std::make_unique<ADXValue>());
  ALDLDefinition legacy;
  EXPECT_EQ(ConvertAdsToAdx(&def, nullptr), 0);
  EXPECT_EQ(ConvertAdsToAdx(nullptr, &legacy), 0);
  EXPECT_EQ(def.baud, 9600);
  EXPECT_EQ(def.ObjectCount(), 1u);
}

TEST(AdsToAdx, HeaderKeepsAuthorCommentsAndBaudOnly) {
  ALDLDefinition legacy;
  legacy.header.author = std::string(60, 'a');
  legacy.header.comments = std::string(300, 'c');
  legacy.header.title = "Title";
  legacy.header.definitionVersion = "Version 9";
  legacy.header.flags = 0x1;
  legacy.header.baud = 9600;

  ADXDefinition def;
  def.SetUserVersion("old", 3);
  def.Append(std::make_unique<ADXValue>());
  def.flags = 0x1;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  EXPECT_EQ(def.author, std::string(50, 'a'));
  EXPECT_EQ(def.desc, std::string(256, 'c'));
  EXPECT_EQ(def.baud, 9600);
  // The target was cleared; the legacy title, version and flags stay behind.
  EXPECT_EQ(def.userversion, "");
  EXPECT_EQ(def.flags, 0u);
  EXPECT_EQ(def.ObjectCount(), 0u);  // no commands, no items, no view
  EXPECT_EQ(def.monitorcmd, nullptr);
}

TEST(AdsToAdx, DataCommandsBecomeSendCommands) {
  ALDLDefinition legacy;
  legacy.header.numDataCommands = 3;
  legacy.commands[0] = Command("Message 0", {0xF4, 0x57, 0x01, 0x00, 0x00}, 5, 3, 64);
  legacy.commands[1] = Command("Message 6", {0xF4, 0x57, 0x01, 0x06, 0x00}, 5, 3, 20);
  legacy.commands[1].master = 1;
  legacy.commands[2] = Command("No checksum", {0x80, 0x01}, 2, 0, 10);
  legacy.commands[2].checksum = 0;
  legacy.commands[3].master = 1;  // beyond the declared count: not converted

  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  EXPECT_EQ(summary.commands, 3);
  ASSERT_EQ(def.ObjectCount(), 3u);
  const char* ids[] = {"COMMAND0", "COMMAND1", "COMMAND2"};
  for (std::size_t i = 0; i < 3; ++i) {
    auto* send = dynamic_cast<ADXCSendCommand*>(def.ObjectAt(i));
    ASSERT_NE(send, nullptr);
    EXPECT_STREQ(send->id, ids[i]);
    EXPECT_EQ(send->title, legacy.commands[i].name);
    EXPECT_EQ(send->flags, 1u);
    EXPECT_EQ(send->replytimeout, 200);
  }
  auto* first = Find<ADXCSendCommand>(def, "COMMAND0");
  EXPECT_EQ(first->bytes, (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x00, 0xB4}));
  EXPECT_EQ(first->packetoffset, 3);
  EXPECT_EQ(first->packetsize, 64);
  EXPECT_EQ(first->replysize, 67);
  EXPECT_EQ(Find<ADXCSendCommand>(def, "COMMAND1")->bytes,
            (std::vector<uint8_t>{0xF4, 0x57, 0x01, 0x06, 0xAE}));
  EXPECT_EQ(Find<ADXCSendCommand>(def, "COMMAND2")->bytes, (std::vector<uint8_t>{0x80, 0x01}));
  EXPECT_EQ(def.monitorcmd, def.FindById("COMMAND1"));
  EXPECT_EQ(def.connectcmd, nullptr);
  EXPECT_EQ(def.disconnectcmd, nullptr);

  // With several master commands the last one is monitored.
  legacy.commands[2].master = 1;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  EXPECT_EQ(def.monitorcmd, def.FindById("COMMAND2"));
}

TEST(AdsToAdx, CommandsThatCannotBeSentAreKeptEmptyAndNoted) {
  ALDLDefinition legacy;
  legacy.header.numDataCommands = 1;
  legacy.commands[0] = Command("Too long", {}, 13, 0, 10);
  legacy.commands[0].bytesBeforePayload = INT32_MAX;  // reply size must not overflow
  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  auto* send = Find<ADXCSendCommand>(def, "COMMAND0");
  ASSERT_NE(send, nullptr);
  EXPECT_TRUE(send->bytes.empty());
  EXPECT_EQ(send->replysize, INT32_MAX);
  ASSERT_EQ(summary.notes.size(), 1u);
  EXPECT_NE(summary.notes[0].find("Too long"), std::string::npos);
}

TEST(AdsToAdx, SlowBaudDefinitionsListenForOnePacket) {
  ALDLDefinition legacy;
  legacy.header.baud = 160;
  legacy.header.numDataCommands = 2;
  legacy.commands[0] = Command("Stream", {}, 0, 0, 9);
  legacy.commands[1] = Command("Second", {0x01}, 1, 0, 4);
  legacy.commands[1].master = 1;

  ADXDefinition def;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  EXPECT_EQ(def.baud, 4800);
  ASSERT_EQ(def.ObjectCount(), 1u);  // no other command is converted
  auto* listen = dynamic_cast<ADXC160BaudListen*>(def.ObjectAt(0));
  ASSERT_NE(listen, nullptr);
  EXPECT_STREQ(listen->id, "160BAUD");
  EXPECT_EQ(listen->title, "Stream");
  EXPECT_EQ(listen->flags, 0u);
  EXPECT_EQ(listen->packetsize, 9);
  EXPECT_EQ(def.monitorcmd, listen);

  // No payload, or no data command at all: no command.
  legacy.commands[0].payloadBytes = 0;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  EXPECT_EQ(def.ObjectCount(), 0u);
  EXPECT_EQ(def.monitorcmd, nullptr);
  legacy.commands[0].payloadBytes = 9;
  legacy.header.numDataCommands = 0;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  EXPECT_EQ(def.ObjectCount(), 0u);
  EXPECT_EQ(def.baud, 4800);
}

TEST(AdsToAdx, TablesCarryOnlyTheirGivenEntriesShiftedByOne) {
  ALDLDefinition legacy;
  ALDLLookupTable& curve = AddTable(legacy, 50, kAldlTableFloat, 10, 4, "0, 0.0\n4, 4.0\n");
  curve.name = "Curve";
  curve.comments = std::string(300, 'k');
  AddTable(legacy, 51, kAldlTableInteger, 8, 1, "0, 7\n3, 9\n7, 200\n");

  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  EXPECT_EQ(summary.tables, 2);
  auto* floats = Find<ADXLookupTable>(def, "50");
  ASSERT_NE(floats, nullptr);
  EXPECT_EQ(floats->title, "Curve");
  EXPECT_EQ(floats->desc, std::string(256, 'k'));
  EXPECT_EQ(floats->inputtype, 1);
  EXPECT_EQ(floats->outputtype, 3);
  EXPECT_EQ(floats->lookupmode, 0);
  // Entries 1 to 3 were interpolated by the reader and are not carried over.
  ASSERT_EQ(floats->EntryCount(), 2);
  EXPECT_FLOAT_EQ(floats->entries[0].input, 1.0f);
  EXPECT_FLOAT_EQ(floats->entries[0].output, 0.0f);
  EXPECT_FLOAT_EQ(floats->entries[1].input, 5.0f);
  EXPECT_FLOAT_EQ(floats->entries[1].output, 4.0f);

  auto* integers = Find<ADXLookupTable>(def, "51");
  ASSERT_NE(integers, nullptr);
  EXPECT_EQ(integers->outputtype, 1);
  ASSERT_EQ(integers->EntryCount(), 3);  // the gaps are skipped
  EXPECT_FLOAT_EQ(integers->entries[1].input, 4.0f);
  EXPECT_FLOAT_EQ(integers->entries[1].output, 9.0f);
  EXPECT_FLOAT_EQ(integers->entries[2].input, 8.0f);
  EXPECT_FLOAT_EQ(integers->entries[2].output, 200.0f);

  // A definition with only tables gets no list view.
  EXPECT_FALSE(summary.hasListView);
  EXPECT_EQ(def.GetObjectByType(ADX_TYPE_LISTVIEW, 0), nullptr);
}

TEST(AdsToAdx, LinearFamilyEquationsAndOutputTypes) {
  ALDLDefinition legacy;
  AddValue(legacy, 1, kAldlOpLinear, 0.5, -40.0).byteNumber = 3;
  AddValue(legacy, 2, kAldlOpLinear, 1.0, 0.0);
  AddValue(legacy, 3, kAldlOpLinear, 1.0, 5.0);
  AddValue(legacy, 4, kAldlOpInverse, 1000.0, 0.0);
  AddValue(legacy, 5, kAldlOpHexadecimal, 1.0, 0.0);
  AddValue(legacy, 6, kAldlOpInteger, 0.25, 1.0);
  AddValue(legacy, 7, kAldlOpPercent, 2.0, 3.0);
  AddValue(legacy, 8, kAldlOpCharacter, 2.0, 3.0);
  AddValue(legacy, 9, 17, 2.0, 3.0);  // an unknown operation

  ADXDefinition def;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  struct Expected {
    const char* id;
    const char* equation;
    OutputType outputtype;
  };
  const Expected expected[] = {
      {"1", "X * 0.500000 + -40.000000", kOutputFloat},
      {"2", "X", kOutputFloat},
      {"3", "X * 1.000000 + 5.000000", kOutputFloat},
      {"4", "1000.000000 / X + 0.000000", kOutputFloat},
      {"5", "X", kOutputHex},
      {"6", "X * 0.250000 + 1.000000", kOutputInteger},
      {"7", "X", kOutputFloat},
      {"8", "X", kOutputFloat},
      {"9", "X", kOutputFloat},
  };
  for (const Expected& e : expected) {
    auto* v = Find<ADXValue>(def, e.id);
    ASSERT_NE(v, nullptr) << e.id;
    EXPECT_EQ(Equation(*v), e.equation) << e.id;
    EXPECT_EQ(v->outputtype, e.outputtype) << e.id;
    ASSERT_EQ(v->VariableCount(), 1) << e.id;
    EXPECT_EQ(v->GetVariable(0)->varID, 'X');
    EXPECT_EQ(v->GetVariable(0)->kind, kVariableNative);
    EXPECT_EQ(v->lookup, nullptr);
  }
  auto* linear = Find<ADXValue>(def, "1");
  EXPECT_EQ(linear->packetoffset, 2u);
  EXPECT_DOUBLE_EQ(ConvertRaw(def, *linear, 100), 10.0);
  // Division by a raw 0 gives 0 rather than infinity.
  EXPECT_DOUBLE_EQ(ConvertRaw(def, *Find<ADXValue>(def, "4"), 0), 0.0);
  EXPECT_DOUBLE_EQ(ConvertRaw(def, *Find<ADXValue>(def, "4"), 8), 125.0);
}

TEST(AdsToAdx, ValueFieldsAndLimitsFromTheLegacyDisplay) {
  ALDLDefinition legacy;
  ALDLValue& coolant = AddValue(legacy, 1, kAldlOpLinear, 0.75, -40.0);
  coolant.title = std::string(120, 't');
  coolant.units = std::string(30, 'u');
  coolant.sizeInBits = 16;
  coolant.alarmHigh = 180;
  coolant.alarmHighEnabled = 1;
  coolant.alarmLow = 10;
  coolant.rangeLow = 0;
  coolant.rangeHigh = 200;
  ALDLValue& hex = AddValue(legacy, 2, kAldlOpHexadecimal);
  hex.alarmHigh = 0x99;  // shown "99": read back as 99
  hex.alarmLow = 0xB4;   // shown "B4": no leading number, 0
  hex.alarmLowEnabled = 1;
  hex.rangeHigh = 0x1F;  // shown "1F": 1
  ALDLValue& character = AddValue(legacy, 3, kAldlOpCharacter);
  character.alarmHigh = '7';
  character.rangeHigh = 'A';
  ALDLValue& integer = AddValue(legacy, 4, kAldlOpInteger, 0.5, 0.0);
  integer.alarmHigh = 5;  // shown "2"
  ALDLValue& percent = AddValue(legacy, 5, kAldlOpPercent);
  percent.rangeLow = 50;
  percent.rangeHigh = 150;
  percent.alarmHigh = 100;  // shown "50.00"

  ADXDefinition def;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  auto* c = Find<ADXValue>(def, "1");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->title, std::string(100, 't'));
  EXPECT_EQ(c->units, std::string(25, 'u'));
  EXPECT_EQ(c->sizeinbits, 16);
  EXPECT_EQ(c->packetoffset, 0u);
  EXPECT_FLOAT_EQ(c->alarmhigh, 95.0f);
  EXPECT_FLOAT_EQ(c->alarmlow, -32.5f);
  EXPECT_FLOAT_EQ(c->rangelow, -40.0f);
  EXPECT_FLOAT_EQ(c->rangehigh, 110.0f);
  EXPECT_EQ(c->flags, kValueAlarmHigh);
  EXPECT_EQ(c->parentcmdidhash, 0u);

  auto* h = Find<ADXValue>(def, "2");
  EXPECT_FLOAT_EQ(h->alarmhigh, 99.0f);
  EXPECT_FLOAT_EQ(h->alarmlow, 0.0f);
  EXPECT_FLOAT_EQ(h->rangehigh, 1.0f);
  EXPECT_EQ(h->flags, kValueAlarmLow);

  auto* ch = Find<ADXValue>(def, "3");
  EXPECT_FLOAT_EQ(ch->alarmhigh, 7.0f);
  EXPECT_FLOAT_EQ(ch->rangehigh, 0.0f);
  EXPECT_FLOAT_EQ(ch->rangelow, 0.0f);  // a raw 0 shows "?"
  EXPECT_FLOAT_EQ(Find<ADXValue>(def, "4")->alarmhigh, 2.0f);
  EXPECT_FLOAT_EQ(Find<ADXValue>(def, "5")->alarmhigh, 50.0f);
}

TEST(AdsToAdx, LookupValuesUseTheConvertedTable) {
  ALDLDefinition legacy;
  AddTable(legacy, 40, kAldlTableFloat, 4, 4, "0, -40\n3, 20\n");
  ALDLValue& temp = AddValue(legacy, 1, kAldlOpLookup, 9.0, 9.0);
  temp.lookupTableId = 40;
  temp.alarmHigh = 4;                                     // the legacy display of raw 4 is entry 3: 20
  AddValue(legacy, 2, kAldlOpLookup).lookupTableId = 41;  // no such table
  Link(legacy);

  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  auto* table = Find<ADXLookupTable>(def, "40");
  auto* v = Find<ADXValue>(def, "1");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(Equation(*v), "X");
  EXPECT_EQ(v->outputtype, kOutputFloat);
  EXPECT_EQ(v->lookup, table);
  EXPECT_EQ(v->lookupidhash, table->idhash);
  EXPECT_FLOAT_EQ(v->alarmhigh, 20.0f);
  // The converted value and the legacy display agree for every raw number
  // that the table's given entries answer.
  for (uint32_t raw : {1u, 4u}) {
    EXPECT_DOUBLE_EQ(ConvertRaw(def, *v, static_cast<int32_t>(raw)), legacy.values[0]->NumericValue(raw))
        << raw;
  }

  auto* orphan = Find<ADXValue>(def, "2");
  EXPECT_EQ(orphan->lookup, nullptr);
  EXPECT_EQ(orphan->lookupidhash, 0u);
  EXPECT_EQ(Equation(*orphan), "X");
  ASSERT_EQ(summary.notes.size(), 1u);
  EXPECT_NE(summary.notes[0].find("41"), std::string::npos);
}

TEST(AdsToAdx, BitsBecomeMaskTests) {
  ALDLDefinition legacy;
  ALDLBit& lamp = AddBit(legacy, 10, 5);
  lamp.byteNumber = 3;
  lamp.alarmWhenSet = 1;
  lamp.setText = std::string(20, 's');
  lamp.clearText = "Off";
  AddBit(legacy, 11, 37).alarmWhenClear = 1;  // bit numbers wrap at 32

  ADXDefinition def;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy), 1);
  auto* b = Find<ADXBitmask>(def, "10");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->title, "Bit 10");
  EXPECT_EQ(b->packetoffset, 2u);
  EXPECT_EQ(b->sizeinbits, 8);
  EXPECT_EQ(b->operand, 0x20u);
  EXPECT_EQ(b->result, 0x20u);
  EXPECT_EQ(b->bitop, 0);
  EXPECT_EQ(b->truestring, std::string(15, 's'));
  EXPECT_EQ(b->falsestring, "Off");
  EXPECT_EQ(b->flags, kBitmaskAlarmOnSet);
  EXPECT_EQ(b->Evaluate(0x20), 1);
  EXPECT_EQ(b->Evaluate(0xDF), 0);
  auto* wrapped = Find<ADXBitmask>(def, "11");
  EXPECT_EQ(wrapped->operand, 0x20u);
  EXPECT_EQ(wrapped->flags, kBitmaskAlarmOnNotSet);
}

TEST(AdsToAdx, ObjectOrderSeparatorsAndTheDefaultView) {
  ALDLDefinition legacy;
  legacy.header.numDataCommands = 1;
  AddBit(legacy, 20);
  AddValue(legacy, 1);
  AddValue(legacy, 2).separator = 1;
  AddBit(legacy, 21).separator = 1;
  AddValue(legacy, 3);
  AddTable(legacy, 30, kAldlTableFloat, 4, 4, "0, 1\n");

  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  std::vector<std::string> ids;
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) ids.emplace_back(def.ObjectAt(i)->id);
  EXPECT_EQ(ids, (std::vector<std::string>{"COMMAND0", "30", "1", "3", "20", "DEFAULTVIEW"}));
  EXPECT_EQ(summary.values, 2);
  EXPECT_EQ(summary.bits, 1);

  auto* view = Find<ADXListView>(def, "DEFAULTVIEW");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->title, "Default View");
  ASSERT_EQ(view->EntryCount(), 3);
  const char* rows[] = {"1", "3", "20"};
  for (int i = 0; i < 3; ++i) {
    const ListViewEntry* e = view->GetEntry(i);
    EXPECT_EQ(e->entrytype, kListEntryItem);
    ASSERT_NE(e->item, nullptr);
    EXPECT_STREQ(e->item->id, rows[i]);
    EXPECT_EQ(e->itemidhash, e->item->idhash);
  }
  EXPECT_EQ(summary.listRows, 3);

  // Items that are all separators leave the view without rows: it is not added.
  ALDLDefinition separators;
  AddValue(separators, 1).separator = 1;
  ASSERT_EQ(ConvertAdsToAdx(&def, &separators), 1);
  EXPECT_EQ(def.ObjectCount(), 0u);
}

TEST(AdsToAdx, TheDefaultViewStopsAtItsCapacity) {
  ALDLDefinition legacy;
  for (uint32_t id = 1; id <= 300; ++id) AddValue(legacy, id);
  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  auto* view = Find<ADXListView>(def, "DEFAULTVIEW");
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->EntryCount(), 255);
  // The rows are the first 255 items in order; the last row is not
  // overwritten by later items.
  EXPECT_STREQ(view->GetEntry(254)->item->id, "255");
  EXPECT_EQ(summary.values, 300);
  ASSERT_FALSE(summary.notes.empty());
  EXPECT_NE(summary.notes.back().find("255 of 300"), std::string::npos);
}

TEST(AdsToAdx, HugeFactorsAreNotedWhenTheEquationCannotBeSavedWhole) {
  ALDLDefinition legacy;
  AddValue(legacy, 1, kAldlOpLinear, 1e100, 0.0);
  ADXDefinition def;
  AdsConversionSummary summary;
  ASSERT_EQ(ConvertAdsToAdx(&def, &legacy, &summary), 1);
  ASSERT_EQ(summary.notes.size(), 1u);
  EXPECT_NE(summary.notes[0].find("equation"), std::string::npos);
  // The limits are held within the float range instead of becoming infinite.
  EXPECT_FLOAT_EQ(Find<ADXValue>(def, "1")->rangehigh, FLT_MAX);
}

TEST(AdsToAdx, LeadingDecimalNumbers) {
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("12.50 psi"), 12.5f);
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("-38.50"), -38.5f);
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("1F"), 1.0f);
  EXPECT_FLOAT_EQ(LeadingDecimalNumber(".5"), 0.5f);
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("2e3x"), 2000.0f);
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("7e"), 7.0f);
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("-1e60"), -FLT_MAX);
  for (const char* none : {"", "B4", "?", "-", ".", "inf", "nan", " 5"}) {
    EXPECT_FLOAT_EQ(LeadingDecimalNumber(none), 0.0f) << none;
  }
  // Hexadecimal notation is not a decimal number: only its leading 0 counts.
  EXPECT_FLOAT_EQ(LeadingDecimalNumber("0x1F"), 0.0f);
}
