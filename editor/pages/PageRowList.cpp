#include "editor/pages/PageRowList.h"

#include <QDropEvent>

PageRowList::PageRowList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::InternalMove);
}

std::vector<int> PageRowList::SelectedRows() const {
  std::vector<int> rows;
  for (int r = 0; r < count(); ++r) {
    if (item(r)->isSelected()) rows.push_back(r);
  }
  return rows;
}

void PageRowList::SelectRows(const std::vector<int>& rows) {
  clearSelection();
  bool first = true;
  for (const int r : rows) {
    if (r < 0 || r >= count()) continue;
    if (first) setCurrentRow(r, QItemSelectionModel::ClearAndSelect);
    item(r)->setSelected(true);
    first = false;
  }
}

void PageRowList::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  const QModelIndex index = indexAt(event->position().toPoint());
  const int target = index.isValid() ? index.row() : -1;
  // The page rearranges the rows; Qt must not move the items as well.
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  Q_EMIT rowsDropped(SelectedRows(), target);
}
