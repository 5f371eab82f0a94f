// The table of docs/dialetos.md: what each dialect supports, found by asking each dialect
// through a printer, so that the document follows the code.
#pragma once

#include <string>

namespace dovra {

// The whole Markdown document: a title, two lines of introduction and one table with a row
// per model. A feature counts as supported when the dialect produces a command for it; status
// and identification count when the dialect sends a query to the port (identification
// answered without asking is "fixa").
std::string DialectCapabilityTable();

}  // namespace dovra
