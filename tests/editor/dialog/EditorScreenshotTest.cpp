// The editor with the demo definition, rendered offscreen on several pages for
// people to look at (build folder, renders/), with checks on what shows.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "editor/dialog/BrelithDialog.h"
#include "editor/dialog/BrelithEditor.h"
#include "tests/editor/dialog/FakeServices.h"

namespace {

QImage Render(BrelithDialog& dialog, const char* name) {
  QApplication::processEvents();
  const QImage image = dialog.grab().toImage();
  const QString dir = QStringLiteral(VARNAK_BINARY_DIR "/renders");
  QDir().mkpath(dir);
  image.save(dir + "/" + name + ".png");
  return image;
}

TEST(EditorScreenshots, DemoDefinitionOnSeveralPages) {
  FakeServices services;
  BrelithEditor editor(VARNAK_SOURCE_DIR "/examples/demo-ecu.adx", nullptr, 0, &services);
  ASSERT_GT(editor.Definition().ObjectCount(), 0u) << "the demo definition loads";
  BrelithDialog& dialog = editor.Dialog(nullptr);
  // The title shows the last three parts of the path, whatever the checkout is called.
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Brelith - ") +
                                      QDir(QStringLiteral(VARNAK_SOURCE_DIR)).dirName() +
                                      QStringLiteral("/examples/demo-ecu.adx"));
  dialog.show();
  dialog.Tree()->expandAll();

  const QImage header = Render(dialog, "editor-header");
  EXPECT_EQ(header.size(), dialog.size());
  struct Shot {
    BrelithDialog::Root root;
    const char* name;
  };
  for (const Shot& shot : {Shot{BrelithDialog::kRootValues, "editor-value"},
                           Shot{BrelithDialog::kRootCommands, "editor-command"},
                           Shot{BrelithDialog::kRootListViews, "editor-listview"},
                           Shot{BrelithDialog::kRootLookupTables, "editor-lookup"}}) {
    QTreeWidgetItem* root = dialog.RootItem(shot.root);
    ASSERT_GT(root->childCount(), 0) << shot.name;
    ASSERT_TRUE(dialog.SelectItem(root->child(0))) << shot.name;
    ASSERT_NE(dialog.CurrentPage(), nullptr);
    EXPECT_TRUE(dialog.CurrentPage()->PageWindow()->isVisible());
    const QImage image = Render(dialog, shot.name);
    EXPECT_NE(image, header) << shot.name;
  }
  EXPECT_TRUE(services.warnings.empty()) << "the demo's objects all validate";
}

}  // namespace
