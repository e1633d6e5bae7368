#include "controls/containers/QvTabSheet.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QWindow>

#include "controls/common/TextBytes.h"
#include "controls/gauges/QvControlText.h"
#include "controls/gauges/QvPaintSupport.h"

namespace {

Qt::Edges EdgesOf(QvFrameHit hit) {
  switch (hit) {
    case QvFrameHit::Left:
      return Qt::LeftEdge;
    case QvFrameHit::Right:
      return Qt::RightEdge;
    case QvFrameHit::Top:
      return Qt::TopEdge;
    case QvFrameHit::Bottom:
      return Qt::BottomEdge;
    case QvFrameHit::TopLeft:
      return Qt::TopEdge | Qt::LeftEdge;
    case QvFrameHit::TopRight:
      return Qt::TopEdge | Qt::RightEdge;
    case QvFrameHit::BottomLeft:
      return Qt::BottomEdge | Qt::LeftEdge;
    case QvFrameHit::BottomRight:
      return Qt::BottomEdge | Qt::RightEdge;
    default:
      return {};
  }
}

Qt::CursorShape CursorOf(QvFrameHit hit) {
  switch (hit) {
    case QvFrameHit::Left:
    case QvFrameHit::Right:
      return Qt::SizeHorCursor;
    case QvFrameHit::Top:
    case QvFrameHit::Bottom:
      return Qt::SizeVerCursor;
    case QvFrameHit::TopLeft:
    case QvFrameHit::BottomRight:
      return Qt::SizeFDiagCursor;
    case QvFrameHit::TopRight:
    case QvFrameHit::BottomLeft:
      return Qt::SizeBDiagCursor;
    default:
      return Qt::ArrowCursor;
  }
}

bool IsSizing(QvFrameHit hit) {
  return EdgesOf(hit) != Qt::Edges();
}

}  // namespace

QvTabSheet::QvTabSheet(QWidget* parent, int controlId, std::uint32_t flags)
    : QWidget(parent), controlId_(controlId), flags_(flags) {
  setMinimumHeight(kMinimumHeight);
  setMouseTracking(true);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->tabBar()->setFont(QvControlFont(14, 400));
  closeButton_ = new QToolButton(this);
  closeButton_->setObjectName(QStringLiteral("close"));
  closeButton_->setAutoRaise(true);
  closeButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  closeButton_->setFocusPolicy(Qt::NoFocus);
  connect(closeButton_, &QToolButton::clicked, this, &QvTabSheet::closeFrame);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { update(); });
  // A tab undocks by a double click on it or from its context menu, also
  // when the caption band is hidden.
  connect(tabs_->tabBar(), &QTabBar::tabBarDoubleClicked, this, [this](int index) {
    if (index >= 0 && selectPage(index)) undockCurrentPage();
  });
  tabs_->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tabs_->tabBar(), &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    QMenu* menu = buildTabMenu(tabs_->tabBar()->tabAt(at));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(tabs_->tabBar()->mapToGlobal(at));
  });
  // The parent hears that the sheet is ready once construction is over.
  QMetaObject::invokeMethod(
      this, [this] { Q_EMIT notify(controlId_, kNotifyReady); }, Qt::QueuedConnection);
}

QMenu* QvTabSheet::buildTabMenu(int index) {
  auto* menu = new QMenu(this);
  if (index >= 0) {
    const QString title = tabs_->tabText(index);
    QAction* undock = menu->addAction(QStringLiteral("&Undock \"%1\"").arg(title));
    undock->setObjectName(QStringLiteral("undock"));
    connect(undock, &QAction::triggered, this, [this, index] {
      if (selectPage(index)) undockCurrentPage();
    });
  }
  if (undocked_) {
    QAction* dock =
        menu->addAction(QStringLiteral("&Dock \"%1\" back").arg(QString::fromStdString(undockedTitle_)));
    dock->setObjectName(QStringLiteral("dock"));
    connect(dock, &QAction::triggered, this, [this] { redockPage(); });
  }
  return menu;
}

QvTabSheet::~QvTabSheet() {
  Q_EMIT notify(controlId_, kNotifyDestroyed);
}

QvTabPage QvTabSheet::addPage(const PageFactory& create, const std::string& title, int index) {
  if (!create) return {};
  QWidget* page = create(tabs_);
  if (page == nullptr) return {};
  return addPageWindow(page, title, index);
}

QvTabPage QvTabSheet::addPageWindow(QWidget* page, const std::string& title, int index) {
  if (page == nullptr) return {};
  const bool first = tabs_->count() == 0;
  page->hide();
  page->setParent(tabs_, Qt::Widget);  // no longer a window of its own
  const int at = tabs_->insertTab(index < 0 ? tabs_->count() : index, page, QvText(title));
  if (first) tabs_->setCurrentIndex(at);
  update();
  return QvTabPage{page, at};
}

bool QvTabSheet::removePage(int index, bool destroy) {
  if (index == -1) index = tabs_->currentIndex();
  if (index < 0 || index >= tabs_->count()) return false;
  QWidget* page = tabs_->widget(index);
  tabs_->removeTab(index);
  if (destroy && page != nullptr) {
    page->hide();
    page->deleteLater();
  }
  update();
  return true;
}

bool QvTabSheet::selectPage(int index) {
  if (index < 0 || index >= tabs_->count()) return false;
  tabs_->setCurrentIndex(index);
  return true;
}

int QvTabSheet::findPage(const QWidget* page) const {
  if (page == nullptr) return -1;
  return tabs_->indexOf(const_cast<QWidget*>(page));
}

QWidget* QvTabSheet::pageAt(int index) const {
  return tabs_->widget(index);
}

int QvTabSheet::tabTitle(int index, char* buffer, int size) const {
  if (index < 0 || index >= tabs_->count()) return QvCopyTextOut(std::string(), buffer, size);
  return QvCopyTextOut(BytesFromText(tabs_->tabText(index)), buffer, size);
}

int QvTabSheet::pageCount() const {
  return tabs_->count();
}

int QvTabSheet::currentPage() const {
  return tabs_->currentIndex();
}

bool QvTabSheet::undockCurrentPage() {
  redockPage();
  const int index = tabs_->currentIndex();
  if (index < 0) return false;
  QWidget* page = tabs_->widget(index);
  undockedTitle_ = BytesFromText(tabs_->tabText(index));
  if (undockedTitle_.size() > kTitleMax) undockedTitle_.resize(kTitleMax);
  undockedIndex_ = index;
  tabs_->removeTab(index);
  // Still owned by the sheet, but a window of its own.
  page->setParent(this, Qt::Window);
  page->setWindowTitle(QvText(undockedTitle_));
  page->installEventFilter(this);
  undocked_ = page;
  page->showMaximized();
  update();
  return true;
}

bool QvTabSheet::redockPage() {
  QWidget* page = undocked_;
  if (page == nullptr) return false;
  undocked_ = nullptr;
  page->removeEventFilter(this);
  const int index = std::min(undockedIndex_, tabs_->count());
  const QvTabPage docked = addPageWindow(page, undockedTitle_, index);
  selectPage(docked.index);
  return true;
}

void QvTabSheet::closeFrame() {
  removePage(-1, true);
  if (tabs_->count() == 0) {
    hide();
    deleteLater();
  }
}

bool QvTabSheet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == undocked_ && event->type() == QEvent::Close) {
    // Closing the undocked window brings the page home instead of losing it.
    event->ignore();
    redockPage();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void QvTabSheet::closeEvent(QCloseEvent* event) {
  event->ignore();
  closeFrame();
}

void QvTabSheet::resizeEvent(QResizeEvent*) {
  placeChildren();
}

int QvTabSheet::borderWidth() const {
  return (flags_ & kQvSheetAllSizing) != 0 ? kBorder : 0;
}

int QvTabSheet::captionHeight() const {
  return captionShown_ ? kCaptionHeight : 0;
}

void QvTabSheet::setSheetFlags(std::uint32_t flags) {
  flags_ = flags;
  placeChildren();
  update();
}

void QvTabSheet::setCaptionShown(bool shown) {
  captionShown_ = shown;
  closeButton_->setVisible(shown);
  placeChildren();
  update();
}

void QvTabSheet::placeChildren() {
  const int border = borderWidth();
  const QRect inner = rect().adjusted(border, border, -border, -border);
  tabs_->setGeometry(inner.adjusted(0, captionHeight(), 0, 0));
  const int button = kCaptionHeight - 2;
  closeButton_->setGeometry(inner.right() - button, inner.top() + 1, button, button);
}

void QvTabSheet::paintEvent(QPaintEvent*) {
  QString caption = windowTitle();
  if (caption.isEmpty() && tabs_->currentIndex() >= 0) caption = tabs_->tabText(tabs_->currentIndex());
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!captionShown_) return;
    const int border = borderWidth();
    const QRect band(border, border, width() - 2 * border, kCaptionHeight);
    p.fillRect(band, palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::HighlightedText));
    p.setFont(QvControlFont(12));
    p.drawText(band.adjusted(4, 0, -kCaptionHeight, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               caption);
  });
}

QvFrameHit QvTabSheet::hitAt(QPoint pos) const {
  return QvAllowedFrameHit(QvFrameHitTest(size(), pos, borderWidth(), captionHeight()), flags_);
}

void QvTabSheet::updateCursor(QvFrameHit hit) {
  setCursor(CursorOf(hit));
}

void QvTabSheet::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QvFrameHit hit = hitAt(event->position().toPoint());
  const bool move = hit == QvFrameHit::Caption && (flags_ & kQvSheetMove) != 0;
  if (!IsSizing(hit) && !move) return QWidget::mousePressEvent(event);
  if (isWindow() && windowHandle() != nullptr) {
    // A top-level sheet lets the window system do the drag.
    if (move ? windowHandle()->startSystemMove() : windowHandle()->startSystemResize(EdgesOf(hit))) return;
  }
  dragHit_ = hit;
  dragStart_ = event->globalPosition().toPoint();
  dragGeometry_ = geometry();
  event->accept();
}

void QvTabSheet::mouseMoveEvent(QMouseEvent* event) {
  if (dragHit_ == QvFrameHit::None) {
    updateCursor(hitAt(event->position().toPoint()));
    return QWidget::mouseMoveEvent(event);
  }
  const QPoint delta = event->globalPosition().toPoint() - dragStart_;
  setGeometry(QvFrameDragGeometry(dragGeometry_, dragHit_, delta, minimumSize()));
  event->accept();
}

void QvTabSheet::mouseReleaseEvent(QMouseEvent* event) {
  if (dragHit_ == QvFrameHit::None) return QWidget::mouseReleaseEvent(event);
  dragHit_ = QvFrameHit::None;
  event->accept();
}

void QvTabSheet::mouseDoubleClickEvent(QMouseEvent* event) {
  dragHit_ = QvFrameHit::None;
  if (QvFrameHitTest(size(), event->position().toPoint(), borderWidth(), captionHeight()) ==
      QvFrameHit::Caption) {
    undockCurrentPage();
    event->accept();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}
