#pragma once
// The start-up parameters: the program's parameters joined into one command
// text, and what start-up does with each of its three forms.
#include <optional>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "base/text_util.h"

namespace vennik {

struct ShellState;
class PlatformServices;

// The parameters in order with "," between neighbours; empty for none.
Text joinParameters(const std::vector<Text>& parameters);

enum class CommandTextForm {
  ClipboardHandOff,  // first four characters "/npp" (case matters)
  Empty,             // no parameters
  SourcePath,        // anything else: the whole text is one path
};
CommandTextForm classifyCommandText(TextView commandText);

// Whether a clipboard hand-off asks for the analysis at once: its third field
// at "," is exactly "/VariableReport".
bool requestsVariableReport(TextView commandText);

// The clipboard hand-off, at start or when a running instance receives one:
// sets the text-source flag, names the source "Clipboard", takes the
// clipboard text as the source and analyses it only when asked to.
void runClipboardHandOff(ShellState& shell, std::optional<Analysis>& analysis, const KeywordTable& keywords,
                         PlatformServices& platform, const MillisecondClock& clock, TextView commandText);

// What start-up does with its command text, after the settings were read
// (so the current file name already holds the "Last file" value):
// - a clipboard hand-off as above, the file label left empty;
// - empty: nothing is read or analysed;
// - a path: the path becomes the current file name and the first line of the
//   cleared text window, the file is loaded and analysed; the source folder
//   and the file label stay unchanged.
void actOnCommandText(ShellState& shell, std::optional<Analysis>& analysis, const KeywordTable& keywords,
                      PlatformServices& platform, const MillisecondClock& clock, TextView commandText);

}  // namespace vennik
