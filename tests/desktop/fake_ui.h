#pragma once
// Requesters and message boxes that answer as the test says and record what
// they were asked.
#include <optional>
#include <vector>

#include "desktop/window/ui_services.h"

namespace vennik::testing {

struct AskedFile {
  Text title;
  Text startFolder;
  Text filters;
  Text suggestedName;
};

struct FakeUi : UiServices {
  std::optional<Text> openAnswer;  // nullopt: the user cancels
  std::optional<Text> saveAnswer;
  bool yesNoAnswer = true;
  std::vector<AskedFile> openAsked, saveAsked;
  std::vector<std::pair<Text, Text>> questions, messages;
  std::vector<int32_t> marks;  // every markCopyMode call
  std::vector<int32_t> keywordMarks;  // every markKeywordList call
  Text tooltip = u"(none)";
  int tooltipChanges = 0;
  std::optional<size_t> choiceAnswer;  // nullopt: cancelled
  std::optional<PortAnswer> portAnswer;
  std::vector<std::vector<Text>> choicesAsked;
  std::vector<PortRequest> portsAsked;

  static AskedFile asked(const FileRequest& r) {
    return {Text(r.title), Text(r.startFolder), Text(r.filters), Text(r.suggestedName)};
  }
  std::optional<Text> askOpenFileName(const FileRequest& r) override {
    openAsked.push_back(asked(r));
    return openAnswer;
  }
  std::optional<Text> askSaveFileName(const FileRequest& r) override {
    saveAsked.push_back(asked(r));
    return saveAnswer;
  }
  using UiServices::askYesNo;
  std::vector<bool> yesFirst;  // of every question
  bool askYesNo(TextView title, TextView text, bool yesFirstHere) override {
    questions.emplace_back(title, text);
    yesFirst.push_back(yesFirstHere);
    return yesNoAnswer;
  }
  void showMessage(TextView title, TextView text) override { messages.emplace_back(title, text); }
  std::optional<size_t> askChoice(TextView, TextView, const std::vector<Text>& choices) override {
    choicesAsked.push_back(choices);
    return choiceAnswer;
  }
  std::optional<PortAnswer> askBoardPort(const PortRequest& r) override {
    portsAsked.push_back(r);
    return portAnswer;
  }
  void markCopyMode(int32_t mode) override { marks.push_back(mode); }
  void markKeywordList(int32_t entry) override { keywordMarks.push_back(entry); }
  void setCopyTooltip(TextView t) override {
    tooltip = Text(t);
    ++tooltipChanges;
  }
};

}  // namespace vennik::testing
