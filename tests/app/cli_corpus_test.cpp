// Every program of the shared corpus goes through crunch and copy, and its
// crunched form, analysed again, still refers to the same names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "analysis/analysis_fixture.h"
#include "corpus_programs.h"
#include "base/source_encoding.h"
#include "app/cli_in_process.h"
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

}  // namespace
}  // namespace vennik::testing
