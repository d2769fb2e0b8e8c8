// tovalen-rcgen: writes the Windows resource script of the program's dialogs
// and texts, and the icon file it names, from res. Runs on the build
// machine during the Windows build.
//   tovalen-rcgen SCRIPT.rc ICON.ico VERSION COPYRIGHT PNG...
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tools/rcgen/icon_file.h"
#include "tools/rcgen/resource_script.h"

namespace {

int fail(const std::string& why) {
  std::cerr << "tovalen-rcgen: " << why << "\n";
  return 1;
}

// Written in full, then renamed into place, so that a failed run leaves no
// half-written file for the next build to take as up to date.
bool writeFile(const std::filesystem::path& path, const std::string& contents) {
  const std::filesystem::path partial = path.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary);
    if (!(out << contents)) return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::cerr << "usage: tovalen-rcgen SCRIPT.rc ICON.ico VERSION COPYRIGHT PNG...\n";
    return 2;
  }
  const std::filesystem::path scriptPath = argv[1];
  const std::filesystem::path iconPath = argv[2];
  const rcgen::ProductVersion product{argv[3], argv[4]};

  std::vector<rcgen::PngImage> images;
  for (int i = 5; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    auto image = rcgen::readPng({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    if (!image) return fail(std::string(argv[i]) + ": not a PNG image of at most 256 x 256");
    images.push_back(std::move(*image));
  }
  std::ostringstream icon;
  rcgen::writeIconFile(icon, images);

  std::ostringstream script;
  std::string why;
  if (!rcgen::writeResourceScript(script, iconPath.filename().string(), product, why)) return fail(why);

  if (!writeFile(iconPath, icon.str())) return fail(iconPath.string() + ": cannot write");
  if (!writeFile(scriptPath, script.str())) return fail(scriptPath.string() + ": cannot write");
  return 0;
}
