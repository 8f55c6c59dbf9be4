#pragma once
// MixW's automation object, attached to the running MixW (class "MixW2.Application"; a new
// instance is never started) and called by member name.
// Responsibilities: the calls the bridge makes on MixW, in the bridge's own types.
// Collaborations: obtained from Host::AttachMixW; every failure is a PlatformError.
//
// clang-format off
// Members, as MixW's IDispatch names them:
//   GetQsoData(index: 16-bit integer) -> value shown as text   item 19 the locator, 13 the state
//   SetQsoData(index: 16-bit integer, value: text by reference) 0 call, 1 name, 2 RST rcvd, 5 RST sent
//   ExecuteMacros(macro: text)                                  result ignored
//   FqA      (property) -> number, hertz: the dial frequency
//   AudioFq  (property) -> number, hertz: the audio offset
//
// Macros the bridge sends (mixw/MixWMacros.h holds them as constants):
//   "<TOGGLECATPORT>" "<TOGGLEPTTPORT>"         MixW opens or closes its CAT and PTT ports
//   "<ZFQ:" kHz ">"                              MixW tunes
//   "<MODE:CW>" "<MODE:SSB>" "<MODE:RTTY>" "<MODE:BPSK31>" "<BAUDRATE:63>" "<BAUDRATE:125>"
//   "<MODE:MFSK>"                                mode changes
//   "<CLEARQSO>" "<FIXSTARTTIME>" "<SAVEQSO>"    QSO entry actions
//
// DDE server "MixW" (the fields' automatic links): topics "QSO" and "CAT", items as in
// bridge/ForwardedFields.h. Names compare without regard to case. "Command" reads "Save" when
// the operator saves the QSO and "Remove" when the operator removes it.
// clang-format on

#include <cstdint>
#include <string_view>

#include "platform/Text.h"

namespace pontara {

class MixWAutomation {
  public:
    virtual ~MixWAutomation() = default;

    virtual Text GetQsoData(std::int16_t index) = 0;
    virtual void SetQsoData(std::int16_t index, Text& value) = 0;
    virtual void ExecuteMacros(const Text& macro) = 0;
    virtual double FqA() = 0;
    virtual double AudioFq() = 0;
};

namespace mixw {

// The indices of GetQsoData and SetQsoData that the bridge and its stand-ins use.
enum QsoDataIndex : std::int16_t {
    CallIndex = 0,
    NameIndex = 1,
    RstReceivedIndex = 2,
    RstSentIndex = 5,
    StateIndex = 13,
    LocatorIndex = 19,
};

// The service name of MixW's DDE server.
inline constexpr std::u16string_view DdeService = u"MixW";

}  // namespace mixw

}  // namespace pontara
