#include "desktop/qt/build_info.h"

#ifndef VENNIK_BUILD_DATE
#error "VENNIK_BUILD_DATE must be set by the build (yyyy/mm/dd)"
#endif

namespace vennik {

TextView buildDate() { return u"" VENNIK_BUILD_DATE; }

}  // namespace vennik
