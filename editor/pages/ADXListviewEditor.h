#pragma once
// The item list view page: the rows of the view (items and separators), the
// buttons that insert items and separators and delete rows, and the selected
// row's colour, bold flag and separator text. Rows are edited on a copy of the
// entries that Commit writes back; property changes go into the copy at once.
#include <vector>

#include "definition/ADXListView.h"
#include "editor/pages/ADXPageBase.h"

class PageRowList;
class QCheckBox;
class QLineEdit;
class QPushButton;

class ADXListviewEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXListviewEditor(QWidget* parent, IEditorPageServices* services);

  // "Insert Items ->": the item browser (values and bitmasks, several).
  void InsertItems();
  // "Insert Separator->": a bold "New Separator", selected.
  void InsertSeparator();
  // "Delete Items ->": the selected rows.
  void DeleteItems();
  // The swatch: the colour chooser for the selected rows' colour.
  void ChooseColor();
  // A drag of the selected rows onto row target (-1: the end).
  void MoveRows(std::vector<int> selected, int target);

  const std::vector<ListViewEntry>& Rows() const { return rows_; }
  PageRowList* List() const { return list_; }

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  // The insertion row: before the selected row, at the end with none; -2 (after
  // the warning) when several rows are selected.
  int InsertionRow();
  void Refill(const std::vector<int>& select);
  void WriteRow(int row);
  void ShowSelection();
  int SingleSelected() const;

  PageRowList* list_;
  QPushButton* color_;
  QCheckBox* bold_;
  QLineEdit* separatorText_;
  std::vector<ListViewEntry> rows_;
  bool showing_ = false;
};
