#pragma once
// The item browser: a small modal list of the definition's objects of chosen
// types, by title, from which the editor picks references (the commands of a
// macro, a linked value, histogram axes, the items of a list view).
//
// Thread contract: GUI thread only. The browser reads the definition while it
// is open and never changes it.
#include <QDialog>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

class ADXDefinition;
class ADXObject;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Where the three controls sit in a client area of the given size: Cancel 3
// pixels from the left and bottom edges, OK 3 pixels right of Cancel, the list
// from (3, 3) to 3 pixels from the right and 5 pixels above the buttons.
struct ItemBrowserLayout {
  QRect list;
  QRect ok;
  QRect cancel;
};
ItemBrowserLayout LayOutItemBrowser(QSize client, QSize button);

class ADXItemBrowser : public QDialog {
  Q_OBJECT

 public:
  // Fills the list with every object whose type shares a bit with mask, in
  // definition order (GetObjectByType).
  ADXItemBrowser(QWidget* parent, const ADXDefinition* definition, std::uint32_t mask, bool single);

  QTreeWidget* List() const { return list_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }
  // The objects of the selected rows in list order (valid after OK).
  const std::vector<ADXObject*>& Chosen() const { return chosen_; }

  // OK: collects the selected rows and ends the dialog with 1.
  void Confirm();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyLayout();

  QTreeWidget* list_;
  QPushButton* ok_;
  QPushButton* cancel_;
  std::vector<ADXObject*> objects_;  // row n shows objects_[n]
  std::vector<ADXObject*> chosen_;
};

// Runs the browser modally. 1 when the user confirmed (chosen receives the
// selected objects in list order; it is cleared, and stays empty when nothing
// was selected), 0 when cancelled, -1 without a definition or an output.
int BrowseItems(QWidget* parent, const ADXDefinition* definition, std::uint32_t mask,
                std::vector<ADXObject*>* chosen, bool single);
