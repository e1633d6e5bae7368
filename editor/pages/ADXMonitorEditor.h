#pragma once
// The monitor page: the common fields only; a monitor's series are chosen in
// the main program's monitor pane.
#include "editor/pages/ADXPageBase.h"

class ADXMonitorEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXMonitorEditor(QWidget* parent, IEditorPageServices* services) : ADXPageBase(parent, services, true) {}

 protected:
  void LoadFields() override {}
  void CommitFields() override {}
};
