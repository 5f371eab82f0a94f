#pragma once
#include <string>

namespace dovra {

// A named component that another component may own; the printer and the device are components.
class TDovraComponent {
 public:
  explicit TDovraComponent(TDovraComponent* owner = nullptr) : owner_(owner) {}
  virtual ~TDovraComponent() = default;
  TDovraComponent(const TDovraComponent&) = delete;
  TDovraComponent& operator=(const TDovraComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TDovraComponent* Owner() const { return owner_; }

  // Informational property shown by property editors; writing it changes nothing.
  std::string AboutDovra() const { return "DovraPos - componentes de impressão para PDV"; }
  void SetAboutDovra(const std::string&) {}

 private:
  TDovraComponent* owner_;
  std::string name_;
};

}  // namespace dovra
