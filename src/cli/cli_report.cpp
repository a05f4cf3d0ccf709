#include "cli/cli_report.h"

#include <iostream>
#include <memory>

#include "analysis/report_text.h"
#include "cli/cli_common.h"
#include "cli/cli_session.h"
#include "cli/report_json.h"

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
  cmd->add_flag("--json", opts->json, "Print the analysis as JSON (schema 1, see docs/json-schema.md)");
  cmd->callback([opts] {
    const Analysis analysis = analyseFile(opts->common);
    auto print = [](std::string_view piece) { std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size())); };
    if (opts->json) {
      writeAnalysisJson(analysis, print);
    } else {
      // As the window shows it after a start with FILE: the path line, then
      // the report.
      std::cout << analysis.fileName() << '\n';
      writeReport(analysis, print);
      std::cout << '\n';
    }
  });
}

}  // namespace vennik::cli
