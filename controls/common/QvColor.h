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
