#include "controls/containers/QvPropTreeContainer.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

#include "controls/containers/QvFrameGeometry.h"
#include "controls/gauges/QvPaintSupport.h"

namespace {

QSize PageSize(const QWidget* page) {
  const QSize hint = page->sizeHint();
  return hint.isValid() ? hint.expandedTo(page->size()) : page->size();
}

void CollectSubtree(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>& out) {
  out.push_back(item);
  for (int i = 0; i < item->childCount(); ++i) CollectSubtree(item->child(i), out);
}

}  // namespace

QvPropTreeContainer::QvPropTreeContainer(QWidget* parent, int width, int height, const QString& title)
    : QWidget(parent, Qt::Window) {
  setWindowTitle(title);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("tree"));
  tree_->setHeaderHidden(true);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QString::number(kOkId));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QString::number(kCancelId));
  connect(ok_, &QPushButton::clicked, this, &QvPropTreeContainer::pressOk);
  connect(cancel_, &QPushButton::clicked, this, &QvPropTreeContainer::pressCancel);
  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item, QTreeWidgetItem*) { showPageOf(item); });
  resize(std::max(width, 0), std::max(height, 0));
  QMetaObject::invokeMethod(
      this, [this] { notifyOwner(kNotifyReady); }, Qt::QueuedConnection);
}

QvPropTreeContainer::~QvPropTreeContainer() {
  // Only through the signal: the owner may be half destroyed already when it
  // takes the container with it, and Qt drops connections to dead receivers.
  Q_EMIT notified(kNotifyDestroyed);
}

int QvPropTreeContainer::notifyOwner(int code) {
  Q_EMIT notified(code);
  return handler_ ? handler_(code) : 1;
}

QTreeWidgetItem* QvPropTreeContainer::findItem(const std::string& name) const {
  if (name.empty()) return nullptr;
  const auto found = tree_->findItems(QvText(name), Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

QTreeWidgetItem* QvPropTreeContainer::addTreePage(const PageFactory& create, const std::string& text,
                                                  const std::string& parentName,
                                                  const std::string& afterName) {
  if (!create) return nullptr;
  return addTreePageWindow(create(this), text, parentName, afterName);
}

QTreeWidgetItem* QvPropTreeContainer::addTreePageWindow(QWidget* page, const std::string& text,
                                                        const std::string& parentName,
                                                        const std::string& afterName) {
  if (page == nullptr) return nullptr;
  page->hide();
  page->setParent(this, Qt::Widget);
  largest_ = largest_.expandedTo(PageSize(page));
  const QSize button = ok_->sizeHint();
  setMinimumSize(QvPropTreeMinimumSize(largest_, treeWidth(), button));
  resize(size().expandedTo(minimumSize()));

  QTreeWidgetItem* parentItem = findItem(parentName);
  QTreeWidgetItem* after = findItem(afterName);
  auto* item = new QTreeWidgetItem(QStringList(QvText(text)));
  if (parentItem != nullptr) {
    const int at = after != nullptr && after->parent() == parentItem ? parentItem->indexOfChild(after) + 1
                                                                     : parentItem->childCount();
    parentItem->insertChild(at, item);
  } else {
    const int at = after != nullptr && after->parent() == nullptr ? tree_->indexOfTopLevelItem(after) + 1
                                                                  : tree_->topLevelItemCount();
    tree_->insertTopLevelItem(at, item);
  }
  pages_[item] = page;  // the pointer clears itself when the page is destroyed
  placeChildren();
  return item;
}

bool QvPropTreeContainer::selectTreeItem(const std::string& name) {
  QTreeWidgetItem* item = findItem(name);
  if (item == nullptr) return false;
  tree_->setCurrentItem(item);
  return true;
}

bool QvPropTreeContainer::deleteTreeItem(const std::string& name) {
  QTreeWidgetItem* item = findItem(name);
  if (item == nullptr) return false;
  std::vector<QTreeWidgetItem*> doomed;
  CollectSubtree(item, doomed);
  for (QTreeWidgetItem* gone : doomed) {
    notifyOwner(kNotifyItemDeleted);
    const auto it = pages_.find(gone);
    if (it == pages_.end()) continue;
    if (QWidget* page = it->second) {
      if (page == current_) current_ = nullptr;
      page->hide();
      page->deleteLater();  // the request may come from the page itself
    }
    pages_.erase(gone);
  }
  delete item;  // deletes its sub-items; the tree selects another item
  return true;
}

QWidget* QvPropTreeContainer::pageOf(const QTreeWidgetItem* item) const {
  const auto it = pages_.find(item);
  return it == pages_.end() ? nullptr : it->second.data();
}

void QvPropTreeContainer::showPageOf(QTreeWidgetItem* item) {
  QWidget* page = pageOf(item);
  if (current_ != nullptr && current_ != page) current_->hide();
  current_ = page;
  if (page == nullptr) return;
  placeChildren();
  page->show();
  page->raise();
}

void QvPropTreeContainer::placeChildren() {
  const QvPropTreeRects rects = QvPropTreeLayout(size(), treeWidth(), ok_->sizeHint());
  tree_->setGeometry(rects.tree);
  if (current_ != nullptr) current_->setGeometry(rects.page);
  ok_->setGeometry(rects.ok);
  cancel_->setGeometry(rects.cancel);
}

void QvPropTreeContainer::resizeEvent(QResizeEvent*) {
  placeChildren();
}

void QvPropTreeContainer::destroyContainer() {
  hide();
  deleteLater();
}

void QvPropTreeContainer::pressOk() {
  if (notifyOwner(kNotifyOk) != 0) destroyContainer();
}

void QvPropTreeContainer::pressCancel() {
  if (notifyOwner(kNotifyCancel) != 0) destroyContainer();
}

void QvPropTreeContainer::closeEvent(QCloseEvent* event) {
  event->accept();
  notifyOwner(kNotifyClosed);
  destroyContainer();
}

int QvPropTreeContainer::treeWidth() const {
  // Wide enough for every page name, never narrower than the classic width.
  const auto* view = static_cast<const QAbstractItemView*>(tree_);
  const int needed = view->sizeHintForColumn(0) + 2 * tree_->frameWidth() + 8;
  return std::max(kTreeWidth, needed);
}
