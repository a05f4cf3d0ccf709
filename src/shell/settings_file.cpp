#include "shell/settings_file.h"

#include <charconv>
#include <cmath>

#include "shell/source_file.h"
#include "shell/safe_file_write.h"
#include "shell/settings_document.h"
#include "shell/shell_state.h"

namespace vennik {

namespace {

constexpr TextView kWindows = u"Windows";
constexpr TextView kGeneral = u"General";

void appendKey(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += " = ";
  out += value;
  out += "\r\n";
}

std::string integerText(int32_t v) {
  char buf[16];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// Six decimals and a "." whatever the process locale, as "%f" in the C locale.
std::string floatText(float v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "+Infinity" : "-Infinity";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::fixed, 6);
  return std::string(buf, r.ptr);
}

// A line break inside a value would split the line; each CR and LF becomes
// a blank instead.
std::string textValue(TextView v) {
  Text t(v);
  for (char16_t& c : t) {
    if (c == u'\r' || c == u'\n') c = u' ';
  }
  return toUtf8(t);
}

}  // namespace

Text settingsFilePath(TextView settingsFolder) { return Text(settingsFolder) + Text(kSettingsFileName); }

void readSettingsFromBytes(ShellState& shell, std::string_view bytes) {
  const SettingsDocument doc(bytes);
  auto integer = [&](TextView group, TextView key, int32_t fallback) {
    auto v = doc.value(group, key);
    return v ? settingsInteger(*v) : fallback;
  };
  auto text = [&](TextView group, TextView key) {
    auto v = doc.value(group, key);
    return v ? settingsText(*v) : Text();
  };
  shell.mainX = integer(kWindows, u"MainX", 200);
  shell.mainY = integer(kWindows, u"MainY", 200);
  shell.mainW = integer(kWindows, u"MainW", 700);
  shell.mainH = integer(kWindows, u"MainH", 287);
  shell.fontSize = integer(kWindows, u"FontSize", 10);
  shell.sourceFolder = text(kGeneral, u"Data Folder");
  shell.currentFileName = text(kGeneral, u"Last file");
  auto factor = doc.value(kGeneral, u"Variable factor");
  shell.variableFactor = factor ? settingsFloat(*factor) : 0.5f;
  shell.libraryList = u" " + text(kGeneral, u"Library") + u" ";
  shell.copyMode = integer(kGeneral, u"Copy mode", 1);
}

bool readSettings(ShellState& shell, TextView settingsPath, ReadFailure* failure) {
  auto bytes = readFileLimited(toFileSystemPath(settingsPath), kMaxSettingsBytes, failure);
  readSettingsFromBytes(shell, bytes ? std::string_view(*bytes) : std::string_view());
  return bytes.has_value();
}

std::string settingsFileBytes(const ShellState& shell) {
  std::string out = "\xEF\xBB\xBF\r\n";
  out += "[Windows]\r\n";
  out += "; Main Window\r\n";
  appendKey(out, "MainX", integerText(shell.mainX));
  appendKey(out, "MainY", integerText(shell.mainY));
  appendKey(out, "MainW", integerText(shell.mainW));
  appendKey(out, "MainH", integerText(shell.mainH));
  appendKey(out, "FontSize", integerText(shell.fontSize));
  out += "\r\n";
  out += "[General]\r\n";
  appendKey(out, "Data Folder", textValue(shell.sourceFolder));
  appendKey(out, "Last file", textValue(shell.currentFileName));
  appendKey(out, "Variable factor", floatText(shell.variableFactor));
  appendKey(out, "Library", textValue(trimBlanks(shell.libraryList)));
  appendKey(out, "Copy mode", integerText(shell.copyMode));
  return out;
}

bool writeSettings(const ShellState& shell, TextView settingsPath) {
  return writeFileSafely(toFileSystemPath(settingsPath), settingsFileBytes(shell));
}

}  // namespace vennik
