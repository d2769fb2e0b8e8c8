#include "pages/file_limit.h"

namespace pages {

// Windows limits no socket handles that way.
std::optional<long long> raiseOpenFileLimit() { return std::nullopt; }

}  // namespace pages
