// Item records of ADS files: values, bits, tables, the dash, unique IDs and
// the links made after reading.
#include <gtest/gtest.h>

#include <string>

#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"
#include "tests/legacy/AdsTestText.h"

using adstest::Bit;
using adstest::Header;
using adstest::Record;
using adstest::Table;
using adstest::Value;

namespace {

bool HasMessage(const AdsMessageLog& log, const std::string& part, int line = -1) {
  for (const AdsMessage& m : log.Messages()) {
    if (m.text.find(part) != std::string::npos && (line < 0 || m.line == line)) return true;
  }
  return false;
}

std::string Dash(const std::string& gauges, int numGauges, const std::string& monitors, int numMonitors) {
  return Record({{"dwItemType", "6"},
                 {"strItemComments", "dash"},
                 {"bSeparator", "0"},
                 {"bVisible", "1"},
                 {"dwUniqueID", "99"},
                 {"btNumGauges", std::to_string(numGauges)},
                 {"strIDsDisplayed", gauges},
                 {"btNumMonitors", std::to_string(numMonitors)},
                 {"strMonsDisplayed", monitors}});
}

}  // namespace

TEST(AdsItems, ValueFieldsAreReadInOrder) {
  ALDLDefinition d;
  ReadAdsText(Header() + Record({{"dwItemType", "1"},         {"strItemComments", "Sensor note"},
                                 {"bSeparator", "1"},         {"bVisible", "0"},
                                 {"dwUniqueID", "17"},        {"btByteNumber", "12"},
                                 {"btMessageNumber", "2"},    {"dwItemSizeBits", "16"},
                                 {"dwOperation", "1"},        {"dFactor", "0.351562"},
                                 {"dOffset", "-90.5"},        {"strItemTitle", "Spark"},
                                 {"strUnitLabel", "Degrees"}, {"dwAlarmHigh", "300"},
                                 {"bAlarmHighENable", "1"},   {"dwAlarmLow", "7"},
                                 {"bAlarmLowEnable", "1"},    {"iRangeHigh", "512"},
                                 {"iRangeLow", "-4"},         {"iLookupTableIndex", "-1"}}),
              d);
  ASSERT_EQ(d.values.size(), 1u);
  const ALDLValue& v = *d.values[0];
  EXPECT_EQ(v.type, kAldlTypeValue);
  EXPECT_EQ(v.comments, "Sensor note");
  EXPECT_EQ(v.separator, 1);
  EXPECT_EQ(v.visible, 0);
  EXPECT_EQ(v.uniqueId, 17u);
  EXPECT_EQ(v.byteNumber, 12);
  EXPECT_EQ(v.messageNumber, 2);
  EXPECT_EQ(v.sizeInBits, 16u);
  EXPECT_EQ(v.operation, 1u);
  EXPECT_DOUBLE_EQ(v.factor, 0.351562);
  EXPECT_DOUBLE_EQ(v.offset, -90.5);
  EXPECT_EQ(v.title, "Spark");
  EXPECT_EQ(v.units, "Degrees");
  EXPECT_EQ(v.alarmHigh, 300u);
  EXPECT_EQ(v.alarmHighEnabled, 1);
  EXPECT_EQ(v.alarmLow, 7u);
  EXPECT_EQ(v.alarmLowEnabled, 1);
  EXPECT_EQ(v.rangeHigh, 512);
  EXPECT_EQ(v.rangeLow, -4);
  EXPECT_EQ(v.lookupTableId, -1);
  EXPECT_EQ(v.lookupTable, nullptr);
  EXPECT_EQ(v.itemFlags, 0u);
}

TEST(AdsItems, BitFieldsAreReadInOrderAndTextsCut) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Header() + Record({{"dwItemType", "2"},
                                 {"strItemComments", "note"},
                                 {"bSeparator", "0"},
                                 {"bVisible", "1"},
                                 {"dwUniqueID", "8"},
                                 {"btByteNumber", "53"},
                                 {"btMessageNumber", "1"},
                                 {"btBitNumber", "7"},
                                 {"strItemTitle", "Closed Loop"},
                                 {"bAlarmSetEnable", "1"},
                                 {"bAlarmNotSetEnable", "0"},
                                 {"strBitSetTitle", "Closed loop fuel control"},
                                 {"strBitClearTitle", "Open"}}),
              d, &log);
  ASSERT_EQ(d.bits.size(), 1u);
  const ALDLBit& b = *d.bits[0];
  EXPECT_EQ(b.uniqueId, 8u);
  EXPECT_EQ(b.byteNumber, 53);
  EXPECT_EQ(b.bitNumber, 7);
  EXPECT_EQ(b.title, "Closed Loop");
  EXPECT_EQ(b.alarmWhenSet, 1);
  EXPECT_EQ(b.alarmWhenClear, 0);
  EXPECT_EQ(b.setText, "Closed loop fue");
  EXPECT_EQ(b.clearText, "Open");
  EXPECT_TRUE(HasMessage(log, "strBitSetTitle: text of 24 characters cut to 15"));
}

TEST(AdsItems, MissingFieldsKeepDefaultsAndExtraFieldsAreIgnored) {
  ALDLDefinition d;
  AdsMessageLog log;
  std::string extra = Bit(3, "Lamp");
  extra.insert(extra.size() - 2, "\textra=1;\n\tmore=2;\n");
  ReadAdsText(Header() + Record({{"dwItemType", "1"}, {"strItemComments", "short"}}) + extra, d, &log);
  ASSERT_EQ(d.values.size(), 1u);
  EXPECT_EQ(d.values[0]->title, "New ALDL Value");
  EXPECT_EQ(d.values[0]->units, "Units");
  EXPECT_EQ(d.values[0]->alarmHigh, 255u);
  EXPECT_EQ(d.values[0]->messageNumber, 1);
  ASSERT_EQ(d.bits.size(), 1u);
  EXPECT_EQ(d.bits[0]->clearText, "Off");
  EXPECT_TRUE(HasMessage(log, "2 fields beyond the item's last one ignored"));
}

TEST(AdsItems, UnsupportedSizesAndOperationsAreReportedWithTheirLine) {
  std::string value = Value(1, "Odd", -1, 9);
  value.replace(value.find("dwItemSizeBits\t=8"), 17, "dwItemSizeBits\t=12");
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Header() + value, d, &log);
  ASSERT_EQ(d.values.size(), 1u);
  EXPECT_EQ(d.values[0]->sizeInBits, 12u);
  EXPECT_EQ(d.values[0]->operation, 9u);
  // The header takes lines 1 to 15; the value's size and operation stand on 24 and 25.
  EXPECT_TRUE(HasMessage(log, "values of 12 bits are not supported", 24));
  EXPECT_TRUE(HasMessage(log, "operation 9 is unknown", 25));
}

TEST(AdsItems, UnknownTypesAreSkippedAndListsKeepFileOrder) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Header() + Value(1, "A") + Record({{"dwItemType", "3"}, {"x", "y"}, {"z", "{"}}) + Bit(2, "B") +
                  Value(3, "C") + Record({{"dwItemType", "banana"}}) + Bit(4, "D"),
              d, &log);
  ASSERT_EQ(d.values.size(), 2u);
  EXPECT_EQ(d.values[0]->title, "A");
  EXPECT_EQ(d.values[1]->title, "C");
  ASSERT_EQ(d.bits.size(), 2u);
  EXPECT_EQ(d.bits[1]->title, "D");
  EXPECT_TRUE(HasMessage(log, "unknown item type 3"));
  EXPECT_TRUE(HasMessage(log, "\"banana\" is not a number"));
}

TEST(AdsItems, LookupsByPositionNameAndId) {
  ALDLDefinition d;
  ReadAdsText(
      Header() + Value(5, "Speed") + Value(6, "Load") + Bit(7, "Lamp") + Table(8, "Curve", 2, 4, 4, "0,1"),
      d);
  EXPECT_EQ(d.ValueAt(1)->title, "Load");
  EXPECT_EQ(d.ValueAt(2), nullptr);
  EXPECT_EQ(d.FindValueByName("Speed")->uniqueId, 5u);
  EXPECT_EQ(d.FindValueByName("speed"), nullptr);
  EXPECT_EQ(d.FindValueById(6)->title, "Load");
  EXPECT_EQ(d.FindValueById(7), nullptr);  // a bit, not a value
  EXPECT_EQ(d.BitAt(0)->title, "Lamp");
  EXPECT_EQ(d.FindBitByName("Lamp")->uniqueId, 7u);
  EXPECT_EQ(d.FindBitById(7)->title, "Lamp");
  EXPECT_EQ(d.TableAt(0)->name, "Curve");
  EXPECT_EQ(d.FindTableByName("Curve")->uniqueId, 8u);
  EXPECT_EQ(d.FindTableById(8)->name, "Curve");
  EXPECT_EQ(d.TableAt(1), nullptr);
  EXPECT_TRUE(d.IsIdUsed(7));
  EXPECT_FALSE(d.IsIdUsed(9));
}

TEST(AdsItems, DuplicateIdsGetTheSmallestFreeIdAcrossAllLists) {
  ALDLDefinition d;
  AdsMessageLog log;
  // IDs 3, 3 (value), 1 (bit), 3 (bit), 2 (table), 1 (table).
  ReadAdsText(Header() + Value(3, "First") + Value(3, "Second") + Bit(1, "B1") + Bit(3, "B2") +
                  Table(2, "T1", 2, 2, 4, "0,1") + Table(1, "T2", 2, 2, 4, "0,1"),
              d, &log);
  EXPECT_TRUE(d.hadDuplicateIds);
  EXPECT_EQ(d.values[0]->uniqueId, 3u);
  // Values first, then bits, then tables, each taking the smallest free ID.
  EXPECT_EQ(d.values[1]->uniqueId, 4u);
  EXPECT_EQ(d.bits[0]->uniqueId, 1u);
  EXPECT_EQ(d.bits[1]->uniqueId, 5u);
  EXPECT_EQ(d.tables[0]->uniqueId, 2u);
  EXPECT_EQ(d.tables[1]->uniqueId, 6u);
  for (const auto& v : d.values) EXPECT_EQ(v->itemFlags & kAldlItemFlagDuplicateId, 0u);
  for (const auto& b : d.bits) EXPECT_EQ(b->itemFlags & kAldlItemFlagDuplicateId, 0u);
  EXPECT_TRUE(HasMessage(log, "\"Second\": unique ID 3 is used twice; it gets the ID 4"));

  ReadAdsText(Header() + Value(3, "A") + Value(3, "B"), d);
  EXPECT_EQ(d.values[1]->uniqueId, 1u);
}

TEST(AdsItems, ValuesLinkToTheirTablesAndAMissingTableStopsOnlyItsValue) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Header() + Table(40, "Curve", 2, 4, 4, "0,1") + Value(1, "First", 40, 6) +
                  Value(2, "Broken", 77, 6) + Value(3, "After", 40, 6) + Value(4, "None", -1),
              d, &log);
  const ALDLLookupTable* table = d.FindTableById(40);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(d.values[0]->lookupTable, table);
  EXPECT_EQ(d.values[1]->lookupTable, nullptr);
  // Later values are still linked.
  EXPECT_EQ(d.values[2]->lookupTable, table);
  EXPECT_EQ(d.values[3]->lookupTable, nullptr);
  ASSERT_EQ(table->users.size(), 2u);
  EXPECT_EQ(table->users[0], d.values[0].get());
  EXPECT_EQ(table->users[1], d.values[2].get());
  EXPECT_TRUE(HasMessage(log, "value \"Broken\": no lookup table has the ID 77"));
}

TEST(AdsItems, DashListsResolveToValuesUpToTheirCounts) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Header() + Value(1, "A") + Value(2, "B") + Value(3, "C") + Dash("3, 1,2", 2, "2,42,1", 3), d,
              &log);
  EXPECT_EQ(d.dash.uniqueId, 99u);
  EXPECT_EQ(d.dash.comments, "dash");
  EXPECT_EQ(d.dashGaugeIds, "3, 1,2");
  EXPECT_EQ(d.dashMonitorIds, "2,42,1");
  ASSERT_EQ(d.dash.gauges.size(), 2u);
  EXPECT_EQ(d.dash.gauges[0]->title, "C");
  EXPECT_EQ(d.dash.gauges[1]->title, "A");
  ASSERT_EQ(d.dash.monitors.size(), 2u);
  EXPECT_EQ(d.dash.monitors[0]->title, "B");
  EXPECT_EQ(d.dash.monitors[1]->title, "A");
  EXPECT_TRUE(HasMessage(log, "3 gauge IDs given for 2 gauges"));
  EXPECT_TRUE(HasMessage(log, "monitor ID \"42\" names no value"));

  // Lists set in memory may also use ";" between IDs.
  d.dashGaugeIds = "2;3";
  d.ResolveDash(log);
  ASSERT_EQ(d.dash.gauges.size(), 2u);
  EXPECT_EQ(d.dash.gauges[1]->title, "C");
}

TEST(AdsItems, TheLastDashRecordDefinesTheDash) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(Header() + Value(1, "A") + Value(2, "B") + Dash("1", 1, "1", 1) +
                  Record({{"dwItemType", "6"},
                          {"c", "x"},
                          {"s", "0"},
                          {"v", "1"},
                          {"id", "5"},
                          {"n", "1"},
                          {"ids", "2"}}),
              d, &log);
  EXPECT_EQ(d.dash.uniqueId, 5u);
  ASSERT_EQ(d.dash.gauges.size(), 1u);
  EXPECT_EQ(d.dash.gauges[0]->title, "B");
  EXPECT_TRUE(d.dash.monitors.empty());
  EXPECT_TRUE(HasMessage(log, "replaces the one before"));
}

TEST(AdsItems, EveryLoadStartsFromDefaults) {
  ALDLDefinition d;
  ReadAdsText(Header() + Value(1, "A") + Bit(2, "B") + Table(3, "T", 2, 2, 4, "0,1") + Dash("1", 1, "", 0),
              d);
  ASSERT_EQ(d.values.size(), 1u);
  ReadAdsText(Record({{"fDefFrmtVers", "1.21"}}), d);
  EXPECT_TRUE(d.values.empty());
  EXPECT_TRUE(d.bits.empty());
  EXPECT_TRUE(d.tables.empty());
  EXPECT_TRUE(d.dash.gauges.empty());
  EXPECT_TRUE(d.dashGaugeIds.empty());
  EXPECT_EQ(d.header.title, "New ALDL Datastream Definition");
  EXPECT_FALSE(d.hadDuplicateIds);
}
