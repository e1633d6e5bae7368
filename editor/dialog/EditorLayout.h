#pragma once
// Where the editor dialog's controls sit for a dialog size. The tree keeps its
// left edge, top and width; everything else follows the bottom edge.
//
// Thread contract: pure function.
#include <QRect>
#include <QSize>

#include <array>

struct EditorLayoutMetrics {
  QRect tree;  // left, top and width are kept; the height is computed
  int buttonHeight = 24;
  int deleteWidth = 70;                // "Delete", at the tree's left edge
  int addWidth = 100;                  // "Add New Item", at the tree's right edge
  int bottomButtonWidth = 80;          // "Cancel", "Save", "Save As..."
  std::array<int, 3> bottomButtonX{};  // their left edges, kept on resize
};

struct EditorLayout {
  QRect tree;
  QRect deleteButton;
  QRect addButton;
  QRect cancel;
  QRect save;
  QRect saveAs;
  QRect page;  // the current page: right of the tree, as high as the tree
};

// Bottom margin of the buttons and the gap between the tree and "Delete".
constexpr int kEditorBottomMargin = 5;
constexpr int kEditorTreeGap = 5;

EditorLayout LayOutEditor(QSize dialog, const EditorLayoutMetrics& metrics);
