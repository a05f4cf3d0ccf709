// Message framing over a byte stream, including streams that break off or
// carry junk.
#include <gtest/gtest.h>

#include <sstream>

#include "lsp/framing.h"

namespace vennik::lsp {
namespace {

using Status = Frame::Status;

TEST(Framing, ReadsMessagesBackToBackWhateverTheHeaderFieldsAndLineEnds) {
  std::istringstream in(
      "Content-Length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}"
      "content-length:5\n\n[1,2]");
  FrameReader reader(in);
  Frame a = reader.next();
  EXPECT_EQ(a.status, Status::Message);
  EXPECT_EQ(a.body, "{}");
  Frame b = reader.next();
  EXPECT_EQ(b.status, Status::Message);
  EXPECT_EQ(b.body, "[1,2]");
  EXPECT_EQ(reader.next().status, Status::EndOfInput);

  std::ostringstream out;
  writeFrame(out, "{\"a\":1}");
  EXPECT_EQ(out.str(), "Content-Length: 7\r\n\r\n{\"a\":1}");
}

TEST(Framing, InputThatEndsInsideAHeaderOrABodyEndsTheStream) {
  for (const char* text : {"Content-Len", "Content-Length: 10\r\n", "Content-Length: 10\r\n\r\n{\"a\":"}) {
    std::istringstream in(text);
    Frame f = FrameReader(in).next();
    EXPECT_EQ(f.status, Status::EndOfInput) << text;
    EXPECT_FALSE(f.error.empty()) << text;
  }
  // A length far beyond the data costs no memory for what never came.
  std::istringstream huge("Content-Length: 99999999999\r\n\r\n{}");
  EXPECT_EQ(FrameReader(huge).next().status, Status::EndOfInput);
}

TEST(Framing, AHeaderWithoutAUsableLengthIsSkippedAndTheNextMessageFound) {
  std::istringstream in(
      "Content-Type: x\r\n\r\n"
      "Content-Length: -3\r\n\r\n"
      "{\"junk\":true}Content-Length: 2\r\n\r\n{}");
  FrameReader reader(in);
  Frame a = reader.next();
  EXPECT_EQ(a.status, Status::Skipped);
  EXPECT_NE(a.error.find("without Content-Length"), std::string::npos);
  Frame b = reader.next();
  EXPECT_EQ(b.status, Status::Skipped);
  EXPECT_NE(b.error.find("-3"), std::string::npos);
  // The junk body runs into the next header; the reader finds it there.
  Frame c = reader.next();
  EXPECT_EQ(c.status, Status::Message);
  EXPECT_EQ(c.body, "{}");
}

// A header line without an end is held to its last bytes however long it
// grows; the next frame is found after it, even when glued to its end.
TEST(Framing, AHeaderLineLongerThanTheCapIsCutAndTheNextFrameFound) {
  const std::string junk(FrameReader::kMaxHeaderLine * 64, 'x');
  std::istringstream in(junk + "\r\n\r\nContent-Length: 2\r\n\r\n{}" + junk + "Content-Length: 2\r\n\r\n[]");
  FrameReader reader(in);
  Frame a = reader.next();
  EXPECT_EQ(a.status, Status::Skipped);
  EXPECT_NE(a.error.find("longer than"), std::string::npos) << a.error;
  Frame b = reader.next();
  EXPECT_EQ(b.status, Status::Message);
  EXPECT_EQ(b.body, "{}");
  Frame c = reader.next();
  EXPECT_EQ(c.status, Status::Message);
  EXPECT_EQ(c.body, "[]");
  EXPECT_EQ(reader.next().status, Status::EndOfInput);
}

}  // namespace
}  // namespace vennik::lsp
