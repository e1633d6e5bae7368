#include "editor/pages/ADXTriggerEditor.h"

#include <QFormLayout>
#include <QLabel>
#include <QListWidget>

#include "definition/ADXCommands.h"
#include "editor/pages/PageText.h"

ADXTriggerEditor::ADXTriggerEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  types_ = new QListWidget(GeneralTab());
  types_->setObjectName("1147");
  types_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  types_->setFixedHeight(100);
  for (const char* name : {"Generic (All Types)", "Update Histogram", "Update List View", "Update Monitor",
                           "Update Dashboard"}) {
    types_->addItem(name);
  }
  GeneralForm()->addRow("Trigger Types", types_);
  GeneralForm()->addRow(new QLabel("Ctrl + Click for multi", GeneralTab()));
  connect(types_, &QListWidget::itemSelectionChanged, this, [this] {
    if (!Loading()) touched_ = true;
  });
}

ADXCTrigger* ADXTriggerEditor::Trigger() const {
  return static_cast<ADXCTrigger*>(object_);
}

void ADXTriggerEditor::LoadFields() {
  types_->clearSelection();
  for (const int row : TriggerSelectionFor(Trigger()->triggertype)) types_->item(row)->setSelected(true);
  touched_ = false;
}

void ADXTriggerEditor::CommitFields() {
  if (!touched_) return;
  std::vector<int> rows;
  for (int row = 0; row < types_->count(); ++row) {
    if (types_->item(row)->isSelected()) rows.push_back(row);
  }
  Trigger()->triggertype = TriggerTypeFor(rows);
}
