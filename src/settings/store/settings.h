#pragma once
// The items kept between runs, with the values a first run starts from.
#include <cstdint>

#include "base/text_util.h"

namespace vennik {

struct Settings {
  // The window in logical units: the outer frame's left and top edges, the
  // client width and the client height with the menu bar.
  int32_t mainX = 200;
  int32_t mainY = 200;
  int32_t mainW = 700;
  int32_t mainH = 287;
  int32_t fontSize = 10;
  Text sourceFolder;  // "Data Folder"
  Text lastFile;      // the current file name
  float variableFactor = 0.5f;
  Text library;  // the Library names, separated by blanks
  int32_t copyMode = 1;
  // The keyword list: a shipped list's name or a file's path; empty for the
  // built-in list, which is not written, so that the file of a user who
  // never chose one stays as it was.
  Text keywords;
  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace vennik
