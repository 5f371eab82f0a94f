#include <iterator>

#include "dialects/DovraPosPrinterClass.h"
#include "dialects/DovraEscBematech.h"
#include "dialects/DovraEscDaruma.h"
#include "dialects/DovraEscElgin.h"
#include "dialects/DovraEscDiebold.h"
#include "dialects/DovraEscEpsonP2.h"
#include "dialects/DovraEscPosEpson.h"

namespace dovra {

namespace {

using DialectMaker = std::unique_ptr<TDovraPosPrinterClass> (*)(TDovraPosPrinter&);

template <typename Dialect>
std::unique_ptr<TDovraPosPrinterClass> Make(TDovraPosPrinter& printer) {
  return std::make_unique<Dialect>(printer);
}

struct DialectEntry {
  TDovraPosPrinterModelo modelo;
  const char* modelName;
  DialectMaker make;
};

// One line per model, in the order of the enumeration.
constexpr DialectEntry kDialects[] = {
    {ppTexto, "Texto", Make<TDovraPosPrinterClass>},
    {ppEscPosEpson, "EscPosEpson", Make<TDovraEscPosEpson>},
    {ppEscBematech, "EscBematech", Make<TDovraEscBematech>},
    {ppEscDaruma, "EscDaruma", Make<TDovraEscDaruma>},
    {ppEscVox, "EscElgin", Make<TDovraEscElgin>},
    {ppEscDiebold, "EscDiebold", Make<TDovraEscDiebold>},
    {ppEscEpsonP2, "EscEpsonP2", Make<TDovraEscEpsonP2>},
};
static_assert(std::size(kDialects) == kModeloCount);

const DialectEntry* EntryOf(TDovraPosPrinterModelo modelo) {
  for (const DialectEntry& e : kDialects)
    if (e.modelo == modelo) return &e;
  return nullptr;
}

}  // namespace

std::unique_ptr<TDovraPosPrinterClass> CreateDialect(TDovraPosPrinterModelo modelo,
                                                     TDovraPosPrinter& printer) {
  const DialectEntry* e = EntryOf(modelo);
  return e ? e->make(printer) : Make<TDovraPosPrinterClass>(printer);
}

const char* DialectModelName(TDovraPosPrinterModelo modelo) {
  const DialectEntry* e = EntryOf(modelo);
  return e ? e->modelName : kDialects[0].modelName;
}

}  // namespace dovra
