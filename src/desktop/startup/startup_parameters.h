#pragma once
// The start-up parameters: the program's parameters joined into one command
// text, and what start-up does with each of its three forms.
#include <optional>
#include <vector>

#include "base/text_util.h"
#include "desktop/commands/window_commands.h"

namespace vennik {

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

// The command text as the running instance must see it: a relative source
// path joined to `workingFolder` (which ends in a separator), so that it
// names the same file from any folder; the other forms unchanged.
Text absoluteCommandText(TextView commandText, TextView workingFolder);

// The clipboard hand-off, at start or when a running instance receives one:
// sets the text-source flag, names the source "Clipboard" (in the file label
// too), takes the clipboard text as the source and analyses it only when
// asked to.
void runClipboardHandOff(CommandContext& ctx, TextView commandText);

// What start-up does with its command text, after the settings were read
// (so the current file name already holds the "Last file" value):
// - a clipboard hand-off as above;
// - empty: nothing is read or analysed;
// - a path, made absolute from `workingFolder`: when the file can be read it
//   becomes the current file, shown in the file label and as the first line
//   of the cleared text window, and is analysed; the source folder stays.
//   When it cannot, a message box says why and nothing changes.
void actOnCommandText(CommandContext& ctx, TextView commandText, TextView workingFolder);

}  // namespace vennik
