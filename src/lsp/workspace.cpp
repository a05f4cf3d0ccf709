#include "lsp/workspace.h"

#include <algorithm>

#include "analysis/includes/include_paths.h"
#include "lsp/board_context.h"
#include "lsp/file_uri.h"
#include "system/files/disk_include_files.h"
#include "system/files/source_file.h"

namespace vennik::lsp {

namespace {
// Programs kept beyond those the open documents are analysed in: those a
// request that spans programs analysed last, for the next such request.
constexpr size_t kKeptPrograms = 8;
}  // namespace

Workspace::Workspace(ServerConfig config)
    : config_(std::move(config)), library_(config_.options.libraryList), keywords_(config_.keywords) {
  if (!config_.files) config_.files = std::make_shared<DiskIncludeFiles>();
  if (!config_.folders) config_.folders = std::make_shared<DiskSourceFolders>();
}

void Workspace::touch(const std::string& key) {
  versions_.bump(key);
  graph_.changed(key);
  outOfDate_ = true;
}

void Workspace::settingsChanged() {
  settings_ = ++serial_;
  outOfDate_ = true;
}

void Workspace::setKeywords(KeywordsInUse keywords) {
  keywords_ = std::move(keywords);
  firmware_.reset();
  settingsChanged();
}

language::BoardContext Workspace::board() {
  if (!firmware_) firmware_ = firmwareLists(keywords_, config_.chooseKeywords);
  return boardContext(*firmware_);
}

void Workspace::setReading(Reading reading) {
  if (reading == config_.options.reading) return;
  config_.options.reading = reading;
  settingsChanged();
}

std::vector<FolderNote> Workspace::setFolders(const std::vector<std::string>& uris) {
  std::vector<FolderNote> notes = folders_.set(uris);
  const std::vector<FolderNote> listed = refreshFromDisk();
  notes.insert(notes.end(), listed.begin(), listed.end());
  return notes;
}

std::vector<FolderNote> Workspace::changeFolders(const std::vector<std::string>& added,
                                                 const std::vector<std::string>& removed) {
  std::vector<FolderNote> notes = folders_.change(added, removed);
  const std::vector<FolderNote> listed = refreshFromDisk();
  notes.insert(notes.end(), listed.begin(), listed.end());
  return notes;
}

std::vector<FolderNote> Workspace::filesChanged(const std::vector<FileChange>& changes) {
  for (const FileChange& change : changes) {
    const auto path = pathOf(change.uri);
    // An open document's text wins over the disk.
    if (!path || openPaths_.contains(*path)) continue;
    versions_.forget(*path);
    // Come or gone, it may be what an #INCLUDE line finds now.
    if (change.cameOrWent) {
      versions_.bumpLayout();
      graph_.cameOrWent(*path);
    }
    touch(*path);
  }
  return refreshFromDisk();
}

void Workspace::recheckDisk() {
  restamp();
  // Listed again too: an editor that writes a file by renaming the old one
  // away leaves a moment with no file at all, and a listing made then (on
  // the save of another file) would have lost the program for good. What
  // the listing leaves out was told when it was first made.
  std::vector<std::string> sources;
  folders_.list(*config_.folders, config_.folderLimits, sources);
  graph_.setSources(sources);
  outOfDate_ = true;
}

void Workspace::restamp() {
  listings_.clear();
  for (const FileVersions::Change& change : versions_.changedOnDisk(*config_.folders)) {
    if (change.cameOrWent) {
      graph_.cameOrWent(change.path);
    } else {
      graph_.changed(change.path);
    }
    outOfDate_ = true;
  }
}

std::vector<FolderNote> Workspace::refreshFromDisk() {
  restamp();
  std::vector<std::string> sources;
  std::vector<FolderNote> notes = folders_.list(*config_.folders, config_.folderLimits, sources);
  graph_.setSources(sources);
  outOfDate_ = true;
  return notes;
}

void Workspace::open(const std::string& uri, int32_t version, std::string text) {
  close(uri);
  OpenDocument doc;
  doc.uri = uri;
  if (auto path = pathOfFileUri(uri); path && isAbsolutePath(*path)) doc.path = includedPath("", *path);
  doc.version = version;
  doc.text = TextDocument(std::move(text));
  doc.editedAt = ++edits_;
  const std::string key = doc.path.value_or(uri);
  if (doc.path) {
    openPaths_[*doc.path] = uri;
    graph_.setOpen(*doc.path, true);
    // Its buffer is read from now on, whatever the disk holds.
    versions_.forget(*doc.path);
  }
  documents_.insert_or_assign(uri, std::move(doc));
  touch(key);
}

bool Workspace::change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return false;
  OpenDocument& doc = it->second;
  for (const ContentChange& c : changes) doc.text.apply(c, encoding_);
  doc.version = version;
  doc.editedAt = ++edits_;
  touch(doc.path.value_or(uri));
  return true;
}

void Workspace::close(const std::string& uri) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  const std::optional<std::string> path = it->second.path;
  documents_.erase(it);
  if (path) {
    openPaths_.erase(*path);
    graph_.setOpen(*path, false);
  } else {
    programs_.erase(uri);
  }
  // Programs that read its buffer read the disk now; documents analysed in
  // its program go to another, or back to their own.
  touch(path.value_or(uri));
}

const OpenDocument* Workspace::find(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

const OpenDocument* Workspace::openAt(const std::string& path) const {
  auto it = openPaths_.find(path);
  return it == openPaths_.end() ? nullptr : find(it->second);
}

std::optional<std::string> Workspace::pathOf(const std::string& uri) const {
  if (const OpenDocument* doc = find(uri)) return doc->path;
  auto path = pathOfFileUri(uri);
  if (!path || !isAbsolutePath(*path)) return std::nullopt;
  return includedPath("", *path);
}

std::string Workspace::uriOf(const std::string& path) const {
  if (const OpenDocument* doc = openAt(path)) return doc->uri;
  return fileUriOfPath(path);
}

ProgramFiles Workspace::programFiles() {
  return ProgramFiles(
      [this](const std::string& path) -> const std::string* {
        const OpenDocument* doc = openAt(path);
        return doc ? &doc->text.text() : nullptr;
      },
      *config_.files, *config_.folders, versions_, listings_);
}

std::string Workspace::homeOf(const OpenDocument& doc) {
  if (!doc.path) return doc.uri;
  ProgramFiles files = programFiles();
  const std::vector<std::string> mains = graph_.programsHolding(*doc.path, files);
  return mains.empty() ? *doc.path : mains.front();
}

bool Workspace::current(const CachedProgram& cached) const {
  if (!cached.program || cached.settings != settings_ || cached.layout != versions_.layout()) return false;
  return std::all_of(cached.read.begin(), cached.read.end(),
                     [&](const auto& read) { return versions_.of(read.first) == read.second; });
}

std::shared_ptr<const language::Program> Workspace::analyse(const std::string& main, ProgramFiles& files,
                                                            const std::map<std::string, std::string>* replaced,
                                                            const std::function<void()>& beforeAnalysis) {
  std::string mainPath, text, mainUri;
  if (const OpenDocument* doc = isAbsolutePath(main) ? nullptr : find(main)) {
    // A document that is no file: its buffer, or the text standing in for it.
    auto it = replaced ? replaced->find("") : std::map<std::string, std::string>::const_iterator{};
    text = replaced && it != replaced->end() ? it->second : doc->text.text();
    mainUri = doc->uri;
  } else {
    FileRead read = files.read(main);
    if (read.status == FileRead::Status::Read) text = std::move(read.text);
    mainPath = main;
    mainUri = uriOf(main);
  }
  AssembledProgram assembled = assembleProgram(mainPath, std::move(text), files, {.maxBytes = kMaxSourceBytes});
  std::vector<std::string> names{mainUri};
  for (size_t i = 1; i < assembled.files.size(); ++i) names.push_back(uriOf(assembled.files[i].path));
  if (beforeAnalysis) beforeAnalysis();
  // The analysis cuts lines at LF, CR LF and a lone CR, as the protocol
  // counts them, so it reads the text as the editor shows it.
  Analysis analysis = vennik::analyse(std::string_view(assembled.text), config_.options, *keywords_.table,
                                      config_.clock);
  return std::make_shared<const language::Program>(std::move(names), std::move(assembled), std::move(analysis));
}

std::shared_ptr<const language::Program> Workspace::programOf(const std::string& main) {
  CachedProgram& cached = programs_[main];
  cached.lastUsed = ++uses_;
  if (current(cached)) return cached.program;
  ProgramFiles files = programFiles();
  files.reuse(cached.program.get(), &cached.read);
  // The old analysis goes before the new one is made, so that a program is
  // never held twice; its texts have been copied by then.
  auto program = analyse(main, files, nullptr, [&] { cached.program.reset(); });
  cached.read = files.filesRead();
  if (!isAbsolutePath(main)) cached.read.emplace_back(main, versions_.of(main));
  cached.program = std::move(program);
  cached.serial = ++serial_;
  cached.settings = settings_;
  cached.layout = versions_.layout();
  return cached.program;
}

void Workspace::dropUnused() {
  std::vector<std::pair<uint64_t, std::string>> others;
  for (const auto& [main, cached] : programs_) {
    const auto& program = cached.program;
    const bool home = std::any_of(documents_.begin(), documents_.end(),
                                  [&](const auto& d) { return d.second.program == program; });
    if (!home) others.emplace_back(cached.lastUsed, main);
  }
  if (others.size() <= kKeptPrograms) return;
  std::sort(others.begin(), others.end());
  for (size_t i = 0; i + kKeptPrograms < others.size(); ++i) programs_.erase(others[i].second);
}

void Workspace::bringUpToDate() {
  if (!outOfDate_) return;
  std::map<std::string, std::string> homes;
  for (const auto& [uri, doc] : documents_) homes[uri] = homeOf(doc);
  // Documents let go of their programs first, so that a program analysed
  // again is never held twice.
  for (auto& [uri, doc] : documents_) doc.program.reset();
  for (auto& [uri, doc] : documents_) {
    std::string home = homes[uri];
    std::shared_ptr<const language::Program> program = programOf(home);
    // A program that turns out not to hold it after all (it reads files
    // differently from what their #INCLUDE lines alone said): its own.
    if (!program->findDocument(uri)) {
      home = doc.path.value_or(uri);
      program = programOf(home);
    }
    doc.program = std::move(program);
    doc.programSerial = programs_[home].serial;
  }
  dropUnused();
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
  std::sort(due.begin(), due.end(), [](const OpenDocument* a, const OpenDocument* b) { return a->editedAt > b->editedAt; });
  return due;
}

std::vector<std::shared_ptr<const language::Program>> Workspace::knownPrograms() {
  bringUpToDate();
  // The programs of the open documents and every program of the workspace
  // that holds one of them, so that a shared file's callers and symbols
  // come from all its programs, without analysing programs nobody looks at.
  std::vector<std::string> uris;
  for (const auto& [uri, doc] : documents_) uris.push_back(uri);
  std::vector<std::shared_ptr<const language::Program>> programs;
  auto add = [&](std::shared_ptr<const language::Program> program) {
    if (program && std::find(programs.begin(), programs.end(), program) == programs.end()) {
      programs.push_back(std::move(program));
    }
  };
  for (const std::string& uri : uris) {
    if (const OpenDocument* doc = find(uri)) add(doc->program);
    for (auto& program : holding(uri)) add(std::move(program));
  }
  std::sort(programs.begin(), programs.end(),
            [](const auto& x, const auto& y) { return x->documentName(0) < y->documentName(0); });
  return programs;
}

std::vector<bool> Workspace::shownDocuments(const language::Program& program) const {
  std::vector<bool> shown(static_cast<size_t>(program.documentCount()));
  for (language::DocumentId d = 0; d < program.documentCount(); ++d) {
    shown[static_cast<size_t>(d)] = documents_.contains(program.documentName(d));
  }
  return shown;
}

std::vector<std::shared_ptr<const language::Program>> Workspace::holding(const std::string& uri) {
  bringUpToDate();
  std::vector<std::string> mains;
  if (const auto path = pathOf(uri)) {
    ProgramFiles files = programFiles();
    mains = graph_.programsHolding(*path, files);
    if (mains.empty() && openAt(*path)) mains.push_back(*path);
  } else if (find(uri)) {
    mains.push_back(uri);
  }
  std::vector<std::shared_ptr<const language::Program>> out;
  for (const std::string& main : mains) {
    auto program = programOf(main);
    if (program->findDocument(uri)) out.push_back(std::move(program));
  }
  return out;
}

std::shared_ptr<const language::Program> Workspace::withTexts(const language::Program& program,
                                                              const std::map<std::string, std::string>& texts) {
  ProgramFiles files = programFiles();
  files.replace(&texts);
  const std::string& path = program.documentPath(0);
  return analyse(path.empty() ? program.documentName(0) : path, files, &texts, {});
}

}  // namespace vennik::lsp
