#include "desktop/window/shell_state.h"

namespace vennik {

void applySettings(ShellState& shell, const Settings& settings) {
  shell.mainX = settings.mainX;
  shell.mainY = settings.mainY;
  shell.mainW = settings.mainW;
  shell.mainH = settings.mainH;
  shell.fontSize = settings.fontSize;
  shell.sourceFolder = settings.sourceFolder;
  shell.currentFileName = settings.lastFile;
  shell.variableFactor = settings.variableFactor;
  shell.libraryList = u" " + settings.library + u" ";
  shell.copyMode = settings.copyMode;
  shell.keywordList = settings.keywords;
}

Settings settingsOf(const ShellState& shell) {
  Settings settings;
  settings.mainX = shell.mainX;
  settings.mainY = shell.mainY;
  settings.mainW = shell.mainW;
  settings.mainH = shell.mainH;
  settings.fontSize = shell.fontSize;
  settings.sourceFolder = shell.sourceFolder;
  settings.lastFile = shell.currentFileName;
  settings.variableFactor = shell.variableFactor;
  settings.library = Text(trimBlanks(shell.libraryList));
  settings.copyMode = shell.copyMode;
  settings.keywords = shell.keywordList;
  return settings;
}

}  // namespace vennik
