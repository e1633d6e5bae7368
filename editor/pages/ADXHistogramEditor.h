#pragma once
// The histogram page: the values on the row (y), column (x) and output (z)
// axes, chosen with the item browser; rows, columns and their ranges; the
// history size; and the command that triggers a sample. Rows and columns must
// not be 0.
#include <cstdint>

#include "editor/pages/ADXPageBase.h"

class ADXHistogram;
class QComboBox;
class QLineEdit;

class ADXHistogramEditor : public ADXPageBase {
  Q_OBJECT

 public:
  static constexpr int kRowObjectButton = 20202;
  static constexpr int kColumnObjectButton = 10101;
  static constexpr int kOutputObjectButton = 30303;

  ADXHistogramEditor(QWidget* parent, IEditorPageServices* services);

  int Validate(char* message, std::size_t size) override;
  // The "..." buttons: 0 row (y), 1 column (x), 2 output (z).
  void ChooseAxisObject(int axis);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXHistogram* Histogram() const;
  QLineEdit* AddObjectField(const char* label, int id, int buttonId, int axis);
  void ShowAxisObject(int axis);

  QLineEdit* axisFields_[3] = {};
  std::uint32_t axisHashes_[3] = {};  // y, x, z
  QLineEdit* rows_;
  QLineEdit* ymin_;
  QLineEdit* ymax_;
  QLineEdit* cols_;
  QLineEdit* xmin_;
  QLineEdit* xmax_;
  QLineEdit* history_;
  QComboBox* command_;
};
