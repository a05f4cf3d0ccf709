#include "desktop/window/ui_events.h"

namespace vennik {

UiEvent copyOptionEvent(int32_t copyMode) {
  return static_cast<UiEvent>(static_cast<int>(UiEvent::CopyOption1) + copyMode - 1);
}

std::optional<int32_t> copyModeOfEvent(UiEvent event) {
  int n = static_cast<int>(event) - static_cast<int>(UiEvent::CopyOption1) + 1;
  if (n < 1 || n > 7) return std::nullopt;
  return n;
}

UiEvent keywordListEvent(int32_t entry) {
  return static_cast<UiEvent>(static_cast<int>(UiEvent::KeywordList1) + entry);
}

std::optional<int32_t> keywordListOfEvent(UiEvent event) {
  const int n = static_cast<int>(event) - static_cast<int>(UiEvent::KeywordList1);
  if (n < 0 || n > kOtherKeywordList) return std::nullopt;
  return n;
}

}  // namespace vennik
