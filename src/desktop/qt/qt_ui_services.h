#pragma once
// The requesters, message boxes, choices and copy marks of the commands,
// with Qt widgets, modal to the main window.
#include <QStringList>

#include "desktop/window/ui_services.h"

namespace vennik {

class MainWindow;

// "BAS (*.bas)|*.bas;*.txt|All files (*.*)|*.*" as Qt name filters:
// "BAS (*.bas *.txt)" and "All files (*)". The patterns between the bars
// are the ones that count, so they replace any in the description.
QStringList nameFiltersOf(TextView filters);

class QtUiServices : public UiServices {
 public:
  explicit QtUiServices(MainWindow& window) : window_(window) {}

  std::optional<Text> askOpenFileName(const FileRequest& request) override;
  std::optional<Text> askSaveFileName(const FileRequest& request) override;
  using UiServices::askYesNo;
  bool askYesNo(TextView title, TextView text, bool yesFirst) override;
  void showMessage(TextView title, TextView text) override;
  std::optional<size_t> askChoice(TextView title, TextView text, const std::vector<Text>& choices) override;
  std::optional<PortAnswer> askBoardPort(const PortRequest& request) override;
  void markCopyMode(int32_t mode) override;
  void setCopyTooltip(TextView tooltip) override;
  void markKeywordList(int32_t entry) override;

 private:
  MainWindow& window_;
};

}  // namespace vennik
