// Progress through a count of rows: on a terminal a bar redrawn in place,
// `[#####     ] 12,000 of 40,000 rows, 3.2 s`; elsewhere a plain line per
// step, for logs and scripts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vexa::inspector {

// `count` with a comma between thousands: 12,000.
std::string GroupedCount(std::int64_t count);

// "12,000 of 40,000 rows, 3.2 s".
std::string ProgressText(std::int64_t done, std::int64_t total, double seconds);

// The bar of `width` cells, filled in proportion to done of total (full
// when total is 0), and the text: "[#####     ] 12,000 of 40,000 rows, 3.2 s".
std::string ProgressBarLine(std::int64_t done, std::int64_t total, double seconds, int width);

class ProgressBar {
 public:
  ProgressBar(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

  // Shows how far it came: redraws the bar, or prints a line.
  void Show(std::int64_t done, std::int64_t total, double seconds);
  // Ends the bar's line on a terminal.
  void Finish();

 private:
  std::FILE* out_;
  bool terminal_;
  std::size_t drawnLength_ = 0;  // of the bar's line now on the terminal
};

}  // namespace vexa::inspector
