// Where the files of a receipt go: DIR/receipt-0001.txt for the transcript, and next to it the
// picture a renderer makes (receipt-0001.png).
#pragma once

#include <string>

namespace dovra::emulator {

// "receipt-0001" for 1.
std::string ReceiptBaseName(int number);
// One past the highest receipt number of any receipt-NNNN.* file in `dir` (1 when there is none
// or the folder does not exist), so earlier receipts are never overwritten.
int NextReceiptNumber(const std::string& dir);

}  // namespace dovra::emulator
