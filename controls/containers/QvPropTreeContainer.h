#pragma once
// The property tree container: a window with a tree of pages on the left, the
// selected page to its right, and "OK" and "Cancel" at the bottom right. It
// tells its owner what happens through notification codes; for "OK" and
// "Cancel" the owner's answer decides whether the container closes.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <string>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class QvPropTreeContainer : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVPROPTREECONTAINER";
  // Identifiers of the buttons, kept as their object names.
  static constexpr int kOkId = 1000;
  static constexpr int kCancelId = 1001;
  static constexpr int kTreeWidth = 160;
  // Notification codes.
  static constexpr int kNotifyReady = 1;
  static constexpr int kNotifyDestroyed = 2;
  static constexpr int kNotifyClosed = 3;
  static constexpr int kNotifyOk = 4;
  static constexpr int kNotifyCancel = 5;
  static constexpr int kNotifyItemDeleted = 6;

  // The owner's answer to a notification; non-zero lets "OK" and "Cancel" close.
  using NotifyHandler = std::function<int(int code)>;
  // Makes a page as a child of the given parent; may return nullptr.
  using PageFactory = std::function<QWidget*(QWidget* parent)>;

  // A window of its own (owned by parent) with a resizable frame.
  QvPropTreeContainer(QWidget* parent, int width, int height, const QString& title);
  ~QvPropTreeContainer() override;

  // Without a handler "OK" and "Cancel" close the container. The handler
  // hears codes 1 and 3 to 6; code 2 (destroyed) comes only as the signal.
  void setNotifyHandler(NotifyHandler handler) { handler_ = std::move(handler); }

  // Creates a hidden page, grows the container to the largest page so far
  // and inserts a tree item with the text under the item named parentName
  // (at the root when there is none) after the sibling named afterName (last
  // when there is none). Returns the item, or nullptr when no page was made.
  QTreeWidgetItem* addTreePage(const PageFactory& create, const std::string& text,
                               const std::string& parentName, const std::string& afterName);
  // The same for an existing page window.
  QTreeWidgetItem* addTreePageWindow(QWidget* page, const std::string& text, const std::string& parentName,
                                     const std::string& afterName);
  // Selects the first item with this text; false when there is none.
  bool selectTreeItem(const std::string& name);
  // Deletes the first item with this text and its sub-items; each deleted
  // item's page is destroyed and the owner hears code 6 for it.
  bool deleteTreeItem(const std::string& name);

  QWidget* currentPage() const { return current_; }
  QWidget* pageOf(const QTreeWidgetItem* item) const;
  QTreeWidget* tree() const { return tree_; }
  QSize largestPage() const { return largest_; }

  // The tree's width: kTreeWidth, or more when a page name needs it.
  int treeWidth() const;

  // What the buttons and the frame's close do.
  void pressOk();
  void pressCancel();

 Q_SIGNALS:
  // Every notification, for observers; the handler gives the answer.
  void notified(int code);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  int notifyOwner(int code);
  void showPageOf(QTreeWidgetItem* item);
  void placeChildren();
  void destroyContainer();
  QTreeWidgetItem* findItem(const std::string& name) const;

  QTreeWidget* tree_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPointer<QWidget> current_;
  QSize largest_;
  std::map<const QTreeWidgetItem*, QPointer<QWidget>> pages_;
  NotifyHandler handler_;
};
