#pragma once
// The program's icon, drawn from the SVG that is also installed for the
// desktop's launchers.
#include <QIcon>

namespace vennik {

// Rendered here at the usual icon sizes, so that no image plugin is needed
// at run time.
QIcon programIcon();

}  // namespace vennik
