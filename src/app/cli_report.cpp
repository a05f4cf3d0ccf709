#include "cli_report.h"

#include <iostream>
#include <memory>

#include "analysis/analysis_pass.h"
#include "analysis/report_json.h"
#include "cli_common.h"

namespace vennik::cli {

namespace {
struct ReportOptions {
  CommonOptions common;
  bool json = false;
};
}  // namespace

void addReportCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<ReportOptions>();
  CLI::App* cmd = app.add_subcommand("report", "Print the analysis report of a BASIC program");
  addCommonOptions(*cmd, opts->common, true);
  cmd->add_flag("--json", opts->json, "Print the analysis as JSON");
  cmd->callback([opts, &exitCode] {
    ShellState shell;
    applyCommonOptions(opts->common, shell);
    // Started with a path: the path line, then the report.
    shell.currentFileName = fromUtf8(opts->common.name.value_or(opts->common.file));
    shell.sourceText = readSource(opts->common.file);
    shell.textWindow.clear();
    shell.textWindow.append(shell.currentFileName);

    AnalysisState analysis;
    KeywordTable keywords = buildKeywordTable();
    runAnalysis(shell, analysis, keywords, steadyMillisecondClock());

    if (opts->json) {
      std::cout << analysisToJson(analysis, shell.currentFileName).dump(2) << '\n';
    } else {
      writeWindowUtf8Lines(std::cout, shell.textWindow);
    }
    exitCode = 0;
  });
}

}  // namespace vennik::cli
