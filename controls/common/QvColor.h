#pragma once
// Colours are kept as 0x00BBGGRR words in the definition model and in control
// state; they become QColor only where a widget paints.
#include <QColor>
#include <cstdint>

inline QColor QvColorFromRef(std::uint32_t ref) {
  return QColor(static_cast<int>(ref & 0xFFu), static_cast<int>((ref >> 8) & 0xFFu),
                static_cast<int>((ref >> 16) & 0xFFu));
}

inline std::uint32_t QvRefFromColor(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

#include <QPalette>

// Whether a palette shows light text on dark windows (a dark desktop theme).
inline bool QvIsDarkPalette(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() < 128;
}

// The colour a control paints for one of its colour slots. A slot that the
// caller set keeps its colour in every theme; a slot left at the control's
// built-in default takes the palette's role under a dark palette, where the
// light-theme defaults (white faces, black texts) would glare or vanish.
inline QColor QvThemedColor(std::uint32_t ref, bool callerSet, const QPalette& palette,
                            QPalette::ColorRole role) {
  if (!callerSet && QvIsDarkPalette(palette)) return palette.color(role);
  return QvColorFromRef(ref);
}
