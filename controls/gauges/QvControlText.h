#pragma once
// Text helpers shared by the display controls: bounded copies into caller
// buffers, texts stored only when they fit a limit, and the look (text and
// colours) of a text field with a temporary text over it.
//
// Thread contract: plain values, used on the GUI thread by their widget.
#include <cstdint>
#include <optional>
#include <string>

// A colour word that means "none" or "use the system colour".
inline constexpr std::uint32_t kQvColorDefault = 0xFFFFFFFFu;

constexpr std::uint32_t QvRgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// Copies text into buffer (cut to size - 1 characters, always terminated) and
// returns the number of characters copied. A missing buffer or a size below 1
// copies nothing and returns 0.
int QvCopyTextOut(const std::string& text, char* buffer, int size);

// The text to store for a "text with length limit" request: nothing when the
// text is absent, the limit is not positive, or the text is longer than the limit.
std::optional<std::string> QvLimitedText(const char* text, int limit);

// The text cut to at most maxChars characters (an absent text gives "").
std::string QvCutText(const char* text, std::size_t maxChars);

// What a text field shows.
struct QvTextLook {
  std::string text;
  std::uint32_t textColor = 0;
  std::uint32_t backColor = kQvColorDefault;
};

// The current look of a text field and, while a temporary text shows, the
// look that returns when it ends. Setters write through `target()`, so that
// changes made during a temporary text land in the saved look.
class QvTemporaryLook {
 public:
  explicit QvTemporaryLook(QvTextLook initial = {}) : shown_(std::move(initial)) {}

  const QvTextLook& shown() const { return shown_; }
  QvTextLook& target() { return temporary_ ? saved_ : shown_; }
  bool temporaryShowing() const { return temporary_; }

  // Shows a temporary look; returns false (and changes nothing) while one shows.
  bool begin(QvTextLook look);
  // Ends the temporary look and brings back the saved one; false when none shows.
  bool end();

 private:
  QvTextLook shown_;
  QvTextLook saved_;
  bool temporary_ = false;
};
