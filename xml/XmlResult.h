// Result codes of the XML layer. Zero is success; every failure is negative
// when read as a signed 32-bit value, so callers can test "result < 0".
#pragma once

#include <cstdint>

// The parse finished without error.
inline constexpr int32_t kXmlOk = 0;
// The file could not be opened (or, once open, could not be read).
inline constexpr int32_t kXmlErrorFile = static_cast<int32_t>(0x861B0001u);
// A syntax or limit error in the document.
inline constexpr int32_t kXmlErrorSyntax = static_cast<int32_t>(0x861B0002u);
// A callback returned a negative result and so stopped the parse (E_ABORT).
inline constexpr int32_t kXmlErrorAbort = static_cast<int32_t>(0x80004004u);
// Parse was called before a callback was set (E_NOINTERFACE).
inline constexpr int32_t kXmlErrorNoCallback = static_cast<int32_t>(0x80004002u);
