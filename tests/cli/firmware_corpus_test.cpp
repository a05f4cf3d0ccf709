// The firmware reading over every real program, each with the keyword list
// of the board it was written for: no name it finds stands only in a REM
// comment, a DATA item or the @ of PRINT @, as the board's tokeniser never
// takes those for names. The places are told apart here with a reading of
// the statements of its own, apart from the scanner's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <variant>

#include "analysis/analysis_fixture.h"
#include "base/source_encoding.h"
#include "cli/cli_in_process.h"
#include "settings/keywords/keyword_lists.h"
#include "settings/options/analysis_options.h"
#include "support/corpus_programs.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

// The list of the board a program was written for, from the name of the
// repository it came from; the built-in list for the Micromite and Maximite.
std::string boardOf(const fs::path& file) {
  const std::string path = lower(file.string());
  if (path.find("cmm2") != std::string::npos || path.find("colour-maximite-2") != std::string::npos ||
      path.find("color-maximite-2") != std::string::npos || path.find("/projects/") != std::string::npos) {
    return "cmm2";
  }
  if (path.find("pico") != std::string::npos || path.find("gamemite") != std::string::npos) return "picomite";
  return "micromite";
}

bool isWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

// For each byte of a line: whether it lies in a REM comment, a DATA item or
// is the @ of PRINT @.
std::vector<bool> inertBytes(std::string_view line) {
  std::vector<bool> inert(line.size(), false);
  size_t i = 0;
  bool statementStart = true;
  bool data = false;
  std::string previous;  // the word before, lower-cased
  while (i < line.size()) {
    const char c = line[i];
    if (c == '"') {
      const size_t close = line.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? line.size() : close + 1;
      if (data) std::fill(inert.begin() + static_cast<long>(i), inert.begin() + static_cast<long>(end), true);
      i = end;
      statementStart = false;
      continue;
    }
    if (c == '\'') break;
    if (c == ':') {
      statementStart = true;
      data = false;
      ++i;
      continue;
    }
    if (isWordChar(c) || c == '@' || c == '#' || c == '$' || c == '%' || c == '!' || c == '&') {
      size_t e = i;
      while (e < line.size() && (isWordChar(line[e]) || std::string_view("@#$%!&").find(line[e]) != std::string_view::npos)) ++e;
      const std::string w = lower(std::string(line.substr(i, e - i)));
      const bool lineNumber = statementStart && w[0] >= '0' && w[0] <= '9';
      if (data) {
        std::fill(inert.begin() + static_cast<long>(i), inert.begin() + static_cast<long>(e), true);
      } else if (statementStart && w == "rem") {
        std::fill(inert.begin() + static_cast<long>(i), inert.end(), true);
        break;
      } else if (statementStart && w == "data") {
        data = true;
      } else if (w == "@" && (previous == "print" || previous == "?")) {
        inert[i] = true;
      }
      if (!lineNumber) statementStart = w == "then" || w == "else";
      previous = w;
      i = e;
      continue;
    }
    if (c == '?') previous = "?";
    if (c != ' ' && c != '\t') {
      statementStart = false;
      if (c != '?') previous.clear();
    }
    ++i;
  }
  return inert;
}

size_t byteOfColumn(std::string_view raw, int32_t column) {
  size_t byte = 0, units = 0;
  while (byte < raw.size() && units + 1 < static_cast<size_t>(column)) {
    const auto c = static_cast<unsigned char>(raw[byte]);
    units += c >= 0xF0 ? 2 : 1;
    ++byte;
    while (byte < raw.size() && (static_cast<unsigned char>(raw[byte]) & 0xC0) == 0x80) ++byte;
  }
  return byte;
}

std::vector<fs::path> everyProgram() {
  std::vector<fs::path> files = corpusPrograms();
  if (fs::is_directory(VENNIK_PROJECTS_DIR)) {
    for (const auto& e : fs::recursive_directory_iterator(VENNIK_PROJECTS_DIR)) {
      std::string ext = lower(e.path().extension().string());
      if (e.is_regular_file() && (ext == ".bas" || ext == ".inc")) files.push_back(e.path());
    }
  }
  return files;
}

TEST(FirmwareCorpus, NoNameStandsOnlyInACommentADataItemOrPrintAt) {
  const auto files = everyProgram();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << VENNIK_CORPUS_DIR;
  std::map<std::string, KeywordsInUse> lists;
  for (const auto& shipped : shippedKeywordLists()) {
    auto read = chooseKeywords(shipped.name, keywordFolders(u""));
    ASSERT_TRUE(std::holds_alternative<KeywordsInUse>(read)) << std::get<std::string>(read);
    lists.emplace(std::string(shipped.name), std::get<KeywordsInUse>(std::move(read)));
  }
  // Rows standing only where the board reads no name, by reading; the
  // literal reading has many, which shows the places are told apart.
  std::map<Reading, size_t> inertRows;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    const std::string source = sourceBytesToUtf8(readAll(file));
    std::map<int32_t, std::vector<bool>> inert;  // by line, as needed
    for (const Reading reading : {Reading::Literal, Reading::Firmware}) {
      AnalysisOptions options;
      options.reading = reading;
      const Analysis a = vennik::analyse(std::string_view(source), options, *lists.at(boardOf(file)).table,
                                         [] { return int64_t{0}; });
      for (int32_t r = 0; r < a.rowCount(); ++r) {
        const RowView row = a.row(r);
        if (row.definitionRow || row.references.empty()) continue;
        const bool allInert = std::all_of(row.references.begin(), row.references.end(), [&](const Reference& ref) {
          auto [it, added] = inert.try_emplace(ref.line);
          if (added) it->second = inertBytes(a.rawLine(ref.line));
          const size_t at = byteOfColumn(a.rawLine(ref.line), ref.column);
          return at < it->second.size() && it->second[at];
        });
        inertRows[reading] += allInert;
        if (reading == Reading::Firmware) {
          EXPECT_FALSE(allInert) << row.name << " (" << kindWord(row.kind) << ") stands only where the board reads "
                                 << "no name, first on line " << row.references.front().line;
        }
      }
    }
  }
  EXPECT_GT(inertRows[Reading::Literal], 500u);
  EXPECT_EQ(inertRows[Reading::Firmware], 0u);
}

// With the built-in list the literal reading is what every report has
// always been: asking for it changes nothing, and the firmware reading is
// asked for, never given.
TEST(FirmwareCorpus, TheLiteralReadingIsTheBuiltInListsDefault) {
  const auto files = corpusPrograms();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << VENNIK_CORPUS_DIR;
  for (size_t i = 0; i < files.size(); i += 7) {
    const std::string file = files[i].string();
    SCOPED_TRACE(file);
    for (const char* command : {"report", "crunch"}) {
      const CliRun plain = runCliInProcess({command, file});
      const CliRun asked = runCliInProcess({command, "--reading", "literal", file});
      ASSERT_EQ(plain.exitCode, 0) << plain.err;
      auto withoutTime = [](std::string s) {
        const size_t p = s.find("Time taken ");
        return p == std::string::npos ? s : s.erase(p, s.find('\n', p) - p);
      };
      EXPECT_EQ(withoutTime(plain.out), withoutTime(asked.out)) << command;
      EXPECT_EQ(plain.err, asked.err) << command;
    }
    const CliRun json = runCliInProcess({"report", "--json", file});
    EXPECT_EQ(json.out.find("\"findings\""), std::string::npos);
  }
}

// What the firmware names itself is no variable: the PicoMite's pins, and
// the SUBs it calls, defined here or not.
TEST(FirmwareWords, PinNamesAndCallbacksAreNoUndeclaredNames) {
  auto read = chooseKeywords("picomite", keywordFolders(u""));
  ASSERT_TRUE(std::holds_alternative<KeywordsInUse>(read)) << std::get<std::string>(read);
  const KeywordTable& picomite = *std::get<KeywordsInUse>(read).table;
  const std::string source =
      "SetPin GP0, DOut : Pin(GP28) = 1\n"
      "Sub MM.Prompt\n"
      "  Print \"> \";\n"
      "End Sub\n"
      "MM.StartUp\n";
  AnalysisOptions options;
  options.reading = Reading::Firmware;
  const Analysis a = vennik::analyse(std::string_view(source), options, picomite, [] { return int64_t{0}; });
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    EXPECT_NE(a.row(r).kind, RowKind::Undeclared) << a.row(r).name;
    EXPECT_NE(lower(std::string(a.row(r).name)), "gp0");
  }
}

// A program reads as its list suggests (so the desktop follows the list);
// the command line's --reading goes before that.
TEST(FirmwareWords, TheReadingFollowsTheList) {
  Settings settings;
  EXPECT_EQ(analysisOptions(settings, "").reading, Reading::Literal);
  settings.keywords = u"PicoMite";
  EXPECT_EQ(analysisOptions(settings, "").reading, Reading::Firmware);
  EXPECT_EQ(analysisOptions(settings, "", Reading::Literal).reading, Reading::Literal);
}

}  // namespace
}  // namespace vennik::testing
