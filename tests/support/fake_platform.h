#pragma once
// A platform whose files, folders and clipboard are whatever the test says.
#include <map>
#include <set>
#include <vector>

#include "system/os/platform_services.h"

namespace vennik::testing {

struct FakePlatform : PlatformServices {
  Text clipboard;
  Text program = u"/opt/vp/";
  std::set<Text> files;
  std::set<Text> writableFolders;
  std::map<KnownFolderId, Text> knownFolders;
  Text configFolder = u"/home/u/.config/";
  std::vector<Text> madeFolders;

  Text clipboardText() override { return clipboard; }
  void setClipboardText(TextView text) override { clipboard = Text(text); }
  Text programFolder() override { return program; }
  Text knownFolder(const KnownFolderId& id) override {
    auto it = knownFolders.find(id);
    return it == knownFolders.end() ? Text() : it->second;
  }
  Text userConfigFolder() override { return configFolder; }
  bool fileExists(TextView path) override { return files.count(Text(path)) > 0; }
  bool folderWritable(TextView folder) override { return writableFolders.count(Text(folder)) > 0; }
  bool makeFolders(TextView folder) override {
    madeFolders.emplace_back(folder);
    return true;
  }
};

}  // namespace vennik::testing
