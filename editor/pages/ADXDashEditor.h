#pragma once
// The dashboard page: the list of gauges with their type and location. Gauges
// are edited on a copy of the entries that Commit writes back; a gauge's item
// is chosen in the main program's dashboard pane, not here.
#include <vector>

#include "definition/ADXDashboard.h"
#include "editor/pages/ADXPageBase.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;

class ADXDashEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXDashEditor(QWidget* parent, IEditorPageServices* services);

  // "Add Gauge": an analog gauge at 0, 0, 100, 100 without item, selected.
  void AddGauge();
  // "Remove Gauge": removes the selected gauge.
  void RemoveGauge();
  // The gauge type column's text for a type.
  static QString GaugeTypeText(std::int32_t type);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  void Refill(int select);
  void WriteRow(int row);
  void ShowGauge();
  void StoreField();

  QTreeWidget* list_;
  QLineEdit* item_;
  QComboBox* type_;
  QLineEdit* top_;
  QLineEdit* left_;
  QLineEdit* bottom_;
  QLineEdit* right_;
  std::vector<DashboardEntry> gauges_;
  bool showing_ = false;
};
