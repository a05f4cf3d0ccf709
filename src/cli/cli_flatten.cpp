#include "cli/cli_flatten.h"

#include <cstring>
#include <iostream>
#include <memory>

#include "analysis/includes/assemble_program.h"
#include "base/line_ends.h"
#include "base/message_value.h"
#include "cli/cli_common.h"
#include "system/files/disk_include_files.h"
#include "system/files/source_file.h"

namespace vennik::cli {

namespace {
std::string placeOf(const AssembledProgram& program, const IncludeProblem& p) {
  const std::string& path = program.files[static_cast<size_t>(p.file)].path;
  return (path == "-" ? std::string("standard input") : "'" + messageValue(path) + "'") + " line " + std::to_string(p.line) + ": ";
}
}  // namespace

AssembledProgram assembledProgram(const std::string& file, BigArray<char> bytes, OutsideFiles outside) {
  DiskIncludeFiles disk;
  AssembledProgram program =
      assembleProgram(file, std::string(bytes.data(), bytes.size()), disk, {.maxBytes = kMaxSourceBytes});
  std::string errors;
  for (const IncludeProblem& p : program.problems) {
    const bool refused = p.leavesFolder && outside == OutsideFiles::Refuse;
    if (p.severity == IncludeProblem::Severity::Warning && !refused) {
      std::cerr << "vennikplus-cli: " << placeOf(program, p) << p.message << '\n';
    } else {
      errors += (errors.empty() ? "" : "\nvennikplus-cli: ") + placeOf(program, p) + p.message +
                (refused ? " (--allow-outside sends it all the same)" : "");
    }
  }
  if (!errors.empty()) throw CliError{errors};
  return program;
}

AssembledProgram unassembledProgram(const std::string& file, BigArray<char> bytes) {
  AssembledProgram program;
  program.text.assign(bytes.data(), bytes.size());
  program.files.push_back({file, program.text, 0});
  const int32_t lines = static_cast<int32_t>(forEachLine(program.text, 0, [](size_t, size_t) {}));
  program.lines.reserve(static_cast<size_t>(lines));
  for (int32_t n = 1; n <= lines; ++n) program.lines.push_back({0, n});
  return program;
}

BigArray<char> flattenedProgram(const std::string& file, BigArray<char> bytes, OutsideFiles outside) {
  const AssembledProgram program = assembledProgram(file, std::move(bytes), outside);
  BigArray<char> out;
  out.resizeForOverwrite(program.text.size());
  if (!program.text.empty()) std::memcpy(out.data(), program.text.data(), program.text.size());
  return out;
}

void addFlattenCommand(CLI::App& app) {
  auto file = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand(
      "flatten",
      "Print the program as the firmware loads it: each #INCLUDE line replaced by the lines of the file it names");
  cmd->add_option("FILE", *file, "BASIC source file, or - for standard input")->required();
  cmd->callback([file] {
    const BigArray<char> program = flattenedProgram(*file, readSourceBytes(*file));
    std::cout.write(program.data(), static_cast<std::streamsize>(program.size()));
  });
}

}  // namespace vennik::cli
