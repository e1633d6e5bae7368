#include "app/window/MainMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "app/window/CommandIds.h"

namespace {

struct MenuBuilder {
  QWidget* window;
  std::map<int, QAction*>& actions;

  // The text keeps its key hint after "\t" exactly as written; Qt then shows
  // that hint instead of composing one from the shortcut. "&" marks the
  // entry's Alt letter and is not part of the command's text.
  QAction* Add(QMenu* menu, int id, const char* text, const QKeySequence& key = {}, bool checkable = false) {
    auto* action = menu->addAction(QString::fromLatin1(text));
    action->setData(id);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    if (!key.isEmpty()) action->setShortcut(key);
    action->setCheckable(checkable);
    window->addAction(action);
    actions[id] = action;
    return action;
  }
};

}  // namespace

std::map<int, QAction*> BuildMainMenu(QMenuBar* bar, QWidget* window) {
  std::map<int, QAction*> actions;
  MenuBuilder b{window, actions};

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  b.Add(file, cmd::kLoadDefinition, "&Load Definition...\tCtrl + L", QKeySequence(Qt::CTRL | Qt::Key_L));
  b.Add(file, cmd::kSaveDefinition, "&Save Definition\tCtrl+S", QKeySequence(Qt::CTRL | Qt::Key_S));
  b.Add(file, cmd::kSaveDefinitionAs, "Save Definition &As...\tCtrl + Shift + S",
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  QMenu* import = file->addMenu(QStringLiteral("&Import"));
  b.Add(import, cmd::kImportDefinition, "&Definition...");
  file->addSeparator();
  b.Add(file, cmd::kEditDefinition, "&Edit Definition...\tCtrl + F2", QKeySequence(Qt::CTRL | Qt::Key_F2));
  b.Add(file, cmd::kNewDefinition, "&New Definition...\tCtrl + N", QKeySequence(Qt::CTRL | Qt::Key_N));
  file->addSeparator();
  b.Add(file, cmd::kPreferences, "&Preferences...");
  file->addSeparator();
  b.Add(file, cmd::kExit, "E&xit");

  QMenu* scanner = bar->addMenu(QStringLiteral("&Scanner"));
  b.Add(scanner, cmd::kScan, "&Scan\t`", QKeySequence(Qt::Key_QuoteLeft));

  QMenu* logger = bar->addMenu(QStringLiteral("&Logger"));
  b.Add(logger, cmd::kLoadLog, "&Load Log...\t Ctrl + Alt + L", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L));
  b.Add(logger, cmd::kAnalyzeLog, "A&nalyze Log...");
  b.Add(logger, cmd::kRecord, "&Record\tCtrl + Alt + Space",
        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Space));
  b.Add(logger, cmd::kPlay, "&Play\tSpace");
  b.Add(logger, cmd::kPause, "P&ause\tSpace", QKeySequence(Qt::Key_Space));
  b.Add(logger, cmd::kStop, "S&top\tCtrl + Space", QKeySequence(Qt::CTRL | Qt::Key_Space));
  logger->addSeparator();
  b.Add(logger, cmd::kJumpBackward, "Jump &Backward 10 Samples\t[", QKeySequence(Qt::Key_BracketLeft));
  b.Add(logger, cmd::kJumpForward, "Jump &Forward 10 Samples\t]", QKeySequence(Qt::Key_BracketRight));
  logger->addSeparator();
  QMenu* speed = logger->addMenu(QStringLiteral("Playback &Speed"));
  b.Add(speed, cmd::kSpeed400, "&400%\tCtrl + 7", QKeySequence(Qt::CTRL | Qt::Key_7), true);
  b.Add(speed, cmd::kSpeed200, "&200%\tCtrl + 6", QKeySequence(Qt::CTRL | Qt::Key_6), true);
  b.Add(speed, cmd::kSpeed100, "&100%\tCtrl + 5", QKeySequence(Qt::CTRL | Qt::Key_5), true);
  b.Add(speed, cmd::kSpeed50, "&50%\tCtrl + 4", QKeySequence(Qt::CTRL | Qt::Key_4), true);
  b.Add(speed, cmd::kSpeed25, "2&5%\tCtrl + 3", QKeySequence(Qt::CTRL | Qt::Key_3), true);
  b.Add(speed, cmd::kSpeedCustom, "&Custom...\tCtrl + 0", QKeySequence(Qt::CTRL | Qt::Key_0), true);

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  b.Add(help, cmd::kAbout, "&About ...");
  return actions;
}
