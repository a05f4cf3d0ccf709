#pragma once
// Counts the line ends in what a board echoes. A board answers a CR with
// CR LF, so CR LF, a lone CR and a lone LF each count as one line end, also
// when CR and LF arrive in separate reads.
#include <cstddef>
#include <string_view>

namespace vennik {

class EchoLineCounter {
 public:
  void add(std::string_view bytes) {
    for (char c : bytes) {
      if (c == '\r') {
        ++lines_;
        afterCr_ = true;
      } else {
        if (c == '\n' && !afterCr_) ++lines_;
        afterCr_ = false;
      }
    }
  }
  size_t lines() const { return lines_; }

 private:
  size_t lines_ = 0;
  bool afterCr_ = false;
};

}  // namespace vennik
