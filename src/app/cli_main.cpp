// vennikplus-cli: the analysis, crunch and copy of the desktop program, for
// scripts and editors.
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>

#include <CLI/CLI.hpp>

#include "cli_common.h"
#include "cli_copy.h"
#include "cli_crunch.h"
#include "cli_lsp.h"
#include "cli_ports.h"
#include "cli_receive.h"
#include "cli_report.h"
#include "cli_send.h"

namespace {

int run(int argc, char** argv) {
  CLI::App app{"VennikPlus command-line tool: analyse BASIC programs for Micromite, Maximite, Picromite and Armite"};
  app.set_version_flag("--version", std::string("vennikplus-cli ") + VENNIK_VERSION);
  app.require_subcommand(1);

  vennik::cli::addReportCommand(app);
  vennik::cli::addCrunchCommand(app);
  vennik::cli::addCopyCommand(app);
  vennik::cli::addPortsCommand(app);
  vennik::cli::addSendCommand(app);
  vennik::cli::addReceiveCommand(app);
  vennik::cli::addLspCommand(app);

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
  } catch (const vennik::cli::CliError& e) {
    std::cout.flush();
    std::cerr << "vennikplus-cli: " << e.message << '\n';
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

// Whatever goes wrong ends with a message and exit code 1, never an abort.
int main(int argc, char** argv) {
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
