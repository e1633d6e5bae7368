#pragma once
// The bitmask page: packet offset, source size, byte order, the texts for true
// and false with their alarms, the bitwise operation with operand and result,
// and the command whose reply holds the bits.
#include "editor/pages/ADXPageBase.h"

class ADXBitmask;
class QCheckBox;
class QComboBox;
class QLineEdit;

class ADXBitmaskEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXBitmaskEditor(QWidget* parent, IEditorPageServices* services);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXBitmask* Bitmask() const;

  QLineEdit* offset_;
  QComboBox* size_;
  QCheckBox* lsbFirst_;
  QLineEdit* trueText_;
  QCheckBox* trueAlarm_;
  QLineEdit* falseText_;
  QCheckBox* falseAlarm_;
  QComboBox* bitop_;
  QLineEdit* operand_;
  QLineEdit* result_;
  QComboBox* command_;
};
