#include "lsp/project/workspace_folders.h"

#include <algorithm>

#include "analysis/includes/include_paths.h"
#include "base/message_value.h"
#include "lsp/file_uri.h"

namespace vennik::lsp {

namespace {

// A few of the paths, each as seen from the folder, and how many more.
std::string some(const std::vector<std::string>& paths, const std::string& folder) {
  constexpr size_t kShown = 5;
  std::string out;
  for (size_t i = 0; i < paths.size() && i < kShown; ++i) {
    std::string shown = paths[i].starts_with(folder + "/") ? paths[i].substr(folder.size() + 1) : paths[i];
    out += (i ? ", " : "") + messageValue(shown);
  }
  if (paths.size() > kShown) out += " and " + std::to_string(paths.size() - kShown) + " more";
  return out;
}

std::string megabytes(uint64_t bytes) {
  return bytes % (uint64_t{1} << 20) == 0 ? std::to_string(bytes >> 20) + " MiB" : std::to_string(bytes) + " bytes";
}

}  // namespace

std::vector<FolderNote> WorkspaceFolders::set(const std::vector<std::string>& uris) {
  paths_.clear();
  return change(uris, {});
}

std::vector<FolderNote> WorkspaceFolders::change(const std::vector<std::string>& added,
                                                 const std::vector<std::string>& removed) {
  std::vector<FolderNote> notes;
  for (const std::string& uri : removed) {
    if (auto path = pathOfFileUri(uri)) {
      std::erase(paths_, *path);
      said_.erase(*path);
    }
  }
  for (const std::string& uri : added) {
    auto path = pathOfFileUri(uri);
    if (!path || !isAbsolutePath(*path)) {
      notes.push_back({true, "workspace folder " + messageValue(uri) + " is no file: URI; its files are not read"});
      continue;
    }
    while (path->size() > 1 && path->ends_with('/')) path->pop_back();
    if (std::find(paths_.begin(), paths_.end(), *path) == paths_.end()) paths_.push_back(*path);
  }
  return notes;
}

std::vector<FolderNote> WorkspaceFolders::list(SourceFolders& disk, const SourceTreeLimits& limits,
                                               std::vector<std::string>& sources) {
  std::vector<FolderNote> notes;
  sources.clear();
  for (const std::string& folder : paths_) {
    SourceTreeLimits left = limits;
    left.maxFiles = limits.maxFiles - std::min(limits.maxFiles, sources.size());
    const SourceTree tree = disk.list(folder, left);
    std::vector<FolderNote> now;
    const std::string name = messageValue(folder);
    if (!tree.error.empty()) {
      now.push_back({true, "cannot list the workspace folder " + name + ": " + tree.error});
    } else {
      now.push_back({false, "workspace folder " + name + ": " + std::to_string(tree.files.size()) +
                                " BASIC sources (.bas, .inc)"});
    }
    if (!tree.passedOver.empty()) {
      now.push_back({false, "not read, as hidden or build folders: " + some(tree.passedOver, folder)});
    }
    if (!tree.tooLarge.empty()) {
      now.push_back({true, "not read, as larger than " + megabytes(limits.maxFileBytes) + ": " +
                               some(tree.tooLarge, folder)});
    }
    if (tree.full) {
      const bool files = sources.size() + tree.files.size() >= limits.maxFiles;
      now.push_back({true, files ? "read no more than " + std::to_string(limits.maxFiles) +
                                       " sources in all: the rest of " + name + " is not read"
                                 : "looked at " + std::to_string(limits.maxEntries) + " names in " + name +
                                       " without reaching its end: the rest of it is not read"});
    }
    sources.insert(sources.end(), tree.files.begin(), tree.files.end());
    std::vector<std::string> texts;
    for (const FolderNote& n : now) texts.push_back(n.text);
    if (said_[folder] != texts) notes.insert(notes.end(), now.begin(), now.end());
    said_[folder] = std::move(texts);
  }
  return notes;
}

}  // namespace vennik::lsp
