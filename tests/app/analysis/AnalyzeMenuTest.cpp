// The main window's hooks into the analysis: Logger > "Analyze Log..." opens
// the chosen log in the analysis window with the loaded definition, leaving
// the live datalog alone; --analyze on the command line names the log.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/analysis/AnalysisWindow.h"
#include "app/window/CommandIds.h"
#include "app/window/CommandLine.h"
#include "datalog/DataLogFile.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/app/window/WindowFixture.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ResultPrinting.h"

namespace {

using namespace analysistest;

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

class AnalyzeMenuTest : public WindowFixture {};

TEST_F(AnalyzeMenuTest, LoggerMenuOpensTheChosenLogWithTheLoadedDefinition) {
  ADXDefinition def;
  const EngineDefinition engine = BuildEngineDefinition(def);
  const std::string adx = Path("engine.adx");
  ASSERT_EQ(SaveAdx(&def, adx.c_str(), nullptr), 1);
  const std::string log = Path("drive.xdl");
  xdltest::WriteAll(log, xdltest::BuildLog(EngineEntries(engine), EngineRecords(200)));

  MainWindow& window = Open();
  // Without a definition the analysis window says what is missing.
  AnalysisWindow* early = window.AnalyzeLog(log);
  ASSERT_NE(early, nullptr);
  EXPECT_TRUE(early->StatusText().contains("Load a definition first"));
  early->close();
  ASSERT_NE(window.LoadDefinitionFile(adx), 0);
  QAction* action = window.Action(cmd::kAnalyzeLog);
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(action->text().startsWith("A&nalyze Log..."));
  bool inLogger = false;
  for (QAction* menu : window.menuBar()->actions()) {
    if (menu->text() == "&Logger" && menu->menu() != nullptr)
      inLogger = menu->menu()->actions().contains(action);
  }
  EXPECT_TRUE(inLogger);

  // A cancelled dialog opens nothing new.
  action->trigger();
  EXPECT_FALSE(window.Analysis()->IsLoaded());
  dialogs_->answers[FileDialogKind::LoadLog].push_back(log);
  action->trigger();
  AnalysisWindow* analysis = window.Analysis();
  ASSERT_NE(analysis, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return analysis->IsLoaded(); }, 20000));
  EXPECT_EQ(analysis->Log()->RecordCount(), 200u);
  EXPECT_TRUE(analysis->isVisible());
  // The live datalog is not touched.
  EXPECT_EQ(window.Datalog().State(), XDL_STATE_CLOSED);
  CloseInOrder();
}

TEST(AnalyzeCommandLine, NamesTheLogToOpen) {
  CommandLineOptions options;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"def.adx", "--analyze", "drive.xdl", "--quit-after", "2"}, &options, &error));
  EXPECT_EQ(options.analyze, "drive.xdl");
  EXPECT_EQ(options.definition, "def.adx");
  EXPECT_FALSE(ParseCommandLine({"--analyze"}, &options, &error));
  EXPECT_NE(error.find("--analyze needs a value"), std::string::npos);
  EXPECT_NE(CommandLineUsage().find("--analyze LOG.xdl"), std::string::npos);
}

}  // namespace
