#pragma once
// A hook for tests that drive the real program: when the environment
// variable VENNIKPLUS_TEXT_WINDOW_LOG names a file, the file label and the
// text window are written there (UTF-8, the label on the first line) each
// time either changes. Without the variable nothing is written.
namespace vennik {

struct ShellState;

void logTextWindow(const ShellState& shell);

}  // namespace vennik
