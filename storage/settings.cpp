// ReadSetting and WriteSetting over whole-file documents, and the write groups that hold a file's
// document while they are open.
#include "storage/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "storage/atomicfile.h"
#include "storage/inifile.h"

namespace orv {
namespace {

struct HeldFile {
  IniFile file;
  int groups = 0;      // open write groups for the file
  bool dirty = false;  // changed by a write since the outermost group opened
};

// The documents held by open write groups, by path made absolute and lexically normal, so that two
// spellings of one path share a document. Empty whenever no group is open.
std::map<std::string, HeldFile>& HeldFiles() {
  static std::map<std::string, HeldFile> held;
  return held;
}

std::string PathKey(const std::string& file) {
  std::filesystem::path p(file);
  std::error_code ec;
  if (p.is_relative()) p = std::filesystem::absolute(p, ec);
  return p.lexically_normal().string();
}

HeldFile* Held(const std::string& file) {
  auto& held = HeldFiles();
  if (held.empty() || file.empty()) return nullptr;
  auto it = held.find(PathKey(file));
  return it == held.end() ? nullptr : &it->second;
}

// Applies one write to a document; an empty key removes the section. True when it changed.
bool Apply(IniDocument& document, const std::string& section, const std::string& key,
           const std::string& value) {
  return key.empty() ? document.RemoveSection(section) : document.Set(section, key, value);
}

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file) {
  if (const HeldFile* held = Held(file)) return held->file.document.Value(section, key);
  return LoadIniFile(file).document.Value(section, key);
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& file,
                  const std::string& value) {
  if (file.empty() || !IniDocument::CanHold(section, key, value)) return false;
  if (HeldFile* held = Held(file)) {
    // Written when the outermost group closes, which reports the outcome; nothing is written over a
    // file that could not be read.
    if (held->file.unreadable || Apply(held->file.document, section, key, value)) held->dirty = true;
    return true;
  }
  IniFile loaded = LoadIniFile(file);
  if (loaded.unreadable) return false;
  Apply(loaded.document, section, key, value);
  return SaveIniFile(loaded, file);
}

std::string StorableValue(std::string value) {
  ini::BlankLineBreaks(value.data(), value.data() + value.size());
  return value;
}

SettingsWriteGroup::SettingsWriteGroup(std::string file) : file_(std::move(file)) {
  if (file_.empty()) return;
  auto [it, fresh] = HeldFiles().try_emplace(PathKey(file_));
  if (fresh) it->second.file = LoadIniFile(file_);
  ++it->second.groups;
}

SettingsWriteGroup::~SettingsWriteGroup() {
  if (!closed_) Close();
}

bool SettingsWriteGroup::Close() {
  if (closed_) return true;
  closed_ = true;
  auto& held = HeldFiles();
  auto it = file_.empty() ? held.end() : held.find(PathKey(file_));
  if (it == held.end() || --it->second.groups > 0) return true;
  const bool ok = !it->second.dirty || SaveIniFile(it->second.file, file_);
  held.erase(it);
  return ok;
}

namespace {

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool WritableDirectory(const std::string& dir) {
  struct stat st;
  return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(dir.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string SettingsFileIn(const std::string& programDir, const std::string& configHome) {
  if (WritableDirectory(programDir) || configHome.empty()) return JoinPath(programDir, "orvantis.ini");
  return JoinPath(JoinPath(configHome, "orvantis"), "orvantis.ini");
}

std::string SettingsFile() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string programDir = ec ? std::string(".") : program.parent_path().string();

  std::string configHome;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    configHome = xdg;
  } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
    configHome = JoinPath(home, ".config");
  }
  const std::string file = SettingsFileIn(programDir, configHome);
  // The configuration directory may not exist yet; create it so the first write can succeed.
  const std::string dir = DirectoryOf(file);
  if (!WritableDirectory(dir)) {
    if (std::filesystem::create_directories(dir, ec))
      std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
  }
  return file;
}

}  // namespace orv
