// The log control bar, the third band of the window's tool bars: a tool bar
// of five buttons (Record, Play, Pause, Stop, Load Log) and the playback
// position slider to its right.
//
// The bar reports button presses as command identifiers and slider moves made
// by the user; positions set by the program (playback progress) are not
// reported back.
//
// Thread contract: a QWidget; GUI thread only.
#pragma once

#include <QWidget>

#include <map>

#include "acquisition/control/LoggerToolbar.h"

class QAction;
class QSlider;
class QToolBar;

class LogControlBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kToolbarWidth = 118;
  static constexpr int kToolbarHeight = 30;
  static constexpr int kBandWidth = 295;

  explicit LogControlBar(QWidget* parent = nullptr);

  // Enables the buttons and the slider as the state says.
  void Apply(const LoggerToolbarState& state);
  // The slider's range 0 .. maximum and its position, without a report.
  void SetSliderRange(int maximum);
  void SetSliderPosition(int position);

  QToolBar* Toolbar() const { return toolbar_; }
  QSlider* Slider() const { return slider_; }
  QAction* Button(int id) const;

  QSize sizeHint() const override { return QSize(kBandWidth, kToolbarHeight); }
  // The tool bar's width: 118, or more when the buttons need it.
  int ToolbarWidth() const;

 Q_SIGNALS:
  void commandTriggered(int id);
  void sliderMovedByUser(int position);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolBar* toolbar_ = nullptr;
  QSlider* slider_ = nullptr;
  std::map<int, QAction*> buttons_;
  bool settingSlider_ = false;
};
