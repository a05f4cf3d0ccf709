#include "cli/cli_keywords.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#include "analysis/keyword_table.h"
#include "base/message_value.h"
#include "board/keywords/board_tables.h"
#include "cli/cli_board_options.h"
#include "cli/cli_common.h"
#include "settings/keywords/keyword_lists.h"
#include "system/files/received_file.h"
#include "system/os/native_platform.h"

namespace vennik::cli {

namespace {

struct KeywordsOptions {
  PortOptions port;
  std::optional<std::string> out;
};

// The shipped list whose groups 2 and 3 the board's list takes: its
// firmware's, or the built-in one for a device this program does not know.
struct GroupsSource {
  const ShippedKeywordList* list = nullptr;
  bool known = true;
};

GroupsSource groupsSourceFor(const std::string& device) {
  std::string_view name = shippedListFor(device);
  GroupsSource source;
  if (name.empty()) {
    source.known = false;
    name = kBuiltInKeywordList;
  }
  for (const ShippedKeywordList& list : shippedKeywordLists()) {
    if (list.name == name) source.list = &list;
  }
  return source;
}

// Lines 5 and 7 of a list: its groups 2 and 3.
std::pair<std::string, std::string> groupsTwoAndThree(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size() && lines.size() < 7; ++i) {
    if (i < text.size() && text[i] != '\n') continue;
    std::string_view line = text.substr(start, i - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    start = i + 1;
  }
  lines.resize(7);
  return {lines[4], lines[6]};
}

std::string toText(TextView t) { return toUtf8(t); }

}  // namespace

void addKeywordsCommand(CLI::App& app) {
  auto opts = std::make_shared<KeywordsOptions>();
  CLI::App* cmd = app.add_subcommand(
      "keywords",
      "Make a keyword list of the firmware on a board, from its LIST COMMANDS, LIST FUNCTIONS and version, for "
      "--keywords FILE");
  addPortOptions(*cmd, opts->port, "; write OUT when it is read-only, a FIFO or a device");
  cmd->add_option("--out", opts->out, "Where to write the list (default: standard output)");

  cmd->callback([opts] {
    ReceivedWrite how = ReceivedWrite::Replace;
    if (opts->out) {
      std::string problem;
      if (opts->out->empty()) throw CliError{"--out is empty: name the file to write", 2};
      if (!planReceivedWrite(*opts->out, opts->port.force, how, problem)) {
        throw CliError{"cannot write '" + messageValue(*opts->out) + "': " + problem};
      }
    }
    ConsolePacing pacing;
    pacing.timeout = timeoutOf(opts->port);
    const PortChoice port = portChoice(opts->port);
    const StopSignals signals = transferSignals();
    BoardTables tables;
    throwIfFailed(readBoardTables(port, signals.wake(), pacing, tables), signals);

    const GroupsSource source = groupsSourceFor(tables.identity.device);
    const std::unique_ptr<PlatformServices> platform = makeNativePlatform();
    std::string error;
    const std::optional<std::string> shipped =
        shippedKeywordListText(source.list->name, keywordFolders(platform->programFolder()), error);
    if (!shipped) throw CliError{error + "; groups 2 and 3 of the board's list come from it"};
    const auto [groupTwo, groupThree] = groupsTwoAndThree(*shipped);
    const std::string caption = toText(source.list->caption);
    const std::string board = tables.identity.device + " " + tables.identity.version;
    const std::string firstLine = listLineText(
        tables.identity.version + " " + tables.identity.device + ", listed by the board; groups 2 and 3 from the " +
            caption + " list" +
            (source.known ? ", which the board cannot list" : ", as no list of this firmware is shipped"),
        240);
    const BoardKeywordList list = composeKeywordList(tables.names, firstLine, groupTwo, groupThree);
    // What is written is read back as `--keywords FILE` will read it.
    auto check = readKeywordList(list.text, ContextWords::Yes);
    if (auto* e = std::get_if<KeywordListError>(&check)) {
      throw CliError{"the board's words make no keyword list (line " + std::to_string(e->line) + ": " + e->reason + ")"};
    }

    if (opts->out) {
      if (!writeReceived(*opts->out, list.text, how, error)) {
        throw CliError{"cannot write '" + messageValue(*opts->out) + "': " + error};
      }
    } else {
      errno = 0;
      std::cout << list.text;
      std::cout.flush();
      if (!std::cout) {
        throw CliError{std::string("cannot write to standard output") + (errno ? ": " + std::string(std::strerror(errno)) : "")};
      }
    }
    std::cerr << "Keyword list of " << messageValue(board) << ": " << list.groupOne << " words from its tables; "
              << list.fromShipped << " words of groups 2 and 3 from the " << caption << " list"
              << (source.known ? "" : " (no list of this firmware is shipped)") << ", " << list.fromBoard
              << " from its commands of several words";
    if (!list.dropped.empty()) {
      std::string dropped;
      for (const std::string& name : list.dropped) dropped += (dropped.empty() ? "" : " ") + name;
      std::cerr << "; left out, as no word of a list: " << messageValue(dropped);
    }
    std::cerr << '\n';
  });
}

}  // namespace vennik::cli
