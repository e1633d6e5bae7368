#pragma once
// The scenes of the gallery, one function per group of control families. Each
// builds its controls, drives them through their typed functions and through
// simulated mouse and key input, and saves the pictures through the writer.
// File names start with the family ("analog-zones", "grid-histogram", ...).
//
// The constants below fix what a few pictures show, so that checks of the
// pictures can compute where a colour must appear.
//
// Thread contract: GUI thread only.
#include <cstdint>

class GalleryWriter;

namespace gallery {

// analog-rpm: a tachometer drawn at twice its logical size.
inline constexpr int kAnalogPictureSize = 360;
inline constexpr float kRpmMax = 6000.0f;
inline constexpr float kRedZoneLow = 5200.0f;
inline constexpr std::uint32_t kRedZoneColor = 0x0000E0;    // (224, 0, 0)
inline constexpr std::uint32_t kAmberZoneColor = 0x00A0F0;  // (240, 160, 0)
inline constexpr float kAmberZoneLow = 4600.0f;

// progress-recording: a horizontal bar half full.
inline constexpr int kProgressWidth = 320;
inline constexpr int kProgressHeight = 22;
inline constexpr int kProgressMax = 1024;
inline constexpr int kProgressPos = 512;

// status-closedloop: the lamp in its on state.
inline constexpr int kStatusPictureSize = 150;

}  // namespace gallery

void RenderGaugePictures(GalleryWriter& writer);
void RenderChartPictures(GalleryWriter& writer);
void RenderTablePictures(GalleryWriter& writer);
void RenderContainerPictures(GalleryWriter& writer);
