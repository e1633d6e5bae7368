// The editor's rules that need no window: path titles, layout, the command
// type list and dependency repair on a bare definition.
#include "definition/ADXDefinition.h"
#include "definition/ADXKinds.h"
#include "definition/ADXListView.h"
#include "definition/ADXValue.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "editor/dialog/CommandTypeChooser.h"
#include "editor/dialog/DependencyRepair.h"
#include "editor/dialog/EditorLayout.h"
#include "editor/dialog/EditorTitle.h"
#include "editor/dialog/EditorTreeImages.h"
#include "editor/pages/ADXItemEditorBase.h"

namespace {

TEST(EditorTitle, ShortFormKeepsTheLastPartsOfThePath) {
  EXPECT_EQ(ShortPathForm("/home/ann/defs/ecu/x.adx"), "defs/ecu/x.adx");
  EXPECT_EQ(ShortPathForm("C:\\defs\\ecu\\x.adx"), "defs\\ecu\\x.adx");
  EXPECT_EQ(ShortPathForm("/defs/ecu/x.adx"), "defs/ecu/x.adx");
  EXPECT_EQ(ShortPathForm("defs/ecu/x.adx"), "ecu/x.adx") << "exactly two separators";
  EXPECT_EQ(ShortPathForm("ecu/x.adx"), "ecu/x.adx");
  EXPECT_EQ(ShortPathForm("x.adx"), "x.adx");
  EXPECT_EQ(ShortPathForm("a\\b/c\\d.adx"), "b/c\\d.adx") << "both separators count";
  EXPECT_EQ(EditorTitle(""), "Brelith - New ADX File");
  EXPECT_EQ(EditorTitle("/w/defs/ecu/x.adx"), "Brelith - defs/ecu/x.adx");
}

TEST(EditorLayout, ButtonsFollowTheBottomAndThePageFillsTheRest) {
  EditorLayoutMetrics m;
  m.tree = QRect(5, 5, 250, 0);
  m.buttonHeight = 24;
  m.deleteWidth = 70;
  m.addWidth = 100;
  m.bottomButtonWidth = 80;
  m.bottomButtonX = {400, 490, 580};
  const EditorLayout a = LayOutEditor(QSize(700, 500), m);
  EXPECT_EQ(a.deleteButton, QRect(5, 471, 70, 24));
  EXPECT_EQ(a.addButton, QRect(155, 471, 100, 24));
  EXPECT_EQ(a.tree, QRect(5, 5, 250, 461));
  EXPECT_EQ(a.page, QRect(257, 5, 700 - 255 - 4, 461));
  EXPECT_EQ(a.save, QRect(490, 471, 80, 24));
  const EditorLayout b = LayOutEditor(QSize(900, 600), m);
  EXPECT_EQ(b.saveAs.left(), a.saveAs.left()) << "horizontal places are kept";
  EXPECT_EQ(b.saveAs.top(), a.saveAs.top() + 100);
  EXPECT_EQ(b.tree.height(), a.tree.height() + 100);
  EXPECT_EQ(b.page.width(), a.page.width() + 200);
  // A dialog smaller than its parts never gives negative sizes.
  const EditorLayout tiny = LayOutEditor(QSize(10, 10), m);
  EXPECT_GE(tiny.tree.height(), 0);
  EXPECT_GE(tiny.page.width(), 0);
}

TEST(CommandTypes, ChooserListAndNewTitles) {
  const auto& choices = CommandTypeChoices();
  ASSERT_EQ(choices.size(), 6u);
  const char* texts[] = {"Send/Reply Command",
                         "Listen for Chatter",
                         "Listen for Silence",
                         "Listen for 160 baud packet",
                         "Trigger",
                         "Macro Command"};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_STREQ(choices[i].text, texts[i]);
  EXPECT_STREQ(NewCommandTitle(ADX_TYPE_SENDCOMMAND), "New Send Command");
  EXPECT_STREQ(NewCommandTitle(ADX_TYPE_160BAUDLISTEN), "Listen for 160 Baud Data");
  EXPECT_STREQ(NewCommandTitle(ADX_TYPE_MACRO), "New Macro");
  EXPECT_EQ(NewCommandTitle(0), nullptr);
  EXPECT_EQ(NewCommandTitle(ADX_TYPE_VALUE), nullptr);
  EXPECT_EQ(TreeImageForType(ADX_TYPE_LISTENSILENCE), 7);
  EXPECT_EQ(TreeImageForType(ADX_TYPE_TRIGGER), 15);
  EXPECT_EQ(TreeImageForType(0), 0);
}

TEST(DependencyRepair, MessagesAndTitleLimit) {
  EXPECT_EQ(DependencyMessage({}), "");
  EXPECT_EQ(DependencyMessage({true, false}), "Dependencies on this object were removed.");
  EXPECT_EQ(DependencyMessage({false, true}), " There are more dependencies\nthat you must remove manually.");

  ADXDefinition def;
  auto target = std::make_unique<ADXValue>();
  target->SetId("BASE");
  ADXValue* targetRaw = target.get();
  def.Append(std::move(target));
  auto linked = std::make_unique<ADXValue>();
  const std::string longTitle(250, 't');
  linked->SetTitle(longTitle.data(), longTitle.size());
  linked->SetEquation("X", 1);
  linked->variables.at(0).kind = kVariableLink;
  linked->variables.at(0).linkhash = targetRaw->idhash;
  ADXValue* linkedRaw = linked.get();
  def.Append(std::move(linked));
  auto list = std::make_unique<ADXListView>();
  ListViewEntry bold;
  bold.entrytype = kListEntrySeparator;
  bold.SetTitle("Keep", 4);
  list->AppendEntry(bold);
  ADXListView* listRaw = list.get();
  def.Append(std::move(list));

  std::unique_ptr<ADXObject> removed = def.Remove(targetRaw);
  const DependencyRepairResult result = RepairDependants(def, removed.get());
  EXPECT_TRUE(result.manualRemoval);
  EXPECT_FALSE(result.listViewRepaired) << "a list without the object is not repaired";
  EXPECT_EQ(linkedRaw->title.size(), 255u);
  EXPECT_EQ(linkedRaw->title.substr(250), " (BRO");
  EXPECT_EQ(listRaw->GetEntry(0)->title, "Keep");
  EXPECT_EQ(RepairDependants(def, nullptr).manualRemoval, false);
}

}  // namespace

namespace {

// A new kind in the definition's kinds table needs a tree image and a page.
TEST(EditorKinds, EveryKindHasATreeImageAndAPage) {
  const std::vector<std::uint32_t>& pages = ItemEditorCreationOrder();
  for (const AdxKind& kind : AdxKinds()) {
    EXPECT_GT(TreeImageForType(kind.type), 0) << kind.element;
    EXPECT_NE(std::find(pages.begin(), pages.end(), kind.type), pages.end()) << kind.element;
  }
}

}  // namespace
