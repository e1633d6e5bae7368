// The definition headers come before any Qt header: the evaluator has a member
// named like one of Qt's keyword macros.
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDashboard.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXKinds.h"
#include "definition/ADXListView.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXMonitor.h"
#include "definition/ADXValue.h"

#include "editor/dialog/BrelithDialog.h"

#include <QFile>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeWidget>

#include <cstring>

#include "controls/common/TextBytes.h"
#include "editor/dialog/CommandTypeChooser.h"
#include "editor/dialog/DependencyRepair.h"
#include "editor/dialog/EditorTitle.h"
#include "editor/dialog/EditorTree.h"
#include "editor/dialog/EditorTreeImages.h"
#include "editor/dialog/IEditorDialogServices.h"

namespace {

constexpr int kRecordRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kRootTypeRole = Qt::UserRole + 2;

struct RootLook {
  const char* text;
  int image;
  std::uint32_t mask;  // the object types listed under the root
};

constexpr std::array<RootLook, BrelithDialog::kRootCount> kRoots{{
    {"ADX Header Data", 1, 0},
    {"Commands", 6, ADX_MASK_COMMANDS},
    {"Item List Views", 5, ADX_TYPE_LISTVIEW},
    {"Dashboards", 13, ADX_TYPE_DASHBOARD},
    {"Values", 2, ADX_TYPE_VALUE},
    {"Bitmasks", 3, ADX_TYPE_BITMASK},
    {"Lookup Tables", 4, ADX_TYPE_LOOKUPTABLE},
    {"Histograms", 12, ADX_TYPE_HISTOGRAM},
    {"Monitors", 14, ADX_TYPE_MONITOR},
}};

std::unique_ptr<ADXObject> MakeObject(std::uint32_t type) {
  return MakeAdxObject(type);
}

QString Latin1(const std::string& text) {
  return TextFromBytes(text);
}

}  // namespace

BrelithDialog::BrelithDialog(QWidget* owner, ADXDefinition* definition, std::string path,
                             std::uint32_t options, IEditorDialogServices* services)
    // An application window has no owner, so it gets a task-bar button of its own.
    : QDialog((options & kEditorOptionAppWindow) != 0 ? nullptr : owner),
      definition_(definition),
      path_(std::move(path)),
      options_(options),
      services_(services != nullptr ? services : DefaultEditorDialogServices()),
      tree_(new EditorTree(this)),
      delete_(new QPushButton(QStringLiteral("Delete"), this)),
      add_(new QPushButton(QStringLiteral("Add New Item"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      save_(new QPushButton(QStringLiteral("Save"), this)),
      saveAs_(new QPushButton(QStringLiteral("Save As..."), this)) {
  if (path_.size() > kEditorPathMax) path_.resize(kEditorPathMax);
  setObjectName(QStringLiteral("101"));
  setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
  tree_->setObjectName(QStringLiteral("1001"));
  delete_->setObjectName(QStringLiteral("1043"));
  add_->setObjectName(QStringLiteral("1042"));
  cancel_->setObjectName(QStringLiteral("2"));
  save_->setObjectName(QStringLiteral("1"));
  saveAs_->setObjectName(QStringLiteral("3"));
  for (QPushButton* button : {delete_, add_, cancel_, save_, saveAs_}) button->setAutoDefault(false);

  // Starting geometry; the page area right of the tree fits a 400 x 400 page.
  const QSize start(720, 470);
  metrics_.tree = QRect(5, 5, 250, 0);
  metrics_.buttonHeight = std::max(24, save_->sizeHint().height());
  metrics_.deleteWidth = 70;
  metrics_.addWidth = 100;
  metrics_.bottomButtonWidth = 84;
  const int firstX = metrics_.tree.right() + 1 + 2 + 400 - 3 * (metrics_.bottomButtonWidth + 6) + 6;
  for (int i = 0; i < 3; ++i) metrics_.bottomButtonX[i] = firstX + i * (metrics_.bottomButtonWidth + 6);

  BuildTree();
  CreatePages();
  UpdateTitle();

  connect(tree_, &QTreeWidget::currentItemChanged, this, &BrelithDialog::OnCurrentItemChanged);
  connect(tree_, &EditorTree::itemDropped, this,
          [this](QTreeWidgetItem* dragged, QTreeWidgetItem* target) { DropItem(dragged, target); });
  connect(add_, &QPushButton::clicked, this, &BrelithDialog::AddNewItem);
  connect(delete_, &QPushButton::clicked, this, &BrelithDialog::DeleteSelected);
  connect(save_, &QPushButton::clicked, this, &BrelithDialog::Save);
  connect(saveAs_, &QPushButton::clicked, this, &BrelithDialog::SaveAs);
  connect(cancel_, &QPushButton::clicked, this, &BrelithDialog::CancelEditor);

  resize(start);
  setMinimumSize(start);
  if (owner != nullptr) move(owner->window()->frameGeometry().center() - rect().center());
  ApplyLayout();
  SelectItem(roots_[kRootHeader]);
}

BrelithDialog::~BrelithDialog() {
  // Pages go in reverse order of creation, before the dialog's children.
  currentPage_ = nullptr;
  while (!pages_.empty()) pages_.pop_back();
}

QTreeWidget* BrelithDialog::Tree() const {
  return tree_;
}

ADXItemEditorBase* BrelithDialog::PageForType(std::uint32_t type) const {
  for (const auto& [pageType, page] : pages_) {
    if (pageType == type) return page.get();
  }
  return nullptr;
}

const ADXEditorItemRecord* BrelithDialog::RecordOf(const QTreeWidgetItem* item) {
  if (item == nullptr) return nullptr;
  return reinterpret_cast<const ADXEditorItemRecord*>(item->data(0, kRecordRole).value<quintptr>());
}

int BrelithDialog::ImageOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kImageRole).toInt() : 0;
}

QString BrelithDialog::TreeText(const ADXObject* object) {
  if (object->IsType(ADX_MASK_COMMANDS) && object->title.empty()) return QStringLiteral("Un-named Command");
  return Latin1(object->title);
}

void BrelithDialog::BuildTree() {
  for (int r = 0; r < kRootCount; ++r) {
    auto* root = new QTreeWidgetItem(tree_, {QString::fromLatin1(kRoots[r].text)});
    root->setIcon(0, EditorTreeImage(kRoots[r].image));
    root->setData(0, kImageRole, kRoots[r].image);
    root->setData(0, kRootTypeRole, static_cast<qulonglong>(kRoots[r].mask));
    roots_[r] = root;
  }
  auto header = std::make_unique<ADXEditorItemRecord>();
  header->kind = ADXEditorItemRecord::kHeader;
  roots_[kRootHeader]->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(header.get())));
  records_.push_back(std::move(header));

  for (int r = kRootCommands; r < kRootCount; ++r) {
    for (int n = 0;; ++n) {
      ADXObject* object = definition_->GetObjectByType(kRoots[r].mask, n);
      if (object == nullptr) break;
      AddChild(roots_[r], roots_[r]->childCount(), object);
    }
  }
}

QTreeWidgetItem* BrelithDialog::AddChild(QTreeWidgetItem* root, int index, ADXObject* object) {
  auto record = std::make_unique<ADXEditorItemRecord>();
  record->kind =
      object->IsType(ADX_MASK_COMMANDS) ? ADXEditorItemRecord::kCommand : ADXEditorItemRecord::kObject;
  record->object = object;
  auto* item = new QTreeWidgetItem({TreeText(object)});
  const int image = TreeImageForType(object->objectType);
  item->setIcon(0, EditorTreeImage(image));
  item->setData(0, kImageRole, image);
  item->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(record.get())));
  records_.push_back(std::move(record));
  root->insertChild(index, item);
  return item;
}

void BrelithDialog::RefreshTreeTexts() {
  for (int r = kRootCommands; r < kRootCount; ++r) {
    for (int i = 0; i < roots_[r]->childCount(); ++i) {
      QTreeWidgetItem* item = roots_[r]->child(i);
      const ADXEditorItemRecord* record = RecordOf(item);
      if (record != nullptr && record->object != nullptr) item->setText(0, TreeText(record->object));
    }
  }
}

void BrelithDialog::CreatePages() {
  IEditorPageServices* pageServices = services_->PageServices();
  for (std::uint32_t type : ItemEditorCreationOrder()) {
    std::unique_ptr<ADXItemEditorBase> page = CreateItemEditor(type, this, pageServices);
    if (!page) continue;
    page->PageWindow()->hide();
    page->PageWindow()->move(metrics_.tree.left() + metrics_.tree.width() + 2, metrics_.tree.top());
    connect(page.get(), &ADXItemEditorBase::titleEdited, this, &BrelithDialog::OnTitleEdited);
    pages_.emplace_back(type, std::move(page));
  }
}

bool BrelithDialog::ValidateCurrentPage() {
  if (currentPage_ == nullptr) return true;
  char message[kAdxValidateMessageSize] = {};
  if (currentPage_->Validate(message, sizeof message) != 0) return true;
  message[sizeof message - 1] = '\0';
  if (message[0] != '\0') {
    services_->Warning(this, QString::fromLatin1(kAdxInvalidDataCaption), TextFromBytes(message));
  }
  return false;
}

void BrelithDialog::OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
  if (selecting_) return;
  if (!ValidateCurrentPage()) {
    // The page keeps the user on its object.
    selecting_ = true;
    tree_->setCurrentItem(previous);
    selecting_ = false;
    // A mouse press selects the clicked row after announcing the change;
    // select the kept row again once the press is over.
    QMetaObject::invokeMethod(
        this,
        [this] {
          selecting_ = true;
          if (QTreeWidgetItem* kept = tree_->currentItem()) tree_->setCurrentItem(kept);
          selecting_ = false;
        },
        Qt::QueuedConnection);
    return;
  }
  if (currentPage_ != nullptr) currentPage_->Commit();
  ShowPageFor(current);
}

bool BrelithDialog::SelectItem(QTreeWidgetItem* item) {
  if (item == nullptr) return false;
  if (tree_->currentItem() == item) {
    if (currentPage_ == nullptr) ShowPageFor(item);
    return true;
  }
  tree_->setCurrentItem(item);
  return tree_->currentItem() == item;
}

void BrelithDialog::ForceSelect(QTreeWidgetItem* item) {
  selecting_ = true;
  tree_->setCurrentItem(item);
  selecting_ = false;
  ShowPageFor(tree_->currentItem());
}

void BrelithDialog::HidePage() {
  if (currentPage_ != nullptr) currentPage_->PageWindow()->hide();
  currentPage_ = nullptr;
}

void BrelithDialog::ShowPageFor(QTreeWidgetItem* item) {
  ADXItemEditorBase* previous = currentPage_;
  ADXItemEditorBase* next = nullptr;
  const ADXEditorItemRecord* record = RecordOf(item);
  if (record != nullptr) {
    if (record->kind == ADXEditorItemRecord::kHeader) {
      next = PageForType(0);
    } else if (record->object != nullptr) {
      next = PageForType(record->object->objectType);
    }
  }
  if (next != nullptr) next->Load(definition_, record);
  currentPage_ = next;
  if (next != nullptr) {
    next->PageWindow()->setGeometry(LayOutEditor(size(), metrics_).page);
    next->PageWindow()->show();
  }
  if (previous != nullptr && previous != next) previous->PageWindow()->hide();
  add_->setEnabled(item != nullptr && item != roots_[kRootHeader]);
}

void BrelithDialog::OnTitleEdited(const QString& title) {
  if (sender() != currentPage_) return;
  QTreeWidgetItem* item = tree_->currentItem();
  const ADXEditorItemRecord* record = RecordOf(item);
  if (record == nullptr || record->object == nullptr) return;
  if (record->kind == ADXEditorItemRecord::kCommand && title.isEmpty()) {
    item->setText(0, QStringLiteral("Un-named Command"));
  } else {
    item->setText(0, title);
  }
}

void BrelithDialog::AddNewItem() {
  QTreeWidgetItem* selected = tree_->currentItem();
  if (selected == nullptr || !ValidateCurrentPage()) return;
  QTreeWidgetItem* root = selected->parent() != nullptr ? selected->parent() : selected;
  if (root == roots_[kRootHeader]) return;

  std::uint32_t type = static_cast<std::uint32_t>(root->data(0, kRootTypeRole).toULongLong());
  const char* title = "New Item";
  if (root == roots_[kRootCommands]) {
    type = services_->ChooseCommandType(this);
    title = NewCommandTitle(type);
    if (title == nullptr) return;
  }
  std::unique_ptr<ADXObject> object = MakeObject(type);
  if (!object) return;
  object->SetTitle(title, std::strlen(title));

  const bool atRoot = selected == root;
  const ADXEditorItemRecord* anchorRecord = RecordOf(selected);
  ADXObject* anchor = atRoot || anchorRecord == nullptr ? nullptr : anchorRecord->object;
  ADXObject* added = object.get();
  if (definition_->InsertAfter(std::move(object), anchor) == 0) return;

  QTreeWidgetItem* item = AddChild(root, atRoot ? 0 : root->indexOfChild(selected) + 1, added);
  // The current page was validated above: commit it and open the new object.
  if (currentPage_ != nullptr) currentPage_->Commit();
  HidePage();
  ForceSelect(item);
}

void BrelithDialog::DeleteSelected() {
  QTreeWidgetItem* selected = tree_->currentItem();
  const ADXEditorItemRecord* record = RecordOf(selected);
  if (record == nullptr || record->object == nullptr) return;
  std::unique_ptr<ADXObject> doomed = definition_->Remove(record->object);
  if (!doomed) return;

  const DependencyRepairResult repair = RepairDependants(*definition_, doomed.get());
  RefreshTreeTexts();
  const std::string message = DependencyMessage(repair);
  if (!message.empty()) services_->Information(this, Latin1(doomed->title), Latin1(message));

  // No page may keep the object once it is gone; the current one is hidden
  // without committing.
  for (auto& entry : pages_) {
    if (entry.second->Object() == doomed.get()) entry.second->Unload();
  }
  HidePage();
  doomed.reset();

  QTreeWidgetItem* parent = selected->parent();
  QTreeWidgetItem* next = parent->child(parent->indexOfChild(selected) + 1);
  if (next != nullptr) ForceSelect(next);
  selecting_ = true;
  delete selected;
  selecting_ = false;
  if (currentPage_ == nullptr) ForceSelect(tree_->currentItem());
}

bool BrelithDialog::DropItem(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
  if (dragged == nullptr || target == nullptr || dragged == target) return false;
  // The drop is reported after the drag: both items must still be in the
  // tree, which is checked by address before either is used.
  if (!InTree(dragged) || !InTree(target)) return false;
  QTreeWidgetItem* root = dragged->parent();
  if (root == nullptr) return false;  // category roots stay put
  const bool ontoRoot = target == root;
  if (!ontoRoot && target->parent() != root) return false;
  const ADXEditorItemRecord* record = RecordOf(dragged);
  if (record == nullptr || record->object == nullptr) return false;
  if (!ValidateCurrentPage()) return false;
  if (currentPage_ != nullptr) currentPage_->Commit();

  std::unique_ptr<ADXObject> moving = definition_->Remove(record->object);
  if (!moving) return false;
  const ADXEditorItemRecord* targetRecord = ontoRoot ? nullptr : RecordOf(target);
  ADXObject* anchor = targetRecord != nullptr ? targetRecord->object : nullptr;
  definition_->InsertAfter(std::move(moving), anchor);

  HidePage();
  selecting_ = true;
  root->takeChild(root->indexOfChild(dragged));
  root->insertChild(ontoRoot ? 0 : root->indexOfChild(target) + 1, dragged);
  selecting_ = false;
  ForceSelect(dragged);
  return true;
}

bool BrelithDialog::InTree(const QTreeWidgetItem* item) const {
  for (QTreeWidgetItem* root : roots_) {
    if (root == item) return true;
    for (int i = 0; i < root->childCount(); ++i) {
      if (root->child(i) == item) return true;
    }
  }
  return false;
}

void BrelithDialog::Save() {
  SaveTo(false);
}
void BrelithDialog::SaveAs() {
  SaveTo(true);
}

void BrelithDialog::SaveTo(bool saveAs) {
  if (!ValidateCurrentPage()) return;
  if (currentPage_ != nullptr) currentPage_->Commit();

  std::string target = path_;
  if (path_.empty() || saveAs) {
    QString chosen;
    if (!services_->SaveFileName(this, QStringLiteral("Select save path..."),
                                 QStringLiteral("ADX Files (*.adx)"), QStringLiteral("adx"), &chosen)) {
      if (!saveAs) done(saved_);
      return;
    }
    target = QFile::encodeName(chosen).toStdString();
  }
  saved_ = 1;
  // A path the caller's buffer cannot hold would come back cut and name
  // another file, so it is refused like a failed write.
  const bool fits = target.size() <= kEditorPathMax;
  if (!fits || SaveAdx(definition_, target.c_str(), nullptr) == 0) {
    services_->Warning(
        this, QStringLiteral("Brelith"),
        fits ? QStringLiteral("Unable to save the definition to %1.").arg(QFile::decodeName(target.c_str()))
             : QStringLiteral("The path is too long: %1").arg(QFile::decodeName(target.c_str())));
    return;  // the dialog stays open so the edits are not lost
  }
  path_ = target;
  UpdateTitle();
  if (!saveAs) done(saved_);
}

void BrelithDialog::CancelEditor() {
  done(saved_);
}

void BrelithDialog::reject() {
  done(saved_);
}

void BrelithDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ApplyLayout();
}

void BrelithDialog::ApplyLayout() {
  const EditorLayout layout = LayOutEditor(size(), metrics_);
  tree_->setGeometry(layout.tree);
  delete_->setGeometry(layout.deleteButton);
  add_->setGeometry(layout.addButton);
  cancel_->setGeometry(layout.cancel);
  save_->setGeometry(layout.save);
  saveAs_->setGeometry(layout.saveAs);
  if (currentPage_ != nullptr) currentPage_->PageWindow()->setGeometry(layout.page);
}

void BrelithDialog::UpdateTitle() {
  setWindowTitle(TextFromBytes(EditorTitle(path_)));
}
