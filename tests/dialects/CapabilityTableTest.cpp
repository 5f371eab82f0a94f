// docs/dialetos.md must be what the dialects really do. The program takes one option of its
// own: --gerar-tabela writes the regenerated document to docs/dialetos.md of the source tree
// (--gerar-tabela=PATH writes it to PATH instead) before the tests run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "tests/dialects/CapabilityTable.h"

namespace dovra {
namespace {

const std::string kDocument = std::string(DOVRA_SOURCE_DIR) + "/docs/dialetos.md";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DialectCapabilities, DocumentMatchesTheDialects) {
  const std::string generated = DialectCapabilityTable();
  EXPECT_TRUE(ReadFile(kDocument) == generated)
      << kDocument << " is out of date. Regenerated text:\n\n"
      << generated
      << "\nUpdate it with: tests/dialects/dialect_capabilities_test --gerar-tabela (in the build "
         "folder), then review the difference.";
}

bool WriteDocument(const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << DialectCapabilityTable();
  out.close();
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("wrote %s\n", path.c_str());
  return true;
}

}  // namespace
}  // namespace dovra

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  constexpr std::string_view kOption = "--gerar-tabela";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == kOption) {
      if (!dovra::WriteDocument(dovra::kDocument)) return 1;
    } else if (arg.starts_with(kOption) && arg.size() > kOption.size() && arg[kOption.size()] == '=') {
      if (!dovra::WriteDocument(std::string(arg.substr(kOption.size() + 1)))) return 1;
    } else {
      std::fprintf(stderr, "unknown option: %s\n", argv[i]);
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
