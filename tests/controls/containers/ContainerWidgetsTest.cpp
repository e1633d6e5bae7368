#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <vector>

#include "controls/common/QvColor.h"
#include "controls/containers/QvPropTreeContainer.h"
#include "controls/containers/QvRichStatic.h"
#include "controls/containers/QvSplash.h"
#include "controls/containers/QvTabSheet.h"
#include "controls/gauges/QvPaintSupport.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

void ProcessDeletes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

QWidget* MakePage(QWidget* parent, const QString& name) {
  auto* page = new QLabel(name, parent);
  page->setObjectName(name);
  return page;
}

TEST(RichStatic, TemporaryTextsAndSavedValues) {
  QvRichStatic field;
  QvRichStaticSetText(&field, "Idle", QvRgb(0, 0, 0), kQvColorDefault);
  EXPECT_TRUE(QvRichStaticShowTemporaryText(&field, "First", QvRgb(255, 0, 0), QvRgb(255, 255, 0), 60));
  EXPECT_FALSE(field.showTemporaryText("Second", 0, 0, 10));  // ignored
  EXPECT_EQ(field.look().text, "First");
  // During the temporary text, setters change what returns afterwards.
  field.setText("Connected");
  EXPECT_EQ(field.setBkColor(QvRgb(0, 255, 0)), kQvColorDefault);
  EXPECT_EQ(field.look().text, "First");
  char buffer[8];
  EXPECT_EQ(field.getText(buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "First");
  QTRY_VERIFY_WITH_TIMEOUT(!field.temporaryTextShowing(), 2000);
  EXPECT_EQ(field.look().text, "Connected");
  EXPECT_EQ(field.look().backColor, QvRgb(0, 255, 0));
  EXPECT_EQ(field.look().textColor, QvRgb(0, 0, 0));
  // Once over, the next temporary text is accepted again.
  EXPECT_TRUE(field.showTemporaryText("Again", 0, 0, 5000));

  field.setText(std::string(300, 'z').c_str());
  EXPECT_EQ(field.getText(buffer, 3), 2);
  EXPECT_EQ(field.getText(nullptr, 3), 0);
}

TEST(RichStatic, FontsAndPainting) {
  QvRichStatic field;
  QFont big(QStringLiteral("Arial"));
  big.setPixelSize(30);
  field.setFontHandle(&big, true);
  EXPECT_EQ(field.textFont().pixelSize(), 30);
  field.setFontHandle(nullptr, true);
  EXPECT_NE(field.textFont().pixelSize(), 30);

  field.setTextAndColors("Recording", QvRgb(0, 0, 0), QvRgb(255, 255, 255));
  EXPECT_EQ(field.setBorderColor(QvRgb(255, 0, 0)), kQvColorDefault);
  const QImage bordered = RenderWidget(field, {160, 22}, "richstatic_border");
  EXPECT_EQ(bordered.pixelColor(0, 10), QColor(255, 0, 0));
  EXPECT_EQ(bordered.pixelColor(159, 21), QColor(255, 0, 0));
  EXPECT_EQ(bordered.pixelColor(3, 3), QColor(255, 255, 255));
  EXPECT_GT(CountColor(bordered, QColor(0, 0, 0)), 0);
  // Text colour -1 on a set background: the text takes the background colour.
  field.setTextColor(kQvColorDefault);
  field.setBorderColor(kQvColorDefault);
  const QImage hidden = RenderWidget(field, {160, 22}, "richstatic_hidden_text");
  EXPECT_EQ(CountColor(hidden, QColor(255, 255, 255)), 160 * 22);
}

class TabSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = std::make_unique<QWidget>();
    parent_->resize(600, 400);
    sheet_ = new QvTabSheet(parent_.get(), 42);
    sheet_->setGeometry(20, 20, 400, 300);
  }
  QvTabPage Add(const char* title, int index = -1) {
    return sheet_->addPage([title](QWidget* p) { return MakePage(p, title); }, title, index);
  }

  std::unique_ptr<QWidget> parent_;
  QPointer<QvTabSheet> sheet_;
};

TEST_F(TabSheetTest, AddFindSelectAndTitles) {
  EXPECT_EQ(sheet_->currentPage(), -1);
  const QvTabPage dash = Add("Dash");
  const QvTabPage lists = Add("Item Lists");
  const QvTabPage first = Add("Histograms", 0);
  EXPECT_EQ(dash.index, 0);
  EXPECT_EQ(lists.index, 1);
  EXPECT_EQ(first.index, 0);
  EXPECT_EQ(sheet_->pageCount(), 3);
  // The first page added stays current; the others wait hidden.
  EXPECT_EQ(sheet_->pageAt(sheet_->currentPage()), dash.page);
  EXPECT_EQ(sheet_->findPage(lists.page), 2);
  EXPECT_EQ(sheet_->findPage(nullptr), -1);
  EXPECT_EQ(sheet_->pageAt(9), nullptr);
  char title[5];
  EXPECT_EQ(sheet_->tabTitle(2, title, sizeof title), 4);
  EXPECT_STREQ(title, "Item");
  EXPECT_EQ(sheet_->tabTitle(7, title, sizeof title), 0);
  EXPECT_STREQ(title, "");

  parent_->show();
  EXPECT_TRUE(sheet_->selectPage(2));
  EXPECT_TRUE(lists.page->isVisible());
  EXPECT_FALSE(dash.page->isVisible());
  EXPECT_FALSE(sheet_->selectPage(3));
  RenderWidget(*sheet_, {400, 300}, "tabsheet_pages");
  EXPECT_EQ(sheet_->addPageWindow(nullptr, "x", -1).index, -1);
  EXPECT_EQ(sheet_->addPage([](QWidget*) { return nullptr; }, "x", -1).page, nullptr);
  EXPECT_GE(sheet_->minimumHeight(), 60);
}

TEST_F(TabSheetTest, RemovingAndClosingPages) {
  const QvTabPage a = Add("A");
  const QvTabPage b = Add("B");
  const QvTabPage c = Add("C");
  QPointer<QWidget> pa = a.page, pb = b.page, pc = c.page;
  sheet_->selectPage(1);
  // Closing the frame with three pages removes only the current one.
  sheet_->close();
  ProcessDeletes();
  ASSERT_TRUE(sheet_);
  EXPECT_EQ(sheet_->pageCount(), 2);
  EXPECT_TRUE(pb.isNull());
  // Removing without destroying keeps the window.
  EXPECT_TRUE(sheet_->removePage(0, false));
  ProcessDeletes();
  EXPECT_FALSE(pa.isNull());
  EXPECT_FALSE(sheet_->removePage(5, true));
  // A destroyed page loses its tab.
  delete pc.data();
  EXPECT_EQ(sheet_->pageCount(), 0);
  EXPECT_EQ(sheet_->currentPage(), -1);
  // Closing with no page left destroys the frame.
  Add("D");
  sheet_->close();
  ProcessDeletes();
  EXPECT_TRUE(sheet_.isNull());
}

TEST_F(TabSheetTest, NotifiesReadyAndDestroyed) {
  QSignalSpy spy(sheet_.data(), &QvTabSheet::notify);
  QCoreApplication::processEvents();
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy[0][0].toInt(), 42);
  EXPECT_EQ(spy[0][1].toInt(), QvTabSheet::kNotifyReady);
  std::vector<int> codes;
  QObject::connect(sheet_.data(), &QvTabSheet::notify, [&codes](int, int code) { codes.push_back(code); });
  delete sheet_.data();
  EXPECT_EQ(codes, std::vector<int>{QvTabSheet::kNotifyDestroyed});
}

TEST_F(TabSheetTest, CaptionDoubleClickUndocksAndClosingDocksBack) {
  Add("Dash");
  const QvTabPage lists = Add("Item Lists");
  Add("Monitors");
  parent_->show();
  sheet_->selectPage(1);
  // Double click in the caption band.
  QTest::mouseDClick(sheet_.data(), Qt::LeftButton, {}, QPoint(100, QvTabSheet::kBorder + 5));
  ASSERT_EQ(sheet_->undockedPage(), lists.page);
  EXPECT_TRUE(lists.page->isWindow());
  EXPECT_EQ(lists.page->windowTitle(), QStringLiteral("Item Lists"));
  EXPECT_TRUE(lists.page->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(sheet_->pageCount(), 2);
  EXPECT_EQ(sheet_->findPage(lists.page), -1);
  // Closing the undocked window brings the page back to its place.
  lists.page->close();
  EXPECT_EQ(sheet_->undockedPage(), nullptr);
  EXPECT_FALSE(lists.page->isWindow());
  EXPECT_EQ(sheet_->findPage(lists.page), 1);
  EXPECT_EQ(sheet_->currentPage(), 1);
  char title[32];
  sheet_->tabTitle(1, title, sizeof title);
  EXPECT_STREQ(title, "Item Lists");
  // A double click in the client area does nothing.
  QTest::mouseDClick(sheet_.data(), Qt::LeftButton, {}, QPoint(100, 200));
  EXPECT_EQ(sheet_->undockedPage(), nullptr);
  // An undocked page destroyed with the sheet leaves nothing behind.
  sheet_->undockCurrentPage();
  QPointer<QWidget> undocked = sheet_->undockedPage();
  delete sheet_.data();
  EXPECT_TRUE(undocked.isNull());
}

TEST_F(TabSheetTest, DraggingFollowsTheFlags) {
  Add("Dash");
  parent_->show();
  const QPoint right(399, 150);
  QTest::mousePress(sheet_.data(), Qt::LeftButton, {}, right);
  QTest::mouseMove(sheet_.data(), right + QPoint(50, 0));
  QTest::mouseRelease(sheet_.data(), Qt::LeftButton, {}, right + QPoint(50, 0));
  EXPECT_EQ(sheet_->geometry(), QRect(20, 20, 450, 300));

  sheet_->setSheetFlags(kQvSheetAll & ~(kQvSheetSizeRight | kQvSheetMove));
  const QPoint edge(449, 150);
  QTest::mousePress(sheet_.data(), Qt::LeftButton, {}, edge);
  QTest::mouseMove(sheet_.data(), edge + QPoint(-100, 0));
  QTest::mouseRelease(sheet_.data(), Qt::LeftButton, {}, edge + QPoint(-100, 0));
  EXPECT_EQ(sheet_->geometry(), QRect(20, 20, 450, 300));
  const QPoint caption(100, 10);
  QTest::mousePress(sheet_.data(), Qt::LeftButton, {}, caption);
  QTest::mouseMove(sheet_.data(), caption + QPoint(30, 30));
  QTest::mouseRelease(sheet_.data(), Qt::LeftButton, {}, caption + QPoint(30, 30));
  EXPECT_EQ(sheet_->geometry(), QRect(20, 20, 450, 300));
  // The bottom edge may still be dragged, but never below 60 pixels.
  const QPoint bottom(200, 299);
  QTest::mousePress(sheet_.data(), Qt::LeftButton, {}, bottom);
  QTest::mouseMove(sheet_.data(), bottom + QPoint(0, -400));
  QTest::mouseRelease(sheet_.data(), Qt::LeftButton, {}, bottom + QPoint(0, -400));
  EXPECT_EQ(sheet_->geometry(), QRect(20, 20, 450, 60));
  RenderWidget(*parent_, {600, 400}, "tabsheet");
}

TEST_F(TabSheetTest, WithoutCaptionOrFlagsItIsAPlainTabControl) {
  Add("General");
  sheet_->setCaptionShown(false);
  sheet_->setSheetFlags(0);
  parent_->show();
  EXPECT_EQ(sheet_->tabs()->geometry(), QRect(0, 0, 400, 300));
  QTest::mouseDClick(sheet_.data(), Qt::LeftButton, {}, QPoint(100, 10));
  EXPECT_EQ(sheet_->undockedPage(), nullptr);
  RenderWidget(*sheet_, {400, 300}, "tabsheet_plain");
}

TEST_F(TabSheetTest, TabsUndockByDoubleClickOrMenuWithoutACaption) {
  const QvTabPage output = Add("Output");
  const QvTabPage dash = Add("Dash");
  sheet_->setCaptionShown(false);
  parent_->show();
  // A double click on the tab itself.
  QTabBar* bar = sheet_->tabs()->tabBar();
  QTest::mouseDClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  ASSERT_EQ(sheet_->undockedPage(), dash.page);
  EXPECT_TRUE(dash.page->isWindow());
  EXPECT_EQ(sheet_->pageCount(), 1);

  // The context menu offers to dock it back, and to undock the other tab.
  std::unique_ptr<QMenu> menu(sheet_->buildTabMenu(0));
  QAction* undock = menu->findChild<QAction*>(QStringLiteral("undock"));
  QAction* dock = menu->findChild<QAction*>(QStringLiteral("dock"));
  ASSERT_NE(undock, nullptr);
  ASSERT_NE(dock, nullptr);
  EXPECT_EQ(undock->text(), QStringLiteral("&Undock \"Output\""));
  dock->trigger();
  EXPECT_EQ(sheet_->undockedPage(), nullptr);
  EXPECT_EQ(sheet_->findPage(dash.page), 1);
  undock->trigger();
  EXPECT_EQ(sheet_->undockedPage(), output.page);
  EXPECT_EQ(sheet_->pageCount(), 1);
  // Off any tab, only docking back is offered.
  std::unique_ptr<QMenu> empty(sheet_->buildTabMenu(-1));
  EXPECT_EQ(empty->findChild<QAction*>(QStringLiteral("undock")), nullptr);
  EXPECT_NE(empty->findChild<QAction*>(QStringLiteral("dock")), nullptr);
}

class PropTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = std::make_unique<QWidget>();
    box_ = new QvPropTreeContainer(owner_.get(), 300, 200, QStringLiteral("Preferences"));
    box_->setNotifyHandler([this](int code) {
      codes_.push_back(code);
      return answer_;
    });
  }
  QTreeWidgetItem* Add(const char* text, const char* parent = "", const char* after = "",
                       QSize size = {200, 150}) {
    return box_->addTreePage(
        [text, size](QWidget* p) {
          QWidget* page = MakePage(p, text);
          page->resize(size);
          return page;
        },
        text, parent, after);
  }

  std::unique_ptr<QWidget> owner_;
  QPointer<QvPropTreeContainer> box_;
  std::vector<int> codes_;
  int answer_ = 0;
};

TEST_F(PropTreeTest, PagesGrowTheContainerAndShowBesideTheTree) {
  EXPECT_TRUE(box_->isWindow());
  QTreeWidgetItem* general = Add("General");
  Add("Colours", "", "", {500, 120});
  Add("Port", "General");
  Add("Baud", "General", "");
  Add("Echo", "General", "Port");
  ASSERT_NE(general, nullptr);
  EXPECT_EQ(box_->tree()->topLevelItemCount(), 2);
  ASSERT_EQ(general->childCount(), 3);
  EXPECT_EQ(general->child(0)->text(0), QStringLiteral("Port"));
  EXPECT_EQ(general->child(1)->text(0), QStringLiteral("Echo"));
  EXPECT_EQ(general->child(2)->text(0), QStringLiteral("Baud"));
  EXPECT_EQ(box_->largestPage().width(), 500);
  EXPECT_GE(box_->width(), QvPropTreeContainer::kTreeWidth + 500);
  EXPECT_GE(box_->minimumWidth(), QvPropTreeContainer::kTreeWidth + 500);

  box_->show();
  ASSERT_TRUE(box_->selectTreeItem("Port"));
  QWidget* port = box_->currentPage();
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->objectName(), QStringLiteral("Port"));
  EXPECT_TRUE(port->isVisible());
  EXPECT_EQ(port->x(), box_->tree()->geometry().right() + 1 + 2);
  ASSERT_TRUE(box_->selectTreeItem("Colours"));
  EXPECT_FALSE(port->isVisible());
  EXPECT_FALSE(box_->selectTreeItem("Missing"));
  auto* ok = box_->findChild<QPushButton*>(QStringLiteral("1000"));
  auto* cancel = box_->findChild<QPushButton*>(QStringLiteral("1001"));
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
  EXPECT_LT(ok->x(), cancel->x());
  EXPECT_EQ(cancel->geometry().bottom(), box_->height() - 1 - kQvPropTreeMargin);
  RenderWidget(*box_, box_->size(), "proptree");
}

TEST_F(PropTreeTest, ButtonsCloseOnlyWhenTheOwnerAgrees) {
  QCoreApplication::processEvents();
  EXPECT_EQ(codes_, std::vector<int>{QvPropTreeContainer::kNotifyReady});
  auto* cancel = box_->findChild<QPushButton*>(QStringLiteral("1001"));
  QTest::mouseClick(cancel, Qt::LeftButton);
  ProcessDeletes();
  ASSERT_TRUE(box_);
  EXPECT_EQ(codes_.back(), QvPropTreeContainer::kNotifyCancel);
  answer_ = 1;
  QSignalSpy spy(box_.data(), &QvPropTreeContainer::notified);
  box_->pressOk();
  ProcessDeletes();
  EXPECT_TRUE(box_.isNull());
  EXPECT_EQ(codes_.back(), QvPropTreeContainer::kNotifyOk);
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy[1][0].toInt(), QvPropTreeContainer::kNotifyDestroyed);
}

TEST_F(PropTreeTest, ClosingTheFrameAndDeletingItems) {
  Add("General");
  Add("Port", "General");
  Add("Colours");
  QCoreApplication::processEvents();  // the ready notification
  QPointer<QWidget> port = box_->pageOf(box_->tree()->topLevelItem(0)->child(0));
  ASSERT_TRUE(port);
  codes_.clear();
  EXPECT_TRUE(box_->deleteTreeItem("General"));
  ProcessDeletes();
  EXPECT_TRUE(port.isNull());
  EXPECT_EQ(codes_, (std::vector<int>{QvPropTreeContainer::kNotifyItemDeleted,
                                      QvPropTreeContainer::kNotifyItemDeleted}));
  EXPECT_EQ(box_->tree()->topLevelItemCount(), 1);
  EXPECT_FALSE(box_->deleteTreeItem("General"));
  box_->close();  // closes whatever the owner answers
  ProcessDeletes();
  EXPECT_TRUE(box_.isNull());
  EXPECT_EQ(codes_.back(), QvPropTreeContainer::kNotifyClosed);
}

TEST(Splash, ItemsAndTimedShow) {
  QWidget owner;
  QPixmap bitmap(240, 120);
  bitmap.fill(QColor(20, 40, 90));
  auto* splash = new QvSplash(&owner, bitmap, true);
  QPointer<QvSplash> guard = splash;
  EXPECT_EQ(splash->size(), QSize(240, 120));
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  QFont small = QvControlFont(10);
  splash->setItem("Varnak", QRect(10, 10, 1, 1), 1, nullptr, QvRgb(255, 255, 255));
  splash->setItem("Loading", QRect(10, 90, 1, 1), 2, &small, QvRgb(255, 255, 0));
  splash->setItem("Starting", QRect(10, 60, 1, 1), 1, nullptr, QvRgb(255, 255, 255));  // same id: updated
  ASSERT_EQ(splash->items().size(), 2u);
  EXPECT_EQ(splash->items()[0].text, "Starting");
  EXPECT_EQ(splash->items()[0].rect.top(), 60);
  EXPECT_GT(splash->itemRect(splash->items()[0]).width(), 20);
  EXPECT_TRUE(splash->setItemText(2, "Reading settings", true));
  EXPECT_TRUE(splash->setItemColor(2, QvRgb(0, 255, 0), true));
  EXPECT_FALSE(splash->setItemText(3, "x", true));
  EXPECT_FALSE(splash->setItemColor(3, 0, true));
  const QImage image = RenderWidget(*splash, splash->size(), "splash");
  EXPECT_GT(CountColor(image, QColor(255, 255, 255)), 10);
  EXPECT_GT(CountColor(image, QColor(0, 255, 0)), 5);
  EXPECT_TRUE(splash->removeItem(2));
  EXPECT_FALSE(splash->removeItem(2));

  splash->showSplash(40);
  EXPECT_TRUE(splash->splashVisible());
  EXPECT_TRUE(splash->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(!splash->isVisible(), 2000);
  EXPECT_FALSE(splash->splashVisible());
  splash->showSplash(0);
  QTest::qWait(60);
  EXPECT_TRUE(splash->isVisible());
  splash->destroySplash();
  ProcessDeletes();
  EXPECT_TRUE(guard.isNull());
}

}  // namespace
