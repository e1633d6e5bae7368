#include "app/settings/AppSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "acquisition/control/platform/FileMove.h"

namespace {

std::string Bounded(std::string_view text, std::size_t max) {
  return std::string(text.substr(0, std::min(text.size(), max)));
}

// One piece of a line as a single read takes it: the key, the first "="
// (leading "=" skipped), and the value up to the line end (leading line ends
// skipped). Pieces without a value are ignored.
void ParsePiece(std::string_view piece, AppSettings& settings) {
  std::size_t start = 0;
  while (start < piece.size() && piece[start] == '=') ++start;
  const std::size_t equals = piece.find('=', start);
  if (equals == std::string_view::npos) return;
  const std::string_view key = piece.substr(start, equals - start);
  std::size_t valueStart = equals + 1;
  while (valueStart < piece.size() && (piece[valueStart] == '\n' || piece[valueStart] == '\r')) ++valueStart;
  std::size_t valueEnd = piece.find('\n', valueStart);
  if (valueEnd == std::string_view::npos) valueEnd = piece.size();
  // A file written with "\r\n" line ends reads the same.
  if (valueEnd > valueStart && piece[valueEnd - 1] == '\r') --valueEnd;
  if (valueEnd <= valueStart) return;
  const std::string_view value = piece.substr(valueStart, valueEnd - valueStart);

  if (key == "lastadxpath") {
    settings.lastadxpath = Bounded(value, AppSettings::kPathMax);
  } else if (key == "lastxdlpath") {
    settings.lastxdlpath = Bounded(value, AppSettings::kPathMax);
  } else if (key == "comport") {
    settings.comport = Bounded(value, AppSettings::kPortMax);
  } else if (key == "loadlastdef") {
    settings.loadlastdef = SettingsInteger(value);
  } else if (key == "winposx") {
    settings.winposx = SettingsInteger(value);
  } else if (key == "winposy") {
    settings.winposy = SettingsInteger(value);
  } else if (key == "winsizex") {
    settings.winsizex = SettingsInteger(value);
  } else if (key == "winsizey") {
    settings.winsizey = SettingsInteger(value);
  } else if (key == "theme") {
    settings.theme = Bounded(value, 16);
  } else if (key == "recordingfolder") {
    settings.recordingfolder = Bounded(value, AppSettings::kPathMax);
  } else if (key == "broker") {
    settings.broker = Bounded(value, AppSettings::kPathMax);
  }
}

bool IsWritableFolder(const std::string& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool MakeFolders(const std::string& path) {
  std::string partial;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    partial = path.substr(0, pos);
    if (partial.empty()) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

void SetDefaultWindowPlace(AppSettings& settings, int screenWidth, int screenHeight) {
  settings.winsizex = static_cast<std::int32_t>(screenWidth * 0.75);
  settings.winsizey = static_cast<std::int32_t>(screenWidth * 0.55);
  settings.winposx =
      screenWidth / 2 - static_cast<std::int32_t>(static_cast<std::uint32_t>(settings.winsizex) >> 1);
  settings.winposy =
      screenHeight / 2 - static_cast<std::int32_t>(static_cast<std::uint32_t>(settings.winsizey) >> 1);
}

bool BrokerTextValid(std::string_view text) {
  if (text.empty()) return true;
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 >= text.size()) return false;
  const std::string_view host = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  if (port.size() > 5) return false;
  long number = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (number < 1 || number > 65535) return false;
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    for (char c : host.substr(1, host.size() - 2)) {
      const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':';
      if (!ok) return false;
    }
    return true;
  }
  for (char c : host) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
                    c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

std::int32_t SettingsInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return static_cast<std::int32_t>(value);
}

void ParseSettingsText(std::string_view text, AppSettings& settings) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    // One read: up to the line end (kept) or kLineMax characters.
    std::size_t end = text.find('\n', pos);
    end = end == std::string_view::npos ? text.size() : end + 1;
    if (end - pos > AppSettings::kLineMax) end = pos + AppSettings::kLineMax;
    ParsePiece(text.substr(pos, end - pos), settings);
    pos = end;
  }
}

std::string FormatSettingsText(const AppSettings& settings) {
  std::ostringstream out;
  out << "lastadxpath=" << settings.lastadxpath << '\n'
      << "comport=" << settings.comport << '\n'
      << "loadlastdef=" << settings.loadlastdef << '\n'
      << "lastxdlpath=" << settings.lastxdlpath << '\n'
      << "winposx=" << settings.winposx << '\n'
      << "winposy=" << settings.winposy << '\n'
      << "winsizex=" << settings.winsizex << '\n'
      << "winsizey=" << settings.winsizey << '\n';
  if (!settings.theme.empty() && settings.theme != "system") out << "theme=" << settings.theme << '\n';
  if (!settings.recordingfolder.empty()) out << "recordingfolder=" << settings.recordingfolder << '\n';
  if (!settings.broker.empty()) out << "broker=" << settings.broker << '\n';
  return out.str();
}

bool LoadSettings(AppSettings& settings, const std::string& path) {
  if (path.empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  ParseSettingsText(text.str(), settings);
  return true;
}

bool SaveSettings(const AppSettings& settings, const std::string& path) {
  if (path.empty()) return false;
  const std::string temp = path + ".new";
  const std::string text = FormatSettingsText(settings);
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = (std::fflush(file) == 0) && ok;
  ok = (std::fclose(file) == 0) && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

std::string SettingsFilePath(const std::string& programFolder, const char* xdgConfigHome, const char* home) {
  // A portable installation keeps its settings beside the program; a build
  // folder or an installed package never gets files written into it.
  const std::string portable = programFolder + "/" + AppSettings::kFileName;
  if (IsWritableFolder(programFolder) && ::access(portable.c_str(), F_OK) == 0) return portable;
  std::string folder;
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    folder = std::string(xdgConfigHome) + "/varnak";
  } else if (home != nullptr && home[0] == '/') {
    folder = std::string(home) + "/.config/varnak";
  } else {
    return {};
  }
  if (!MakeFolders(folder)) return {};
  return folder + "/" + AppSettings::kFileName;
}

std::string DefaultSettingsFilePath() {
  return SettingsFilePath(ProgramFolder(), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}
