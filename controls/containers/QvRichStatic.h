#pragma once
// The rich static: a one-line text field with its own text, background and
// border colours, and timed temporary texts; used in the main window's status bar.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
#include <QFont>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "controls/gauges/QvControlText.h"

class QvRichStatic : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVRICHSTATIC";
  // Longest text kept; longer texts are cut.
  static constexpr std::size_t kTextMax = 259;

  explicit QvRichStatic(QWidget* parent = nullptr);

  // Stores the text; while a temporary text shows it replaces the text that
  // returns afterwards.
  void setText(const char* text);
  // Copies the text shown, cut to the buffer; returns the copied length.
  int getText(char* buffer, int size) const;
  // A font for the text; nullptr returns to the default font.
  void setFontHandle(const QFont* font, bool redraw);
  // Colours return the previous value; kQvColorDefault (-1) as background is
  // the system button face.
  std::uint32_t setBkColor(std::uint32_t color);
  std::uint32_t setTextColor(std::uint32_t color);
  // kQvColorDefault (the default) draws no border.
  std::uint32_t setBorderColor(std::uint32_t color);

  // Sends the text colour, then the background colour, then the text.
  void setTextAndColors(const char* text, std::uint32_t textColor, std::uint32_t backColor);
  // Shows a text for a time and then brings back the previous text and
  // colours; ignored (false) while a temporary text shows.
  bool showTemporaryText(const char* text, std::uint32_t textColor, std::uint32_t backColor,
                         int milliseconds);

  const QvTextLook& look() const { return look_.shown(); }
  bool temporaryTextShowing() const { return look_.temporaryShowing(); }
  std::uint32_t borderColor() const { return borderColor_; }
  const QFont& textFont() const { return customFont_ ? *customFont_ : defaultFont_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void endTemporaryText();

  QvTemporaryLook look_;
  std::uint32_t borderColor_ = kQvColorDefault;
  QFont defaultFont_;
  std::optional<QFont> customFont_;
  QTimer temporaryTimer_;
};

void QvRichStaticSetText(QWidget* richStatic, const char* text, std::uint32_t textColor,
                         std::uint32_t backColor);
bool QvRichStaticShowTemporaryText(QWidget* richStatic, const char* text, std::uint32_t textColor,
                                   std::uint32_t backColor, int milliseconds);
