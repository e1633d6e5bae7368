#include "editor/pages/ADXBitmaskEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "definition/ADXBitmask.h"
#include "editor/pages/PageText.h"

ADXBitmaskEditor::ADXBitmaskEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  offset_ = AddLine(form, "Packet Offset (Hex)", 1033);
  size_ = AddCombo(form, "Source Data Size", 1032);
  size_->addItem("8 Bit", 8);
  size_->addItem("16 Bit", 16);
  size_->addItem("32 Bit", 32);
  lsbFirst_ = AddCheck(form, "LSB First", 1029);
  trueText_ = AddLine(form, "Display on TRUE", 1037);
  trueAlarm_ = AddCheck(form, "Alarm", 1030);
  falseText_ = AddLine(form, "Display on FALSE", 1038);
  falseAlarm_ = AddCheck(form, "Alarm", 1031);
  form->addRow(new QLabel("If DATA <operation> OPERAND equals RESULT then TRUE, else FALSE", GeneralTab()));
  bitop_ = AddCombo(form, "Bitwise Operation", 1041);
  bitop_->addItem("Bitwise AND", kBitopAnd);
  bitop_->addItem("Bitwise XOR", kBitopXor);
  operand_ = AddLine(form, "Operand", 1039);
  result_ = AddLine(form, "Result to Test", 1040);
  command_ = AddCombo(form, "Command Association", 1141);
}

ADXBitmask* ADXBitmaskEditor::Bitmask() const {
  return static_cast<ADXBitmask*>(object_);
}

void ADXBitmaskEditor::LoadFields() {
  ADXBitmask* b = Bitmask();
  offset_->setText(QString::fromStdString(FormatHexField(b->packetoffset)));
  size_->setCurrentIndex(size_->findData(b->sizeinbits));
  lsbFirst_->setChecked((b->flags & kBitmaskLsbFirst) != 0);
  trueText_->setText(Text(b->truestring));
  trueAlarm_->setChecked((b->flags & kBitmaskAlarmOnSet) != 0);
  falseText_->setText(Text(b->falsestring));
  falseAlarm_->setChecked((b->flags & kBitmaskAlarmOnNotSet) != 0);
  bitop_->setCurrentIndex(bitop_->findData(b->bitop));
  operand_->setText(QString::fromStdString(FormatHexField(b->operand)));
  result_->setText(QString::fromStdString(FormatHexField(b->result)));
  FillCommandAssociation(command_, "<All>", [](std::uint32_t type) { return type == 0xFFFFFFFFu; });
  SelectByData(command_, b->parentcmdidhash);
}

void ADXBitmaskEditor::CommitFields() {
  ADXBitmask* b = Bitmask();
  b->packetoffset = ReadHexField(Bytes(offset_->text()));
  if (size_->currentIndex() >= 0) b->sizeinbits = size_->currentData().toInt();
  std::uint32_t flags = b->flags & ~(kBitmaskLsbFirst | kBitmaskAlarmOnSet | kBitmaskAlarmOnNotSet);
  if (lsbFirst_->isChecked()) flags |= kBitmaskLsbFirst;
  if (trueAlarm_->isChecked()) flags |= kBitmaskAlarmOnSet;
  if (falseAlarm_->isChecked()) flags |= kBitmaskAlarmOnNotSet;
  b->flags = flags;
  const std::string t = Bytes(trueText_->text());
  b->SetTrueString(t.c_str(), t.size());
  const std::string f = Bytes(falseText_->text());
  b->SetFalseString(f.c_str(), f.size());
  // A loaded operation the list does not know is kept.
  if (bitop_->currentIndex() >= 0) b->bitop = bitop_->currentData().toInt();
  b->operand = ReadHexField(Bytes(operand_->text()));
  b->result = ReadHexField(Bytes(result_->text()));
  b->parentcmdidhash = SelectedData(command_, b->parentcmdidhash);
}
