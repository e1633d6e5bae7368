// Stacked strip charts over one shared time axis: one strip per chosen
// channel, each drawn as its min/max envelope per pixel column so that a
// million samples repaint at once. A second column per strip (the compare
// definition's) is drawn over the first in another colour.
//
// Mouse: the wheel zooms around the pointer; a left drag selects a time range
// (a click without a drag moves the cursor there); a left drag with Ctrl zooms
// to the dragged range; a right or middle drag, or a drag with Shift, pans; a
// double click resets the view to the whole log.
// Keys: Left/Right pan, +/- zoom, Home resets.
//
// Thread contract: a QWidget; GUI thread only. The log and the columns it is
// given must stay alive and unchanged while they are shown.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "app/analysis/StripChartGeometry.h"

class LogData;

struct StripChannel {
  QString label;                                // title and units
  const std::vector<float>* samples = nullptr;  // one per record
  const std::vector<float>* overlay = nullptr;  // the compare definition's, or none
  QColor color;
};

class StripChartWidget : public QWidget {
  Q_OBJECT

 public:
  explicit StripChartWidget(QWidget* parent = nullptr);

  // The log whose record times the columns follow; resets view and selection.
  void SetLog(const LogData* log);
  void SetChannels(std::vector<StripChannel> channels);
  const std::vector<StripChannel>& Channels() const { return channels_; }

  TimeView View() const { return view_; }
  TimeView Bounds() const { return bounds_; }
  void SetView(const TimeView& view);
  double Cursor() const { return cursor_; }
  void SetCursor(double seconds);
  // The selected range, if any.
  std::optional<TimeView> Selection() const { return selection_; }
  void SetSelection(std::optional<TimeView> range);

  // The plot area (strips without the axis band), in widget pixels.
  QRect PlotRect() const;

 public Q_SLOTS:
  void ResetView();
  void ZoomAt(double anchorSeconds, double factor);
  // Shows the selected range (nothing without a selection).
  void ZoomToSelection();

 Q_SIGNALS:
  void cursorMoved(double seconds);
  void selectionChanged();
  void viewChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class Drag { kNone, kSelect, kZoom, kPan };
  struct Range {
    bool any = false;
    float minimum = 0.0f;
    float maximum = 0.0f;
    EnvelopeBlocks blocks;         // of the samples
    EnvelopeBlocks overlayBlocks;  // of the overlay
  };

  double TimeAt(double x) const;
  void DrawStrip(class QPainter& painter, const StripChannel& channel, const Range& range,
                 const QRect& strip);

  const LogData* log_ = nullptr;
  std::vector<StripChannel> channels_;
  std::vector<Range> ranges_;  // per channel, over both columns
  TimeView bounds_;
  TimeView view_;
  double cursor_ = 0.0;
  std::optional<TimeView> selection_;
  std::optional<TimeView> zoomBand_;  // the range a Ctrl drag is zooming to
  Drag drag_ = Drag::kNone;
  double dragStartX_ = 0.0;
  double dragStartTime_ = 0.0;
  TimeView dragStartView_;
};
