#include "install/progress_pacer.h"

namespace scrsetup {

ProgressPacer::Work ProgressPacer::After(int percent, uint64_t now) {
  const bool new_value = percent != shown_percent_;
  if (!new_value && now - last_pass_ < kWindowWorkInterval) return Work::kNone;
  shown_percent_ = percent;
  last_pass_ = now;
  return new_value ? Work::kBarAndMessages : Work::kMessages;
}

}  // namespace scrsetup
