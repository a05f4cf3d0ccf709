#pragma once
// The receiving side of the single-instance hand-off: a later start sends its
// command text to the running instance, which stores it at once and does the
// loading and analysis only when its event loop takes the hand-off event.
#include <string_view>

#include "shell/commands/window_commands.h"

namespace vennik {

struct ShellState;

// The receiving step: the payload, decoded from UTF-8 up to its first zero
// byte, becomes the current file name; "none received." when it is blank.
void storeHandOffText(ShellState& shell, std::string_view utf8Payload);

// The hand-off event: a clipboard hand-off ("/npp...") takes the clipboard,
// anything else names a file that is loaded and analysed, with its folder
// as the source folder and its shortened path in the file label.
void takeHandOffEvent(CommandContext& ctx);

}  // namespace vennik
