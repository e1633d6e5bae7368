#include "app/window/WindowTexts.h"

#include <algorithm>
#include <cstdio>

#include "acquisition/control/ConnectionState.h"
#include "acquisition/control/StatusLine.h"
#include "datalog/XdlFormat.h"

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

}  // namespace

std::string VersionText(std::string_view dotted) {
  int parts[4] = {0, 0, 0, 0};
  if (dotted.empty()) return {};
  int index = 0;
  bool digit = false;
  for (char c : dotted) {
    if (c >= '0' && c <= '9') {
      parts[index] = std::min(parts[index] * 10 + (c - '0'), 0xFFFF);
      digit = true;
    } else if (c == '.' && digit && index < 3) {
      ++index;
      digit = false;
    } else {
      return {};
    }
  }
  if (!digit) return {};
  char text[48];
  std::snprintf(text, sizeof text, "%i.%.2i.%.4i.%.2i", parts[0], parts[1], parts[2], parts[3]);
  return text;
}

bool ClockResolutionFine(long seconds, long nanoseconds) {
  return seconds == 0 && nanoseconds >= 0 && nanoseconds <= 1000;
}

StatusLook StatusStateLook(XdlState logState, std::int32_t connectionState) {
  if (logState == XDL_STATE_PLAYING) return {"Log Playing", Rgb(255, 255, 255), Rgb(0, 0, 255)};
  if (logState == XDL_STATE_RECORDING) return {"Log Recording", Rgb(255, 255, 255), Rgb(120, 120, 120)};
  switch (connectionState) {
    case NotConnected:
      return {ConnectionStateText(NotConnected), Rgb(0, 0, 0), Rgb(255, 255, 0)};
    case Connecting:
      return {ConnectionStateText(Connecting), Rgb(0, 0, 0), Rgb(255, 170, 130)};
    case Connected:
      return {ConnectionStateText(Connected), Rgb(255, 255, 255), Rgb(0, 0, 255)};
    case LogPaused:
      return {ConnectionStateText(LogPaused), Rgb(0, 0, 0), Rgb(255, 115, 40)};
    default:
      return {"", Rgb(0, 0, 0), Rgb(255, 255, 0)};
  }
}

SliderPlace LogSliderPlace(int barWidth, int toolbarRight) {
  SliderPlace place;
  place.x = toolbarRight + 1;
  place.width = std::clamp(barWidth - place.x - 2, 0, kLogSliderMaxWidth);
  return place;
}
