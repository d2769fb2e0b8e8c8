#include "pages/startup.h"

namespace pages {

std::string applicationNameOf(std::string_view executablePath) {
  // Either separator, whichever system the path comes from.
  const auto nameStart = executablePath.find_last_of("/\\");
  const auto fileName = nameStart == std::string_view::npos ? executablePath : executablePath.substr(nameStart + 1);
  const auto extension = fileName.find_last_of('.');
  return std::string(extension == std::string_view::npos || extension == 0 ? fileName : fileName.substr(0, extension));
}

}  // namespace pages
