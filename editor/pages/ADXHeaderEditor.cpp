#include "editor/pages/ADXHeaderEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "definition/ADXDefinition.h"
#include "editor/pages/PageText.h"

ADXHeaderEditor::ADXHeaderEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, false) {
  QFormLayout* form = GeneralForm();
  author_ = AddLine(form, "Author", 1002);
  version_ = AddLine(form, "Version", 1003);
  desc_ = new QPlainTextEdit(GeneralTab());
  desc_->setObjectName("1004");
  desc_->setFixedHeight(64);
  form->addRow("Description", desc_);
  baud_ = AddLine(form, "Baud (2400-115200)", 1005);
  echo_ = AddCheck(form, "RS232 Echo", 1127);
  connect_ = AddCombo(form, "Connection Command", 1072);
  monitor_ = AddCombo(form, "Monitor Command", 1073);
  disconnect_ = AddCombo(form, "Disconnect Command", 1074);
}

int ADXHeaderEditor::Load(ADXDefinition* definition, const ADXEditorItemRecord*) {
  definition_ = definition;
  object_ = nullptr;
  if (definition_ == nullptr) return 0;
  LoadFields();
  return 1;
}

int ADXHeaderEditor::Commit() {
  if (definition_ == nullptr) return 0;
  CommitFields();
  return 1;
}

int ADXHeaderEditor::Validate(char* message, std::size_t size) {
  if (message != nullptr && size > 0) message[0] = '\0';
  Commit();
  return 1;
}

void ADXHeaderEditor::FillCommands(QComboBox* combo, const ADXObject* selected) {
  combo->clear();
  combo->addItem("<None>", QVariant::fromValue<quintptr>(0));
  for (int n = 0;; ++n) {
    ADXObject* command = definition_->GetObjectByType(ADX_MASK_COMMANDS, n);
    if (command == nullptr) break;
    combo->addItem(Text(command->title), QVariant::fromValue(reinterpret_cast<quintptr>(command)));
  }
  combo->setCurrentIndex(
      std::max(0, combo->findData(QVariant::fromValue(reinterpret_cast<quintptr>(selected)))));
}

// The chosen command, provided it is still in the definition (an entry never
// outlives the definition's object it names).
ADXObject* ADXHeaderEditor::ChosenCommand(const QComboBox* combo) const {
  auto* command = reinterpret_cast<ADXObject*>(combo->currentData().value<quintptr>());
  return command != nullptr && definition_->IndexOf(command) >= 0 ? command : nullptr;
}

void ADXHeaderEditor::LoadFields() {
  author_->setText(Text(definition_->author));
  version_->setText(Text(definition_->userversion));
  desc_->setPlainText(Text(definition_->desc));
  baud_->setText(QString::number(definition_->baud));
  echo_->setChecked((definition_->flags & kHeaderEcho) != 0);
  FillCommands(connect_, definition_->connectcmd);
  FillCommands(monitor_, definition_->monitorcmd);
  FillCommands(disconnect_, definition_->disconnectcmd);
}

void ADXHeaderEditor::CommitFields() {
  const std::string author = Bytes(author_->text());
  definition_->SetAuthor(author.c_str(), author.size());
  const std::string version = Bytes(version_->text());
  definition_->SetUserVersion(version.c_str(), version.size());
  const std::string desc = Bytes(desc_->toPlainText());
  definition_->SetDesc(desc.c_str(), desc.size());
  definition_->baud = ReadBaudField(Bytes(baud_->text()));
  definition_->flags =
      echo_->isChecked() ? (definition_->flags | kHeaderEcho) : (definition_->flags & ~kHeaderEcho);
  definition_->connectcmd = ChosenCommand(connect_);
  definition_->monitorcmd = ChosenCommand(monitor_);
  definition_->disconnectcmd = ChosenCommand(disconnect_);
}
