#pragma once
// The desktop program from start to end: one instance per user, settings
// read before the window is made, the command text acted on, the event loop,
// and the settings written with the window's measures at exit.
#include "desktop/qt/desktop_controller.h"

namespace vennik {

// `observer`, when given, is told each change the window shows.
int runDesktopProgram(int argc, char** argv, const ShownStateObserver& observer = {});

}  // namespace vennik
