#pragma once
// The status gauge: an on/off lamp with a title and a text for each state.
//
// Thread contract: a QWidget; every member is called on the GUI thread only.
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

#include "controls/gauges/QvControlText.h"

struct QvStatusGaugeState {
  std::uint32_t style = 1;  // only bit 128 (equal scaling) has a meaning
  std::uint32_t backColor = QvRgb(255, 255, 255);
  std::uint32_t titleColor = QvRgb(0, 0, 0);
  std::uint32_t onTextColor = QvRgb(0, 0, 0);
  std::uint32_t offTextColor = QvRgb(0, 0, 0);
  std::uint32_t onBackColor = QvRgb(0, 255, 0);
  std::uint32_t offBackColor = QvRgb(255, 0, 0);
  int state = 0;
  std::optional<std::string> title;
  std::optional<std::string> onText;
  std::optional<std::string> offText;
};

inline constexpr int kQvStatusTitleFont = 10;
inline constexpr int kQvStatusStateFont = 24;

class QvStatusGauge : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVSTATUSGAUGE";
  static constexpr int kRightClickCode = 0x626;

  explicit QvStatusGauge(QWidget* parent = nullptr, int controlId = 0);

  int controlId() const { return controlId_; }
  void setControlId(int id) { controlId_ = id; }
  const QvStatusGaugeState& state() const { return state_; }

  // Style bits as for the analog gauge: 0 clears every bit.
  void setStyle(std::uint32_t bits, bool redraw);
  void clearStyle(std::uint32_t bits, bool redraw);
  // Non-zero is on.
  void setState(int state, bool redraw);
  // Texts are stored only when they fit their limit (see QvLimitedText);
  // setters return 1 when a text is stored. Getters copy the text cut to the
  // buffer, or an empty text, and return the copied length.
  int setTitle(const char* text, int limit);
  int getTitle(char* buffer, int size) const;
  int setOnText(const char* text, int limit);
  int getOnText(char* buffer, int size) const;
  int setOffText(const char* text, int limit);
  int getOffText(char* buffer, int size) const;

  // The text shown for the current state (empty when that state has none).
  std::string stateText() const;

  QSize sizeHint() const override { return QSize(100, 100); }

 Q_SIGNALS:
  void commandNotify(int controlId, int code, QPoint screenPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QvStatusGaugeState state_;
  int controlId_ = 0;
};
