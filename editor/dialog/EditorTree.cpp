#include "editor/dialog/EditorTree.h"

#include <QDropEvent>

EditorTree::EditorTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  // The drag only copies as far as Qt is concerned, so the view never removes
  // the dragged row by itself; the dialog moves it.
  setDefaultDropAction(Qt::CopyAction);
}

void EditorTree::startDrag(Qt::DropActions) {
  dragged_ = currentItem();
  if (dragged_ == nullptr || dragged_->parent() == nullptr) return;  // roots stay put
  QTreeWidget::startDrag(Qt::CopyAction);
  dragged_ = nullptr;
}

void EditorTree::dragMoveEvent(QDragMoveEvent* event) {
  QTreeWidget::dragMoveEvent(event);
  if (event->source() == this) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  }
}

void EditorTree::dropEvent(QDropEvent* event) {
  if (event->source() != this || dragged_ == nullptr) {
    event->ignore();
    return;
  }
  QTreeWidgetItem* target = itemAt(event->position().toPoint());
  event->setDropAction(Qt::CopyAction);
  event->accept();
  setState(QAbstractItemView::NoState);
  viewport()->update();
  QTreeWidgetItem* dragged = dragged_;
  QMetaObject::invokeMethod(
      this, [this, dragged, target] { Q_EMIT itemDropped(dragged, target); }, Qt::QueuedConnection);
}
