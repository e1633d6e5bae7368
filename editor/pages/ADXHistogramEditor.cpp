// The value model first: its evaluator header uses names that Qt's keyword
// macros would replace.
#include "definition/ADXValue.h"

#include "editor/pages/ADXHistogramEditor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstring>

#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "editor/pages/PageText.h"

ADXHistogramEditor::ADXHistogramEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  AddObjectField("Row (Y) Object", 1107, kRowObjectButton, 0);
  AddObjectField("Column (X) Object", 1108, kColumnObjectButton, 1);
  AddObjectField("Output (Z) Object", 1109, kOutputObjectButton, 2);
  rows_ = AddLine(form, "Rows", 1101);
  ymin_ = AddLine(form, "Min", 1103);
  ymax_ = AddLine(form, "Max", 1104);
  cols_ = AddLine(form, "Columns", 1102);
  xmin_ = AddLine(form, "Min", 1105);
  xmax_ = AddLine(form, "Max", 1106);
  history_ = AddLine(form, "History Size (Samples)", 1110);
  command_ = AddCombo(form, "Command Association", 1146);
}

QLineEdit* ADXHistogramEditor::AddObjectField(const char* label, int id, int buttonId, int axis) {
  auto* row = new QWidget(GeneralTab());
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* edit = new QLineEdit(row);
  edit->setObjectName(QString::number(id));
  edit->setReadOnly(true);
  auto* button = new QPushButton("...", row);
  button->setObjectName(QString::number(buttonId));
  button->setFixedWidth(28);
  layout->addWidget(edit);
  layout->addWidget(button);
  GeneralForm()->addRow(label, row);
  axisFields_[axis] = edit;
  connect(button, &QPushButton::clicked, this, [this, axis] { ChooseAxisObject(axis); });
  return edit;
}

ADXHistogram* ADXHistogramEditor::Histogram() const {
  return static_cast<ADXHistogram*>(object_);
}

void ADXHistogramEditor::ShowAxisObject(int axis) {
  const ADXObject* object = definition_ != nullptr ? definition_->FindByHash(axisHashes_[axis]) : nullptr;
  axisFields_[axis]->setText(object != nullptr && axisHashes_[axis] != 0 ? Text(object->title) : QString());
}

void ADXHistogramEditor::ChooseAxisObject(int axis) {
  if (object_ == nullptr || axis < 0 || axis > 2) return;
  std::vector<ADXObject*> chosen;
  if (Services()->BrowseItems(PageWindow(), definition_, ADX_TYPE_VALUE, true, &chosen) == 0 ||
      chosen.empty()) {
    return;
  }
  axisHashes_[axis] = chosen.front()->idhash;
  ShowAxisObject(axis);
}

void ADXHistogramEditor::LoadFields() {
  ADXHistogram* h = Histogram();
  axisHashes_[0] = h->yidhash;
  axisHashes_[1] = h->xidhash;
  axisHashes_[2] = h->zidhash;
  for (int axis = 0; axis < 3; ++axis) ShowAxisObject(axis);
  rows_->setText(QString::number(h->rows));
  ymin_->setText(DecimalFieldText(h->ymin));
  ymax_->setText(DecimalFieldText(h->ymax));
  cols_->setText(QString::number(h->cols));
  xmin_->setText(DecimalFieldText(h->xmin));
  xmax_->setText(DecimalFieldText(h->xmax));
  history_->setText(QString::number(h->GetHistorySize()));
  FillCommandAssociation(command_, "<Update With Inputs>",
                         [](std::uint32_t type) { return (type & 0x2u) != 0; });
  SelectByData(command_, h->parentcmdidhash);
}

void ADXHistogramEditor::CommitFields() {
  ADXHistogram* h = Histogram();
  h->yidhash = axisHashes_[0];
  h->xidhash = axisHashes_[1];
  h->zidhash = axisHashes_[2];
  ADXValue** values[3] = {&h->yvalue, &h->xvalue, &h->zvalue};
  for (int axis = 0; axis < 3; ++axis) {
    ADXObject* object = definition_ != nullptr && axisHashes_[axis] != 0
                            ? definition_->FindByHash(axisHashes_[axis])
                            : nullptr;
    *values[axis] =
        object != nullptr && object->objectType == ADX_TYPE_VALUE ? static_cast<ADXValue*>(object) : nullptr;
  }
  // Ranges first, so that the axis tables are rebuilt over the new ranges.
  float ymin = h->ymin;
  float ymax = h->ymax;
  float xmin = h->xmin;
  float xmax = h->xmax;
  ReadDecimalField(ymin_, "Row Min", &ymin);
  ReadDecimalField(ymax_, "Row Max", &ymax);
  ReadDecimalField(xmin_, "Column Min", &xmin);
  ReadDecimalField(xmax_, "Column Max", &xmax);
  h->SetYMin(ymin);
  h->SetYMax(ymax);
  h->SetXMin(xmin);
  h->SetXMax(xmax);
  const std::int32_t rows = ReadUnsignedField31(Bytes(rows_->text()));
  const std::int32_t cols = ReadUnsignedField31(Bytes(cols_->text()));
  if (rows != h->rows) h->SetRows(rows);
  if (cols != h->cols) h->SetCols(cols);
  const std::int32_t history = ReadUnsignedField31(Bytes(history_->text()));
  if (history != h->GetHistorySize()) h->SetHistorySize(history);
  h->parentcmdidhash = SelectedData(command_, h->parentcmdidhash);
}

int ADXHistogramEditor::Validate(char* message, std::size_t size) {
  if (ADXPageBase::Validate(message, size) == 0) return 0;
  if (object_ == nullptr) return 1;
  if (Histogram()->rows == 0 || Histogram()->cols == 0) {
    const char* text = "Histogram row and column count must not be 0.";
    if (message != nullptr && size > 0) {
      const std::size_t n = std::min(std::strlen(text), size - 1);
      std::memcpy(message, text, n);
      message[n] = '\0';
    }
    return 0;
  }
  return 1;
}
