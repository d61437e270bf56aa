// The four usage tips and the number of the one shown last (for the life of the program).
#pragma once

#include <string>

constexpr int kTipCount = 4;

// Tip |number| (1 to 4), lines separated by CR LF; "" outside that range.
const std::string& TipText(int number);

// The current tip number: 1 when the program starts, never saved.
extern int CurrentTip;
