// Pictures of the container controls: rich static, tab sheet, property tree
// container and splash window.
#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

#include "controls/containers/QvPropTreeContainer.h"
#include "controls/containers/QvRichStatic.h"
#include "controls/containers/QvSplash.h"
#include "controls/containers/QvTabSheet.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvStatusGauge.h"
#include "tools/varnak-gallery/GalleryInput.h"
#include "tools/varnak-gallery/GalleryScenes.h"
#include "tools/varnak-gallery/GalleryWriter.h"

namespace {

void RichStaticPictures(GalleryWriter& writer) {
  {
    QvRichStatic field;
    field.setText("Ready");
    writer.save(field, QSize(220, 22), QStringLiteral("richstatic-default"));
  }
  {
    QvRichStatic field;
    field.setBorderColor(QvRgb(0, 0, 0));
    QvRichStaticSetText(&field, "Connected", QvRgb(0, 0, 0), QvRgb(120, 220, 120));
    writer.save(field, QSize(220, 22), QStringLiteral("richstatic-connected"));
  }
  {
    // A temporary message over the connection state.
    QvRichStatic field;
    field.setBorderColor(QvRgb(90, 90, 90));
    QvRichStaticSetText(&field, "Connected", QvRgb(0, 0, 0), QvRgb(120, 220, 120));
    QvRichStaticShowTemporaryText(&field, "Log saved", QvRgb(255, 255, 255), QvRgb(0, 90, 200), 60000);
    writer.save(field, QSize(220, 22), QStringLiteral("richstatic-temporary"));
  }
}

// A dash page: two dials, a readout and a lamp.
QWidget* MakeDashPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* grid = new QGridLayout(page);
  auto* rpm = new QvAnalogGauge(page, 1);
  rpm->setStyle(kQvGaugeEqualScale, false);
  rpm->setRange(0.0f, 6000.0f);
  rpm->setDecimals(0);
  rpm->setTitle("RPM", 99);
  const QvGaugeZone red{5200.0f, 6000.0f, QvRgb(224, 0, 0)};
  rpm->setZone(0, &red);
  rpm->setValue(2650.0f, false);
  auto* coolant = new QvAnalogGauge(page, 2);
  coolant->setStyle(kQvGaugeEqualScale, false);
  coolant->setRange(40.0f, 120.0f);
  coolant->setTitle("Coolant", 99);
  coolant->setUnits("deg C", 99);
  coolant->setValue(91.5f, false);
  auto* map = new QvDigitalReadout(page, 3);
  QvReadoutSetTitle(map, "MAP");
  QvReadoutSetUnits(map, "kPa");
  QvReadoutSetFormat(map, 1, 1);
  QvReadoutSetValue(map, 38.2f);
  auto* loop = new QvStatusGauge(page, 4);
  loop->setTitle("Closed Loop", 99);
  loop->setOnText("YES", 99);
  loop->setOffText("NO", 99);
  loop->setState(1, false);
  grid->addWidget(rpm, 0, 0);
  grid->addWidget(coolant, 0, 1);
  grid->addWidget(map, 0, 2);
  grid->addWidget(loop, 0, 3);
  return page;
}

QWidget* MakeTextPage(QWidget* parent, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

void TabSheetPictures(GalleryWriter& writer) {
  QvTabSheet sheet(nullptr, 200);
  sheet.resize(640, 300);
  sheet.addPage(MakeDashPage, "Dash", -1);
  sheet.addPage([](QWidget* p) { return MakeTextPage(p, "Item list: RPM, MAP, Coolant, Battery"); },
                "Item Lists", -1);
  sheet.addPage([](QWidget* p) { return MakeTextPage(p, "Histogram: VE Table"); }, "Histograms", -1);
  sheet.addPage([](QWidget* p) { return MakeTextPage(p, "Monitor: Drive log"); }, "Monitors", -1);
  sheet.show();
  QApplication::processEvents();
  writer.save(sheet, QStringLiteral("tabsheet-panes"));

  // The user picks the last tab with the mouse.
  QTabBar* bar = sheet.tabs()->tabBar();
  const QPoint tabCentre = bar->tabRect(3).center();
  SendMousePress(bar, tabCentre);
  SendMouseRelease(bar, tabCentre);
  writer.save(sheet, QStringLiteral("tabsheet-monitors"));

  // Back to the dash, then a double click on the caption undocks it.
  sheet.selectPage(0);
  const int captionY = QvTabSheet::kBorder + QvTabSheet::kCaptionHeight / 2;
  SendDoubleClick(&sheet, QPoint(sheet.width() / 2, captionY));
  QApplication::processEvents();
  if (QWidget* undocked = sheet.undockedPage()) {
    undocked->resize(640, 260);
    writer.save(*undocked, QStringLiteral("tabsheet-undocked-page"));
  }
  writer.save(sheet, QStringLiteral("tabsheet-undocked"));
  sheet.redockPage();
  sheet.hide();
}

QWidget* MakePortPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Port"), new QLineEdit(QStringLiteral("/dev/ttyUSB0"), page));
  auto* baud = new QSpinBox(page);
  baud->setRange(160, 115200);
  baud->setValue(8192);
  form->addRow(QStringLiteral("Baud"), baud);
  form->addRow(QStringLiteral(""), new QCheckBox(QStringLiteral("Link echoes"), page));
  page->resize(300, 160);
  return page;
}

QWidget* MakeGaugePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Title"), new QLineEdit(QStringLiteral("Engine Speed"), page));
  form->addRow(QStringLiteral("Units"), new QLineEdit(QStringLiteral("RPM"), page));
  auto* decimals = new QSpinBox(page);
  decimals->setValue(0);
  form->addRow(QStringLiteral("Decimals"), decimals);
  form->addRow(QStringLiteral(""), new QCheckBox(QStringLiteral("Show zones"), page));
  page->resize(340, 200);
  return page;
}

void PropTreePictures(GalleryWriter& writer) {
  QvPropTreeContainer container(nullptr, 520, 300, QStringLiteral("Preferences"));
  container.addTreePage(MakePortPage, "Connection", "", "");
  container.addTreePage([](QWidget* p) { return MakeTextPage(p, "Display options"); }, "Display", "", "");
  container.addTreePage(MakeGaugePage, "Gauges", "Display", "");
  container.addTreePage([](QWidget* p) { return MakeTextPage(p, "Chart options"); }, "Charts", "Display",
                        "Gauges");
  container.tree()->expandAll();
  container.show();
  QApplication::processEvents();
  container.selectTreeItem("Connection");
  writer.save(container, QStringLiteral("proptree-connection"));

  // The user clicks the "Gauges" item in the tree.
  const QList<QTreeWidgetItem*> found =
      container.tree()->findItems(QStringLiteral("Gauges"), Qt::MatchExactly | Qt::MatchRecursive);
  if (!found.isEmpty()) {
    const QPoint at = container.tree()->visualItemRect(found.front()).center();
    SendMousePress(container.tree()->viewport(), at);
    SendMouseRelease(container.tree()->viewport(), at);
  }
  writer.save(container, QStringLiteral("proptree-gauges"));
  container.hide();
}

// The splash bitmap, drawn here instead of loaded from a resource.
QPixmap SplashBitmap() {
  QPixmap pixmap(420, 240);
  QPainter p(&pixmap);
  QLinearGradient sky(0, 0, 0, 240);
  sky.setColorAt(0.0, QColor(20, 30, 60));
  sky.setColorAt(1.0, QColor(60, 90, 150));
  p.fillRect(pixmap.rect(), sky);
  p.setRenderHint(QPainter::Antialiasing);
  // A dial outline as the emblem.
  p.setPen(QPen(QColor(230, 230, 230), 4));
  p.drawArc(QRect(300, 60, 100, 100), -60 * 16, 300 * 16);
  p.setPen(QPen(QColor(240, 80, 0), 4));
  p.drawLine(QPoint(350, 110), QPoint(385, 80));
  return pixmap;
}

void SplashPictures(GalleryWriter& writer) {
  // The splash frees itself when destroyed, as the program's start-up does.
  auto* splashWindow = new QvSplash(nullptr, SplashBitmap(), false);
  QvSplash& splash = *splashWindow;
  QFont big(QStringLiteral("Arial"));
  big.setPixelSize(40);
  big.setWeight(QFont::Bold);
  splash.setItem("Varnak", QRect(24, 40, 260, 60), 1, &big, QvRgb(255, 255, 255));
  splash.setItem("ALDL monitor and logger", QRect(26, 100, 260, 20), 2, nullptr, QvRgb(220, 220, 255));
  splash.setItem("Version " VARNAK_VERSION_TEXT, QRect(26, 200, 200, 20), 3, nullptr, QvRgb(200, 200, 200));
  splash.setItem("Reading settings...", QRect(26, 170, 300, 20), 4, nullptr, QvRgb(255, 220, 120));
  writer.save(splash, QStringLiteral("splash-start"));
  // The same identifier updates the item instead of adding one.
  splash.setItem("Loading definition...", QRect(26, 170, 300, 20), 4, nullptr, QvRgb(255, 220, 120));
  splash.setItemColor(2, QvRgb(255, 255, 255), true);
  writer.save(splash, QStringLiteral("splash-loading"));
  splash.destroySplash();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

void RenderContainerPictures(GalleryWriter& writer) {
  RichStaticPictures(writer);
  TabSheetPictures(writer);
  PropTreePictures(writer);
  SplashPictures(writer);
}
