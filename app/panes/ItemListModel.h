#pragma once
// The rows of one item list view for the "Item Lists" page: three columns (a
// hidden one, "Value", "Title"). Value texts, their colours and fonts are made
// on demand when the view asks for them, and kept until the next Refresh, so
// each visible row is decoded once per refresh however often it is painted.
//
// Thread contract: a Qt model; every member runs on the GUI thread.
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/panes/PaneReading.h"

class ADXDefinition;
class ADXListView;

// How a value cell is drawn.
struct ItemCellLook {
  std::string text;
  std::uint32_t color = 0;  // 0x00BBGGRR
  bool semiBold = false;
  bool alarm = false;  // the colour is an alarm's
};

class ItemListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ItemListModel(QObject* parent = nullptr);

  // Shows the rows of the view (none for null).
  void SetView(const ADXDefinition* definition, ADXListView* view);
  ADXListView* View() const { return view_; }
  // The packet that value texts are evaluated against from now on.
  void SetPacket(std::vector<std::uint8_t> bytes, bool hasPacket, std::uint32_t command);
  // Every value text is made again when it is next asked for.
  void Refresh();
  // Stale: the values are the last ones read before the link stopped; they
  // are drawn greyed until new data arrives.
  void SetStale(bool stale);
  bool Stale() const { return stale_; }

  // The look of row `row`'s value cell (made on demand).
  const ItemCellLook& ValueLook(int row) const;
  // The look of any cell, column 1 included.
  ItemCellLook CellLook(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // "Arial", 14 pixels high, weight 600: alarms and bold separators.
  static QFont SemiBoldFont();

 private:
  const ADXDefinition* definition_ = nullptr;
  ADXListView* view_ = nullptr;
  std::vector<int> rows_;  // entry index of each row
  std::vector<std::uint8_t> packet_;
  bool hasPacket_ = false;
  std::uint32_t command_ = 0;
  bool stale_ = false;
  mutable std::vector<std::optional<ItemCellLook>> looks_;
};
