// Definition objects: defaults, IDs and their hashes, texts, entry arrays,
// byte strings and macro nodes.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"
#include "definition/IdHash.h"
#include "tests/support/ResultPrinting.h"

TEST(IdHash, KnownValuesAndModulus) {
  EXPECT_EQ(IdHash("abc"), 0xCD79B77Bu);
  EXPECT_EQ(IdHash(""), 0xDC379ACFu);
  EXPECT_EQ(IdHash(nullptr, 0), 0xDC379ACFu);
  // Case-sensitive, and every byte counts.
  EXPECT_NE(IdHash("ABC"), IdHash("abc"));
  EXPECT_NE(IdHash("ab"), IdHash("abc"));
  EXPECT_EQ(IdHash("abc", 3, 1000), 0xCD79B77Bu % 1000);
  EXPECT_EQ(IdHash("abc", 3, 0), 0xCD79B77Bu);  // no division by zero
  // High bytes are looked up unsigned.
  const char high[] = {static_cast<char>(0xFF), static_cast<char>(0x80)};
  std::uint32_t h = 0xDC379ACFu;
  h ^= 0xD1u;
  h = (h << 5) | (h >> 27);
  h ^= 0x8Au;
  h = (h << 5) | (h >> 27);
  EXPECT_EQ(IdHash(high, 2), h);
}

TEST(ADXObjectTest, IdIsCutTo15AndHashedAsStored) {
  ADXValue v;
  v.SetId("ABCDEFGHIJKLMNOPQRST");
  EXPECT_STREQ(v.id, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(v.idhash, IdHash("ABCDEFGHIJKLMNO"));

  char buf[32];
  EXPECT_EQ(v.GetId(buf, sizeof(buf)), 14u);  // references use 14 characters
  EXPECT_STREQ(buf, "ABCDEFGHIJKLMN");
  EXPECT_EQ(v.GetId(buf, 4), 3u);
  EXPECT_STREQ(buf, "ABC");

  v.SetId("");
  EXPECT_EQ(v.idhash, 0xDC379ACFu);
  v.SetId(nullptr);
  EXPECT_EQ(v.idhash, 0u);
  EXPECT_STREQ(v.id, "");
}

TEST(ADXObjectTest, TitleAndDescCopyExactLengthAndCutOnRead) {
  ADXBitmask b;
  b.SetTitle("Engine speed", 6);
  EXPECT_EQ(b.title, "Engine");
  char buf[4];
  EXPECT_EQ(b.GetTitle(buf, sizeof(buf)), 3u);
  EXPECT_STREQ(buf, "Eng");
  b.SetTitle(nullptr, 5);
  EXPECT_TRUE(b.title.empty());
  b.SetDesc("x", 0);
  EXPECT_TRUE(b.desc.empty());
  EXPECT_EQ(b.GetDesc(buf, sizeof(buf)), 0u);
  EXPECT_STREQ(buf, "");
}

TEST(ADXObjectTest, ClassDefaultsAndTypeCodes) {
  ADXValue v;
  EXPECT_EQ(v.objectType, ADX_TYPE_VALUE);
  EXPECT_EQ(v.sizeinbits, 8);
  EXPECT_EQ(v.outputtype, kOutputFloat);
  EXPECT_EQ(v.digcount, 2);
  EXPECT_EQ(v.alarmlow, 0.0f);
  EXPECT_EQ(v.alarmhigh, 255.0f);
  EXPECT_EQ(v.rangelow, 0.0f);
  EXPECT_EQ(v.rangehigh, 255.0f);
  EXPECT_EQ(v.LastRaw(), 0);
  EXPECT_EQ(v.lookup, nullptr);

  ADXBitmask b;
  EXPECT_EQ(b.objectType, ADX_TYPE_BITMASK);
  EXPECT_EQ(b.GetColor(kColorAlarmOnSet), 0x000000FFu);
  EXPECT_EQ(b.GetColor(kColorAlarmOnNotSet), 0x0000FF00u);
  EXPECT_EQ(b.GetColor(3), 0u);
  b.SetColor(3, 0x123456);  // writes nothing
  EXPECT_EQ(b.GetColor(kColorAlarmOnSet), 0x000000FFu);
  EXPECT_EQ(b.GetColor(kColorAlarmOnNotSet), 0x0000FF00u);

  EXPECT_EQ(ADXCTrigger().triggertype, 0xFFFFFFFFu);
  EXPECT_EQ(ADXCSendCommand().replytimeout, 200);
  EXPECT_EQ(ADXCListenSilence().totaltimeout, 400);
  EXPECT_EQ(ADXCListenChatter().listentimeout, 400);
  EXPECT_EQ(ADXMacro().repeatcount, 1);

  ADXHistogram h;
  EXPECT_EQ(h.GetHistorySize(), 10);

  ADXLookupTable t;
  EXPECT_EQ(t.inputtype, 3);
  EXPECT_EQ(t.outputtype, 3);
  EXPECT_EQ(t.lookupmode, 0);

  // Every class holds exactly its own bit, never the base's.
  std::unique_ptr<ADXObject> all[] = {
      std::make_unique<ADXValue>(),          std::make_unique<ADXBitmask>(),
      std::make_unique<ADXDashboard>(),      std::make_unique<ADXMonitor>(),
      std::make_unique<ADXHistogram>(),      std::make_unique<ADXListView>(),
      std::make_unique<ADXLookupTable>(),    std::make_unique<ADXMacro>(),
      std::make_unique<ADXCSendCommand>(),   std::make_unique<ADXCListenSilence>(),
      std::make_unique<ADXCListenChatter>(), std::make_unique<ADXC160BaudListen>(),
      std::make_unique<ADXCTrigger>()};
  const std::uint32_t codes[] = {0x4,     0x8,     0x10,    0x20,    0x80,     0x100,   0x200,
                                 0x10000, 0x20000, 0x40000, 0x80000, 0x100000, 0x200000};
  for (std::size_t i = 0; i < std::size(all); ++i) {
    EXPECT_EQ(all[i]->objectType, codes[i]) << i;
    // Without a writer only the views report success.
    EXPECT_EQ(all[i]->WriteXml(nullptr), all[i]->IsType(ADX_MASK_VIEWS) ? 1 : 0) << i;
  }
}

TEST(EntryArrays, CountsAppendsAndRemovals) {
  ADXListView lv;
  ListViewEntry e;
  for (int i = 0; i < 5; ++i) {
    e.color = static_cast<std::uint32_t>(i + 1);
    ASSERT_EQ(lv.AppendEntry(e), 1);
  }
  EXPECT_EQ(lv.SetEntryCount(256), 0);
  EXPECT_EQ(lv.EntryCount(), 5);
  EXPECT_EQ(lv.SetEntryCount(-1), 0);
  EXPECT_EQ(lv.EntryCount(), 5);
  EXPECT_EQ(lv.SetEntryCount(3), 1);
  ASSERT_EQ(lv.EntryCount(), 3);
  EXPECT_EQ(lv.GetEntry(2)->color, 3u);
  EXPECT_EQ(lv.GetEntry(3), nullptr);
  EXPECT_EQ(lv.GetEntry(-1), nullptr);

  // Growing keeps the old entries and fills with defaults.
  lv.SetEntryCount(4);
  EXPECT_EQ(lv.GetEntry(0)->color, 1u);
  EXPECT_EQ(lv.GetEntry(3)->color, 0u);

  EXPECT_EQ(lv.RemoveEntry(1), 1);
  EXPECT_EQ(lv.EntryCount(), 3);
  EXPECT_EQ(lv.GetEntry(1)->color, 3u);
  EXPECT_EQ(lv.RemoveEntry(3), 0);
  EXPECT_EQ(lv.SetEntry(3, e), 0);
  EXPECT_EQ(lv.SetEntry(0, e), 1);
  EXPECT_EQ(lv.GetEntry(0)->color, 5u);
  EXPECT_EQ(lv.SetEntryCount(0), 1);
  EXPECT_EQ(lv.EntryCount(), 0);
}

TEST(EntryArrays, RefuseThe256thEntry) {
  ADXMonitor m;
  MonitorSeries s;
  for (int i = 0; i < 255; ++i) {
    s.linecolor = static_cast<std::uint32_t>(i);
    ASSERT_EQ(m.AppendEntry(s), 1);
  }
  s.linecolor = 0xABCDEF;
  EXPECT_EQ(m.AppendEntry(s), 0);
  EXPECT_EQ(m.EntryCount(), 255);
  EXPECT_EQ(m.GetEntry(254)->linecolor, 254u);  // the last entry is not overwritten
}

TEST(EntryArrays, ListTitlesAreBoundedAndItemsCarryTheirHash) {
  ADXValue v;
  v.SetId("RPM");
  ListViewEntry e;
  std::string longTitle(300, 'x');
  e.SetTitle(longTitle.c_str(), longTitle.size());
  EXPECT_EQ(e.title.size(), 127u);
  e.SetItem(&v);
  EXPECT_EQ(e.itemidhash, v.idhash);
  e.SetItem(nullptr);
  EXPECT_EQ(e.itemidhash, 0u);

  // A copy never carries more than 127 characters either.
  ListViewEntry raw;
  raw.title.assign(200, 'y');
  ADXListView lv;
  lv.AppendEntry(raw);
  EXPECT_EQ(lv.GetEntry(0)->title.size(), 127u);
}

TEST(EntryArrays, DashboardDefaultsAndRunTimeStateNotCarried) {
  DashboardEntry d;
  EXPECT_EQ(d.top, 0);
  EXPECT_EQ(d.left, 0);
  EXPECT_EQ(d.bottom, 100);
  EXPECT_EQ(d.right, 100);
  int marker = 0;
  d.control = &marker;
  d.gaugetype = 2;
  ADXDashboard dash;
  dash.AppendEntry(d);
  dash.SetEntryCount(2);
  EXPECT_EQ(dash.GetEntry(0)->gaugetype, 2);
  EXPECT_EQ(dash.GetEntry(0)->control, nullptr);
}

TEST(Commands, ByteStringsAndMacroNodes) {
  ADXCSendCommand send;
  const std::uint8_t bytes[] = {0xF4, 0x57, 0x01, 0x00, 0xB4};
  send.SetByteString(bytes, sizeof(bytes));
  std::uint8_t out[3] = {};
  EXPECT_EQ(send.GetByteString(out, sizeof(out)), 5);
  EXPECT_EQ(out[2], 0x01);
  send.SetByteString(nullptr, 4);
  EXPECT_EQ(send.ByteStringSize(), 0);
  send.SetByteString(bytes, 0);
  EXPECT_EQ(send.ByteStringSize(), 0);

  ADXCSendCommand target;
  target.SetId("SENDCOMMAND_LONG");
  ADXMacro macro;
  MacroNode node;
  node.SetCommand(&target);
  EXPECT_STREQ(node.commandID, "SENDCOMMAND_LO");
  node.repeatcount = 3;
  macro.AppendNode(node);
  MacroNode got;
  got.repeatcount = 99;
  EXPECT_EQ(macro.GetNode(1, got), 0);
  EXPECT_EQ(got.repeatcount, 99);
  EXPECT_EQ(macro.GetNode(0, got), 1);
  EXPECT_EQ(got.command, &target);
  EXPECT_EQ(got.repeatcount, 3);
  got.flags = kNodeBreakOnFailure;
  EXPECT_EQ(macro.SetNode(0, got), 1);
  EXPECT_EQ(macro.nodes[0].flags, kNodeBreakOnFailure);
  EXPECT_EQ(macro.SetNode(2, got), 0);
}

TEST(Bitmask, TextsAreBoundedAndAlarmQueries) {
  ADXBitmask b;
  std::string big(600, 't');
  b.SetTrueString(big.c_str(), big.size());
  EXPECT_EQ(b.truestring.size(), 511u);
  char buf[8];
  EXPECT_EQ(b.GetFalseString(buf, sizeof(buf)), 0u);
  EXPECT_STREQ(buf, "");

  std::uint32_t color = 0;
  EXPECT_EQ(b.AlarmOnSet(&color), 0);
  EXPECT_EQ(color, 0x000000FFu);
  b.flags = kBitmaskAlarmOnSet | kBitmaskAlarmOnNotSet;
  EXPECT_EQ(b.AlarmOnNotSet(&color), 1);
  EXPECT_EQ(color, 0x0000FF00u);
  EXPECT_EQ(b.InAlarm(1, &color), 1);
  EXPECT_EQ(color, 0x000000FFu);
  EXPECT_EQ(b.InAlarm(0, &color), 1);
  EXPECT_EQ(color, 0x0000FF00u);
  b.flags = 0;
  EXPECT_EQ(b.InAlarm(1, &color), 0);
}
