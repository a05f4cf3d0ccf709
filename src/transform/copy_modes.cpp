#include "transform/copy_modes.h"

namespace vennik {

namespace {
constexpr char16_t kSub = 26;  // Ctrl+Z ends an AUTOSAVE on a Micromite or Armite
constexpr char16_t kEtx = 3;   // Ctrl+C ends it on a Picromite or Maximite

constexpr std::array<CopyModeInfo, 7> kCopyModes{{
    {1, CopyBody::AsShown, u"", 0},
    {2, CopyBody::Crunched, u"AUTOSAVE\r\n", kSub},
    {3, CopyBody::Crunched, u"AUTOSAVE\r\n", kEtx},
    {4, CopyBody::Crunched, u"AUTO\r\n", kEtx},
    {5, CopyBody::Source, u"AUTOSAVE\r\n", kSub},
    {6, CopyBody::Source, u"AUTOSAVE\r\n", kEtx},
    {7, CopyBody::Source, u"AUTO\r\n", kEtx},
}};
}  // namespace

const std::array<CopyModeInfo, 7>& copyModes() { return kCopyModes; }

const CopyModeInfo* copyModeInfo(int32_t mode) {
  if (mode < 1 || mode > 7) return nullptr;
  return &kCopyModes[static_cast<size_t>(mode - 1)];
}

Text wrapInEnvelope(int32_t mode, TextView body) {
  const CopyModeInfo* info = copyModeInfo(mode);
  if (info == nullptr || info->endCharacter == 0) return Text(body);
  Text out;
  out.reserve(info->header.size() + body.size() + 1);
  out += info->header;
  out += body;
  out.push_back(info->endCharacter);
  return out;
}

}  // namespace vennik
