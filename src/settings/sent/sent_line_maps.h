#pragma once
// The line map of the last program sent to each port, kept between runs, so
// that a terminal opened later on that port can lead the board's error
// reports back to the files without being told the program again. One file
// per port, in a folder "sent/" beside the settings file.
#include <optional>
#include <string>

#include "analysis/includes/board_line_map.h"

namespace vennik {

// The folder the maps are kept in, beside the settings file at
// `settingsFile`; ends in a separator.
std::string sentMapsFolder(const std::string& settingsFile);

// Keeps the map of what was sent to `port` (its path as the user may name
// it again), replacing the one kept before, and creates the folder when
// missing. The map's paths should be absolute: the terminal may open
// elsewhere. False, and `error` says why, when it cannot be kept.
bool keepSentMap(const std::string& folder, const std::string& port, const BoardLineMap& map,
                 std::string* error = nullptr);

// Forgets the map kept for `port`, after a send that keeps none (what went
// cannot be mapped): an older map would lead the board's errors astray.
void forgetSentMap(const std::string& folder, const std::string& port);

// The name a port's map is kept under: its path with links resolved, so that
// /dev/serial/by-id/... and the /dev/ttyACM0 it leads to share one map.
std::string sentMapPortKey(const std::string& port);

// The map kept for `port`; nullopt when none was kept, or, with `problem`
// saying why, when the file cannot be read or is not one.
std::optional<BoardLineMap> sentMapFor(const std::string& folder, const std::string& port,
                                       std::string* problem = nullptr);

}  // namespace vennik
