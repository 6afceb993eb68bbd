// The pacing of window work while the payload is copied. After each chunk
// the copy asks what is due: the bar is set and repainted for each new
// visible value, and messages are passed for a new value or once
// kWindowWorkInterval has gone by since the last pass. So the window stays
// alive and the bar moves at the rate a person sees, while a fast disk is
// not held up by window work on each of its thousands of chunks.
#pragma once

#include <cstdint>

namespace scrsetup {

// The longest the copy goes without a message pass, in milliseconds.
inline constexpr uint64_t kWindowWorkInterval = 15;

class ProgressPacer {
 public:
  enum class Work {
    kNone,            // nothing: go on copying
    kMessages,        // pass the window's messages
    kBarAndMessages,  // set and repaint the bar to the new value, then pass messages
  };

  // `start` is the millisecond tick count when the copy begins; the bar
  // then shows 0.
  explicit ProgressPacer(uint64_t start) : last_pass_(start) {}

  // The work due after a chunk that brings the bar to `percent` at tick
  // count `now`. The tick count may wrap around.
  [[nodiscard]] Work After(int percent, uint64_t now);

 private:
  int shown_percent_ = 0;
  uint64_t last_pass_;
};

}  // namespace scrsetup
