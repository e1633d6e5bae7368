// A main window for tests: its settings and recording file in a folder of
// their own, scripted answers for its dialogs, a scripted editor, and waiting
// with the event loop running.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "app/window/DefinitionEditor.h"
#include "app/window/MainWindow.h"
#include "app/window/OutputLog.h"
#include "app/window/StatusFields.h"
#include "app/window/WindowDialogs.h"
#include "controls/containers/QvRichStatic.h"
#include "controls/gauges/QvTextProgress.h"
#include "datalog/DataLogFile.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXDefinition.h"

// Answers the window's dialogs from queues; an empty queue is a cancel.
class ScriptedDialogs : public IWindowDialogs {
 public:
  struct Box {
    std::string title;
    std::string text;
  };
  std::map<FileDialogKind, std::deque<std::optional<std::string>>> answers;
  std::vector<FileDialogKind> asked;
  std::vector<Box> errors;
  std::vector<Box> informations;

  std::optional<std::string> ChooseFile(FileDialogKind kind) override {
    asked.push_back(kind);
    auto& queue = answers[kind];
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
  }
  void ShowError(const std::string& title, const std::string& text) override {
    errors.push_back({title, text});
  }
  void ShowInformation(const std::string& title, const std::string& text) override {
    informations.push_back({title, text});
  }
};

// Plays the editor: what it writes back into the path and what it returns.
class ScriptedEditor : public IDefinitionEditor {
 public:
  std::function<std::int32_t(char* path)> behaviour = [](char*) { return 0; };
  std::vector<std::string> pathsGiven;
  std::int32_t Edit(QWidget*, char* path, QvDebugOutput* log, std::uint32_t options) override {
    EXPECT_NE(log, nullptr);
    EXPECT_EQ(options, 0u);
    pathsGiven.emplace_back(path);
    return behaviour(path);
  }
};

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(2);
  }
  return true;
}

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/varnak-window-XXXXXX";
    folder_ = ::mkdtemp(pattern);
  }
  void TearDown() override {
    window_.reset();
    std::filesystem::remove_all(folder_);
  }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  std::string SettingsPath() const { return Path("Settings.dat"); }

  MainWindow& Open(const std::string& settingsText = "loadlastdef=0\n", const std::string& port = {}) {
    if (!settingsText.empty()) {
      std::FILE* f = std::fopen(SettingsPath().c_str(), "wb");
      std::fputs(settingsText.c_str(), f);
      std::fclose(f);
    }
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    MainWindowOptions options;
    options.settingsPath = SettingsPath();
    options.recordingFolder = folder_;
    options.editor = &editor_;
    options.dialogs = std::move(dialogs);
    options.showSplash = false;
    options.portOverride = port;
    options.screenWidth = 1600;
    options.screenHeight = 1000;
    window_ = std::make_unique<MainWindow>(std::move(options));
    return *window_;
  }

  // The window closes in order: the control thread stops everything and the
  // close message arrives.
  void CloseInOrder() {
    window_->close();
    ASSERT_TRUE(
        WaitUntil([&] { return !window_->isVisible() && window_->Acquisition().IsAcquisitionDone(); }));
  }

  QStringList LogLines() { return window_->Output()->Lines(); }
  bool LogHas(const QString& line) { return LogLines().contains(line); }
  std::string StateText() {
    char text[300] = {};
    window_->Status().StateField()->getText(text, sizeof text);
    return text;
  }
  std::string FiguresText() {
    char text[300] = {};
    window_->Status().FiguresField()->getText(text, sizeof text);
    return text;
  }
  std::string Title() const { return window_->windowTitle().toStdString(); }
  bool Checked(int id) const { return window_->Action(id)->isChecked(); }

  std::string folder_;
  ScriptedDialogs* dialogs_ = nullptr;
  ScriptedEditor editor_;
  std::unique_ptr<MainWindow> window_;
};
