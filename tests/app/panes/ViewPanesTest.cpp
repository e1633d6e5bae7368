// The four panes filled from a definition built in code and driven with
// packets through the front, as the acquisition thread drives them.
// Definition headers first: Qt's keyword macros would rewrite names in them.
#include "tests/app/panes/PanesTestDefinition.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/panes/DashPane.h"
#include "app/panes/HistogramPane.h"
#include "app/panes/ItemListModel.h"
#include "app/panes/ItemListPane.h"
#include "app/panes/MonitorPane.h"
#include "app/panes/PaneGeometry.h"
#include "app/panes/ViewPanes.h"
#include "controls/chart3d/Qv3DChart.h"
#include "controls/datachart/QvDataChart.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvStatusGauge.h"
#include "controls/grid/QvGridControl.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

class ViewPanesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panes = std::make_unique<ViewPanes>();
    for (QWidget* w :
         {static_cast<QWidget*>(panes->Dash()), static_cast<QWidget*>(panes->ItemLists()),
          static_cast<QWidget*>(panes->Histograms()), static_cast<QWidget*>(panes->Monitors())}) {
      w->resize(800, 520);
      w->show();
    }
    FillAll(&t.def);
  }

  void FillAll(ADXDefinition* def) {
    panes->FillDashboards(def);
    panes->FillListViews(def);
    panes->FillHistograms(def);
    panes->BuildMonitors(def);
  }

  // One good packet, as the acquisition callback hands it over.
  void Send(double time, int rpm, int coolant, int map, bool closed, bool fan) {
    const auto p = PanesTestDefinition::Packet(rpm, coolant, map, closed, fan);
    t.def.UpdateRawValues(p.data(), p.size(), t.command->idhash);
    panes->UpdatePanes(kViewAll, time, p.data(), p.size(), t.command->idhash);
  }

  QString ListText(int row, int column) {
    ItemListModel* m = panes->ItemLists()->Model();
    return m->data(m->index(row, column), Qt::DisplayRole).toString();
  }

  PanesTestDefinition t;
  std::unique_ptr<ViewPanes> panes;
};

QStringList ActionTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* a : menu->actions()) texts << a->text();
  return texts;
}

QMenu* SubMenu(QMenu* menu, const QString& title) {
  for (QAction* a : menu->actions())
    if (a->menu() && a->text() == title) return a->menu();
  return nullptr;
}

// Works the next pop-up menu as a person would with the keyboard: opens the
// sub-menu `sub` (when given) and picks the entry `pick`. A menu that does not
// show up or lacks the entry is closed, so a test never hangs.
void PickFromNextPopup(const QString& sub, const QString& pick) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, sub, pick] {
    auto finish = [&] {
      timer->stop();
      timer->deleteLater();
      delete clock;
    };
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) {
      if (clock->elapsed() > 3000) finish();
      return;
    }
    auto find = [](QMenu* m, const QString& text) -> QAction* {
      for (QAction* a : m->actions())
        if (a->text() == text) return a;
      return nullptr;
    };
    if (!sub.isEmpty() && menu->title().isEmpty()) {
      QAction* a = find(menu, sub);
      if (a == nullptr) {
        menu->close();
        finish();
        return;
      }
      menu->setActiveAction(a);
      QTest::keyClick(menu, Qt::Key_Right);
      return;  // the sub-menu is worked on the next round
    }
    QAction* a = find(menu, pick);
    if (a != nullptr) {
      menu->setActiveAction(a);
      QTest::keyClick(menu, Qt::Key_Return);
    } else {
      menu->close();
    }
    finish();
  });
  timer->start(20);
}

// Processes events until the condition holds or two seconds passed.
template <class Condition>
bool WaitFor(Condition condition) {
  QElapsedTimer clock;
  clock.start();
  while (!condition() && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return condition();
}

}  // namespace

TEST_F(ViewPanesTest, RightClickMenusReplaceTheClickedGaugeAndAddSeries) {
  // The readout is replaced from the menu its own right click opened.
  PickFromNextPopup("Bitmasks", "Fan");
  QWidget* readout = panes->Dash()->Gauge(1);
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10), readout->mapToGlobal(QPoint(10, 10)));
  QCoreApplication::sendEvent(readout, &click);
  EXPECT_TRUE(WaitFor([&] { return qobject_cast<QvStatusGauge*>(panes->Dash()->Gauge(1)) != nullptr; }));
  EXPECT_EQ(t.dash->GetEntry(1)->item, t.fan);

  PickFromNextPopup(QString(), "Manifold Pressure");
  QvDataChart* chart = panes->Monitors()->Chart(1);
  QContextMenuEvent chartClick(QContextMenuEvent::Mouse, QPoint(50, 50), chart->mapToGlobal(QPoint(50, 50)));
  QCoreApplication::sendEvent(chart, &chartClick);
  EXPECT_TRUE(WaitFor([&] { return t.temps->EntryCount() == 2; }));
  EXPECT_EQ(chart->getSeriesCount(), 2);
}

TEST_F(ViewPanesTest, FillingShowsEveryViewOfTheDefinition) {
  auto* dashCombo = panes->Dash()->findChild<QComboBox*>("1009");
  ASSERT_NE(dashCombo, nullptr);
  EXPECT_EQ(dashCombo->count(), 2);
  EXPECT_EQ(dashCombo->currentText(), "Main Dash");
  ASSERT_EQ(panes->Dash()->GaugeCount(), 4);
  EXPECT_NE(qobject_cast<QvAnalogGauge*>(panes->Dash()->findChild<QWidget*>("10000")), nullptr);
  EXPECT_NE(qobject_cast<QvDigitalReadout*>(panes->Dash()->findChild<QWidget*>("10001")), nullptr);
  EXPECT_NE(qobject_cast<QvStatusGauge*>(panes->Dash()->findChild<QWidget*>("10002")), nullptr);
  // Configured from their objects.
  auto* analog = qobject_cast<QvAnalogGauge*>(panes->Dash()->Gauge(0));
  EXPECT_EQ(analog->state().title.value_or(""), "Engine Speed");
  EXPECT_EQ(analog->state().units.value_or(""), "RPM");
  EXPECT_FLOAT_EQ(analog->state().rangeMax, 6000.0f);
  ASSERT_EQ(analog->state().zones.size(), 1u);  // high alarm band
  EXPECT_FLOAT_EQ(analog->state().zones[0].low, 5000.0f);
  EXPECT_FLOAT_EQ(analog->state().zones[0].high, 6000.0f);
  auto* readout = qobject_cast<QvDigitalReadout*>(panes->Dash()->Gauge(1));
  EXPECT_EQ(readout->state().title, "Coolant Temp");
  EXPECT_TRUE(readout->state().highAlarmEnabled);
  EXPECT_FLOAT_EQ(readout->state().highAlarm, 110.0f);
  EXPECT_EQ(readout->state().digits, 1);
  auto* status = qobject_cast<QvStatusGauge*>(panes->Dash()->Gauge(2));
  EXPECT_EQ(status->state().onText.value_or(""), "Closed");

  // Item list: the empty entry is left out; separator text, then titles.
  ASSERT_NE(panes->ItemLists()->findChild<QTableView*>("1000"), nullptr);
  ItemListModel* model = panes->ItemLists()->Model();
  ASSERT_EQ(model->rowCount(), 6);
  EXPECT_EQ(ListText(0, 2), "Engine Data");
  EXPECT_EQ(ListText(1, 2), "Engine Speed");
  EXPECT_EQ(ListText(5, 2), "Fan");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Value");
  EXPECT_EQ(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Title");
  EXPECT_TRUE(panes->ItemLists()->List()->isColumnHidden(0));
  EXPECT_EQ(panes->ItemLists()->List()->columnWidth(1), 100);

  // Histogram: grid sized columns x rows with break labels.
  QvGridControl* grid = panes->Histograms()->Grid();
  EXPECT_EQ(grid->objectName(), "1004");
  EXPECT_EQ(grid->getRowCount(), 4);
  EXPECT_EQ(grid->getColCount(), 5);
  EXPECT_EQ(grid->cellText(1, 0), "-40");
  EXPECT_EQ(grid->cellText(4, 0), "110");
  EXPECT_EQ(grid->cellText(0, 2), "1500");
  EXPECT_EQ(grid->windowTitle(), "Fuel Map - Coolant Temp vs Engine Speed vs Manifold Pressure");
  EXPECT_EQ(panes->Histograms()->Graph()->caption(), grid->windowTitle().toStdString());
  EXPECT_EQ(panes->Histograms()->Graph()->columnLabel(4), "6000");
  auto* statistic = panes->Histograms()->findChild<QComboBox*>("1003");
  ASSERT_EQ(statistic->count(), 9);
  EXPECT_EQ(statistic->itemText(2), "History Std Deviation");
  EXPECT_EQ(statistic->itemData(3).toInt(), 1);

  // Monitors: one chart per monitor with its series and the time axis.
  MonitorPane* monitors = panes->Monitors();
  ASSERT_EQ(monitors->ChartCount(), 2);
  EXPECT_EQ(monitors->Chart(1)->objectName(), "9001");
  EXPECT_EQ(monitors->Chart(0)->title(), "Engine");
  EXPECT_EQ(monitors->Chart(0)->getSeriesCount(), 2);
  EXPECT_EQ(monitors->Chart(0)->getAxisCount(), 3);
  EXPECT_EQ(monitors->TimeAxis(0)->GetTitle(), "Time (M:S)");
  EXPECT_EQ(monitors->TimeAxis(0)->GetFlags(), 0x70u);
  EXPECT_EQ(monitors->Chart(0)->getAxis(1)->GetTitle(), "RPM");
  EXPECT_EQ(monitors->Chart(0)->getAxis(1)->GetLineColor(), 0x0000FFu);
  EXPECT_EQ(monitors->Chart(0)->height(), monitors->Chart(1)->height());
}

TEST_F(ViewPanesTest, DefinitionWithoutViewsLeavesEveryPaneEmpty) {
  ADXDefinition empty;
  FillAll(&empty);
  EXPECT_EQ(panes->Dash()->findChild<QComboBox*>("1009")->count(), 0);
  EXPECT_EQ(panes->Dash()->GaugeCount(), 0);
  EXPECT_EQ(panes->ItemLists()->Model()->rowCount(), 0);
  EXPECT_EQ(panes->Histograms()->Grid()->getRowCount(), 0);
  EXPECT_EQ(panes->Histograms()->Grid()->getColCount(), 0);
  EXPECT_EQ(panes->Monitors()->ChartCount(), 0);
  // Updates and the buttons do nothing harmful.
  const std::uint8_t packet[4] = {1, 2, 3, 4};
  panes->UpdatePanes(kViewAll, 1.0, packet, 4, 0);
  panes->Flush();
  panes->Histograms()->findChild<QPushButton*>("1005")->click();
  // Choosing the empty dashboard empties the gauge area.
  FillAll(&t.def);
  panes->Dash()->findChild<QComboBox*>("1009")->setCurrentIndex(1);
  EXPECT_EQ(panes->Dash()->GaugeCount(), 0);
}

TEST_F(ViewPanesTest, PacketsMoveGaugesListsHistogramCellsAndMonitorPoints) {
  Send(0.5, 3000, 90, 60, true, true);
  Send(1.0, 3500, 91, 62, true, false);
  panes->Flush();

  EXPECT_EQ(qobject_cast<QvAnalogGauge*>(panes->Dash()->Gauge(0))->getValue(), 3500);
  EXPECT_FLOAT_EQ(qobject_cast<QvDigitalReadout*>(panes->Dash()->Gauge(1))->state().value, 91.0f);
  EXPECT_EQ(qobject_cast<QvStatusGauge*>(panes->Dash()->Gauge(2))->state().state, 1);

  EXPECT_EQ(ListText(0, 1), "");  // separator
  EXPECT_EQ(ListText(1, 1), "3500");
  EXPECT_EQ(ListText(2, 1), "91.0");
  EXPECT_EQ(ListText(4, 1), "Closed");
  EXPECT_EQ(ListText(5, 1), "Fan Off");

  // Coolant 91 -> row 4 (closest break 110), rpm 3500 -> column 3 (closest break 3000).
  QvGridControl* grid = panes->Histograms()->Grid();
  EXPECT_EQ(grid->getCurRow(), 4);
  EXPECT_EQ(grid->getCurCol(), 3);
  EXPECT_EQ(grid->cellText(4, 3), "62");
  EXPECT_EQ(panes->Histograms()->Graph()->pointValue(3, 2).value_or(-1.0f), 62.0f);

  QvDataChartSeries* rpm = panes->Monitors()->Series(0, 0);
  ASSERT_EQ(rpm->GetPointCount(), 2);
  EXPECT_FLOAT_EQ(rpm->GetPoint(0).x, 0.5f);
  EXPECT_FLOAT_EQ(rpm->GetPoint(1).y, 3500.0f);
  EXPECT_EQ(panes->Monitors()->Series(1, 0)->GetPointCount(), 2);
  EXPECT_DOUBLE_EQ(panes->Monitors()->CurrentTime(), 1.0);

  // A packet of another command: histogram and monitors still take the
  // objects' most recent values.
  const auto other = PanesTestDefinition::Packet(6000, 0, 0, false, false);
  panes->UpdatePanes(kViewAll, 1.5, other.data(), other.size(), 0x5555u);
  panes->Flush();
  EXPECT_FLOAT_EQ(rpm->GetPoint(2).y, 3500.0f);
  EXPECT_EQ(ListText(1, 1), "3500");
}

TEST_F(ViewPanesTest, HiddenGaugesAndListsCatchUpWhenShown) {
  panes->Dash()->hide();
  panes->ItemLists()->hide();
  Send(1.0, 2000, 20, 40, false, false);
  panes->Flush();
  EXPECT_EQ(qobject_cast<QvAnalogGauge*>(panes->Dash()->Gauge(0))->getValue(), 0);
  panes->Dash()->show();
  panes->ItemLists()->show();
  panes->Flush();
  EXPECT_EQ(qobject_cast<QvAnalogGauge*>(panes->Dash()->Gauge(0))->getValue(), 2000);
  EXPECT_EQ(ListText(1, 1), "2000");
}

TEST_F(ViewPanesTest, AlarmColoursAndFontsFollowTheReading) {
  ItemListModel* m = panes->ItemLists()->Model();
  const std::uint32_t navy = 0x00800000u;
  Send(0, 1000, 120, 50, true, false);  // coolant above its high alarm
  panes->Flush();
  EXPECT_EQ(m->ValueLook(2).color, 0x0000FFu);  // red
  EXPECT_TRUE(m->ValueLook(2).semiBold);
  EXPECT_EQ(m->data(m->index(2, 1), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  const QFont font = m->data(m->index(2, 1), Qt::FontRole).value<QFont>();
  EXPECT_EQ(font.family(), "Arial");
  EXPECT_EQ(font.pixelSize(), 14);
  EXPECT_EQ(font.weight(), QFont::DemiBold);
  EXPECT_EQ(m->ValueLook(3).color, navy);    // map has no alarms
  EXPECT_FALSE(m->CellLook(2, 2).semiBold);  // only the value column is marked

  Send(1, 1000, 50, 50, true, false);  // back in range
  panes->Flush();
  EXPECT_EQ(m->ValueLook(2).color, navy);
  EXPECT_FALSE(m->ValueLook(2).semiBold);
  EXPECT_FALSE(m->data(m->index(2, 1), Qt::FontRole).isValid());

  Send(2, 1000, -10, 50, false, false);  // below the low alarm; loop open
  panes->Flush();
  EXPECT_EQ(m->ValueLook(2).color, 0x4080FFu);  // orange (255,128,64)
  EXPECT_TRUE(m->ValueLook(2).semiBold);
  EXPECT_EQ(m->ValueLook(4).color, 0x00FF00FFu);  // the bitmask's FALSE alarm colour
  EXPECT_TRUE(m->ValueLook(4).semiBold);
  EXPECT_EQ(m->ValueLook(5).color, navy);  // no alarm on the fan

  // The bold separator is semi-bold in every column.
  EXPECT_TRUE(m->CellLook(0, 2).semiBold);
}

TEST_F(ViewPanesTest, StatisticTextsAndTheirKinds) {
  HistogramPane* pane = panes->Histograms();
  auto* statistic = pane->findChild<QComboBox*>("1003");
  QvGridControl* grid = pane->Grid();
  // Two samples of 5 and 5.5 kPa into cell (row 2, column 1).
  Send(0, 0, 10, 5, true, false);
  const auto half = std::array<std::uint8_t, 4>{0, 50, 11, 1};
  t.def.UpdateRawValues(half.data(), half.size(), t.command->idhash);
  panes->UpdatePanes(kViewHistograms, 0, half.data(), half.size(), t.command->idhash);
  panes->Flush();
  EXPECT_EQ(grid->cellText(2, 1), "5.500");  // most recent
  statistic->setCurrentIndex(1);             // History Average
  EXPECT_EQ(grid->cellText(2, 1), "5.250");
  statistic->setCurrentIndex(3);  // History Sample Count
  EXPECT_EQ(grid->cellText(2, 1), "2");
  EXPECT_EQ(grid->cellText(1, 1), "");  // no samples: empty
  statistic->setCurrentIndex(8);        // Running Range
  EXPECT_EQ(grid->cellText(2, 1), "0.500");

  // One sample has deviation 0; samples 1, 2, 3 have deviation 1.
  statistic->setCurrentIndex(2);
  for (int map : {1, 2, 3}) Send(0, 6000, 110, map, true, false);
  Send(0, 0, -40, 5, true, false);
  panes->Flush();
  EXPECT_EQ(grid->cellText(4, 5), "1");
  EXPECT_EQ(grid->cellText(1, 1), "0");
  statistic->setCurrentIndex(0);
  EXPECT_EQ(grid->cellText(1, 1), "5");

  // Clear empties the shown histogram.
  pane->findChild<QPushButton*>("1005")->click();
  EXPECT_EQ(t.histogram->SampleCount(), 0u);
  EXPECT_EQ(grid->cellText(1, 1), "");
  EXPECT_FALSE(pane->Graph()->pointValue(0, 0).has_value());

  // Graph shows the chart in the grid's place.
  pane->findChild<QCheckBox*>("1007")->setChecked(true);
  EXPECT_TRUE(pane->Graph()->isVisible());
  EXPECT_FALSE(grid->isVisible());
  EXPECT_EQ(pane->Graph()->geometry(), grid->geometry());
  pane->findChild<QCheckBox*>("1007")->setChecked(false);
  EXPECT_TRUE(grid->isVisible());
  EXPECT_FALSE(pane->Graph()->isVisible());
}

TEST(HistogramBreakLabel, WholeNumbersWithoutDecimals) {
  EXPECT_EQ(HistogramBreakLabel(5.0f), "5");
  EXPECT_EQ(HistogramBreakLabel(5.25f), "5.250");
  EXPECT_EQ(HistogramBreakLabel(-40.0f), "-40");
  EXPECT_EQ(HistogramBreakLabel(1e12f), "999999995904.000");  // beyond int: never a wrapped number
}

TEST(HistogramCaption, NamesOnlyTheValuesThatAreSet) {
  PanesTestDefinition t;
  ADXHistogram h;
  h.SetTitle("Spark", 5);
  EXPECT_EQ(HistogramCaption(h), "Spark");
  h.SetXValue(t.rpm);
  EXPECT_EQ(HistogramCaption(h), "Spark - Engine Speed");
  h.SetZValue(t.map);
  EXPECT_EQ(HistogramCaption(h), "Spark - Engine Speed vs Manifold Pressure");
  const std::string longTitle(300, 'a');
  h.SetTitle(longTitle.c_str(), longTitle.size());
  EXPECT_EQ(HistogramCaption(h).size(), 256u);
}

TEST_F(ViewPanesTest, TimeAxisLabelsMinutesAndSeconds) {
  QvDataChartAxis* time = panes->Monitors()->TimeAxis(0);
  EXPECT_EQ(time->LabelText(125.7f), "2:05");
  EXPECT_EQ(time->LabelText(-65.0f), "-1:05");
  EXPECT_EQ(time->LabelText(0.0f), "0:00");
  EXPECT_EQ(time->LabelText(3725.0f), "2:05");  // minutes wrap at the hour
}

TEST_F(ViewPanesTest, RightClickAddsAndRemovesSeriesWithThePalette) {
  MonitorPane* monitors = panes->Monitors();
  std::unique_ptr<QMenu> menu(monitors->BuildSeriesMenu(1, nullptr));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(ActionTexts(menu.get()), (QStringList{"Engine Speed", "Coolant Temp", "Manifold Pressure"}));
  EXPECT_FALSE(menu->actions()[0]->isChecked());
  EXPECT_TRUE(menu->actions()[1]->isChecked());

  // Adding rpm to "Temperatures" (one entry) takes palette colour 1.
  monitors->ToggleSeries(1, t.rpm);
  ASSERT_EQ(t.temps->EntryCount(), 2);
  EXPECT_EQ(t.temps->GetEntry(1)->linecolor, 0x009600u);
  EXPECT_EQ(monitors->Chart(1)->getSeriesCount(), 2);
  EXPECT_EQ(monitors->Chart(1)->getAxisCount(), 3);
  Send(1.0, 2500, 80, 40, true, false);
  panes->Flush();
  EXPECT_EQ(monitors->Series(1, 1)->GetPointCount(), 1);

  // Removing coolant takes its entry, series and axis away; rpm keeps its data.
  monitors->ToggleSeries(1, t.coolant);
  ASSERT_EQ(t.temps->EntryCount(), 1);
  EXPECT_EQ(t.temps->GetEntry(0)->item, t.rpm);
  EXPECT_EQ(monitors->Chart(1)->getSeriesCount(), 1);
  EXPECT_EQ(monitors->Chart(1)->getAxisCount(), 2);
  EXPECT_EQ(monitors->Series(1, 0)->GetPointCount(), 1);
  Send(2.0, 2600, 80, 40, true, false);
  panes->Flush();
  EXPECT_EQ(monitors->Series(1, 0)->GetPointCount(), 2);
}

TEST_F(ViewPanesTest, EleventhSeriesReusesTheFirstColour) {
  ADXDefinition def;
  ADXMonitor* monitor = nullptr;
  {
    auto m = std::make_unique<ADXMonitor>();
    m->SetId("M");
    monitor = m.get();
    def.Append(std::move(m));
  }
  std::vector<ADXValue*> values;
  for (int i = 0; i < 11; ++i) {
    auto v = std::make_unique<ADXValue>();
    const std::string id = "V" + std::to_string(i);
    v->SetId(id.c_str());
    v->SetTitle(id.c_str(), id.size());
    values.push_back(v.get());
    def.Append(std::move(v));
  }
  panes->BuildMonitors(&def);
  for (ADXValue* v : values) panes->Monitors()->ToggleSeries(0, v);
  ASSERT_EQ(monitor->EntryCount(), 11);
  EXPECT_EQ(monitor->GetEntry(9)->linecolor, 0x808040u);
  EXPECT_EQ(monitor->GetEntry(10)->linecolor, monitor->GetEntry(0)->linecolor);
  EXPECT_EQ(monitor->GetEntry(10)->axiscolor, 0x0000FFu);
  EXPECT_EQ(panes->Monitors()->Chart(0)->getSeriesCount(), 11);
  FillAll(&t.def);  // the definition above goes out of scope first
}

TEST_F(ViewPanesTest, PickingABitmaskTurnsAReadoutIntoAStatusGauge) {
  DashPane* dash = panes->Dash();
  // The analog gauge offers values only; the readout offers both.
  std::unique_ptr<QMenu> analogMenu(dash->BuildGaugeMenu(0, nullptr));
  ASSERT_NE(analogMenu, nullptr);
  EXPECT_EQ(ActionTexts(analogMenu.get()), QStringList{"Values"});
  std::unique_ptr<QMenu> readoutMenu(dash->BuildGaugeMenu(1, nullptr));
  EXPECT_EQ(ActionTexts(readoutMenu.get()), (QStringList{"Values", "Bitmasks"}));
  QMenu* values = SubMenu(readoutMenu.get(), "Values");
  ASSERT_NE(values, nullptr);
  EXPECT_TRUE(values->actions()[1]->isChecked());  // Coolant Temp, its object
  EXPECT_EQ(ActionTexts(SubMenu(readoutMenu.get(), "Bitmasks")), (QStringList{"Closed Loop", "Fan"}));

  const QRect place = dash->Gauge(1)->geometry();
  dash->ApplyGaugePick(1, t.fan);
  auto* status = qobject_cast<QvStatusGauge*>(dash->findChild<QWidget*>("10001"));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(dash->Gauge(1), status);
  EXPECT_EQ(status->geometry(), place);
  EXPECT_TRUE(status->isVisible());
  EXPECT_EQ(status->state().title.value_or(""), "Fan");
  EXPECT_EQ(t.dash->GetEntry(1)->gaugetype, 2);
  EXPECT_EQ(t.dash->GetEntry(1)->item, t.fan);
  EXPECT_EQ(t.dash->GetEntry(1)->itemidhash, t.fan->idhash);
  EXPECT_EQ(dash->findChildren<QvDigitalReadout*>().size(), 1);  // the old window is gone

  Send(0, 1000, 20, 30, false, true);
  panes->Flush();
  EXPECT_EQ(status->state().state, 1);

  // And back: a value on the status gauge makes a readout.
  dash->ApplyGaugePick(1, t.map);
  EXPECT_NE(qobject_cast<QvDigitalReadout*>(dash->Gauge(1)), nullptr);
  EXPECT_EQ(t.dash->GetEntry(1)->gaugetype, 1);
  // A value on a value gauge keeps its kind.
  dash->ApplyGaugePick(0, t.map);
  EXPECT_NE(qobject_cast<QvAnalogGauge*>(dash->Gauge(0)), nullptr);
  EXPECT_EQ(t.dash->GetEntry(0)->gaugetype, 0);
  EXPECT_EQ(qobject_cast<QvAnalogGauge*>(dash->Gauge(0))->state().title.value_or(""), "Manifold Pressure");
}

TEST_F(ViewPanesTest, GaugesAreLaidOutByTheirPercentages) {
  DashPane* dash = panes->Dash();
  dash->resize(640, 480);
  const QRect area = dash->GaugeArea();
  EXPECT_EQ(area.top(), dash->findChild<QComboBox*>("1009")->geometry().bottom() + 1 + 3);
  for (int i = 0; i < t.dash->EntryCount(); ++i) {
    const DashboardEntry* e = t.dash->GetEntry(i);
    const PaneRect r = DashGaugeRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1, e->top,
                                     e->left, e->bottom, e->right);
    EXPECT_EQ(dash->Gauge(i)->geometry(), QRect(r.x, r.y, r.width, r.height)) << i;
  }
  EXPECT_EQ(dash->Gauge(0)->geometry().width(), 320);
  EXPECT_EQ(dash->Gauge(3)->geometry().bottom(), 479);
}

TEST_F(ViewPanesTest, ScrollBarFollowsTheTimeWindowAndResetStartsAgain) {
  MonitorPane* monitors = panes->Monitors();
  QScrollBar* bar = monitors->ScrollBar();
  for (int i = 0; i <= 60; ++i) Send(i, 1000 + 50 * i, 80, 40, true, false);
  panes->Flush();
  EXPECT_TRUE(bar->isVisible());
  QvDataChartAxis* time = monitors->TimeAxis(0);
  EXPECT_GE(time->GetVisibleMax(), 60.0f);
  EXPECT_EQ(bar->pageStep(), 20000);
  EXPECT_EQ(bar->value(), bar->maximum());
  // The charts leave room for the bar.
  EXPECT_LE(monitors->Chart(1)->geometry().bottom(), bar->geometry().top());

  // Scrolling moves every chart's window to the position, keeping its width.
  bar->setValue(10000);
  EXPECT_FLOAT_EQ(time->GetVisibleMin(), 10.0f);
  EXPECT_FLOAT_EQ(time->GetVisibleMax() - time->GetVisibleMin(), 20.0f);
  EXPECT_FLOAT_EQ(monitors->TimeAxis(1)->GetVisibleMin(), 10.0f);

  // While the thumb is held, new points do not pull the window along; let
  // go away from the end, the charts stay where they were put.
  Q_EMIT bar->sliderPressed();
  EXPECT_EQ(time->GetFlags() & QvDataChartAxis::kScrollWithData, 0u);
  Q_EMIT bar->sliderReleased();
  EXPECT_EQ(time->GetFlags() & QvDataChartAxis::kScrollWithData, 0u);
  // Back at the end, they follow again.
  bar->setValue(bar->maximum());
  EXPECT_EQ(time->GetFlags(), 0x70u);

  panes->SetMonitorTimeCursor(12.5);
  panes->Flush();
  EXPECT_FLOAT_EQ(time->GetCursorValue(), 12.5f);

  panes->ResetMonitors();
  EXPECT_EQ(monitors->Series(0, 0)->GetPointCount(), 0);
  EXPECT_FLOAT_EQ(time->GetVisibleMin(), 0.0f);
  EXPECT_FLOAT_EQ(time->GetVisibleMax(), 20.0f);
  EXPECT_FLOAT_EQ(time->GetFullMax(), 20.0f);
  EXPECT_FALSE(bar->isVisible());
}

TEST_F(ViewPanesTest, AMonitorScrolledBackStaysWhilePointsArriveUntilFollowResumes) {
  MonitorPane* monitors = panes->Monitors();
  QScrollBar* bar = monitors->ScrollBar();
  for (int i = 0; i <= 60; ++i) Send(i, 1000 + 50 * i, 80, 40, true, false);
  panes->Flush();
  ASSERT_TRUE(bar->isVisible());
  EXPECT_TRUE(monitors->Following());
  EXPECT_FALSE(monitors->FollowButton()->isVisible());

  // One page back with the bar (no thumb drag): following stops.
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  QvDataChartAxis* time = monitors->TimeAxis(0);
  const float start = time->GetVisibleMin();
  EXPECT_LT(time->GetVisibleMax(), 60.0f);
  EXPECT_FALSE(monitors->Following());
  EXPECT_TRUE(monitors->FollowButton()->isVisible());

  // Points keep coming, tick after tick: the window stays where the user put it.
  for (int i = 61; i <= 90; ++i) {
    Send(i, 1000, 80, 40, true, false);
    panes->Flush();
  }
  EXPECT_FLOAT_EQ(time->GetVisibleMin(), start);
  EXPECT_FLOAT_EQ(monitors->TimeAxis(1)->GetVisibleMin(), start);
  EXPECT_EQ(monitors->Series(0, 0)->GetPointCount(), 91);
  EXPECT_LT(bar->value(), bar->maximum());

  // "Follow" shows the newest data and follows again.
  monitors->FollowButton()->click();
  EXPECT_TRUE(monitors->Following());
  EXPECT_GE(time->GetVisibleMax(), 90.0f);
  Send(91, 1000, 80, 40, true, false);
  panes->Flush();
  EXPECT_GE(time->GetVisibleMax(), 91.0f);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_FALSE(monitors->FollowButton()->isVisible());
}

TEST_F(ViewPanesTest, ScreenshotsWithRealisticData) {
  // Ten minutes at 10 packets a second of a warming engine under changing load.
  for (int i = 0; i < 600; ++i) {
    const double s = i / 10.0;
    const int rpm = 800 + static_cast<int>(2400 * (0.5 + 0.5 * std::sin(s / 6.0))) + (i % 7) * 25;
    const int coolant = std::min(105, 20 + i / 7);
    const int map = 25 + static_cast<int>(60 * (rpm - 800) / 2400.0);
    Send(s, rpm, coolant, map, coolant > 60, coolant > 95);
  }
  Send(61, 5600, 118, 95, false, true);  // an alarm on the last packet
  panes->Flush();
  panes->Histograms()->findChild<QComboBox*>("1003")->setCurrentIndex(1);  // History Average

  for (QWidget* w : {static_cast<QWidget*>(panes->Dash()), static_cast<QWidget*>(panes->ItemLists()),
                     static_cast<QWidget*>(panes->Histograms()), static_cast<QWidget*>(panes->Monitors())}) {
    const QImage image = SaveRender(*w, "panes_" + w->windowTitle().replace(' ', '_').toLower());
    EXPECT_EQ(image.size(), w->size() * image.devicePixelRatio());
  }
  panes->Histograms()->ShowGraph(true);
  SaveRender(*panes->Histograms(), "panes_histograms_graph");
  EXPECT_TRUE(panes->Histograms()->Graph()->isVisible());
}
