#pragma once
// The editor's object tree. Dragging an item highlights the item under the
// mouse as the drop target; on release the tree reports the dragged item and
// the target and leaves the move itself to the dialog, which knows which drops
// are allowed.
//
// Thread contract: GUI thread only.
#include <QPointer>
#include <QTreeWidget>

class EditorTree : public QTreeWidget {
  Q_OBJECT

 public:
  explicit EditorTree(QWidget* parent);

 Q_SIGNALS:
  // Emitted after the drag has ended (queued), so the receiver may rebuild
  // items freely. target is null for a drop on empty space.
  void itemDropped(QTreeWidgetItem* dragged, QTreeWidgetItem* target);

 protected:
  void startDrag(Qt::DropActions supportedActions) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QTreeWidgetItem* dragged_ = nullptr;
};
