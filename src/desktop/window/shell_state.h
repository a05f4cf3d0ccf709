#pragma once
// The values the whole program shares while it runs. One instance exists at
// run time; it is passed explicitly to whatever reads or changes it.
#include <cstdint>
#include <optional>

#include "analysis/analysis.h"
#include "base/text_util.h"
#include "settings/store/settings.h"
#include "desktop/window/program_source.h"
#include "desktop/window/text_window.h"

namespace vennik {

struct ShellState {
  // What is kept between runs, changed in place while the program runs:
  // the window, the current file ("Last file"), the copy mode, the Library
  // (names separated by blanks, none at either end) and the keyword list.
  // A first run without a settings file starts from the defaults.
  Settings settings;

  Text programFolder;      // folder of the running executable, trailing separator
  Text settingsFolder;     // folder of VennikPlus.inf
  Text documentsFolder;    // the user's Documents folder, trailing separator
  Text reportFolder;       // folder a report was last saved to in this run
  Text boardPort;          // port last sent to in this run
  int32_t boardBaud = 115200;       // its speed
  int32_t boardTimeoutMs = 3000;    // how long a board may be silent before a send gives up
  ProgramSource source;    // the whole current source
  bool textSourceFlag = false;  // source came from the clipboard or a drop
  bool quitFlag = false;
  double scaleFactor = 1.0;
  // How the analysis reads programs; nothing: as the keyword list suggests
  // (literal with the built-in list, firmware with any other).
  std::optional<Reading> reading;
  TextWindow textWindow;
  Text fileLabel;
};

}  // namespace vennik
