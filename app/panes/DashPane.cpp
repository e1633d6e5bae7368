// Definition headers first: Qt's keyword macros (slots, signals) would
// otherwise rewrite names inside them.
#include "definition/ADXValue.h"

#include "app/panes/DashPane.h"

#include <QComboBox>
#include <QGraphicsOpacityEffect>
#include <QMenu>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

#include "app/panes/PaneGeometry.h"
#include "controls/common/TextBytes.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvGaugeFactory.h"
#include "controls/gauges/QvStatusGauge.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"

namespace {

// How much of a stale gauge shows through.
constexpr double kStaleOpacity = 0.4;
constexpr int kGaugeTextLimit = 100;  // texts of 100 characters or more are not drawn
constexpr int kGaugeTypeDigital = 1;
constexpr int kGaugeTypeStatus = 2;

ADXValue* AsValue(ADXObject* o) {
  return o && o->IsType(ADX_TYPE_VALUE) ? static_cast<ADXValue*>(o) : nullptr;
}
ADXBitmask* AsBitmask(ADXObject* o) {
  return o && o->IsType(ADX_TYPE_BITMASK) ? static_cast<ADXBitmask*>(o) : nullptr;
}

std::string GaugeText(const std::string& text) {
  return CutText(text, kGaugeTextLimit - 1);
}

}  // namespace

DashPane::DashPane(QWidget* parent) : QWidget(parent) {
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("1009"));
  combo_->setGeometry(7, 7, 200, combo_->sizeHint().height());
  connect(combo_, &QComboBox::currentIndexChanged, this, &DashPane::SelectDashboard);
}

void DashPane::FillDashboards(ADXDefinition* definition) {
  definition_ = definition;
  {
    const QSignalBlocker block(combo_);
    combo_->clear();
    for (int n = 0; definition != nullptr; ++n) {
      ADXObject* o = definition->GetObjectByType(ADX_TYPE_DASHBOARD, n);
      if (o == nullptr) break;
      combo_->addItem(TextFromBytes(o->title), QVariant::fromValue(static_cast<void*>(o)));
    }
    combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
  }
  SelectDashboard(combo_->currentIndex());
}

void DashPane::SelectDashboard(int comboIndex) {
  dashboard_ =
      comboIndex >= 0 ? static_cast<ADXDashboard*>(combo_->itemData(comboIndex).value<void*>()) : nullptr;
  Rebuild();
}

QWidget* DashPane::Gauge(int index) const {
  return index >= 0 && index < GaugeCount() ? gauges_[static_cast<std::size_t>(index)] : nullptr;
}

QRect DashPane::GaugeArea() const {
  const int top = combo_->geometry().bottom() + 1 + 3;
  return QRect(QPoint(0, top), QPoint(width() - 1, std::max(top, height()) - 1));
}

void DashPane::ClearGauges() {
  for (QWidget* g : gauges_) delete g;
  gauges_.clear();
}

void DashPane::Rebuild() {
  ClearGauges();
  if (dashboard_ == nullptr) return;
  for (int i = 0; i < dashboard_->EntryCount(); ++i) {
    gauges_.push_back(CreateGauge(i));
    Configure(i);
    if (gauges_.back() != nullptr) gauges_.back()->show();
  }
  LayoutGauges();
}

QWidget* DashPane::CreateGauge(int index) {
  DashboardEntry* entry = dashboard_->GetEntry(index);
  const char* className = QvGaugeClassForType(entry->gaugetype);
  QWidget* gauge = className ? QvCreateGauge(className, this, kFirstGaugeId + index) : nullptr;
  entry->control = gauge;
  if (gauge == nullptr) return nullptr;
  gauge->setObjectName(QString::number(kFirstGaugeId + index));
  gauge->resize(300, 300);
  // Each gauge kind has its own notification signal with the same signature.
  if (auto* g = qobject_cast<QvAnalogGauge*>(gauge))
    connect(g, &QvAnalogGauge::commandNotify, this, &DashPane::OnGaugeNotify);
  if (auto* g = qobject_cast<QvDigitalReadout*>(gauge))
    connect(g, &QvDigitalReadout::commandNotify, this, &DashPane::OnGaugeNotify);
  if (auto* g = qobject_cast<QvStatusGauge*>(gauge))
    connect(g, &QvStatusGauge::commandNotify, this, &DashPane::OnGaugeNotify);
  return gauge;
}

void DashPane::Configure(int index) {
  QWidget* gauge = Gauge(index);
  const DashboardEntry* entry = dashboard_ ? dashboard_->GetEntry(index) : nullptr;
  if (gauge == nullptr || entry == nullptr) return;
  const PanePacket none;
  if (auto* analog = qobject_cast<QvAnalogGauge*>(gauge)) {
    ADXValue* v = AsValue(entry->item);
    if (v == nullptr) return;
    analog->setTitle(GaugeText(v->title).c_str(), kGaugeTextLimit);
    analog->setUnits(GaugeText(v->units).c_str(), kGaugeTextLimit);
    analog->setDecimals(v->digcount);
    analog->setRange(v->rangelow, v->rangehigh);
    analog->clearZones();
    if (v->flags & kValueAlarmHigh) {
      const QvGaugeZone zone{std::min(v->alarmhigh, v->rangehigh), std::max(v->alarmhigh, v->rangehigh),
                             QvRgb(255, 0, 0)};
      analog->setZone(1000, &zone);
    }
    if (v->flags & kValueAlarmLow) {
      const QvGaugeZone zone{std::min(v->alarmlow, v->rangelow), std::max(v->alarmlow, v->rangelow),
                             QvRgb(250, 180, 0)};
      analog->setZone(1000, &zone);
    }
    analog->setValue(static_cast<float>(ValueReading(definition_, *v, none)), true);
  } else if (auto* readout = qobject_cast<QvDigitalReadout*>(gauge)) {
    ADXValue* v = AsValue(entry->item);
    if (v == nullptr) return;
    readout->setTitle(v->title.c_str());
    readout->setUnits(v->units.c_str());
    const bool fractional = v->outputtype == kOutputFloat;
    readout->setFormat(fractional ? 1 : 0, fractional ? v->digcount : 1);
    readout->setColor(kQvReadoutLowAlarmColor, QvRgb(255, 128, 0));
    readout->setColor(kQvReadoutHighAlarmColor, QvRgb(255, 0, 0));
    readout->setLowAlarm(v->alarmlow);
    readout->setHighAlarm(v->alarmhigh);
    readout->enableLowAlarm((v->flags & kValueAlarmLow) != 0);
    readout->enableHighAlarm((v->flags & kValueAlarmHigh) != 0);
    readout->setValue(static_cast<float>(ValueReading(definition_, *v, none)));
  } else if (auto* status = qobject_cast<QvStatusGauge*>(gauge)) {
    ADXBitmask* b = AsBitmask(entry->item);
    if (b == nullptr) return;
    status->setTitle(GaugeText(b->title).c_str(), kGaugeTextLimit);
    status->setOnText(b->truestring.c_str(), static_cast<int>(kBitmaskTextMax));
    status->setOffText(b->falsestring.c_str(), static_cast<int>(kBitmaskTextMax));
    status->setState(BitmaskState(definition_, *b, none), true);
  }
}

void DashPane::UpdateDash(const PanePacket& packet) {
  if (dashboard_ == nullptr) return;
  for (int i = 0; i < GaugeCount(); ++i) {
    QWidget* gauge = gauges_[static_cast<std::size_t>(i)];
    const DashboardEntry* entry = dashboard_->GetEntry(i);
    if (gauge == nullptr || entry == nullptr) continue;
    if (auto* analog = qobject_cast<QvAnalogGauge*>(gauge)) {
      if (ADXValue* v = AsValue(entry->item))
        analog->setValue(static_cast<float>(ValueReading(definition_, *v, packet)), true);
    } else if (auto* readout = qobject_cast<QvDigitalReadout*>(gauge)) {
      if (ADXValue* v = AsValue(entry->item))
        readout->setValue(static_cast<float>(ValueReading(definition_, *v, packet)));
    } else if (auto* status = qobject_cast<QvStatusGauge*>(gauge)) {
      if (ADXBitmask* b = AsBitmask(entry->item))
        status->setState(BitmaskState(definition_, *b, packet), true);
    }
  }
}

void DashPane::LayoutGauges() {
  const QRect area = GaugeArea();
  for (int i = 0; i < GaugeCount(); ++i) {
    QWidget* gauge = gauges_[static_cast<std::size_t>(i)];
    const DashboardEntry* entry = dashboard_ ? dashboard_->GetEntry(i) : nullptr;
    if (gauge == nullptr || entry == nullptr) continue;
    const PaneRect r = DashGaugeRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1, entry->top,
                                     entry->left, entry->bottom, entry->right);
    gauge->setGeometry(r.x, r.y, std::max(r.width, 0), std::max(r.height, 0));
    if (stale_ && gauge->graphicsEffect() == nullptr) ApplyStale(gauge);
  }
}

void DashPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutGauges();
}

QMenu* DashPane::BuildGaugeMenu(int index, QWidget* parent) {
  QWidget* gauge = Gauge(index);
  const DashboardEntry* entry = dashboard_ ? dashboard_->GetEntry(index) : nullptr;
  if (gauge == nullptr || entry == nullptr || definition_ == nullptr) return nullptr;
  auto* menu = new QMenu(parent);
  auto addObjects = [&](const QString& title, std::uint32_t type) {
    QMenu* sub = menu->addMenu(title);
    for (int n = 0;; ++n) {
      ADXObject* o = definition_->GetObjectByType(type, n);
      if (o == nullptr) break;
      QAction* a = sub->addAction(TextFromBytes(o->title));
      a->setCheckable(true);
      a->setChecked(o == entry->item);
      a->setData(QVariant::fromValue(static_cast<void*>(o)));
    }
  };
  addObjects(QStringLiteral("Values"), ADX_TYPE_VALUE);
  if (qobject_cast<QvAnalogGauge*>(gauge) == nullptr)
    addObjects(QStringLiteral("Bitmasks"), ADX_TYPE_BITMASK);
  return menu;
}

void DashPane::OnGaugeNotify(int controlId, int code, QPoint screenPos) {
  if (code != QvAnalogGauge::kRightClickCode && code != QvDigitalReadout::kRightClickCode) return;
  // The notification comes from inside the gauge's own event handler, and a
  // pick may replace that gauge: the menu runs once the handler has returned.
  QTimer::singleShot(0, this, [this, controlId, screenPos] {
    const int index = controlId - kFirstGaugeId;
    QMenu* menu = BuildGaugeMenu(index, this);
    if (menu == nullptr) return;
    QAction* picked = menu->exec(screenPos);
    ADXObject* object = picked ? static_cast<ADXObject*>(picked->data().value<void*>()) : nullptr;
    delete menu;
    if (object != nullptr) ApplyGaugePick(index, object);
  });
}

void DashPane::ApplyGaugePick(int index, ADXObject* object) {
  if (dashboard_ == nullptr || object == nullptr || Gauge(index) == nullptr) return;
  const bool isValue = object->IsType(ADX_TYPE_VALUE);
  if (!isValue && !object->IsType(ADX_TYPE_BITMASK)) return;
  DashboardEntry entry = *dashboard_->GetEntry(index);
  // The gauge changes kind when it showed an object of the other kind, and
  // also when it showed nothing and its kind cannot show the pick (a readout
  // given a bitmask, a status gauge given a value), so it never stays blank.
  const bool showedOther = entry.item != nullptr && (isValue ? !entry.item->IsType(ADX_TYPE_VALUE)
                                                             : !entry.item->IsType(ADX_TYPE_BITMASK));
  const bool cannotShow = isValue ? entry.gaugetype == kGaugeTypeStatus : entry.gaugetype != kGaugeTypeStatus;
  if (showedOther || (entry.item == nullptr && cannotShow)) {
    entry.gaugetype = isValue ? kGaugeTypeDigital : kGaugeTypeStatus;
    dashboard_->SetEntry(index, entry);
    delete gauges_[static_cast<std::size_t>(index)];
    gauges_[static_cast<std::size_t>(index)] = CreateGauge(index);
    entry.control = dashboard_->GetEntry(index)->control;
    LayoutGauges();
    if (QWidget* g = Gauge(index)) g->show();
  }
  entry.SetItem(object);
  dashboard_->SetEntry(index, entry);
  Configure(index);
  if (QWidget* g = Gauge(index)) g->update();
}

void DashPane::ApplyStale(QWidget* gauge) const {
  if (gauge == nullptr) return;
  if (!stale_) {
    gauge->setGraphicsEffect(nullptr);
    return;
  }
  auto* fade = new QGraphicsOpacityEffect(gauge);
  fade->setOpacity(kStaleOpacity);
  gauge->setGraphicsEffect(fade);
}

void DashPane::SetStale(bool stale) {
  if (stale_ == stale) return;
  stale_ = stale;
  for (QWidget* gauge : gauges_) ApplyStale(gauge);
}
