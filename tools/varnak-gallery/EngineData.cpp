#include "tools/varnak-gallery/EngineData.h"
#include "controls/common/CLocaleText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Linear ramp from a to b while t runs from t0 to t1.
float Ramp(float t, float t0, float t1, float a, float b) {
  if (t <= t0) return a;
  if (t >= t1) return b;
  return a + (b - a) * (t - t0) / (t1 - t0);
}

// Manifold pressure follows the throttle: near 30 kPa at idle and on
// overrun, near 98 kPa under full load, more with rising speed.
float DriveMap(float t, float rpm) {
  const bool pulling = (t >= 10.0f && t < 24.0f) || (t >= 30.0f && t < 40.0f);
  const float load = pulling ? 0.92f : (t >= 40.0f && t < 52.0f ? 0.45f : 0.2f);
  const float kpa = 22.0f + 76.0f * load + rpm / 1000.0f;
  return std::clamp(kpa, 20.0f, 100.0f);
}

}  // namespace

float DriveRpm(float t) {
  float rpm = 800.0f;
  if (t < 10.0f) {
    rpm = 800.0f + 25.0f * std::sin(t * 3.0f);  // warm idle, a little hunting
  } else if (t < 17.0f) {
    rpm = Ramp(t, 10.0f, 17.0f, 1500.0f, 5600.0f);  // first gear pull
  } else if (t < 24.0f) {
    rpm = Ramp(t, 17.0f, 24.0f, 3400.0f, 5900.0f);  // second gear, into the red
  } else if (t < 30.0f) {
    rpm = Ramp(t, 24.0f, 30.0f, 5900.0f, 1800.0f);  // lift off
  } else if (t < 40.0f) {
    rpm = Ramp(t, 30.0f, 40.0f, 1800.0f, 4800.0f);
  } else if (t < 52.0f) {
    rpm = 2600.0f + 60.0f * std::sin(t);  // cruise
  } else {
    rpm = Ramp(t, 52.0f, 56.0f, 2600.0f, 820.0f);
  }
  return std::clamp(rpm, 0.0f, 6000.0f);
}

std::vector<EngineSample> EngineDrive(float seconds, int perSecond) {
  std::vector<EngineSample> samples;
  if (perSecond <= 0 || !(seconds >= 0.0f)) return samples;
  const int count = static_cast<int>(seconds * static_cast<float>(perSecond)) + 1;
  samples.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    EngineSample s;
    s.seconds = static_cast<float>(i) / static_cast<float>(perSecond);
    s.rpm = DriveRpm(s.seconds);
    s.mapKpa = DriveMap(s.seconds, s.rpm);
    // Warms towards 96 degrees; the pulls push it a little further.
    s.coolantC = 96.0f - 28.0f * std::exp(-s.seconds / 25.0f);
    samples.push_back(s);
  }
  return samples;
}

std::vector<LookupPoint> CoolantSensorTable() {
  // A thermistor divider: high counts when cold, low counts when hot.
  std::vector<LookupPoint> points;
  for (int i = 0; i <= 16; ++i) {
    const float counts = std::min(255.0f, 16.0f * static_cast<float>(i));
    const float fraction = std::clamp(counts / 255.0f, 0.01f, 0.99f);
    const float degrees = 150.0f - 190.0f * fraction + 20.0f * std::sin(fraction * 3.14159f);
    points.push_back({counts, std::round(degrees * 10.0f) / 10.0f});
  }
  return points;
}

HistogramTable VolumetricEfficiencyTable() {
  HistogramTable table;
  for (int i = 0; i < 16; ++i) table.rpmBreaks.push_back(400.0f * static_cast<float>(i + 1));
  for (int i = 0; i < 16; ++i) table.mapBreaks.push_back(20.0f + 5.0f * static_cast<float>(i));
  for (float map : table.mapBreaks) {
    for (float rpm : table.rpmBreaks) {
      const bool reached = !(rpm > 4400.0f && map < 45.0f) && !(rpm < 1200.0f && map > 70.0f);
      if (!reached) {
        table.cells.emplace_back();
        continue;
      }
      // Peaks near the torque peak, rises with load.
      const float speed = std::exp(-std::pow((rpm - 3800.0f) / 2600.0f, 2.0f));
      const float ve = 38.0f + 34.0f * speed + 0.28f * (map - 20.0f);
      // Whole numbers where few samples landed, as real tables show.
      table.cells.push_back(rpm < 1000.0f ? std::round(ve) : std::round(ve * 1000.0f) / 1000.0f);
    }
  }
  return table;
}

std::string StatisticText(std::optional<float> value) {
  if (!value) return {};
  char text[32];
  const float v = *value;
  if (v != std::trunc(v)) {
    CLocaleSnprintf(text, sizeof text, "%.3f", static_cast<double>(v));
  } else {
    CLocaleSnprintf(text, sizeof text, "%i", static_cast<int>(v));
  }
  return text;
}
