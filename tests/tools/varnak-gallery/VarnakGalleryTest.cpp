// Runs the gallery program into a fresh folder and checks what it wrote:
// every family has pictures, each is a real PNG of a sensible size, and
// colours appear where the controls' geometry puts them.
#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "controls/gauges/QvGaugeGeometry.h"
#include "tools/varnak-gallery/GalleryScenes.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int exitCode = -1;
  std::vector<std::string> lines;  // stdout
  std::string errors;              // stderr
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

fs::path MakeTempDir() {
  std::string pattern = (fs::temp_directory_path() / "varnak-gallery-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

// Runs the gallery with a shell prefix (environment changes) and arguments.
RunResult RunGallery(const std::string& prefix, const std::string& arguments, const fs::path& scratch) {
  const fs::path errFile = scratch / "stderr.txt";
  const std::string command =
      prefix + " " + Quote(VARNAK_GALLERY) + " " + arguments + " 2>" + Quote(errFile.string());
  RunResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::string out;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) result.lines.push_back(line);
  }
  std::ifstream err(errFile);
  result.errors.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  return result;
}

// One run of the gallery shared by the picture checks; the program chooses
// the offscreen platform itself, so no platform or display is given.
class GalleryRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new fs::path(MakeTempDir());
    ASSERT_FALSE(scratch_->empty());
    outDir_ = new fs::path(*scratch_ / "pictures");
    result_ = new RunResult(RunGallery("env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY",
                                       Quote(outDir_->string()), *scratch_));
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(*scratch_, ignored);
    delete result_;
    delete outDir_;
    delete scratch_;
  }

  static QImage Picture(const char* name) {
    return QImage(QString::fromStdString((*outDir_ / (std::string(name) + ".png")).string()));
  }

  static fs::path* scratch_;
  static fs::path* outDir_;
  static RunResult* result_;
};

fs::path* GalleryRun::scratch_ = nullptr;
fs::path* GalleryRun::outDir_ = nullptr;
RunResult* GalleryRun::result_ = nullptr;

QColor Rgb(std::uint32_t ref) {
  return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                static_cast<int>((ref >> 16) & 0xFF));
}

int CountColor(const QImage& image, QColor color) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y).rgb() == color.rgb() ? 1 : 0;
  }
  return count;
}

// The pixel on the dial circle of the tachometer picture at a value.
QPoint DialPoint(float value) {
  const int logical = 180;
  const double scale = static_cast<double>(gallery::kAnalogPictureSize) / logical;
  const double angle = QvGaugeAngle(value, 40.0f, 300.0f, 0.0f, gallery::kRpmMax);
  const double radius = (logical - 4) / 2.0;  // the dial runs from (2, 2) to (S - 2, S - 2)
  const double x = logical / 2.0 + radius * std::cos(angle * M_PI / 180.0);
  const double y = logical / 2.0 + radius * std::sin(angle * M_PI / 180.0);
  return QPoint(static_cast<int>(std::lround(x * scale)), static_cast<int>(std::lround(y * scale)));
}

}  // namespace

TEST_F(GalleryRun, WritesOneValidPictureOfSensibleSizePerLinePrinted) {
  ASSERT_EQ(result_->exitCode, 0) << result_->errors;
  ASSERT_FALSE(result_->lines.empty());
  std::set<std::string> printed;
  for (const std::string& line : result_->lines) {
    SCOPED_TRACE(line);
    EXPECT_EQ(fs::path(line).parent_path(), *outDir_);
    EXPECT_EQ(fs::path(line).extension(), ".png");
    EXPECT_TRUE(printed.insert(line).second) << "printed twice";
    const QImage image(QString::fromStdString(line));
    ASSERT_FALSE(image.isNull()) << "not a readable PNG";
    EXPECT_GE(image.width(), 16);
    EXPECT_GE(image.height(), 16);
    EXPECT_LE(image.width(), 1600);
    EXPECT_LE(image.height(), 1200);
    // A picture of a control has more than a single flat colour.
    std::set<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 3; y += 2) {
      for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    }
    EXPECT_GE(colours.size(), 2u);
  }
  // Nothing but the printed pictures is left in the folder.
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(*outDir_)) {
    ++files;
    EXPECT_EQ(printed.count(entry.path().string()), 1u) << entry.path();
  }
  EXPECT_EQ(files, printed.size());
}

TEST_F(GalleryRun, EveryFamilyHasPictures) {
  std::map<std::string, int> perFamily;
  const char* families[] = {"analog", "readout",    "status",   "progress", "datachart", "chart2d",
                            "grid",   "richstatic", "tabsheet", "proptree", "splash",    "3d"};
  for (const char* family : families) perFamily[family] = 0;
  for (const std::string& line : result_->lines) {
    const std::string name = fs::path(line).filename().string();
    const std::string family = name.substr(0, name.find('-'));
    ASSERT_EQ(perFamily.count(family), 1u) << "unknown family: " << name;
    ++perFamily[family];
  }
  for (const auto& [family, count] : perFamily) EXPECT_GE(count, 1) << family;
}

TEST_F(GalleryRun, TachometerZonesSitOnTheScaleWhereTheirValuesAre) {
  const QImage image = Picture("analog-rpm");
  ASSERT_EQ(image.size(), QSize(gallery::kAnalogPictureSize, gallery::kAnalogPictureSize));
  const QColor red = Rgb(gallery::kRedZoneColor);
  const QColor amber = Rgb(gallery::kAmberZoneColor);
  // Inside each zone the rim has the zone's colour.
  for (float v : {5300.0f, 5600.0f, 5900.0f}) {
    EXPECT_EQ(image.pixelColor(DialPoint(v)).rgb(), red.rgb()) << v;
  }
  EXPECT_EQ(image.pixelColor(DialPoint(4900.0f)).rgb(), amber.rgb());
  // Below the zones the rim is the black scale arc.
  for (float v : {500.0f, 1800.0f, 4000.0f}) {
    EXPECT_EQ(image.pixelColor(DialPoint(v)).rgb(), QColor(0, 0, 0).rgb()) << v;
  }
  // Outside the dial is the white background, inside it the face.
  EXPECT_EQ(image.pixelColor(1, 1).rgb(), QColor(255, 255, 255).rgb());
  EXPECT_EQ(image.pixelColor(gallery::kAnalogPictureSize / 2, gallery::kAnalogPictureSize / 8).rgb(),
            QColor(240, 240, 240).rgb());
}

TEST_F(GalleryRun, ProgressFillEndsWhereThePositionSays) {
  const QImage image = Picture("progress-recording");
  ASSERT_EQ(image.size(), QSize(gallery::kProgressWidth, gallery::kProgressHeight));
  const int fill = gallery::kProgressWidth * gallery::kProgressPos / gallery::kProgressMax;
  const QColor bar(0, 100, 210);
  // The top row is clear of the centred text.
  EXPECT_EQ(image.pixelColor(0, 1).rgb(), bar.rgb());
  EXPECT_EQ(image.pixelColor(fill - 1, 1).rgb(), bar.rgb());
  EXPECT_NE(image.pixelColor(fill, 1).rgb(), bar.rgb());
  EXPECT_NE(image.pixelColor(gallery::kProgressWidth - 1, 1).rgb(), bar.rgb());
}

TEST_F(GalleryRun, AlarmAndStateColoursShowOnlyInTheirState) {
  const QColor highAlarm(255, 0, 0);
  const QColor lowAlarm(0, 255, 0);
  const QColor normal(100, 100, 255);
  const QImage high = Picture("readout-highalarm");
  EXPECT_GT(CountColor(high, highAlarm), 100);
  EXPECT_EQ(CountColor(high, normal), 0);
  const QImage low = Picture("readout-lowalarm");
  EXPECT_GT(CountColor(low, lowAlarm), 100);
  EXPECT_EQ(CountColor(low, highAlarm), 0);
  EXPECT_GT(CountColor(Picture("readout-normal"), normal), 100);

  const QImage on = Picture("status-on");
  EXPECT_GT(CountColor(on, QColor(0, 255, 0)), 200);
  EXPECT_EQ(CountColor(on, QColor(255, 0, 0)), 0);
  const QImage off = Picture("status-off");
  EXPECT_GT(CountColor(off, QColor(255, 0, 0)), 200);
  EXPECT_EQ(CountColor(off, QColor(0, 255, 0)), 0);
  // On without an on-text shows no lamp colour at all.
  EXPECT_EQ(CountColor(Picture("status-notext"), QColor(0, 255, 0)), 0);
}

TEST_F(GalleryRun, GridPaintsSelectionHighlightAndTheirOverlap) {
  const QImage image = Picture("grid-histogram");
  ASSERT_FALSE(image.isNull());
  // Header column 50 wide, data columns 56, rows 21 high, below a 22-pixel
  // caption band; a point near the top left corner of a cell is clear of its
  // right-aligned text.
  auto cellCorner = [](int row, int column) {
    return QPoint(50 + (column - 1) * 56 + 4, 22 + 21 + (row - 1) * 21 + 3);
  };
  EXPECT_EQ(image.pixelColor(cellCorner(5, 5)).rgb(), QColor(128, 162, 219).rgb());   // selected
  EXPECT_EQ(image.pixelColor(cellCorner(7, 7)).rgb(), QColor(191, 208, 109).rgb());   // both
  EXPECT_EQ(image.pixelColor(cellCorner(10, 10)).rgb(), QColor(255, 255, 0).rgb());   // highlighted
  EXPECT_EQ(image.pixelColor(cellCorner(2, 12)).rgb(), QColor(255, 255, 255).rgb());  // plain

  // Without the focus the selection is grey, blended the same way.
  const QImage unfocused = Picture("grid-nofocus");
  ASSERT_EQ(unfocused.size(), image.size());
  EXPECT_EQ(unfocused.pixelColor(cellCorner(5, 5)).rgb(), QColor(180, 180, 180).rgb());
  EXPECT_EQ(unfocused.pixelColor(cellCorner(7, 7)).rgb(), QColor(217, 217, 90).rgb());
  EXPECT_EQ(unfocused.pixelColor(cellCorner(10, 10)).rgb(), QColor(255, 255, 0).rgb());
}

TEST_F(GalleryRun, UserInputChangesWhatTheControlsShow) {
  // Dragging a point, turning the 3-D plot, undocking a tab and extending the
  // grid selection by keys each change the picture that follows.
  const std::pair<const char*, const char*> pairs[] = {{"chart2d-lookup", "chart2d-dragged"},
                                                       {"3d-bars", "3d-rotated"},
                                                       {"tabsheet-panes", "tabsheet-undocked"},
                                                       {"grid-histogram", "grid-keyboard"},
                                                       {"proptree-connection", "proptree-gauges"}};
  for (const auto& [before, after] : pairs) {
    const QImage a = Picture(before);
    const QImage b = Picture(after);
    ASSERT_FALSE(a.isNull()) << before;
    ASSERT_FALSE(b.isNull()) << after;
    EXPECT_NE(a, b) << before << " and " << after << " are the same picture";
  }
  // The selected points of the rubber band are drawn filled.
  EXPECT_GT(CountColor(Picture("chart2d-rubberband"), QColor(0, 0, 0)),
            CountColor(Picture("chart2d-lookup"), QColor(0, 0, 0)));
}

TEST(GalleryErrors, UnwritableOrMissingOutputFolderFailsWithAMessage) {
  const fs::path scratch = MakeTempDir();
  ASSERT_FALSE(scratch.empty());
  const fs::path plainFile = scratch / "plain";
  std::ofstream(plainFile) << "x";

  // A folder below a plain file cannot be made, and a plain file is no folder.
  for (const fs::path& target : {plainFile / "pictures", plainFile}) {
    SCOPED_TRACE(target.string());
    const RunResult run = RunGallery("", Quote(target.string()), scratch);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_NE(run.errors.find(target.string()), std::string::npos) << run.errors;
  }

  // Qt's own options are not taken for the folder.
  const RunResult withPlatform =
      RunGallery("", "-platform offscreen " + Quote((plainFile / "pictures").string()), scratch);
  EXPECT_EQ(withPlatform.exitCode, 1);
  EXPECT_NE(withPlatform.errors.find((plainFile / "pictures").string()), std::string::npos)
      << withPlatform.errors;

  const RunResult usage = RunGallery("", "", scratch);
  EXPECT_EQ(usage.exitCode, 2);
  EXPECT_NE(usage.errors.find("usage"), std::string::npos) << usage.errors;
  fs::remove_all(scratch);
}
