#include "cli/cli_report.h"

#include <iostream>
#include <memory>

#include "analysis/report_text.h"
#include "cli/cli_common.h"
#include "cli/cli_session.h"
#include "cli/report_json.h"
#include "lsp/board_context.h"

namespace vennik::cli {

namespace {
struct ReportOptions {
  CommonOptions common;
  bool json = false;
};
}  // namespace

void addReportCommand(CLI::App& app) {
  auto opts = std::make_shared<ReportOptions>();
  CLI::App* cmd = app.add_subcommand("report", "Print the analysis report of a BASIC program");
  addCommonOptions(*cmd, opts->common, true);
  addReadingOption(*cmd, opts->common, "literal with the built-in list, firmware with any other");
  cmd->add_flag("--json", opts->json, "Print the analysis as JSON (schema 1, see docs/json-schema.md)");
  cmd->callback([opts] {
    auto print = [](std::string_view piece) { std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size())); };
    if (opts->json) {
      const CheckedAnalysis checked = analyseFileChecked(opts->common);
      writeAnalysisJson(checked.analysis, print, boardContext(checked.firmware));
    } else {
      const Analysis analysis = analyseFile(opts->common);
      // As the window shows it after a start with FILE: the path line, then
      // the report.
      std::cout << analysis.fileName() << '\n';
      writeReport(analysis, print);
      std::cout << '\n';
    }
  });
}

}  // namespace vennik::cli
