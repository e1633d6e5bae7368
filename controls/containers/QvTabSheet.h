#pragma once
// The tab sheet: a framed child window with a caption and a tab control whose
// tabs hold pages (the view panes). A double click on the caption undocks the
// current page into a maximized window of its own, as does a double click on
// a tab or its context menu's "Undock"; closing that window docks the page
// back at its old place. The frame's edges, corners and caption can
// be dragged to resize and move it, each only as its flags allow.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/containers/QvFrameGeometry.h"

class QMenu;
class QTabWidget;
class QToolButton;

// A page and its tab index, as adding a page returns them.
struct QvTabPage {
  QWidget* page = nullptr;
  int index = -1;
};

class QvTabSheet : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVTABSHEET";
  // Notification codes sent to the parent.
  static constexpr int kNotifyDestroyed = 1;
  static constexpr int kNotifyReady = 4;
  static constexpr int kMinimumHeight = 60;
  static constexpr int kBorder = 4;
  static constexpr int kCaptionHeight = 18;
  static constexpr std::size_t kTitleMax = 149;

  // Makes a page as a child of the given parent; may return nullptr.
  using PageFactory = std::function<QWidget*(QWidget* parent)>;

  explicit QvTabSheet(QWidget* parent = nullptr, int controlId = 0, std::uint32_t flags = kQvSheetAll);
  ~QvTabSheet() override;

  int controlId() const { return controlId_; }
  std::uint32_t sheetFlags() const { return flags_; }
  // Without any sizing flag the frame has no border.
  void setSheetFlags(std::uint32_t flags);
  // The caption band (title, close button, double click to undock); shown by
  // default. A sheet without caption and flags is a plain tab control.
  void setCaptionShown(bool shown);
  bool captionShown() const { return captionShown_; }

  // Creates a page and adds it as for addPageWindow; {nullptr, -1} when the
  // factory makes none.
  QvTabPage addPage(const PageFactory& create, const std::string& title, int index);
  // Makes the window a hidden child page (no longer a window of its own) and
  // inserts a tab for it at index (-1 or past the end appends); the page shows
  // only when it is the first. {nullptr, -1} for an absent window.
  QvTabPage addPageWindow(QWidget* page, const std::string& title, int index);
  // Deletes a tab (-1: the current one); with destroy the page is destroyed
  // too. The remaining current page shows. False for a bad index.
  bool removePage(int index, bool destroy);
  bool selectPage(int index);
  // The tab index of a page, or -1.
  int findPage(const QWidget* page) const;
  // The page of a tab, or nullptr.
  QWidget* pageAt(int index) const;
  // Copies a tab's title cut to the buffer; returns its length (0 for a bad index).
  int tabTitle(int index, char* buffer, int size) const;
  int pageCount() const;
  // The current tab, -1 when there is none.
  int currentPage() const;

  // Undocks the current page: it becomes a maximized window of its own titled
  // like its tab, and its tab is deleted. A page undocked earlier docks back
  // first. False when there is no page.
  bool undockCurrentPage();
  QWidget* undockedPage() const { return undocked_; }
  // Brings the undocked page back to its tab; false when none is undocked.
  bool redockPage();
  // The context menu of tab `index` (-1: none): "Undock" for the tab and
  // "Dock ... back" while a page is undocked. The caller owns the menu.
  QMenu* buildTabMenu(int index);

  // What closing the frame does: removes and destroys the current page, and
  // destroys the frame when no page remains.
  void closeFrame();

  QTabWidget* tabs() const { return tabs_; }
  QSize sizeHint() const override { return QSize(400, 300); }

 Q_SIGNALS:
  void notify(int controlId, int code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QvFrameHit hitAt(QPoint pos) const;
  int borderWidth() const;
  int captionHeight() const;
  void placeChildren();
  void updateCursor(QvFrameHit hit);

  QTabWidget* tabs_ = nullptr;
  QToolButton* closeButton_ = nullptr;
  int controlId_ = 0;
  std::uint32_t flags_ = kQvSheetAll;
  bool captionShown_ = true;
  // The undocked page, its former tab index and title.
  QPointer<QWidget> undocked_;
  int undockedIndex_ = -1;
  std::string undockedTitle_;
  // A drag of the frame in progress.
  QvFrameHit dragHit_ = QvFrameHit::None;
  QPoint dragStart_;
  QRect dragGeometry_;
};
