#include "editor/pages/ADXLsnChatterEditor.h"

#include <QFormLayout>
#include <QLineEdit>

#include "definition/ADXCommands.h"
#include "editor/pages/PageText.h"

ADXLsnChatterEditor::ADXLsnChatterEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  bytes_ = AddLine(GeneralForm(), "Byte String (Hex)", 1090);
  timeout_ = AddLine(GeneralForm(), "Timeout (ms)", 1091);
}

ADXCListenChatter* ADXLsnChatterEditor::Command() const {
  return static_cast<ADXCListenChatter*>(object_);
}

void ADXLsnChatterEditor::LoadFields() {
  bytes_->setText(QString::fromStdString(FormatByteString(Command()->bytes)));
  timeout_->setText(QString::number(Command()->listentimeout));
}

void ADXLsnChatterEditor::CommitFields() {
  const std::vector<std::uint8_t> bytes = ReadByteString(Bytes(bytes_->text()));
  if (!bytes.empty()) Command()->SetByteString(bytes.data(), bytes.size());
  Command()->listentimeout = ReadUnsignedField31(Bytes(timeout_->text()));
}
