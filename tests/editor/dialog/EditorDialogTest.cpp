// The editor dialog driven as a user would: adding, refusing invalid pages,
// saving, deleting with dependency repair, dragging, and the results.
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXListView.h"
#include "definition/ADXValue.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstring>

#include <gtest/gtest.h>

#include "editor/dialog/BrelithDialog.h"
#include "editor/dialog/BrelithEditor.h"
#include "editor/dialog/CommandTypeChooser.h"
#include "editor/dialog/EditorTitle.h"
#include "tests/editor/dialog/FakeServices.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtTestApp);

template <typename T>
std::unique_ptr<T> Named(const char* id, const char* title) {
  auto object = std::make_unique<T>();
  object->SetId(id);
  object->SetTitle(title, std::strlen(title));
  return object;
}

// A small definition: a command and a macro using it, two values (the second
// links to the first in its equation), a bitmask, a list view, a dashboard and
// a histogram over the first value.
void WriteSample(const std::string& path) {
  ADXDefinition def;
  auto data = Named<ADXCSendCommand>("DATA", "Data request");
  data->flags = 1;
  ADXCSendCommand* dataRaw = data.get();
  def.Append(std::move(data));
  auto macro = Named<ADXMacro>("LOOP", "Data loop");
  MacroNode node;
  node.SetCommand(dataRaw);
  macro->AppendNode(node);
  def.Append(std::move(macro));
  def.connectcmd = dataRaw;

  auto rpm = Named<ADXValue>("RPM", "Engine Speed");
  ADXValue* rpmRaw = rpm.get();
  def.Append(std::move(rpm));
  auto load = Named<ADXValue>("LOAD", "Engine Load");
  load->SetEquation("X*Y", 3);
  for (ValueVariable& v : load->variables) {
    if (v.varID == 'Y') {
      v.kind = kVariableLink;
      v.linkhash = rpmRaw->idhash;
    }
  }
  def.Append(std::move(load));
  def.Append(Named<ADXBitmask>("CLOSED", "Closed Loop"));

  auto list = Named<ADXListView>("MAIN", "Main List");
  ListViewEntry entry;
  entry.SetItem(rpmRaw);
  entry.SetTitle("rpm", 3);
  list->AppendEntry(entry);
  ListViewEntry separator;
  separator.entrytype = kListEntrySeparator;
  separator.SetTitle("Sensors", 7);
  list->AppendEntry(separator);
  def.Append(std::move(list));

  auto dash = Named<ADXDashboard>("DASH", "Dash");
  DashboardEntry gauge;
  gauge.SetItem(rpmRaw);
  dash->AppendEntry(gauge);
  def.Append(std::move(dash));
  auto histogram = Named<ADXHistogram>("HIST", "Histogram");
  histogram->SetXValue(rpmRaw);
  def.Append(std::move(histogram));
  ASSERT_EQ(SaveAdx(&def, path.c_str(), nullptr), 1);
}

QTreeWidgetItem* ChildTitled(QTreeWidgetItem* root, const QString& text) {
  for (int i = 0; i < root->childCount(); ++i) {
    if (root->child(i)->text(0) == text) return root->child(i);
  }
  return nullptr;
}

QLineEdit* Field(ADXItemEditorBase* page, int id) {
  return page->PageWindow()->findChild<QLineEdit*>(QString::number(id));
}

class EditorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = QDir(dir_.path()).filePath("sample.adx").toStdString();
    WriteSample(path_);
  }
  std::string PathIn(const char* name) const { return QDir(dir_.path()).filePath(name).toStdString(); }

  QTemporaryDir dir_;
  std::string path_;
  FakeServices services_;
};

TEST_F(EditorDialogTest, TreeHasNineRootsFilledInDefinitionOrder) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  QTreeWidget* tree = dialog.Tree();
  const QStringList roots{"ADX Header Data", "Commands",      "Item List Views", "Dashboards", "Values",
                          "Bitmasks",        "Lookup Tables", "Histograms",      "Monitors"};
  const int images[] = {1, 6, 5, 13, 2, 3, 4, 12, 14};
  ASSERT_EQ(tree->topLevelItemCount(), 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(tree->topLevelItem(i)->text(0), roots[i]);
    EXPECT_EQ(BrelithDialog::ImageOf(tree->topLevelItem(i)), images[i]);
  }
  QTreeWidgetItem* commands = dialog.RootItem(BrelithDialog::kRootCommands);
  ASSERT_EQ(commands->childCount(), 2);
  EXPECT_EQ(commands->child(0)->text(0), "Data request");
  EXPECT_EQ(BrelithDialog::ImageOf(commands->child(0)), 9);
  EXPECT_EQ(BrelithDialog::ImageOf(commands->child(1)), 10);
  EXPECT_EQ(BrelithDialog::RecordOf(commands->child(1))->kind, ADXEditorItemRecord::kCommand);
  QTreeWidgetItem* values = dialog.RootItem(BrelithDialog::kRootValues);
  ASSERT_EQ(values->childCount(), 2);
  EXPECT_EQ(values->child(1)->text(0), "Engine Load");
  EXPECT_EQ(BrelithDialog::RecordOf(dialog.RootItem(BrelithDialog::kRootHeader))->kind,
            ADXEditorItemRecord::kHeader);
  EXPECT_EQ(BrelithDialog::RecordOf(dialog.RootItem(BrelithDialog::kRootValues)), nullptr);

  // Starts on the header page, where nothing can be added.
  EXPECT_EQ(tree->currentItem(), dialog.RootItem(BrelithDialog::kRootHeader));
  EXPECT_EQ(dialog.CurrentPage(), dialog.PageForType(0));
  EXPECT_FALSE(dialog.AddButton()->isEnabled());
  EXPECT_TRUE(dialog.SelectItem(values));
  EXPECT_EQ(dialog.CurrentPage(), nullptr) << "a category root shows no page";
  EXPECT_TRUE(dialog.AddButton()->isEnabled());
  EXPECT_TRUE(dialog.windowTitle().startsWith("Brelith - "));
}

TEST_F(EditorDialogTest, NewValueMustGetAUniqueIdBeforeLeavingAndIsSaved) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  QTreeWidgetItem* values = dialog.RootItem(BrelithDialog::kRootValues);
  ASSERT_TRUE(dialog.SelectItem(values));
  dialog.AddNewItem();

  // First in the tree and first in the definition.
  ASSERT_EQ(values->childCount(), 3);
  QTreeWidgetItem* added = values->child(0);
  EXPECT_EQ(added->text(0), "New Item");
  EXPECT_EQ(dialog.Tree()->currentItem(), added);
  ADXObject* object = BrelithDialog::RecordOf(added)->object;
  EXPECT_EQ(editor.Definition().ObjectAt(0), object);
  EXPECT_EQ(object->id[0], '\0');
  ADXItemEditorBase* page = dialog.CurrentPage();
  ASSERT_EQ(page, dialog.PageForType(ADX_TYPE_VALUE));

  // No ID: refused, the selection stays.
  EXPECT_FALSE(dialog.SelectItem(dialog.RootItem(BrelithDialog::kRootHeader)));
  EXPECT_EQ(dialog.Tree()->currentItem(), added);
  ASSERT_EQ(services_.warnings.size(), 1u);
  EXPECT_EQ(services_.warnings[0].first, "Invalid Item Data!");
  EXPECT_EQ(services_.warnings[0].second, "No ID provided. Please specify unique ID string.");

  // Another object's ID: refused with the uniqueness message, for a move in the
  // tree and for Add New Item and Save alike.
  Field(page, 1008)->setText("RPM");
  EXPECT_FALSE(dialog.SelectItem(values->child(1)));
  dialog.AddNewItem();
  dialog.Save();
  ASSERT_EQ(services_.warnings.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i)
    EXPECT_EQ(services_.warnings[i].second, "ID is not unique. Please specify unique ID.");
  EXPECT_EQ(values->childCount(), 3);
  EXPECT_EQ(dialog.SavedFlag(), 0);

  // A good ID and fields; the title renames the tree item at once.
  Field(page, 1008)->setText("MAP");
  Field(page, 1006)->setText("Manifold Pressure");
  EXPECT_EQ(added->text(0), "Manifold Pressure");
  Field(page, 1010)->setText("0x1A");
  Field(page, 1015)->setText("105.5");

  // Adding with a value selected puts the new one right after it.
  ASSERT_TRUE(dialog.SelectItem(values->child(1)));
  dialog.AddNewItem();
  ASSERT_EQ(values->childCount(), 4);
  EXPECT_EQ(values->child(2)->text(0), "New Item");
  ADXObject* second = BrelithDialog::RecordOf(values->child(2))->object;
  EXPECT_EQ(editor.Definition().IndexOf(second),
            editor.Definition().IndexOf(BrelithDialog::RecordOf(values->child(1))->object) + 1);
  Field(dialog.CurrentPage(), 1008)->setText("SECOND");

  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.Save();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
  EXPECT_EQ(services_.saveDialogs, 0) << "a loaded file is saved in place";

  ADXDefinition reloaded;
  ASSERT_EQ(LoadAdx(&reloaded, path_.c_str(), nullptr, 0, nullptr), 1);
  auto* map = dynamic_cast<ADXValue*>(reloaded.FindById("MAP"));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(reloaded.ObjectAt(0), map);
  EXPECT_EQ(map->title, "Manifold Pressure");
  EXPECT_EQ(map->packetoffset, 26u);
  EXPECT_FLOAT_EQ(map->rangehigh, 105.5f);
  ADXObject* rpm = reloaded.FindById("RPM");
  ASSERT_NE(reloaded.FindById("SECOND"), nullptr);
  EXPECT_EQ(reloaded.IndexOf(reloaded.FindById("SECOND")), reloaded.IndexOf(rpm) + 1);
  EXPECT_EQ(reloaded.ObjectCount(), editor.Definition().ObjectCount());
}

TEST_F(EditorDialogTest, AClickAwayFromAnInvalidPageLeavesTheSelectionAlone) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  dialog.show();
  QTreeWidgetItem* values = dialog.RootItem(BrelithDialog::kRootValues);
  ASSERT_TRUE(dialog.SelectItem(values));
  dialog.AddNewItem();
  QTreeWidgetItem* added = values->child(0);
  QTreeWidget* tree = dialog.Tree();
  const QPoint header = tree->visualItemRect(dialog.RootItem(BrelithDialog::kRootHeader)).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, header);
  QApplication::processEvents();
  EXPECT_EQ(tree->currentItem(), added);
  ASSERT_EQ(tree->selectedItems().size(), 1);
  EXPECT_EQ(tree->selectedItems().front(), added);
  EXPECT_EQ(services_.warnings.size(), 1u);
}

TEST_F(EditorDialogTest, DeletingAValueRepairsItsDependants) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  QTreeWidgetItem* values = dialog.RootItem(BrelithDialog::kRootValues);
  QTreeWidgetItem* rpmItem = ChildTitled(values, "Engine Speed");
  ASSERT_NE(rpmItem, nullptr);
  ASSERT_TRUE(dialog.SelectItem(rpmItem));
  dialog.DeleteSelected();

  ASSERT_EQ(services_.infos.size(), 1u);
  EXPECT_EQ(services_.infos[0].first, "Engine Speed");
  EXPECT_EQ(services_.infos[0].second,
            "Dependencies on this object were removed. There are more dependencies\nthat you must remove "
            "manually.");
  EXPECT_EQ(editor.Definition().FindById("RPM"), nullptr);
  ASSERT_EQ(values->childCount(), 1);
  EXPECT_EQ(values->child(0)->text(0), "Engine Load (BROKEN DEPENDENCY!)");
  EXPECT_EQ(dialog.Tree()->currentItem(), values->child(0)) << "the next sibling is selected";

  auto* list = static_cast<ADXListView*>(editor.Definition().FindById("MAIN"));
  const ListViewEntry* repaired = list->GetEntry(0);
  EXPECT_EQ(repaired->entrytype, kListEntrySeparator);
  EXPECT_EQ(repaired->item, nullptr);
  EXPECT_EQ(repaired->flags & kListEntryBold, kListEntryBold);
  EXPECT_EQ(repaired->color, 0x000000FFu);
  EXPECT_EQ(repaired->title, "ENTRY DEPENDENCY REMOVED!");
  EXPECT_EQ(list->GetEntry(1)->title, "Sensors") << "other separators stay as they were";

  // Nothing is left pointing at the destroyed value: the file saves and
  // loads back cleanly.
  EXPECT_EQ(static_cast<ADXDashboard*>(editor.Definition().FindById("DASH"))->GetEntry(0)->item, nullptr);
  EXPECT_EQ(static_cast<ADXHistogram*>(editor.Definition().FindById("HIST"))->xvalue, nullptr);
  Field(dialog.CurrentPage(), 1006)->setText("Engine Load");  // the user fixes the title
  dialog.Save();
  ADXDefinition reloaded;
  ASSERT_EQ(LoadAdx(&reloaded, path_.c_str(), nullptr, 0, nullptr), 1);
  EXPECT_EQ(reloaded.FindById("LOAD")->title, "Engine Load");
  EXPECT_EQ(static_cast<ADXListView*>(reloaded.FindById("MAIN"))->GetEntry(0)->title,
            "ENTRY DEPENDENCY REMOVED!");
}

TEST_F(EditorDialogTest, DeletingACommandEmptiesMacroStepsAndHeaderReferences) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  QTreeWidgetItem* commands = dialog.RootItem(BrelithDialog::kRootCommands);
  ASSERT_TRUE(dialog.SelectItem(commands->child(0)));
  dialog.DeleteSelected();
  EXPECT_TRUE(services_.infos.empty()) << "a macro repair is silent";
  auto* macro = static_cast<ADXMacro*>(editor.Definition().FindById("LOOP"));
  ASSERT_EQ(macro->NodeCount(), 1) << "the step stays";
  EXPECT_EQ(macro->nodes[0].command, nullptr);
  EXPECT_EQ(editor.Definition().connectcmd, nullptr);
  EXPECT_EQ(commands->childCount(), 1);
  // Deleting a category root or the header does nothing.
  ASSERT_TRUE(dialog.SelectItem(commands));
  dialog.DeleteSelected();
  EXPECT_EQ(commands->childCount(), 1);
  dialog.Save();
  EXPECT_EQ(dialog.SavedFlag(), 1);
}

TEST_F(EditorDialogTest, DraggingMovesOnlyAmongSiblingsAndOntoTheRoot) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  ADXDefinition& def = editor.Definition();
  QTreeWidgetItem* values = dialog.RootItem(BrelithDialog::kRootValues);
  QTreeWidgetItem* bitmasks = dialog.RootItem(BrelithDialog::kRootBitmasks);
  QTreeWidgetItem* load = values->child(1);
  ADXObject* loadObject = BrelithDialog::RecordOf(load)->object;
  const std::size_t count = def.ObjectCount();

  // Onto a bitmask or another root: nothing moves.
  EXPECT_FALSE(dialog.DropItem(load, bitmasks->child(0)));
  EXPECT_FALSE(dialog.DropItem(load, bitmasks));
  EXPECT_FALSE(dialog.DropItem(load, load));
  QTreeWidgetItem stray({"not in the tree"});
  EXPECT_FALSE(dialog.DropItem(&stray, values));
  EXPECT_FALSE(dialog.DropItem(load, &stray));
  EXPECT_FALSE(dialog.DropItem(values, dialog.RootItem(BrelithDialog::kRootHeader))) << "roots do not move";
  EXPECT_EQ(values->child(1), load);

  // Onto the "Values" root: first in the tree and first in the definition.
  ASSERT_TRUE(dialog.DropItem(load, values));
  EXPECT_EQ(values->child(0)->text(0), "Engine Load");
  EXPECT_EQ(def.ObjectAt(0), loadObject);
  EXPECT_EQ(dialog.Tree()->currentItem(), values->child(0));
  EXPECT_EQ(dialog.CurrentPage()->Object(), loadObject);
  EXPECT_EQ(def.ObjectCount(), count);

  // Onto a sibling: right after it.
  ASSERT_TRUE(dialog.DropItem(values->child(0), values->child(1)));
  EXPECT_EQ(values->child(1)->text(0), "Engine Load");
  EXPECT_EQ(def.IndexOf(loadObject), def.IndexOf(def.FindById("RPM")) + 1);
}

TEST_F(EditorDialogTest, SaveOnANewDefinitionWithTheFileDialogCancelledReturnsZero) {
  BrelithEditor editor("", nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Brelith - New ADX File");
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.Save();
  EXPECT_EQ(services_.saveDialogs, 1);
  EXPECT_EQ(services_.lastSaveTitle, "Select save path...");
  EXPECT_EQ(services_.lastSaveFilter, "ADX Files (*.adx)");
  EXPECT_EQ(services_.lastSaveExtension, "adx");
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
  char path[260];
  std::memset(path, 'x', sizeof path);
  editor.CopyPathOut(path);
  EXPECT_STREQ(path, "");
}

TEST_F(EditorDialogTest, CancelAfterSaveAsReturnsOneWithTheNewPath) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  const std::string copy = PathIn("copy.adx");
  services_.saveAnswer = QString::fromStdString(copy);
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.SaveAs();
  EXPECT_EQ(finished.count(), 0) << "Save As leaves the editor open";
  EXPECT_EQ(dialog.Path(), copy);
  EXPECT_EQ(dialog.windowTitle().toStdString(), EditorTitle(copy));
  dialog.CancelEditor();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
  char path[260] = {};
  editor.CopyPathOut(path);
  EXPECT_EQ(std::string(path), copy);
  ADXDefinition reloaded;
  EXPECT_EQ(LoadAdx(&reloaded, copy.c_str(), nullptr, 0, nullptr), 1);
  EXPECT_NE(reloaded.FindById("RPM"), nullptr);
}

TEST_F(EditorDialogTest, AFailedWriteKeepsTheEditorOpenAndThePath) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  services_.saveAnswer = QString::fromStdString(PathIn("missing-folder/x.adx"));
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.SaveAs();
  EXPECT_EQ(dialog.SavedFlag(), 1);
  EXPECT_EQ(dialog.Path(), path_);
  ASSERT_EQ(services_.warnings.size(), 1u);
  EXPECT_EQ(services_.warnings[0].first, "Brelith");
  // A path longer than the caller's buffer is refused rather than cut.
  services_.saveAnswer = QString::fromStdString(PathIn(std::string(300, 'a').c_str()));
  dialog.SaveAs();
  EXPECT_EQ(dialog.Path(), path_);
  EXPECT_EQ(services_.warnings.size(), 2u);
  // Closing the window keeps the flag as the result.
  dialog.reject();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
}

TEST_F(EditorDialogTest, AddingACommandAsksForItsType) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  QTreeWidgetItem* commands = dialog.RootItem(BrelithDialog::kRootCommands);
  ASSERT_TRUE(dialog.SelectItem(commands->child(0)));
  services_.commandType = 0;
  dialog.AddNewItem();
  EXPECT_EQ(commands->childCount(), 2) << "no type chosen: nothing added";
  services_.commandType = ADX_TYPE_TRIGGER;
  dialog.AddNewItem();
  ASSERT_EQ(commands->childCount(), 3);
  EXPECT_EQ(commands->child(1)->text(0), "New Trigger");
  EXPECT_EQ(BrelithDialog::ImageOf(commands->child(1)), 15);
  EXPECT_EQ(dialog.CurrentPage(), dialog.PageForType(ADX_TYPE_TRIGGER));
  // An emptied command title shows as un-named.
  Field(dialog.CurrentPage(), 1006)->setText("");
  EXPECT_EQ(commands->child(1)->text(0), "Un-named Command");
}

TEST(CommandTypeChooserWindow, OkGivesTheSelectedTypeOrNone) {
  CommandTypeChooser chooser(nullptr);
  EXPECT_EQ(chooser.windowTitle(), "Command Type Chooser...");
  ASSERT_EQ(chooser.List()->count(), 6);
  EXPECT_EQ(chooser.List()->item(3)->text(), "Listen for 160 baud packet");
  EXPECT_EQ(chooser.SelectedType(), 0u);
  chooser.List()->item(5)->setSelected(true);
  EXPECT_EQ(chooser.SelectedType(), ADX_TYPE_MACRO);
  QSignalSpy finished(&chooser, &QDialog::finished);
  Q_EMIT chooser.List()->itemDoubleClicked(chooser.List()->item(5));
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Accepted);
  chooser.show();
  const QString dir = QStringLiteral(VARNAK_BINARY_DIR "/renders");
  QDir().mkpath(dir);
  EXPECT_TRUE(chooser.grab().save(dir + "/command-type-chooser.png"));
}

TEST_F(EditorDialogTest, AFileThatDoesNotLoadOpensAnEmptyNewDefinition) {
  const std::string missing = PathIn("nowhere.adx");
  BrelithEditor editor(missing.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Brelith - New ADX File");
  EXPECT_EQ(editor.Definition().ObjectCount(), 0u);
  char path[260];
  std::strcpy(path, missing.c_str());
  editor.CopyPathOut(path);
  EXPECT_STREQ(path, "");
  EXPECT_TRUE(services_.warnings.empty() && services_.infos.empty());
}

TEST_F(EditorDialogTest, OptionBitZeroMakesAnApplicationWindow) {
  QWidget owner;
  BrelithEditor owned(path_.c_str(), nullptr, 0, &services_);
  EXPECT_FALSE(owned.Dialog(&owner).IsAppWindow());
  BrelithEditor alone(path_.c_str(), nullptr, 1, &services_);
  EXPECT_TRUE(alone.Dialog(&owner).IsAppWindow());
}

TEST_F(EditorDialogTest, ResizingKeepsButtonsAtTheBottomAndThePageBesideTheTree) {
  BrelithEditor editor(path_.c_str(), nullptr, 0, &services_);
  BrelithDialog& dialog = editor.Dialog(nullptr);
  const QSize start = dialog.size();
  EXPECT_EQ(dialog.minimumSize(), start);
  dialog.show();
  dialog.resize(start + QSize(200, 100));
  QApplication::processEvents();
  const QRect tree = dialog.Tree()->geometry();
  const QRect del = dialog.DeleteButton()->geometry();
  const QRect add = dialog.AddButton()->geometry();
  EXPECT_EQ(del.bottom(), dialog.height() - 1 - kEditorBottomMargin);
  EXPECT_EQ(del.left(), tree.left());
  EXPECT_EQ(add.right(), tree.right());
  EXPECT_EQ(tree.bottom() + 1 + kEditorTreeGap, del.top());
  const QRect page = dialog.CurrentPage()->PageWindow()->geometry();
  EXPECT_EQ(page.left(), tree.right() + 1 + 2);
  EXPECT_EQ(page.width(), dialog.width() - (tree.right() + 1) - 4);
  EXPECT_EQ(page.height(), tree.height());
}

}  // namespace
