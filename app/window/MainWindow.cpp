#include "app/window/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include <time.h>

#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "app/analysis/AnalysisWindow.h"
#include "app/panes/DashPane.h"
#include "app/panes/HistogramPane.h"
#include "app/panes/ItemListPane.h"
#include "app/panes/MonitorPane.h"
#include "app/panes/ViewPanes.h"
#include "app/prefs/PreferencesWindow.h"
#include "app/window/AboutBox.h"
#include "app/window/CommandIds.h"
#include "app/window/DefinitionEditor.h"
#include "app/window/DisplayBridge.h"
#include "app/window/LogControlBar.h"
#include "app/window/MainMenu.h"
#include "app/window/OutputLog.h"
#include "app/window/SingleKeyGuard.h"
#include "app/window/StatusFields.h"
#include "app/window/Theme.h"
#include "app/window/ToolbarImages.h"
#include "app/window/WindowDialogs.h"
#include "app/window/WindowPlace.h"
#include "app/window/WindowTexts.h"
#include "controls/common/TextBytes.h"
#include "controls/containers/QvSplash.h"
#include "controls/containers/QvTabSheet.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "telemetry/LiveTelemetry.h"

namespace {

// The splash picture: the program's name over a dark band.
QPixmap SplashPicture() {
  QPixmap picture(420, 180);
  QPainter p(&picture);
  QLinearGradient gradient(0, 0, 0, 180);
  gradient.setColorAt(0, QColor(20, 40, 90));
  gradient.setColorAt(1, QColor(5, 10, 30));
  p.fillRect(picture.rect(), gradient);
  p.setPen(QColor(230, 230, 240));
  QFont title(QStringLiteral("Sans Serif"));
  title.setPixelSize(44);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(24, 30, 380, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Varnak"));
  QFont line(QStringLiteral("Sans Serif"));
  line.setPixelSize(13);
  p.setFont(line);
  p.setPen(QColor(170, 190, 230));
  p.drawText(QRect(26, 90, 380, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("ALDL monitor and datalogger"));
  return picture;
}

std::string Bounded(const std::string& text, std::size_t max) {
  return text.substr(0, std::min(text.size(), max));
}

}  // namespace

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options)) {
  dialogs_ = options_.dialogs ? std::move(options_.dialogs) : std::make_unique<QtWindowDialogs>(this);
  setWindowTitle(QStringLiteral("Varnak"));
  setObjectName(QStringLiteral("VARNAK"));
  setWindowIcon(ToolbarIcon(28));
  resize(kDefaultWidth, kDefaultHeight);

  panes_ = std::make_unique<ViewPanes>();
  bridge_ = std::make_unique<DisplayBridge>(*this, *panes_);
  SessionOptions sessionOptions;
  sessionOptions.recordingFolder = options_.recordingFolder;
  sessionOptions.observer = bridge_.get();
  sessionOptions.view = static_cast<ILoggerView*>(this);
  session_ = std::make_unique<Session>(std::move(sessionOptions));
  session_->AttachSink(bridge_.get());

  if (options_.showSplash) ShowSplash();
  PlaceWindow();

  status_ = std::make_unique<StatusFields>(statusBar());
  RefreshStatus();

  actions_ = BuildMainMenu(menuBar(), this);
  for (auto& [id, action] : actions_) {
    connect(action, &QAction::triggered, this, [this, id = id] { RunCommand(id); });
  }
  BuildToolBars();
  BuildTabs();
  new SingleKeyGuard(this);

  Logger().SetCurrentLogPath(settings_.lastxdlpath);
  // A first run has no definition yet: nothing to load, nothing to report.
  if (settings_.loadlastdef != 0 && !settings_.lastadxpath.empty()) LoadDefinitionFile(settings_.lastadxpath);
  if (!telemetry_) RefreshTelemetry();
  SetSpeed(1.0f);
  UpdateLoggerToolbar();
  CheckClockResolution();
}

MainWindow::~MainWindow() {
  // The session stops and joins its workers before the panes and the Output
  // tab they reach go away; the telemetry leaves the session first.
  telemetry_.reset();
  session_.reset();
  if (splash_) splash_->destroySplash();
}

void MainWindow::ShowSplash() {
  if (splash_) splash_->destroySplash();
  splash_ = new QvSplash(this, SplashPicture(), false);
  const std::string build = "Build " + VersionText(VARNAK_VERSION_TEXT);
  splash_->setItem(build.c_str(), QRect(260, 111, 150, 20), 1, nullptr, 0x00E6E6E6);
  splash_->showSplash(kSplashMs);
}

void MainWindow::PlaceWindow() {
  QList<QRect> screens;
  QRect primary;
  if (options_.screenWidth > 0 && options_.screenHeight > 0) {
    primary = QRect(0, 0, options_.screenWidth, options_.screenHeight);
    screens << primary;
  } else {
    for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    const QScreen* first = QGuiApplication::primaryScreen();
    primary = first != nullptr ? first->availableGeometry() : QRect(0, 0, 1024, 768);
  }
  SetDefaultWindowPlace(settings_, primary.width(), primary.height());
  if (!options_.settingsPath.empty()) LoadSettings(settings_, options_.settingsPath);
  // A place on a screen that is gone (or a nonsensical size) opens on the
  // primary screen instead.
  const QRect place = ChooseWindowPlace(
      QRect(settings_.winposx, settings_.winposy, settings_.winsizex, settings_.winsizey), screens, primary);
  setMinimumSize(kMinimumWindowSize);
  move(place.topLeft());
  resize(place.size());
}

void MainWindow::BuildToolBars() {
  const QSize iconSize(kToolbarImageSize, kToolbarImageSize);
  auto addButton = [this](QToolBar* bar, int image, int id, const char* tip) {
    QAction* action = bar->addAction(ToolbarIcon(image), QString());
    action->setToolTip(QString::fromLatin1(tip));
    action->setObjectName(QStringLiteral("tool%1").arg(id));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  };
  QToolBar* fileBar = addToolBar(QStringLiteral("File"));
  fileBar->setObjectName(QStringLiteral("10001"));
  fileBar->setIconSize(iconSize);
  fileBar->setMinimumHeight(21);
  addButton(fileBar, 0, cmd::kLoadDefinition, "Load ADX");
  addButton(fileBar, 1, cmd::kSaveDefinition, "Save ADX");
  addButton(fileBar, 18, cmd::kEditDefinition, "Edit ADX");

  QToolBar* scanBar = addToolBar(QStringLiteral("Scan"));
  scanBar->setObjectName(QStringLiteral("10010"));
  scanBar->setIconSize(iconSize);
  scanBar->setMinimumHeight(21);
  addButton(scanBar, 28, cmd::kScan, "Connect/Disconnect");

  QToolBar* logBand = addToolBar(QStringLiteral("Log"));
  logBand->setObjectName(QStringLiteral("band10007"));
  logBar_ = new LogControlBar(logBand);
  logBar_->setMinimumWidth(LogControlBar::kBandWidth);
  // The band takes the rest of the row, so the slider grows with the window.
  logBar_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  logBand->addWidget(logBar_);
  connect(logBar_, &LogControlBar::commandTriggered, this, [this](int id) { RunCommand(id); });
  connect(logBar_, &LogControlBar::sliderMovedByUser, this, [this](int position) {
    // A position past the end stops at the last record; nothing to report.
    (void)Logger().SliderMoved(position);
  });
}

void MainWindow::BuildTabs() {
  tabs_ = new QvTabSheet(this, 0, 0);
  tabs_->setCaptionShown(false);
  setCentralWidget(tabs_);
  output_ = new OutputLog;
  Log().SetSink(output_);
  tabs_->addPageWindow(output_, "Output", -1);
  tabs_->selectPage(0);
  tabs_->addPageWindow(panes_->Dash(), "Dash", -1);
  tabs_->addPageWindow(panes_->ItemLists(), "Item Lists", -1);
  tabs_->addPageWindow(panes_->Histograms(), "Histograms", -1);
  tabs_->addPageWindow(panes_->Monitors(), "Monitors", -1);
  RefreshPanes();
}

void MainWindow::CheckClockResolution() {
  timespec resolution{};
  const bool fine = ::clock_getres(CLOCK_MONOTONIC, &resolution) == 0 &&
                    ClockResolutionFine(static_cast<long>(resolution.tv_sec), resolution.tv_nsec);
  if (!fine) {
    dialogs_->ShowInformation(
        "Improper hardware",
        "Your CPU does not support high-resolution timer. This will prevent correct monitoring and logging.");
  }
}

QAction* MainWindow::Action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

bool MainWindow::SelectTab(const QString& title) {
  for (int i = 0; i < tabs_->pageCount(); ++i) {
    if (tabs_->tabs()->tabText(i).compare(title, Qt::CaseInsensitive) == 0) return tabs_->selectPage(i);
  }
  return false;
}

std::string MainWindow::PortName() const {
  return options_.portOverride.empty() ? settings_.comport : options_.portOverride;
}

void MainWindow::RunCommand(int id) {
  switch (id) {
    case cmd::kLoadDefinition:
      if (DefinitionBusy()) break;
      if (const auto path = dialogs_->ChooseFile(FileDialogKind::LoadDefinition)) LoadDefinitionFile(*path);
      break;
    case cmd::kSaveDefinition:
      SaveDefinition();
      break;
    case cmd::kSaveDefinitionAs:
      SaveDefinitionAs();
      break;
    case cmd::kImportDefinition:
      ImportDefinition();
      break;
    case cmd::kEditDefinition:
      EditDefinition();
      break;
    case cmd::kNewDefinition:
      NewDefinition();
      break;
    case cmd::kPreferences:
      OpenPreferences();
      break;
    case cmd::kExit:
      RequestClose();
      break;
    case cmd::kScan:
      ToggleConnection();
      break;
    case cmd::kLoadLog:
    case cmd::kBarLoadLog:
      Logger().LoadLog();
      break;
    case cmd::kAnalyzeLog:
      if (const auto path = dialogs_->ChooseFile(FileDialogKind::LoadLog)) AnalyzeLog(*path);
      break;
    case cmd::kRecord:
    case cmd::kBarRecord:
      // The logger reports its failures in the Output log and its dialogs.
      (void)Logger().Record();
      break;
    case cmd::kPlay:
    case cmd::kPause:
      PlayOrPause();
      break;
    case cmd::kBarPlay:
      (void)Logger().Play();  // failures are reported in the Output log
      break;
    case cmd::kBarPause:
      Logger().Pause();
      break;
    case cmd::kStop:
    case cmd::kBarStop:
      Logger().Stop();
      break;
    case cmd::kJumpBackward:
      (void)Logger().JumpBackward();  // a jump past either end stops there
      break;
    case cmd::kJumpForward:
      (void)Logger().JumpForward();
      break;
    case cmd::kSpeed400:
      SetSpeed(4.0f);
      break;
    case cmd::kSpeed200:
      SetSpeed(2.0f);
      break;
    case cmd::kSpeed100:
      SetSpeed(1.0f);
      break;
    case cmd::kSpeed50:
      SetSpeed(0.5f);
      break;
    case cmd::kSpeed25:
      SetSpeed(0.25f);
      break;
    case cmd::kSpeedCustom:
      // No action: the entry only carries the check mark of other speeds.
      CheckSpeedItem(CheckedSpeedItem(Logger().PlaybackSpeed()));
      break;
    case cmd::kAbout:
      ShowAbout();
      break;
    default:
      return;
  }
  // Play and unpause change what the state field shows without telling it.
  if (!closeAllowed_) RefreshStatus();
}

bool MainWindow::DefinitionBusy() {
  if (!session_->Busy()) return false;
  Log().LogText("Stop scanning and close the log before changing the definition");
  return true;
}

void MainWindow::RefreshPanes() {
  ADXDefinition* definition = &Definition();
  panes_->FillDashboards(definition);
  panes_->FillListViews(definition);
  panes_->FillHistograms(definition);
  panes_->BuildMonitors(definition);
}

int MainWindow::LoadDefinitionFile(const std::string& path) {
  if (DefinitionBusy()) return 0;
  if (path.size() > AppSettings::kPathMax) {
    // A cut path would name another file, which a later Save would write.
    Log().Log("FAILED to Load %s", path.c_str());
    Log().LogText("The path is longer than 259 characters");
    return 0;
  }
  const DefinitionLoad load = session_->LoadDefinition(path, DefinitionFormat::Adx, status_.get());
  if (load.ok) {
    settings_.lastadxpath = path;
    Log().Log("Loaded %s", path.c_str());
  } else {
    Log().Log("FAILED to Load %s", path.c_str());
    for (const std::string& message : load.messages) Log().LogText(message);
  }
  RefreshPanes();
  RefreshTelemetry();
  UpdateTitle();
  return load.ok ? 1 : 0;
}

void MainWindow::RefreshTelemetry() {
  // The sink knows the items of the definition it was made for.
  telemetry_.reset();
  MqttAddress broker;
  const bool on = !settings_.broker.empty() && ParseMqttAddress(settings_.broker, &broker);
  if (on) {
    telemetry_ = std::make_unique<LiveTelemetry>(*session_, broker, DefaultTelemetryName(),
                                                 [this](const std::string& text) { Log().LogText(text); });
    if (!telemetryField_) {
      telemetryField_ = new QLabel(this);
      telemetryField_->setObjectName(QStringLiteral("telemetryStatus"));
      statusBar()->addPermanentWidget(telemetryField_);
    }
    telemetryField_->setText(QString::fromStdString(telemetry_->StatusText()));
  }
  if (telemetryField_) telemetryField_->setVisible(on);
}

bool MainWindow::SaveTo(const std::string& path) {
  const int result = SaveAdx(&Definition(), path.c_str(), status_.get());
  if (result != 0) {
    Log().Log("Saved %s", path.c_str());
  } else {
    Log().Log("FAILED to Save %s", path.c_str());
  }
  return result != 0;
}

void MainWindow::SaveDefinition() {
  if (settings_.lastadxpath.empty()) {
    RunCommand(cmd::kSaveDefinitionAs);
    return;
  }
  SaveTo(settings_.lastadxpath);
}

void MainWindow::SaveDefinitionAs() {
  const auto path = dialogs_->ChooseFile(FileDialogKind::SaveDefinitionAs);
  if (!path) return;
  if (path->size() > AppSettings::kPathMax) {
    Log().Log("FAILED to Save %s", path->c_str());
    Log().LogText("The path is longer than 259 characters");
    return;
  }
  if (SaveTo(*path)) {
    settings_.lastadxpath = *path;
    UpdateTitle();
  }
}

void MainWindow::ImportDefinition() {
  if (DefinitionBusy()) return;
  const auto path = dialogs_->ChooseFile(FileDialogKind::ImportDefinition);
  if (!path) return;
  const DefinitionLoad load = session_->LoadDefinition(*path, DefinitionFormat::LegacyAds);
  Log().Log(load.ok ? "Imported %s" : "FAILED to Import %s", path->c_str());
  for (const std::string& message : load.messages) Log().LogText(message);
  if (load.ok) RefreshPanes();
  RefreshTelemetry();
  // The imported definition has no file yet: the next Save asks for a name.
  settings_.lastadxpath.clear();
  UpdateTitle();
}

void MainWindow::EditDefinition() {
  if (options_.editor == nullptr) {
    Log().LogText("The definition editor is not available");
    return;
  }
  if (DefinitionBusy()) return;
  char path[IDefinitionEditor::kPathBufferSize] = {};
  settings_.lastadxpath.copy(path, AppSettings::kPathMax);
  const std::int32_t result = options_.editor->Edit(this, path, &Log(), 0);
  path[AppSettings::kPathMax] = '\0';
  // The editor writes its final path back whatever it returns.
  settings_.lastadxpath = path;
  if (result != 0) LoadDefinitionFile(settings_.lastadxpath);
  UpdateTitle();
}

void MainWindow::NewDefinition() {
  if (options_.editor == nullptr) {
    Log().LogText("The definition editor is not available");
    return;
  }
  if (DefinitionBusy()) return;
  char path[IDefinitionEditor::kPathBufferSize] = {};
  const std::int32_t result = options_.editor->Edit(this, path, &Log(), 0);
  path[AppSettings::kPathMax] = '\0';
  if (result != 0) {
    settings_.lastadxpath = path;
    LoadDefinitionFile(settings_.lastadxpath);
  }
}

void MainWindow::OpenPreferences() {
  if (preferences_) {
    preferences_->raise();
    return;
  }
  preferences_ = new PreferencesWindow(
      this, PortName(), GeneralPreferences{settings_.theme, settings_.recordingfolder, settings_.broker});
  connect(preferences_, &PreferencesWindow::generalChosen, this, [this](const GeneralPreferences& general) {
    // A changed look applies at once; an unchanged one keeps this run's --theme.
    const ThemeChoice before = ParseThemeChoice(settings_.theme).value_or(ThemeChoice::System);
    const ThemeChoice after = ParseThemeChoice(general.theme).value_or(ThemeChoice::System);
    if (after != before) ApplyTheme(after);
    settings_.theme = general.theme;
    settings_.recordingfolder = Bounded(general.recordingFolder, AppSettings::kPathMax);
    const std::string broker = Bounded(general.broker, AppSettings::kPathMax);
    if (broker != settings_.broker) {
      settings_.broker = broker;
      RefreshTelemetry();
    }
  });
  connect(preferences_, &PreferencesWindow::portChosen, this, [this](const QString& port) {
    settings_.comport = Bounded(port.toStdString(), AppSettings::kPortMax);
    // The port chosen now replaces one given for this run.
    options_.portOverride.clear();
  });
  preferences_->Open();
}

AnalysisWindow* MainWindow::AnalyzeLog(const std::string& logPath) {
  // The analysis reads the log with a copy of the loaded definition of its
  // own; scanning and playback go on untouched.
  if (!analysis_) analysis_ = new AnalysisWindow(this);
  // The file of the definition shown now; none while nothing is loaded.
  analysis_->Open(Definition().ObjectCount() != 0 ? settings_.lastadxpath : std::string(), logPath);
  analysis_->show();
  analysis_->raise();
  return analysis_;
}

AnalysisWindow* MainWindow::Analysis() const {
  return analysis_;
}

void MainWindow::ShowAbout() {
  AboutBox box(this);
  box.exec();
}

void MainWindow::ToggleConnection() {
  if (!Acquisition().IsRunning()) Acquisition().SetPortName(PortName());
  Acquisition().ToggleConnection();
  RefreshStatus();
}

void MainWindow::PlayOrPause() {
  if (Datalog().State() == XDL_STATE_PLAYING) {
    Logger().Pause();
  } else {
    (void)Logger().Play();  // failures are reported in the Output log
  }
}

void MainWindow::SetSpeed(float factor) {
  Logger().SetPlaybackSpeed(factor);
}

void MainWindow::RequestClose() {
  if (closeRequested_) return;
  closeRequested_ = true;
  Acquisition().StartControlThread(AcquisitionControl::kStopAcquisition | AcquisitionControl::kStopDatalog |
                                   AcquisitionControl::kCloseWindow);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closeAllowed_) {
    event->ignore();
    RequestClose();
    return;
  }
  Q_EMIT aboutToClose();
  if (preferences_) preferences_->close();
  // No other window of the program keeps the event loop running.
  if (splash_) splash_->hideSplash();
  settings_.winposx = x();
  settings_.winposy = y();
  settings_.winsizex = width();
  settings_.winsizey = height();
  settings_.lastxdlpath = Logger().CurrentLogPath();
  if (!options_.settingsPath.empty()) SaveSettings(settings_, options_.settingsPath);
  event->accept();
}

void MainWindow::OnAcquisitionStopped() {
  panes_->SetValuesStale(true);
  RefreshStatus();
}

void MainWindow::OnPortOpenFailed(const std::string& text) {
  ShowError("Unable to open port", text);
}

void MainWindow::OnDatalogStopped() {
  panes_->SetValuesStale(true);
  Logger().OnDatalogStopped();
  UpdateLoggerToolbar();
  SetSliderPosition(0);
  RefreshStatus();
}

void MainWindow::OnCloseMessage() {
  closeAllowed_ = true;
  close();
}

void MainWindow::RefreshStatus() {
  if (status_) status_->Show(Acquisition().StatusSnapshot());
  if (telemetry_ && telemetryField_)
    telemetryField_->setText(QString::fromStdString(telemetry_->StatusText()));
}

void MainWindow::FlashStatus(const std::string& text, std::uint32_t textColor, std::uint32_t backColor,
                             int ms) {
  status_->Flash(text, textColor, backColor, ms);
}

void MainWindow::UpdateTitle() {
  setWindowTitle(TextFromBytes(
      WindowTitleText(settings_.lastadxpath, Logger().CurrentLogPath(), Logger().PlaybackSpeed())));
}

void MainWindow::UpdateLoggerToolbar() {
  if (logBar_ != nullptr) logBar_->Apply(Logger().ToolbarState());
}

void MainWindow::SetSliderRange(int maximum) {
  logBar_->SetSliderRange(maximum);
}

void MainWindow::SetSliderPosition(int position) {
  logBar_->SetSliderPosition(position);
}

bool MainWindow::ChooseLogToLoad(std::string* path) {
  const auto chosen = dialogs_->ChooseFile(FileDialogKind::LoadLog);
  if (!chosen) return false;
  *path = *chosen;
  return true;
}

bool MainWindow::ChooseSaveName(std::string* path) {
  const auto chosen = dialogs_->ChooseFile(FileDialogKind::SaveLog);
  if (!chosen) return false;
  *path = *chosen;
  return true;
}

void MainWindow::ShowError(const std::string& title, const std::string& text) {
  dialogs_->ShowError(title, text);
}

void MainWindow::RefreshTitle() {
  settings_.lastxdlpath = Logger().CurrentLogPath();
  UpdateTitle();
}

void MainWindow::CheckSpeedItem(SpeedItem item) {
  static constexpr std::pair<SpeedItem, int> kItems[] = {
      {SpeedItem::Speed400, cmd::kSpeed400}, {SpeedItem::Speed200, cmd::kSpeed200},
      {SpeedItem::Speed100, cmd::kSpeed100}, {SpeedItem::Speed50, cmd::kSpeed50},
      {SpeedItem::Speed25, cmd::kSpeed25},   {SpeedItem::Custom, cmd::kSpeedCustom}};
  for (const auto& [speedItem, id] : kItems) {
    if (QAction* action = Action(id)) action->setChecked(speedItem == item);
  }
}
