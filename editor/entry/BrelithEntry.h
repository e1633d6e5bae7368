#pragma once
// The editor library's single export, as callers see it.
//
// BrelithEntry opens a modal editor for one ADX definition and returns when
// the user closes it.
//   owner    the window that owns the modal dialog (may be null);
//   path     a 260-byte text buffer, in and out: the file to edit, or an empty
//            text for a new definition; on return it holds the editor's final
//            path (empty when the file did not load and was never saved);
//   debugLog the caller's log, borrowed: the editor keeps it and calls
//            nothing on it;
//   options  bit 0 shows the editor as an application window with its own
//            task-bar button; other bits are ignored.
// Returns 1 when a Save or Save As got a file name during the call, else 0.
//
// Thread contract: call it on the caller's GUI thread (the thread of its
// QApplication). When the process has no QApplication the call makes one for
// its own duration. Nothing allocated crosses the boundary.
#include <cstdint>

class QWidget;
class QvDebugOutput;

extern "C" {
using BrelithEntryFunction = std::int32_t (*)(QWidget* owner, char* path, QvDebugOutput* debugLog,
                                              std::uint32_t options);
}

// The exported name, for dlsym.
constexpr const char* kBrelithEntryName = "BrelithEntry";
// The file name of the library.
constexpr const char* kBrelithLibraryName = "libBrelith.so";
