#pragma once
// A list of rows whose selected rows can be dragged together in front of
// another row. The list does not move anything itself: it reports the drop and
// the page rearranges its rows and refills the list.
//
// Thread contract: a widget; GUI thread only.
#include <QListWidget>

#include <functional>
#include <vector>

class PageRowList : public QListWidget {
  Q_OBJECT

 public:
  explicit PageRowList(QWidget* parent);

  // The selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  // Selects exactly these rows and makes the first current.
  void SelectRows(const std::vector<int>& rows);

 Q_SIGNALS:
  // The selected rows were dropped on row target (-1: below the last row).
  void rowsDropped(std::vector<int> selected, int target);

 protected:
  void dropEvent(QDropEvent* event) override;
};
