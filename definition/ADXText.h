#pragma once
// Bounded text copies shared by the definition objects and the container.
// Texts are 8-bit bytes held in std::string; an empty string means "none".
//
// Thread contract: pure functions, callable from any thread.
#include <cstddef>
#include <string>

// Replaces field with exactly length characters of text. A null text or a
// length of 0 leaves the field empty; so does running out of memory.
void AssignText(std::string& field, const char* text, std::size_t length);

// Copies text into buffer, cut to size - 1 characters and NUL-terminated.
// Returns the number of characters copied. A null buffer or a size of 0
// copies nothing and returns 0.
std::size_t CopyTextOut(const std::string& text, char* buffer, std::size_t size);
