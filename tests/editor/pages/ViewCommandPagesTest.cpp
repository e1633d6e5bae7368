// The item list view, dashboard, monitor and command pages: rows and steps
// edited through the widgets reach the object and survive a save and load.
#include "definition/ADXValue.h"

#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXListView.h"
#include "definition/ADXMonitor.h"
#include "editor/pages/ADXListviewEditor.h"
#include "editor/pages/PageRowList.h"
#include "tests/editor/pages/PageTestSupport.h"
#include "tests/support/QtTestApp.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

std::vector<QString> Rows(QListWidget* list) {
  std::vector<QString> rows;
  for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text());
  return rows;
}

std::vector<int> SelectedRows(QListWidget* list) {
  return static_cast<PageRowList*>(list)->SelectedRows();
}

}  // namespace

TEST(ListViewPage, RowsAreInsertedMovedColouredAndSaved) {
  ADXDefinition def;
  auto* rpm = Add<ADXValue>(def, "RPM", "Engine speed");
  auto* map = Add<ADXValue>(def, "MAP", "Manifold pressure");
  auto* fan = Add<ADXBitmask>(def, "FAN", "Fan");
  auto* view = Add<ADXListView>(def, "", "New Item");
  TestPage p(ADX_TYPE_LISTVIEW);
  p.Load(&def, view);
  p.SetCommon("Engine", "ENGINE", "");
  auto* list = p.C<QListWidget>(1047);
  p.services.browseResult = {rpm, fan};
  p.C<QPushButton>(1048)->click();
  EXPECT_EQ(p.services.browseMasks.back(), 0x4Cu);
  EXPECT_FALSE(p.services.browseSingle.back());
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Engine speed", "Fan"}));
  // Before the selected row.
  static_cast<PageRowList*>(list)->SelectRows({1});
  p.C<QPushButton>(1049)->click();
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Engine speed", "New Separator", "Fan"}));
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1}));
  EXPECT_TRUE(p.C<QCheckBox>(1051)->isChecked());
  EXPECT_TRUE(p.C<QLineEdit>(1053)->isEnabled());
  EXPECT_EQ(list->item(1)->font().weight(), QFont::DemiBold);
  auto* text = p.C<QLineEdit>(1053);
  text->setText("Sensors");
  Q_EMIT text->textEdited("Sensors");
  EXPECT_EQ(list->item(1)->text(), "Sensors");
  p.services.color = QColor(255, 0, 0);
  p.C<QPushButton>(1052)->click();
  EXPECT_EQ(list->item(1)->foreground().color(), QColor(255, 0, 0));
  // Several rows selected is no insertion point.
  static_cast<PageRowList*>(list)->SelectRows({0, 2});
  p.services.browseResult = {map};
  p.C<QPushButton>(1048)->click();
  ASSERT_EQ(p.services.messages.size(), 1u);
  EXPECT_EQ(p.services.messages[0].first, "Oops!");
  EXPECT_EQ(p.services.messages[0].second, "Please select a single item as an insertion point.");
  EXPECT_EQ(list->count(), 3);
  // Item rows have no bold box; the two selected rows drag to the front of
  // the separator... which is selected, so nothing moves; then onto row 1.
  auto* editor = static_cast<ADXListviewEditor*>(p.page.get());
  editor->MoveRows({0, 2}, 2);
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Engine speed", "Sensors", "Fan"}));
  editor->MoveRows({0, 2}, 1);
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Engine speed", "Fan", "Sensors"}));
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1}));
  editor->MoveRows({2}, 0);
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Sensors", "Engine speed", "Fan"}));
  // No insertion point: at the end.
  list->clearSelection();
  p.C<QPushButton>(1048)->click();
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Sensors", "Engine speed", "Fan", "Manifold pressure"}));

  p.page->Commit();
  auto loaded = SaveAndLoad(def);
  auto* r = static_cast<ADXListView*>(loaded->FindById("ENGINE"));
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->EntryCount(), 4);
  EXPECT_EQ(r->GetEntry(0)->entrytype, kListEntrySeparator);
  EXPECT_EQ(r->GetEntry(0)->title, "Sensors");
  EXPECT_EQ(r->GetEntry(0)->flags & kListEntryBold, kListEntryBold);
  EXPECT_EQ(r->GetEntry(0)->color, 0x000000FFu);
  EXPECT_EQ(r->GetEntry(1)->itemidhash, rpm->idhash);
  EXPECT_EQ(r->GetEntry(2)->itemidhash, fan->idhash);
  EXPECT_EQ(r->GetEntry(3)->itemidhash, map->idhash);

  // Deleting selects the row that took the first deleted place.
  p.Load(loaded.get(), r);
  static_cast<PageRowList*>(list)->SelectRows({1, 2});
  p.C<QPushButton>(1050)->click();
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Sensors", "Manifold pressure"}));
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1}));
  EXPECT_FALSE(p.C<QLineEdit>(1053)->isEnabled());
  p.page->Commit();
  EXPECT_EQ(r->EntryCount(), 2);
}

TEST(ListViewPage, AMissingItemShowsAndAViewKeepsAtMost255Rows) {
  ADXDefinition def;
  auto* rpm = Add<ADXValue>(def, "RPM", "Engine speed");
  auto* view = Add<ADXListView>(def, "V", "V");
  ListViewEntry lost;
  lost.itemidhash = 1234;
  view->AppendEntry(lost);
  TestPage p(ADX_TYPE_LISTVIEW);
  p.Load(&def, view);
  auto* list = p.C<QListWidget>(1047);
  EXPECT_EQ(list->item(0)->text(), "<MISSING ITEM>");
  p.services.browseResult.assign(300, rpm);
  p.C<QPushButton>(1048)->click();
  EXPECT_EQ(list->count(), 255);
  p.C<QPushButton>(1049)->click();
  EXPECT_EQ(list->count(), 255);
  p.page->Commit();
  EXPECT_EQ(view->EntryCount(), 255);
}

TEST(DashboardPage, GaugesAreAddedEditedRemovedAndSaved) {
  ADXDefinition def;
  auto* dash = Add<ADXDashboard>(def, "", "New Item");
  TestPage p(ADX_TYPE_DASHBOARD);
  p.Load(&def, dash);
  p.SetCommon("Main", "MAIN", "Gauges");
  auto* list = p.C<QTreeWidget>(1125);
  p.C<QPushButton>(1128)->click();
  p.C<QPushButton>(1128)->click();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->currentItem(), list->topLevelItem(1));
  EXPECT_EQ(list->topLevelItem(1)->text(1), "Analog");
  EXPECT_EQ(list->topLevelItem(1)->text(4), "100");
  p.Choose(1136, "Digital Numeric");
  for (const auto& [id, value] : {std::pair{1132, "10"}, {1131, "20"}, {1133, "60"}, {1134, "99999"}}) {
    auto* edit = p.C<QLineEdit>(id);
    edit->setText(value);
    Q_EMIT edit->textEdited(value);
  }
  EXPECT_EQ(list->topLevelItem(1)->text(1), "Digital Num");
  EXPECT_EQ(list->topLevelItem(1)->text(5), "32767");
  list->setCurrentItem(list->topLevelItem(0));
  EXPECT_EQ(p.C<QLineEdit>(1132)->text(), "0");
  p.Choose(1136, "Status (Flag)");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "Status");
  p.C<QPushButton>(1128)->click();
  p.C<QPushButton>(1129)->click();
  EXPECT_EQ(list->topLevelItemCount(), 2);

  p.page->Commit();
  auto loaded = SaveAndLoad(def);
  auto* r = static_cast<ADXDashboard*>(loaded->FindById("MAIN"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->desc, "Gauges");
  ASSERT_EQ(r->EntryCount(), 2);
  EXPECT_EQ(r->GetEntry(0)->gaugetype, 2);
  const DashboardEntry* g = r->GetEntry(1);
  EXPECT_EQ(g->gaugetype, 1);
  EXPECT_EQ(g->top, 10);
  EXPECT_EQ(g->left, 20);
  EXPECT_EQ(g->bottom, 60);
  EXPECT_EQ(g->right, 32767);
}

TEST(MonitorPage, CommonFieldsAreSavedAndSeriesKept) {
  ADXDefinition def;
  auto* rpm = Add<ADXValue>(def, "RPM", "Engine speed");
  auto* mon = Add<ADXMonitor>(def, "", "New Item");
  MonitorSeries s;
  s.SetItem(rpm);
  s.linecolor = 0x00FF00;
  mon->AppendEntry(s);
  TestPage p(ADX_TYPE_MONITOR);
  p.Load(&def, mon);
  p.SetCommon("Chart", "CHART", "Speed over time");
  p.page->Commit();
  auto loaded = SaveAndLoad(def);
  auto* r = static_cast<ADXMonitor*>(loaded->FindById("CHART"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->title, "Chart");
  EXPECT_EQ(r->desc, "Speed over time");
  ASSERT_EQ(r->EntryCount(), 1);
  EXPECT_EQ(r->GetEntry(0)->linecolor, 0x00FF00u);
}

TEST(CommandPages, SendSilenceChatterAnd160BaudFieldsAreSaved) {
  ADXDefinition def;
  auto* send = Add<ADXCSendCommand>(def, "", "New Send Command");
  auto* silence = Add<ADXCListenSilence>(def, "", "Listen for Silence");
  auto* chatter = Add<ADXCListenChatter>(def, "", "Listen for Chatter");
  auto* slow = Add<ADXC160BaudListen>(def, "", "Listen for 160 Baud Data");

  TestPage ps(ADX_TYPE_SENDCOMMAND);
  ps.Load(&def, send);
  ps.SetCommon("Poll", "POLL", "");
  ps.SetText(1092, "F0 57 0x1 ");
  ps.C<QCheckBox>(1126)->setChecked(true);
  EXPECT_FALSE(ps.C<QCheckBox>(1153)->isChecked());
  ps.C<QCheckBox>(1153)->setChecked(true);
  ps.SetText(1093, "150");
  ps.SetText(1095, "67");
  ps.SetText(1096, "3");
  ps.SetText(1097, "-4");
  ps.page->Commit();
  // An empty byte string leaves the bytes as they are.
  ps.Load(&def, send);
  EXPECT_EQ(ps.C<QLineEdit>(1092)->text(), "F0 57 01");
  ps.SetText(1092, "  ");
  ps.page->Commit();

  TestPage pl(ADX_TYPE_LISTENSILENCE);
  pl.Load(&def, silence);
  pl.SetCommon("Quiet", "QUIET", "");
  pl.SetText(1089, "20");
  pl.SetText(1044, "900");
  pl.page->Commit();

  TestPage pc(ADX_TYPE_LISTENCHATTER);
  pc.Load(&def, chatter);
  pc.SetCommon("Chat", "CHAT", "");
  pc.SetText(1090, "01 02 03 04 05 06 07 08 09 0A 0B 0C");
  pc.SetText(1091, "1000");
  pc.page->Commit();

  TestPage p1(ADX_TYPE_160BAUDLISTEN);
  p1.Load(&def, slow);
  p1.SetCommon("Slow", "SLOW", "");
  p1.SetText(1097, "20");
  p1.page->Commit();

  auto loaded = SaveAndLoad(def);
  auto* s = static_cast<ADXCSendCommand*>(loaded->FindById("POLL"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->bytes, (std::vector<std::uint8_t>{0xF0, 0x57, 0x01}));
  EXPECT_EQ(s->flags, kSendReadReply | kSendVerifyChecksum);
  EXPECT_EQ(s->replytimeout, 150);
  EXPECT_EQ(s->replysize, 67);
  EXPECT_EQ(s->packetoffset, 3);
  EXPECT_EQ(s->packetsize, 0);
  auto* l = static_cast<ADXCListenSilence*>(loaded->FindById("QUIET"));
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->silencelen, 20);
  EXPECT_EQ(l->totaltimeout, 900);
  auto* c = static_cast<ADXCListenChatter*>(loaded->FindById("CHAT"));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->ByteStringSize(), 12);
  EXPECT_EQ(c->bytes.back(), 0x0C);
  EXPECT_EQ(c->listentimeout, 1000);
  auto* b = static_cast<ADXC160BaudListen*>(loaded->FindById("SLOW"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->packetsize, 20);
}

TEST(TriggerPage, SelectionsOrTheirBitsAndAllKindsShowsTheFourUpdates) {
  ADXDefinition def;
  auto* all = Add<ADXCTrigger>(def, "ALL", "All");
  auto* some = Add<ADXCTrigger>(def, "", "New Trigger");
  TestPage p(ADX_TYPE_TRIGGER);
  p.Load(&def, all);
  auto* list = p.C<QListWidget>(1147);
  std::vector<int> shown;
  for (int r = 0; r < list->count(); ++r) {
    if (list->item(r)->isSelected()) shown.push_back(r);
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4}));
  // Visiting the page keeps the stored word.
  p.page->Commit();
  EXPECT_EQ(all->triggertype, 0xFFFFFFFFu);

  p.Load(&def, some);
  p.SetCommon("Some", "SOME", "");
  list->clearSelection();
  list->item(1)->setSelected(true);
  list->item(4)->setSelected(true);
  p.page->Commit();
  EXPECT_EQ(some->triggertype, kTriggerHistograms | kTriggerDashboards);
  list->clearSelection();
  list->item(0)->setSelected(true);
  p.page->Commit();
  EXPECT_EQ(some->triggertype, 0xFFFFFFFFu);
  list->clearSelection();
  p.page->Commit();
  EXPECT_EQ(some->triggertype, 0u);
  list->item(3)->setSelected(true);
  p.page->Commit();
  auto loaded = SaveAndLoad(def);
  EXPECT_EQ(static_cast<ADXCTrigger*>(loaded->FindById("SOME"))->triggertype, kTriggerMonitors);
  EXPECT_EQ(static_cast<ADXCTrigger*>(loaded->FindById("ALL"))->triggertype, 0xFFFFFFFFu);
}

TEST(MacroPage, StepsAreAddedMovedEditedAndSaved) {
  ADXDefinition def;
  auto* a = Add<ADXCSendCommand>(def, "A", "Send A");
  auto* b = Add<ADXCListenSilence>(def, "B", "Quiet B");
  auto* c = Add<ADXCTrigger>(def, "C", "Trigger C");
  auto* macro = Add<ADXMacro>(def, "", "New Macro");
  TestPage p(ADX_TYPE_MACRO);
  p.Load(&def, macro);
  p.SetCommon("Loop", "LOOP", "");
  p.SetText(1112, "3");
  auto* list = p.C<QListWidget>(1114);
  p.services.browseResult = {a, c};
  p.C<QPushButton>(1115)->click();
  EXPECT_EQ(p.services.browseMasks.back(), 0x003F0000u);
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Send A", "Trigger C"}));
  list->setCurrentRow(1);
  p.services.browseResult = {b};
  p.C<QPushButton>(1115)->click();
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Send A", "Quiet B", "Trigger C"}));
  p.C<QPushButton>(1117)->click();
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Quiet B", "Send A", "Trigger C"}));
  EXPECT_EQ(list->currentRow(), 0);
  p.C<QPushButton>(1117)->click();  // already first
  EXPECT_EQ(list->currentRow(), 0);
  p.SetText(1119, "4");
  Q_EMIT p.C<QLineEdit>(1119)->textEdited("4");
  p.C<QCheckBox>(1121)->setChecked(true);
  list->setCurrentRow(2);
  p.C<QCheckBox>(1120)->setChecked(true);
  p.C<QPushButton>(1118)->click();  // already last
  list->setCurrentRow(1);
  p.C<QPushButton>(1116)->click();
  EXPECT_EQ(Rows(list), (std::vector<QString>{"Quiet B", "Trigger C"}));
  EXPECT_EQ(list->currentRow(), 1);

  p.page->Commit();
  auto loaded = SaveAndLoad(def);
  auto* r = static_cast<ADXMacro*>(loaded->FindById("LOOP"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->repeatcount, 3);
  ASSERT_EQ(r->NodeCount(), 2);
  EXPECT_STREQ(r->nodes[0].commandID, "B");
  EXPECT_EQ(r->nodes[0].repeatcount, 4);
  EXPECT_EQ(r->nodes[0].flags, kNodeBreakOnSuccess);
  EXPECT_EQ(r->nodes[1].command, loaded->FindById("C"));
  EXPECT_EQ(r->nodes[1].flags, kNodeBreakOnFailure);
  EXPECT_EQ(r->nodes[1].repeatcount, 1);

  // A step whose command is gone says so.
  auto removed = loaded->Remove(loaded->FindById("B"));
  p.Load(loaded.get(), r);
  EXPECT_EQ(list->item(0)->text(), "UNKNOWN COMMAND! (deleted?)");
}

TEST(PageFactory, EveryTypeHasItsPageInCreationOrder) {
  const auto& order = ItemEditorCreationOrder();
  ASSERT_EQ(order.size(), 14u);
  QWidget window;
  for (const std::uint32_t type : order) {
    auto page = CreateItemEditor(type, &window);
    ASSERT_NE(page, nullptr) << type;
    QWidget* sheet = page->PageWindow();
    EXPECT_EQ(sheet->parentWidget(), &window);
    EXPECT_TRUE(sheet->isHidden());
    EXPECT_EQ(sheet->size(), QSize(400, 400));
  }
  EXPECT_EQ(CreateItemEditor(ADX_TYPE_ITEMEXTRA, &window), nullptr);
  EXPECT_EQ(CreateItemEditor(0x12345, &window), nullptr);
}

TEST(PageTexts, EightBitTextsKeepTheirBytesAndTypedTextIsStoredAsUtf8) {
  ADXDefinition def;
  auto* send = Add<ADXCSendCommand>(def, "POLL", "K\xFChlmittel");  // from an 8-bit file
  send->SetDesc(
      "\xB0"
      "C",
      2);
  auto* other = Add<ADXCSendCommand>(def, "OTHER", "K\xC3\xBChlmittel");  // from a UTF-8 file

  TestPage ps(ADX_TYPE_SENDCOMMAND);
  ps.Load(&def, send);
  EXPECT_EQ(ps.C<QLineEdit>(1006)->text(), QStringLiteral("K\u00FChlmittel"));
  EXPECT_EQ(ps.C<QPlainTextEdit>(1007)->toPlainText(), QStringLiteral("\u00B0C"));
  ps.page->Commit();
  EXPECT_EQ(send->title, "K\xFChlmittel");  // unchanged: the bytes stay
  EXPECT_EQ(send->desc,
            "\xB0"
            "C");
  ps.C<QLineEdit>(1006)->setText(QStringLiteral("K\u00FChlmittel 2"));  // typed by the user
  ps.page->Commit();
  EXPECT_EQ(send->title, "K\xC3\xBChlmittel 2");

  ps.Load(&def, other);
  EXPECT_EQ(ps.C<QLineEdit>(1006)->text(), QStringLiteral("K\u00FChlmittel"));
  ps.page->Commit();
  EXPECT_EQ(other->title, "K\xC3\xBChlmittel");
}
