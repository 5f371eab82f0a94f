#include "emulator/dialects/CommandTable.h"

namespace dovra::emulator {

std::size_t TParamLayout::Measure(std::string_view p) const {
  switch (kind) {
    case Kind::kNone:
      return 0;
    case Kind::kFixed:
      return p.size() >= count ? count : kNeedMore;
    case Kind::kLength16: {
      if (p.size() < offset + 2) return kNeedMore;
      const std::size_t n = static_cast<unsigned char>(p[offset]) +
                            256u * static_cast<unsigned char>(p[offset + 1]);
      const std::size_t total = offset + 2 + n;
      return p.size() >= total ? total : kNeedMore;
    }
    case Kind::kUntil: {
      if (p.size() < offset) return kNeedMore;
      const std::size_t at = p.find(terminator, offset);
      return at == std::string_view::npos ? kNeedMore : at + 1;
    }
    case Kind::kCustom:
      return measure ? measure(p) : kInvalid;
  }
  return kInvalid;
}

}  // namespace dovra::emulator
