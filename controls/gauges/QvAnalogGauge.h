#pragma once
// The analog gauge: a round dial with a scale, tick labels, optional coloured
// zones, a needle and texts for title, units, value and the lowest and highest
// value seen since the last reset.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
// Workers hand values to the GUI thread through queued calls.
#include <QWidget>

#include <cstdint>

#include "controls/gauges/QvAnalogGaugeLayout.h"

class QvAnalogGauge : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVANALOGGAUGE";
  // Notification code of a right click, sent with the control id and the
  // screen position of the click.
  static constexpr int kRightClickCode = 0x626;

  explicit QvAnalogGauge(QWidget* parent = nullptr, int controlId = 0);

  int controlId() const { return controlId_; }
  void setControlId(int id) { controlId_ = id; }
  const QvAnalogGaugeState& state() const { return state_; }

  // Sets style bits; bits 0 clears every bit.
  void setStyle(std::uint32_t bits, bool redraw);
  void clearStyle(std::uint32_t bits, bool redraw);
  // Colour indexes are QvGaugeColorIndex; others are ignored (get returns 0).
  void setColor(int index, std::uint32_t color);
  std::uint32_t getColor(int index) const;
  // A new range keeps the lowest and highest seen.
  void setRange(float minimum, float maximum);
  // Clamps to the range and updates lowest and highest seen. A NaN is not a
  // reading and leaves the gauge unchanged.
  void setValue(float value, bool redraw);
  // The value truncated toward zero (saturated at the int limits).
  int getValue() const;
  void setAngles(float startAngle, float endAngle);
  void resetMin();
  void resetMax();
  // Stores a copy of the text; a text longer than the limit, an absent text or
  // a limit of 0 leaves no title. Returns 1 when a title is stored, else 0.
  int setTitle(const char* text, int limit);
  // Copies the title cut to the buffer (or an empty text); returns its length.
  int getTitle(char* buffer, int size) const;
  int setUnits(const char* text, int limit);
  int getUnits(char* buffer, int size) const;
  void setDecimals(int decimals);
  // Index -1 (or any negative index) inserts at the front and returns 0, an
  // existing index replaces that zone and returns it, a larger index appends
  // and returns the new index; an absent zone returns -1.
  int setZone(int index, const QvGaugeZone* zone);
  // Copies a zone out and returns 1; 0 for an index outside the list or an absent record.
  int getZone(int index, QvGaugeZone* zone) const;
  void clearZones();

  QSize sizeHint() const override;

 Q_SIGNALS:
  void commandNotify(int controlId, int code, QPoint screenPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void redrawIf(bool redraw);

  QvAnalogGaugeState state_;
  int controlId_ = 0;
};
