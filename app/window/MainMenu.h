// The main window's menu bar (File, Scanner, Logger, Help) with every text and
// key, and the actions behind it. Each action carries its command identifier;
// the window routes every triggered action through one handler.
//
// Space is bound once, to "Pause": both Space entries do the same, and one
// key on two actions would leave Qt with an ambiguous shortcut that fires
// neither. "[" and "]" are character keys; the grave accent starts Scan.
//
// Thread contract: GUI thread only.
#pragma once

#include <map>

class QAction;
class QMenuBar;
class QWidget;

// Fills the menu bar; the actions are also added to window so that their
// keys work wherever the focus is. Returns the actions by command identifier.
std::map<int, QAction*> BuildMainMenu(QMenuBar* bar, QWidget* window);
