#pragma once
// The 2-D chart: series of (x, y) points plotted against an x and a y axis.
// The user picks points with the mouse (one at a time, several with the
// control key, or by a rubber band) and drags them; the chart tells its parent
// through `notify` when a point was picked (281), a drag ended (1126), or an
// axis range followed the data (1127 x, 1128 y).
//
// Drawing goes into an off-screen image that a paint copies in one step; it is
// rebuilt only after a change. The plot rectangle and the automatic labels are
// laid out from the font metrics by the pure functions of Chart2DGeometry.
//
// Thread contract: every member runs on the GUI thread.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/chart2d/Chart2DGeometry.h"
#include "controls/chart2d/QvChart2DSeries.h"

class QvChart2D;

// Supplies the text of an automatic label: x labels get their value as `x`,
// y labels as `y`; `axis` is 1 for x and 2 for y. Writes at most `size` bytes
// into `buffer` and returns true when it wrote a text. The chart terminates the
// buffer itself, so a callback that fills it completely cannot overrun.
using QvChart2DLabelCallback =
    std::function<bool(QvChart2D* chart, float x, float y, int axis, char* buffer, int size)>;

struct QvChart2DLabel {
  float value = 0.0f;
  std::string text;
};

class QvChart2D : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "2DCHART";

  // Chart style bits.
  static constexpr std::uint32_t kAutoXLabels = 0x2;
  static constexpr std::uint32_t kAutoYLabels = 0x4;
  static constexpr std::uint32_t kXFollowsData = 0x10;
  static constexpr std::uint32_t kYFollowsData = 0x20;
  static constexpr std::uint32_t kDefaultStyle = 0x7;

  // Interaction state bits.
  static constexpr std::uint32_t kStateButtonDown = 0x1;
  static constexpr std::uint32_t kStateControl = 0x4;
  static constexpr std::uint32_t kStateShift = 0x8;
  static constexpr std::uint32_t kStateDragging = 0x20;
  static constexpr std::uint32_t kStateRubberBand = 0x40;
  static constexpr std::uint32_t kStateCursorHidden = 0x200;
  static constexpr std::uint32_t kStateRedrawOff = 0x400;

  // Notification codes.
  static constexpr int kNotifyPointPicked = 281;
  static constexpr int kNotifyDragEnded = 1126;
  static constexpr int kNotifyXRangeFollowed = 1127;
  static constexpr int kNotifyYRangeFollowed = 1128;

  // Colour indexes (0x00BBGGRR values): 0 window, 1 plot fill, 2 plot frame,
  // 3 axis titles, 4 and 5 title, 7 rubber band, 8 and 9 axis labels, 11 grid,
  // 14 subtitle.
  static constexpr std::size_t kMaxTitle = 99;
  static constexpr std::size_t kMaxAxisTitle = 39;
  static constexpr std::size_t kMaxSubtitle = 59;
  static constexpr int kLabelTextSize = 40;

  explicit QvChart2D(QWidget* parent = nullptr);
  ~QvChart2D() override;

  void setControlId(int id) { controlId_ = id; }
  int controlId() const { return controlId_; }

  // The title (the window text), cut to 99 characters.
  void setTitle(const std::string& title);
  const std::string& title() const { return title_; }

  // false suspends drawing; true resumes it and redraws.
  void setRedraw(bool enabled);

  void setStyle(std::uint32_t bits, bool redraw);
  std::uint32_t style() const { return style_; }
  void clearStyle(std::uint32_t bits, bool redraw);
  std::uint32_t state() const { return state_; }
  void redraw();

  void setLabelCallback(QvChart2DLabelCallback callback);

  // Creates a series with its defaults at `index` (appended when the index is
  // not below the series count).
  QvChart2DSeries* insertSeries(int index, bool redraw);
  // Removes and destroys the series; 1 when it was in the list, else 0.
  int removeSeries(QvChart2DSeries* series, bool redraw);
  QvChart2DSeries* getSeries(int index) const;
  int getSeriesCount() const { return static_cast<int>(series_.size()); }
  void clearSelection(bool redraw);

  // 1 when set, 0 for an index that is not a colour slot.
  int setColor(int index, std::uint32_t color);
  // The colour, or 0xFFFFFFFF for an index that is not a colour slot.
  std::uint32_t color(int index) const;

  // Set the given ends of a range; ignored while that range follows the data.
  void setXRange(std::optional<float> min, std::optional<float> max);
  void getXRange(float* min, float* max) const;
  void setYRange(std::optional<float> min, std::optional<float> max);
  void getYRange(float* min, float* max) const;
  // Two further ranges, kept for callers; the chart does not draw them.
  void setAuxRange1(std::optional<float> min, std::optional<float> max);
  void getAuxRange1(float* min, float* max) const;
  void setAuxRange2(std::optional<float> min, std::optional<float> max);
  void getAuxRange2(float* min, float* max) const;

  // Axis titles, at most 39 characters kept.
  void setXAxisTitle(const std::string& text);
  void setYAxisTitle(const std::string& text);
  const std::string& xAxisTitle() const { return xAxisTitle_; }
  const std::string& yAxisTitle() const { return yAxisTitle_; }
  void setSubtitle(const std::string& text);
  const std::string& subtitle() const { return subtitle_; }

  // Label lists.
  void resizeXLabels(int count);
  void resizeYLabels(int count);
  int xLabelCount() { return static_cast<int>(xLabels().size()); }
  int yLabelCount() { return static_cast<int>(yLabels().size()); }
  // Automatic labels follow the plot size; these read them after any resize.
  // Replace one label; an index outside the list changes nothing.
  void setXLabel(int index, float value, const std::string& text);
  void setYLabel(int index, float value, const std::string& text);
  const std::vector<QvChart2DLabel>& xLabels();
  const std::vector<QvChart2DLabel>& yLabels();

  // Pixels between automatic labels.
  void setLabelSpacing(std::uint16_t x, std::uint16_t y);

  C2Bounds dataBounds() const { return bounds_; }
  // The framed plot, and the part of it that values map onto.
  C2Rect plotRect();
  C2Rect dataRect();
  // Screen position of a value pair through the current ranges.
  C2Pixel valueToPixel(float x, float y);
  // The frame as the next paint shows it.
  QImage renderFrame();

 Q_SIGNALS:
  // A notification to the parent: the chart, its identifier, the code, and the
  // series and point index concerned (none and 0 for range notifications).
  void notify(QvChart2D* chart, int controlId, int code, QvChart2DSeries* series, int pointIndex);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A new palette (theme) redraws the cached picture.
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Arrow keys move the selected points one pixel's worth along the axes their
  // series may be dragged on (ten with shift) and report it like a finished
  // drag (1126); Escape clears the selection.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class QvChart2DSeries;

  // From the series: something changed (redraw when asked); points changed
  // (data bounds first).
  void seriesChanged(bool redraw);
  void seriesPointsChanged(bool redraw);
  void updateDataBounds();

  void requestLayout();
  void ensureLayout();
  void performLayout();
  void rebuildAutoLabels(int plotWidth, int plotHeight);
  std::string labelText(float value, int axis);
  void buildFrame();
  void drawSeries(class QPainter& painter, const QvChart2DSeries& series);
  void scheduleRedraw(bool redraw);

  void pressAt(C2Pixel pos, bool control, bool shift);
  void moveTo(C2Pixel pos);
  void releaseAt(C2Pixel pos);
  bool nudgeSelected(int dx, int dy, int step);

  int slotOf(int colorIndex) const;

  int controlId_ = 0;
  std::vector<std::unique_ptr<QvChart2DSeries>> series_;
  std::uint32_t style_ = kDefaultStyle;
  std::uint32_t state_ = 0;
  std::string title_ = "2D Chart";
  std::string yAxisTitle_ = "Y Axis";
  std::string xAxisTitle_ = "X Axis";
  std::string subtitle_ = "Qv2DChart v2";
  float xMin_ = -255.0f, xMax_ = 255.0f;
  float yMin_ = -255.0f, yMax_ = 255.0f;
  float aux1Min_ = -255.0f, aux1Max_ = 255.0f;
  float aux2Min_ = -255.0f, aux2Max_ = 255.0f;
  C2Bounds bounds_;
  std::uint16_t xLabelSpacing_ = 50;
  std::uint16_t yLabelSpacing_ = 50;
  std::vector<QvChart2DLabel> xLabels_;
  std::vector<QvChart2DLabel> yLabels_;
  QvChart2DLabelCallback labelCallback_;
  std::uint32_t colors_[9];
  // Bit i: slot i was set by the caller and is kept in every theme.
  std::uint32_t colorsSet_ = 0;
  // Slot i as painted: the caller's colour, or the palette's in a dark theme.
  QColor themed(int slot) const;
  int anchorSeries_ = 0;
  int anchorPoint_ = 0;

  // Interaction bookkeeping.
  C2Pixel lastMouse_;
  C2Pixel bandFrom_;
  C2Pixel bandTo_;
  bool dragMoved_ = false;

  // Layout and drawing.
  C2Rect client_;
  C2Rect plot_;
  C2Rect data_;
  bool layoutPending_ = true;
  bool frameDirty_ = true;
  QImage frame_;
};
