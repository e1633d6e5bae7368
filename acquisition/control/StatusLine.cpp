#include "acquisition/control/StatusLine.h"

#include <cmath>
#include <cstdio>

#include "acquisition/control/ConnectionState.h"
#include "datalog/XdlFormat.h"
#include "definition/NumberText.h"

std::string ConnectionStateText(std::int32_t connectionState) {
  switch (connectionState) {
    case Connected:
      return "ALDL: Connected";
    case Connecting:
      return "ALDL: Connecting...";
    case NotConnected:
      return "ALDL: Not Connected";
    case LogPaused:
      return "Log Paused";
    default:
      return std::string();
  }
}

std::string StatusStateText(XdlState logState, std::int32_t connectionState) {
  if (logState == XDL_STATE_PLAYING) return "Log Playing";
  if (logState == XDL_STATE_RECORDING) return "Log Recording";
  return ConnectionStateText(connectionState);
}

std::optional<std::string> StatusFiguresText(const StatusLineInput& input) {
  char text[128];
  // A rate that is not a number or absurdly large would only make noise.
  const double rate = std::isfinite(input.rate) ? input.rate : 0.0;
  if (input.connectionState == Connected) {
    FormatCLocale(text, sizeof text, "%.2f Hz   Errors: %i", rate, static_cast<int>(input.errorCount));
    return std::string(text);
  }
  if (input.logState == XDL_STATE_PLAYING || input.logState == XDL_STATE_RECORDING) {
    const std::uint32_t ms = input.logTimeMs;
    FormatCLocale(text, sizeof text, "%.2f Hz  %i:%i:%.2i:%.3i", rate, static_cast<int>(ms / 3600000 % 60),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    return std::string(text);
  }
  if (input.connectionState == NotConnected) return std::string();
  return std::nullopt;
}

std::string ShortPathForm(const std::string& path) {
  std::size_t separators = 0;
  for (std::size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (c == '/' || c == '\\') {
      if (++separators == 2) return path.substr(i);
    }
  }
  if (separators == 1) {
    const std::size_t last = path.find_last_of("/\\");
    return path.substr(last + 1);
  }
  return path;
}

std::string WindowTitleText(const std::string& definitionPath, const std::string& logPath, float speed) {
  char title[256];
  const double percent = static_cast<double>(speed) * 100.0;
  const int shown = std::isfinite(percent) && std::fabs(percent) < 1e9 ? static_cast<int>(percent) : 0;
  std::snprintf(title, sizeof title, "Varnak - ADX: %s  XDL: %s (Speed: %i%%)",
                ShortPathForm(definitionPath).c_str(), ShortPathForm(logPath).c_str(), shown);
  return std::string(title);
}
