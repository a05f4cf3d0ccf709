#include "lsp/workspace.h"

#include <algorithm>

#include "analysis/includes/include_paths.h"
#include "base/source_encoding.h"
#include "lsp/board_context.h"
#include "lsp/file_uri.h"
#include "system/files/disk_include_files.h"
#include "system/files/source_file.h"

namespace vennik::lsp {

namespace {

// The files of a program: an open document's buffer, else the disk. Only
// absolute paths are looked for: a document that is no file has no folder
// to take a relative one from.
class OpenFirstFiles : public IncludeFiles {
 public:
  OpenFirstFiles(const std::map<std::string, OpenDocument>& open, IncludeFiles& disk) : open_(open), disk_(disk) {}

  FileRead read(const std::string& path) override {
    if (!path.starts_with('/')) return {};
    for (const auto& [uri, doc] : open_) {
      if (doc.path == path) return {FileRead::Status::Read, doc.text.text(), {}};
    }
    FileRead read = disk_.read(path);
    // As the editor shows a file: Windows-1252 unless UTF-16 by its mark.
    if (read.status == FileRead::Status::Read) read.text = sourceBytesToUtf8(std::move(read.text));
    return read;
  }
  std::vector<std::string> namesIn(const std::string& folder) override {
    return folder.starts_with('/') ? disk_.namesIn(folder) : std::vector<std::string>{};
  }

 private:
  const std::map<std::string, OpenDocument>& open_;
  IncludeFiles& disk_;
};

bool reads(const OpenDocument& doc, const std::string& path) {
  return std::find(doc.ownFiles.begin(), doc.ownFiles.end(), path) != doc.ownFiles.end();
}

}  // namespace

Workspace::Workspace(ServerConfig config)
    : config_(std::move(config)), library_(config_.options.libraryList), keywords_(config_.keywords) {
  if (!config_.files) config_.files = std::make_shared<DiskIncludeFiles>();
}

void Workspace::touch(const std::optional<std::string>& path) {
  outOfDate_ = true;
  if (!path) return;
  for (auto& [uri, doc] : documents_) {
    if (reads(doc, *path)) doc.stale = true;
  }
}

void Workspace::setKeywords(KeywordsInUse keywords) {
  keywords_ = std::move(keywords);
  firmware_.reset();
  for (auto& [uri, doc] : documents_) doc.stale = true;
  outOfDate_ = true;
}

language::BoardContext Workspace::board() {
  if (!firmware_) firmware_ = firmwareLists(keywords_, config_.chooseKeywords);
  return boardContext(*firmware_);
}

void Workspace::setReading(Reading reading) {
  if (reading == config_.options.reading) return;
  config_.options.reading = reading;
  for (auto& [uri, doc] : documents_) doc.stale = true;
  outOfDate_ = true;
}

void Workspace::open(const std::string& uri, int32_t version, std::string text) {
  OpenDocument doc;
  doc.uri = uri;
  if (auto path = pathOfFileUri(uri); path && path->starts_with('/')) doc.path = includedPath("", *path);
  doc.version = version;
  doc.text = TextDocument(std::move(text));
  documents_.insert_or_assign(uri, std::move(doc));
  // It may be a file some program missed, or one it read from the disk.
  for (auto& entry : documents_) entry.second.stale = true;
  outOfDate_ = true;
}

bool Workspace::change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return false;
  OpenDocument& doc = it->second;
  for (const ContentChange& c : changes) doc.text.apply(c, encoding_);
  doc.version = version;
  doc.stale = true;
  touch(doc.path);
  return true;
}

void Workspace::close(const std::string& uri) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  const std::optional<std::string> path = it->second.path;
  documents_.erase(it);
  // Programs that read its buffer read the disk now; documents analysed in
  // its program go back to their own.
  touch(path);
}

const OpenDocument* Workspace::find(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

std::string Workspace::uriOf(const std::string& path) const {
  for (const auto& [uri, doc] : documents_) {
    if (doc.path == path) return uri;
  }
  return fileUriOfPath(path);
}

void Workspace::assemble(OpenDocument& doc) {
  OpenFirstFiles files(documents_, *config_.files);
  doc.assembled = assembleProgram(doc.path.value_or(std::string()), doc.text.text(), files, {.maxBytes = kMaxSourceBytes});
  doc.ownFiles.clear();
  for (const ProgramFile& f : doc.assembled->files) doc.ownFiles.push_back(f.path);
  doc.own.reset();
  doc.stale = false;
}

std::shared_ptr<const language::Program> Workspace::ownProgram(OpenDocument& doc) {
  if (doc.own) return doc.own;
  if (!doc.assembled) assemble(doc);
  AssembledProgram assembled = std::move(*doc.assembled);
  doc.assembled.reset();
  std::vector<std::string> names{doc.uri};
  for (size_t i = 1; i < assembled.files.size(); ++i) names.push_back(uriOf(assembled.files[i].path));
  // The analysis cuts lines at LF, CR LF and a lone CR, as the protocol
  // counts them, so it reads the text as the editor shows it.
  Analysis analysis = vennik::analyse(std::string_view(assembled.text), config_.options, *keywords_.table,
                                      config_.clock);
  doc.own = std::make_shared<const language::Program>(std::move(names), std::move(assembled), std::move(analysis));
  doc.ownSerial = ++serial_;
  return doc.own;
}

OpenDocument& Workspace::home(OpenDocument& doc) {
  if (!doc.path) return doc;
  auto includedBy = [&](const OpenDocument& d, const OpenDocument* other) {
    return other != &d && d.path && reads(*other, *d.path);
  };
  OpenDocument* fallback = nullptr;
  for (auto& entry : documents_) {
    OpenDocument& other = entry.second;
    if (!includedBy(doc, &other)) continue;
    // A program that no open document includes in turn is the main one.
    const bool top = std::none_of(documents_.begin(), documents_.end(),
                                  [&](const auto& e) { return includedBy(other, &e.second); });
    if (top) return other;
    if (!fallback) fallback = &other;
  }
  return fallback ? *fallback : doc;
}

void Workspace::bringUpToDate() {
  if (!outOfDate_) return;
  // Every stale document is assembled first, so that each knows the files
  // it reads before any is given a home.
  for (auto& [uri, doc] : documents_) {
    if (doc.stale) assemble(doc);
  }
  // Old analyses go before new ones are made, so that a program is never
  // held twice.
  for (auto& [uri, doc] : documents_) doc.program.reset();
  for (auto& [uri, doc] : documents_) {
    OpenDocument& main = home(doc);
    doc.program = ownProgram(main);
    doc.programSerial = main.ownSerial;
  }
  outOfDate_ = false;
}

const OpenDocument* Workspace::analysed(const std::string& uri) {
  bringUpToDate();
  return find(uri);
}

std::vector<const OpenDocument*> Workspace::diagnosticsDue() {
  bringUpToDate();
  std::vector<const OpenDocument*> due;
  for (auto& [uri, doc] : documents_) {
    if (doc.diagnosticsSentFor == doc.programSerial) continue;
    doc.diagnosticsSentFor = doc.programSerial;
    due.push_back(&doc);
  }
  return due;
}

std::vector<std::shared_ptr<const language::Program>> Workspace::knownPrograms() {
  bringUpToDate();
  // For now the programs of the open documents.
  std::vector<std::shared_ptr<const language::Program>> programs;
  for (const auto& [uri, doc] : documents_) {
    if (doc.program && std::find(programs.begin(), programs.end(), doc.program) == programs.end()) {
      programs.push_back(doc.program);
    }
  }
  std::sort(programs.begin(), programs.end(),
            [](const auto& x, const auto& y) { return x->documentName(0) < y->documentName(0); });
  return programs;
}

}  // namespace vennik::lsp
