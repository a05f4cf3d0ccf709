#include "desktop/window/copy_mode_captions.h"

namespace vennik {

namespace {
constexpr std::array<CopyModeCaption, 7> kCaptions{{
    {u"Copy text window", u"Copy text window contents to clipboard"},
    {u"Copy crunched for Micromite", u"Copy crunched for Micromite/Armite"},
    {u"Copy crunched for RPi", u"Copy crunched for Picromite"},
    {u"Copy crunched for Maximite", u"Copy crunched for Maximite"},
    {u"Copy BAS for Micromite", u"Copy uncrunched for Micromite/Armite"},
    {u"Copy BAS for RPi", u"Copy uncrunched for Picromite"},
    {u"Copy BAS for Maximite", u"Copy uncrunched for Maximite"},
}};
}  // namespace

const CopyModeCaption* copyModeCaption(int32_t mode) {
  if (mode < 1 || mode > 7) return nullptr;
  return &kCaptions[static_cast<size_t>(mode - 1)];
}

const TextView* copyTooltip(int32_t mode) {
  const CopyModeCaption* caption = copyModeCaption(mode);
  return caption ? &caption->tooltip : nullptr;
}

}  // namespace vennik
