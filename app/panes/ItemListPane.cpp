#include "app/panes/ItemListPane.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include "app/panes/ItemListModel.h"
#include "controls/common/TextBytes.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXListView.h"

ItemListPane::ItemListPane(QWidget* parent) : QWidget(parent) {
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("1006"));
  combo_->setMinimumWidth(200);
  list_ = new QTableView(this);
  list_->setObjectName(QStringLiteral("1000"));
  model_ = new ItemListModel(this);
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setShowGrid(false);
  list_->verticalHeader()->hide();
  list_->setWordWrap(false);
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->setColumnWidth(0, 0);
  list_->setColumnHidden(0, true);
  list_->setColumnWidth(1, 100);
  list_->setColumnWidth(2, 500);
  // The title column takes whatever width the window gives the list.
  list_->horizontalHeader()->setStretchLastSection(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(7, 7, 7, 3);
  layout->setSpacing(3);
  layout->addWidget(combo_, 0, Qt::AlignLeft);
  layout->addWidget(list_, 1);

  connect(combo_, &QComboBox::currentIndexChanged, this, &ItemListPane::SelectView);
}

void ItemListPane::FillListViews(ADXDefinition* definition) {
  definition_ = definition;
  {
    const QSignalBlocker block(combo_);
    combo_->clear();
    for (int n = 0; definition != nullptr; ++n) {
      ADXObject* o = definition->GetObjectByType(ADX_TYPE_LISTVIEW, n);
      if (o == nullptr) break;
      combo_->addItem(TextFromBytes(o->title), QVariant::fromValue(static_cast<void*>(o)));
    }
    combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
  }
  SelectView(combo_->currentIndex());
}

void ItemListPane::SelectView(int comboIndex) {
  auto* view =
      comboIndex >= 0 ? static_cast<ADXListView*>(combo_->itemData(comboIndex).value<void*>()) : nullptr;
  model_->SetView(definition_, view);
  list_->setColumnHidden(0, true);
}

ADXListView* ItemListPane::CurrentView() const {
  return model_->View();
}

void ItemListPane::RefreshList(std::vector<std::uint8_t> packet, bool hasPacket, std::uint32_t command) {
  model_->SetPacket(std::move(packet), hasPacket, command);
  model_->Refresh();
}
