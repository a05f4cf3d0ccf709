#include "lsp/framing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "base/message_value.h"

namespace vennik::lsp {

namespace {

constexpr std::string_view kLengthField = "content-length:";

std::string lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// The value of a Content-Length field in `line`, if the line holds one. The
// field is looked for anywhere in the line, so that after a broken message
// the reader finds the next header even when it follows the junk directly.
std::optional<std::string_view> lengthValue(std::string_view line) {
  const size_t at = lowered(line).find(kLengthField);
  if (at == std::string::npos) return std::nullopt;
  std::string_view value = line.substr(at + kLengthField.size());
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  return value;
}

}  // namespace

bool FrameReader::inputWaiting() const { return in_.rdbuf()->in_avail() > 0; }

// One header line without its LF; false when the input ends before it.
bool FrameReader::readHeaderLine(std::string& line, bool& cut) {
  using Traits = std::istream::traits_type;
  std::streambuf& in = *in_.rdbuf();
  line.clear();
  bool any = false;
  for (int c = in.sbumpc(); c != Traits::eof(); c = in.sbumpc()) {
    any = true;
    if (c == '\n') return true;
    line.push_back(Traits::to_char_type(c));
    if (line.size() > kMaxHeaderLine) {
      line.erase(0, line.size() - kMaxHeaderLine / 2);
      cut = true;
    }
  }
  in_.setstate(std::ios::eofbit);
  return any;
}

Frame FrameReader::next() {
  bool haveLength = false;
  size_t length = 0;
  std::string problem;
  bool sawHeader = false;
  bool cut = false;
  std::string line;
  while (true) {
    if (!readHeaderLine(line, cut)) {
      Frame f;
      if (sawHeader) f.error = "input ended inside a message header";
      return f;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      if (!sawHeader) continue;  // stray blank lines between messages
      break;
    }
    sawHeader = true;
    if (auto value = lengthValue(line)) {
      size_t n = 0;
      auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), n);
      if (ec != std::errc() || end != value->data() + value->size()) {
        problem = "bad Content-Length '" + messageValue(*value) + "'";
        haveLength = false;
      } else {
        haveLength = true;
        length = n;
        problem.clear();
      }
    }
  }
  if (!haveLength) {
    if (problem.empty()) {
      problem = cut ? "message header with a line longer than " + std::to_string(kMaxHeaderLine) + " bytes"
                    : "message header without Content-Length";
    }
    return {Frame::Status::Skipped, {}, problem};
  }
  if (length > kMaxBody) {
    in_.ignore(static_cast<std::streamsize>(length));
    if (in_.eof()) return {Frame::Status::EndOfInput, {}, "input ended inside a message body"};
    return {Frame::Status::Skipped, {}, "message of " + std::to_string(length) + " bytes is too large"};
  }
  // In pieces, so a length that promises more than comes costs no more
  // memory than what arrived.
  Frame f{Frame::Status::Message, {}, {}};
  constexpr size_t kPiece = size_t{1} << 20;
  while (f.body.size() < length) {
    const size_t had = f.body.size();
    const size_t want = std::min(kPiece, length - had);
    f.body.resize(had + want);
    in_.read(f.body.data() + had, static_cast<std::streamsize>(want));
    if (static_cast<size_t>(in_.gcount()) != want) {
      return {Frame::Status::EndOfInput, {}, "input ended inside a message body"};
    }
  }
  return f;
}

void writeFrame(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n";
  out.write(body.data(), static_cast<std::streamsize>(body.size()));
  out.flush();
}

}  // namespace vennik::lsp
