#pragma once
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/includes/assemble_program.h"
#include "base/big_array.h"

namespace vennik::cli {

// `flatten`: prints the program as the firmware loads it, each #INCLUDE line
// replaced by the lines of the file it names.
void addFlattenCommand(CLI::App& app);

// What to make of a file included from outside the main program's folder.
enum class OutsideFiles { Warn, Refuse };

// The source read from `file` ("-": standard input, includes then taken from
// the current folder) with its #INCLUDE lines replaced, bytes as they are.
// Warnings go to standard error; a missing file, a cycle, a line that names
// no file, a program grown past its limits or (with OutsideFiles::Refuse) a
// file from outside the folder throws CliError naming the file and the line.
BigArray<char> flattenedProgram(const std::string& file, BigArray<char> bytes,
                                OutsideFiles outside = OutsideFiles::Warn);
// The same, with the files it was made of and the file and line each of
// its lines came from.
AssembledProgram assembledProgram(const std::string& file, BigArray<char> bytes,
                                  OutsideFiles outside = OutsideFiles::Warn);
// The file as one program of its own: #INCLUDE lines stay as they are.
AssembledProgram unassembledProgram(const std::string& file, BigArray<char> bytes);

}  // namespace vennik::cli
