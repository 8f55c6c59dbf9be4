#include "platform/PlatformError.h"

#include <cstdio>

namespace pontara {

PlatformError::PlatformError(Text attempted, std::uint32_t code, Text systemMessage)
    : std::runtime_error(AsciiOf(attempted) + " failed: " + AsciiOf(systemMessage)),
      attempted_(std::move(attempted)),
      code_(code),
      systemMessage_(std::move(systemMessage)) {}

Text PlatformError::Describe() const {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(code_));
    return attempted_ + u" failed.\n\n" + systemMessage_ + u" (error 0x" + AsciiText(hex) + u")";
}

}  // namespace pontara
