// The main window's status bar: four parts whose right edges are 130, 260,
// 390 and the window's edge. Part 0 is a rich static showing the connection
// state in its colours; part 1 a text progress showing the rate and the
// error count or the log time, and the progress of definition loads and
// saves.
//
// Thread contract: GUI thread only (the progress interface is called by
// loads and saves, which run on the GUI thread).
#pragma once

#include <cstdint>
#include <string_view>

#include "acquisition/control/StatusLine.h"
#include "definition/IProgress.h"

class QStatusBar;
class QvRichStatic;
class QvTextProgress;

class StatusFields : public IProgress {
 public:
  static constexpr int kPartWidth = 130;

  // Builds the parts in the status bar.
  explicit StatusFields(QStatusBar* bar);

  // Both fields follow the state: the state text and colours, and the
  // figures (left as they are when the state says so).
  void Show(const StatusLineInput& input);
  // A short text over the state field; ignored while one shows.
  void Flash(std::string_view text, std::uint32_t textColor, std::uint32_t backColor, int milliseconds);

  void SetRange(int low, int high) override;
  void Step() override;
  void SetPos(int position) override;

  QvRichStatic* StateField() const { return state_; }
  QvTextProgress* FiguresField() const { return figures_; }

 private:
  QvRichStatic* state_ = nullptr;
  QvTextProgress* figures_ = nullptr;
};
