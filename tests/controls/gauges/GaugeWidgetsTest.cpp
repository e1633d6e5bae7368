#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvGaugeFactory.h"
#include "controls/gauges/QvPaintSupport.h"
#include "controls/gauges/QvStatusGauge.h"
#include "controls/gauges/QvTextProgress.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

void RightClick(QWidget& widget, QPoint local) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, local, widget.mapToGlobal(local));
  QApplication::sendEvent(&widget, &event);
}

TEST(AnalogGauge, ValuesClampAndTrackExtremes) {
  QvAnalogGauge gauge;
  gauge.setValue(400.0f, true);
  EXPECT_EQ(gauge.state().value, 150.0f);
  EXPECT_EQ(gauge.state().highestSeen, 150.0f);
  EXPECT_EQ(gauge.getValue(), 150);

  gauge.setRange(-20.0f, -5.0f);
  gauge.resetMin();
  gauge.resetMax();
  gauge.setValue(-10.0f, false);
  gauge.setValue(-15.0f, false);
  EXPECT_EQ(gauge.state().highestSeen, -10.0f);
  EXPECT_EQ(gauge.state().lowestSeen, -15.0f);
  // A new range keeps what was seen; a NaN is not a reading.
  gauge.setRange(0.0f, 100.0f);
  gauge.setValue(NAN, true);
  EXPECT_EQ(gauge.state().value, -15.0f);
  EXPECT_EQ(gauge.state().lowestSeen, -15.0f);

  gauge.setValue(12.7f, false);
  EXPECT_EQ(gauge.getValue(), 12);
  gauge.setRange(-1e30f, 1e30f);
  gauge.setValue(-1e20f, false);
  EXPECT_EQ(gauge.getValue(), INT_MIN);

  // A double click resets both extremes.
  QTest::mouseDClick(&gauge, Qt::LeftButton);
  EXPECT_EQ(gauge.state().lowestSeen, FLT_MAX);
  EXPECT_EQ(gauge.state().highestSeen, -FLT_MAX);
}

TEST(AnalogGauge, StyleColoursAndTexts) {
  QvAnalogGauge gauge;
  EXPECT_EQ(gauge.state().style, 0x5Fu);
  gauge.setStyle(kQvGaugeEqualScale, false);
  EXPECT_EQ(gauge.state().style, 0xDFu);
  gauge.clearStyle(kQvGaugeValueText | kQvGaugeZones, false);
  EXPECT_EQ(gauge.state().style, 0x9Bu);
  gauge.setStyle(0, false);
  EXPECT_EQ(gauge.state().style, 0u);

  EXPECT_EQ(gauge.getColor(kQvGaugeNeedleColor), QvRgb(250, 80, 0));
  EXPECT_EQ(gauge.getColor(kQvGaugeMinorTickColor), QvRgb(0, 0, 255));
  gauge.setColor(kQvGaugeFaceColor, 0x123456);
  gauge.setColor(10, 0x999999);
  gauge.setColor(-1, 0x999999);
  EXPECT_EQ(gauge.getColor(kQvGaugeFaceColor), 0x123456u);
  EXPECT_EQ(gauge.getColor(10), 0u);
  EXPECT_EQ(gauge.getColor(-1), 0u);

  char buffer[8] = "junk";
  EXPECT_EQ(gauge.setTitle("RPM", 10), 1);
  EXPECT_EQ(gauge.getTitle(buffer, sizeof buffer), 3);
  EXPECT_STREQ(buffer, "RPM");
  EXPECT_EQ(gauge.setUnits("Kilopascal", 20), 1);
  EXPECT_EQ(gauge.getUnits(buffer, 5), 4);  // cut to fit
  EXPECT_STREQ(buffer, "Kilo");
  // Too long for the limit, absent, or zero limit: no title at all.
  EXPECT_EQ(gauge.setTitle("Engine speed", 5), 0);
  EXPECT_EQ(gauge.getTitle(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(gauge.setTitle("RPM", 0), 0);
  EXPECT_EQ(gauge.setTitle(nullptr, 10), 0);
  EXPECT_EQ(gauge.getTitle(nullptr, 10), 0);
}

TEST(AnalogGauge, Zones) {
  QvAnalogGauge gauge;
  const QvGaugeZone a{0, 10, 1}, b{10, 20, 2}, c{20, 30, 3};
  EXPECT_EQ(gauge.setZone(0, &a), 0);
  EXPECT_EQ(gauge.setZone(5, &b), 1);
  EXPECT_EQ(gauge.setZone(-1, &c), 0);  // to the front
  EXPECT_EQ(gauge.setZone(10, &a), 3);  // appended
  EXPECT_EQ(gauge.setZone(1, &b), 1);   // replaced
  EXPECT_EQ(gauge.setZone(0, nullptr), -1);
  QvGaugeZone out;
  ASSERT_EQ(gauge.getZone(0, &out), 1);
  EXPECT_EQ(out.color, 3u);
  ASSERT_EQ(gauge.getZone(1, &out), 1);
  EXPECT_EQ(out.color, 2u);
  EXPECT_EQ(gauge.getZone(4, &out), 0);
  EXPECT_EQ(gauge.getZone(-1, &out), 0);
  EXPECT_EQ(gauge.getZone(0, nullptr), 0);
  gauge.clearZones();
  EXPECT_EQ(gauge.getZone(0, &out), 0);
}

TEST(Gauges, RightClickNotifiesWithCodeAndScreenPosition) {
  QWidget parent;
  QvAnalogGauge analog(&parent, 7);
  QvStatusGauge status(&parent, 8);
  QvDigitalReadout readout(&parent, 9);
  QSignalSpy analogSpy(&analog, &QvAnalogGauge::commandNotify);
  QSignalSpy statusSpy(&status, &QvStatusGauge::commandNotify);
  QSignalSpy readoutSpy(&readout, &QvDigitalReadout::commandNotify);
  RightClick(analog, {10, 20});
  RightClick(status, {5, 5});
  RightClick(readout, {5, 5});
  ASSERT_EQ(analogSpy.count(), 1);
  EXPECT_EQ(analogSpy[0][0].toInt(), 7);
  EXPECT_EQ(analogSpy[0][1].toInt(), 0x626);
  EXPECT_EQ(analogSpy[0][2].toPoint(), analog.mapToGlobal(QPoint(10, 20)));
  ASSERT_EQ(statusSpy.count(), 1);
  EXPECT_EQ(statusSpy[0][1].toInt(), 0x626);
  ASSERT_EQ(readoutSpy.count(), 1);
  EXPECT_EQ(readoutSpy[0][0].toInt(), 9);
  EXPECT_EQ(readoutSpy[0][1].toInt(), 0x590);
}

TEST(DigitalReadout, AlarmColours) {
  QvDigitalReadout readout;
  EXPECT_EQ(readout.state().valueText, "0.00");
  readout.setHighAlarm(100.0f);
  readout.enableHighAlarm(true);
  readout.setValue(100.0f);
  EXPECT_EQ(readout.state().valueColor, QvRgb(255, 0, 0));
  readout.setValue(99.9f);
  EXPECT_EQ(readout.state().valueColor, QvRgb(100, 100, 255));
  // Both alarms match: the high alarm wins.
  EXPECT_EQ(readout.setLowAlarm(150.0f), -1.0f);
  readout.enableLowAlarm(true);
  readout.setValue(120.0f);
  EXPECT_EQ(readout.state().valueColor, QvRgb(255, 0, 0));
  readout.enableHighAlarm(false);
  readout.setValue(121.0f);
  EXPECT_EQ(readout.state().valueColor, QvRgb(0, 255, 0));
  // A new threshold re-applies the current value at once.
  EXPECT_EQ(readout.setLowAlarm(0.0f), 150.0f);
  EXPECT_EQ(readout.state().valueColor, QvRgb(100, 100, 255));
  EXPECT_EQ(readout.getLowAlarm(), 0.0f);
  EXPECT_EQ(readout.getHighAlarm(), 100.0f);
}

TEST(DigitalReadout, FormatFontSizingAndTexts) {
  QvDigitalReadout readout;
  EXPECT_EQ(readout.setValue(12.34f), 0.0f);
  EXPECT_EQ(readout.state().valueText, "12.34");
  EXPECT_EQ(readout.state().valueFontHeight, 40);
  readout.setFormat(-1, 8);  // 12.34000015 is 11 characters
  EXPECT_EQ(readout.state().valueText.size(), 11u);
  EXPECT_EQ(readout.state().valueFontHeight, 24);
  readout.setFormat(0, -1);
  EXPECT_EQ(readout.state().valueText, "00000012");
  EXPECT_EQ(readout.state().digits, 8);
  EXPECT_EQ(readout.setValue(5.0f), 12.34f);

  EXPECT_EQ(readout.setTitle(std::string(120, 't').c_str()), 79);
  EXPECT_EQ(readout.setUnits(std::string(60, 'u').c_str()), 49);
  EXPECT_EQ(readout.setTitle(nullptr), 0);
  readout.setColor(kQvReadoutBackColor, 0x010203);
  EXPECT_EQ(readout.getColor(kQvReadoutBackColor), 0x010203u);
  EXPECT_EQ(readout.getColor(7), 0u);

  // The free functions ignore widgets that are not readouts.
  QWidget other;
  EXPECT_EQ(QvReadoutSetTitle(&other, "x"), 0);
  EXPECT_EQ(QvReadoutSetValue(nullptr, 3.0f), 0.0f);
  EXPECT_EQ(QvReadoutGetColor(&other, 3), 0u);
  EXPECT_EQ(QvReadoutSetValue(&readout, 6.0f), 5.0f);
}

TEST(StatusGauge, StatesAndTexts) {
  QvStatusGauge gauge;
  EXPECT_EQ(gauge.setTitle("Fan", 10), 1);
  gauge.setState(1, true);
  EXPECT_EQ(gauge.stateText(), "");
  EXPECT_EQ(gauge.setOnText("ON", 2), 1);
  EXPECT_EQ(gauge.setOffText("OFF", 2), 0);  // too long: no off-text
  EXPECT_EQ(gauge.stateText(), "ON");
  gauge.setState(0, true);
  EXPECT_EQ(gauge.stateText(), "");
  char buffer[4] = "abc";
  EXPECT_EQ(gauge.getOffText(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(gauge.getOnText(buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, "ON");
}

TEST(StatusGauge, StateColoursShowOnlyBehindTheText) {
  QvStatusGauge gauge;
  gauge.setTitle("Fan", 10);
  gauge.setState(1, true);
  EXPECT_EQ(CountColor(RenderWidget(gauge, {100, 100}, "status_on_without_text"), QColor(0, 255, 0)), 0);
  gauge.setOnText("ON", 10);
  EXPECT_GT(CountColor(RenderWidget(gauge, {100, 100}, "status_on"), QColor(0, 255, 0)), 100);
  gauge.setOffText("OFF", 10);
  gauge.setState(0, true);
  gauge.setStyle(kQvGaugeEqualScale, true);
  EXPECT_GT(CountColor(RenderWidget(gauge, {200, 120}, "status_off_wide"), QColor(255, 0, 0)), 100);
}

TEST(TextProgress, RangePositionAndStep) {
  QvTextProgress progress;
  EXPECT_EQ(progress.setRange(0u | (1024u << 16)), 0u | (255u << 16));
  progress.setPos(512);
  progress.setBarColor(QvRgb(0, 0, 255));
  progress.setBkColor(QvRgb(255, 255, 255));
  progress.setTextColor(QvRgb(0, 0, 0));
  const QImage image = RenderWidget(progress, {200, 20}, "progress_half");
  EXPECT_EQ(image.pixelColor(99, 2), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(100, 2), QColor(255, 255, 255));

  EXPECT_EQ(progress.setRange32(10, 20), 0u | (1024u << 16));
  EXPECT_EQ(progress.setPos(19), 512);
  EXPECT_EQ(progress.setStep(5), 1);
  EXPECT_EQ(progress.stepIt(), 19);
  EXPECT_EQ(progress.getPos(), 10);  // past the maximum: back to the minimum
  QvProgressRange range;
  EXPECT_EQ(progress.getRange(1, &range), 10);
  EXPECT_EQ(range.high, 20);
  EXPECT_EQ(progress.getRange(0, nullptr), 20);
  int low = 0;
  progress.getRangeBounds(&low, nullptr);
  EXPECT_EQ(low, 10);
  progress.setStep(INT_MAX);
  progress.setPos(INT_MAX - 1);
  progress.stepIt();
  EXPECT_EQ(progress.getPos(), 10);

  // Zero-width range and vertical bars draw without failing.
  progress.setRange32(5, 5);
  RenderWidget(progress, {200, 20}, "progress_empty_range");
  progress.setRange32(0, 100);
  progress.setPos(25);
  progress.setVertical(true);
  EXPECT_TRUE(progress.getVertical());
  const QImage vertical = RenderWidget(progress, {20, 100}, "progress_vertical");
  EXPECT_EQ(vertical.pixelColor(2, 90), QColor(0, 0, 255));
  EXPECT_EQ(vertical.pixelColor(2, 60), QColor(255, 255, 255));
}

TEST(TextProgress, TemporaryTextRestoresTextAndColours) {
  QvTextProgress progress;
  QvProgressSetText(&progress, "Ready", QvRgb(1, 2, 3), QvRgb(4, 5, 6));
  EXPECT_TRUE(QvProgressShowTemporaryText(&progress, "Saved", QvRgb(9, 9, 9), QvRgb(8, 8, 8), 50));
  EXPECT_FALSE(progress.showTemporaryText("Second", 0, 0, 5000));  // ignored
  char buffer[16];
  progress.getText(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "Saved");
  // Changes during the temporary text land in the text that returns.
  EXPECT_EQ(progress.setTextColor(QvRgb(7, 7, 7)), QvRgb(1, 2, 3));
  progress.setText("Scanning");
  EXPECT_EQ(progress.look().textColor, QvRgb(9, 9, 9));
  QTRY_VERIFY_WITH_TIMEOUT(!progress.temporaryTextShowing(), 2000);
  EXPECT_EQ(progress.look().text, "Scanning");
  EXPECT_EQ(progress.look().textColor, QvRgb(7, 7, 7));
  EXPECT_EQ(progress.look().backColor, QvRgb(4, 5, 6));
  progress.setText(std::string(400, 'x').c_str());
  EXPECT_EQ(progress.look().text.size(), QvTextProgress::kTextMax);
}

TEST(TextProgress, TwoColourText) {
  QvTextProgress progress;
  progress.setRange32(0, 100);
  progress.setPos(50);
  QvProgressSetText(&progress, "MMMMMMMMMMMMMMMM", kQvColorDefault, QvRgb(255, 255, 255));
  progress.setBarColor(QvRgb(0, 0, 255));
  const QImage image = RenderWidget(progress, {200, 24}, "progress_two_colour");
  // Bar-coloured text over the background, background-coloured text over the bar.
  const QImage right = image.copy(100, 0, 100, 24);
  const QImage left = image.copy(0, 0, 100, 24);
  EXPECT_GT(CountColor(right, QColor(0, 0, 255)), 0);
  EXPECT_GT(CountColor(left, QColor(255, 255, 255)), 0);
}

TEST(GaugeFactory, MakesControlsFromClassNames) {
  QWidget parent;
  std::unique_ptr<QWidget> analog(QvCreateGauge("QVANALOGGAUGE", &parent, 3));
  ASSERT_NE(qobject_cast<QvAnalogGauge*>(analog.get()), nullptr);
  EXPECT_EQ(static_cast<QvAnalogGauge*>(analog.get())->controlId(), 3);
  EXPECT_EQ(analog->parentWidget(), &parent);
  std::unique_ptr<QWidget> readout(QvCreateGauge("QvDigitalGaugeReadout", &parent));
  EXPECT_NE(qobject_cast<QvDigitalReadout*>(readout.get()), nullptr);
  std::unique_ptr<QWidget> status(QvCreateGauge("qvstatusgauge", &parent));
  EXPECT_NE(qobject_cast<QvStatusGauge*>(status.get()), nullptr);
  std::unique_ptr<QWidget> progress(QvCreateGauge("QVTEXTPROGRESS", &parent));
  EXPECT_NE(qobject_cast<QvTextProgress*>(progress.get()), nullptr);
  EXPECT_EQ(QvCreateGauge("QVANALOGGAUGEX", &parent), nullptr);
  EXPECT_EQ(QvCreateGauge("", &parent), nullptr);
  EXPECT_TRUE(QvIsGaugeClass("QVSTATUSGAUGE"));
  EXPECT_FALSE(QvIsGaugeClass("QVTABSHEET"));
  // Dashboard gauge types.
  for (int type = 0; type < 3; ++type) {
    std::unique_ptr<QWidget> gauge(QvCreateGauge(QvGaugeClassForType(type), &parent));
    EXPECT_NE(gauge, nullptr) << type;
  }
  EXPECT_NE(qobject_cast<QvStatusGauge*>(
                std::unique_ptr<QWidget>(QvCreateGauge(QvGaugeClassForType(2), &parent)).get()),
            nullptr);
  EXPECT_EQ(QvGaugeClassForType(3), nullptr);
  EXPECT_EQ(QvGaugeClassForType(-1), nullptr);
}

TEST(GaugeRendering, AnalogGaugeStates) {
  QvAnalogGauge gauge;
  gauge.setTitle("Engine", 50);
  gauge.setUnits("RPM x100", 50);
  gauge.setValue(42.5f, true);
  gauge.setValue(97.0f, true);
  const QImage normal = RenderWidget(gauge, {180, 180}, "analog_normal");
  // Face, needle outline and the red rim mark are all there.
  EXPECT_GT(CountColor(normal, QColor(240, 240, 240)), 10000);
  EXPECT_GT(CountColor(normal, QColor(255, 255, 255)), 0);
  EXPECT_EQ(normal.pixelColor(0, 0), QColor(255, 255, 255));

  const QvGaugeZone green{0, 90, QvRgb(0, 180, 0)}, red{120, 150, QvRgb(220, 0, 0)};
  gauge.setZone(-1, &green);
  gauge.setZone(1, &red);
  gauge.setStyle(kQvGaugeZones, true);
  const QImage zones = RenderWidget(gauge, {180, 180}, "analog_zones");
  EXPECT_GT(CountColor(zones, QColor(0, 180, 0)), 20);
  gauge.setStyle(kQvGaugeEqualScale, true);
  gauge.setColor(kQvGaugeBackColor, QvRgb(30, 30, 30));
  const QImage wide = RenderWidget(gauge, {400, 260}, "analog_large_equal");
  EXPECT_EQ(wide.pixelColor(399, 130), QColor(30, 30, 30));  // outside the round dial
  RenderWidget(gauge, {90, 90}, "analog_small");

  // The red rim mark at the top of the dial shows where the needle points.
  QvAnalogGauge up;
  up.setValue(150.0f * 140.0f / 260.0f, true);
  const QImage upImage = RenderWidget(up, {180, 180}, "analog_straight_up");
  EXPECT_GT(CountColor(upImage.copy(86, 3, 9, 6), QColor(255, 0, 0)), 3);
  EXPECT_EQ(CountColor(upImage.copy(0, 0, 80, 180), QColor(255, 0, 0)), 0);
  // Without equal scaling too, a wide control centres the round dial.
  up.clearStyle(kQvGaugeEqualScale, true);
  const QImage stretched = RenderWidget(up, {360, 180}, "analog_stretched");
  EXPECT_EQ(stretched.pixelColor(180, 90), QColor(0, 0, 0));  // the hub sits in the middle

  QvAnalogGauge unit;
  unit.setRange(0.0f, 1.0f);
  unit.setValue(0.63f, true);
  unit.setRange(4.0f, 4.0f);  // zero width must still draw
  RenderWidget(unit, {180, 180}, "analog_zero_range");
  // Ranges and angles that are not numbers draw something sane, never fail.
  unit.setRange(NAN, 5.0f);
  unit.setValue(3.0f, true);
  RenderWidget(unit, {180, 180}, "analog_nan_range");
  unit.setRange(-INFINITY, INFINITY);
  unit.setAngles(NAN, 1e30f);
  unit.setValue(1e38f, true);
  RenderWidget(unit, {180, 180}, "analog_wild_range");
}

TEST(GaugeRendering, ControlFontKeepsArialDigitWidths) {
  // Whatever face stands in for "Arial", a five-character value at the height
  // chosen for it fits the readout's 100 units.
  const QFontMetricsF metrics(QvControlFont(40));
  EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("13.81")), 108.0);  // 127 with an unadjusted wide face
  EXPECT_GT(metrics.horizontalAdvance(QStringLiteral("13.81")), 60.0);
  // Heights are cell heights (ascent plus descent), not em sizes: the text
  // of a height fits a box of that height.
  for (int height : {10, 24, 34, 50}) {
    const QFontMetricsF cell(QvControlFont(height));
    EXPECT_NEAR(cell.ascent() + cell.descent(), height, 1.5) << height;
  }
  EXPECT_EQ(QvControlFont(14, 400).weight(), 400);
}

TEST(GaugeRendering, ReadoutStates) {
  QvDigitalReadout readout;
  readout.setTitle("Battery");
  readout.setUnits("Volts");
  readout.setValue(13.81f);
  const QImage normal = RenderWidget(readout, {100, 100}, "readout_normal");
  EXPECT_EQ(normal.pixelColor(0, 50), QColor(0, 0, 0));  // border
  EXPECT_GT(CountColor(normal, QColor(100, 100, 255)), 30);
  readout.setHighAlarm(13.0f);
  readout.enableHighAlarm(true);
  readout.setValue(14.2f);
  EXPECT_GT(CountColor(RenderWidget(readout, {200, 120}, "readout_alarm_large"), QColor(255, 0, 0)), 30);
  readout.setValue(-123456789.0f);
  RenderWidget(readout, {60, 60}, "readout_small_long");
}

}  // namespace
