#pragma once
// Pure layout and number rules of the view panes: where a dashboard gauge
// goes, how monitor charts stack, where the histogram grid sits, and the
// numbers of the monitor scroll bar. Paint and layout code only applies
// these results.
//
// Thread contract: plain functions without state; any thread.
#include <array>
#include <cstdint>

struct PaneRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PaneRect&) const = default;
};

// The gauge area is (left, top, right, bottom); the four percentages of a
// dashboard entry are read as unsigned 16-bit numbers, so a stored -1 means
// 65535 %. Integer arithmetic with the multiplication first, in 64 bits so a
// wide area with a large percentage cannot overflow; results are clamped to
// the int range.
PaneRect DashGaugeRect(int areaLeft, int areaTop, int areaRight, int areaBottom, std::int16_t top,
                       std::int16_t left, std::int16_t bottom, std::int16_t right);

// Chart `index` of `count` charts stacked top to bottom over a page of
// width x height: full width, each height / count high (integer division).
PaneRect MonitorChartRect(int index, int count, int pageWidth, int pageHeight);

// The histogram grid (and the graph over it): from its top edge down to 3
// pixels above the page bottom, with its left margin kept on both sides.
// Never negative in size.
PaneRect HistogramGridRect(int gridLeft, int gridTop, int pageWidth, int pageHeight);

// The monitor scroll bar, in milliseconds: the thumb is the visible time
// window, its position the window's start.
struct MonitorScroll {
  bool visible = false;  // the window does not show the whole full range
  int minimum = 0;
  int maximum = 0;  // last start position: full end - window width
  int page = 0;     // window width
  int value = 0;    // window start
};
// Computed from the visible and the full time range (seconds). Seconds are
// truncated to whole seconds as the bar works in whole-second steps of 1000.
MonitorScroll MonitorScrollFor(float visibleMin, float visibleMax, float fullMin, float fullMax);

// Line and axis colours (0x00BBGGRR) for new monitor series, chosen by the
// monitor's entry count before the addition, modulo 10.
inline constexpr std::array<std::uint32_t, 10> kMonitorPalette = {
    0x0000FFu,  // (255,0,0)
    0x009600u,  // (0,150,0)
    0xFF0000u,  // (0,0,255)
    0xFF8080u,  // (128,128,255)
    0xC8C800u,  // (0,200,200)
    0x0080FFu,  // (255,128,0)
    0x800080u,  // (128,0,128)
    0x008080u,  // (128,128,0)
    0xFF00FFu,  // (255,0,255)
    0x808040u,  // (64,128,128)
};
std::uint32_t MonitorPaletteColor(int entryCount);
