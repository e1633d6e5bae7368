#include "editor/pages/ADXLsn160BaudEditor.h"

#include <QFormLayout>
#include <QLineEdit>

#include "definition/ADXCommands.h"
#include "editor/pages/PageText.h"

ADXLsn160BaudEditor::ADXLsn160BaudEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  packetSize_ = AddLine(GeneralForm(), "Packet Length (Bytes)", 1097);
}

ADXC160BaudListen* ADXLsn160BaudEditor::Command() const {
  return static_cast<ADXC160BaudListen*>(object_);
}

void ADXLsn160BaudEditor::LoadFields() {
  packetSize_->setText(QString::number(Command()->packetsize));
}

void ADXLsn160BaudEditor::CommitFields() {
  Command()->packetsize = ReadUnsignedField31(Bytes(packetSize_->text()));
}
