#include "emulator/model/Receipt.h"

namespace dovra::emulator {

bool TReceipt::HasContent() const {
  for (const TElement& e : elements) {
    if (!std::holds_alternative<TConfiguration>(e)) return true;
  }
  return false;
}

}  // namespace dovra::emulator
