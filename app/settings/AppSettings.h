// The user settings kept between runs in Settings.dat: the serial device, the
// last definition and datalog, whether to load the definition at start, and
// the main window's place and size. The record is also the live home of the
// current definition path and the current datalog path while the program runs.
//
// File format: one "key=value" line per setting; keys are case-sensitive.
// Writing produces the eight classic lines in a fixed order, followed by the
// newer preferences (theme, recordingfolder, broker), each only when it holds
// something other than its default, so that a file written without them is
// byte for byte what older versions write; older readers ignore the extra
// keys. Reading overwrites only the fields that the file names and ignores
// unknown keys, lines without a value and lines without "=".
//
// Thread contract: plain data and free functions. The program's one record is
// read and written on the user-interface thread only; the acquisition thread
// gets the port name as a copy when a connection starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct AppSettings {
  // Longest text kept in a path field (a 260-byte buffer with its terminator).
  // The port holds a device path, so it gets the same room.
  static constexpr std::size_t kPathMax = 259;
  static constexpr std::size_t kPortMax = 259;
  // Longest piece of a line taken by one read; the rest of a longer line is
  // read as a line of its own.
  static constexpr std::size_t kLineMax = 511;
  static constexpr const char* kDefaultPort = "/dev/ttyUSB0";
  static constexpr const char* kFileName = "Settings.dat";

  std::string comport = kDefaultPort;
  std::string lastadxpath;
  std::string lastxdlpath;
  std::int32_t loadlastdef = 1;
  std::int32_t winposx = 0;
  std::int32_t winposy = 0;
  std::int32_t winsizex = 0;
  std::int32_t winsizey = 0;

  // Newer preferences, written only when set.
  // "system", "light" or "dark"; empty means "system".
  std::string theme;
  // Folder of the recording file; empty: the program's default folder.
  std::string recordingfolder;
  // Telemetry broker as host:port; empty: none.
  std::string broker;
};

// Whether a broker text is usable: a host name or address (letters, digits,
// ".", "-", "_" or a bracketed IPv6 address) and a port 1..65535 after the
// last ":". Empty is valid (no broker).
[[nodiscard]] bool BrokerTextValid(std::string_view text);

// The first-run window: 75% of the screen width wide, 55% of the screen
// width high (products cut to integers), centred on the screen.
void SetDefaultWindowPlace(AppSettings& settings, int screenWidth, int screenHeight);

// Reads settings text into the record (only the keys it names).
void ParseSettingsText(std::string_view text, AppSettings& settings);
// The text SaveSettings writes: eight lines, "\n" line ends.
std::string FormatSettingsText(const AppSettings& settings);

// Decimal text-to-integer as the settings file reads it: optional blanks and
// sign, then leading digits; 0 when there are none. Values beyond the 32-bit
// range are held at its ends.
std::int32_t SettingsInteger(std::string_view text);

// Reads the file; false (defaults kept) when it cannot be opened or the path
// is empty.
bool LoadSettings(AppSettings& settings, const std::string& path);
// Writes the file through a temporary file renamed over it, so that a failed
// write never leaves a half-written Settings.dat; false when it could not be
// written.
bool SaveSettings(const AppSettings& settings, const std::string& path);

// Where Settings.dat lives: beside the program when that folder already
// holds one (a portable installation), else "$XDG_CONFIG_HOME/varnak" (an absolute XDG_CONFIG_HOME), else
// "$HOME/.config/varnak". The folder is created when missing. Empty when no
// place can be had.
std::string SettingsFilePath(const std::string& programFolder, const char* xdgConfigHome, const char* home);
// The same from the process environment and the program's own folder.
std::string DefaultSettingsFilePath();
