#include "tools/vexa/progress_bar.h"

#include <algorithm>

namespace vexa::inspector {

std::string GroupedCount(std::int64_t count) {
  const std::string digits = std::to_string(count < 0 ? -count : count);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return count < 0 ? "-" + grouped : grouped;
}

std::string ProgressText(std::int64_t done, std::int64_t total, double seconds) {
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.1f s", seconds);
  return GroupedCount(done) + " of " + GroupedCount(total) + " rows, " + elapsed;
}

std::string ProgressBarLine(std::int64_t done, std::int64_t total, double seconds, int width) {
  const double fraction = total <= 0 ? 1.0 : std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
  const int filled = static_cast<int>(fraction * width);
  return "[" + std::string(static_cast<std::size_t>(filled), '#') + std::string(static_cast<std::size_t>(width - filled), ' ') +
         "] " + ProgressText(done, total, seconds);
}

void ProgressBar::Show(std::int64_t done, std::int64_t total, double seconds) {
  constexpr int kBarWidth = 30;
  if (!terminal_) {
    std::fprintf(out_, "%s\n", ProgressText(done, total, seconds).c_str());
    std::fflush(out_);
    return;
  }
  std::string line = ProgressBarLine(done, total, seconds, kBarWidth);
  const std::size_t length = line.size();
  if (length < drawnLength_) line += std::string(drawnLength_ - length, ' ');  // over a longer line drawn before
  std::fprintf(out_, "\r%s", line.c_str());
  std::fflush(out_);
  drawnLength_ = length;
}

void ProgressBar::Finish() {
  if (terminal_ && drawnLength_ > 0) std::fputc('\n', out_);
  drawnLength_ = 0;
  std::fflush(out_);
}

}  // namespace vexa::inspector
