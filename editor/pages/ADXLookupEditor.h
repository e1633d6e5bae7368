#pragma once
// The lookup table page. "General": input and output types, the lookup mode,
// and the entry list with the fields and buttons to add and remove entries.
// "Table Graph": the entries as points of a 2-D chart; dragging points there
// rebuilds the table from the points in order.
//
// Entries are edited in the table itself (Add, Remove, the graph); the types
// and mode are written by Commit, except that a new output type is applied at
// once, because it changes how every entry is kept and shown.
#include "editor/pages/ADXPageBase.h"

class ADXLookupTable;
class QComboBox;
class QLineEdit;
class QTreeWidget;
class QvChart2D;
class QvChart2DSeries;

class ADXLookupEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXLookupEditor(QWidget* parent, IEditorPageServices* services);

  // "Add": the Input and Output fields as one entry.
  void AddEntry();
  // "Remove": the selected entry.
  void RemoveEntry();
  // Rebuilds the table from the points of series 0 (after a drag of points).
  void TableFromGraph();
  QvChart2D* Graph() const { return graph_; }

  // List texts of the entry list by type.
  static QString InputText(float input, std::int32_t inputtype);
  static QString OutputText(const ADXLookupTable& table, int index);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXLookupTable* Table() const;
  void RefillList();
  void RefillGraph();
  void OutputTypeChosen();
  std::int32_t ChosenInputType() const;

  QComboBox* inputType_;
  QComboBox* outputType_;
  QComboBox* mode_;
  QTreeWidget* list_;
  QLineEdit* input_;
  QLineEdit* output_;
  QvChart2D* graph_;
};
