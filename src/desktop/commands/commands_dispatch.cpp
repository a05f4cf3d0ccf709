// Which command each window event runs.
#include "desktop/commands/board_send.h"
#include "desktop/commands/window_commands.h"

namespace vennik {

void handleEvent(CommandContext& ctx, UiEvent event) {
  switch (event) {
    case UiEvent::CloseBox:
    case UiEvent::QuitButton:
    case UiEvent::FileQuit:
      quitCommand(ctx);
      return;
    case UiEvent::LoadButton:
    case UiEvent::FileOpen:
      loadCommand(ctx);
      return;
    case UiEvent::RescanButton:
      rescanCommand(ctx, RescanForm::Button);
      return;
    case UiEvent::FileRescan:
      rescanCommand(ctx, RescanForm::Menu);
      return;
    case UiEvent::CrunchButton:
      crunchCommand(ctx);
      return;
    case UiEvent::LibraryButton:
      libraryCommand(ctx);
      return;
    case UiEvent::SaveButton:
    case UiEvent::FileSave:
      saveReportCommand(ctx);
      return;
    case UiEvent::CopyButton:
      copyCommand(ctx);
      return;
    case UiEvent::CopyOption1:
    case UiEvent::CopyOption2:
    case UiEvent::CopyOption3:
    case UiEvent::CopyOption4:
    case UiEvent::CopyOption5:
    case UiEvent::CopyOption6:
    case UiEvent::CopyOption7:
      selectCopyMode(ctx, *copyModeOfEvent(event));
      return;
    case UiEvent::BoardSend:
      sendToBoardCommand(ctx);
      return;
    case UiEvent::KeywordList1:
    case UiEvent::KeywordList2:
    case UiEvent::KeywordList3:
    case UiEvent::KeywordList4:
    case UiEvent::KeywordList5:
    case UiEvent::KeywordListOther:
      chooseKeywordList(ctx, *keywordListOfEvent(event));
      return;
    case UiEvent::HelpAbout:
      aboutCommand(ctx);
      return;
  }
}

void handleWindowDrop(CommandContext& ctx, const std::vector<Text>& files) { takeDroppedFile(ctx, files); }

void handleTextWindowDrop(CommandContext& ctx, const DroppedItems& drop) {
  if (drop.isText) {
    takeDroppedText(ctx, drop.text);
  } else {
    takeDroppedFile(ctx, drop.files);
  }
}

}  // namespace vennik
