#pragma once
// The commands of the main window, each a plain function over the shell and
// analysis state. The window turns its events into calls of handleEvent and
// the two drop handlers; requesters, message boxes and the copy marks are
// reached through UiServices, the clipboard through PlatformServices.
#include <optional>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "base/text_util.h"
#include "settings/keywords/keyword_lists.h"
#include "desktop/window/program_source.h"
#include "desktop/window/ui_events.h"
#include "desktop/window/window_analysis.h"

namespace vennik {

struct BoardSendRequest;
struct ShellState;
class PlatformServices;
class UiServices;

struct CommandContext {
  ShellState& shell;
  std::optional<Analysis>& analysis;  // the last analysis, none before the first
  KeywordsInUse& keywords;            // the list analyses read; the Keywords menu changes it
  MillisecondClock clock;
  PlatformServices& platform;
  UiServices& ui;
  TextView buildDate;  // yyyy/mm/dd, fixed when the program was built
  // Where an analysis of a large source is left for the caller to run in the
  // background (see analyseSource); null: every analysis runs at once.
  std::optional<AnalysisRequest>* backgroundAnalysis = nullptr;
  // The same for a send to a board (see board_send.h); null: it runs at once.
  std::optional<BoardSendRequest>* backgroundSend = nullptr;
};

inline constexpr TextView kOpenTitle = u"Source Code";
inline constexpr TextView kOpenFilters = u"BAS (*.bas)|*.bas;*.txt|All files (*.*)|*.*";
inline constexpr TextView kSaveTitle = u"Report";
inline constexpr TextView kSaveFilters = u"Text (*.txt)|*.txt;*.csv|All files (*.*)|*.*";
inline constexpr TextView kKeywordListTitle = u"Keyword List";
inline constexpr TextView kKeywordListFilters = u"Keyword lists (*.txt)|*.txt|All files (*.*)|*.*";
inline constexpr TextView kAboutTitle = u"Vennik Plus";
inline constexpr int kBuildNumber = 25;
inline constexpr TextView kHomePage = u"https://github.com/vennikplus/vennikplus";
inline constexpr TextView kMessageTitle = u"Vennik Plus";
inline constexpr TextView kClipboardName = u"Clipboard";
// The name a text dropped on the text window goes by.
inline constexpr TextView kDroppedTextName = u"Dropped text";
inline constexpr int kFileLabelLimit = 85;
// Copy and Send to board in a crunched copy mode while the text window holds
// a report: they take the crunched program, which is not there yet.
inline constexpr TextView kCrunchFirst = u"Crunch the program first";
// A source this long (about 30,000 lines) takes a noticeable time to analyse;
// shorter ones are analysed at once. In bytes of UTF-8, which for a BASIC
// program are its characters but for a few.
inline constexpr size_t kBackgroundAnalysisChars = size_t{1} << 20;

// --- Reading and analysing a source -------------------------------------
// A file that cannot be read changes nothing: a message box names it and
// the reason, and the report shown stays. Every file read becomes the
// current file, shown (shortened) in the file label.

// The text of a source file, or nullopt after the message box.
std::optional<ProgramSource> readSourceOrSay(CommandContext& ctx, TextView path);
// What every file read leaves: the file is the current file, shown in the
// file label, and its text the source.
void takeSourceFile(ShellState& shell, TextView path, ProgramSource&& text);

// Analyses the source text into the text window; a large one is left in
// ctx.backgroundAnalysis when the caller offers to run it there. Either way
// the previous analysis is gone.
void analyseSource(CommandContext& ctx);

// Asks for a file; a chosen one becomes the current file and is analysed
// below its path and an empty line. A cancelled requester changes nothing.
void loadCommand(CommandContext& ctx);

enum class RescanForm { Button, Menu };
// Analyses the current source again: the file is read anew unless the
// source came from the clipboard or a drop. The button always shows the
// current file name in the file label, the menu entry only when it reads.
void rescanCommand(CommandContext& ctx, RescanForm form);

// Only the first file counts; it is analysed below its path.
void takeDroppedFile(CommandContext& ctx, const std::vector<Text>& paths);
// The dropped text becomes the source, named "Dropped text" in the report and
// the file label; the source folder stays.
void takeDroppedText(CommandContext& ctx, TextView text);

// --- Working on the analysed source --------------------------------------

void crunchCommand(CommandContext& ctx);
void libraryCommand(CommandContext& ctx);
// Puts the text of the current copy mode on the clipboard.
// In a crunched mode (2 to 4) while the text window holds a report, it puts
// nothing there and says kCrunchFirst (crunchFirstText) instead.
void copyCommand(CommandContext& ctx);
Text crunchFirstText(int32_t mode);
// Makes the mode current, copies at once, and moves the tooltip and the
// check mark to it.
void selectCopyMode(CommandContext& ctx, int32_t mode);
// The marks as the window is made: the creation tooltip, then the mark and
// tooltip of the stored mode (none and unchanged for a mode outside 1 to 7).
void showInitialCopyMode(UiServices& ui, int32_t mode);

// Asks for a file name and writes the text window there (see report_file.h);
// says why in a message box when it cannot. The requester starts in the
// folder last saved to in this run, else the current file's folder, else
// Documents, and offers the current file's name with ".txt".
void saveReportCommand(CommandContext& ctx);
Text reportStartFolder(const ShellState& shell);
Text offeredReportName(TextView currentFileName);
void aboutCommand(CommandContext& ctx);
Text aboutText(TextView buildDate);
void quitCommand(CommandContext& ctx);

// --- The keyword list -------------------------------------------------------

// At start-up: reads the list the settings name and marks its Keywords
// entry. One that cannot be read is named in a message box, and the
// built-in list is used (and kept in the settings from then on).
void takeStoredKeywordList(CommandContext& ctx);
// A Keywords entry (see keywordListEvent): reads that list, "Other list"
// after asking for a file, makes it the list analyses read and analyses the
// source again at once. A list that cannot be read is named in a message
// box, and the list in use stays.
void chooseKeywordList(CommandContext& ctx, int32_t entry);

// --- Dispatch ---------------------------------------------------------------

void handleEvent(CommandContext& ctx, UiEvent event);

// Files dropped on the window as a whole.
void handleWindowDrop(CommandContext& ctx, const std::vector<Text>& files);

// What was dropped on the text window: a text, or a list of files.
struct DroppedItems {
  bool isText = false;
  Text text;
  std::vector<Text> files;
};
void handleTextWindowDrop(CommandContext& ctx, const DroppedItems& drop);

}  // namespace vennik
