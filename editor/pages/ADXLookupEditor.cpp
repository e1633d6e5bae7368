#include "editor/pages/ADXLookupEditor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controls/chart2d/QvChart2D.h"
#include "controls/chart2d/QvChart2DSeries.h"
#include "controls/common/TextBytes.h"
#include "definition/ADXLookupTable.h"
#include "definition/NumberText.h"
#include "editor/pages/PageText.h"

namespace {

constexpr int kGraphId = 1071;

QString NumberText(double v, std::int32_t type) {
  switch (type) {
    case kLookupHex:
      return QString::fromStdString(FormatHexField(TruncToUInt32Bits(v)));
    case kLookupInteger:
      return QString::number(TruncToInt32(v));
    default:
      return QString::fromStdString(FormatFloatField(v));
  }
}

// Reads an entry field the way its type shows it: hexadecimal digits for the
// hexadecimal type, a whole decimal number otherwise (false when it is not).
bool ReadNumber(const std::string& text, std::int32_t type, float* value) {
  if (type != kLookupHex) return TryReadFloatField(text, value);
  *value = static_cast<float>(ReadHexField(text));
  return true;
}

}  // namespace

ADXLookupEditor::ADXLookupEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  inputType_ = AddCombo(form, "Input Type", 1058);
  inputType_->addItem("Hex", kLookupHex);
  inputType_->addItem("Integer", kLookupInteger);
  inputType_->addItem("Floating Point", kLookupFloat);
  outputType_ = AddCombo(form, "Output Type", 1059);
  outputType_->addItem("Integer", kLookupInteger);
  outputType_->addItem("Floating Point", kLookupFloat);
  outputType_->addItem("Hex", kLookupHex);
  outputType_->addItem("String", kLookupText);
  mode_ = AddCombo(form, "Lookup mode", 1060);
  mode_->addItem("Interpolate", kLookupInterpolate);
  mode_->addItem("Closest", kLookupClosest);
  mode_->addItem("Previous", kLookupPrevious);
  mode_->addItem("Next", kLookupNext);
  list_ = new QTreeWidget(GeneralTab());
  list_->setObjectName("1063");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"Input", "Output"});
  list_->setColumnWidth(0, 100);
  list_->setColumnWidth(1, 300);
  list_->setMinimumHeight(100);
  form->addRow(list_);
  auto* group = new QGroupBox("Table Entry", GeneralTab());
  auto* entry = new QFormLayout(group);
  input_ = AddLine(entry, "Input", 1064);
  output_ = AddLine(entry, "Output", 1065);
  auto* buttons = new QWidget(group);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  auto* add = new QPushButton("Add", buttons);
  add->setObjectName("1066");
  auto* remove = new QPushButton("Remove", buttons);
  remove->setObjectName("1067");
  row->addWidget(add);
  row->addWidget(remove);
  entry->addRow(buttons);
  form->addRow(group);

  QWidget* tab = AddTab("Table Graph");
  tab->setObjectName("109");
  auto* layout = new QVBoxLayout(tab);
  graph_ = new QvChart2D(tab);
  graph_->setObjectName(QString::number(kGraphId));
  graph_->setControlId(kGraphId);
  layout->addWidget(graph_);
  graph_->insertSeries(0, false);
  graph_->setStyle(QvChart2D::kXFollowsData | QvChart2D::kYFollowsData, false);
  graph_->setXAxisTitle("Input");
  graph_->setYAxisTitle("Output");

  connect(add, &QPushButton::clicked, this, &ADXLookupEditor::AddEntry);
  connect(remove, &QPushButton::clicked, this, &ADXLookupEditor::RemoveEntry);
  connect(outputType_, &QComboBox::activated, this, &ADXLookupEditor::OutputTypeChosen);
  connect(inputType_, &QComboBox::activated, this, [this] { RefillList(); });
  connect(graph_, &QvChart2D::notify, this, [this](QvChart2D*, int id, int code, QvChart2DSeries*, int) {
    if (id == kGraphId && code == QvChart2D::kNotifyDragEnded) TableFromGraph();
  });
  // The graph is refilled whenever its tab comes up.
  if (QTabWidget* tabs = static_cast<QvTabSheet*>(PageWindow())->tabs()) {
    connect(tabs, &QTabWidget::currentChanged, this, [this, tab](int) {
      if (tab->isVisibleTo(PageWindow()) && object_ != nullptr) RefillGraph();
    });
  }
}

ADXLookupTable* ADXLookupEditor::Table() const {
  return static_cast<ADXLookupTable*>(object_);
}

QString ADXLookupEditor::InputText(float input, std::int32_t inputtype) {
  return NumberText(input, inputtype);
}

QString ADXLookupEditor::OutputText(const ADXLookupTable& table, int index) {
  const LookupEntry& e = table.entries[static_cast<std::size_t>(index)];
  if (table.outputtype == kLookupText) return Text(e.text);
  return NumberText(e.output, table.outputtype);
}

std::int32_t ADXLookupEditor::ChosenInputType() const {
  return inputType_->currentIndex() >= 0 ? inputType_->currentData().toInt() : Table()->inputtype;
}

void ADXLookupEditor::LoadFields() {
  ADXLookupTable* t = Table();
  inputType_->setCurrentIndex(inputType_->findData(t->inputtype));
  outputType_->setCurrentIndex(outputType_->findData(t->outputtype));
  mode_->setCurrentIndex(mode_->findData(t->lookupmode));
  graph_->setTitle(t->title);
  RefillList();
  RefillGraph();
}

void ADXLookupEditor::CommitFields() {
  ADXLookupTable* t = Table();
  if (inputType_->currentIndex() >= 0) t->inputtype = inputType_->currentData().toInt();
  if (outputType_->currentIndex() >= 0) t->SetOutputType(outputType_->currentData().toInt());
  if (mode_->currentIndex() >= 0) t->SetLookupMode(mode_->currentData().toInt());
  // A text table cannot interpolate; show what the table kept.
  mode_->setCurrentIndex(mode_->findData(t->lookupmode));
}

void ADXLookupEditor::RefillList() {
  if (object_ == nullptr) return;
  const ADXLookupTable* t = Table();
  const std::int32_t inputtype = ChosenInputType();
  list_->clear();
  for (int i = 0; i < t->EntryCount(); ++i) {
    new QTreeWidgetItem(
        list_, {InputText(t->entries[static_cast<std::size_t>(i)].input, inputtype), OutputText(*t, i)});
  }
}

void ADXLookupEditor::RefillGraph() {
  QvChart2DSeries* series = graph_->getSeries(0);
  if (series == nullptr || object_ == nullptr) return;
  series->ClearPoints();
  const ADXLookupTable* t = Table();
  if (t->outputtype != kLookupText) {
    for (const LookupEntry& e : t->entries) {
      QvChart2DPoint point;
      point.x = e.input;
      point.y = e.output;
      series->AddPoint(point);
    }
  }
  graph_->redraw();
}

void ADXLookupEditor::OutputTypeChosen() {
  if (object_ == nullptr || outputType_->currentIndex() < 0) return;
  Table()->SetOutputType(outputType_->currentData().toInt());
  mode_->setCurrentIndex(mode_->findData(Table()->lookupmode));
  RefillList();
  RefillGraph();
}

void ADXLookupEditor::AddEntry() {
  if (object_ == nullptr) return;
  ADXLookupTable* t = Table();
  // A number that cannot be read in full is refused, never cut ("12,5").
  const std::string inputText = Bytes(input_->text());
  float input = 0.0f;
  if (!ReadNumber(inputText, ChosenInputType(), &input)) {
    Services()->ShowMessage(PageWindow(), "Table Entry",
                            QString::fromStdString(FloatFieldMessage("Input", inputText)));
    return;
  }
  const std::string output = Bytes(output_->text());
  if (t->outputtype == kLookupText) {
    t->AddEntry(input, output.c_str(), output.size());
  } else {
    float number = 0.0f;
    if (!ReadNumber(output, t->outputtype, &number)) {
      Services()->ShowMessage(PageWindow(), "Table Entry",
                              QString::fromStdString(FloatFieldMessage("Output", output)));
      return;
    }
    t->AddEntry(input, number);
  }
  RefillList();
  RefillGraph();
}

void ADXLookupEditor::RemoveEntry() {
  QTreeWidgetItem* item = list_->currentItem();
  if (object_ == nullptr || item == nullptr || !item->isSelected()) return;
  const int row = list_->indexOfTopLevelItem(item);
  if (row < 0 || row >= Table()->EntryCount()) return;
  Table()->RemoveInput(Table()->entries[static_cast<std::size_t>(row)].input);
  RefillList();
  RefillGraph();
}

void ADXLookupEditor::TableFromGraph() {
  if (object_ == nullptr || Table()->outputtype == kLookupText) return;
  const QvChart2DSeries* series = graph_->getSeries(0);
  if (series == nullptr) return;
  ADXLookupTable* t = Table();
  t->ClearEntries();
  for (const QvChart2DPoint& p : series->Points()) t->AddEntry(p.x, p.y);
  RefillList();
  RefillGraph();
}
