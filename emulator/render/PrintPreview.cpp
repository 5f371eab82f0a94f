#include "emulator/render/PrintPreview.h"

#include <algorithm>
#include <utility>

#include "emulator/dialects/Dialects.h"
#include "emulator/model/ReceiptBuilder.h"

namespace dovra::emulator {

std::vector<TReceipt> DecodeReceipts(TDovraPosPrinterModelo modelo, std::string_view bytes,
                                     int columns) {
  std::vector<TReceipt> receipts;
  TReceiptBuilder builder(std::clamp(columns, 8, 255), [&receipts](TReceipt r) {
    r.number = static_cast<int>(receipts.size()) + 1;
    receipts.push_back(std::move(r));
  });
  const std::unique_ptr<TDecoder> decoder = MakeDecoder(modelo, builder, [](const TQuery&) {});
  decoder->Feed(bytes);
  decoder->Finish();
  return receipts;
}

}  // namespace dovra::emulator
