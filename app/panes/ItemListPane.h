#pragma once
// The "Item Lists" page: a drop-down of the definition's item list views
// (1006) over a list (1000) of the chosen view's rows.
//
// Thread contract: a QWidget; every member runs on the GUI thread. Readings
// reach it through ViewPanes.
#include <QWidget>

#include <cstdint>
#include <vector>

class ADXDefinition;
class ADXListView;
class ItemListModel;
class QComboBox;
class QTableView;

class ItemListPane : public QWidget {
  Q_OBJECT

 public:
  explicit ItemListPane(QWidget* parent = nullptr);

  // Refills the drop-down, selects the first view and fills the list.
  void FillListViews(ADXDefinition* definition);
  // The list fetches every value text again, evaluated against the packet.
  void RefreshList(std::vector<std::uint8_t> packet, bool hasPacket, std::uint32_t command);

  ADXListView* CurrentView() const;
  ItemListModel* Model() const { return model_; }
  QTableView* List() const { return list_; }

 private:
  void SelectView(int comboIndex);

  QComboBox* combo_ = nullptr;
  QTableView* list_ = nullptr;
  ItemListModel* model_ = nullptr;
  ADXDefinition* definition_ = nullptr;
};
