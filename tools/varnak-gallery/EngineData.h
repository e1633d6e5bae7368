#pragma once
// Made-up but plausible engine data for the gallery: a minute of a short drive
// (engine speed, manifold pressure, coolant), a coolant sensor lookup table,
// and a 16 x 16 table of volumetric efficiency over engine speed and manifold
// pressure as a histogram pane would show it. Everything is deterministic, so
// the pictures are the same at every run.
//
// Thread contract: pure functions; callable from any thread.
#include <optional>
#include <string>
#include <vector>

struct EngineSample {
  float seconds = 0.0f;
  float rpm = 0.0f;
  float mapKpa = 0.0f;
  float coolantC = 0.0f;
};

// One sample every 1 / perSecond seconds from 0 to `seconds` inclusive: idle,
// two pulls through the gears, a cruise and a return to idle while the
// coolant warms from 68 to 96 degrees.
std::vector<EngineSample> EngineDrive(float seconds, int perSecond);

// Engine speed of the drive at a time (clamped to 0 .. 6000).
float DriveRpm(float seconds);

struct LookupPoint {
  float counts = 0.0f;   // sensor reading, 0 .. 255
  float degrees = 0.0f;  // coolant temperature
};
// A coolant sensor curve: 17 points from 0 to 255 counts, falling with heat.
std::vector<LookupPoint> CoolantSensorTable();

struct HistogramTable {
  std::vector<float> rpmBreaks;  // columns
  std::vector<float> mapBreaks;  // rows
  // Average volumetric efficiency per cell, row-major; none where the engine
  // never ran (high speed at low load, high load at idle).
  std::vector<std::optional<float>> cells;
  std::optional<float> at(int row, int column) const {
    return cells[static_cast<std::size_t>(row) * rpmBreaks.size() + static_cast<std::size_t>(column)];
  }
};
HistogramTable VolumetricEfficiencyTable();

// The text a histogram pane writes for a statistic: "%.3f" for a fractional
// value, "%i" for a whole one, empty for none.
std::string StatisticText(std::optional<float> value);
