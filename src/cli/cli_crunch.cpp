#include "cli/cli_crunch.h"

#include <iostream>
#include <memory>

#include "cli/cli_session.h"
#include "transform/crunch.h"

namespace vennik::cli {

namespace {
struct CrunchOptions {
  CommonOptions common;
  bool crlf = false;
};
}  // namespace

void addCrunchCommand(CLI::App& app) {
  auto opts = std::make_shared<CrunchOptions>();
  CLI::App* cmd = app.add_subcommand(
      "crunch",
      "Print the program without comments and blank lines (Windows-1252, as sources are read); "
      "the savings go to standard error");
  addCommonOptions(*cmd, opts->common, true);
  addReadingOption(*cmd, opts->common, "literal with the built-in list, firmware with any other");
  cmd->add_flag("--crlf", opts->crlf, "End lines with CR LF, as the crunched text holds them (default LF)");
  cmd->callback([opts] {
    const CrunchResult crunched = crunch(analyseFile(opts->common));
    std::string text = crunched.text;
    if (!opts->crlf) std::erase(text, '\r');  // the crunched text has no CR but in its line ends
    writeWindows1252(std::cout, text, "the crunched program");
    std::cout.flush();
    std::cerr << crunched.message() << '\n';
  });
}

}  // namespace vennik::cli
