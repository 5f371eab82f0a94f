#include "emulator/transcript/ReceiptFiles.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace dovra::emulator {

std::string ReceiptBaseName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "receipt-%04d", number);
  return name;
}

int NextReceiptNumber(const std::string& dir) {
  namespace fs = std::filesystem;
  int highest = 0;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with("receipt-")) continue;
    std::size_t i = 8;
    int n = 0;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) && n < 100000000) {
      n = n * 10 + (name[i] - '0');
      ++i;
    }
    if (i == 8 || i >= name.size() || name[i] != '.') continue;
    if (n > highest) highest = n;
  }
  return highest + 1;
}

}  // namespace dovra::emulator
