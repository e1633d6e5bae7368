// The command identifiers of the main window: menu entries, keys and tool-bar
// buttons send the same numbers. Actions carry them as their data and as
// their object names ("cmd32772"); the log bar's buttons as object names
// ("20001").
#pragma once

namespace cmd {
inline constexpr int kLoadDefinition = 32772;
inline constexpr int kSaveDefinition = 32780;
inline constexpr int kSaveDefinitionAs = 32781;
inline constexpr int kImportDefinition = 32779;
inline constexpr int kEditDefinition = 32785;
inline constexpr int kNewDefinition = 32792;
inline constexpr int kPreferences = 32783;
inline constexpr int kExit = 105;
inline constexpr int kScan = 32774;
inline constexpr int kLoadLog = 32808;
inline constexpr int kAnalyzeLog = 32840;
inline constexpr int kRecord = 32804;
inline constexpr int kPlay = 32805;
inline constexpr int kPause = 32807;
inline constexpr int kStop = 32806;
inline constexpr int kJumpBackward = 32833;
inline constexpr int kJumpForward = 32832;
inline constexpr int kSpeed400 = 32809;
inline constexpr int kSpeed200 = 32810;
inline constexpr int kSpeed100 = 32811;
inline constexpr int kSpeed50 = 32812;
inline constexpr int kSpeed25 = 32813;
inline constexpr int kSpeedCustom = 32815;
inline constexpr int kAbout = 104;

// Buttons of the log bar.
inline constexpr int kBarPlay = 20000;
inline constexpr int kBarRecord = 20001;
inline constexpr int kBarStop = 20002;
inline constexpr int kBarPause = 20003;
inline constexpr int kBarLoadLog = 20004;
}  // namespace cmd
