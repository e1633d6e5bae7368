// The program's one main window: it holds the settings, the panes and one
// Session (session/Session.h), which owns the definition, the command engine
// with its port, the datalog, the Output log and the acquisition and
// recording control. It routes every menu command, key and tool-bar button to
// them and shows their state in the title and the status bar.
//
// Start-up (construction): splash, Settings.dat and the window's place, the
// status bar, the three tool-bar bands, the tab sheet with "Output" and the
// four panes, the last definition when the settings ask for it, the playback
// speed 1.0, and the check of the clock's resolution.
//
// Shutdown: closing the window (or File > Exit) does not destroy it. It starts
// the control thread with all three bits; the thread stops acquisition and the
// datalog and then posts "acquisition stopped", "datalog stopped" and "close"
// in that order. Only the last one lets the window close; closing stores its
// place and writes Settings.dat.
//
// The definition is replaced (load, import, edit, new) only while no
// acquisition and no log run against it; such a request is refused with a line
// in the Output log.
//
// Thread contract: a QWidget; every member runs on the GUI thread. Worker
// threads reach it only through DisplayBridge, which queues their calls.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

#include "acquisition/control/LoggerControl.h"
#include "app/prefs/PreferencesWindow.h"
#include "app/settings/AppSettings.h"
#include "app/window/WindowDialogs.h"
#include "controls/containers/QvSplash.h"
#include "session/Session.h"

class AcquisitionControl;
class ADXDefinition;
class DataLogFile;
class DisplayBridge;
class QvDebugOutput;
class IDefinitionEditor;
class LiveTelemetry;
class LogControlBar;
class OutputLog;
class QAction;
class QLabel;
class QToolBar;
class QvTabSheet;
class StatusFields;
class ViewPanes;

struct MainWindowOptions {
  // Settings.dat; empty: the settings are neither read nor written.
  std::string settingsPath;
  // The folder of the recording file temp.xdl.
  std::string recordingFolder;
  // The editor library's entry; null when it is not available.
  IDefinitionEditor* editor = nullptr;
  // Dialogs; null: the desktop's own.
  std::unique_ptr<IWindowDialogs> dialogs;
  bool showSplash = true;
  // A serial device for this run only; empty: the settings' port.
  std::string portOverride;
  // The screen size used for the first-run window place (0: the primary
  // screen's).
  int screenWidth = 0;
  int screenHeight = 0;
};

class AnalysisWindow;

class MainWindow : public QMainWindow, private ILoggerView {
  Q_OBJECT

 public:
  static constexpr int kDefaultWidth = 650;
  static constexpr int kDefaultHeight = 500;
  static constexpr int kSplashMs = 3000;

  explicit MainWindow(MainWindowOptions options);
  ~MainWindow() override;

  // Runs a command by its identifier (menu, key or tool-bar button).
  void RunCommand(int id);

  // Loads an ADX file into the definition, rebuilds the panes and the title.
  // Returns non-zero on success.
  int LoadDefinitionFile(const std::string& path);
  // Starts the orderly close (File > Exit, the close box).
  void RequestClose();

  // Shown state, on the GUI thread.
  void RefreshStatus();
  void UpdateTitle();
  void UpdateLoggerToolbar();
  void FlashStatus(const std::string& text, std::uint32_t textColor, std::uint32_t backColor, int ms);
  void SetSliderRange(int maximum);
  void SetSliderPosition(int position);

  // The three application messages.
  void OnAcquisitionStopped();
  // The connection could not open its port: a dialog with the system's reason.
  void OnPortOpenFailed(const std::string& text);
  void OnDatalogStopped();
  void OnCloseMessage();

  // Shows one tab by its title; false when there is none.
  bool SelectTab(const QString& title);
  // The serial device the next connection opens.
  std::string PortName() const;

  // For the program's start and for tests.
  AppSettings& Settings() { return settings_; }
  Session& CurrentSession() { return *session_; }
  ADXDefinition& Definition() { return session_->Definition(); }
  QvDebugOutput& Log() { return session_->Log(); }
  DataLogFile& Datalog() { return session_->Datalog(); }
  AcquisitionControl& Acquisition() { return session_->Acquisition(); }
  LoggerControl& Logger() { return session_->Logger(); }
  ViewPanes& Panes() { return *panes_; }
  OutputLog* Output() const { return output_; }
  StatusFields& Status() { return *status_; }
  QvTabSheet* TabSheet() const { return tabs_; }
  LogControlBar* LogBar() const { return logBar_; }
  QAction* Action(int id) const;
  QvSplash* Splash() const { return splash_; }
  PreferencesWindow* Preferences() const { return preferences_; }
  // Opens the log analysis window on a log, decoded with the loaded definition.
  AnalysisWindow* AnalyzeLog(const std::string& logPath);
  AnalysisWindow* Analysis() const;
  bool CloseRequested() const { return closeRequested_; }

 Q_SIGNALS:
  // The close is accepted: the window is still shown, the settings not yet
  // written.
  void aboutToClose();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // ILoggerView
  bool ChooseLogToLoad(std::string* path) override;
  bool ChooseSaveName(std::string* path) override;
  void ShowError(const std::string& title, const std::string& text) override;
  void RefreshTitle() override;
  void CheckSpeedItem(SpeedItem item) override;

  void ShowSplash();
  void PlaceWindow();
  void BuildToolBars();
  void BuildTabs();
  void CheckClockResolution();
  void RefreshPanes();
  // Ends the telemetry and starts it again for the current definition and broker.
  void RefreshTelemetry();
  bool DefinitionBusy();

  void SaveDefinition();
  void SaveDefinitionAs();
  void ImportDefinition();
  void EditDefinition();
  void NewDefinition();
  void OpenPreferences();
  void ShowAbout();
  void ToggleConnection();
  void PlayOrPause();
  void SetSpeed(float factor);
  bool SaveTo(const std::string& path);

  MainWindowOptions options_;
  std::unique_ptr<IWindowDialogs> dialogs_;
  AppSettings settings_;
  std::unique_ptr<ViewPanes> panes_;
  std::unique_ptr<DisplayBridge> bridge_;
  // Declared after what its workers reach (panes, bridge): destroyed first.
  std::unique_ptr<Session> session_;
  // Live values for the broker of the Preferences; attached to session_ and
  // ended before it.
  std::unique_ptr<LiveTelemetry> telemetry_;
  QLabel* telemetryField_ = nullptr;  // in the status bar while telemetry runs
  std::unique_ptr<StatusFields> status_;

  std::map<int, QAction*> actions_;
  QPointer<QvSplash> splash_;
  OutputLog* output_ = nullptr;
  QvTabSheet* tabs_ = nullptr;
  LogControlBar* logBar_ = nullptr;
  QPointer<PreferencesWindow> preferences_;
  QPointer<AnalysisWindow> analysis_;
  bool closeRequested_ = false;
  bool closeAllowed_ = false;
};
