#include "util/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "util/FileDescriptor.h"
#include "util/Numbers.h"

namespace dovra {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr const char* kIniErrorClass = "EIniFileException";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed
  std::size_t valueStart = 0;  // offset of the value in the line (after "=" and blanks)
};

ParsedLine Parse(std::string_view text, bool firstLine) {
  ParsedLine p;
  std::size_t offset = 0;
  if (firstLine && text.substr(0, kBom.size()) == kBom) offset = kBom.size();
  std::string_view body = text.substr(offset);
  std::string_view t = Trim(body);
  if (t.empty() || t.front() == ';' || t.front() == '#') return p;
  if (t.front() == '[') {
    std::size_t close = t.rfind(']');
    if (close != std::string_view::npos) {
      p.kind = LineKind::Section;
      p.name = Trim(t.substr(1, close - 1));
      return p;
    }
  }
  std::size_t eq = body.find('=');
  if (eq == std::string_view::npos) return p;
  std::string_view key = Trim(body.substr(0, eq));
  if (key.empty()) return p;
  p.kind = LineKind::Key;
  p.name = key;
  std::size_t v = eq + 1;
  while (v < body.size() && IsBlank(body[v])) ++v;
  p.valueStart = offset + v;
  p.value = Trim(body.substr(eq + 1));
  return p;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

void CheckSectionName(std::string_view section) {
  std::string_view t = Trim(section);
  if (t.empty() || HasLineBreak(section) || t.find(']') != std::string_view::npos) {
    throw EDovraError(kIniErrorClass, "Nome de seção inválido: \"" + std::string(section) + "\"");
  }
}

void CheckKeyName(std::string_view key) {
  std::string_view t = Trim(key);
  if (t.empty() || HasLineBreak(key) || t.find('=') != std::string_view::npos ||
      t.front() == '[' || t.front() == ';' || t.front() == '#') {
    throw EDovraError(kIniErrorClass, "Nome de chave inválido: \"" + std::string(key) + "\"");
  }
}

[[noreturn]] void RaiseWriteError(const std::string& fileName, int err) {
  RaiseFileError(kIniErrorClass, "Não foi possível gravar o arquivo " + fileName, err);
}

// Closes a descriptor and removes a temporary file unless released.
class TempFile {
 public:
  TempFile(FileDescriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
  ~TempFile() {
    fd_.Close();
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  int fd() const { return fd_.Get(); }
  const std::string& path() const { return path_; }
  int Close() { return fd_.Close(); }
  void Release() { path_.clear(); }

 private:
  FileDescriptor fd_;
  std::string path_;
};

// The file a save really replaces: the target of a symbolic link, else the name itself.
std::string ResolveTarget(const std::string& fileName) {
  struct stat st {};
  if (::lstat(fileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(fileName.c_str(), nullptr),
                                                      &std::free);
    if (real) return real.get();
  }
  return fileName;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::optional<int> ParseIniInteger(std::string_view text) {
  return ReadInteger(Trim(text), {.dollarHex = false, .signedHex = false});
}

TIniFile::TIniFile(const std::string& fileName) { Load(fileName); }

void TIniFile::Load(const std::string& fileName) {
  std::string contents;
  if (!fileName.empty()) {
    FileDescriptor fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
      const int err = errno;
      if (err != ENOENT && err != ENOTDIR)
        RaiseFileError(kIniErrorClass, "Não foi possível ler o arquivo " + fileName, err);
    } else if (!ReadAll(fd.Get(), contents)) {
      const int err = errno;
      RaiseFileError(kIniErrorClass, "Não foi possível ler o arquivo " + fileName, err);
    }
  }
  LoadFromText(contents, fileName);
}

void TIniFile::LoadFromText(std::string_view text, const std::string& fileName) {
  fileName_ = fileName;
  lines_.clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    Line line;
    if (nl == std::string_view::npos) {
      line.text = std::string(text.substr(pos));
      pos = text.size();
    } else {
      std::size_t end = nl;
      if (end > pos && text[end - 1] == '\r') {
        --end;
        line.eol = "\r\n";
      } else {
        line.eol = "\n";
      }
      line.text = std::string(text.substr(pos, end - pos));
      pos = nl + 1;
    }
    lines_.push_back(std::move(line));
  }
}

std::optional<std::size_t> TIniFile::FindSection(std::string_view section) const {
  std::string_view wanted = Trim(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    ParsedLine p = Parse(lines_[i].text, i == 0);
    if (p.kind == LineKind::Section && SameName(p.name, wanted)) return i;
  }
  return std::nullopt;
}

std::size_t TIniFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && Parse(lines_[i].text, false).kind != LineKind::Section) ++i;
  return i;
}

std::optional<std::size_t> TIniFile::FindKey(std::size_t header, std::string_view key) const {
  std::string_view wanted = Trim(key);
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    ParsedLine p = Parse(lines_[i].text, false);
    if (p.kind == LineKind::Key && SameName(p.name, wanted)) return i;
  }
  return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  auto header = FindSection(section);
  if (!header) return std::string(def);
  auto line = FindKey(*header, key);
  if (!line) return std::string(def);
  return std::string(Parse(lines_[*line].text, false).value);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  auto header = FindSection(section);
  return header && FindKey(*header, key);
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section).has_value();
}

void TIniFile::InsertLine(std::size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol.assign(1, '\n');  // not = "\n": g++ 12 warns falsely there
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), "\n"});
}

void TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  CheckSectionName(section);
  CheckKeyName(key);
  if (HasLineBreak(value)) {
    throw EDovraError(kIniErrorClass, "O valor de " + std::string(Trim(key)) +
                                          " não pode conter quebras de linha");
  }
  std::string newLine = std::string(Trim(key)) + "=" + std::string(value);

  auto header = FindSection(section);
  if (!header) {
    std::string sectionLine(1, '[');  // appended, not "[" + s + "]": g++ 12 warns falsely there
    sectionLine.append(Trim(section)).push_back(']');
    InsertLine(lines_.size(), std::move(sectionLine));
    InsertLine(lines_.size(), std::move(newLine));
    return;
  }
  if (auto at = FindKey(*header, key)) {
    Line& line = lines_[*at];
    ParsedLine p = Parse(line.text, false);
    if (p.value == value) return;
    line.text = line.text.substr(0, p.valueStart) + std::string(value);
    return;
  }
  std::size_t insertAt = *header + 1;
  std::size_t end = SectionEnd(*header);
  for (std::size_t i = *header + 1; i < end; ++i) {
    if (Parse(lines_[i].text, false).kind == LineKind::Key) insertAt = i + 1;
  }
  InsertLine(insertAt, std::move(newLine));
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  auto header = FindSection(section);
  if (!header) return def;
  auto line = FindKey(*header, key);
  if (!line) return def;
  return ParseIniInteger(Parse(lines_[*line].text, false).value).value_or(def);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.eol;
  }
  return out;
}

void TIniFile::Save() const {
  if (fileName_.empty()) {
    throw EFileError(kIniErrorClass, "Não foi possível gravar o arquivo: nome do arquivo vazio");
  }
  const std::string target = ResolveTarget(fileName_);

  // The temporary file lives in the same folder, so the rename never crosses file systems.
  // Created with 0666, it gets the usual umask; a file being replaced keeps its permissions.
  const std::size_t slash = target.rfind('/');
  const std::string folder = FolderOf(target);
  const std::string prefix = (slash == std::string::npos ? "" : target.substr(0, slash + 1)) +
                             "." + target.substr(slash == std::string::npos ? 0 : slash + 1) +
                             ".";
  static std::atomic<unsigned> counter{0};
  FileDescriptor fd;
  std::string tmpName;
  for (int attempt = 0; !fd.Valid(); ++attempt) {
    tmpName = prefix + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    fd = FileDescriptor(::open(tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.Valid() && (errno != EEXIST || attempt >= 100)) RaiseWriteError(fileName_, errno);
  }
  TempFile tmp(std::move(fd), tmpName);

  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && ::fchmod(tmp.fd(), st.st_mode & 07777) != 0) {
    RaiseWriteError(fileName_, errno);
  }
  if (!WriteAll(tmp.fd(), Text())) RaiseWriteError(fileName_, errno);
  if (::fsync(tmp.fd()) != 0) RaiseWriteError(fileName_, errno);
  if (tmp.Close() != 0) RaiseWriteError(fileName_, errno);
  if (::rename(tmp.path().c_str(), target.c_str()) != 0) RaiseWriteError(fileName_, errno);
  tmp.Release();

  // Make the rename itself durable; a folder that cannot be synced does not undo the save.
  const FileDescriptor dirFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dirFd.Valid()) ::fsync(dirFd.Get());
}

}  // namespace dovra
