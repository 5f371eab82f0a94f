// Small text helpers shared by the device's source files (not part of the public interface).
#pragma once

#include <string>

namespace dovra::device_detail {

// ASCII upper case; other bytes are kept.
std::string Upper(const std::string& text);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
bool EqualsNoCase(const std::string& a, const std::string& b);
// n of "<prefix>n" for n >= 1 written in digits only; 0 otherwise. upperName is upper case.
int PortNumber(const std::string& upperName, const std::string& prefix);
// Without the blanks and control characters at both ends.
std::string TrimBlanks(const std::string& text);
// seconds x 1000, kept within 0 .. INT_MAX.
int SecondsToMs(int seconds);

}  // namespace dovra::device_detail
