#pragma once
// The values the whole program shares while it runs. One instance exists at
// run time; it is passed explicitly to whatever reads or changes it.
#include <cstdint>

#include "base/text_util.h"
#include "shell/text_window.h"

namespace vennik {

struct ShellState {
  Text programFolder;      // folder of the running executable, trailing separator
  Text settingsFolder;     // folder of VennikPlus.inf
  Text sourceFolder;       // folder of the last loaded source ("Data Folder")
  Text currentFileName;    // path, "Clipboard" or "none received." ("Last file")
  Text sourceText;         // the whole current source
  bool textSourceFlag = false;  // source came from the clipboard or a drop
  int32_t copyMode = 1;
  bool quitFlag = false;
  double scaleFactor = 1.0;
  int32_t mainX = 200;
  int32_t mainY = 200;
  int32_t mainW = 700;
  int32_t mainH = 287;
  int32_t fontSize = 10;
  float variableFactor = 0.5f;
  // One blank, then every Library name followed by one blank. Two blanks when
  // nothing was stored, as the settings reader gives a blank on each side.
  Text libraryList = u"  ";
  TextWindow textWindow;
  Text fileLabel;
};

}  // namespace vennik
