#include "controls/grid/QvGridControl.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvPaintSupport.h"

// Drawing of the grid control into an off-screen image.

namespace {

constexpr int kTextInset = 2;

QColor Colour(std::uint32_t ref) {
  return QvColorFromRef(ref);
}

Qt::Alignment QtAlign(const GridTextPlacement& placement) {
  Qt::Alignment out;
  out |= placement.h == GridHAlign::Left     ? Qt::AlignLeft
         : placement.h == GridHAlign::Center ? Qt::AlignHCenter
                                             : Qt::AlignRight;
  out |= placement.v == GridVAlign::Top      ? Qt::AlignTop
         : placement.v == GridVAlign::Center ? Qt::AlignVCenter
                                             : Qt::AlignBottom;
  return out;
}

}  // namespace

std::string QvGridControl::headerText(int row, int column) const {
  if (row > 0 && column == 0 && (style_ & kStyleRowNumbers)) return std::to_string(row);
  if (row == 0 && column > 0 && (style_ & kStyleColumnLetters)) return GridColumnLetters(column);
  return cells_.at(row, column).text;
}

QImage QvGridControl::renderFrame() {
  const qreal ratio = devicePixelRatioF();
  QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  draw(painter);
  return image;
}

void QvGridControl::paintEvent(QPaintEvent*) {
  // While drawing is suspended the last picture stays.
  if (!(state_ & kStateNoRedraw) || frame_.isNull()) frame_ = renderFrame();
  QPainter target(this);
  target.drawImage(0, 0, frame_);
}

std::array<std::uint32_t, QvGridControl::kPaletteSize> QvGridControl::shownPalette() const {
  std::array<std::uint32_t, kPaletteSize> shown = palette_;
  const QPalette& pal = palette();
  if (!QvIsDarkPalette(pal)) return shown;
  // The palette role standing for each entry's default; the marked-text red
  // and the current-cell yellow are kept as colours of their own.
  static constexpr QPalette::ColorRole kRoles[kPaletteSize] = {
      QPalette::Text,   QPalette::AlternateBase, QPalette::Base,  QPalette::Text,
      QPalette::Base,   QPalette::Highlight,     QPalette::Base,  QPalette::Mid,
      QPalette::Button, QPalette::NoRole,        QPalette::NoRole};
  for (int i = 0; i < kPaletteSize; ++i) {
    if ((paletteSet_ & (1u << i)) != 0 || kRoles[i] == QPalette::NoRole) continue;
    shown[static_cast<std::size_t>(i)] = QvRefFromColor(pal.color(kRoles[i]));
  }
  // A dim yellow keeps the current cell marked while light text stays readable.
  if ((paletteSet_ & (1u << 10)) == 0) shown[10] = GridRgb(112, 100, 24);
  return shown;
}

void QvGridControl::draw(QPainter& p) {
  const GridLayout lay = layout();
  const std::array<std::uint32_t, kPaletteSize> colours = shownPalette();
  const bool dark = QvIsDarkPalette(palette());
  const std::uint32_t selectionColour =
      dark ? QvRefFromColor(palette().color(QPalette::Highlight)) : selectionColor_;
  GridPaintState paint{style_, (state_ & kStateFocus) != 0, isEnabled(), selectionColour, colours.data()};
  if (dark) {
    paint.unfocusedSelectionColor = QvRefFromColor(palette().color(QPalette::Mid));
    paint.unfocusedHeaderColor = QvRefFromColor(palette().color(QPalette::Midlight));
  }
  const GridCellRange sel = selection();
  const QColor border = Colour(colours[7]);

  p.fillRect(rect(), dark ? palette().color(QPalette::Window) : Colour(kGridOutsideFill));
  if (topOffset_ > 0)
    p.fillRect(0, 0, lay.viewWidth, std::min(topOffset_, lay.viewHeight), Colour(colours[8]));
  if (topOffset_ > 0 && !caption_.empty()) {
    const QRect band(4, 0, std::max(0, lay.viewWidth - 8), std::min(topOffset_, lay.viewHeight));
    p.setFont(fontA_);
    p.setPen(Colour(isEnabled() ? colours[3] : kGridDisabledText));
    p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QFontMetrics(fontA_).elidedText(QvText(caption_), Qt::ElideRight, band.width()));
  }
  p.setClipRect(0, 0, lay.viewWidth, lay.viewHeight);

  auto drawText = [&](const GridRect& r, const std::string& text, const GridTextPlacement& place,
                      const QFont& font, std::uint32_t color) {
    if (text.empty()) return;
    const QRect box(r.left + kTextInset, r.top, std::max(0, r.width() - 2 * kTextInset), r.height());
    p.setFont(font);
    p.setPen(Colour(color));
    QString shown = QvText(text);
    if (place.ellipsis) shown = QFontMetrics(font).elidedText(shown, Qt::ElideRight, box.width());
    p.save();
    p.setClipRect(box.intersected(QRect(0, 0, lay.viewWidth, lay.viewHeight)));
    p.drawText(box, static_cast<int>(QtAlign(place) | Qt::TextSingleLine), shown);
    p.restore();
  };

  auto drawHeader = [&](const GridRect& r, int row, int column) {
    const bool inSelection =
        (row > 0 && column == 0 && (style_ & kStyleRowHeaderSelection) &&
         row >= std::min(sel.a.row, sel.b.row) && row <= std::max(sel.a.row, sel.b.row)) ||
        (row == 0 && column > 0 && (style_ & kStyleColumnHeaderSelection) &&
         column >= std::min(sel.a.column, sel.b.column) && column <= std::max(sel.a.column, sel.b.column));
    const QRect box(r.left, r.top, r.width(), r.height());
    p.fillRect(box, Colour(GridHeaderBackground(paint, inSelection)));
    // Etched edge: a light line inside a shadow line.
    p.setPen(dark ? palette().color(QPalette::Dark) : QColor(160, 160, 160));
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    p.setPen(dark ? palette().color(QPalette::Light) : QColor(255, 255, 255));
    p.drawLine(box.left(), box.top(), box.right() - 1, box.top());
    p.drawLine(box.left(), box.top(), box.left(), box.bottom() - 1);
    const GridCellRole role = column == 0 && row == 0 ? GridCellRole::Corner
                              : column == 0           ? GridCellRole::RowHeader
                                                      : GridCellRole::ColumnHeader;
    const std::string text = headerText(row, column);
    drawText(r, text, GridPlaceText(style_, role, cells_.at(row, column).flags, GridCellKind(text)), fontA_,
             isEnabled() ? colours[3] : kGridDisabledText);
  };

  auto drawCell = [&](const GridRect& r, int row, int column) {
    const GridCell& cell = cells_.at(row, column);
    GridCellLook look;
    look.selected = sel.contains(row, column);
    look.highlighted = highlight_.contains(row, column);
    look.readOnly = cell.flags & kGridFlagReadOnly;
    look.marked = cell.flags & kGridFlagMarked;
    look.background = cell.background;
    look.text = cell.textColor;
    const QRect box(r.left, r.top, r.width(), r.height());
    const bool editingHere = editing_ && current_ == GridCellPos{row, column};
    p.fillRect(box, editingHere ? (dark ? palette().color(QPalette::Base) : QColor(Qt::white))
                                : Colour(GridCellBackground(paint, look)));
    p.setPen(border);
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    if (editingHere) {
      // The edit text at the left with the caret after it, as high as the font.
      const QFont& editFont = font();
      const QFontMetrics metrics(editFont);
      const QString shown = QvText(editText_);
      const int textWidth = metrics.horizontalAdvance(shown);
      const int room = std::max(0, box.width() - 2 * kTextInset - 2);
      const int shift = std::max(0, textWidth - room);
      const int baseline = box.top() + (box.height() + metrics.ascent() - metrics.descent()) / 2;
      p.save();
      p.setClipRect(box.adjusted(1, 1, -1, -1).intersected(QRect(0, 0, lay.viewWidth, lay.viewHeight)));
      p.setFont(editFont);
      p.setPen(dark ? palette().color(QPalette::Text) : QColor(Qt::black));
      p.drawText(box.left() + kTextInset - shift, baseline, shown);
      const int caretX = box.left() + kTextInset - shift + textWidth + 1;
      const int caretTop = box.top() + (box.height() - metrics.height()) / 2;
      p.drawLine(caretX, caretTop, caretX, caretTop + metrics.height() - 1);
      p.restore();
      p.setPen(dark ? palette().color(QPalette::Text) : QColor(Qt::black));
      p.drawRect(box.adjusted(0, 0, -1, -1));
      return;
    }
    drawText(r, cell.text, GridPlaceText(style_, GridCellRole::Data, cell.flags, GridCellKind(cell.text)),
             fontB_, GridCellTextColor(paint, look));
    if (paint.focused && current_ == GridCellPos{row, column}) {
      // The current cell carries a thin dark frame while the grid has the focus.
      p.setPen(dark ? palette().color(QPalette::Text) : QColor(60, 60, 60));
      p.drawRect(box.adjusted(0, 0, -1, -1));
    }
  };

  // Data rows from the first one on screen, then the header row over them.
  const std::vector<GridSpan> shownRows = GridVisibleRows(lay);
  const std::vector<GridSpan> shownColumns = GridVisibleColumns(lay);
  const int headerWidth = getColWidth(0);
  const int headerBottom = topOffset_ + getRowHeight(0);
  for (const GridSpan& row : shownRows) {
    for (const GridSpan& column : shownColumns)
      drawCell(GridRect{column.start, row.start, column.end, row.end}, row.index, column.index);
    drawHeader(GridRect{0, row.start, headerWidth, row.end}, row.index, 0);
  }
  for (const GridSpan& column : shownColumns)
    drawHeader(GridRect{column.start, topOffset_, column.end, headerBottom}, 0, column.index);
  drawHeader(GridRect{0, topOffset_, headerWidth, headerBottom}, 0, 0);

  p.setClipping(false);
  if ((state_ & kStateVScroll) && (state_ & kStateHScroll))
    p.fillRect(lay.viewWidth, lay.viewHeight, width() - lay.viewWidth, height() - lay.viewHeight,
               Colour(colours[8]));
}
