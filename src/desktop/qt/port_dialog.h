#pragma once
// The requester for a board's serial port: the ports the system lists, as
// `ports` shows them, in a list the user can also type a path into (a port
// the system does not list), and the speed.
#include <optional>

#include "desktop/window/ui_services.h"

class QWidget;

namespace vennik {

// Modal to `parent`; nullopt when cancelled. OK stays disabled while no
// port is named.
std::optional<PortAnswer> askPortWithDialog(QWidget* parent, const PortRequest& request);

}  // namespace vennik
