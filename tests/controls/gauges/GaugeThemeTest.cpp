// The gauges under a light and a dark palette, and their shape in boxes of
// any proportion, checked by pixel on the offscreen platform.
#include <QPalette>

#include <gtest/gtest.h>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvGaugeGeometry.h"
#include "controls/gauges/QvStatusGauge.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

QPalette Dark() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(45, 45, 48));
  p.setColor(QPalette::Base, QColor(30, 30, 32));
  p.setColor(QPalette::Text, QColor(232, 232, 232));
  p.setColor(QPalette::WindowText, QColor(232, 232, 232));
  p.setColor(QPalette::Mid, QColor(100, 100, 106));
  p.setColor(QPalette::Link, QColor(110, 175, 255));
  return p;
}

QImage Render(QWidget& widget, QSize size) {
  widget.resize(size);
  return widget.grab().toImage();
}

// The extent of the pixels of one colour.
QRect ExtentOf(const QImage& image, QColor colour, int tolerance = 40) {
  QRect extent;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <=
          tolerance)
        extent |= QRect(x, y, 1, 1);
    }
  }
  return extent;
}

TEST(GaugeTheme, DarkPaletteDarkensDefaultFacesAndKeepsColoursThatWereSet) {
  QvAnalogGauge light;
  const QImage lightImage = Render(light, QSize(180, 180));
  EXPECT_EQ(lightImage.pixelColor(90, 60), QColor(240, 240, 240));  // the default face
  EXPECT_EQ(lightImage.pixelColor(2, 2), QColor(255, 255, 255));    // the background

  QvAnalogGauge dark;
  dark.setPalette(Dark());
  const QImage darkImage = Render(dark, QSize(180, 180));
  EXPECT_LT(darkImage.pixelColor(90, 60).lightness(), 60);
  EXPECT_LT(darkImage.pixelColor(2, 2).lightness(), 60);

  // A face colour that the definition sets stays in the dark theme.
  QvAnalogGauge set;
  set.setPalette(Dark());
  set.setColor(kQvGaugeFaceColor, QvRgb(250, 240, 200));
  set.setColor(kQvGaugeBackColor, QvRgb(0, 90, 0));
  const QImage setImage = Render(set, QSize(180, 180));
  EXPECT_EQ(setImage.pixelColor(90, 60), QColor(250, 240, 200));
  EXPECT_EQ(setImage.pixelColor(2, 2), QColor(0, 90, 0));
}

TEST(GaugeTheme, DarkReadoutAndStatusGaugeShowLightTextOnDarkGround) {
  QvDigitalReadout readout;
  readout.setPalette(Dark());
  readout.setTitle("Coolant");
  readout.setValue(88.0f);
  const QImage r = Render(readout, QSize(120, 120));
  EXPECT_LT(r.pixelColor(3, 60).lightness(), 60);
  // Some title pixels are light.
  EXPECT_FALSE(ExtentOf(r.copy(0, 0, 120, 25), QColor(232, 232, 232), 120).isEmpty());

  QvStatusGauge status;
  status.setPalette(Dark());
  const QImage s = Render(status, QSize(120, 120));
  EXPECT_LT(s.pixelColor(60, 30).lightness(), 60);
}

TEST(GaugeShape, AnalogGaugeIsRoundAndWholeInAWideOrTallBox) {
  for (const QSize box : {QSize(400, 150), QSize(150, 400), QSize(120, 90), QSize(500, 500)}) {
    QvAnalogGauge gauge;
    // The face in a colour of its own; its extent is the dial's.
    gauge.setColor(kQvGaugeFaceColor, QvRgb(255, 0, 255));
    const QImage image = Render(gauge, box);
    const QRect rim = ExtentOf(image, QColor(255, 0, 255), 6);
    ASSERT_FALSE(rim.isEmpty()) << box.width() << "x" << box.height();
    // Round: as wide as high, within antialiasing.
    EXPECT_NEAR(rim.width(), rim.height(), 3) << box.width() << "x" << box.height();
    // Whole: inside the box, centred, filling its smaller side.
    EXPECT_TRUE(QRect(QPoint(0, 0), box).contains(rim));
    const int side = std::min(box.width(), box.height());
    EXPECT_GE(rim.width(), side * 9 / 10);
    EXPECT_NEAR(rim.center().x(), box.width() / 2, 3);
    EXPECT_NEAR(rim.center().y(), box.height() / 2, 3);
  }
}

TEST(GaugeShape, ReadoutTextScalesWithItsBoxWithoutStretching) {
  const auto valueExtent = [](QSize box) {
    QvDigitalReadout readout;
    readout.setColor(kQvReadoutNormalColor, QvRgb(255, 0, 255));
    readout.setValue(88.0f);
    return ExtentOf(Render(readout, box), QColor(255, 0, 255), 60);
  };
  const QRect base = valueExtent(QSize(100, 100));
  ASSERT_FALSE(base.isEmpty());
  // Twice the box, twice the text.
  const QRect large = valueExtent(QSize(200, 200));
  EXPECT_NEAR(large.width(), 2 * base.width(), 4);
  // A wide box centres the text at its shape, a small one shrinks it whole.
  const QRect wide = valueExtent(QSize(300, 100));
  EXPECT_NEAR(wide.width(), base.width(), 3);
  EXPECT_NEAR(wide.center().x(), 150, 3);
  const QRect small = valueExtent(QSize(50, 50));
  EXPECT_NEAR(small.width(), base.width() / 2, 3);
  EXPECT_TRUE(QRect(0, 0, 50, 50).contains(small));
}

TEST(GaugeShape, FitSquareCentresOneScale) {
  const QvFit wide = QvFitSquare(QSize(400, 100), 100);
  EXPECT_DOUBLE_EQ(wide.scale, 1.0);
  EXPECT_DOUBLE_EQ(wide.x, 150.0);
  EXPECT_DOUBLE_EQ(wide.y, 0.0);
  const QvFit small = QvFitSquare(QSize(50, 80), 100);
  EXPECT_DOUBLE_EQ(small.scale, 0.5);
  EXPECT_DOUBLE_EQ(small.y, 15.0);
  const QvFit empty = QvFitSquare(QSize(0, 80), 100);
  EXPECT_DOUBLE_EQ(empty.scale, 0.0);
  EXPECT_DOUBLE_EQ(QvFitSquare(QSize(10, 10), 0).scale, 1.0);
}

}  // namespace
