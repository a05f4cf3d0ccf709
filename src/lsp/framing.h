#pragma once
// Base protocol framing: each message is a header block ("Content-Length: N"
// and optional other fields, each line ended by CR LF, then an empty line)
// followed by N bytes of JSON.
#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace vennik::lsp {

struct Frame {
  enum class Status {
    Message,     // body holds one message's bytes
    Skipped,     // a header block that could not be used; error says why
    EndOfInput,  // the input ended, possibly inside a header or body
  };
  Status status = Status::EndOfInput;
  std::string body;
  std::string error;
};

class FrameReader {
 public:
  // Bodies longer than this are read and thrown away, never held.
  static constexpr size_t kMaxBody = size_t{256} << 20;
  // Of a header line longer than this only its end is held, where the next
  // frame's Content-Length stands when a broken body runs into it.
  static constexpr size_t kMaxHeaderLine = size_t{8} << 10;

  explicit FrameReader(std::istream& in) : in_(in) {}
  Frame next();
  // Whether more input has arrived that can be read without waiting: what
  // the stream holds, and for a file stream what the system has for it.
  bool inputWaiting() const;

 private:
  bool readHeaderLine(std::string& line, bool& cut);

  std::istream& in_;
};

// Writes one message with its header and flushes, so the client sees it now.
void writeFrame(std::ostream& out, std::string_view body);

}  // namespace vennik::lsp
