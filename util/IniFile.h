#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/DovraErrors.h"

namespace dovra {

// A Windows-style INI file held in memory, line by line, so that writing a key touches
// only that key's line: every other line, comment, blank and line ending stays byte for
// byte. Sections and keys are matched without regard to ASCII letter case; the first
// section (and inside it the first key) of a given name is the one read and written.
//
// Lines: "[name]" opens a section (text after the last "]" is ignored); "key=value" is a
// key line (key and value trimmed of blanks); lines starting with ";" or "#" and lines
// without "=" are kept as they are and never match. Lines before the first section belong
// to no section. A UTF-8 byte-order mark at the start of the file is kept and ignored.
//
// New keys go after the last key line of their section, new sections at the end of the
// file; both are written with LF line endings.
class TIniFile {
 public:
  TIniFile() = default;
  // Same as Load(fileName).
  explicit TIniFile(const std::string& fileName);

  // Reads the file. A missing file (or missing folder) gives an empty INI; any other
  // failure raises EFileError naming the file. The name is kept for Save().
  void Load(const std::string& fileName);
  // Takes the contents from memory; the file name is kept for Save().
  void LoadFromText(std::string_view text, const std::string& fileName = "");

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }

  // The value trimmed of blanks, or `def` when the section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  bool SectionExists(std::string_view section) const;

  // Replaces the key's value, or adds the key (and its section). A section or key name
  // that is empty or could not be read back ("]" in a section, "=" in a key, a leading
  // "[", ";" or "#", a line break), and a value holding a line break, raise EDovraError
  // and change nothing. Writing the value already stored leaves the line untouched.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Integers: decimal, or hexadecimal after "0x"/"0X"; a missing key, an empty value, text
  // that is not a whole number or a number outside the 32-bit range gives `def`.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // Booleans are integers: any non-zero number is true; written as "1" or "0".
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The file's contents as Save() writes them.
  std::string Text() const;

  // Writes the contents to FileName() atomically: a temporary file beside it is written,
  // flushed to disk and renamed over the file, so the old file stays intact when anything
  // fails. A symbolic link is followed and its target replaced. Raises EFileError naming
  // the file and the system's reason.
  void Save() const;

 private:
  struct Line {
    std::string text;  // without its line ending
    std::string eol;   // "\n", "\r\n" or "" (last line without one)
  };

  // Index of the header line of the first section named `section`, if any.
  std::optional<std::size_t> FindSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const;
  std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const;
  // Inserts `text` as a new LF-terminated line before index `at`.
  void InsertLine(std::size_t at, std::string text);

  std::string fileName_;
  std::vector<Line> lines_;
};

// The integer encoding of INI values: decimal with an optional sign, or hexadecimal after
// "0x"/"0X" (at least one digit); the result must fit in 32 signed bits.
std::optional<int> ParseIniInteger(std::string_view text);

}  // namespace dovra
