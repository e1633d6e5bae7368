#pragma once
// The digital readout: a large number with a title above and units below,
// coloured by its high and low alarms.
//
// Thread contract: a QWidget; every member and free function is called on the
// GUI thread only.
#include <QFont>
#include <QWidget>

#include <cstdint>
#include <string>

#include "controls/gauges/QvControlText.h"

// Style bit of the readout that draws a border.
inline constexpr std::uint32_t kQvReadoutBorder = 32;

// Colour indexes of the digital readout.
enum QvReadoutColorIndex : int {
  kQvReadoutBorderColor = 0,
  kQvReadoutTitleColor = 1,
  kQvReadoutUnitsColor = 2,
  kQvReadoutNormalColor = 3,
  kQvReadoutHighAlarmColor = 4,
  kQvReadoutLowAlarmColor = 5,
  kQvReadoutBackColor = 6,
  kQvReadoutColorCount = 7,
};

struct QvReadoutState {
  std::string title;      // at most 79 characters
  std::string units;      // at most 49 characters
  std::string valueText;  // at most 24 characters
  std::uint32_t style = 33;
  std::uint32_t colors[kQvReadoutColorCount] = {QvRgb(0, 0, 0),       QvRgb(0, 0, 0),   QvRgb(0, 0, 0),
                                                QvRgb(100, 100, 255), QvRgb(255, 0, 0), QvRgb(0, 255, 0),
                                                QvRgb(255, 255, 255)};
  std::uint32_t valueColor = QvRgb(100, 100, 255);
  // The value shows the normal colour (no alarm).
  bool valueNormal = true;
  // Bit i: colour index i was set by the caller and is kept in every theme.
  std::uint32_t colorsSet = 0;
  int titleFontHeight = 10;
  int valueFontHeight = 34;
  int unitsFontHeight = 10;
  bool fractional = true;
  int digits = 2;
  bool autoSize = true;
  std::size_t lastTextLength = 1;
  float value = 0.0f;
  float lowAlarm = -1.0f;
  float highAlarm = 256.0f;
  bool lowAlarmEnabled = false;
  bool highAlarmEnabled = false;
};

class QvDigitalReadout : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVDIGITALGAUGEREADOUT";
  static constexpr int kRightClickCode = 0x590;
  static constexpr std::size_t kTitleMax = 79;
  static constexpr std::size_t kUnitsMax = 49;

  explicit QvDigitalReadout(QWidget* parent = nullptr, int controlId = 0);

  int controlId() const { return controlId_; }
  void setControlId(int id) { controlId_ = id; }
  const QvReadoutState& state() const { return state_; }

  // Copies up to 79 characters; returns the stored length.
  int setTitle(const char* text);
  // Copies up to 49 characters; returns the stored length.
  int setUnits(const char* text);
  // -1 leaves either setting unchanged; the current value is formatted again.
  void setFormat(int fractional, int digits);
  void setColor(int index, std::uint32_t color);
  std::uint32_t getColor(int index) const;
  // Stores the value, picks its colour and formats it; redraws only when the
  // value changed. Returns the previous value.
  float setValue(float value);
  // Store a threshold and apply the current value again; return the previous threshold.
  float setHighAlarm(float threshold);
  float setLowAlarm(float threshold);
  float getHighAlarm() const { return state_.highAlarm; }
  float getLowAlarm() const { return state_.lowAlarm; }
  // Take effect with the next value.
  void enableHighAlarm(bool enable);
  void enableLowAlarm(bool enable);
  void setStyle(std::uint32_t style);

  QSize sizeHint() const override { return QSize(100, 100); }

 Q_SIGNALS:
  void commandNotify(int controlId, int code, QPoint screenPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void applyValue();
  void makeFonts();

  QvReadoutState state_;
  QFont titleFont_;
  QFont valueFont_;
  QFont unitsFont_;
  int controlId_ = 0;
};

// The readout functions of the window interface: each does nothing (or
// returns 0) when the widget is not a digital readout.
int QvReadoutSetTitle(QWidget* readout, const char* text);
int QvReadoutSetUnits(QWidget* readout, const char* text);
void QvReadoutSetFormat(QWidget* readout, int fractional, int digits);
void QvReadoutSetColor(QWidget* readout, int index, std::uint32_t color);
std::uint32_t QvReadoutGetColor(QWidget* readout, int index);
float QvReadoutSetValue(QWidget* readout, float value);
float QvReadoutSetHighAlarm(QWidget* readout, float threshold);
float QvReadoutSetLowAlarm(QWidget* readout, float threshold);
float QvReadoutGetHighAlarm(QWidget* readout);
float QvReadoutGetLowAlarm(QWidget* readout);
void QvReadoutEnableHighAlarm(QWidget* readout, bool enable);
void QvReadoutEnableLowAlarm(QWidget* readout, bool enable);
