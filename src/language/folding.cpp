#include "language/folding.h"

#include <algorithm>
#include <string>

#include "language/line_words.h"

namespace vennik::language {

namespace {

// What a statement does to the blocks; `block` names the kind of block.
enum class Block : uint8_t { None, Definition, Font, Do, For, While, If, Select };

struct Open {
  Block block;
  int32_t line;
};

// The statements of a line, cut at colons, each as its pieces.
std::vector<std::vector<LinePiece>> statementsOf(std::string_view line, bool remIsComment, bool& commentOnly) {
  std::vector<std::vector<LinePiece>> out(1);
  commentOnly = false;
  bool any = false;
  forEachPiece(line, remIsComment, [&](const LinePiece& p) {
    if (p.kind == LinePiece::Kind::Comment) {
      if (!any) commentOnly = true;
      return;
    }
    any = true;
    if (p.kind == LinePiece::Kind::Mark && line[p.begin] == ':') out.emplace_back();
    else out.back().push_back(p);
  });
  return out;
}

Block definitionWord(std::string_view line, const LinePiece& word) {
  for (std::string_view w : {"sub", "function", "csub", "cfunction"}) {
    if (pieceIs(line, word, w)) return Block::Definition;
  }
  if (pieceIs(line, word, "definefont")) return Block::Font;
  return Block::None;
}

struct Folder {
  std::vector<FoldingRange> ranges;
  std::vector<Open> open;

  void start(Block block, int32_t line) { open.push_back({block, line}); }

  // Closes the nearest open block of that kind; the blocks opened inside it
  // and never closed are dropped with it.
  void close(Block block, int32_t line) {
    for (size_t i = open.size(); i-- > 0;) {
      if (open[i].block != block) continue;
      if (line - 1 > open[i].line) ranges.push_back({open[i].line, line - 1, false});
      open.resize(i);
      return;
    }
  }

  void statement(std::string_view line, const std::vector<LinePiece>& words, int32_t n) {
    if (words.empty()) return;
    const LinePiece& first = words.front();
    const LinePiece* second = words.size() > 1 ? &words[1] : nullptr;
    auto is = [&](const LinePiece* p, std::string_view w) { return p && pieceIs(line, *p, w); };
    if (is(&first, "end") && second) {
      if (const Block b = definitionWord(line, *second); b != Block::None) {
        close(b, n);
        // Nothing stays open past the end of a definition.
        if (b == Block::Definition) open.clear();
      }
      if (is(second, "if")) close(Block::If, n);
      if (is(second, "select")) close(Block::Select, n);
      return;
    }
    if (const Block b = definitionWord(line, first); b != Block::None) {
      open.clear();
      return start(b, n);
    }
    if (is(&first, "do")) return start(Block::Do, n);
    if (is(&first, "loop")) return close(Block::Do, n);
    if (is(&first, "for")) return start(Block::For, n);
    if (is(&first, "while")) return start(Block::While, n);
    if (is(&first, "wend")) return close(Block::While, n);
    if (is(&first, "endif")) return close(Block::If, n);
    if (is(&first, "select") && is(second, "case")) return start(Block::Select, n);
    if (is(&first, "if") && is(&words.back(), "then")) return start(Block::If, n);
    if (is(&first, "next")) {
      // NEXT i, j closes two loops.
      int32_t loops = 1;
      for (const LinePiece& p : words) loops += p.kind == LinePiece::Kind::Mark && line[p.begin] == ',';
      while (loops-- > 0) close(Block::For, n);
    }
  }
};

}  // namespace

std::vector<FoldingRange> foldingRanges(const Program& program, DocumentId document) {
  const bool firmware = program.analysis().reading() == Reading::Firmware;
  Folder folder;
  int32_t commentRun = 0;  // the first line of the comment lines just read, or 0
  const int32_t lines = program.documentLineCount(document);
  for (int32_t n = 1; n <= lines + 1; ++n) {
    bool commentOnly = false;
    std::vector<std::vector<LinePiece>> statements;
    std::string_view line;
    if (n <= lines) {
      line = program.lineText(document, n);
      statements = statementsOf(line, firmware, commentOnly);
    }
    if (commentOnly) {
      if (commentRun == 0) commentRun = n;
      continue;
    }
    if (commentRun != 0 && n - 1 > commentRun) folder.ranges.push_back({commentRun, n - 1, true});
    commentRun = 0;
    for (const auto& words : statements) folder.statement(line, words, n);
  }
  std::stable_sort(folder.ranges.begin(), folder.ranges.end(), [](const FoldingRange& x, const FoldingRange& y) {
    return x.startLine != y.startLine ? x.startLine < y.startLine : x.endLine > y.endLine;
  });
  return std::move(folder.ranges);
}

}  // namespace vennik::language
