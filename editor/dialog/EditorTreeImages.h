#pragma once
// The small pictures of the editor's tree, one per image number (1 header,
// 2 value, 3 bitmask, 4 lookup table, 5 item list view, 6 commands, 7 listen
// for silence, 8 listen for chatter, 9 send command, 10 macro, 11 160-baud
// listen, 12 histogram, 13 dashboard, 14 monitor, 15 trigger), and which
// image an object type shows.
//
// Thread contract: GUI thread only (pixmaps).
#include <QIcon>

#include <cstdint>

constexpr int kTreeImageCount = 16;  // numbers 1 to 15 are used

// The picture for the image number; a null icon for a number out of range.
QIcon EditorTreeImage(int number);
// The image number of a child of the type code; 0 for an unknown type.
int TreeImageForType(std::uint32_t type);
