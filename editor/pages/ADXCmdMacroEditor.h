#pragma once
// The macro page: the macro's repeat count and its steps, each a command with
// its own repeat count and break flags. Steps are edited on a copy that
// Commit writes back; the selected step's parameters go into the copy at once.
#include <vector>

#include "definition/ADXCommands.h"
#include "editor/pages/ADXPageBase.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

class ADXCmdMacroEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXCmdMacroEditor(QWidget* parent, IEditorPageServices* services);

  // "Add New": the item browser for commands; one step per chosen command
  // before the selected step (at the end with none).
  void AddSteps();
  // "Delete", "Move Up", "Move Down" on the selected step.
  void DeleteStep();
  void MoveStep(int by);

  const std::vector<MacroNode>& Steps() const { return steps_; }

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXMacro* Macro() const { return static_cast<ADXMacro*>(object_); }
  void Refill(int select);
  QString StepText(const MacroNode& node) const;
  void ShowStep();
  void StoreStep();

  QLineEdit* repeat_;
  QListWidget* list_;
  QLineEdit* stepRepeat_;
  QCheckBox* breakFailure_;
  QCheckBox* breakSuccess_;
  std::vector<MacroNode> steps_;
  bool showing_ = false;
};
