#pragma once
#include <functional>
#include <string>
#include <vector>

namespace dovra {

// An ordered list of text lines that tells a listener after every change of its contents.
class TDovraStringList {
 public:
  using ChangeHandler = std::function<void()>;

  void SetOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }

  void Add(std::string line) {
    lines_.push_back(std::move(line));
    Changed();
  }
  void Insert(std::size_t index, std::string line) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    Changed();
  }
  void Clear() {
    lines_.clear();
    Changed();
  }
  // Replaces the whole contents with one notification.
  void Assign(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    Changed();
  }

  std::size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](std::size_t i) const { return lines_[i]; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  void Changed() {
    if (onChange_) onChange_();
  }
  std::vector<std::string> lines_;
  ChangeHandler onChange_;
};

}  // namespace dovra
