#include "app/window/WindowPlace.h"

#include <algorithm>

#include "app/settings/AppSettings.h"

namespace {

QSize Bounded(QSize size, const QRect& screen) {
  const int maxWidth = std::max(kMinimumWindowSize.width(), screen.width());
  const int maxHeight = std::max(kMinimumWindowSize.height(), screen.height());
  return QSize(std::clamp(size.width(), kMinimumWindowSize.width(), maxWidth),
               std::clamp(size.height(), kMinimumWindowSize.height(), maxHeight));
}

}  // namespace

bool PlaceIsOnScreens(const QRect& window, const QList<QRect>& screens) {
  if (window.width() <= 0 || window.height() <= 0) return false;
  const QRect strip(window.x(), window.y(), window.width(), std::min(kGrabHeight, window.height()));
  for (const QRect& screen : screens) {
    const QRect seen = strip.intersected(screen);
    if (seen.width() >= std::min(kGrabWidth, window.width()) && seen.height() > 0) return true;
  }
  return false;
}

QRect ChooseWindowPlace(const QRect& stored, const QList<QRect>& screens, const QRect& primary) {
  if (PlaceIsOnScreens(stored, screens)) {
    const auto screen =
        std::find_if(screens.begin(), screens.end(), [&](const QRect& s) { return s.intersects(stored); });
    return QRect(stored.topLeft(), Bounded(stored.size(), *screen));
  }
  AppSettings first;
  SetDefaultWindowPlace(first, primary.width(), primary.height());
  const QSize size = Bounded(QSize(first.winsizex, first.winsizey), primary);
  // Centred on the primary screen, whose origin need not be (0, 0).
  return QRect(primary.x() + (primary.width() - size.width()) / 2,
               primary.y() + (primary.height() - size.height()) / 2, size.width(), size.height());
}
