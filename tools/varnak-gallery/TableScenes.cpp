// Pictures of the grid control and the 3-D chart, filled as the histogram
// pane fills them.
#include <QApplication>

#include "controls/chart3d/Qv3DChart.h"
#include "controls/grid/QvGridControl.h"
#include "tools/varnak-gallery/EngineData.h"
#include "tools/varnak-gallery/GalleryInput.h"
#include "tools/varnak-gallery/GalleryScenes.h"
#include "tools/varnak-gallery/GalleryWriter.h"

namespace {

const char* kCaption = "VE Table - MAP vs RPM vs VE %";

std::string BreakText(float value) {
  return StatisticText(value);
}

void FillGrid(QvGridControl& grid, const HistogramTable& table) {
  const int rows = static_cast<int>(table.mapBreaks.size());
  const int columns = static_cast<int>(table.rpmBreaks.size());
  grid.setRedraw(false);
  grid.setCaption(kCaption);
  grid.setTopOffset(22);
  grid.setSize(rows, columns);
  for (int r = 0; r < rows; ++r) grid.setCellText(GridAddress(r + 1, 0), BreakText(table.mapBreaks[r]));
  for (int c = 0; c < columns; ++c) {
    grid.setCellText(GridAddress(0, c + 1), BreakText(table.rpmBreaks[c]));
    grid.setColWidth(c + 1, 56);
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c)
      grid.setCellText(GridAddress(r + 1, c + 1), StatisticText(table.at(r, c)));
  }
  grid.setRedraw(true);
}

QPoint CellCentre(const QvGridControl& grid, int row, int column) {
  const std::optional<GridRect> rect = GridCellRect(grid.layout(), row, column);
  if (!rect) return QPoint(0, 0);
  return QPoint((rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2);
}

void GridPictures(GalleryWriter& writer) {
  {
    QvGridControl grid;
    writer.save(grid, QSize(420, 260), QStringLiteral("grid-default"));
  }
  const HistogramTable table = VolumetricEfficiencyTable();
  {
    // The histogram table; the user drags a selection over the cruise cells
    // and the pane highlights the cells of the last sample's neighbourhood.
    QvGridControl grid;
    grid.setScrollBars(true, true);
    grid.resize(760, 420);
    FillGrid(grid, table);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    QApplication::processEvents();
    SendMousePress(&grid, CellCentre(grid, 5, 5));
    SendMouseMove(&grid, CellCentre(grid, 7, 6));
    SendMouseMove(&grid, CellCentre(grid, 8, 8));
    SendMouseRelease(&grid, CellCentre(grid, 8, 8));
    grid.setHighlight(GridAddress(7, 7), GridAddress(10, 10));
    writer.save(grid, QStringLiteral("grid-histogram"));

    // Shift+arrows extend the selection as a keyboard user does.
    SendKey(&grid, Qt::Key_Right, Qt::ShiftModifier);
    SendKey(&grid, Qt::Key_Down, Qt::ShiftModifier);
    SendKey(&grid, Qt::Key_Down, Qt::ShiftModifier);
    writer.save(grid, QStringLiteral("grid-keyboard"));

    // Without the focus the selection turns grey.
    grid.clearFocus();
    writer.save(grid, QStringLiteral("grid-nofocus"));
    grid.hide();
  }
  {
    // Row numbers and column letters, own cell colours, a read-only row,
    // marked cells and a cell being typed into.
    QvGridControl grid;
    grid.setStyle(QvGridControl::kStyleRowNumbers | QvGridControl::kStyleColumnLetters |
                      QvGridControl::kStyleCellColors | QvGridControl::kStyleEllipsis,
                  false);
    grid.setSize(8, 6);
    const char* heads[] = {"Item", "Value", "Units", "Min", "Max", "Note"};
    for (int c = 0; c < 6; ++c) {
      grid.setCellText(GridAddress(1, c + 1), heads[c]);
      grid.setReadOnly(GridAddress(1, c + 1), true);
      grid.setCellBkColor(GridAddress(1, c + 1), GridRgb(230, 230, 230));
      grid.setCellTextColor(GridAddress(1, c + 1), GridRgb(0, 0, 0));
    }
    const char* rows[][6] = {{"RPM", "3250", "rpm", "780", "5912", "pull into the red zone"},
                             {"MAP", "45.6", "kPa", "28", "99.1", ""},
                             {"Coolant", "108.4", "deg C", "68", "108.4", "hot"},
                             {"Battery", "11.2", "V", "11.2", "14.4", "low"}};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 6; ++c) {
        grid.setCellText(GridAddress(r + 2, c + 1), rows[r][c]);
        grid.setCellBkColor(GridAddress(r + 2, c + 1), GridRgb(255, 255, 255));
        grid.setCellTextColor(GridAddress(r + 2, c + 1), GridRgb(0, 0, 0));
      }
    }
    grid.setCellBkColor(GridAddress(4, 2), GridRgb(255, 200, 200));
    grid.setCellBkColor(GridAddress(5, 2), GridRgb(200, 255, 200));
    grid.setMark(GridAddress(4, 5), true);
    grid.setMark(GridAddress(5, 4), true);
    grid.resize(420, 220);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    QApplication::processEvents();
    grid.setCurrent(6, 2);
    SendKey(&grid, Qt::Key_1, Qt::NoModifier, "1");
    SendKey(&grid, Qt::Key_4, Qt::NoModifier, "4");
    SendKey(&grid, Qt::Key_Period, Qt::NoModifier, ".");
    writer.save(grid, QStringLiteral("grid-editing"));
    grid.hide();
  }
}

void FillChart(Qv3DChart& chart, const HistogramTable& table) {
  const int rows = static_cast<int>(table.mapBreaks.size());
  const int columns = static_cast<int>(table.rpmBreaks.size());
  chart.setRedraw(false);
  chart.newPlot();
  chart.setCaption(kCaption);
  chart.setSize(rows, columns);
  chart.setAxisTitles("RPM", "MAP", "VE %");
  for (int r = 0; r < rows; ++r) chart.setRowLabel(r, BreakText(table.mapBreaks[r]));
  for (int c = 0; c < columns; ++c) chart.setColumnLabel(c, BreakText(table.rpmBreaks[c]));
  chart.setXRange(table.rpmBreaks.front(), table.rpmBreaks.back());
  chart.setYRange(table.mapBreaks.front(), table.mapBreaks.back());
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c)
      chart.setPoint(r, c, table.rpmBreaks[c], table.mapBreaks[r], table.at(r, c));
  }
  chart.setRedraw(true);
}

void ChartPictures(GalleryWriter& writer) {
  {
    Qv3DChart chart;
    writer.save(chart, QSize(400, 300), QStringLiteral("3d-default"));
  }
  const HistogramTable table = VolumetricEfficiencyTable();
  Qv3DChart chart;
  chart.resize(640, 480);
  FillChart(chart, table);
  writer.save(chart, QStringLiteral("3d-bars"));

  // The user turns the plot by dragging to the left and a little down.
  SendDrag(&chart, QPoint(400, 240), QPoint(300, 270), 8);
  writer.save(chart, QStringLiteral("3d-rotated"));

  chart.setPlotStyle(Qv3DChart::PlotStyle::Surface);
  writer.save(chart, QStringLiteral("3d-surface"));
}

}  // namespace

void RenderTablePictures(GalleryWriter& writer) {
  GridPictures(writer);
  ChartPictures(writer);
}
