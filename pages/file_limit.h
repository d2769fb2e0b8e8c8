// At start, both front-ends raise the program's soft limit of open files to
// its hard limit where the system allows: the channel holds a socket for
// each adapter, and a PC may have a thousand (containers, bridges).
#pragma once

#include <optional>

namespace pages {

// The soft limit in force afterwards, -1 for none; nothing where the system
// has no such limit (Windows) or would not say. Never lowers it.
std::optional<long long> raiseOpenFileLimit();

}  // namespace pages
