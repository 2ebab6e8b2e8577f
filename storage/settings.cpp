// Stand-in for the settings files until their own code lands; replaced wholesale by it. Parses and
// rewrites the whole file on every call.
#include "storage/settings.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace orv {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}
std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}
std::vector<std::string> Lines(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}
bool IsSection(const std::string& line, std::string* name) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  *name = Lower(t.substr(1, t.size() - 2));
  return true;
}

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file) {
  std::string current;
  bool inSection = false;
  for (const std::string& line : Lines(file)) {
    if (IsSection(line, &current)) {
      inSection = current == Lower(section);
      continue;
    }
    const auto eq = line.find('=');
    if (inSection && eq != std::string::npos && Lower(Trim(line.substr(0, eq))) == Lower(key))
      return line.substr(eq + 1);
  }
  return {};
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& file,
                  const std::string& value) {
  std::vector<std::string> lines = Lines(file), out;
  std::string current;
  bool inSection = false, done = false, sawSection = false;
  for (const std::string& line : lines) {
    if (IsSection(line, &current)) {
      if (inSection && !done && !key.empty() && !value.empty()) {
        out.push_back(key + "=" + value);
        done = true;
      }
      inSection = current == Lower(section);
      sawSection = sawSection || inSection;
      if (inSection && key.empty()) continue;
      out.push_back(line);
      continue;
    }
    if (inSection && key.empty()) continue;
    const auto eq = line.find('=');
    if (inSection && eq != std::string::npos && Lower(Trim(line.substr(0, eq))) == Lower(key)) {
      if (!done && !value.empty()) out.push_back(key + "=" + value);
      done = true;
      continue;
    }
    out.push_back(line);
  }
  if (!done && !key.empty() && !value.empty()) {
    if (!inSection) out.push_back("[" + section + "]");
    out.push_back(key + "=" + value);
  }
  if (out == lines && (sawSection || key.empty() || value.empty())) return true;
  std::ofstream o(file, std::ios::binary | std::ios::trunc);
  for (const std::string& line : out) o << line << "\r\n";
  o.flush();
  return static_cast<bool>(o);
}

SettingsWriteGroup::SettingsWriteGroup(std::string file) : file_(std::move(file)) {}
SettingsWriteGroup::~SettingsWriteGroup() = default;
bool SettingsWriteGroup::Close() {
  closed_ = true;
  return true;
}

std::string SettingsFileIn(const std::string& programDir, const std::string& configHome) {
  if (access(programDir.c_str(), W_OK) == 0) return programDir + "/orvantis.ini";
  return configHome + "/orvantis/orvantis.ini";
}

std::string SettingsFile() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string dir = ".";
  if (n > 0) {
    dir.assign(buf, static_cast<std::size_t>(n));
    dir = dir.substr(0, dir.rfind('/'));
  }
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  return SettingsFileIn(dir, xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.config");
}

}  // namespace orv
