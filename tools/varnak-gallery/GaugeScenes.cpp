// Pictures of the analog gauge, the digital readout, the status gauge and the
// text progress bar.
#include <QApplication>

#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvStatusGauge.h"
#include "controls/gauges/QvTextProgress.h"
#include "tools/varnak-gallery/EngineData.h"
#include "tools/varnak-gallery/GalleryInput.h"
#include "tools/varnak-gallery/GalleryScenes.h"
#include "tools/varnak-gallery/GalleryWriter.h"

namespace {

using namespace gallery;

void AddZone(QvAnalogGauge& gauge, float low, float high, std::uint32_t color) {
  const QvGaugeZone zone{low, high, color};
  gauge.setZone(gauge.state().zones.empty() ? 0 : static_cast<int>(gauge.state().zones.size()), &zone);
}

void AnalogPictures(GalleryWriter& writer) {
  {
    // The defaults: 0 to 150 over a 260 degree sweep; 80.8 stands straight up.
    QvAnalogGauge gauge;
    gauge.setValue(150.0f * 140.0f / 260.0f, false);
    writer.save(gauge, QSize(180, 180), QStringLiteral("analog-default"));
  }
  {
    // A tachometer fed a minute of driving: the lowest and highest seen are
    // the idle and the pull into the red zone; the needle rests at cruise.
    QvAnalogGauge gauge;
    gauge.setStyle(kQvGaugeEqualScale, false);
    gauge.setRange(0.0f, kRpmMax);
    gauge.setDecimals(0);
    gauge.setTitle("Engine Speed", 99);
    gauge.setUnits("RPM", 99);
    AddZone(gauge, kAmberZoneLow, kRedZoneLow, kAmberZoneColor);
    AddZone(gauge, kRedZoneLow, kRpmMax, kRedZoneColor);
    gauge.resetMin();
    gauge.resetMax();
    for (const EngineSample& s : EngineDrive(45.0f, 10)) gauge.setValue(s.rpm, false);
    writer.save(gauge, QSize(kAnalogPictureSize, kAnalogPictureSize), QStringLiteral("analog-rpm"));

    // The same gauge above its range: needle and value text pin at 6000.
    gauge.setValue(7250.0f, true);
    writer.save(gauge, QStringLiteral("analog-pinned"));

    // A double click resets lowest and highest seen, as a user does.
    SendDoubleClick(&gauge, QPoint(kAnalogPictureSize / 2, kAnalogPictureSize / 2));
    gauge.setValue(2400.0f, true);
    writer.save(gauge, QStringLiteral("analog-reset"));
  }
  {
    // Coolant over a shorter sweep with a cold and a hot zone, in alarm.
    QvAnalogGauge gauge;
    gauge.setStyle(kQvGaugeEqualScale, false);
    gauge.setRange(40.0f, 120.0f);
    gauge.setAngles(60.0f, 300.0f);
    gauge.setDecimals(1);
    gauge.setTitle("Coolant", 99);
    gauge.setUnits("deg C", 99);
    AddZone(gauge, 40.0f, 60.0f, QvRgb(60, 120, 255));
    AddZone(gauge, 105.0f, 120.0f, QvRgb(224, 0, 0));
    gauge.setColor(kQvGaugeFaceColor, QvRgb(255, 250, 235));
    for (const EngineSample& s : EngineDrive(60.0f, 2)) gauge.setValue(s.coolantC, false);
    gauge.setValue(108.4f, false);
    writer.save(gauge, QSize(240, 240), QStringLiteral("analog-coolant-alarm"));
  }
  {
    // Without equal scaling the logical square stretches with the control.
    QvAnalogGauge gauge;
    gauge.setRange(0.0f, 105.0f);
    gauge.setTitle("MAP", 99);
    gauge.setUnits("kPa", 99);
    gauge.setValue(62.5f, false);
    writer.save(gauge, QSize(320, 200), QStringLiteral("analog-stretched"));
  }
  {
    // Smaller than its logical square: the top-left part at full scale.
    QvAnalogGauge gauge;
    gauge.setValue(40.0f, false);
    writer.save(gauge, QSize(120, 120), QStringLiteral("analog-small"));
  }
  {
    // A range of zero width (a definition with equal limits) still draws.
    QvAnalogGauge gauge;
    gauge.setRange(50.0f, 50.0f);
    gauge.setTitle("Fixed", 99);
    gauge.setValue(50.0f, false);
    writer.save(gauge, QSize(180, 180), QStringLiteral("analog-zerorange"));
  }
}

void ReadoutPictures(GalleryWriter& writer) {
  {
    QvDigitalReadout readout;
    writer.save(readout, QSize(100, 100), QStringLiteral("readout-default"));
  }
  {
    QvDigitalReadout readout;
    QvReadoutSetTitle(&readout, "Manifold Pressure");
    QvReadoutSetUnits(&readout, "kPa");
    QvReadoutSetFormat(&readout, 1, 1);
    QvReadoutSetValue(&readout, 45.6f);
    writer.save(readout, QSize(150, 150), QStringLiteral("readout-normal"));
  }
  {
    // The high alarm wins when both alarms match.
    QvDigitalReadout readout;
    QvReadoutSetTitle(&readout, "Coolant Temp");
    QvReadoutSetUnits(&readout, "deg C");
    QvReadoutSetHighAlarm(&readout, 105.0f);
    QvReadoutSetLowAlarm(&readout, 110.0f);
    QvReadoutEnableHighAlarm(&readout, true);
    QvReadoutEnableLowAlarm(&readout, true);
    QvReadoutSetValue(&readout, 108.4f);
    writer.save(readout, QSize(150, 150), QStringLiteral("readout-highalarm"));
  }
  {
    QvDigitalReadout readout;
    QvReadoutSetTitle(&readout, "Battery");
    QvReadoutSetUnits(&readout, "Volts");
    QvReadoutSetLowAlarm(&readout, 11.5f);
    QvReadoutEnableLowAlarm(&readout, true);
    QvReadoutSetValue(&readout, 11.2f);
    writer.save(readout, QSize(150, 150), QStringLiteral("readout-lowalarm"));
  }
  {
    // Whole numbers with a minimum digit count; a long text shrinks the font.
    QvDigitalReadout readout;
    QvReadoutSetTitle(&readout, "Engine Speed");
    QvReadoutSetUnits(&readout, "RPM");
    QvReadoutSetFormat(&readout, 0, 4);
    QvReadoutSetValue(&readout, 850.0f);
    writer.save(readout, QSize(150, 150), QStringLiteral("readout-integer"));
    QvReadoutSetFormat(&readout, 1, 6);
    QvReadoutSetValue(&readout, 3250.123456f);
    writer.save(readout, QStringLiteral("readout-longtext"));
  }
}

void StatusPictures(GalleryWriter& writer) {
  {
    QvStatusGauge status;
    status.setTitle("Closed Loop", 99);
    status.setOnText("YES", 99);
    status.setOffText("NO", 99);
    status.setStyle(kQvGaugeEqualScale, false);
    status.setState(1, false);
    writer.save(status, QSize(kStatusPictureSize, kStatusPictureSize), QStringLiteral("status-on"));
    status.setState(0, true);
    writer.save(status, QStringLiteral("status-off"));
  }
  {
    // State 1 without an on-text shows only the title.
    QvStatusGauge status;
    status.setTitle("Fan Relay", 99);
    status.setOffText("OFF", 99);
    status.setState(1, false);
    writer.save(status, QSize(100, 100), QStringLiteral("status-notext"));
  }
  {
    QvStatusGauge status;
    writer.save(status, QSize(100, 100), QStringLiteral("status-default"));
  }
}

void ProgressPictures(GalleryWriter& writer) {
  {
    QvTextProgress progress;
    progress.setRange32(0, kProgressMax);
    progress.setPos(kProgressPos);
    progress.setText("Recording temp.xdl");
    writer.save(progress, QSize(kProgressWidth, kProgressHeight), QStringLiteral("progress-recording"));
  }
  {
    // Two-colour text: the part over the bar in the background colour.
    QvTextProgress progress;
    progress.setRange32(0, 100);
    progress.setPos(63);
    QvProgressSetText(&progress, "Playback 0:38 of 1:00", kQvColorDefault, QvRgb(255, 255, 255));
    writer.save(progress, QSize(kProgressWidth, kProgressHeight), QStringLiteral("progress-twocolour"));
  }
  {
    QvTextProgress progress;
    progress.setVertical(true);
    progress.setRange32(0, 255);
    progress.setPos(180);
    progress.setBarColor(QvRgb(40, 170, 60));
    progress.setText("70%");
    writer.save(progress, QSize(48, 160), QStringLiteral("progress-vertical"));
  }
  {
    // A temporary text over the normal one.
    QvTextProgress progress;
    progress.setRange32(0, 10);
    progress.setPos(3);
    progress.setText("Scanning");
    QvProgressShowTemporaryText(&progress, "Reply timeout", QvRgb(255, 255, 255), QvRgb(200, 0, 0), 60000);
    writer.save(progress, QSize(kProgressWidth, kProgressHeight), QStringLiteral("progress-temporary"));
  }
  {
    // A range of zero width still draws.
    QvTextProgress progress;
    progress.setRange32(7, 7);
    progress.setPos(7);
    progress.setText("Empty range");
    writer.save(progress, QSize(kProgressWidth, kProgressHeight), QStringLiteral("progress-zerorange"));
  }
}

}  // namespace

void RenderGaugePictures(GalleryWriter& writer) {
  AnalogPictures(writer);
  ReadoutPictures(writer);
  StatusPictures(writer);
  ProgressPictures(writer);
}
