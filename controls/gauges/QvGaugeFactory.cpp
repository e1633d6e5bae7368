#include "controls/gauges/QvGaugeFactory.h"

#include <algorithm>
#include <cctype>

#include "controls/gauges/QvAnalogGauge.h"
#include "controls/gauges/QvDigitalReadout.h"
#include "controls/gauges/QvStatusGauge.h"
#include "controls/gauges/QvTextProgress.h"

namespace {

bool SameName(const std::string& a, const char* b) {
  const std::string other(b);
  return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

QWidget* QvCreateGauge(const std::string& className, QWidget* parent, int controlId) {
  if (SameName(className, QvAnalogGauge::kClassName)) return new QvAnalogGauge(parent, controlId);
  if (SameName(className, QvDigitalReadout::kClassName)) return new QvDigitalReadout(parent, controlId);
  if (SameName(className, QvStatusGauge::kClassName)) return new QvStatusGauge(parent, controlId);
  if (SameName(className, QvTextProgress::kClassName)) return new QvTextProgress(parent);
  return nullptr;
}

bool QvIsGaugeClass(const std::string& className) {
  for (const char* name : {QvAnalogGauge::kClassName, QvDigitalReadout::kClassName, QvStatusGauge::kClassName,
                           QvTextProgress::kClassName}) {
    if (SameName(className, name)) return true;
  }
  return false;
}

const char* QvGaugeClassForType(int gaugeType) {
  switch (gaugeType) {
    case 0:
      return QvAnalogGauge::kClassName;
    case 1:
      return QvDigitalReadout::kClassName;
    case 2:
      return QvStatusGauge::kClassName;
    default:
      return nullptr;
  }
}
