// The main window's texts and layout rules as pure functions, so that the
// window only applies their results: the version text, the state field of the
// status bar with its colours, and the place of the log bar's position slider.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datalog/XdlFormat.h"

// "%i.%.2i.%.4i.%.2i" of the four parts of a dotted version ("0.1.0" gives
// "0.01.0000.00"); missing parts count as 0. Empty for an empty or malformed
// version.
std::string VersionText(std::string_view dottedVersion);

// Whether the monotonic clock's resolution is fine enough for timing packets:
// 1 us or finer. A coarser clock gets the "Improper hardware" warning.
bool ClockResolutionFine(long seconds, long nanoseconds);

// The first status field: its text and its colours (0x00BBGGRR).
struct StatusLook {
  std::string text;
  std::uint32_t textColor = 0;
  std::uint32_t backColor = 0;
  bool operator==(const StatusLook&) const = default;
};
StatusLook StatusStateLook(XdlState logState, std::int32_t connectionState);

// The slider of the log bar: one pixel right of the tool bar (toolbarRight is
// the first column past it), as wide as the
// rest of the bar minus 2 and at most 400; never negative.
struct SliderPlace {
  int x = 0;
  int width = 0;
  bool operator==(const SliderPlace&) const = default;
};
SliderPlace LogSliderPlace(int barWidth, int toolbarRight);
inline constexpr int kLogSliderMaxWidth = 400;
