#pragma once
// The events of the main window that lead to a command. Everything else the
// window sees (typing in the text window, clicks on the file label, moving
// the window) leads to none.
#include <cstdint>
#include <optional>

namespace vennik {

enum class UiEvent {
  CloseBox,
  LoadButton,
  RescanButton,
  CrunchButton,
  LibraryButton,
  SaveButton,
  CopyButton,
  QuitButton,
  FileOpen,
  FileSave,
  FileRescan,
  FileQuit,
  CopyOption1,
  CopyOption2,
  CopyOption3,
  CopyOption4,
  CopyOption5,
  CopyOption6,
  CopyOption7,
  KeywordList1,  // the shipped lists in the order of shippedKeywordLists()
  KeywordList2,
  KeywordList3,
  KeywordList4,
  KeywordList5,
  KeywordListOther,
  BoardSend,
  HelpAbout,
};

// The Copy Options entry for a copy mode (1 to 7), and back.
UiEvent copyOptionEvent(int32_t copyMode);
std::optional<int32_t> copyModeOfEvent(UiEvent event);

// The Keywords entry by its place in the menu: the shipped lists from 0,
// then kOtherKeywordList; and back.
inline constexpr int32_t kOtherKeywordList = 5;
UiEvent keywordListEvent(int32_t entry);
std::optional<int32_t> keywordListOfEvent(UiEvent event);

}  // namespace vennik
