#include "emulator/responder/Responder.h"

namespace dovra::emulator {

namespace {

using C = TCondition;
using TAnswerFn = std::optional<std::string> (*)(const TQuery&, TConditions, const TIdentity&);

const TConditions kEverything{C::kPoucoPapel, C::kSemPapel,  C::kTampaAberta, C::kGavetaAberta,
                              C::kOffline,    C::kErro,      C::kImprimindo};

class TTableResponder : public TResponder {
 public:
  TTableResponder(TIdentity identity, TAnswerFn answer, TConditions reportable)
      : TResponder(std::move(identity)), answer_(answer), reportable_(reportable) {}

  std::optional<std::string> Answer(const TQuery& query, TConditions now) const override {
    if (!answer_) return std::nullopt;
    return answer_(query, now, identity_);
  }
  TConditions Reportable() const override { return reportable_; }

 private:
  TAnswerFn answer_;
  TConditions reportable_;
};

}  // namespace

std::unique_ptr<TResponder> MakeResponder(TDovraPosPrinterModelo modelo, TIdentity identity) {
  switch (modelo) {
    case ppEscPosEpson:
    case ppEscDiebold:
      return std::make_unique<TTableResponder>(std::move(identity), EscPosAnswer, kEverything);
    case ppEscBematech:
      return std::make_unique<TTableResponder>(std::move(identity), BematechAnswer, kEverything);
    case ppEscVox:
      // The ENQ byte has no error or busy bit.
      return std::make_unique<TTableResponder>(
          std::move(identity), ElginAnswer,
          TConditions{C::kPoucoPapel, C::kSemPapel, C::kTampaAberta, C::kGavetaAberta,
                      C::kOffline});
    case ppEscDaruma:
      return std::make_unique<TTableResponder>(std::move(identity), DarumaAnswer, kEverything);
    case ppTexto:
    case ppEscEpsonP2:
      break;
  }
  return std::make_unique<TTableResponder>(std::move(identity), nullptr, TConditions{});
}

}  // namespace dovra::emulator
