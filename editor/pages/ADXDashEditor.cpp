#include "editor/pages/ADXDashEditor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "editor/pages/PageText.h"

ADXDashEditor::ADXDashEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  list_ = new QTreeWidget(GeneralTab());
  list_->setObjectName("1125");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"Item", "Gauge Type", "Top", "Left", "Bottom", "Right"});
  const int widths[] = {80, 75, 40, 40, 40, 40};
  for (int c = 0; c < 6; ++c) list_->setColumnWidth(c, widths[c]);
  list_->setMinimumHeight(100);
  form->addRow(list_);
  auto* buttons = new QWidget(GeneralTab());
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  auto* add = new QPushButton("Add Gauge", buttons);
  add->setObjectName("1128");
  auto* remove = new QPushButton("Remove Gauge", buttons);
  remove->setObjectName("1129");
  row->addWidget(add);
  row->addWidget(remove);
  form->addRow(buttons);

  auto* group = new QGroupBox("Default Gauge Properties", GeneralTab());
  auto* props = new QFormLayout(group);
  item_ = AddLine(props, "Item", 1135);
  item_->setReadOnly(true);
  type_ = AddCombo(props, "Gauge Type", 1136);
  type_->addItem("Analog", 0);
  type_->addItem("Digital Numeric", 1);
  type_->addItem("Status (Flag)", 2);
  // The four location fields side by side, two to a row.
  auto* where = new QWidget(group);
  auto* grid = new QGridLayout(where);
  grid->setContentsMargins(0, 0, 0, 0);
  const std::pair<const char*, int> places[] = {
      {"Top", 1132}, {"Left", 1131}, {"Bottom", 1133}, {"Right", 1134}};
  QLineEdit* edits[4] = {};
  for (int i = 0; i < 4; ++i) {
    edits[i] = new QLineEdit(where);
    edits[i]->setObjectName(QString::number(places[i].second));
    grid->addWidget(new QLabel(places[i].first, where), i / 2, (i % 2) * 2);
    grid->addWidget(edits[i], i / 2, (i % 2) * 2 + 1);
  }
  top_ = edits[0];
  left_ = edits[1];
  bottom_ = edits[2];
  right_ = edits[3];
  props->addRow("Gauge Location (%)", where);
  form->addRow(group);

  connect(add, &QPushButton::clicked, this, &ADXDashEditor::AddGauge);
  connect(remove, &QPushButton::clicked, this, &ADXDashEditor::RemoveGauge);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &ADXDashEditor::ShowGauge);
  connect(type_, &QComboBox::activated, this, &ADXDashEditor::StoreField);
  for (QLineEdit* edit : {top_, left_, bottom_, right_}) {
    connect(edit, &QLineEdit::textEdited, this, &ADXDashEditor::StoreField);
  }
}

QString ADXDashEditor::GaugeTypeText(std::int32_t type) {
  switch (type) {
    case 0:
      return "Analog";
    case 1:
      return "Digital Num";
    case 2:
      return "Status";
    default:
      return QString();
  }
}

void ADXDashEditor::LoadFields() {
  const auto* dash = static_cast<const ADXDashboard*>(object_);
  gauges_.clear();
  for (int i = 0; i < dash->EntryCount(); ++i) gauges_.push_back(*dash->GetEntry(i));
  Refill(-1);
}

void ADXDashEditor::CommitFields() {
  auto* dash = static_cast<ADXDashboard*>(object_);
  dash->SetEntryCount(static_cast<int>(gauges_.size()));
  for (std::size_t i = 0; i < gauges_.size(); ++i) dash->SetEntry(static_cast<int>(i), gauges_[i]);
}

void ADXDashEditor::WriteRow(int row) {
  const DashboardEntry& g = gauges_[static_cast<std::size_t>(row)];
  QTreeWidgetItem* item = list_->topLevelItem(row);
  item->setText(0, g.item != nullptr ? Text(g.item->title) : QString());
  item->setText(1, GaugeTypeText(g.gaugetype));
  item->setText(2, QString::number(g.top));
  item->setText(3, QString::number(g.left));
  item->setText(4, QString::number(g.bottom));
  item->setText(5, QString::number(g.right));
}

void ADXDashEditor::Refill(int select) {
  {
    const QSignalBlocker block(list_);
    list_->clear();
    for (std::size_t i = 0; i < gauges_.size(); ++i) {
      new QTreeWidgetItem(list_);
      WriteRow(static_cast<int>(i));
    }
    if (select >= 0 && select < list_->topLevelItemCount())
      list_->setCurrentItem(list_->topLevelItem(select));
  }
  ShowGauge();
}

void ADXDashEditor::AddGauge() {
  if (object_ == nullptr) return;
  // The entry array holds at most 255 gauges.
  if (gauges_.size() >= 255) return;
  gauges_.push_back(DashboardEntry{});
  Refill(static_cast<int>(gauges_.size()) - 1);
}

void ADXDashEditor::RemoveGauge() {
  QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr || !item->isSelected()) return;
  const int row = list_->indexOfTopLevelItem(item);
  gauges_.erase(gauges_.begin() + row);
  Refill(-1);
}

void ADXDashEditor::ShowGauge() {
  QTreeWidgetItem* item = list_->currentItem();
  const int row = item != nullptr && item->isSelected() ? list_->indexOfTopLevelItem(item) : -1;
  showing_ = true;
  for (QWidget* w : std::initializer_list<QWidget*>{type_, top_, left_, bottom_, right_})
    w->setEnabled(row >= 0);
  if (row < 0) {
    item_->clear();
    type_->setCurrentIndex(-1);
    for (QLineEdit* edit : {top_, left_, bottom_, right_}) edit->clear();
  } else {
    const DashboardEntry& g = gauges_[static_cast<std::size_t>(row)];
    item_->setText(g.item != nullptr ? Text(g.item->title) : QString());
    type_->setCurrentIndex(type_->findData(g.gaugetype));
    top_->setText(QString::number(g.top));
    left_->setText(QString::number(g.left));
    bottom_->setText(QString::number(g.bottom));
    right_->setText(QString::number(g.right));
  }
  showing_ = false;
}

void ADXDashEditor::StoreField() {
  QTreeWidgetItem* item = list_->currentItem();
  if (showing_ || item == nullptr || !item->isSelected()) return;
  const int row = list_->indexOfTopLevelItem(item);
  DashboardEntry& g = gauges_[static_cast<std::size_t>(row)];
  if (type_->currentIndex() >= 0) g.gaugetype = type_->currentData().toInt();
  g.top = ReadInt16Field(Bytes(top_->text()));
  g.left = ReadInt16Field(Bytes(left_->text()));
  g.bottom = ReadInt16Field(Bytes(bottom_->text()));
  g.right = ReadInt16Field(Bytes(right_->text()));
  WriteRow(row);
}
