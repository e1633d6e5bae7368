// The program's entry: the command line, the editor library, the main window
// and the event loop.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/control/platform/FileMove.h"
#include "app/analysis/AnalysisWindow.h"
#include "app/binding/EditorBinding.h"
#include "app/main/BoundEditor.h"
#include "app/main/RunProbe.h"
#include "app/settings/AppSettings.h"
#include "app/window/CommandIds.h"
#include "app/window/CommandLine.h"
#include "app/window/MainWindow.h"
#include "app/window/Theme.h"
#include "app/window/WindowTexts.h"

namespace {

// Parses the arguments; answers wrong usage (2), --help and --version (0)
// on the spot and returns that status, else nothing.
std::optional<int> ParseOrAnswer(const std::vector<std::string>& args, CommandLineOptions* command) {
  std::string error;
  if (!ParseCommandLine(args, command, &error)) {
    std::fprintf(stderr, "varnak: %s\n%s", error.c_str(), CommandLineUsage().c_str());
    return 2;
  }
  if (command->help) {
    std::fputs(CommandLineUsage().c_str(), stdout);
    return 0;
  }
  if (command->version) {
    // The same text as the splash and the About box.
    std::printf("Varnak %s\n", VersionText(VARNAK_VERSION_TEXT).c_str());
    return 0;
  }
  return std::nullopt;
}

// Answers what needs no window before Qt looks for a display, so that
// --help, --version and a mistyped option work without one (and report
// instead of aborting). Returns the exit status, or nothing to go on. With
// one of Qt's own options ("-platform ...") the check waits for Qt to take
// those out.
std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-' && arg != "-h") return std::nullopt;
    args.push_back(arg);
  }
  CommandLineOptions command;
  return ParseOrAnswer(args, &command);
}

}  // namespace

int main(int argc, char** argv) {
  const auto mainEntered = std::chrono::steady_clock::now();
  if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Varnak"));

  std::vector<std::string> args;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  CommandLineOptions command;
  if (const std::optional<int> status = ParseOrAnswer(args, &command)) return *status;

  // The look is chosen before any window exists: this run's --theme, else
  // the stored preference, else the desktop's.
  const std::string settingsPath = DefaultSettingsFilePath();
  AppSettings stored;
  LoadSettings(stored, settingsPath);
  const std::string theme = !command.theme.empty() ? command.theme : stored.theme;
  ApplyTheme(ParseThemeChoice(theme).value_or(ThemeChoice::System));

  // The editor library is bound before any window exists; without it the
  // program does not start (the binding has shown why): a failure.
  EditorBinding binding;
  if (!binding.Bind(DefaultBindingMessages())) return 1;
  BoundEditor editor(binding);

  MainWindowOptions options;
  options.editor = &editor;
  options.settingsPath = settingsPath;
  options.recordingFolder =
      stored.recordingfolder.empty() ? DefaultRecordingFolder() : stored.recordingfolder;
  options.portOverride = command.port;
  MainWindow window(std::move(options));
  std::unique_ptr<RunProbe> probe;
  if (command.verbose) {
    const char* period = std::getenv("VARNAK_PROBE_SECONDS");
    probe = std::make_unique<RunProbe>(&window, mainEntered, period != nullptr ? std::atoi(period) : 10);
  }
  window.show();

  if (!command.definition.empty()) {
    const std::string path =
        QFileInfo(QString::fromStdString(command.definition)).absoluteFilePath().toStdString();
    if (window.LoadDefinitionFile(path) == 0) {
      // The Output log has the details; a script that named the file learns
      // of the failure from the message and the status.
      const int error = ::access(path.c_str(), R_OK) == 0 ? 0 : errno;
      std::fprintf(stderr, "varnak: FAILED to Load %s%s%s\n", path.c_str(), error != 0 ? ": " : "",
                   error != 0 ? std::strerror(error) : " (see the Output log)");
      return 1;
    }
  }
  if (!command.tab.empty() && !window.SelectTab(QString::fromStdString(command.tab))) {
    std::fprintf(stderr, "varnak: no tab named \"%s\"\n", command.tab.c_str());
  }
  if (command.preferences)
    QTimer::singleShot(0, &window, [&window] { window.RunCommand(cmd::kPreferences); });
  if (!command.analyze.empty()) {
    window.AnalyzeLog(QFileInfo(QString::fromStdString(command.analyze)).absoluteFilePath().toStdString());
  }
  if (command.scan) QTimer::singleShot(0, &window, [&window] { window.RunCommand(cmd::kScan); });
  // The long-session measurement records while it scans.
  if (probe && command.scan && std::getenv("VARNAK_PROBE_RECORD") != nullptr)
    QTimer::singleShot(2000, &window, [&window] { window.RunCommand(cmd::kRecord); });
  if (command.edit) QTimer::singleShot(0, &window, [&window] { window.RunCommand(cmd::kEditDefinition); });
  // The picture is taken just before the close starts, while a scan still
  // runs; without --quit-after, when the user's close is accepted.
  bool pictureTaken = command.screenshot.empty();
  auto takePicture = [&window, &pictureTaken, file = QString::fromStdString(command.screenshot)] {
    if (pictureTaken) return;
    pictureTaken = true;
    // A modal window (the editor) or Preferences in front, else the window.
    QWidget* shown = QApplication::activeModalWidget();
    if (shown == nullptr && window.Preferences() != nullptr) shown = window.Preferences()->Container();
    if (shown == nullptr) shown = &window;
    if (window.Analysis() != nullptr) shown = window.Analysis();
    if (!shown->grab().save(file)) std::fprintf(stderr, "varnak: cannot write %s\n", qPrintable(file));
  };
  QObject::connect(&window, &MainWindow::aboutToClose, &window, takePicture);
  if (command.quitAfterSeconds) {
    QTimer::singleShot(static_cast<int>(*command.quitAfterSeconds * 1000.0), &window, [&window, takePicture] {
      takePicture();
      // A modal window (the editor) closes first, so that the program can end.
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      window.RequestClose();
    });
  }
  return QApplication::exec();
}
