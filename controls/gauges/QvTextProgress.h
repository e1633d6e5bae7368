#pragma once
// The text progress bar: a progress bar with a centred text over it, used in
// the main window's status bar. Besides its own text it can show a temporary
// text for a while and then bring the previous text and colours back.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
#include <QFont>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>

#include "controls/gauges/QvControlText.h"

// Minimum and maximum as the range query writes them.
struct QvProgressRange {
  int low = 0;
  int high = 0;
};

class QvTextProgress : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVTEXTPROGRESS";
  // Longest text kept; longer texts are cut.
  static constexpr std::size_t kTextMax = 259;

  explicit QvTextProgress(QWidget* parent = nullptr);

  // Minimum in the low 16 bits, maximum in the high 16 bits; returns the
  // previous range packed the same way.
  std::uint32_t setRange(std::uint32_t packedRange);
  // Returns the previous range packed as for setRange.
  std::uint32_t setRange32(int minimum, int maximum);
  // Returns the previous position.
  int setPos(int position);
  // Returns the previous step.
  int setStep(int step);
  // Adds the step; past the maximum the position restarts at the minimum.
  // Returns the previous position.
  int stepIt();
  // With a range record, writes minimum and maximum into it; the result is
  // the minimum when returnLow is non-zero, else the maximum.
  int getRange(int returnLow, QvProgressRange* range) const;
  int getPos() const { return position_; }
  // Colours return the previous value. -1 (kQvColorDefault) as background is
  // the system button face; as text colour it asks for two-colour text.
  std::uint32_t setBarColor(std::uint32_t color);
  std::uint32_t setBkColor(std::uint32_t color);
  std::uint32_t setTextColor(std::uint32_t color);
  void setVertical(bool vertical);
  bool getVertical() const { return vertical_; }
  // Writes minimum and maximum where the pointers are present.
  void getRangeBounds(int* minimum, int* maximum) const;

  // The control's text (cut to 259 characters); while a temporary text shows
  // the text that returns afterwards changes instead.
  void setText(const char* text);
  int getText(char* buffer, int size) const;
  const QvTextLook& look() const { return look_.shown(); }
  bool temporaryTextShowing() const { return look_.temporaryShowing(); }
  std::uint32_t barColor() const { return barColor_; }

  // Sends the text colour, the background colour and then the text.
  void setTextAndColors(const char* text, std::uint32_t textColor, std::uint32_t backColor);
  // Shows a text for the given time, then restores the previous text and
  // colours. Ignored (returns false) while a temporary text shows.
  bool showTemporaryText(const char* text, std::uint32_t textColor, std::uint32_t backColor,
                         int milliseconds);

  QSize sizeHint() const override { return QSize(160, 18); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void endTemporaryText();

  int minimum_ = 0;
  int maximum_ = 255;
  int step_ = 1;
  int position_ = 0;
  bool vertical_ = false;
  std::uint32_t barColor_ = QvRgb(0, 100, 210);
  QvTemporaryLook look_;
  QFont font_;
  QTimer temporaryTimer_;
};

// Free-function forms used by the main window.
void QvProgressSetText(QWidget* progress, const char* text, std::uint32_t textColor, std::uint32_t backColor);
bool QvProgressShowTemporaryText(QWidget* progress, const char* text, std::uint32_t textColor,
                                 std::uint32_t backColor, int milliseconds);
