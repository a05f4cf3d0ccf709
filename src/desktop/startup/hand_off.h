#pragma once
// The receiving side of the single-instance hand-off: a later start sends its
// command text to the running instance, which decodes it at once and does
// the loading and analysis only when its event loop takes the hand-off event.
#include <optional>
#include <string_view>

#include "desktop/commands/window_commands.h"

namespace vennik {

// The text a hand-off payload carries: decoded from UTF-8 up to its first
// zero byte, kept untrimmed. nullopt when it is blank, as from a start
// without parameters, which only brings the window to the front.
std::optional<Text> handOffText(std::string_view utf8Payload);

// The hand-off event, taken in the event loop: a clipboard hand-off
// ("/npp...") takes the clipboard; anything else names a file that, when it
// can be read, becomes the current file and is analysed, with its folder as
// the source folder and its shortened path in the file label. A file that
// cannot be read changes nothing but a message box.
void takeHandOffEvent(CommandContext& ctx, TextView text);

}  // namespace vennik
