#pragma once
// The splash window: a bitmap with text items laid over it, shown centred
// while the program starts.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
#include <QFont>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct QvSplashItem {
  std::string text;  // at most 255 characters
  QRect rect;
  int id = 0;
  std::optional<QFont> font;  // none: "Arial" 13, weight 600
  std::uint32_t color = 0;
};

class QvSplash : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVSPLASHT";
  static constexpr std::size_t kTextMax = 255;

  // A frameless window owned by owner, sized to the bitmap; topmost keeps it
  // above other windows.
  QvSplash(QWidget* owner, const QPixmap& bitmap, bool topmost);

  // Centres the window over its owner (or the screen) and shows it; a
  // non-zero period hides it again after that many milliseconds.
  void showSplash(int milliseconds);
  void hideSplash();
  bool splashVisible() const { return visible_; }

  // Updates the item with this identifier, or adds a new one. A null font
  // means the default font.
  void setItem(const char* text, QRect rect, int id, const QFont* font, std::uint32_t color);
  // False when no item has the identifier.
  bool setItemText(int id, const char* text, bool redraw);
  bool setItemColor(int id, std::uint32_t color, bool redraw);
  bool removeItem(int id);
  const std::vector<QvSplashItem>& items() const { return items_; }
  // The rectangle an item is drawn in: measured to its text.
  QRect itemRect(const QvSplashItem& item) const;
  // Frees the items and destroys the window.
  void destroySplash();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QvSplashItem* find(int id);

  QPixmap bitmap_;
  std::vector<QvSplashItem> items_;
  bool visible_ = false;
  QTimer hideTimer_;
};
