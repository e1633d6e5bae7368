#include "editor/browser/ADXItemBrowser.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTreeWidget>

#include <algorithm>

#include "controls/common/TextBytes.h"
#include "definition/ADXDefinition.h"

namespace {
constexpr int kMargin = 3;
constexpr int kListGap = 5;
constexpr int kItemColumnWidth = 500;
constexpr std::size_t kTitleMax = 255;
}  // namespace

ItemBrowserLayout LayOutItemBrowser(QSize client, QSize button) {
  ItemBrowserLayout layout;
  const int buttonTop = client.height() - kMargin - button.height();
  layout.cancel = QRect(QPoint(kMargin, buttonTop), button);
  layout.ok = QRect(QPoint(layout.cancel.right() + 1 + kMargin, buttonTop), button);
  const int listWidth = std::max(0, client.width() - 2 * kMargin);
  const int listHeight = std::max(0, buttonTop - kListGap - kMargin);
  layout.list = QRect(kMargin, kMargin, listWidth, listHeight);
  return layout;
}

ADXItemBrowser::ADXItemBrowser(QWidget* parent, const ADXDefinition* definition, std::uint32_t mask,
                               bool single)
    : QDialog(parent),
      list_(new QTreeWidget(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QStringLiteral("ADX Item Browser"));
  setWindowFlag(Qt::Tool, true);
  setSizeGripEnabled(true);
  list_->setObjectName(QStringLiteral("3"));
  ok_->setObjectName(QStringLiteral("1"));
  cancel_->setObjectName(QStringLiteral("2"));
  ok_->setDefault(true);

  list_->setColumnCount(1);
  list_->setHeaderLabels({QStringLiteral("Item")});
  list_->header()->resizeSection(0, kItemColumnWidth);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
  // The selection stays plainly visible when the list does not have the focus.
  QPalette palette = list_->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  list_->setPalette(palette);
  list_->setStyleSheet(
      QStringLiteral("QTreeWidget::item { border-bottom: 1px solid palette(mid); }"
                     "QTreeWidget::item:selected { background: palette(highlight);"
                     " color: palette(highlighted-text); }"));

  if (definition != nullptr) {
    for (int n = 0;; ++n) {
      ADXObject* object = definition->GetObjectByType(mask, n);
      if (object == nullptr) break;
      objects_.push_back(object);
      auto* row = new QTreeWidgetItem(list_);
      row->setText(0, TextFromBytes(object->title.substr(0, kTitleMax)));
    }
  }

  connect(ok_, &QPushButton::clicked, this, &ADXItemBrowser::Confirm);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { Confirm(); });

  resize(200, 300);
  setMinimumSize(size());
  const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
  QRect area = over ? over->frameGeometry() : QRect();
  if (area.isEmpty() && QGuiApplication::primaryScreen() != nullptr) {
    area = QGuiApplication::primaryScreen()->availableGeometry();
  }
  if (!area.isEmpty()) move(area.center() - rect().center());
  ApplyLayout();
}

void ADXItemBrowser::Confirm() {
  chosen_.clear();
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    if (list_->topLevelItem(row)->isSelected()) chosen_.push_back(objects_[static_cast<std::size_t>(row)]);
  }
  done(1);
}

void ADXItemBrowser::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ApplyLayout();
}

void ADXItemBrowser::ApplyLayout() {
  const QSize button = ok_->sizeHint().expandedTo(cancel_->sizeHint());
  const ItemBrowserLayout layout = LayOutItemBrowser(size(), button);
  list_->setGeometry(layout.list);
  ok_->setGeometry(layout.ok);
  cancel_->setGeometry(layout.cancel);
}

int BrowseItems(QWidget* parent, const ADXDefinition* definition, std::uint32_t mask,
                std::vector<ADXObject*>* chosen, bool single) {
  if (definition == nullptr || chosen == nullptr) return -1;
  chosen->clear();
  ADXItemBrowser browser(parent, definition, mask, single);
  if (browser.exec() != 1) return 0;
  *chosen = browser.Chosen();
  return 1;
}
