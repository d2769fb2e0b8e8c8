#include "lab/program_on_screen.h"

#include <cstdlib>
#include <filesystem>

namespace labtest {

std::string programPath() {
  const char* path = std::getenv("TOVALEN_PROGRAM");
  return path ? path : "";
}

ProgramOnScreen::ProgramOnScreen(const std::string& path, std::uint16_t screenPort,
                                 const std::string& runtimeDirectory)
    : process(path, {"QT_QPA_PLATFORM=vnc:size=1600x1200:port=" + std::to_string(screenPort),
                     "XDG_RUNTIME_DIR=" + runtimeDirectory}),
      screenPort_(screenPort) {}

std::optional<PaintedArea> ProgramOnScreen::awaitWindow() {
  if (!screen.connect(screenPort_, kProgramDeadline)) return std::nullopt;
  return screen.awaitPaintedArea(kProgramDeadline);
}

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tovalen-lab-test.XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace labtest
