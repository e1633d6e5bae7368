// The definition container: header, list maintenance, queries and packet update.
#include <gtest/gtest.h>

#include <memory>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXListView.h"
#include "definition/ADXValue.h"
#include "definition/IdHash.h"

namespace {

template <class T>
T* Add(ADXDefinition& def, const char* id) {
  auto object = std::make_unique<T>();
  object->SetId(id);
  T* raw = object.get();
  def.Append(std::move(object));
  return raw;
}

}  // namespace

TEST(Definition, HeaderTextsAndClear) {
  ADXDefinition def;
  EXPECT_EQ(def.baud, 8192);
  def.SetAuthor("Someone Else", 7);
  char buf[5];
  EXPECT_EQ(def.GetAuthor(buf, sizeof(buf)), 4u);
  EXPECT_STREQ(buf, "Some");
  def.SetUserVersion("", 0);
  EXPECT_EQ(def.GetUserVersion(buf, sizeof(buf)), 0u);
  EXPECT_STREQ(buf, "");
  def.SetDesc("d", 1);

  auto* cmd = Add<ADXCSendCommand>(def, "POLL");
  def.connectcmd = def.monitorcmd = def.disconnectcmd = cmd;
  def.baud = 9600;
  def.flags = kHeaderEcho;
  def.Clear();
  EXPECT_EQ(def.baud, 8192);
  EXPECT_EQ(def.flags, 0u);
  EXPECT_EQ(def.connectcmd, nullptr);
  EXPECT_EQ(def.monitorcmd, nullptr);
  EXPECT_EQ(def.disconnectcmd, nullptr);
  EXPECT_EQ(def.ObjectCount(), 0u);
  EXPECT_TRUE(def.author.empty());
  EXPECT_TRUE(def.desc.empty());
}

TEST(Definition, InsertAndRemoveKeepOrder) {
  ADXDefinition def;
  EXPECT_EQ(def.InsertAfter(nullptr, nullptr), 0);
  EXPECT_EQ(def.InsertAt(nullptr, 0), 0);
  auto* b = Add<ADXValue>(def, "B");
  auto a = std::make_unique<ADXValue>();
  ADXValue* aRaw = a.get();
  def.InsertAfter(std::move(a), nullptr);  // front
  auto c = std::make_unique<ADXValue>();
  ADXValue* cRaw = c.get();
  def.InsertAfter(std::move(c), aRaw);  // between a and b
  ADXValue stranger;
  auto d = std::make_unique<ADXValue>();
  ADXValue* dRaw = d.get();
  def.InsertAfter(std::move(d), &stranger);  // anchor not in the list: end
  auto e = std::make_unique<ADXValue>();
  ADXValue* eRaw = e.get();
  def.InsertAt(std::move(e), 1000);  // beyond the end: append
  auto f = std::make_unique<ADXValue>();
  ADXValue* fRaw = f.get();
  def.InsertAt(std::move(f), 0);

  ASSERT_EQ(def.ObjectCount(), 6u);
  const ADXObject* expected[] = {fRaw, aRaw, cRaw, b, dRaw, eRaw};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(def.ObjectAt(i), expected[i]) << i;

  std::unique_ptr<ADXObject> out = def.Remove(cRaw);
  EXPECT_EQ(out.get(), cRaw);
  EXPECT_EQ(def.ObjectCount(), 5u);
  EXPECT_EQ(def.Remove(&stranger), nullptr);
  EXPECT_EQ(def.ObjectAt(2), b);
}

TEST(Definition, GetObjectByTypeCountsMatchesOnly) {
  ADXDefinition def;
  auto* s1 = Add<ADXCSendCommand>(def, "S1");
  Add<ADXValue>(def, "V");
  Add<ADXCListenSilence>(def, "Q");
  auto* l160 = Add<ADXC160BaudListen>(def, "L");
  auto* s2 = Add<ADXCSendCommand>(def, "S2");
  EXPECT_EQ(def.GetObjectByType(ADX_MASK_PACKETCOMMANDS, 0), s1);
  EXPECT_EQ(def.GetObjectByType(ADX_MASK_PACKETCOMMANDS, 1), l160);
  EXPECT_EQ(def.GetObjectByType(ADX_MASK_PACKETCOMMANDS, 2), s2);
  EXPECT_EQ(def.GetObjectByType(ADX_MASK_PACKETCOMMANDS, 3), nullptr);
  EXPECT_EQ(def.GetObjectByType(ADX_MASK_ALL, 4), s2);
  EXPECT_EQ(def.GetObjectByType(ADX_MASK_ALL, -1), nullptr);
}

TEST(Definition, FindByIdHashAndTypeKey) {
  ADXDefinition def;
  auto* first = Add<ADXValue>(def, "ABCDEFGHIJKLMNO");  // 15 characters
  auto* second = Add<ADXValue>(def, "rpm");
  Add<ADXValue>(def, "rpm");                            // duplicate: the first wins
  EXPECT_EQ(def.FindById("ABCDEFGHIJKLMNO"), nullptr);  // compared on 14 characters
  EXPECT_EQ(def.FindById("ABCDEFGHIJKLMN"), first);
  EXPECT_EQ(def.FindById("ABCDEFGHIJKLM"), nullptr);
  EXPECT_EQ(def.FindById("RPM"), nullptr);  // with case
  EXPECT_EQ(def.FindById("rpm"), second);
  EXPECT_EQ(def.FindById(nullptr), nullptr);

  EXPECT_EQ(def.FindByHash(IdHash("rpm")), second);
  EXPECT_EQ(def.FindByHash(0), nullptr);

  second->datatype = 2;
  second->unittype = 7;
  EXPECT_EQ(def.FindValueByType(0x00020007u), second);
  EXPECT_EQ(def.FindValueByType(0x00070002u), nullptr);
  EXPECT_EQ(def.FindValueByType(0), nullptr);

  char buf[16];
  EXPECT_EQ(def.GetIdByHash(first->idhash, buf, sizeof(buf)), 1);
  EXPECT_STREQ(buf, "ABCDEFGHIJKLMN");
  EXPECT_EQ(def.GetIdByHash(12345, buf, sizeof(buf)), 0);
}

TEST(Definition, IsHashUnique) {
  ADXDefinition def;
  auto* existing = Add<ADXValue>(def, "TPS");
  ADXValue fresh;
  fresh.SetId("TPS");
  EXPECT_EQ(def.IsHashUnique(&fresh, 0), 0);
  EXPECT_EQ(def.IsHashUnique(existing, 0), 1);
  EXPECT_EQ(def.IsHashUnique(nullptr, IdHash("TPS")), 0);
  EXPECT_EQ(def.IsHashUnique(nullptr, IdHash("MAP")), 1);
}

TEST(Definition, FindReferrerWalksFromIndex) {
  ADXDefinition def;
  auto* target = Add<ADXValue>(def, "T");
  auto* cmd = Add<ADXCSendCommand>(def, "C");
  auto* lv = Add<ADXListView>(def, "LV");
  auto* dash = Add<ADXDashboard>(def, "D");
  auto* linker = Add<ADXValue>(def, "L");
  auto* macro = Add<ADXMacro>(def, "M");

  ListViewEntry sep;
  sep.entrytype = kListEntrySeparator;
  sep.item = target;  // separators never count
  lv->AppendEntry(sep);
  int index = 0;
  EXPECT_EQ(def.FindReferrer(target, 0, &index), nullptr);
  EXPECT_EQ(index, -1);

  ListViewEntry row;
  row.SetItem(target);
  lv->AppendEntry(row);
  DashboardEntry gauge;
  gauge.SetItem(target);
  dash->AppendEntry(gauge);
  linker->variables.push_back({kVariableLink, 'X', target->idhash});
  MacroNode node;
  node.SetCommand(cmd);
  macro->AppendNode(node);

  EXPECT_EQ(def.FindReferrer(target, 0, &index), lv);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(def.FindReferrer(target, 3, &index), dash);
  EXPECT_EQ(def.FindReferrer(target, 4, &index), linker);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(def.FindReferrer(target, 5, &index), nullptr);
  EXPECT_EQ(def.FindReferrer(cmd, 0, &index), macro);
  EXPECT_EQ(index, 5);
}

TEST(Definition, UpdateRawValuesByCommand) {
  ADXDefinition def;
  auto* always = Add<ADXValue>(def, "A");
  auto* mine = Add<ADXValue>(def, "M");
  auto* other = Add<ADXValue>(def, "O");
  auto* flag = Add<ADXBitmask>(def, "F");
  mine->parentcmdidhash = 111;
  other->parentcmdidhash = 222;
  flag->parentcmdidhash = 111;
  mine->packetoffset = 1;
  other->packetoffset = 2;
  flag->packetoffset = 3;
  other->SetLastRaw(77);

  const std::uint8_t packet[] = {0x10, 0x20, 0x30, 0x40};
  def.UpdateRawValues(packet, sizeof(packet), 111);
  EXPECT_EQ(always->LastRaw(), 0x10);
  EXPECT_EQ(mine->LastRaw(), 0x20);
  EXPECT_EQ(other->LastRaw(), 77);
  EXPECT_EQ(flag->LastRaw(), 0x40u);

  const std::uint8_t next[] = {0x11};
  def.UpdateRawValues(next, sizeof(next), 222);
  EXPECT_EQ(always->LastRaw(), 0x11);
  EXPECT_EQ(other->LastRaw(), 77);  // offset 2 lies beyond a 1-byte packet
  EXPECT_EQ(mine->LastRaw(), 0x20);
}
