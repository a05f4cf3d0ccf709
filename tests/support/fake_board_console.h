#pragma once
// The console of a board that keeps and runs programs, for the fake board's
// Runs behaviour (fake_board.h): bytes typed in, the board's answer out.
//
// At its prompt it echoes what is typed and, at each line end, acts on the
// line: AUTOSAVE or AUTO takes a program typed in until Ctrl-Z or Ctrl-C
// and keeps it in memory; RUN runs the program in memory; RUN "NAME" loads
// the file NAME from the board's folder (where XMODEM RECEIVE put it) as
// the PicoMite's LOAD does, heading it with a title line ('#A:/NAME), and
// runs it; XMODEM RECEIVE "NAME" and XMODEM RECEIVE (into memory) are left
// to the fake board, which hands the terminal to lrzsz's rx.
//
// Running goes down the lines in order: a line holding PRINT "text" prints
// the text; a line holding ERROR "message", or a division by zero ("/0"),
// stops the program with the PicoMite's error report,
//   [N] <the line>
//   Error : <message>
// where N counts the lines of the program in memory as the firmware does:
// from 1, leaving out a first line that begins with '# (a title). Then the
// prompt, "> ", comes back.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace vennik::testing {

class FakeBoardConsole {
 public:
  explicit FakeBoardConsole(std::string folder) : folder_(std::move(folder)) {}

  // The XMODEM RECEIVE line for the fake board to hand to rx, once one has
  // been typed (one into program memory is handed on as a file, which is
  // loaded into memory after); received() once rx has ended.
  const std::optional<std::string>& xmodemLine() const { return xmodem_; }
  void received() {
    if (xmodem_ == memoryLine()) memory_ = cutLines(readFile(folder_ + kMemoryFile));
    xmodem_.reset();
  }

  // The board's answer to one byte typed.
  std::string take(char c) {
    std::string answer;
    const bool lineEnd = c == '\r' || (c == '\n' && !afterCr_);
    const bool lfOfCrLf = c == '\n' && afterCr_;
    afterCr_ = c == '\r';
    if (saving_) {
      if (c == '\x1a' || c == '\x03') {
        memory_ = cutLines(body_);
        body_.clear();
        saving_ = false;
        return "\r\n> ";
      }
      // The LF after the command's CR is no line of the program.
      if (lfOfCrLf && body_.empty()) return {};
      body_ += c;
      if (lineEnd) return "\r\n";
      return lfOfCrLf ? "" : std::string(1, c);
    }
    if (c == '\x03') {
      line_.clear();
      return "\r\n> ";
    }
    if (lfOfCrLf) return {};
    if (!lineEnd) {
      line_ += c;
      return std::string(1, c);
    }
    answer = "\r\n";
    const std::string line = trimmed(line_);
    line_.clear();
    answer += command(line);
    return answer;
  }

 private:
  static constexpr const char* kMemoryFile = "program-memory.bas";
  static std::string memoryLine() { return std::string("XMODEM RECEIVE \"") + kMemoryFile + "\""; }

  std::string command(const std::string& line) {
    const std::string upper = uppered(line);
    if (upper == "AUTOSAVE" || upper == "AUTO") {
      saving_ = true;
      return {};
    }
    if (upper == "RUN") return run(memory_) + "> ";
    if (upper.starts_with("RUN \"") && line.ends_with('"') && line.size() > 6) {
      const std::string name = line.substr(5, line.size() - 6);
      std::vector<std::string> program = cutLines(readFile(folder_ + name));
      program.insert(program.begin(), "'#A:/" + name);
      return run(program) + "> ";
    }
    if (upper == "XMODEM RECEIVE") {
      xmodem_ = memoryLine();
      return {};
    }
    if (upper.starts_with("XMODEM RECEIVE \"")) {
      xmodem_ = line;
      return {};
    }
    return "> ";
  }

  static std::string run(const std::vector<std::string>& program) {
    std::string out;
    const bool title = !program.empty() && program.front().starts_with("'#");
    for (size_t i = 0; i < program.size(); ++i) {
      const std::string code = withoutComment(program[i]);
      const std::string upper = uppered(code);
      const int number = static_cast<int>(i + 1) - (title ? 1 : 0);
      if (std::optional<std::string> message = quotedAfter(code, upper, "ERROR \"")) {
        return out + report(number, program[i], *message);
      }
      if (dividesByZero(code)) return out + report(number, program[i], "Divide by zero");
      if (std::optional<std::string> text = quotedAfter(code, upper, "PRINT \"")) out += *text + "\r\n";
    }
    return out;
  }

  static std::string report(int number, const std::string& line, const std::string& message) {
    return "[" + std::to_string(number) + "] " + trimmed(line) + "\r\nError : " + message + "\r\n";
  }

  // The text in quotes after `head` (found in the upper-cased line).
  static std::optional<std::string> quotedAfter(const std::string& line, const std::string& upper,
                                                const std::string& head) {
    const size_t at = upper.find(head);
    if (at == std::string::npos) return std::nullopt;
    const size_t from = at + head.size();
    const size_t end = line.find('"', from);
    return line.substr(from, end == std::string::npos ? std::string::npos : end - from);
  }

  static bool dividesByZero(const std::string& line) {
    for (size_t at = line.find("/0"); at != std::string::npos; at = line.find("/0", at + 1)) {
      const size_t next = at + 2;
      if (next == line.size() || !(std::isdigit(static_cast<unsigned char>(line[next])) || line[next] == '.'))
        return true;
    }
    return false;
  }

  // The line without a comment: from an apostrophe outside quotes, or a
  // line that is a REM.
  static std::string withoutComment(const std::string& line) {
    const std::string t = trimmed(line);
    if (uppered(t.substr(0, 4)) == "REM " || uppered(t) == "REM") return {};
    bool quoted = false;
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '"') quoted = !quoted;
      if (t[i] == '\'' && !quoted) return t.substr(0, i);
    }
    return t;
  }

  // Lines as the firmware cuts them: CR, LF or CR LF ends one; a last empty
  // line is not kept; XMODEM's Ctrl-Z padding is no text.
  static std::vector<std::string> cutLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool afterCr = false;
    for (char c : text) {
      if (c == '\r' || (c == '\n' && !afterCr)) {
        lines.push_back(line);
        line.clear();
      } else if (c != '\n' && c != '\x1a') {
        line += c;
      }
      afterCr = c == '\r';
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
  }

  static std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
  }

  static std::string uppered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
  }

  std::string folder_;
  std::vector<std::string> memory_;
  std::string line_;
  std::string body_;
  bool saving_ = false;
  bool afterCr_ = false;
  std::optional<std::string> xmodem_;
};

}  // namespace vennik::testing
