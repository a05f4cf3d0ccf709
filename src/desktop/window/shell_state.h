#pragma once
// The values the whole program shares while it runs, and how the settings go
// into and come out of them. One instance exists at run time; it is passed
// explicitly to whatever reads or changes it.
#include <cstdint>
#include <optional>

#include "analysis/analysis.h"
#include "base/text_util.h"
#include "settings/store/settings.h"
#include "desktop/window/text_window.h"

namespace vennik {

struct ShellState;

// The shell keeps the Library with one blank on each side, so that a name
// is found by looking for it between blanks.
void applySettings(ShellState& shell, const Settings& settings);
Settings settingsOf(const ShellState& shell);

struct ShellState {
  // The persisted items start as a first run without a settings file has them.
  ShellState() { applySettings(*this, Settings{}); }

  Text programFolder;      // folder of the running executable, trailing separator
  Text settingsFolder;     // folder of VennikPlus.inf
  Text sourceFolder;       // folder of the last loaded source ("Data Folder")
  Text documentsFolder;    // the user's Documents folder, trailing separator
  Text reportFolder;       // folder a report was last saved to in this run
  Text boardPort;          // port last sent to in this run
  int32_t boardBaud = 115200;       // its speed
  int32_t boardTimeoutMs = 3000;    // how long a board may be silent before a send gives up
  Text currentFileName;    // absolute path, "Clipboard" or "Dropped text" ("Last file")
  Text sourceText;         // the whole current source
  bool textSourceFlag = false;  // source came from the clipboard or a drop
  int32_t copyMode;
  bool quitFlag = false;
  double scaleFactor = 1.0;
  int32_t mainX;
  int32_t mainY;
  int32_t mainW;
  int32_t mainH;
  int32_t fontSize;
  float variableFactor;
  // One blank, then every Library name followed by one blank. Two blanks when
  // the settings hold none, as applySettings adds a blank on each side.
  Text libraryList;
  // The keyword list as chosen ("Keywords"): a shipped list's name or a
  // file's path; empty for the built-in list.
  Text keywordList;
  // How the analysis reads programs; nothing: as the keyword list suggests
  // (literal with the built-in list, firmware with any other).
  std::optional<Reading> reading;
  TextWindow textWindow;
  Text fileLabel;
};

}  // namespace vennik
