#include "editor/pages/ADXLsnSilenceEditor.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "definition/ADXCommands.h"
#include "editor/pages/PageText.h"

ADXLsnSilenceEditor::ADXLsnSilenceEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  silence_ = AddLine(GeneralForm(), "Silence Length (ms)", 1089);
  timeout_ = AddLine(GeneralForm(), "Timeout (ms)", 1044);
  auto* note =
      new QLabel("Set silence length to 0 to pause for time specified in \"Timeout (ms)\".", GeneralTab());
  note->setWordWrap(true);
  GeneralForm()->addRow(note);
}

ADXCListenSilence* ADXLsnSilenceEditor::Command() const {
  return static_cast<ADXCListenSilence*>(object_);
}

void ADXLsnSilenceEditor::LoadFields() {
  silence_->setText(QString::number(Command()->silencelen));
  timeout_->setText(QString::number(Command()->totaltimeout));
}

void ADXLsnSilenceEditor::CommitFields() {
  Command()->silencelen = ReadUnsignedField31(Bytes(silence_->text()));
  Command()->totaltimeout = ReadUnsignedField31(Bytes(timeout_->text()));
}
