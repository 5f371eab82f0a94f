#pragma once
#include <string>
#include <string_view>

namespace dovra {

// CR LF, lone CR and lone LF all become newBreak, unless the text holds only
// blanks and control characters (codes 0 to 32), which comes back unchanged.
std::string ReplaceLineBreaks(std::string_view text, std::string_view newBreak);

// True when ReplaceLineBreaks(text, newBreak) would certainly return text unchanged (a cheap
// test that lets callers skip the copy); false means it may change it.
bool LineBreaksUnchanged(std::string_view text, std::string_view newBreak);

}  // namespace dovra
