// The program's entry: the command line, the editor library, the main window
// and the event loop.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

#include "BoundEditor.h"
#include "EditorBinding.h"
#include "acquisition/control/platform/FileMove.h"
#include "app/analysis/AnalysisWindow.h"
#include "app/settings/AppSettings.h"
#include "app/window/CommandIds.h"
#include "app/window/CommandLine.h"
#include "app/window/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Varnak"));

  std::vector<std::string> args;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  CommandLineOptions command;
  std::string error;
  if (!ParseCommandLine(args, &command, &error)) {
    std::fprintf(stderr, "varnak: %s\n%s", error.c_str(), CommandLineUsage().c_str());
    return 2;
  }
  if (command.help) {
    std::fputs(CommandLineUsage().c_str(), stdout);
    return 0;
  }

  // The editor library is bound before any window exists; without it the
  // program does not start (the binding has shown why).
  EditorBinding binding;
  if (!binding.Bind(DefaultBindingMessages())) return 0;
  BoundEditor editor(binding);

  MainWindowOptions options;
  options.editor = &editor;
  options.settingsPath = DefaultSettingsFilePath();
  options.recordingFolder = DefaultRecordingFolder();
  options.portOverride = command.port;
  MainWindow window(std::move(options));
  window.show();

  if (!command.definition.empty()) {
    window.LoadDefinitionFile(
        QFileInfo(QString::fromStdString(command.definition)).absoluteFilePath().toStdString());
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
  // The picture is taken just before the close starts, while a scan still
  // runs; without --quit-after, when the user's close is accepted.
  bool pictureTaken = command.screenshot.empty();
  auto takePicture = [&window, &pictureTaken, file = QString::fromStdString(command.screenshot)] {
    if (pictureTaken) return;
    pictureTaken = true;
    QWidget* shown = window.Preferences() != nullptr
                         ? static_cast<QWidget*>(window.Preferences()->Container())
                         : static_cast<QWidget*>(&window);
    if (window.Analysis() != nullptr) shown = window.Analysis();
    if (!shown->grab().save(file)) std::fprintf(stderr, "varnak: cannot write %s\n", qPrintable(file));
  };
  QObject::connect(&window, &MainWindow::aboutToClose, &window, takePicture);
  if (command.quitAfterSeconds) {
    QTimer::singleShot(static_cast<int>(*command.quitAfterSeconds * 1000.0), &window, [&window, takePicture] {
      takePicture();
      window.RequestClose();
    });
  }
  return QApplication::exec();
}
