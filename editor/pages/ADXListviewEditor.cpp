#include "editor/pages/ADXListviewEditor.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/common/QvColor.h"
#include "editor/pages/PageRowList.h"
#include "editor/pages/RowMoves.h"

namespace {

constexpr std::uint32_t kBrowseMask = ADX_TYPE_VALUE | ADX_TYPE_BITMASK | ADX_TYPE_ITEMEXTRA;
constexpr int kSeparatorTextMax = 255;

QFont SeparatorFont() {
  QFont font("Arial");
  font.setPointSize(14);
  font.setWeight(QFont::DemiBold);
  return font;
}

}  // namespace

ADXListviewEditor::ADXListviewEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  auto* area = new QWidget(GeneralTab());
  auto* columns = new QHBoxLayout(area);
  columns->setContentsMargins(0, 0, 0, 0);
  auto* buttons = new QVBoxLayout;
  auto* insert = new QPushButton("Insert Items ->", area);
  insert->setObjectName("1048");
  auto* separator = new QPushButton("Insert Separator->", area);
  separator->setObjectName("1049");
  auto* remove = new QPushButton("Delete Items ->", area);
  remove->setObjectName("1050");
  buttons->addWidget(insert);
  buttons->addWidget(separator);
  buttons->addWidget(remove);
  auto* group = new QGroupBox("Selection Properties", area);
  auto* props = new QFormLayout(group);
  color_ = new QPushButton(group);
  color_->setObjectName("1052");
  color_->setFixedSize(40, 20);
  props->addRow("Text Color", color_);
  bold_ = AddCheck(props, "Bold (Separator)", 1051);
  separatorText_ = AddLine(props, "Separator Text", 1053);
  separatorText_->setMaxLength(kSeparatorTextMax);
  buttons->addWidget(group);
  buttons->addStretch();
  columns->addLayout(buttons);
  // The list's one column, "Item", captioned like a list header.
  auto* listColumn = new QVBoxLayout;
  listColumn->setSpacing(0);
  auto* caption = new QLabel("Item", area);
  caption->setFrameShape(QFrame::StyledPanel);
  caption->setContentsMargins(4, 1, 4, 1);
  list_ = new PageRowList(area);
  list_->setObjectName("1047");
  list_->setMinimumHeight(160);
  listColumn->addWidget(caption);
  listColumn->addWidget(list_, 1);
  columns->addLayout(listColumn, 1);
  form->addRow(area);

  connect(insert, &QPushButton::clicked, this, &ADXListviewEditor::InsertItems);
  connect(separator, &QPushButton::clicked, this, &ADXListviewEditor::InsertSeparator);
  connect(remove, &QPushButton::clicked, this, &ADXListviewEditor::DeleteItems);
  connect(color_, &QPushButton::clicked, this, &ADXListviewEditor::ChooseColor);
  connect(list_, &QListWidget::itemSelectionChanged, this, &ADXListviewEditor::ShowSelection);
  connect(list_, &PageRowList::rowsDropped, this, &ADXListviewEditor::MoveRows);
  connect(bold_, &QCheckBox::toggled, this, [this](bool on) {
    const int row = SingleSelected();
    if (showing_ || row < 0) return;
    ListViewEntry& e = rows_[static_cast<std::size_t>(row)];
    e.flags = on ? (e.flags | kListEntryBold) : (e.flags & ~kListEntryBold);
    WriteRow(row);
  });
  connect(separatorText_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int row = SingleSelected();
    if (showing_ || row < 0 || rows_[static_cast<std::size_t>(row)].entrytype != kListEntrySeparator) return;
    const std::string bytes = Bytes(text);
    rows_[static_cast<std::size_t>(row)].SetTitle(bytes.c_str(), bytes.size());
    WriteRow(row);
  });
}

void ADXListviewEditor::LoadFields() {
  const auto* view = static_cast<const ADXListView*>(object_);
  rows_.clear();
  for (int i = 0; i < view->EntryCount(); ++i) rows_.push_back(*view->GetEntry(i));
  Refill({});
}

void ADXListviewEditor::CommitFields() {
  auto* view = static_cast<ADXListView*>(object_);
  view->SetEntryCount(static_cast<int>(rows_.size()));
  for (std::size_t i = 0; i < rows_.size(); ++i) view->SetEntry(static_cast<int>(i), rows_[i]);
}

void ADXListviewEditor::WriteRow(int row) {
  const ListViewEntry& e = rows_[static_cast<std::size_t>(row)];
  QListWidgetItem* item = list_->item(row);
  if (e.entrytype == kListEntrySeparator) {
    item->setText(Text(e.title));
  } else {
    item->setText(e.item != nullptr ? Text(e.item->title) : QString("<MISSING ITEM>"));
  }
  item->setFont(e.entrytype == kListEntrySeparator && (e.flags & kListEntryBold) != 0 ? SeparatorFont()
                                                                                      : QFont());
  item->setForeground(e.color != 0 ? QBrush(QvColorFromRef(e.color)) : QBrush());
}

void ADXListviewEditor::Refill(const std::vector<int>& select) {
  {
    const QSignalBlocker block(list_);
    list_->clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      list_->addItem(QString());
      WriteRow(static_cast<int>(i));
    }
    list_->SelectRows(select);
  }
  ShowSelection();
}

int ADXListviewEditor::SingleSelected() const {
  const std::vector<int> rows = list_->SelectedRows();
  return rows.size() == 1 ? rows.front() : -1;
}

void ADXListviewEditor::ShowSelection() {
  const std::vector<int> selected = list_->SelectedRows();
  const int row = selected.size() == 1 ? selected.front() : -1;
  const ListViewEntry* e = row >= 0 ? &rows_[static_cast<std::size_t>(row)] : nullptr;
  const bool separator = e != nullptr && e->entrytype == kListEntrySeparator;
  showing_ = true;
  color_->setEnabled(!selected.empty());
  const QColor swatch = e != nullptr ? QvColorFromRef(e->color) : QColor(Qt::black);
  color_->setStyleSheet(QString("background-color: %1").arg(swatch.name()));
  bold_->setEnabled(separator);
  separatorText_->setEnabled(separator);
  bold_->setChecked(e != nullptr && (e->flags & kListEntryBold) != 0);
  separatorText_->setText(separator ? Text(e->title) : QString());
  showing_ = false;
}

int ADXListviewEditor::InsertionRow() {
  const std::vector<int> selected = list_->SelectedRows();
  if (selected.size() > 1) {
    Services()->ShowMessage(PageWindow(), "Oops!", "Please select a single item as an insertion point.");
    return -2;
  }
  return selected.empty() ? static_cast<int>(rows_.size()) : selected.front();
}

void ADXListviewEditor::InsertItems() {
  if (object_ == nullptr) return;
  const int at = InsertionRow();
  if (at < 0) return;
  std::vector<ADXObject*> chosen;
  if (Services()->BrowseItems(PageWindow(), definition_, kBrowseMask, false, &chosen) == 0) return;
  // A view holds at most 255 rows; further choices are not inserted.
  const std::size_t room = rows_.size() < kAdxMaxEntries ? kAdxMaxEntries - rows_.size() : 0;
  if (chosen.size() > room) chosen.resize(room);
  std::vector<ListViewEntry> added;
  for (ADXObject* object : chosen) {
    ListViewEntry e;
    e.entrytype = kListEntryItem;
    e.SetItem(object);
    added.push_back(e);
  }
  rows_.insert(rows_.begin() + at, added.begin(), added.end());
  std::vector<int> select;
  for (std::size_t i = 0; i < added.size(); ++i) select.push_back(at + static_cast<int>(i));
  Refill(select);
}

void ADXListviewEditor::InsertSeparator() {
  if (object_ == nullptr || rows_.size() >= kAdxMaxEntries) return;
  const int at = InsertionRow();
  if (at < 0) return;
  ListViewEntry e;
  e.entrytype = kListEntrySeparator;
  e.flags = kListEntryBold;
  e.SetTitle("New Separator", 13);
  rows_.insert(rows_.begin() + at, e);
  Refill({at});
}

void ADXListviewEditor::DeleteItems() {
  const std::vector<int> selected = list_->SelectedRows();
  if (selected.empty()) return;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) rows_.erase(rows_.begin() + *it);
  const int first = selected.front();
  Refill(first < static_cast<int>(rows_.size()) ? std::vector<int>{first} : std::vector<int>{});
}

void ADXListviewEditor::ChooseColor() {
  const std::vector<int> selected = list_->SelectedRows();
  if (selected.empty()) return;
  QColor chosen;
  const QColor initial = QvColorFromRef(rows_[static_cast<std::size_t>(selected.front())].color);
  if (!Services()->ChooseColor(PageWindow(), initial, &chosen)) return;
  for (const int row : selected) {
    rows_[static_cast<std::size_t>(row)].color = QvRefFromColor(chosen);
    WriteRow(row);
  }
  ShowSelection();
}

void ADXListviewEditor::MoveRows(std::vector<int> selected, int target) {
  const std::vector<int> placed = MoveRowsBefore(rows_, std::move(selected), target);
  if (!placed.empty()) Refill(placed);
}
