#include "app/main/RunProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <dirent.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int kTickMs = 10;

}  // namespace

ProcessFigures ReadProcessFigures() {
  ProcessFigures figures;
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  if (statm >> size >> resident) figures.residentKb = resident * (::sysconf(_SC_PAGESIZE) / 1024);
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) {
      if (entry->d_name[0] != '.') ++count;
    }
    ::closedir(dir);
    figures.openFiles = count - 1;  // not the descriptor of this listing
  }
  return figures;
}

double MillisecondsSinceProcessStart() {
  std::ifstream file("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // The command name may hold spaces and brackets: the fields follow the last ')'.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1.0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) startTicks = std::stoull(field);
  }
  const long hz = ::sysconf(_SC_CLK_TCK);
  struct timespec now {};
  if (startTicks == 0 || hz <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
  const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
  return nowMs - static_cast<double>(startTicks) * 1000.0 / static_cast<double>(hz);
}

std::string MillisecondText(double ms) {
  const long long tenths = std::llround(ms * 10.0);
  const long long whole = tenths / 10;
  const long long part = std::llabs(tenths % 10);
  return (tenths < 0 && whole == 0 ? "-" : "") + std::to_string(whole) + "." + std::to_string(part);
}

RunProbe::RunProbe(QWidget* window, std::chrono::steady_clock::time_point mainEntered, int periodSeconds,
                   std::FILE* out)
    : window_(window), mainEntered_(mainEntered), out_(out) {
  QCoreApplication::instance()->installEventFilter(this);
  tick_.setTimerType(Qt::PreciseTimer);
  tick_.setInterval(kTickMs);
  connect(&tick_, &QTimer::timeout, this, &RunProbe::Tick);
  report_.setInterval(std::max(1, periodSeconds) * 1000);
  connect(&report_, &QTimer::timeout, this, [this] { Report("probe"); });
  sinceTick_.start();
  running_.start();
  tick_.start();
  report_.start();
}

RunProbe::~RunProbe() {
  QCoreApplication::instance()->removeEventFilter(this);
  Report("end");
}

bool RunProbe::eventFilter(QObject* watched, QEvent* event) {
  if (!painted_ && event->type() == QEvent::Paint && watched == window_) {
    painted_ = true;
    // The frame is flushed once this paint (and its children's) are done:
    // the next turn of the loop comes after it.
    QTimer::singleShot(0, this, &RunProbe::FirstFramePainted);
  }
  return QObject::eventFilter(watched, event);
}

void RunProbe::FirstFramePainted() {
  const double sinceMain =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - mainEntered_).count();
  const double sinceStart = MillisecondsSinceProcessStart();
  std::fprintf(out_, "varnak: first frame painted %s ms after start (%s ms after main)\n",
               sinceStart >= 0 ? MillisecondText(std::max(sinceStart, sinceMain)).c_str() : "?",
               MillisecondText(sinceMain).c_str());
  std::fflush(out_);
}

void RunProbe::Tick() {
  const double gap = static_cast<double>(sinceTick_.nsecsElapsed()) / 1e6;
  sinceTick_.restart();
  const double stall = std::max(0.0, gap - kTickMs);
  longestStall_ = std::max(longestStall_, stall);
  longestOverall_ = std::max(longestOverall_, stall);
}

void RunProbe::Report(const char* what) {
  const ProcessFigures figures = ReadProcessFigures();
  std::fprintf(out_, "varnak: %s t=%lld s rss=%ld kB fds=%d longest-stall=%s ms (overall %s ms)\n", what,
               static_cast<long long>(running_.elapsed() / 1000), figures.residentKb, figures.openFiles,
               MillisecondText(longestStall_).c_str(), MillisecondText(longestOverall_).c_str());
  std::fflush(out_);
  longestStall_ = 0.0;
}
