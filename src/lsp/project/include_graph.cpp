#include "lsp/project/include_graph.h"

#include <algorithm>

#include "analysis/includes/assemble_program.h"
#include "analysis/includes/include_line.h"
#include "base/line_ends.h"
#include "base/source_encoding.h"

namespace vennik::lsp {

namespace {

bool endsWithBas(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
  return tail == ".bas";
}

}  // namespace

// The files as their #INCLUDE lines alone, read once and kept.
class IncludeGraph::LinesOnly : public IncludeFiles {
 public:
  LinesOnly(IncludeGraph& graph, IncludeFiles& files) : graph_(graph), files_(files) {}
  FileRead read(const std::string& path) override {
    auto it = graph_.lines_.find(path);
    if (it == graph_.lines_.end()) it = graph_.lines_.emplace(path, linesOf(files_.read(path))).first;
    return {it->second.status, it->second.text, {}};
  }
  std::vector<std::string> namesIn(const std::string& folder) override { return files_.namesIn(folder); }

  static IncludeLines linesOf(const FileRead& read) {
    IncludeLines out{read.status, {}};
    // After a byte-order mark, as assembling reads the file.
    forEachLine(read.text, utf8MarkLength(read.text), [&](size_t b, size_t e) {
      const std::string_view line = std::string_view(read.text).substr(b, e - b);
      if (readIncludeLine(line)) {
        out.text += line;
        out.text += '\n';
      }
    });
    return out;
  }

 private:
  IncludeGraph& graph_;
  IncludeFiles& files_;
};

void IncludeGraph::setSources(const std::vector<std::string>& paths) {
  std::set<std::string> sources(paths.begin(), paths.end());
  if (sources == sources_) return;
  sources_ = std::move(sources);
  stale_ = true;
}

void IncludeGraph::setOpen(const std::string& path, bool open) {
  if (open ? open_.insert(path).second : open_.erase(path) > 0) stale_ = true;
}

void IncludeGraph::changed(const std::string& path) {
  if (lines_.contains(path)) unread_.insert(path);
}

void IncludeGraph::cameOrWent(const std::string& path) {
  lines_.erase(path);
  unread_.erase(path);
  stale_ = true;
}

bool IncludeGraph::candidate(const std::string& path) const {
  return open_.contains(path) || (sources_.contains(path) && endsWithBas(path));
}

void IncludeGraph::update(IncludeFiles& files) {
  // A file whose #INCLUDE lines are as they were changes no program.
  for (const std::string& path : unread_) {
    IncludeLines now = LinesOnly::linesOf(files.read(path));
    IncludeLines& was = lines_[path];
    if (now.status != was.status || now.text != was.text) stale_ = true;
    was = std::move(now);
  }
  unread_.clear();
  if (!stale_) return;
  holders_.clear();
  mains_.clear();
  std::set<std::string> candidates = sources_;
  candidates.insert(open_.begin(), open_.end());
  LinesOnly lines(*this, files);
  std::set<std::string> included;
  for (const std::string& path : candidates) {
    if (!candidate(path)) continue;
    const FileRead main = lines.read(path);
    if (main.status != FileRead::Status::Read) continue;
    mains_.insert(path);
    const AssembledProgram program = assembleProgram(path, main.text, lines);
    for (size_t i = 1; i < program.files.size(); ++i) {
      if (program.files[i].path == path) continue;
      holders_[program.files[i].path].push_back(path);
    }
  }
  // A main file that another program includes is no program of its own.
  for (auto it = mains_.begin(); it != mains_.end();) {
    it = holders_.contains(*it) ? mains_.erase(it) : std::next(it);
  }
  for (auto& [path, holders] : holders_) {
    std::erase_if(holders, [&](const std::string& h) { return !mains_.contains(h); });
  }
  stale_ = false;
}

std::vector<std::string> IncludeGraph::programsHolding(const std::string& path, IncludeFiles& files) {
  update(files);
  if (mains_.contains(path)) return {path};
  auto it = holders_.find(path);
  return it == holders_.end() ? std::vector<std::string>{} : it->second;
}

std::vector<std::string> IncludeGraph::programs(IncludeFiles& files) {
  update(files);
  return {mains_.begin(), mains_.end()};
}

}  // namespace vennik::lsp
