#include "cli/cli_run.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>

#include <CLI/CLI.hpp>

#include "base/message_value.h"
#include "board/transfer/board_names.h"
#include "cli/cli_common.h"
#include "cli/cli_copy.h"
#include "cli/cli_crunch.h"
#include "cli/cli_files.h"
#include "cli/cli_flatten.h"
#include "cli/cli_get.h"
#include "cli/cli_keywords.h"
#include "cli/cli_lsp.h"
#include "cli/cli_ports.h"
#include "cli/cli_put.h"
#include "cli/cli_receive.h"
#include "cli/cli_report.h"
#include "cli/cli_run_program.h"
#include "cli/cli_send.h"
#include "cli/cli_term.h"
#include "cli/cli_where.h"

namespace vennik::cli {

namespace {

// The parser's messages quote what was typed: each word of one cut short,
// as a value pasted by mistake may be megabytes long.
std::string withLongWordsCut(std::string_view message) {
  std::string out;
  size_t i = 0;
  while (i < message.size()) {
    const size_t end = std::min(message.find_first_of(" \n", i), message.size());
    out += messageValue(message.substr(i, end - i));
    if (end < message.size()) out += message[end];
    i = end + 1;
  }
  return out;
}

int run(int argc, char** argv) {
  CLI::App app{"VennikPlus command-line tool: analyse BASIC programs for " + allBoardNames()};
  app.set_version_flag("--version", std::string("vennikplus-cli ") + VENNIK_VERSION);
  app.require_subcommand(1);
  // The same options on every system: on Windows the parser would take a
  // word beginning with "/" (a path) for an option.
  app.allow_windows_style_options(false);
  app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
    return withLongWordsCut(CLI::FailureMessage::simple(failed, e));
  });

  addReportCommand(app);
  addCrunchCommand(app);
  addCopyCommand(app);
  addFlattenCommand(app);
  addPortsCommand(app);
  addSendCommand(app);
  addReceiveCommand(app);
  addRunCommand(app);
  addTermCommand(app);
  addWhereCommand(app);
  addFilesCommand(app);
  addPutCommand(app);
  addGetCommand(app);
  addKeywordsCommand(app);
  addLspCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const CliError& e) {
    std::cout.flush();
    // A subcommand that has said all it had to ends with its code alone.
    if (!e.message.empty()) std::cerr << "vennikplus-cli: " << withLongWordsCut(e.message) << '\n';
    return e.exitCode;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "vennikplus-cli: cannot write output\n";
    return 1;
  }
  return 0;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    // Written without building a string: there may be no memory for one.
    std::fputs("vennikplus-cli: out of memory\n", stderr);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::fprintf(stderr, "vennikplus-cli: %s\n", e.what());
  }
  return 1;
}

}  // namespace vennik::cli
