#include "DovraErrors.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace dovra {

namespace {

// "std::__cxx11::foo[abi:cxx11]" -> "foo"; namespaces inside template arguments stay.
std::string WithoutNamespace(std::string name) {
  for (std::size_t p; (p = name.find("[abi:")) != std::string::npos;) {
    const std::size_t end = name.find(']', p);
    name.erase(p, end == std::string::npos ? std::string::npos : end - p + 1);
  }
  int depth = 0;
  std::size_t cut = 0;
  for (std::size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] == '<' || name[i] == '(') ++depth;
    else if (name[i] == '>' || name[i] == ')') --depth;
    else if (depth == 0 && name[i] == ':' && name[i + 1] == ':') cut = i + 2;
  }
  return name.substr(cut);
}

}  // namespace

std::string ErrorClassName(const std::exception& e) {
  if (const auto* dovraError = dynamic_cast<const EDovraError*>(&e)) return dovraError->ClassName();
  const char* mangled = typeid(e).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return WithoutNamespace(status == 0 && demangled ? demangled.get() : mangled);
}

}  // namespace dovra
