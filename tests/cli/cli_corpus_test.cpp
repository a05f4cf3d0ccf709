// Every program of the shared corpus goes through crunch and copy, and its
// crunched form, analysed again, still refers to the same names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "analysis/analysis_fixture.h"
#include "support/corpus_programs.h"
#include "base/source_encoding.h"
#include "cli/cli_in_process.h"
#include "settings/keywords/keyword_lists.h"
#include "transform/envelope_check.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

// Scope and name of every row, with the number of lines that refer to it. A
// crunch drops comment-only lines, so line numbers shift but counts must not.
std::map<std::string, size_t> namesAndLineCounts(const std::string& source, const KeywordTable& keywords) {
  AnalysisOptions options;
  options.fileName = "program.bas";
  const Analysis a = vennik::analyse(std::string_view(source), options, keywords, [] { return int64_t{0}; });
  std::map<std::string, size_t> names;
  for (int32_t i = 0; i < a.rowCount(); ++i) {
    const RowView row = a.row(i);
    const std::string name = row.definitionRow ? "(definition)" : std::string(row.name);
    names[std::string(row.scopeName) + "\\" + name] = a.listedLines(i).size();
  }
  return names;
}

std::string describeDifferences(const std::map<std::string, size_t>& before, const std::map<std::string, size_t>& after) {
  std::string d;
  for (const auto& [k, n] : before) {
    auto it = after.find(k);
    if (it == after.end()) d += "  lost " + k + "\n";
    else if (it->second != n) d += "  " + k + ": " + std::to_string(n) + " lines, crunched " + std::to_string(it->second) + "\n";
  }
  for (const auto& [k, n] : after) {
    if (!before.count(k)) d += "  new " + k + "\n";
  }
  return d;
}

std::string withCrLf(const std::string& lf) {
  std::string out;
  for (char c : lf) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

TEST(Corpus, CrunchAndCopyEveryProgramKeepingItsNames) {
  if (!fs::is_directory(VENNIK_CORPUS_DIR)) {
    GTEST_SKIP() << "corpus folder " << VENNIK_CORPUS_DIR << " is missing";
  }
  const KeywordTable keywords = buildKeywordTable();
  const auto programs = corpusPrograms();
  ASSERT_FALSE(programs.empty()) << "no .bas files in " << VENNIK_CORPUS_DIR;

  for (const fs::path& file : programs) {
    SCOPED_TRACE(file.string());
    const std::string bytes = readAll(file);
    const std::string source = sourceBytesToUtf8(bytes);

    CliRun crunched = runCliInProcess({"crunch", file.string()});
    ASSERT_EQ(crunched.exitCode, 0) << crunched.err;
    EXPECT_EQ(crunched.err.rfind("File reduced from ", 0), 0u) << crunched.err;

    // A control character would act as a key inside the envelope.
    const bool crunchedBreaks = findEnvelopeBreaker(fromUtf8(sourceBytesToUtf8(crunched.out))).has_value();
    const bool sourceBreaks = findEnvelopeBreaker(fromUtf8(source)).has_value();
    for (int mode = 1; mode <= 7; ++mode) {
      CliRun copied = runCliInProcess({"copy", "--mode", std::to_string(mode), file.string()});
      if (mode >= 2 && (mode <= 4 ? crunchedBreaks : sourceBreaks)) {
        EXPECT_EQ(copied.exitCode, 1) << "mode " << mode;
        EXPECT_NE(copied.err.find("holds the control character"), std::string::npos) << copied.err;
        continue;
      }
      ASSERT_EQ(copied.exitCode, 0) << "mode " << mode << ": " << copied.err;
      const char* header = mode == 4 || mode == 7 ? "AUTO\r\n" : "AUTOSAVE\r\n";
      const char end = mode == 2 || mode == 5 ? '\x1A' : '\x03';
      if (mode >= 2 && mode <= 4) {
        EXPECT_EQ(copied.out, header + withCrLf(crunched.out) + end) << "mode " << mode;
      } else if (mode >= 5 && bytes.substr(0, 2) != "\xFF\xFE" && bytes.substr(0, 2) != "\xFE\xFF") {
        // A UTF-16 file is not given back byte for byte; a UTF-8 mark is
        // no part of the program.
        EXPECT_EQ(copied.out, header + bytes.substr(utf8MarkLength(bytes)) + end) << "mode " << mode;
      }
    }

    const auto before = namesAndLineCounts(source, keywords);
    const auto after = namesAndLineCounts(sourceBytesToUtf8(crunched.out), keywords);
    AnalysisOptions options;
    expectReferencesPointAtTheirNames(vennik::analyse(std::string_view(source), options, keywords, [] { return 0; }),
                                      file.string());
    EXPECT_TRUE(before == after) << "names changed by the crunch:\n" << describeDifferences(before, after);
  }
}

// The report of every program, twice: exit 0, and the same text both times
// apart from the time line.
TEST(Corpus, ReportEveryProgramTheSameOnEveryRun) {
  if (!fs::is_directory(VENNIK_CORPUS_DIR)) {
    GTEST_SKIP() << "corpus folder " << VENNIK_CORPUS_DIR << " is missing";
  }
  auto withoutTime = [](const std::string& report) {
    size_t p = report.find("\nTime taken ");
    if (p == std::string::npos) return report;
    size_t e = report.find('\n', p + 1);
    return report.substr(0, p) + report.substr(e);
  };
  for (const fs::path& file : corpusPrograms()) {
    SCOPED_TRACE(file.string());
    CliRun first = runCliInProcess({"report", file.string()});
    CliRun second = runCliInProcess({"report", file.string()});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(first.out.rfind(file.string() + "\n" + file.string() + "\nTime taken ", 0), 0u);
    EXPECT_EQ(withoutTime(first.out), withoutTime(second.out));
    CliRun json = runCliInProcess({"report", "--json", file.string()});
    ASSERT_EQ(json.exitCode, 0) << json.err;
  }
}

// The names a program declares (DIM, LOCAL, STATIC, CONST, a FOR variable, a
// SUB or FUNCTION and its parameters) or assigns at the start of a
// statement, lower-cased; read with patterns, apart from the analysis.
std::set<std::string> declaredOrAssigned(const std::string& source) {
  static const std::regex strings("\"[^\"]*(\"|$)");
  static const std::regex brackets("\\([^()]*\\)");
  static const std::regex statementEnd(":|\\bthen\\b|\\belse\\b", std::regex::icase);
  static const std::regex declaration("^(?:dim|local|static|const)\\s+(.*)", std::regex::icase);
  static const std::regex piece("^\\s*(?:(?:integer|float|string)\\s+(?=[a-z_]))?([a-z_][\\w.]*[$%!]?)",
                                std::regex::icase);
  static const std::regex remark("^rem\\b", std::regex::icase);
  static const std::regex loop("^for\\s+([a-z_][\\w.]*[$%!]?)", std::regex::icase);
  static const std::regex header("^(?:sub|function)\\s+([a-z_][\\w.]*[$%!]?)\\s*\\(?([^)]*)", std::regex::icase);
  static const std::regex assignment("^(?:let\\s+)?([a-z_][\\w.]*[$%!]?)\\s*(?:\\(.*?\\))?\\s*[-+*/]?=",
                                     std::regex::icase);
  std::set<std::string> names;
  auto add = [&](const std::string& n) { names.insert(lower(n)); };
  auto addPieces = [&](std::string list) {
    for (std::string flat; (flat = std::regex_replace(list, brackets, "")) != list;) list = flat;
    std::smatch m;
    for (size_t at = 0; at <= list.size();) {
      size_t comma = list.find(',', at);
      if (comma == std::string::npos) comma = list.size();
      const std::string p = list.substr(at, comma - at);
      if (std::regex_search(p, m, piece)) add(m[1]);
      at = comma + 1;
    }
  };
  size_t start = 0;
  while (start <= source.size()) {
    size_t end = source.find('\n', start);
    if (end == std::string::npos) end = source.size();
    std::string line = std::regex_replace(source.substr(start, end - start), strings, "\"\"");
    start = end + 1;
    line = line.substr(0, line.find('\''));
    std::sregex_token_iterator it(line.begin(), line.end(), statementEnd, -1), stop;
    for (; it != stop; ++it) {
      std::string st = it->str();
      st.erase(0, st.find_first_not_of(" \t\r"));
      std::smatch m;
      if (std::regex_search(st, m, remark)) break;
      if (std::regex_search(st, m, declaration)) {
        addPieces(m[1]);
      } else if (std::regex_search(st, m, loop)) {
        add(m[1]);
      } else if (std::regex_search(st, m, header)) {
        add(m[1]);
        addPieces(m[2]);
      } else if (std::regex_search(st, m, assignment)) {
        add(m[1]);
      }
    }
  }
  return names;
}

// With a list of current firmware, no command or function of it is a name
// in any program but a SUB or FUNCTION the program defines under it (an old
// program on a newer firmware), and every name a program declares or
// assigns is a row under every list, as it is under the built-in list, but
// for the commands and functions themselves, which the firmware would not
// take as variables.
TEST(Corpus, KeywordListsKeepTheirCommandsAndTheProgramsNames) {
  if (!fs::is_directory(VENNIK_CORPUS_DIR)) {
    GTEST_SKIP() << "corpus folder " << VENNIK_CORPUS_DIR << " is missing";
  }
  std::vector<KeywordsInUse> lists;
  for (size_t i = 1; i < shippedKeywordLists().size(); ++i) {
    auto read = chooseKeywords(shippedKeywordLists()[i].name, keywordFolders(u""));
    ASSERT_TRUE(std::holds_alternative<KeywordsInUse>(read)) << std::get<std::string>(read);
    lists.push_back(std::get<KeywordsInUse>(std::move(read)));
  }
  auto commandOrFunction = [](const KeywordTable& k, const std::string& folded) {
    const WordInfo* info = k.find(folded, wordHash(folded));
    return info != nullptr && info->keyword && !info->context;
  };
  const KeywordTable& builtIn = keywords();
  auto rowNames = [](const Analysis& a) {
    std::set<std::string> names;
    for (int32_t i = 0; i < a.rowCount(); ++i) names.insert(lower(std::string(a.row(i).name)));
    return names;
  };
  for (const fs::path& file : corpusPrograms()) {
    SCOPED_TRACE(file.string());
    const std::string source = sourceBytesToUtf8(readAll(file));
    std::set<std::string> wanted = declaredOrAssigned(source);
    // A name the built-in rules give no row either (a LOCAL in the main
    // program that is never used) is not the lists' concern.
    const auto builtInRows =
        rowNames(vennik::analyse(std::string_view(source), AnalysisOptions{}, builtIn, [] { return 0; }));
    std::erase_if(wanted, [&](const std::string& n) { return !builtInRows.count(n) && !builtIn.isKeyword(n); });
    for (const KeywordsInUse& list : lists) {
      const Analysis a = vennik::analyse(std::string_view(source), AnalysisOptions{}, *list.table, [] { return 0; });
      std::set<std::string> rows;
      for (int32_t i = 0; i < a.rowCount(); ++i) {
        const RowView row = a.row(i);
        rows.insert(lower(std::string(row.name)));
        if (list.choice == "picomite" && !row.definitionRow) {
          EXPECT_FALSE(commandOrFunction(*list.table, lower(std::string(row.name))))
              << row.name << " is a row, " << kindWord(row.kind);
        }
      }
      for (const std::string& name : wanted) {
        if (!commandOrFunction(*list.table, name)) {
          EXPECT_TRUE(rows.count(name)) << name << " is no row under " << list.choice;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vennik::testing
