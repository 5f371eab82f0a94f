// The INI reader and writer on arbitrary file contents. The input is split at its first two
// NUL bytes into a section name, a key name and the file text, whose start is also the value
// written. Checked: the text comes back
// byte for byte when nothing is written; a write that is accepted reads back as the trimmed
// value and leaves the other keys' values as they were; a save followed by a load gives the
// same contents.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/IniFile.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string_view Trimmed(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Next(std::string_view& rest) {
  std::size_t nul = rest.find('\0');
  std::string_view part = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  return part;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string& SaveFolder() {
  static std::string folder;
  return folder;
}

void RemoveSaveFolder() {
  const std::string file = SaveFolder() + "/Pdv.ini";
  ::unlink(file.c_str());
  ::rmdir(SaveFolder().c_str());
}

// One private folder for the whole run, removed when the fuzzer exits.
const std::string& SavePath() {
  static const std::string path = [] {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string dir = std::string(base) + "/inifile-fuzz-XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr) std::abort();
    SaveFolder() = dir;
    std::atexit(RemoveSaveFolder);
    return dir + "/Pdv.ini";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view section = Next(rest);
  const std::string_view key = Next(rest);
  const std::string_view text = rest;

  dovra::TIniFile ini;
  ini.LoadFromText(text);
  Check(ini.Text() == text);

  const std::string before = ini.ReadString("PosPrinter", "Porta", "");
  (void)ini.ReadInteger("PosPrinter", "Colunas", 48);
  (void)ini.ReadBool(section, key, true);
  (void)dovra::ParseIniInteger(ini.ReadString(section, key, ""));

  // Mostly a value without line breaks (which the writer takes), sometimes raw bytes.
  std::string_view value = text.substr(0, 40);
  if (size % 2 == 0) value = value.substr(0, value.find_first_of("\r\n"));
  bool accepted = true;
  try {
    ini.WriteString(section, key, value);
  } catch (const dovra::EDovraError&) {
    accepted = false;
    Check(ini.Text() == text);
  }
  if (accepted) {
    Check(ini.ReadString(section, key, "\x01") == Trimmed(value));
    if (!SameName(Trimmed(section), "PosPrinter") || !SameName(Trimmed(key), "Porta")) {
      Check(ini.ReadString("PosPrinter", "Porta", "") == before);
    }
  }

  ini.WriteInteger("Logo", "KC1", -32);
  Check(ini.ReadInteger("Logo", "KC1", 0) == -32);

  ini.SetFileName(SavePath());
  ini.Save();
  dovra::TIniFile back(SavePath());
  Check(back.Text() == ini.Text());
  return 0;
}
