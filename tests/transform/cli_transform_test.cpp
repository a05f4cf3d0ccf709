// The crunch and copy subcommands, run as a user would.
#include <gtest/gtest.h>

#include "transform/cli_runner.h"

namespace vennik::testing {
namespace {

const std::string kSource = "' demo\r\nDim total ' sum\r\n\r\nPrint total\r\n";

TEST(CliCrunch, WritesTheProgramWithLfOrCrLfAndTheSavingsOnStandardError) {
  CliRun lf = runCli({"crunch", "-"}, &kSource);
  EXPECT_EQ(lf.exitCode, 0);
  EXPECT_EQ(lf.out, "Dim total\nPrint total\n");
  EXPECT_EQ(lf.err, "File reduced from 40 to 24 bytes,(-40%). Potential further 4 bytes\n");
  CliRun crlf = runCli({"crunch", "--crlf", "-"}, &kSource);
  EXPECT_EQ(crlf.out, "Dim total\r\nPrint total\r\n");
}

TEST(CliCopy, ModesGiveTheClipboardTextInWindows1252) {
  CliRun report = runCli({"report", "--name", "x.bas", "-"}, &kSource);
  CliRun mode1 = runCli({"copy", "--mode", "1", "--name", "x.bas", "-"}, &kSource);
  EXPECT_EQ(mode1.exitCode, 0);
  std::string reportCrLf;  // the report prints LF lines and a final LF; the window is read with CR LF
  for (char c : report.out.substr(0, report.out.size() - 1)) reportCrLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  // Two runs: only the time line may differ.
  auto withoutTime = [](std::string text) {
    size_t p = text.find("Time taken ");
    if (p != std::string::npos) text.erase(p, text.find('\r', p) - p);
    return text;
  };
  EXPECT_EQ(withoutTime(mode1.out), withoutTime(reportCrLf));
  EXPECT_EQ(runCli({"copy", "--mode", "4", "-"}, &kSource).out, "AUTO\r\nDim total\r\nPrint total\r\n\x03");
  const std::string latin = "Print \"caf\xE9\"\r\n";
  EXPECT_EQ(runCli({"copy", "--mode", "5", "-"}, &latin).out, "AUTOSAVE\r\n" + latin + "\x1A");
}

TEST(CliCopy, FailuresTheUserCanCause) {
  for (const char* mode : {"0", "8", "x"}) {
    CliRun r = runCli({"copy", "--mode", mode, "-"}, &kSource);
    EXPECT_EQ(r.exitCode, 2) << mode;
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(runCli({"copy", "-"}, &kSource).exitCode, 2);

  CliRun missing = runCli({"crunch", "/nonexistent/dir/prog.bas"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("/nonexistent/dir/prog.bas"), std::string::npos) << missing.err;

  // UTF-16 from standard input can hold characters the code page cannot.
  const std::string utf16("\xFF\xFEP\0=\0\"\0\x2D\x4E\"\0", 12);
  for (const char* cmd : {"crunch", "copy"}) {
    CliRun r = cmd == std::string("crunch") ? runCli({cmd, "-"}, &utf16) : runCli({cmd, "--mode", "6", "-"}, &utf16);
    EXPECT_EQ(r.exitCode, 1) << cmd;
    EXPECT_TRUE(r.out.empty()) << cmd;
    EXPECT_NE(r.err.find("U+4E2D at character "), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace vennik::testing
