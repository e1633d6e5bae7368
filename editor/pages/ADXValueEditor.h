#pragma once
// The value page. "General": the common fields, the data type and stock unit
// (catalog rows), units text, packet offset, signedness, byte order, source
// size, range and alarms, and the command whose reply holds the value.
// "Conversion": the equation (changed through the "Conversion Equation"
// dialog), its arguments (native or linked to another value), the output
// format and digits, and the lookup table used as the last stage.
//
// The arguments are edited on a copy that Commit writes back; a new equation
// replaces the value's argument list at once.
#include <cstdint>
#include <vector>

#include "editor/pages/ADXPageBase.h"

class ADXValue;

// One argument row: the variable letter, native or linked, and the link.
struct ValueArgumentRow {
  std::int32_t kind = 0;
  char varID = 0;
  std::uint32_t linkhash = 0;
};

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class ADXValueEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXValueEditor(QWidget* parent, IEditorPageServices* services);

  // "Set": runs the equation dialog and, on OK, stores the equation.
  void EditEquation();
  // "Select Linked Object": the item browser for one value.
  void SelectLinkedObject();

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXValue* Value() const;
  void BuildConversionTab();
  void RefreshEquation();
  void RefreshArguments(int select);
  QString ArgumentText(const ValueArgumentRow& v) const;
  void TakeArguments();
  void ShowArgument(int row);
  void ArgumentTypeChanged(int index);

  QComboBox* dataType_;
  QComboBox* stockUnits_;
  QLineEdit* units_;
  QLineEdit* offset_;
  QCheckBox* signed_;
  QCheckBox* lsbFirst_;
  QComboBox* size_;
  QLineEdit* rangeLow_;
  QLineEdit* rangeHigh_;
  QLineEdit* alarmLow_;
  QCheckBox* alarmLowOn_;
  QLineEdit* alarmHigh_;
  QCheckBox* alarmHighOn_;
  QComboBox* command_;

  QLineEdit* equation_ = nullptr;
  QListWidget* arguments_ = nullptr;
  QComboBox* argumentType_ = nullptr;
  QLineEdit* linkedId_ = nullptr;
  QPushButton* selectLinked_ = nullptr;
  QComboBox* outputFormat_ = nullptr;
  QLineEdit* digits_ = nullptr;
  QCheckBox* useLookup_ = nullptr;
  QComboBox* lookup_ = nullptr;

  std::vector<ValueArgumentRow> variables_;
};
