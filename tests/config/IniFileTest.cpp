#include "util/IniFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <filesystem>

#include "tests/support/TempFolder.h"

namespace dovra {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

TIniFile FromText(const std::string& text) {
  TIniFile ini;
  ini.LoadFromText(text);
  return ini;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct ReadCase {
  const char* what;
  std::string text;
  const char* section;
  const char* key;
  const char* expected;  // "<padrão>" is the default passed in
};

TEST(IniFileRead, MatchesLikeThePrivateProfileFunctions) {
  const std::vector<ReadCase> cases = {
      {"byte-order mark before the first section", "\xEF\xBB\xBF[PosPrinter]\r\nPorta=COM1\r\n",
       "PosPrinter", "Porta", "COM1"},
      {"names without regard to case, value trimmed", "[posprinter]\r\n  PORTA =  COM3  \r\n",
       "PosPrinter", "Porta", "COM3"},
      {"first of two equal keys", "[S]\nk=1\nK=2\n", "S", "k", "1"},
      {"only the first of two equal sections", "[S]\na=1\n[s]\nb=2\n", "S", "b", "<padrão>"},
      {"comment lines are no keys", "[S]\n;k=1\n # k=2\n", "S", "k", "<padrão>"},
      {"a line without = is no key", "[S]\nk\n", "S", "k", "<padrão>"},
      {"keys before the first section belong to none", "k=1\n[S]\n", "S", "k", "<padrão>"},
      {"section name trimmed, last line without break", "[ QRCode ]\nTipo=1", "QRCode", "Tipo",
       "1"},
      {"text after ] ignored", "[S] ; x\nk=1\n", "S", "k", "1"},
      {"empty value is a value", "[S]\nk=\n", "S", "k", ""},
      {"value keeps later =", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"missing section", "", "S", "k", "<padrão>"},
      {"key of the next section not seen", "[S]\n[T]\nk=1\n", "S", "k", "<padrão>"},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(FromText(c.text).ReadString(c.section, c.key, "<padrão>"), c.expected) << c.what;
  }
}

TEST(IniFileRead, IntegersAndBooleans) {
  struct IntCase {
    const char* text;
    std::optional<int> expected;
  };
  const std::vector<IntCase> cases = {
      {"48", 48},           {"0x30", 48},         {"0X1f", 31},       {" 12 ", 12},
      {"-5", -5},           {"+7", 7},            {"007", 7},         {"0x", std::nullopt},
      {"", std::nullopt},   {"abc", std::nullopt}, {"12a", std::nullopt}, {"-", std::nullopt},
      {"0x1g", std::nullopt}, {"1.5", std::nullopt}, {"2147483647", INT_MAX},
      {"2147483648", std::nullopt}, {"-2147483648", INT_MIN}, {"0x7FFFFFFF", INT_MAX},
      {"0x80000000", std::nullopt}, {"99999999999999999999", std::nullopt},
  };
  for (const IntCase& c : cases) EXPECT_EQ(ParseIniInteger(c.text), c.expected) << c.text;

  TIniFile ini = FromText("[S]\nseven=7\nzero=0\nword=abc\nhex=0x30\nempty=\n");
  EXPECT_TRUE(ini.ReadBool("S", "seven", false));
  EXPECT_FALSE(ini.ReadBool("S", "zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "word", true));
  EXPECT_FALSE(ini.ReadBool("S", "word", false));
  EXPECT_EQ(ini.ReadInteger("S", "hex", 1), 48);
  EXPECT_EQ(ini.ReadInteger("S", "empty", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "missing", 9), 9);
}

TEST(IniFileWrite, ChangesOnlyTheLinesWritten) {
  TIniFile ini = FromText(
      "; Configuração do PDV\r\n"
      "[PosPrinter]\r\n"
      "Modelo=1\r\n"
      "  Porta = COM1\r\n"
      "Extra=mantido\r\n"
      "\r\n"
      "; fim da seção\r\n"
      "[Outra]\n"
      "Chave=valor\n"
      "[Barras]\n"
      "Altura=10");
  ini.WriteString("posprinter", "PORTA", "COM2");
  ini.WriteString("PosPrinter", "Modelo", "1");
  ini.WriteString("PosPrinter", "Colunas", "48");
  ini.WriteInteger("Barras", "Largura", -5);
  ini.WriteBool("Logo", "Ligado", true);
  ini.WriteString("Logo", "KC1", "32");
  EXPECT_EQ(ini.Text(),
            "; Configuração do PDV\r\n"
            "[PosPrinter]\r\n"
            "Modelo=1\r\n"
            "  Porta = COM2\r\n"
            "Extra=mantido\r\n"
            "Colunas=48\n"
            "\r\n"
            "; fim da seção\r\n"
            "[Outra]\n"
            "Chave=valor\n"
            "[Barras]\n"
            "Altura=10\n"
            "Largura=-5\n"
            "[Logo]\n"
            "Ligado=1\n"
            "KC1=32\n");
}

TEST(IniFileWrite, NewKeyInAnEmptySectionFollowsItsHeader) {
  TIniFile ini = FromText("[S]\r\n[T]\r\nk=1\r\n");
  ini.WriteString("S", "k", "2");
  EXPECT_EQ(ini.Text(), "[S]\r\nk=2\n[T]\r\nk=1\r\n");
  EXPECT_EQ(ini.ReadString("T", "k", ""), "1");
}

TEST(IniFileWrite, RefusesWhatCouldNotBeReadBack) {
  struct BadWrite {
    const char* section;
    const char* key;
    const char* value;
  };
  const std::vector<BadWrite> cases = {
      {"", "k", "v"},   {"  ", "k", "v"},  {"S]", "k", "v"},  {"S\n", "k", "v"},
      {"S", "", "v"},   {"S", "a=b", "v"}, {"S", ";k", "v"},  {"S", "[k", "v"},
      {"S", "#k", "v"}, {"S", "k\r", "v"}, {"S", "k", "a\nb"}, {"S", "k", "a\rb"},
  };
  const std::string original = "[S]\nk=1\n";
  for (const BadWrite& c : cases) {
    TIniFile ini = FromText(original);
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EDovraError)
        << '"' << c.section << "\" \"" << c.key << "\" \"" << c.value << '"';
    EXPECT_EQ(ini.Text(), original);
  }
}

TEST(IniFileSave, CreatesAMissingFileAndKeepsTheFolderClean) {
  TempFolder dir;
  const std::string path = dir.File("Pdv.ini");
  TIniFile ini(path);
  EXPECT_EQ(ini.Text(), "");
  ini.WriteString("S", "k", "v");
  ini.Save();
  ini.Save();
  EXPECT_EQ(ReadFile(path), "[S]\nk=v\n");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Pdv.ini"});
}

TEST(IniFileSave, KeepsPermissionsAndFollowsSymbolicLinks) {
  TempFolder dir;
  const std::string real = dir.File("real.ini");
  const std::string link = dir.File("link.ini");
  WriteFile(real, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);

  TIniFile ini(link);
  ini.WriteString("S", "k", "2");
  ini.Save();

  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "[S]\nk=2\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Each way a save can fail must raise a file error naming the file and leave the file that
// was there before untouched, with no temporary file left behind.
TEST(IniFileSave, FailureKeepsTheOldFileAndNamesIt) {
  enum class Failure { MissingFolder, ReadOnlyFolder, DiskFull };
  for (Failure failure : {Failure::MissingFolder, Failure::ReadOnlyFolder, Failure::DiskFull}) {
    if (failure == Failure::ReadOnlyFolder && ::geteuid() == 0) continue;  // root writes anyway
    SCOPED_TRACE(static_cast<int>(failure));
    TempFolder dir;
    const std::string old = "[S]\nk=antigo\n";
    std::string path = dir.File("Pdv.ini");
    if (failure == Failure::MissingFolder) {
      path = dir.File("nao-existe/Pdv.ini");
    } else {
      WriteFile(path, old);
    }
    TIniFile ini(path);
    ini.WriteString("S", "k", std::string(4096, 'x'));

    struct rlimit saved {};
    void (*savedHandler)(int) = SIG_DFL;
    if (failure == Failure::ReadOnlyFolder) ::chmod(dir.Path().c_str(), 0555);
    if (failure == Failure::DiskFull) {
      // A file size limit makes write() fail half-way, as a full disk does.
      ::getrlimit(RLIMIT_FSIZE, &saved);
      struct rlimit small = saved;
      small.rlim_cur = 100;
      savedHandler = std::signal(SIGXFSZ, SIG_IGN);
      ::setrlimit(RLIMIT_FSIZE, &small);
    }
    std::string message;
    try {
      ini.Save();
    } catch (const EFileError& e) {
      message = e.what();
    }
    if (failure == Failure::DiskFull) {
      ::setrlimit(RLIMIT_FSIZE, &saved);
      std::signal(SIGXFSZ, savedHandler);
    }
    if (failure == Failure::ReadOnlyFolder) ::chmod(dir.Path().c_str(), 0755);

    EXPECT_NE(message.find(path), std::string::npos) << message;
    if (failure == Failure::MissingFolder) {
      EXPECT_FALSE(std::filesystem::exists(path));
    } else {
      EXPECT_EQ(ReadFile(path), old);
      EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Pdv.ini"});
    }
  }
}

TEST(IniFileLoad, AnUnreadableFileIsAnErrorNotAnEmptyFile) {
  TempFolder dir;
  // Reading a folder fails after it was opened; an empty INI would let a later save
  // replace whatever the name stands for.
  try {
    TIniFile ini(dir.Path().string());
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.Path().string()), std::string::npos);
  }
  EXPECT_EQ(TIniFile(dir.File("ausente/Pdv.ini")).Text(), "");
}

}  // namespace
}  // namespace dovra
