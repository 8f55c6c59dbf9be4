#pragma once
// A failed automation call or control operation, as the Windows side reports it: what was
// attempted, the system's code and the system's own message. Handlers do not catch it; the
// program-wide rule (app/ErrorRule.h) shows it once and ends the program.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Text.h"

namespace pontara {

class PlatformError : public std::runtime_error {
  public:
    PlatformError(Text attempted, std::uint32_t code, Text systemMessage);

    const Text& Attempted() const { return attempted_; }
    std::uint32_t Code() const { return code_; }
    const Text& SystemMessage() const { return systemMessage_; }

    // "<attempted> failed.\n\n<system message> (error 0x<code>)": the text of the error box.
    Text Describe() const;

  private:
    Text attempted_;
    std::uint32_t code_;
    Text systemMessage_;
};

}  // namespace pontara
