#include "settings/store/settings_file.h"

#include <charconv>
#include <cmath>

#include "settings/keywords/keyword_lists.h"
#include "system/files/source_file.h"
#include "system/files/safe_file_write.h"
#include "settings/store/settings_document.h"

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

Settings readSettingsFromBytes(std::string_view bytes) {
  const SettingsDocument doc(bytes);
  Settings s;
  auto integer = [&](TextView group, TextView key, int32_t& item) {
    if (auto v = doc.value(group, key)) item = settingsInteger(*v);
  };
  auto text = [&](TextView group, TextView key, Text& item) {
    if (auto v = doc.value(group, key)) item = settingsText(*v);
  };
  integer(kWindows, u"MainX", s.mainX);
  integer(kWindows, u"MainY", s.mainY);
  integer(kWindows, u"MainW", s.mainW);
  integer(kWindows, u"MainH", s.mainH);
  integer(kWindows, u"FontSize", s.fontSize);
  text(kGeneral, u"Data Folder", s.sourceFolder);
  text(kGeneral, u"Last file", s.lastFile);
  if (auto factor = doc.value(kGeneral, u"Variable factor")) s.variableFactor = settingsFloat(*factor);
  text(kGeneral, u"Library", s.library);
  integer(kGeneral, u"Copy mode", s.copyMode);
  text(kGeneral, u"Keywords", s.keywords);
  return s;
}

Settings readSettings(TextView settingsPath, ReadFailure* failure) {
  auto bytes = readRegularFileLimited(toFileSystemPath(settingsPath), kMaxSettingsBytes, failure);
  return bytes ? readSettingsFromBytes(*bytes) : Settings{};
}

std::string settingsFileBytes(const Settings& settings) {
  std::string out = "\xEF\xBB\xBF\r\n";
  out += "[Windows]\r\n";
  out += "; Main Window\r\n";
  appendKey(out, "MainX", integerText(settings.mainX));
  appendKey(out, "MainY", integerText(settings.mainY));
  appendKey(out, "MainW", integerText(settings.mainW));
  appendKey(out, "MainH", integerText(settings.mainH));
  appendKey(out, "FontSize", integerText(settings.fontSize));
  out += "\r\n";
  out += "[General]\r\n";
  appendKey(out, "Data Folder", textValue(settings.sourceFolder));
  appendKey(out, "Last file", textValue(settings.lastFile));
  appendKey(out, "Variable factor", floatText(settings.variableFactor));
  appendKey(out, "Library", textValue(settings.library));
  appendKey(out, "Copy mode", integerText(settings.copyMode));
  if (!isBuiltInChoice(toUtf8(settings.keywords))) appendKey(out, "Keywords", textValue(settings.keywords));
  return out;
}

bool writeSettings(const Settings& settings, TextView settingsPath, std::string* error) {
  return writeFileSafely(toFileSystemPath(settingsPath), settingsFileBytes(settings), error);
}

}  // namespace vennik
