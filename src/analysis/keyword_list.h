#pragma once

namespace vennik {

// The embedded keyword list: 3,240 bytes of ASCII text and a terminating zero.
extern const char kEmbeddedKeywordList[];

}  // namespace vennik
