// The Keywords menu: which keyword list the analyses read.
#include "desktop/commands/window_commands.h"
#include "system/files/path_ops.h"
#include "system/files/source_file.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/ui_services.h"

namespace vennik {

namespace {

int32_t menuEntryOf(const KeywordsInUse& keywords) {
  return keywords.shipped >= 0 ? keywords.shipped : kOtherKeywordList;
}

// Makes the list the one analyses read, and the one the settings keep.
void useKeywords(CommandContext& ctx, KeywordsInUse&& keywords) {
  ctx.shell.settings.keywords = isBuiltInChoice(keywords.choice) ? Text() : fromUtf8(keywords.choice);
  ctx.keywords = std::move(keywords);
  ctx.ui.markKeywordList(menuEntryOf(ctx.keywords));
}

}  // namespace

void takeStoredKeywordList(CommandContext& ctx) {
  auto chosen = chooseKeywords(toUtf8(ctx.shell.settings.keywords), keywordFolders(ctx.shell.programFolder));
  if (auto* message = std::get_if<std::string>(&chosen)) {
    ctx.ui.showMessage(kMessageTitle, fromUtf8(*message) + u"\nThe built-in Micromite list is used instead.");
    chosen = builtInKeywords();
  }
  useKeywords(ctx, std::get<KeywordsInUse>(std::move(chosen)));
}

void chooseKeywordList(CommandContext& ctx, int32_t entry) {
  std::string choice;
  if (entry == kOtherKeywordList) {
    // A list of the user's is likely kept beside the one in use, else near
    // the sources.
    const Text start =
        ctx.keywords.shipped < 0 ? folderPart(fromUtf8(ctx.keywords.choice)) : ctx.shell.settings.sourceFolder;
    const std::optional<Text> path = ctx.ui.askOpenFileName({kKeywordListTitle, start, kKeywordListFilters});
    if (!path) {
      ctx.ui.markKeywordList(menuEntryOf(ctx.keywords));  // the toolkit checked the entry on its own
      return;
    }
    choice = toFileSystemPath(*path);
  } else {
    choice = std::string(shippedKeywordLists()[static_cast<size_t>(entry)].name);
  }
  auto chosen = chooseKeywords(choice, keywordFolders(ctx.shell.programFolder));
  if (auto* message = std::get_if<std::string>(&chosen)) {
    ctx.ui.markKeywordList(menuEntryOf(ctx.keywords));
    ctx.ui.showMessage(kMessageTitle, fromUtf8(*message) + u"\nThe keyword list in use stays.");
    return;
  }
  useKeywords(ctx, std::get<KeywordsInUse>(std::move(chosen)));
  if (!ctx.analysis) return;  // nothing analysed yet
  ctx.shell.textWindow.clear();
  analyseSource(ctx);
}

}  // namespace vennik
