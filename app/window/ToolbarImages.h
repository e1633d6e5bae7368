// The tool-bar image strip: 45 images of 16 x 16 pixels side by side, drawn
// on magenta (red 255, green 0, blue 255), which is transparent. Every tool
// bar of the window takes its icons from this one strip by image index.
//
// Thread contract: GUI thread only (pixmaps).
#pragma once

#include <QIcon>
#include <QImage>

inline constexpr int kToolbarImageCount = 45;
inline constexpr int kToolbarImageSize = 16;

// The strip as drawn, magenta background included.
QImage ToolbarImageStrip();
// One image of the strip, drawn as vectors on a transparent ground at
// whatever size and device pixel ratio it is shown, with light inks under a
// dark palette; an index outside the strip gives an empty icon.
QIcon ToolbarIcon(int index);
