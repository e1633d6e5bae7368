#include "editor/dialog/EditorTreeImages.h"

#include <QPainter>
#include <QPixmap>

#include <array>

#include "definition/ADXObject.h"

namespace {

struct ImageLook {
  QRgb fill;
  const char* glyph;
};

// One coloured tile with a short glyph per image number.
constexpr std::array<ImageLook, kTreeImageCount> kLooks{{
    {0xFFFFFFFF, ""},    // unused
    {0xFF607D8B, "H"},   // header
    {0xFF2E7D32, "V"},   // value
    {0xFF6A1B9A, "B"},   // bitmask
    {0xFFEF6C00, "T"},   // lookup table
    {0xFF1565C0, "L"},   // item list view
    {0xFF455A64, "C"},   // commands
    {0xFF00838F, "S"},   // listen for silence
    {0xFF00695C, "Ch"},  // listen for chatter
    {0xFFC62828, ">"},   // send command
    {0xFF4E342E, "M"},   // macro
    {0xFF5D4037, "16"},  // 160-baud listen
    {0xFFAD1457, "Hi"},  // histogram
    {0xFF283593, "D"},   // dashboard
    {0xFF558B2F, "Mo"},  // monitor
    {0xFFF9A825, "!"},   // trigger
}};

QPixmap PaintImage(const ImageLook& look) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(look.fill).darker(140));
  painter.setBrush(QColor(look.fill));
  painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
  QFont font = painter.font();
  font.setPixelSize(std::char_traits<char>::length(look.glyph) > 1 ? 8 : 11);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::fromLatin1(look.glyph));
  return pixmap;
}

}  // namespace

QIcon EditorTreeImage(int number) {
  if (number < 1 || number >= kTreeImageCount) return QIcon();
  return QIcon(PaintImage(kLooks[static_cast<std::size_t>(number)]));
}

int TreeImageForType(std::uint32_t type) {
  switch (type) {
    case ADX_TYPE_VALUE:
      return 2;
    case ADX_TYPE_BITMASK:
      return 3;
    case ADX_TYPE_LOOKUPTABLE:
      return 4;
    case ADX_TYPE_LISTVIEW:
      return 5;
    case ADX_TYPE_LISTENSILENCE:
      return 7;
    case ADX_TYPE_LISTENCHATTER:
      return 8;
    case ADX_TYPE_SENDCOMMAND:
      return 9;
    case ADX_TYPE_MACRO:
      return 10;
    case ADX_TYPE_160BAUDLISTEN:
      return 11;
    case ADX_TYPE_HISTOGRAM:
      return 12;
    case ADX_TYPE_DASHBOARD:
      return 13;
    case ADX_TYPE_MONITOR:
      return 14;
    case ADX_TYPE_TRIGGER:
      return 15;
    default:
      return 0;
  }
}
