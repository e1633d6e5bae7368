// The item browser: which objects it lists, selection modes, OK and Cancel,
// and where its controls sit.
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>

#include <cstring>

#include <gtest/gtest.h>

#include "editor/browser/ADXItemBrowser.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtTestApp);

template <typename T>
T* Add(ADXDefinition& def, const char* title) {
  auto object = std::make_unique<T>();
  object->SetTitle(title, std::strlen(title));
  T* raw = object.get();
  def.Append(std::move(object));
  return raw;
}

class ItemBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rpm_ = Add<ADXValue>(def_, "Engine Speed");
    send_ = Add<ADXCSendCommand>(def_, "Request");
    untitled_ = Add<ADXValue>(def_, "");
    macro_ = Add<ADXMacro>(def_, "Loop");
    Add<ADXBitmask>(def_, "Closed Loop");
  }
  ADXDefinition def_;
  ADXValue* rpm_ = nullptr;
  ADXCSendCommand* send_ = nullptr;
  ADXValue* untitled_ = nullptr;
  ADXMacro* macro_ = nullptr;
};

TEST_F(ItemBrowserTest, ListsTheMaskedObjectsInDefinitionOrder) {
  ADXItemBrowser browser(nullptr, &def_, ADX_MASK_COMMANDS, false);
  EXPECT_EQ(browser.windowTitle(), "ADX Item Browser");
  QTreeWidget* list = browser.List();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "Request");
  EXPECT_EQ(list->topLevelItem(1)->text(0), "Loop");
  EXPECT_EQ(list->headerItem()->text(0), "Item");
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
  // Several rows, handed back in list order whatever the order of selecting.
  list->topLevelItem(1)->setSelected(true);
  list->topLevelItem(0)->setSelected(true);
  QSignalSpy finished(&browser, &QDialog::finished);
  browser.OkButton()->click();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
  ASSERT_EQ(browser.Chosen().size(), 2u);
  EXPECT_EQ(browser.Chosen()[0], send_);
  EXPECT_EQ(browser.Chosen()[1], macro_);
}

TEST_F(ItemBrowserTest, UntitledObjectsAreEmptyRowsThatCanBeChosen) {
  ADXItemBrowser browser(nullptr, &def_, ADX_TYPE_VALUE, true);
  QTreeWidget* list = browser.List();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(1)->text(0), "");
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  list->setCurrentItem(list->topLevelItem(0));
  list->setCurrentItem(list->topLevelItem(1));
  EXPECT_EQ(list->selectedItems().size(), 1) << "one row at a time";
  // A double click acts as OK.
  Q_EMIT list->itemDoubleClicked(list->topLevelItem(1), 0);
  EXPECT_EQ(browser.result(), 1);
  ASSERT_EQ(browser.Chosen().size(), 1u);
  EXPECT_EQ(browser.Chosen()[0], untitled_);
}

TEST_F(ItemBrowserTest, EmptyMaskConfirmsWithNothingAndCancelReturnsZero) {
  std::vector<ADXObject*> chosen{rpm_};
  // Run the real modal loop and answer it from a timer.
  QTimer::singleShot(0, [] {
    auto* browser = qobject_cast<ADXItemBrowser*>(QApplication::activeModalWidget());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->List()->topLevelItemCount(), 0);
    browser->OkButton()->click();
  });
  EXPECT_EQ(BrowseItems(nullptr, &def_, ADX_TYPE_HISTOGRAM, &chosen, false), 1);
  EXPECT_TRUE(chosen.empty());

  chosen = {rpm_};
  QTimer::singleShot(0, [] {
    auto* browser = qobject_cast<ADXItemBrowser*>(QApplication::activeModalWidget());
    ASSERT_NE(browser, nullptr);
    browser->List()->topLevelItem(0)->setSelected(true);
    browser->CancelButton()->click();
  });
  EXPECT_EQ(BrowseItems(nullptr, &def_, ADX_TYPE_VALUE, &chosen, true), 0);
  EXPECT_TRUE(chosen.empty());
  EXPECT_EQ(BrowseItems(nullptr, nullptr, ADX_TYPE_VALUE, &chosen, true), -1);
  EXPECT_EQ(BrowseItems(nullptr, &def_, ADX_TYPE_VALUE, nullptr, true), -1);
}

TEST_F(ItemBrowserTest, ControlsKeepTheirPlacesOnResize) {
  const ItemBrowserLayout l = LayOutItemBrowser(QSize(200, 300), QSize(60, 24));
  EXPECT_EQ(l.cancel, QRect(3, 273, 60, 24));
  EXPECT_EQ(l.ok, QRect(66, 273, 60, 24));
  EXPECT_EQ(l.list, QRect(3, 3, 194, 265));

  ADXItemBrowser browser(nullptr, &def_, ADX_MASK_ALL, false);
  EXPECT_EQ(browser.size(), QSize(200, 300));
  EXPECT_EQ(browser.minimumSize(), QSize(200, 300));
  browser.show();
  browser.resize(320, 400);
  QApplication::processEvents();
  EXPECT_EQ(browser.CancelButton()->geometry().left(), 3);
  EXPECT_EQ(browser.CancelButton()->geometry().bottom(), 400 - 1 - 3);
  EXPECT_EQ(browser.List()->geometry().right(), 320 - 1 - 3);
  EXPECT_EQ(browser.List()->geometry().bottom() + 1 + 5, browser.CancelButton()->geometry().top());
  browser.List()->topLevelItem(0)->setSelected(true);
  QApplication::processEvents();
  const QString dir = QStringLiteral(VARNAK_BINARY_DIR "/renders");
  QDir().mkpath(dir);
  EXPECT_TRUE(browser.grab().save(dir + "/item-browser.png"));
}

}  // namespace
