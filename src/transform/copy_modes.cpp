#include "transform/copy_modes.h"

namespace vennik {

namespace {
constexpr char16_t kSub = 26;  // Ctrl+Z ends an AUTOSAVE on a Micromite or Armite
constexpr char16_t kEtx = 3;   // Ctrl+C ends it on a Picromite or Maximite

constexpr std::array<CopyModeInfo, 7> kCopyModes{{
    {1, u"Copy text window", u"Copy text window contents to clipboard", CopySource::TextWindow, u"", 0},
    {2, u"Copy crunched for Micromite", u"Copy crunched for Micromite/Armite", CopySource::TextWindow,
     u"AUTOSAVE\r\n", kSub},
    {3, u"Copy crunched for RPi", u"Copy crunched for Picromite", CopySource::TextWindow, u"AUTOSAVE\r\n", kEtx},
    {4, u"Copy crunched for Maximite", u"Copy crunched for Maximite", CopySource::TextWindow, u"AUTO\r\n", kEtx},
    {5, u"Copy BAS for Micromite", u"Copy uncrunched for Micromite/Armite", CopySource::SourceText,
     u"AUTOSAVE\r\n", kSub},
    {6, u"Copy BAS for RPi", u"Copy uncrunched for Picromite", CopySource::SourceText, u"AUTOSAVE\r\n", kEtx},
    {7, u"Copy BAS for Maximite", u"Copy uncrunched for Maximite", CopySource::SourceText, u"AUTO\r\n", kEtx},
}};
}  // namespace

const std::array<CopyModeInfo, 7>& copyModes() { return kCopyModes; }

const CopyModeInfo* copyModeInfo(int32_t mode) {
  if (mode < 1 || mode > 7) return nullptr;
  return &kCopyModes[static_cast<size_t>(mode - 1)];
}

Text copyText(int32_t mode, TextView textWindow, TextView sourceText) {
  const CopyModeInfo* info = copyModeInfo(mode);
  // Mode 1, and a mode that only an edited settings file can give, copy the window as it is.
  if (info == nullptr || info->endCharacter == 0) return Text(textWindow);
  TextView body = info->source == CopySource::TextWindow ? textWindow : sourceText;
  Text out;
  out.reserve(info->header.size() + body.size() + 1);
  out += info->header;
  out += body;
  out.push_back(info->endCharacter);
  return out;
}

const TextView* copyTooltip(int32_t mode) {
  const CopyModeInfo* info = copyModeInfo(mode);
  return info ? &info->tooltip : nullptr;
}

}  // namespace vennik
