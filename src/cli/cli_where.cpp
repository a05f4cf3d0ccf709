#include "cli/cli_where.h"

#include <iostream>
#include <memory>

#include "cli/cli_console.h"
#include "cli/cli_send.h"

namespace vennik::cli {

namespace {

struct WhereOptions {
  SendOptions program;
  int64_t line = 0;
};

}  // namespace

void addWhereCommand(CLI::App& app) {
  auto opts = std::make_shared<WhereOptions>();
  CLI::App* cmd = app.add_subcommand(
      "where", "The file and line that LINE of the program on a board came from, for FILE sent with the same "
               "options: the line a board's error report names, [LINE] or \"Error in line LINE\"");
  addShapeOptions(*cmd, opts->program);
  addSettingsOptions(*cmd, opts->program.common);
  cmd->add_option("FILE", opts->program.common.file, "The program as it was sent (- for standard input)")->required();
  cmd->add_option("LINE", opts->line, "The board's line number")
      ->required()
      ->check(CLI::Validator(
          [](std::string& in) -> std::string {
            int64_t line = 0;
            if (CLI::detail::lexical_cast(in, line) && line >= 1) return {};
            return "a board counts its lines from 1: " + in;
          },
          "LINE", "LINE"));
  cmd->callback([opts] {
    const BoardLineMap map = mapOfSend(opts->program);
    const std::optional<LineOrigin> origin = map.origin(opts->line, BoardLineCount::Memory);
    if (!origin) {
      throw CliError{"the board holds " + std::to_string(map.lines.size() - (map.titleLine ? 1 : 0)) +
                     " lines of this program: line " + std::to_string(opts->line) + " is none of them"};
    }
    std::cout << shownPath(map.files[static_cast<size_t>(origin->file)]) << ':' << origin->line << '\n';
  });
}

}  // namespace vennik::cli
