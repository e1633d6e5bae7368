// The value model first: its evaluator header uses names that Qt's keyword
// macros would replace.
#include "definition/ADXValue.h"

#include "editor/pages/ADXValueEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "controls/common/TextBytes.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "editor/catalogs/AdxCatalogs.h"
#include "editor/pages/PageText.h"

namespace {

constexpr int kEquationBuffer = 256;  // the dialog takes up to 255 characters
constexpr int kLinkTitleMax = 60;

void FillSizes(QComboBox* combo) {
  combo->addItem("8 Bit", 8);
  combo->addItem("16 Bit", 16);
  combo->addItem("32 Bit", 32);
}

// The catalog's long names in row order, each with its row number.
void FillCatalog(QComboBox* combo, std::span<const AdxCatalogRow> rows) {
  for (const AdxCatalogRow& row : rows) {
    combo->addItem(QString::fromLatin1(row.longName), QVariant::fromValue<uint>(row.identifier));
  }
}

}  // namespace

ADXValue* ADXValueEditor::Value() const {
  return static_cast<ADXValue*>(object_);
}

void ADXValueEditor::TakeArguments() {
  variables_.clear();
  for (const ValueVariable& v : Value()->variables) variables_.push_back({v.kind, v.varID, v.linkhash});
}

ADXValueEditor::ADXValueEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  dataType_ = AddCombo(form, "Data Type", 1149);
  FillCatalog(dataType_, StockItemCatalog());
  stockUnits_ = AddCombo(form, "Stock Units", 1150);
  FillCatalog(stockUnits_, UnitsCatalog());
  units_ = AddLine(form, "Units Override", 1009);
  offset_ = AddLine(form, "Packet Offset (Hex)", 1010);
  signed_ = AddCheck(form, "Signed", 1012);
  lsbFirst_ = AddCheck(form, "LSB First", 1013);
  size_ = AddCombo(form, "Source Data Size", 1011);
  FillSizes(size_);
  rangeLow_ = AddLine(form, "Range Low", 1014);
  rangeHigh_ = AddLine(form, "Range High", 1015);
  alarmLow_ = AddLine(form, "Alarm Low", 1016);
  alarmLowOn_ = AddCheck(form, "Enabled", 1018);
  alarmHigh_ = AddLine(form, "Alarm High", 1017);
  alarmHighOn_ = AddCheck(form, "Enabled", 1019);
  command_ = AddCombo(form, "Command Association", 1140);
  BuildConversionTab();
}

void ADXValueEditor::BuildConversionTab() {
  QWidget* tab = AddTab("Conversion");
  tab->setObjectName("104");
  auto* form = new QFormLayout(tab);
  equation_ = AddLine(form, "Equation", 1019);
  equation_->setReadOnly(true);
  auto* set = new QPushButton("Set", tab);
  set->setObjectName("1026");
  form->addRow(set);
  arguments_ = new QListWidget(tab);
  arguments_->setObjectName("1020");
  arguments_->setFixedHeight(80);
  form->addRow("Arguments", arguments_);
  argumentType_ = AddCombo(form, "Argument Type", 1021);
  argumentType_->addItem("Native", kVariableNative);
  argumentType_->addItem("Linked Output", kVariableLink);
  linkedId_ = AddLine(form, "Linked Object ID", 1022);
  linkedId_->setReadOnly(true);
  selectLinked_ = new QPushButton("Select Linked Object", tab);
  selectLinked_->setObjectName("1023");
  form->addRow(selectLinked_);
  outputFormat_ = AddCombo(form, "Output Format", 1024);
  // The menu's data is the number the ADX file stores.
  outputFormat_->addItem("Hex", static_cast<int>(kOutputHex));
  outputFormat_->addItem("Integer", static_cast<int>(kOutputInteger));
  outputFormat_->addItem("Unsigned Integer", static_cast<int>(kOutputUnsigned));
  outputFormat_->addItem("Floating Point", static_cast<int>(kOutputFloat));
  outputFormat_->addItem("Percentage of Defined Range", static_cast<int>(kOutputPercent));
  digits_ = AddLine(form, "Output Digits", 1025);
  useLookup_ = AddCheck(form, "Send converted data to lookup table", 1095);
  lookup_ = AddCombo(form, "Lookup Table", 1096);

  connect(set, &QPushButton::clicked, this, &ADXValueEditor::EditEquation);
  connect(selectLinked_, &QPushButton::clicked, this, &ADXValueEditor::SelectLinkedObject);
  connect(arguments_, &QListWidget::currentRowChanged, this, &ADXValueEditor::ShowArgument);
  connect(argumentType_, &QComboBox::activated, this, &ADXValueEditor::ArgumentTypeChanged);
  connect(useLookup_, &QCheckBox::toggled, this, [this](bool on) {
    lookup_->setEnabled(on);
    if (!on) lookup_->setCurrentIndex(-1);
  });
}

void ADXValueEditor::LoadFields() {
  ADXValue* v = Value();
  SelectByData(dataType_, v->datatype);
  SelectByData(stockUnits_, v->unittype);
  units_->setText(Text(v->units));
  offset_->setText(QString::fromStdString(FormatHexField(v->packetoffset)));
  signed_->setChecked((v->flags & kValueSigned) != 0);
  lsbFirst_->setChecked((v->flags & kValueLsbFirst) != 0);
  size_->setCurrentIndex(size_->findData(v->sizeinbits));
  rangeLow_->setText(DecimalFieldText(v->rangelow));
  rangeHigh_->setText(DecimalFieldText(v->rangehigh));
  alarmLow_->setText(DecimalFieldText(v->alarmlow));
  alarmLowOn_->setChecked((v->flags & kValueAlarmLow) != 0);
  alarmHigh_->setText(DecimalFieldText(v->alarmhigh));
  alarmHighOn_->setChecked((v->flags & kValueAlarmHigh) != 0);
  FillCommandAssociation(command_, "<All>", [](std::uint32_t type) { return type == 0xFFFFFFFFu; });
  SelectByData(command_, v->parentcmdidhash);

  outputFormat_->setCurrentIndex(outputFormat_->findData(static_cast<int>(v->outputtype)));
  digits_->setText(QString::number(v->digcount));
  lookup_->clear();
  for (int n = 0;; ++n) {
    const ADXObject* table =
        definition_ != nullptr ? definition_->GetObjectByType(ADX_TYPE_LOOKUPTABLE, n) : nullptr;
    if (table == nullptr) break;
    lookup_->addItem(Text(table->title), QVariant::fromValue<uint>(table->idhash));
  }
  const int table = v->lookupidhash != 0 ? lookup_->findData(QVariant::fromValue<uint>(v->lookupidhash)) : -1;
  useLookup_->setChecked(table >= 0);
  lookup_->setEnabled(table >= 0);
  lookup_->setCurrentIndex(table);

  TakeArguments();
  RefreshEquation();
  RefreshArguments(0);
}

void ADXValueEditor::CommitFields() {
  ADXValue* v = Value();
  v->datatype = static_cast<std::uint16_t>(SelectedData(dataType_, v->datatype));
  v->unittype = static_cast<std::uint16_t>(SelectedData(stockUnits_, v->unittype));
  const std::string units = Bytes(units_->text());
  v->SetUnits(units.c_str(), units.size());
  v->packetoffset = ReadHexField(Bytes(offset_->text()));
  std::uint32_t flags = v->flags & ~(kValueSigned | kValueLsbFirst | kValueAlarmLow | kValueAlarmHigh);
  if (signed_->isChecked()) flags |= kValueSigned;
  if (lsbFirst_->isChecked()) flags |= kValueLsbFirst;
  if (alarmLowOn_->isChecked()) flags |= kValueAlarmLow;
  if (alarmHighOn_->isChecked()) flags |= kValueAlarmHigh;
  v->flags = flags;
  if (size_->currentIndex() >= 0) v->sizeinbits = size_->currentData().toInt();
  ReadDecimalField(rangeLow_, "Range Low", &v->rangelow);
  ReadDecimalField(rangeHigh_, "Range High", &v->rangehigh);
  ReadDecimalField(alarmLow_, "Alarm Low", &v->alarmlow);
  ReadDecimalField(alarmHigh_, "Alarm High", &v->alarmhigh);
  v->parentcmdidhash = SelectedData(command_, v->parentcmdidhash);

  if (outputFormat_->currentIndex() >= 0)
    v->outputtype = static_cast<OutputType>(outputFormat_->currentData().toInt());
  v->digcount = ReadUnsignedField8(Bytes(digits_->text()));
  v->lookupidhash = 0;
  v->lookup = nullptr;
  if (useLookup_->isChecked() && lookup_->currentIndex() >= 0 && definition_ != nullptr) {
    ADXObject* table = definition_->FindByHash(lookup_->currentData().toUInt());
    if (table != nullptr && table->objectType == ADX_TYPE_LOOKUPTABLE) {
      v->lookupidhash = table->idhash;
      v->lookup = static_cast<ADXLookupTable*>(table);
    }
  }
  // The argument rows were made from the value's own list, so they pair up
  // one to one; a list changed behind the page's back is left alone.
  if (variables_.size() == v->variables.size()) {
    for (std::size_t i = 0; i < variables_.size(); ++i) {
      v->variables[i].kind = variables_[i].kind;
      v->variables[i].varID = variables_[i].varID;
      v->variables[i].linkhash = variables_[i].kind == kVariableLink ? variables_[i].linkhash : 0;
    }
  }
}

void ADXValueEditor::RefreshEquation() {
  char text[kEquationBuffer] = {};
  Value()->GetEquation(text, sizeof(text));
  equation_->setText(QString::fromLatin1(text));
}

QString ADXValueEditor::ArgumentText(const ValueArgumentRow& v) const {
  if (v.kind != kVariableLink) return QString::asprintf("%c (Native)", v.varID);
  const ADXObject* linked = definition_ != nullptr ? definition_->FindByHash(v.linkhash) : nullptr;
  const std::string title = linked != nullptr ? linked->title.substr(0, kLinkTitleMax) : std::string();
  return QString::asprintf("%c (Link: %s)", v.varID, title.c_str());
}

void ADXValueEditor::RefreshArguments(int select) {
  const QSignalBlocker block(arguments_);
  arguments_->clear();
  for (const ValueArgumentRow& v : variables_) arguments_->addItem(ArgumentText(v));
  if (select >= arguments_->count()) select = arguments_->count() - 1;
  arguments_->setCurrentRow(select);
  ShowArgument(select);
}

void ADXValueEditor::ShowArgument(int row) {
  const bool valid = row >= 0 && static_cast<std::size_t>(row) < variables_.size();
  argumentType_->setEnabled(valid);
  if (!valid) {
    argumentType_->setCurrentIndex(-1);
    linkedId_->clear();
    selectLinked_->setEnabled(false);
    return;
  }
  const ValueArgumentRow& v = variables_[static_cast<std::size_t>(row)];
  argumentType_->setCurrentIndex(argumentType_->findData(v.kind));
  const bool linked = v.kind == kVariableLink;
  char id[kAdxIdSize] = {};
  if (linked && definition_ != nullptr) definition_->GetIdByHash(v.linkhash, id, sizeof(id));
  linkedId_->setText(TextFromBytes(id));
  selectLinked_->setEnabled(linked);
}

void ADXValueEditor::ArgumentTypeChanged(int index) {
  const int row = arguments_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= variables_.size() || index < 0) return;
  variables_[static_cast<std::size_t>(row)].kind = argumentType_->itemData(index).toInt();
  RefreshArguments(row);
}

void ADXValueEditor::EditEquation() {
  if (object_ == nullptr) return;
  char text[kEquationBuffer] = {};
  Value()->GetEquation(text, sizeof(text));
  QString edited;
  if (!Services()->EditEquation(PageWindow(), QString::fromLatin1(text), &edited)) return;
  const std::string equation = Bytes(edited.left(kEquationBuffer - 1));
  Value()->SetEquation(equation.c_str(), equation.size());
  TakeArguments();
  RefreshEquation();
  RefreshArguments(0);
}

void ADXValueEditor::SelectLinkedObject() {
  const int row = arguments_->currentRow();
  if (object_ == nullptr || row < 0 || static_cast<std::size_t>(row) >= variables_.size()) return;
  std::vector<ADXObject*> chosen;
  if (Services()->BrowseItems(PageWindow(), definition_, ADX_TYPE_VALUE, true, &chosen) == 0 ||
      chosen.empty()) {
    return;
  }
  variables_[static_cast<std::size_t>(row)].linkhash = chosen.front()->idhash;
  RefreshArguments(row);
}
