#pragma once

#include <memory>
#include <optional>
#include <string>

#include "emulator/dialects/Query.h"
#include "emulator/responder/Conditions.h"
#include "emulator/responder/Identity.h"
#include "engine/DovraPosTypes.h"

namespace dovra::emulator {

// The answers of one printer model to status and identification queries, built from the
// printer's conditions and identity.
class TResponder {
 public:
  explicit TResponder(TIdentity identity) : identity_(std::move(identity)) {}
  virtual ~TResponder() = default;

  // The reply, or nothing when this printer does not answer the query.
  virtual std::optional<std::string> Answer(const TQuery& query, TConditions now) const = 0;
  // The conditions this model's status replies can show at all.
  virtual TConditions Reportable() const = 0;

  const TIdentity& Identity() const { return identity_; }

 protected:
  TIdentity identity_;
};

// Texto and ESC/P2 printers answer nothing.
std::unique_ptr<TResponder> MakeResponder(TDovraPosPrinterModelo modelo, TIdentity identity);

// Per-model answers (also used by the tests of each model).
std::optional<std::string> EscPosAnswer(const TQuery& q, TConditions now, const TIdentity& id);
std::optional<std::string> BematechAnswer(const TQuery& q, TConditions now, const TIdentity& id);
std::optional<std::string> ElginAnswer(const TQuery& q, TConditions now, const TIdentity& id);
std::optional<std::string> DarumaAnswer(const TQuery& q, TConditions now, const TIdentity& id);

}  // namespace dovra::emulator
