#include "editor/pages/ADXCmdMacroEditor.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "definition/ADXDefinition.h"
#include "editor/pages/PageText.h"

ADXCmdMacroEditor::ADXCmdMacroEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  repeat_ = AddLine(form, "Macro Repeat Count", 1112);
  list_ = new QListWidget(GeneralTab());
  list_->setObjectName("1114");
  list_->setMinimumHeight(120);
  form->addRow("Command", list_);
  auto* buttons = new QWidget(GeneralTab());
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  const std::pair<const char*, int> names[] = {
      {"Add New", 1115}, {"Delete", 1116}, {"Move Up", 1117}, {"Move Down", 1118}};
  QPushButton* made[4] = {};
  for (int i = 0; i < 4; ++i) {
    made[i] = new QPushButton(names[i].first, buttons);
    made[i]->setObjectName(QString::number(names[i].second));
    row->addWidget(made[i]);
  }
  form->addRow(buttons);
  auto* group = new QGroupBox("Entry Parameters", GeneralTab());
  auto* props = new QFormLayout(group);
  stepRepeat_ = AddLine(props, "Entry Repeat Count", 1119);
  breakFailure_ = AddCheck(props, "Break On Failure", 1120);
  breakSuccess_ = AddCheck(props, "Break On Success", 1121);
  form->addRow(group);

  connect(made[0], &QPushButton::clicked, this, &ADXCmdMacroEditor::AddSteps);
  connect(made[1], &QPushButton::clicked, this, &ADXCmdMacroEditor::DeleteStep);
  connect(made[2], &QPushButton::clicked, this, [this] { MoveStep(-1); });
  connect(made[3], &QPushButton::clicked, this, [this] { MoveStep(1); });
  connect(list_, &QListWidget::currentRowChanged, this, &ADXCmdMacroEditor::ShowStep);
  connect(stepRepeat_, &QLineEdit::textEdited, this, &ADXCmdMacroEditor::StoreStep);
  connect(breakFailure_, &QCheckBox::toggled, this, &ADXCmdMacroEditor::StoreStep);
  connect(breakSuccess_, &QCheckBox::toggled, this, &ADXCmdMacroEditor::StoreStep);
}

QString ADXCmdMacroEditor::StepText(const MacroNode& node) const {
  // A step keeps its command only while the command is in the definition.
  if (node.command == nullptr || definition_ == nullptr || definition_->IndexOf(node.command) < 0) {
    return "UNKNOWN COMMAND! (deleted?)";
  }
  return Text(node.command->title);
}

void ADXCmdMacroEditor::LoadFields() {
  repeat_->setText(QString::number(Macro()->repeatcount));
  steps_ = Macro()->nodes;
  Refill(-1);
}

void ADXCmdMacroEditor::CommitFields() {
  Macro()->repeatcount = ReadUnsignedField31(Bytes(repeat_->text()));
  Macro()->nodes = steps_;
}

void ADXCmdMacroEditor::Refill(int select) {
  {
    const QSignalBlocker block(list_);
    list_->clear();
    for (const MacroNode& node : steps_) list_->addItem(StepText(node));
    list_->setCurrentRow(select);
  }
  ShowStep();
}

void ADXCmdMacroEditor::ShowStep() {
  const int row = list_->currentRow();
  const bool valid = row >= 0 && static_cast<std::size_t>(row) < steps_.size();
  showing_ = true;
  stepRepeat_->setEnabled(valid);
  breakFailure_->setEnabled(valid);
  breakSuccess_->setEnabled(valid);
  const MacroNode* node = valid ? &steps_[static_cast<std::size_t>(row)] : nullptr;
  stepRepeat_->setText(node != nullptr ? QString::number(node->repeatcount) : QString());
  breakFailure_->setChecked(node != nullptr && (node->flags & kNodeBreakOnFailure) != 0);
  breakSuccess_->setChecked(node != nullptr && (node->flags & kNodeBreakOnSuccess) != 0);
  showing_ = false;
}

void ADXCmdMacroEditor::StoreStep() {
  const int row = list_->currentRow();
  if (showing_ || row < 0 || static_cast<std::size_t>(row) >= steps_.size()) return;
  MacroNode& node = steps_[static_cast<std::size_t>(row)];
  node.repeatcount = ReadUnsignedField31(Bytes(stepRepeat_->text()));
  std::uint32_t flags = node.flags & ~(kNodeBreakOnFailure | kNodeBreakOnSuccess);
  if (breakFailure_->isChecked()) flags |= kNodeBreakOnFailure;
  if (breakSuccess_->isChecked()) flags |= kNodeBreakOnSuccess;
  node.flags = flags;
}

void ADXCmdMacroEditor::AddSteps() {
  if (object_ == nullptr) return;
  std::vector<ADXObject*> chosen;
  if (Services()->BrowseItems(PageWindow(), definition_, ADX_MASK_COMMANDS, false, &chosen) == 0 ||
      chosen.empty()) {
    return;
  }
  const int current = list_->currentRow();
  const int at = current >= 0 ? current : static_cast<int>(steps_.size());
  std::vector<MacroNode> added;
  for (ADXObject* command : chosen) {
    MacroNode node;
    node.SetCommand(command);
    added.push_back(node);
  }
  steps_.insert(steps_.begin() + at, added.begin(), added.end());
  Refill(at);
}

void ADXCmdMacroEditor::DeleteStep() {
  const int row = list_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= steps_.size()) return;
  steps_.erase(steps_.begin() + row);
  Refill(row < static_cast<int>(steps_.size()) ? row : static_cast<int>(steps_.size()) - 1);
}

void ADXCmdMacroEditor::MoveStep(int by) {
  const int row = list_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || static_cast<std::size_t>(to) >= steps_.size()) return;
  std::swap(steps_[static_cast<std::size_t>(row)], steps_[static_cast<std::size_t>(to)]);
  Refill(to);
}
