#include "analysis/report_text.h"

#include "base/utf8_text.h"

namespace vennik {

namespace {

constexpr size_t kMaxRowLength = 82;  // characters, the leading LF counted
constexpr size_t kWrapFrom = 77;      // 1-based position of the first blank to break at
constexpr size_t kPiece = 1 << 16;

// A row's line list, wrapped as it comes: the text of the row's current
// line is held until it is known where that line breaks, and the rest goes
// out at once, so that the list of a name used on a million lines is never
// held whole (nor twice, as wrapping a finished list would).
//
// The list is ASCII, so its bytes are its characters. It breaks after the
// first blank at or after position 77 of a line that would be longer than
// 82 characters; a line whose rest has no blank to break at is left whole.
class WrappedList {
 public:
  WrappedList(std::string& out, size_t head, int32_t nameWidth)
      : out_(out), prefix_(head), indent_(1 + static_cast<size_t>(nameWidth) + 9), wraps_(nameWidth < 67) {}

  void add(std::string_view text) {
    if (!wraps_) {
      out_.append(text);
      return;
    }
    rest_.append(text);
    breakLines();
  }
  void finish() {
    breakLines();
    if (continuation_) newLine();
    out_.append(rest_);
    rest_.clear();
  }

 private:
  // Writes every line of the rest that is known to end where it breaks: a
  // line goes out once the rest is longer than a line may be and holds a
  // blank to break at (a blank that is still to come breaks it later).
  void breakLines() {
    size_t taken = 0;
    while (prefix_ + rest_.size() - taken > kMaxRowLength) {
      const size_t from = kWrapFrom - 1 >= prefix_ ? kWrapFrom - 1 - prefix_ : 0;
      const size_t blank = rest_.find(' ', taken + from);
      if (blank == std::string::npos) break;  // perhaps in what comes next
      if (continuation_) newLine();
      out_.append(rest_, taken, blank + 1 - taken);
      taken = blank + 1;
      prefix_ = indent_;
      continuation_ = true;
    }
    rest_.erase(0, taken);
  }
  void newLine() {
    out_.push_back('\n');
    out_.append(indent_ - 1, ' ');
  }

  std::string& out_;
  std::string rest_;  // the list from the current line's start on, as far as it has come
  size_t prefix_;     // characters standing before the rest on its line
  size_t indent_;
  bool wraps_;
  bool continuation_ = false;
};

}  // namespace

void appendWrappedList(std::string& out, std::string_view list, size_t head, int32_t nameWidth) {
  WrappedList wrapped(out, head, nameWidth);
  wrapped.add(list);
  wrapped.finish();
}

namespace {

// Appends one finding list: an entry per line, a line break after every
// `perLine`-th.
template <typename Entries, typename Entry>
void appendFindingList(std::string& out, const Entries& entries, size_t perLine, Entry entry) {
  size_t count = 0;
  for (const auto& e : entries) {
    entry(out, e);
    if (++count % perLine == 0) out.push_back('\n');
  }
}

class PieceWriter {
 public:
  explicit PieceWriter(const TextSink& sink) : sink_(sink) { buffer_.reserve(kPiece + 4096); }
  ~PieceWriter() { flush(); }
  std::string& buffer() { return buffer_; }
  void maybeFlush() {
    if (buffer_.size() >= kPiece) flush();
  }
  void flush() {
    if (!buffer_.empty()) sink_(buffer_);
    buffer_.clear();
  }

 private:
  const TextSink& sink_;
  std::string buffer_;
};

}  // namespace

// One row; `scratch` is reused from row to row. `flush` may take what `out`
// holds at any time (the list of a much used name is long).
template <typename Flush>
static void appendRow(std::string& out, const Analysis& a, int32_t index, std::string& scratch, Flush&& flush) {
  const RowView row = a.row(index);
  const size_t keyWidth = static_cast<size_t>(a.nameWidth()) + 2;
  const size_t scopeWidth = static_cast<size_t>(a.scopeWidth());
  out.push_back('\n');
  // The key: the scope part, then "\ " and the name (five blanks for a
  // definition's own row), in a column of the name width plus 2.
  const std::string_view rest = row.definitionRow ? std::string_view("     ") : row.name;
  const size_t restLength = row.definitionRow ? 5 : 2 + row.name.size();
  if (scopeWidth + restLength <= keyWidth && row.scopeName.size() <= scopeWidth && isAscii(row.scopeName) &&
      isAscii(row.name)) {
    out.append(row.scopeName);
    out.append(scopeWidth - row.scopeName.size(), ' ');
    if (!row.definitionRow) out.append("\\ ");
    out.append(rest);
    out.append(keyWidth - scopeWidth - restLength, ' ');
  } else {
    scratch.clear();
    appendPaddedUtf8(scratch, row.scopeName, scopeWidth);
    if (!row.definitionRow) scratch.append("\\ ");
    scratch.append(rest);
    appendPaddedUtf8(out, scratch, keyWidth);
  }
  const std::string_view mark = kindMark(row.kind);
  out.append(mark);
  out.append(7 - mark.size(), ' ');

  // The line list, wrapped as it is written.
  WrappedList list(out, 1 + keyWidth + 7, a.nameWidth());
  bool first = true;
  std::string number;
  a.forEachListedLine(index, [&](int32_t n) {
    number.clear();
    if (!first) number.push_back(' ');
    first = false;
    appendDecimalUtf8(number, n);
    list.add(number);
    flush();
  });
  list.finish();
}

void appendListingRow(std::string& out, const Analysis& a, int32_t index) {
  std::string scratch;
  appendRow(out, a, index, scratch, [] {});
}

void writeReport(const Analysis& a, const TextSink& sink) {
  PieceWriter w(sink);
  std::string& out = w.buffer();
  const DefinitionCounts& c = a.counts();
  out.append(a.fileName());
  out += "\nTime taken ";
  appendDecimalUtf8(out, a.elapsedMs());
  out += "mS\nLines of code: ";
  appendDecimalUtf8(out, a.lineCount());
  out += ", Total variables: ";
  appendDecimalUtf8(out, a.rowCount());
  out += "\n";
  appendDecimalUtf8(out, a.sourceLength());
  out += " bytes\n\nFunctions:   ";
  appendDecimalUtf8(out, c.functions);
  out += "\nCFunctions:  ";
  appendDecimalUtf8(out, c.cfunctions);
  out += "\nCsubs:       ";
  appendDecimalUtf8(out, c.csubs);
  out += "\nSubroutines: ";
  appendDecimalUtf8(out, c.subroutines);
  out += "\nFonts:       ";
  appendDecimalUtf8(out, c.fonts);
  out += "\nTotal:       ";
  appendDecimalUtf8(out, c.total());

  auto lineNumber = [](std::string& o, int32_t n) {
    o.push_back(' ');
    appendDecimalUtf8(o, n);
  };
  if (!a.unpairedBrackets().empty()) {
    out += "\n\nLines with unpaired brackets:\n";
    appendFindingList(out, a.unpairedBrackets(), 16, lineNumber);
  }
  if (!a.unpairedQuotes().empty()) {
    out += "\n\nLines with unpaired quotes:\n";
    appendFindingList(out, a.unpairedQuotes(), 16, lineNumber);
  }
  if (!a.longLines().empty()) {
    out += "\n\nLines longer than 80 characters (problem using internal editor):\n";
    appendFindingList(out, a.longLines(), 9, [](std::string& o, const LongLine& l) {
      appendDecimalUtf8(o, l.line);
      o.push_back('(');
      appendDecimalUtf8(o, l.length);
      o += ") ";
    });
  }
  out += "\n\n";

  // The listing: a header whose "Type" stands above the kind column, then a
  // row (or more, wrapped) per name.
  appendPaddedUtf8(out, "Scope", static_cast<size_t>(a.scopeWidth()));
  const int64_t variableWidth = int64_t{a.nameWidth()} - a.scopeWidth() + 2;
  appendPaddedUtf8(out, "Variable", static_cast<size_t>(variableWidth > 0 ? variableWidth : 0));
  out += "Type   Referred To in line:";
  std::string scratch;
  for (int32_t r : a.listingOrder()) {
    appendRow(out, a, r, scratch, [&w] { w.maybeFlush(); });
    w.maybeFlush();
  }
}

std::string reportText(const Analysis& a) {
  std::string text;
  writeReport(a, [&text](std::string_view piece) { text.append(piece); });
  return text;
}

}  // namespace vennik
