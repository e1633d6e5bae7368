// Definition headers first: Qt's keyword macros (slots, signals) would
// otherwise rewrite names inside them.
#include "definition/ADXValue.h"

#include "app/panes/ItemListModel.h"

#include <QGuiApplication>
#include <QPalette>
#include "controls/common/QvColor.h"
#include "controls/common/TextBytes.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXListView.h"

namespace {
constexpr std::size_t kTitleMax = 255;
}

ItemListModel::ItemListModel(QObject* parent) : QAbstractTableModel(parent) {}

QFont ItemListModel::SemiBoldFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(14);
  font.setWeight(QFont::DemiBold);
  return font;
}

void ItemListModel::SetView(const ADXDefinition* definition, ADXListView* view) {
  beginResetModel();
  definition_ = definition;
  view_ = view;
  rows_.clear();
  if (view != nullptr) {
    for (int i = 0; i < view->EntryCount(); ++i) {
      const ListViewEntry* e = view->GetEntry(i);
      if (e->entrytype == kListEntrySeparator || e->item != nullptr) rows_.push_back(i);
    }
  }
  looks_.assign(rows_.size(), std::nullopt);
  endResetModel();
}

void ItemListModel::SetPacket(std::vector<std::uint8_t> bytes, bool hasPacket, std::uint32_t command) {
  packet_ = std::move(bytes);
  hasPacket_ = hasPacket;
  command_ = command;
}

void ItemListModel::Refresh() {
  if (rows_.empty()) return;
  for (auto& look : looks_) look.reset();
  Q_EMIT dataChanged(index(0, 1), index(static_cast<int>(rows_.size()) - 1, 1));
}

const ItemCellLook& ItemListModel::ValueLook(int row) const {
  static const ItemCellLook kEmpty;
  if (row < 0 || row >= static_cast<int>(rows_.size())) return kEmpty;
  std::optional<ItemCellLook>& cached = looks_[static_cast<std::size_t>(row)];
  if (cached) return *cached;
  const ListViewEntry* e = view_->GetEntry(rows_[static_cast<std::size_t>(row)]);
  ItemCellLook look;
  look.color = e->color;
  const PanePacket packet = PanePacket::Of(packet_, hasPacket_, command_);
  if (e->entrytype == kListEntrySeparator) {
    look.semiBold = (e->flags & kListEntryBold) != 0;
  } else if (e->item != nullptr && e->item->IsType(ADX_TYPE_VALUE)) {
    auto* v = static_cast<ADXValue*>(e->item);
    double shown = 0.0;
    look.text = ValueText(definition_, *v, packet, &shown);
    const int alarm = v->AlarmStateOf(shown);
    if (alarm == kAlarmHigh) {
      look.color = kAlarmHighColor;
      look.semiBold = true;
      look.alarm = true;
    } else if (alarm == kAlarmLow) {
      look.color = kAlarmLowColor;
      look.semiBold = true;
      look.alarm = true;
    }
  } else if (e->item != nullptr && e->item->IsType(ADX_TYPE_BITMASK)) {
    auto* b = static_cast<ADXBitmask*>(e->item);
    int state = 0;
    look.text = BitmaskText(definition_, *b, packet, &state);
    std::uint32_t color = 0;
    if (b->InAlarm(state, &color)) {
      look.color = color;
      look.semiBold = true;
      look.alarm = true;
    }
  }
  cached = std::move(look);
  return *cached;
}

ItemCellLook ItemListModel::CellLook(int row, int column) const {
  if (column == 1) return ValueLook(row);
  ItemCellLook look;
  if (row < 0 || row >= static_cast<int>(rows_.size())) return look;
  const ListViewEntry* e = view_->GetEntry(rows_[static_cast<std::size_t>(row)]);
  look.color = e->color;
  const bool separator = e->entrytype == kListEntrySeparator;
  look.semiBold = separator && (e->flags & kListEntryBold);
  if (column == 2)
    look.text = CutText(separator || e->item == nullptr ? e->title : e->item->title, kTitleMax);
  return look;
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      if (index.column() == 0) return QString();
      const ItemCellLook look = CellLook(index.row(), index.column());
      return TextFromBytes(std::string_view(look.text.data(), look.text.size()));
    }
    case Qt::ForegroundRole: {
      const ItemCellLook look = CellLook(index.row(), index.column());
      // Values shown after the link went quiet are greyed; alarms keep their colour.
      if (stale_ && index.column() == 1 && !look.alarm)
        return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
      // Colour 0, the entry's default, is the view's own text colour, so that
      // it reads on a light and a dark background alike.
      if (look.color == 0 && !look.alarm) return {};
      return QvColorFromRef(look.color);
    }
    case Qt::FontRole:
      if (CellLook(index.row(), index.column()).semiBold) return SemiBoldFont();
      return {};
    case Qt::TextAlignmentRole:
      if (index.column() == 1) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 1:
      return QStringLiteral("Value");
    case 2:
      return QStringLiteral("Title");
    default:
      return QString();
  }
}

void ItemListModel::SetStale(bool stale) {
  if (stale_ == stale) return;
  stale_ = stale;
  if (!rows_.empty()) Q_EMIT dataChanged(index(0, 1), index(static_cast<int>(rows_.size()) - 1, 1));
}
