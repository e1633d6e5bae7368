#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <fstream>
#include <sstream>

#include "app/window/AboutBox.h"
#include "app/window/CommandIds.h"
#include "app/window/LogControlBar.h"
#include "controls/containers/QvTabSheet.h"
#include "definition/ADXFile.h"
#include "tests/app/window/WindowFixture.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ResultPrinting.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

const std::string kDemo = std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx";
const std::string kLegacy = std::string(VARNAK_SOURCE_DIR) + "/examples/legacy/ecu160_tbi_four.ads";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

QStringList MenuTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator()) texts << a->text();
  }
  return texts;
}

using WindowStart = WindowFixture;

TEST_F(WindowStart, PlacesItselfFromSettingsAndShowsAnEmptyDefinition) {
  MainWindow& w = Open(
      "loadlastdef=0\nwinposx=30\nwinposy=40\nwinsizex=700\nwinsizey=520\n"
      "lastxdlpath=/logs/may/run.xdl\n");
  EXPECT_EQ(w.pos(), QPoint(30, 40));
  EXPECT_EQ(w.size(), QSize(700, 520));
  EXPECT_EQ(Title(), "Varnak - ADX:   XDL: may/run.xdl (Speed: 100%)");
  EXPECT_TRUE(LogLines().isEmpty());  // nothing was loaded
  EXPECT_EQ(StateText(), "ALDL: Not Connected");
  EXPECT_EQ(w.Status().StateField()->look().backColor, 0x0000FFFFu);  // yellow
  EXPECT_TRUE(Checked(cmd::kSpeed100));
  EXPECT_FALSE(Checked(cmd::kSpeedCustom));
  // The clock of this computer is fine: no warning.
  EXPECT_TRUE(dialogs_->informations.empty());

  QStringList tabs;
  for (int i = 0; i < w.TabSheet()->pageCount(); ++i) tabs << w.TabSheet()->tabs()->tabText(i);
  EXPECT_EQ(tabs, QStringList({"Output", "Dash", "Item Lists", "Histograms", "Monitors"}));
  EXPECT_EQ(w.TabSheet()->currentPage(), 0);

  // Nothing to play, nothing to record without a connection.
  const LogControlBar* bar = w.LogBar();
  EXPECT_TRUE(bar->Button(cmd::kBarPlay)->isEnabled());
  EXPECT_FALSE(bar->Button(cmd::kBarRecord)->isEnabled());
  EXPECT_FALSE(bar->Button(cmd::kBarStop)->isEnabled());
  EXPECT_FALSE(bar->Slider()->isEnabled());
  EXPECT_EQ(bar->Button(cmd::kBarLoadLog)->toolTip(), "Select a Log Session to Play");
}

TEST_F(WindowStart, FirstRunWithoutSettingsLoadsNothingQuietly) {
  MainWindow& w = Open("");
  EXPECT_EQ(w.size(), QSize(1200, 880));  // 75% and 55% of the screen width
  EXPECT_EQ(w.pos(), QPoint(800 - 600, 500 - 440));
  // No definition was ever chosen: nothing to load and no failure to report.
  EXPECT_TRUE(LogLines().isEmpty());
  EXPECT_EQ(Title(), "Varnak - ADX:   XDL:  (Speed: 100%)");
}

TEST_F(WindowStart, SplashShowsTheBuildAndGoesAway) {
  std::FILE* f = std::fopen(SettingsPath().c_str(), "wb");
  std::fputs("loadlastdef=0\n", f);
  std::fclose(f);
  MainWindowOptions options;
  options.settingsPath = SettingsPath();
  options.dialogs = std::make_unique<ScriptedDialogs>();
  window_ = std::make_unique<MainWindow>(std::move(options));
  QvSplash* splash = window_->Splash();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->splashVisible());
  ASSERT_EQ(splash->items().size(), 1u);
  EXPECT_EQ(splash->items()[0].text, "Build 0.01.0000.00");
  EXPECT_EQ(splash->items()[0].rect.topLeft(), QPoint(260, 111));
  EXPECT_TRUE(WaitUntil([&] { return !splash->splashVisible(); }, MainWindow::kSplashMs + 2000));
}

TEST_F(WindowStart, MenuHoldsEveryCommandWithItsKey) {
  MainWindow& w = Open();
  const QList<QAction*> menus = w.menuBar()->actions();
  ASSERT_EQ(menus.size(), 4);
  QStringList titles;
  for (const QAction* menu : menus) titles << menu->text();
  EXPECT_EQ(titles, QStringList({"&File", "&Scanner", "&Logger", "&Help"}));
  // "&" marks each entry's Alt letter; the hint names the key that is bound.
  EXPECT_EQ(
      MenuTexts(menus[0]->menu()),
      QStringList({"&Load Definition...\tCtrl + L", "&Save Definition\tCtrl+S",
                   "Save Definition &As...\tCtrl + Shift + S", "&Import", "&Edit Definition...\tCtrl + F2",
                   "&New Definition...\tCtrl + N", "&Preferences...", "E&xit"}));
  EXPECT_EQ(MenuTexts(menus[1]->menu()), QStringList({"&Scan\t`"}));
  EXPECT_EQ(MenuTexts(menus[2]->menu()),
            QStringList({"&Load Log...\t Ctrl + Alt + L", "A&nalyze Log...", "&Record\tCtrl + Alt + Space",
                         "&Play\tSpace", "P&ause\tSpace", "S&top\tCtrl + Space",
                         "Jump &Backward 10 Samples\t[", "Jump &Forward 10 Samples\t]", "Playback &Speed"}));
  EXPECT_EQ(MenuTexts(menus[3]->menu()), QStringList({"&About ..."}));

  const std::map<int, QKeySequence> keys = {{cmd::kLoadDefinition, QKeySequence("Ctrl+L")},
                                            {cmd::kSaveDefinition, QKeySequence("Ctrl+S")},
                                            {cmd::kSaveDefinitionAs, QKeySequence("Ctrl+Shift+S")},
                                            {cmd::kEditDefinition, QKeySequence("Ctrl+F2")},
                                            {cmd::kNewDefinition, QKeySequence("Ctrl+N")},
                                            {cmd::kScan, QKeySequence(Qt::Key_QuoteLeft)},
                                            {cmd::kLoadLog, QKeySequence("Ctrl+Alt+L")},
                                            {cmd::kRecord, QKeySequence("Ctrl+Alt+Space")},
                                            {cmd::kPause, QKeySequence(Qt::Key_Space)},
                                            {cmd::kStop, QKeySequence("Ctrl+Space")},
                                            {cmd::kJumpBackward, QKeySequence("[")},
                                            {cmd::kJumpForward, QKeySequence("]")},
                                            {cmd::kSpeed400, QKeySequence("Ctrl+7")},
                                            {cmd::kSpeed25, QKeySequence("Ctrl+3")},
                                            {cmd::kSpeedCustom, QKeySequence("Ctrl+0")}};
  for (const auto& [id, key] : keys) EXPECT_EQ(w.Action(id)->shortcut(), key) << id;
  // Space lives on one action only, so that Qt never finds it ambiguous.
  EXPECT_TRUE(w.Action(cmd::kPlay)->shortcut().isEmpty());

  QStringList tips;
  for (const char* name : {"10001", "10010"}) {
    for (QAction* a : w.findChild<QToolBar*>(name)->actions()) tips << a->toolTip();
  }
  EXPECT_EQ(tips, QStringList({"Load ADX", "Save ADX", "Edit ADX", "Connect/Disconnect"}));
}

TEST_F(WindowStart, AboutBoxShowsTheVersion) {
  MainWindow& w = Open();
  AboutBox box(&w);
  EXPECT_EQ(box.findChild<QLabel*>("1012")->text(), "0.01.0000.00");
  EXPECT_EQ(CentredPosition(QRect(100, 100, 400, 300), QSize(101, 51)), QPoint(300 - 50, 250 - 25));
}

TEST_F(WindowStart, ClosingWritesTheSettingsWithThePlace) {
  MainWindow& w = Open("loadlastdef=0\ncomport=/dev/ttyACM1\n");
  w.show();
  w.move(25, 35);
  w.resize(640, 480);
  CloseInOrder();
  EXPECT_EQ(ReadFile(SettingsPath()),
            "lastadxpath=\ncomport=/dev/ttyACM1\nloadlastdef=0\nlastxdlpath=\n"
            "winposx=25\nwinposy=35\nwinsizex=640\nwinsizey=480\n");
}

using DefinitionCommands = WindowFixture;

TEST_F(DefinitionCommands, LoadShowsTheFileAndAFailedLoadKeepsIt) {
  MainWindow& w = Open();
  dialogs_->answers[FileDialogKind::LoadDefinition] = {kDemo};
  w.RunCommand(cmd::kLoadDefinition);
  EXPECT_EQ(w.Settings().lastadxpath, kDemo);
  EXPECT_EQ(Title(), "Varnak - ADX: examples/demo-ecu.adx  XDL:  (Speed: 100%)");
  EXPECT_TRUE(LogHas(QString::fromStdString("Loaded " + kDemo)));

  const std::string missing = Path("gone/missing.adx");
  EXPECT_EQ(w.LoadDefinitionFile(missing), 0);
  EXPECT_EQ(w.Settings().lastadxpath, kDemo);
  EXPECT_EQ(Title(), "Varnak - ADX: examples/demo-ecu.adx  XDL:  (Speed: 100%)");
  const QStringList lines = LogLines();
  const qsizetype failed = lines.indexOf(QString::fromStdString("FAILED to Load " + missing));
  ASSERT_GE(failed, 0);
  EXPECT_LT(failed + 1, lines.size());  // the loader's reason follows

  // A path too long for the settings is refused rather than cut.
  EXPECT_EQ(w.LoadDefinitionFile("/" + std::string(300, 'a') + ".adx"), 0);
  EXPECT_EQ(w.Settings().lastadxpath, kDemo);
}

TEST_F(DefinitionCommands, SaveAsksForANameOnlyWhenThereIsNone) {
  MainWindow& w = Open();
  w.RunCommand(cmd::kSaveDefinition);  // no path: Save As, cancelled
  ASSERT_EQ(dialogs_->asked, std::vector<FileDialogKind>{FileDialogKind::SaveDefinitionAs});
  EXPECT_EQ(w.Settings().lastadxpath, "");

  ASSERT_TRUE(w.LoadDefinitionFile(kDemo));
  const std::string copy = Path("copy.adx");
  dialogs_->answers[FileDialogKind::SaveDefinitionAs] = {copy};
  w.RunCommand(cmd::kSaveDefinitionAs);
  EXPECT_EQ(w.Settings().lastadxpath, copy);
  EXPECT_EQ(Title(),
            "Varnak - ADX: " + folder_.substr(folder_.rfind('/') + 1) + "/copy.adx  XDL:  (Speed: 100%)");
  ADXDefinition reread;
  ASSERT_EQ(LoadAdx(&reread, copy.c_str(), nullptr, 0, nullptr), 1);
  EXPECT_EQ(reread.ObjectCount(), w.Definition().ObjectCount());

  dialogs_->asked.clear();
  std::filesystem::remove(copy);
  w.RunCommand(cmd::kSaveDefinition);  // a path: no dialog
  EXPECT_TRUE(dialogs_->asked.empty());
  EXPECT_TRUE(std::filesystem::exists(copy));

  // A save that fails says so.
  dialogs_->answers[FileDialogKind::SaveDefinitionAs] = {Path("no/such/folder/x.adx")};
  w.RunCommand(cmd::kSaveDefinitionAs);
  EXPECT_EQ(w.Settings().lastadxpath, copy);
  EXPECT_TRUE(LogHas(QString::fromStdString("FAILED to Save " + Path("no/such/folder/x.adx"))));
}

TEST_F(DefinitionCommands, AnImportLeavesNoPathSoSaveAsksForOne) {
  MainWindow& w = Open();
  ASSERT_TRUE(w.LoadDefinitionFile(kDemo));
  dialogs_->answers[FileDialogKind::ImportDefinition] = {kLegacy};
  w.RunCommand(cmd::kImportDefinition);
  EXPECT_TRUE(LogHas(QString::fromStdString("Imported " + kLegacy)));
  EXPECT_EQ(w.Settings().lastadxpath, "");
  EXPECT_EQ(Title(), "Varnak - ADX:   XDL:  (Speed: 100%)");
  EXPECT_GT(w.Definition().ObjectCount(), 0u);

  // A failed import clears the path as well.
  ASSERT_TRUE(w.LoadDefinitionFile(kDemo));
  dialogs_->answers[FileDialogKind::ImportDefinition] = {Path("missing.ads")};
  w.RunCommand(cmd::kImportDefinition);
  EXPECT_TRUE(LogHas(QString::fromStdString("FAILED to Import " + Path("missing.ads"))));
  EXPECT_EQ(w.Settings().lastadxpath, "");

  dialogs_->asked.clear();
  w.RunCommand(cmd::kSaveDefinition);
  EXPECT_EQ(dialogs_->asked, std::vector<FileDialogKind>{FileDialogKind::SaveDefinitionAs});
}

TEST_F(DefinitionCommands, EditAndNewFollowWhatTheEditorWroteBack) {
  MainWindow& w = Open();
  ASSERT_TRUE(w.LoadDefinitionFile(kDemo));
  const std::size_t objects = w.Definition().ObjectCount();

  // Cancelled: the path the editor hands back is the one it got.
  editor_.behaviour = [](char*) { return 0; };
  w.RunCommand(cmd::kEditDefinition);
  EXPECT_EQ(editor_.pathsGiven.back(), kDemo);
  EXPECT_EQ(w.Settings().lastadxpath, kDemo);
  EXPECT_EQ(w.Definition().ObjectCount(), objects);

  // The file did not load in the editor: the path comes back empty.
  editor_.behaviour = [](char* path) {
    path[0] = '\0';
    return 0;
  };
  w.RunCommand(cmd::kEditDefinition);
  EXPECT_EQ(w.Settings().lastadxpath, "");

  // A new definition that was never saved changes nothing.
  ASSERT_TRUE(w.LoadDefinitionFile(kDemo));
  w.RunCommand(cmd::kNewDefinition);
  EXPECT_EQ(editor_.pathsGiven.back(), "");
  EXPECT_EQ(w.Settings().lastadxpath, kDemo);

  // A new definition saved in the editor is loaded and becomes current.
  const std::string saved = Path("new.adx");
  ADXDefinition empty;
  ASSERT_EQ(SaveAdx(&empty, saved.c_str(), nullptr), 1);
  editor_.behaviour = [saved](char* path) {
    std::snprintf(path, IDefinitionEditor::kPathBufferSize, "%s", saved.c_str());
    return 1;
  };
  w.RunCommand(cmd::kNewDefinition);
  EXPECT_EQ(w.Settings().lastadxpath, saved);
  EXPECT_EQ(w.Definition().ObjectCount(), 0u);
  EXPECT_TRUE(LogHas(QString::fromStdString("Loaded " + saved)));
}

TEST_F(DefinitionCommands, WithoutTheEditorLibraryEditSaysSo) {
  auto dialogs = std::make_unique<ScriptedDialogs>();
  MainWindowOptions options;
  options.dialogs = std::move(dialogs);
  options.showSplash = false;
  window_ = std::make_unique<MainWindow>(std::move(options));
  window_->RunCommand(cmd::kEditDefinition);
  window_->RunCommand(cmd::kNewDefinition);
  EXPECT_EQ(LogLines().count("The definition editor is not available"), 2);
}

using Preferences = WindowFixture;

TEST_F(Preferences, PortNumberEditsTheEndOfTheDevicePath) {
  MainWindow& w = Open("loadlastdef=0\ncomport=/dev/ttyUSB0\n", "/dev/pts/9");
  w.show();
  EXPECT_EQ(w.PortName(), "/dev/pts/9");  // given for this run
  w.RunCommand(cmd::kPreferences);
  PreferencesWindow* prefs = w.Preferences();
  ASSERT_NE(prefs, nullptr);
  QvPropTreeContainer* container = prefs->Container();
  EXPECT_EQ(container->windowTitle(), "Preferences");
  EXPECT_EQ(container->windowModality(), Qt::WindowModal);  // the main window takes no input
  QStringList pages;
  for (int i = 0; i < container->tree()->topLevelItemCount(); ++i)
    pages << container->tree()->topLevelItem(i)->text(0);
  EXPECT_EQ(pages, QStringList({"General", "COM Setup", "Keyboard Accelerators"}));
  EXPECT_EQ(container->tree()->currentItem()->text(0), "COM Setup");
  QLineEdit* number = prefs->PortNumberEdit();
  EXPECT_EQ(number->text(), "9");
  EXPECT_EQ(number->maxLength(), 2);

  // Cancel changes nothing.
  container->pressCancel();
  ASSERT_TRUE(WaitUntil([&] { return w.Preferences() == nullptr; }));
  EXPECT_EQ(w.Settings().comport, "/dev/ttyUSB0");
  EXPECT_EQ(w.PortName(), "/dev/pts/9");

  // OK stores the path with the new number; it replaces the one of this run.
  w.RunCommand(cmd::kPreferences);
  prefs = w.Preferences();
  prefs->PortNumberEdit()->setText("12");
  EXPECT_EQ(prefs->ChosenPort(), "/dev/pts/12");
  prefs->Container()->pressOk();
  ASSERT_TRUE(WaitUntil([&] { return w.Preferences() == nullptr; }));
  EXPECT_EQ(w.Settings().comport, "/dev/pts/12");
  EXPECT_EQ(w.PortName(), "/dev/pts/12");
}

using LogCommands = WindowFixture;

TEST_F(LogCommands, LoadLogNamesTheLogAndPlayReportsOneThatCannotOpen) {
  MainWindow& w = Open();
  const std::string log = Path("runs/missing.xdl");
  dialogs_->answers[FileDialogKind::LoadLog] = {log};
  w.RunCommand(cmd::kLoadLog);
  EXPECT_EQ(Title(), "Varnak - ADX:   XDL: runs/missing.xdl (Speed: 100%)");
  EXPECT_EQ(w.Settings().lastxdlpath, log);
  w.RunCommand(cmd::kPlay);
  EXPECT_TRUE(LogHas(QString::fromStdString("Could not open " + log + ", error 0xC")));
  EXPECT_EQ(StateText(), "ALDL: Not Connected");
  EXPECT_EQ(w.Datalog().State(), XDL_STATE_CLOSED);
  // A cancelled dialog keeps the log.
  w.RunCommand(cmd::kLoadLog);
  EXPECT_EQ(w.Settings().lastxdlpath, log);
}

using Speeds = WindowFixture;

TEST_F(Speeds, MenuChecksFollowTheSpeedAndCustomDoesNothing) {
  MainWindow& w = Open();
  w.RunCommand(cmd::kSpeed200);
  EXPECT_TRUE(Checked(cmd::kSpeed200));
  EXPECT_FALSE(Checked(cmd::kSpeed100));
  EXPECT_EQ(Title(), "Varnak - ADX:   XDL:  (Speed: 200%)");
  w.Action(cmd::kSpeedCustom)->trigger();  // Ctrl+0
  EXPECT_TRUE(Checked(cmd::kSpeed200));
  EXPECT_FALSE(Checked(cmd::kSpeedCustom));
  EXPECT_FLOAT_EQ(w.Logger().PlaybackSpeed(), 2.0f);
  w.Logger().SetPlaybackSpeed(1.5f);  // set from elsewhere
  EXPECT_TRUE(Checked(cmd::kSpeedCustom));
  EXPECT_FALSE(Checked(cmd::kSpeed200));
  EXPECT_EQ(Title(), "Varnak - ADX:   XDL:  (Speed: 150%)");
  for (const auto& [id, percent] : std::vector<std::pair<int, int>>{
           {cmd::kSpeed400, 400}, {cmd::kSpeed100, 100}, {cmd::kSpeed50, 50}, {cmd::kSpeed25, 25}}) {
    w.Action(id)->trigger();
    EXPECT_TRUE(Checked(id));
    EXPECT_EQ(Title(), "Varnak - ADX:   XDL:  (Speed: " + std::to_string(percent) + "%)");
  }
}

}  // namespace
