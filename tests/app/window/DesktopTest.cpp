// The window on a current desktop: its dark look, its keys, its layout as the
// window grows, its first run and its Output log's bound. Offscreen platform.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "app/panes/DashPane.h"
#include "app/panes/HistogramPane.h"
#include "app/panes/ItemListModel.h"
#include "app/panes/ItemListPane.h"
#include "app/panes/MonitorPane.h"
#include "app/panes/ViewPanes.h"
#include "app/window/CommandIds.h"
#include "app/window/LogControlBar.h"
#include "app/window/Theme.h"
#include "app/window/WindowPlace.h"
#include "app/window/WindowTexts.h"
#include "controls/containers/QvTabSheet.h"
#include "controls/datachart/QvDataChart.h"
#include "datalog/XdlFormat.h"
#include "tests/app/window/WindowFixture.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ResultPrinting.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

const std::string kDemo = std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx";

// Restores the light look after a test that turned the application dark.
struct LightAfterwards {
  ~LightAfterwards() { ApplyTheme(ThemeChoice::Light); }
};

class Desktop : public WindowFixture {};

TEST_F(Desktop, DarkThemeItemListTextContrastsWithItsBackground) {
  LightAfterwards restore;
  ApplyTheme(ThemeChoice::Dark);
  MainWindow& w = Open();
  ASSERT_NE(w.LoadDefinitionFile(kDemo), 0);
  w.resize(900, 600);
  w.show();
  ASSERT_TRUE(w.SelectTab(QStringLiteral("Item Lists")));
  ItemListPane* pane = w.Panes().ItemLists();
  QTableView* list = pane->List();
  ASSERT_GT(list->model()->rowCount(), 0);
  // The title column stretches over the list's width.
  QCoreApplication::processEvents();
  EXPECT_GE(list->columnWidth(1) + list->columnWidth(2), list->viewport()->width() - 2);

  // Entry colour 0 is the palette's text colour, readable on the base colour.
  const QModelIndex title = list->model()->index(0, 2);
  const QVariant foreground = list->model()->data(title, Qt::ForegroundRole);
  const QColor text =
      foreground.isValid() ? foreground.value<QColor>() : list->palette().color(QPalette::Text);
  EXPECT_GE(ContrastRatio(text, list->palette().color(QPalette::Base)), 4.5);

  // And on screen: the list's rows show light pixels on a dark ground.
  const QImage image = list->viewport()->grab().toImage();
  const QRect row = list->visualRect(title);
  int light = 0;
  for (int x = row.left(); x < row.right(); ++x) {
    for (int y = row.top(); y < row.bottom(); ++y) light += image.pixelColor(x, y).lightness() > 150;
  }
  EXPECT_GT(light, 10);
  EXPECT_LT(image.pixelColor(row.right() - 2, row.top() + 1).lightness(), 80);
}

TEST_F(Desktop, DarkThemeChartsGridAndDashAreDark) {
  LightAfterwards restore;
  ApplyTheme(ThemeChoice::Dark);
  MainWindow& w = Open();
  ASSERT_NE(w.LoadDefinitionFile(kDemo), 0);
  w.resize(1000, 700);
  w.show();
  const auto darkShare = [](QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); y += 3) {
      for (int x = 0; x < image.width(); x += 3) dark += image.pixelColor(x, y).lightness() < 90;
    }
    return static_cast<double>(dark) / ((image.width() / 3 + 1) * (image.height() / 3 + 1));
  };
  ASSERT_TRUE(w.SelectTab(QStringLiteral("Monitors")));
  QCoreApplication::processEvents();
  ASSERT_GT(w.Panes().Monitors()->ChartCount(), 0);
  EXPECT_GT(darkShare(w.Panes().Monitors()->Chart(0)), 0.8);
  ASSERT_TRUE(w.SelectTab(QStringLiteral("Histograms")));
  QCoreApplication::processEvents();
  EXPECT_GT(darkShare(w.Panes().Histograms()), 0.7);
  ASSERT_TRUE(w.SelectTab(QStringLiteral("Dash")));
  QCoreApplication::processEvents();
  EXPECT_GT(darkShare(w.Panes().Dash()), 0.6);
  // The status bar's figures read on the dark bar.
  EXPECT_GE(ContrastRatio(w.Status().FiguresField()->palette().color(QPalette::ButtonText),
                          w.Status().FiguresField()->palette().color(QPalette::Button)),
            4.5);
}

TEST_F(Desktop, PalettesKeepEveryTextReadable) {
  for (const QPalette& p : {DarkPalette(), LightPalette()}) {
    EXPECT_GE(ContrastRatio(p.color(QPalette::Text), p.color(QPalette::Base)), 7.0);
    EXPECT_GE(ContrastRatio(p.color(QPalette::WindowText), p.color(QPalette::Window)), 7.0);
    EXPECT_GE(ContrastRatio(p.color(QPalette::ButtonText), p.color(QPalette::Button)), 7.0);
    EXPECT_GE(ContrastRatio(p.color(QPalette::HighlightedText), p.color(QPalette::Highlight)), 4.5);
    EXPECT_GE(ContrastRatio(p.color(QPalette::Link), p.color(QPalette::Base)), 4.5);
    EXPECT_GE(ContrastRatio(p.color(QPalette::Disabled, QPalette::Text), p.color(QPalette::Base)), 3.0);
  }
  EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(Qt::red, Qt::red), 1.0);
}

TEST_F(Desktop, SpaceOnAFocusedButtonPressesItAndDoesNotPlay) {
  MainWindow& w = Open();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.activateWindow();
  ASSERT_TRUE(w.SelectTab(QStringLiteral("Histograms")));
  auto* clear = w.findChild<QPushButton*>(QStringLiteral("1005"));
  ASSERT_NE(clear, nullptr);
  clear->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return clear->hasFocus(); }));
  QSignalSpy pressed(clear, &QPushButton::clicked);
  QSignalSpy played(w.Action(cmd::kPause), &QAction::triggered);
  QTest::keyClick(clear, Qt::Key_Space);
  EXPECT_EQ(pressed.count(), 1);
  EXPECT_EQ(played.count(), 0);
  EXPECT_EQ(w.Datalog().State(), XDL_STATE_CLOSED);

  // A check box takes the key too; "[" in a text field is typed.
  auto* graph = w.findChild<QCheckBox*>(QStringLiteral("1007"));
  graph->setFocus();
  QTest::keyClick(graph, Qt::Key_Space);
  EXPECT_TRUE(graph->isChecked());
  EXPECT_EQ(played.count(), 0);

  // With the focus on the tab bar, Space is the log's key again.
  w.TabSheet()->tabs()->tabBar()->setFocus();
  QTest::keyClick(w.TabSheet()->tabs()->tabBar(), Qt::Key_Space);
  EXPECT_EQ(played.count(), 1);
}

TEST_F(Desktop, AltLetterOpensTheFileMenuAndTheMenuShowsTheScanKey) {
  MainWindow& w = Open();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.activateWindow();
  QApplication::setActiveWindow(&w);
  QMenu* file = w.menuBar()->actions().at(0)->menu();
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(w.menuBar()->actions().at(0)->text(), "&File");
  QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
  EXPECT_TRUE(WaitUntil([&] { return file->isVisible(); }, 2000));
  file->close();
  // The hint names the grave accent, the key that is bound.
  EXPECT_EQ(w.Action(cmd::kScan)->text(), "&Scan\t`");
  EXPECT_EQ(w.Action(cmd::kScan)->shortcut(), QKeySequence(Qt::Key_QuoteLeft));
}

TEST_F(Desktop, EscapeClosesPreferencesAndTheKeyboardPageListsEveryCommand) {
  MainWindow& w = Open();
  w.show();
  w.RunCommand(cmd::kPreferences);
  PreferencesWindow* prefs = w.Preferences();
  ASSERT_NE(prefs, nullptr);
  QWidget* container = prefs->Container();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(container));

  QTreeWidget* keys = prefs->KeyList();
  ASSERT_NE(keys, nullptr);
  QStringList lines;
  for (int i = 0; i < keys->topLevelItemCount(); ++i)
    lines << keys->topLevelItem(i)->text(0) + " = " + keys->topLevelItem(i)->text(1);
  EXPECT_TRUE(lines.contains("Scan = `"));
  EXPECT_TRUE(lines.contains("Play = Space"));
  EXPECT_TRUE(lines.contains("Load Definition... = Ctrl + L"));
  EXPECT_TRUE(lines.contains("Jump Forward 10 Samples = ]"));
  EXPECT_EQ(keys->topLevelItemCount(), static_cast<int>(w.actions().size()));

  QPointer<QWidget> watched(container);
  container->activateWindow();
  QTest::keyClick(container, Qt::Key_Escape);
  EXPECT_TRUE(WaitUntil([&] { return watched.isNull() || !watched->isVisible(); }, 2000));
}

TEST_F(Desktop, PreferencesStoreTheGeneralChoicesAndRefuseABadBroker) {
  MainWindow& w = Open();
  w.show();
  w.RunCommand(cmd::kPreferences);
  PreferencesWindow* prefs = w.Preferences();
  ASSERT_NE(prefs, nullptr);
  prefs->ThemeChoice()->setCurrentIndex(prefs->ThemeChoice()->findData(QStringLiteral("light")));
  prefs->RecordingFolderEdit()->setText(QStringLiteral("/tmp/recordings"));
  prefs->BrokerEdit()->setText(QStringLiteral("broker.local:99999"));
  QPointer<QvPropTreeContainer> container(prefs->Container());
  container->pressOk();
  // Refused: still open, nothing stored.
  ASSERT_FALSE(container.isNull());
  EXPECT_TRUE(w.Settings().broker.empty());
  prefs->BrokerEdit()->setText(QStringLiteral("127.0.0.1:1883"));
  container->pressOk();
  EXPECT_EQ(w.Settings().broker, "127.0.0.1:1883");
  EXPECT_EQ(w.Settings().theme, "light");
  EXPECT_EQ(w.Settings().recordingfolder, "/tmp/recordings");
  EXPECT_NE(FormatSettingsText(w.Settings()).find("\nbroker=127.0.0.1:1883\n"), std::string::npos);
}

TEST_F(Desktop, LogSliderGrowsWithTheWindow) {
  MainWindow& w = Open();
  w.resize(600, 400);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QCoreApplication::processEvents();
  const int narrow = w.LogBar()->Slider()->width();
  w.resize(1000, 400);
  ASSERT_TRUE(WaitUntil([&] { return w.LogBar()->Slider()->width() > narrow; }, 2000));
  const int wide = w.LogBar()->Slider()->width();
  EXPECT_GT(wide, 200);
  EXPECT_LE(wide, kLogSliderMaxWidth);
  // The whole slider is on the window.
  const QRect onWindow(w.LogBar()->Slider()->mapTo(&w, QPoint(0, 0)), w.LogBar()->Slider()->size());
  EXPECT_TRUE(w.rect().contains(onWindow));
}

TEST_F(Desktop, AtTheSmallestWindowTheHistogramControlsAreWhole) {
  MainWindow& w = Open();
  ASSERT_NE(w.LoadDefinitionFile(kDemo), 0);
  w.resize(kMinimumWindowSize);
  w.show();
  ASSERT_TRUE(w.SelectTab(QStringLiteral("Histograms")));
  QCoreApplication::processEvents();
  QWidget* pane = w.Panes().Histograms();
  for (const char* name : {"1005", "1007"}) {
    auto* control = pane->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(control, nullptr) << name;
    const QRect onPane(control->mapTo(pane, QPoint(0, 0)), control->size());
    EXPECT_TRUE(pane->rect().contains(onPane)) << name;
    EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name;
  }
}

TEST_F(Desktop, FirstRunLoadsNothingAndReportsNoFailure) {
  MainWindow& w = Open("");
  for (const QString& line : LogLines()) EXPECT_FALSE(line.startsWith("FAILED")) << line.toStdString();
  // The window is large enough to show the panes, and no larger than the screen.
  EXPECT_GE(w.width(), kMinimumWindowSize.width());
  EXPECT_GE(w.height(), kMinimumWindowSize.height());
  EXPECT_LE(w.height(), 1000);
  EXPECT_EQ(w.minimumSize(), kMinimumWindowSize);
}

TEST_F(Desktop, OutputLogKeepsTheNewestLinesAndStaysWhereTheUserScrolled) {
  MainWindow& w = Open();
  w.show();
  OutputLog* log = w.Output();
  for (int i = 0; i < OutputLog::kMaxLines + 250; ++i) log->AppendLine("line " + std::to_string(i));
  const QStringList lines = log->Lines();
  ASSERT_EQ(lines.size(), OutputLog::kMaxLines);
  EXPECT_EQ(lines.last(), QStringLiteral("line %1").arg(OutputLog::kMaxLines + 249));
  EXPECT_EQ(lines.first(), QStringLiteral("line 250"));

  // At the end it follows; scrolled up it stays.
  QScrollBar* bar = log->verticalScrollBar();
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(bar->maximum() / 2);
  const int held = bar->value();
  for (int i = 0; i < 20; ++i) log->AppendLine("more");
  log->FlushPending();
  EXPECT_NEAR(bar->value(), held, 20);
  EXPECT_LT(bar->value(), bar->maximum());
  bar->setValue(bar->maximum());
  log->AppendLine("last");
  log->FlushPending();
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(Desktop, ValuesTurnStaleWhenTheLinkStopsAndLiveWithNewData) {
  MainWindow& w = Open();
  ASSERT_NE(w.LoadDefinitionFile(kDemo), 0);
  ItemListModel* model = w.Panes().ItemLists()->Model();
  EXPECT_FALSE(model->Stale());
  w.OnAcquisitionStopped();
  EXPECT_TRUE(model->Stale());
  const QVariant greyed = model->data(model->index(0, 1), Qt::ForegroundRole);
  ASSERT_TRUE(greyed.isValid());
  EXPECT_EQ(greyed.value<QColor>(), QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
  w.Panes().UpdatePanes(0xFFFFFFFFu, 1.0, nullptr, 0, 0);
  w.Panes().Flush();
  EXPECT_FALSE(model->Stale());
}

}  // namespace
