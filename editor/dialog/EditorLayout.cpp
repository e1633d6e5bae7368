#include "editor/dialog/EditorLayout.h"

#include <algorithm>

EditorLayout LayOutEditor(QSize dialog, const EditorLayoutMetrics& m) {
  EditorLayout out;
  const int buttonTop = dialog.height() - kEditorBottomMargin - m.buttonHeight;
  const int treeLeft = m.tree.left();
  const int treeRight = treeLeft + m.tree.width();  // first column right of the tree
  out.deleteButton = QRect(treeLeft, buttonTop, m.deleteWidth, m.buttonHeight);
  out.addButton = QRect(treeRight - m.addWidth, buttonTop, m.addWidth, m.buttonHeight);
  const int treeHeight = std::max(0, buttonTop - kEditorTreeGap - m.tree.top());
  out.tree = QRect(treeLeft, m.tree.top(), m.tree.width(), treeHeight);
  out.cancel = QRect(m.bottomButtonX[0], buttonTop, m.bottomButtonWidth, m.buttonHeight);
  out.save = QRect(m.bottomButtonX[1], buttonTop, m.bottomButtonWidth, m.buttonHeight);
  out.saveAs = QRect(m.bottomButtonX[2], buttonTop, m.bottomButtonWidth, m.buttonHeight);
  out.page = QRect(treeRight + 2, m.tree.top(), std::max(0, dialog.width() - treeRight - 4), treeHeight);
  return out;
}
