// Orvantis: the program's first step. Loading and linking the window toolkit's libraries takes a
// noticeable part of the start, and a large map takes longer still to decode, so the last map's
// picture starts decoding here, before the windows' module (and with it the toolkit) is loaded; the
// windows then take the picture from the decode running. A start that asks for another map stops
// this decode and starts that one.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/freedmemory.h"
#include "core/mapinfo.h"
#include "core/pictureahead.h"
#include "launcher/launch.h"
#include "storage/recentmaps.h"
#include "storage/settings.h"

namespace {

// The windows' module: beside the program in a build, in the library folder of an installed copy.
std::vector<std::filesystem::path> ModuleCandidates() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path dir = error ? std::filesystem::path(".") : program.parent_path();
  return {dir / orv::WindowModuleName, dir / ORV_INSTALLED_MODULE_DIR / orv::WindowModuleName};
}

}  // namespace

int main(int argc, char** argv) {
  orv::ReuseFreedMemory();
  orv::Launch launch;
  launch.started = std::chrono::steady_clock::now();
  orv::PictureAhead ahead;
  launch.ahead = &ahead;
  const std::string last = orv::ReadLastMap(orv::SettingsFile());
  if (!last.empty() && last.find('\0') == std::string::npos) {
    if (const auto picture = orv::FindPicture(last)) ahead.Start(*picture);
  }

  using Entry = int (*)(int, char**, orv::Launch*);
  std::string failure;
  for (const std::filesystem::path& module : ModuleCandidates()) {
    if (!std::filesystem::exists(module)) continue;
    void* windows = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = windows ? reinterpret_cast<Entry>(dlsym(windows, "OrvantisWindowMain")) : nullptr;
    if (entry) return entry(argc, argv, &launch);
    const char* error = dlerror();
    failure = error ? error : "the windows' module has no entry";
    break;
  }
  if (failure.empty()) failure = std::string("the windows' module ") + orv::WindowModuleName + " is missing";
  std::fprintf(stderr, "orvantis: %s\n", failure.c_str());
  return 1;
}
