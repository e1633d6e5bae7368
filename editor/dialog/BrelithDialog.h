#pragma once
// The editor's main window: the tree of every definition object under nine
// category roots, the page of the selected object right of it, and the
// buttons to add, delete, save and leave.
//
// Thread contract: GUI thread only. The dialog edits a definition it does not
// own; the caller keeps the definition alive until the dialog is destroyed.
#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/dialog/EditorLayout.h"
#include "editor/pages/ADXItemEditorBase.h"

class ADXDefinition;
class EditorTree;
class IEditorDialogServices;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Options bit 0: show the editor as an application window of its own.
constexpr std::uint32_t kEditorOptionAppWindow = 0x1;
// Longest path the editor keeps (the caller's buffer is 260 bytes).
constexpr std::size_t kEditorPathMax = 259;

class BrelithDialog : public QDialog {
  Q_OBJECT

 public:
  // The category roots in tree order.
  enum Root {
    kRootHeader,
    kRootCommands,
    kRootListViews,
    kRootDashboards,
    kRootValues,
    kRootBitmasks,
    kRootLookupTables,
    kRootHistograms,
    kRootMonitors,
    kRootCount
  };

  // services may be null for the real message boxes and file dialogs.
  BrelithDialog(QWidget* owner, ADXDefinition* definition, std::string path, std::uint32_t options,
                IEditorDialogServices* services);
  ~BrelithDialog() override;

  QTreeWidget* Tree() const;
  QTreeWidgetItem* RootItem(Root root) const { return roots_[root]; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* DeleteButton() const { return delete_; }
  ADXItemEditorBase* CurrentPage() const { return currentPage_; }
  // The page that edits the type (0 for the header page).
  ADXItemEditorBase* PageForType(std::uint32_t type) const;
  const std::string& Path() const { return path_; }
  int SavedFlag() const { return saved_; }
  bool IsAppWindow() const { return parentWidget() == nullptr; }

  // The record a tree item carries; null for the category roots other than
  // the header.
  static const ADXEditorItemRecord* RecordOf(const QTreeWidgetItem* item);
  // The image number a tree item shows.
  static int ImageOf(const QTreeWidgetItem* item);

  // The user's commands, callable directly.
  // Selects the item; false when the current page refused to be left.
  bool SelectItem(QTreeWidgetItem* item);
  void AddNewItem();
  void DeleteSelected();
  void Save();
  void SaveAs();
  void CancelEditor();
  // Moves dragged right after target (or first under its root); false when
  // the drop is not allowed and nothing moved.
  bool DropItem(QTreeWidgetItem* dragged, QTreeWidgetItem* target);

  void reject() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildTree();
  QTreeWidgetItem* AddChild(QTreeWidgetItem* root, int index, ADXObject* object);
  static QString TreeText(const ADXObject* object);
  void RefreshTreeTexts();
  void CreatePages();
  void OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  void OnTitleEdited(const QString& title);
  // Validates the current page; shows its message and returns false when the
  // data may not be kept.
  bool ValidateCurrentPage();
  void ShowPageFor(QTreeWidgetItem* item);
  void HidePage();
  // Selects item without validating (the caller has dealt with the page).
  void ForceSelect(QTreeWidgetItem* item);
  // Whether the item (compared by address only) is a root or a child of one.
  bool InTree(const QTreeWidgetItem* item) const;
  void SaveTo(bool saveAs);
  void ApplyLayout();
  void UpdateTitle();

  ADXDefinition* definition_;
  std::string path_;
  std::uint32_t options_;
  IEditorDialogServices* services_;
  int saved_ = 0;

  EditorTree* tree_;
  QPushButton* delete_;
  QPushButton* add_;
  QPushButton* cancel_;
  QPushButton* save_;
  QPushButton* saveAs_;
  EditorLayoutMetrics metrics_;
  std::array<QTreeWidgetItem*, kRootCount> roots_{};

  std::vector<std::unique_ptr<ADXEditorItemRecord>> records_;
  std::vector<std::pair<std::uint32_t, std::unique_ptr<ADXItemEditorBase>>> pages_;
  ADXItemEditorBase* currentPage_ = nullptr;
  bool selecting_ = false;  // selection changes made by the dialog itself
};
