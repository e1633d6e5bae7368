// Where the main window opens: the stored place when it lies on a screen that
// exists now, else the first-run place on the primary screen. A window
// stored on a second monitor that has since been unplugged would otherwise
// open out of sight.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The smallest window in which every pane is still usable: the menu, the
// tool-bar bands with the log slider, a few rows of a list, a gauge and a
// chart.
inline constexpr QSize kMinimumWindowSize(560, 400);

// Whether enough of a stored window lies on one of the screens' available
// areas to be seen and grabbed: its title strip (the top kGrabHeight pixels)
// shows at least kGrabWidth pixels on one screen.
inline constexpr int kGrabWidth = 100;
inline constexpr int kGrabHeight = 30;
[[nodiscard]] bool PlaceIsOnScreens(const QRect& window, const QList<QRect>& screens);

// The stored place when it is on a screen, else the first-run place (75% of
// the primary screen's width wide and 55% of its width high, centred on
// it). Either way the size is at least kMinimumWindowSize and at most the
// chosen screen's available size.
[[nodiscard]] QRect ChooseWindowPlace(const QRect& stored, const QList<QRect>& screens, const QRect& primary);
