#pragma once
// The desktop program from start to end: one instance per user, settings
// read before the window is made, the command text acted on, the event loop,
// and the settings written with the window's measures at exit.
namespace vennik {

int runDesktopProgram(int argc, char** argv);

}  // namespace vennik
