#pragma once
// A double written with up to 15 significant digits, no trailing zeros and no thousands
// separator, switching to an exponent ("1E+16", "1E-05") beyond that range, as Windows'
// variant conversion writes it; the decimal separator is given.

#include "platform/Text.h"

namespace pontara {

Text SignificantDigitsText(double value, TextView decimalSeparator);

}  // namespace pontara
