#pragma once
// The open documents of one session, each analysed within its program, the
// programs of the workspace's folders, and what the session agreed with the
// client. A document's program is the first (by path) of the programs that
// include it, directly or through other files, among the workspace's .bas
// files and the open documents; else its own: the document with the files it
// includes. Files are read from the editor's buffers where they are open and
// from the disk where not. Edits are applied as they come; programs are
// analysed again only when an answer needs them, so that a burst of changes
// costs one analysis.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/includes/assemble_program.h"
#include "analysis/library_names.h"
#include "language/across_programs.h"
#include "language/diagnostics.h"
#include "language/program.h"
#include "lsp/project/file_versions.h"
#include "lsp/project/include_graph.h"
#include "lsp/project/program_files.h"
#include "lsp/project/workspace_folders.h"
#include "settings/keywords/keyword_lists.h"
#include "lsp/semantic_tokens_history.h"
#include "lsp/text_document.h"
#include "system/files/source_tree.h"

namespace vennik::lsp {

// Reads the keyword list an editor chose, by name or path: the list, or a
// message naming the file and the line at fault.
using KeywordChooser = std::function<std::variant<KeywordsInUse, std::string>(const std::string& choice)>;

struct ServerConfig {
  // Variable factor and Library, as for the other subcommands; programs are
  // read as the firmware reads them unless the editor asks otherwise, since
  // the server's answers edit them.
  AnalysisOptions options = [] {
    AnalysisOptions o;
    o.reading = Reading::Firmware;
    return o;
  }();
  KeywordsInUse keywords;   // the list the server starts with
  KeywordChooser chooseKeywords;  // null: the editor cannot choose another
  MillisecondClock clock;
  // Where files that are not open are read from; null is the disk.
  std::shared_ptr<IncludeFiles> files;
  // Where the workspace's folders are listed and files' stamps taken; null
  // is the disk.
  std::shared_ptr<SourceFolders> folders;
  SourceTreeLimits folderLimits;
};

struct OpenDocument {
  std::string uri;
  std::optional<std::string> path;  // of the file the URI names
  int32_t version = 0;
  TextDocument text;
  uint64_t editedAt = 0;  // when it was last opened or changed, counted in edits
  // The program the document is analysed in, as it was last brought up to
  // date; null before that.
  std::shared_ptr<const language::Program> program;
  uint64_t programSerial = 0;
  uint64_t diagnosticsSentFor = 0;  // the program they were sent for
};

class Workspace : public language::ProgramSet {
 public:
  explicit Workspace(ServerConfig config);

  const ServerConfig& config() const { return config_; }
  const KeywordTable& keywords() const { return *keywords_.table; }
  const KeywordsInUse& keywordsInUse() const { return keywords_; }
  // Every program is analysed again with the list.
  void setKeywords(KeywordsInUse keywords);
  Reading reading() const { return config_.options.reading; }
  // Every program is analysed again, read so.
  void setReading(Reading reading);
  // The lists the diagnostics name another firmware from; read when first
  // asked for, and again after the list changes.
  language::BoardContext board();
  language::BoardLimits boardLimits() const { return {.nameLength = keywords_.nameLimit}; }
  const LibraryNames& library() const { return library_; }
  PositionEncoding encoding() const { return encoding_; }
  void setEncoding(PositionEncoding e) { encoding_ = e; }

  // The workspace's folders, as file URIs: each listed at once, within the
  // limits. Gives what to tell the user of the listing.
  std::vector<FolderNote> setFolders(const std::vector<std::string>& uris);
  std::vector<FolderNote> changeFolders(const std::vector<std::string>& added, const std::vector<std::string>& removed);
  // Files the editor saw change on the disk.
  std::vector<FolderNote> filesChanged(const std::vector<FileChange>& changes);
  // Every file read from the disk that has changed there since is read
  // again, and the folders are listed again: after a save, which may have
  // come with changes to files the editor does not show.
  std::vector<FolderNote> refreshFromDisk();
  // The same, quietly: before the first answer after a save, when every
  // file the editor saved is on the disk.
  void recheckDisk();

  void open(const std::string& uri, int32_t version, std::string text);
  // False when the document is not open.
  bool change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes);
  void close(const std::string& uri);

  // The document as it is, or null when it is not open; its program may be
  // out of date.
  const OpenDocument* find(const std::string& uri) const;
  // The document with its program up to date, or null when it is not open.
  const OpenDocument* analysed(const std::string& uri);
  // The documents whose program has changed since their diagnostics were
  // last sent, each now counted as sent; the one edited last first.
  std::vector<const OpenDocument*> diagnosticsDue();
  // Which documents of the program the editor shows, by DocumentId.
  std::vector<bool> shownDocuments(const language::Program& program) const;

  // The programs that hold the document (by its URI), analysed as they are
  // now: those of the workspace that include it, or the program it is the
  // main file of; for features that span every program sharing a file.
  std::vector<std::shared_ptr<const language::Program>> holding(const std::string& uri) override;
  std::shared_ptr<const language::Program> withTexts(const language::Program& program,
                                                     const std::map<std::string, std::string>& texts) override;

  // Every program the server knows, up to date, each once, in the order of
  // their main documents' names. The features that look across programs
  // (call hierarchy, workspace symbols) take them from here alone.
  std::vector<std::shared_ptr<const language::Program>> knownPrograms();
  // The semantic tokens sent, for answers with the change alone.
  SemanticTokensHistory& tokenHistory() { return tokenHistory_; }

 private:
  // Every file read from the disk whose stamp has changed there is to be
  // read again.
  void restamp();
  // A program by its main file: the path, or the URI of a document that is
  // no file.
  struct CachedProgram {
    std::shared_ptr<const language::Program> program;
    uint64_t serial = 0;
    FilesRead read;         // with the versions it was analysed at
    uint64_t settings = 0;  // the keyword list and reading, as settings_ counts them
    uint64_t layout = 0;
    uint64_t lastUsed = 0;
  };

  // The file (a path, or the URI of a document that is no file) has changed.
  void touch(const std::string& key);
  void settingsChanged();
  void bringUpToDate();
  // The main file of the program the document is analysed in.
  std::string homeOf(const OpenDocument& doc);
  bool current(const CachedProgram& cached) const;
  std::shared_ptr<const language::Program> programOf(const std::string& main);
  // Assembles the program and analyses it, calling `beforeAnalysis` between.
  std::shared_ptr<const language::Program> analyse(const std::string& main, ProgramFiles& files,
                                                   const std::map<std::string, std::string>* replaced,
                                                   const std::function<void()>& beforeAnalysis);
  ProgramFiles programFiles();
  const OpenDocument* openAt(const std::string& path) const;
  std::optional<std::string> pathOf(const std::string& uri) const;
  std::string uriOf(const std::string& path) const;
  // Keeps the programs the open documents are analysed in, and a few others.
  void dropUnused();

  ServerConfig config_;
  LibraryNames library_;
  KeywordsInUse keywords_;
  std::optional<FirmwareLists> firmware_;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  std::map<std::string, OpenDocument> documents_;
  std::map<std::string, std::string> openPaths_;  // path -> URI of the open documents that are files
  WorkspaceFolders folders_;
  FileVersions versions_;
  IncludeGraph graph_;
  ProgramFiles::Listings listings_;  // until the disk is looked at again
  std::map<std::string, CachedProgram> programs_;
  bool outOfDate_ = false;
  uint64_t settings_ = 0;
  uint64_t serial_ = 0;
  SemanticTokensHistory tokenHistory_;
  uint64_t edits_ = 0;
  uint64_t uses_ = 0;
};

}  // namespace vennik::lsp
