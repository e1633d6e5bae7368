#pragma once
// The trigger page: which kinds of views the trigger updates, chosen in a
// multiple-selection list. The selection shows the stored bits one by one, so
// a stored "all kinds" shows the four update entries; committing a selection
// the user did not touch keeps the stored word as it was, so that merely
// visiting the page never turns an all-kinds trigger into a four-bit one.
#include <cstdint>

#include "editor/pages/ADXPageBase.h"

class ADXCTrigger;
class QListWidget;

class ADXTriggerEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXTriggerEditor(QWidget* parent, IEditorPageServices* services);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXCTrigger* Trigger() const;

  QListWidget* types_;
  bool touched_ = false;
};
