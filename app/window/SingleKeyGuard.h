// Keeps the window's single-key shortcuts (Space, the grave accent, "[" and
// "]") from taking a key that the focused control uses itself: while a
// button, check box, drop-down, spin box, editable text field or a grid
// (item view) has the focus, such a key goes to that control, so Space
// presses a focused button instead of playing the log. Keys with Ctrl or Alt
// are left to their shortcuts.
//
// Thread contract: GUI thread only (an event filter).
#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

// Whether a plain key (no Ctrl, Alt or Meta) is one of the window's
// single-key shortcuts.
[[nodiscard]] bool IsSingleKeyShortcut(int key, Qt::KeyboardModifiers modifiers);
// Whether a focused widget uses plain keys itself.
[[nodiscard]] bool WidgetTakesPlainKeys(const QWidget* focus);

class SingleKeyGuard : public QObject {
  Q_OBJECT

 public:
  // Watches the key events of `window` and its children.
  explicit SingleKeyGuard(QWidget* window);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};
