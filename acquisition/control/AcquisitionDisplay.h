// What the panes, the status line and the logger bar hear from acquisition and
// playback: the one interface through which the worker threads reach the
// display. The program's main window implements it; the command-line tool
// implements it to write rows; tests implement it to collect the calls.
//
// Thread contract: every operation may be called on the acquisition thread,
// the playback thread, the control thread or the user-interface thread. The
// caller does not wait for the display: the main window's implementation
// copies what it needs (the packet bytes, the figures) and hands the work to
// the user-interface thread by a queued call, so a slow display never holds up
// the acquisition thread, and widgets are touched only on their own thread.
// Buffers passed in are valid only during the call. An implementation must not
// call back into AcquisitionControl operations that wait (stop, connect).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Which panes an update is for; a full update after a good packet names all of
// them. The values are the trigger command's bits.
inline constexpr std::uint32_t kPaneHistograms = 0x02;
inline constexpr std::uint32_t kPaneItemLists = 0x04;
inline constexpr std::uint32_t kPaneMonitors = 0x08;
inline constexpr std::uint32_t kPaneDashboards = 0x10;
inline constexpr std::uint32_t kPaneAll = kPaneHistograms | kPaneItemLists | kPaneMonitors | kPaneDashboards;

class IAcquisitionDisplay {
 public:
  virtual ~IAcquisitionDisplay() = default;

  // New data for the panes in `panes`: the time in seconds since the
  // connection or the log started, the packet (null for a trigger without a
  // packet) and the command that produced it. Items are evaluated against the
  // packet when they belong to no command or to this one.
  virtual void UpdatePanes(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet,
                           std::size_t length, std::uint32_t commandIdHash) = 0;
  // Clears every monitor chart and restarts its time axis at 0.
  virtual void ResetMonitors() = 0;
  // Moves the time cursor of every monitor chart.
  virtual void SetMonitorTimeCursor(double timeSeconds) = 0;
  // The status line follows the state again (AcquisitionControl::StatusLine).
  virtual void RefreshStatus() = 0;
  // Shows a short coloured text on the status line (colours 0x00BBGGRR).
  virtual void FlashStatus(std::string_view text, std::uint32_t textColor, std::uint32_t backColor,
                           std::uint32_t durationMs) = 0;
  // The logger toolbar follows the state again (UpdateLoggerToolbar).
  virtual void RefreshLoggerToolbar() = 0;
  // The playback position slider: its range 0 .. maximum, and its position.
  virtual void SetSliderRange(std::int32_t maximum) = 0;
  virtual void SetSlider(std::int32_t position) = 0;
  // Empties the Output log. Implementations clear the log's sink in the order
  // of the lines appended to it.
  virtual void ClearOutputLog() = 0;
};
