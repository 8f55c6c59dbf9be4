#include "bridge/MainWindowMembers.h"

#include "platform/PlatformError.h"

namespace pontara {

MixWAutomation& MainWindowMembers::MixW() const {
    if (!MixWApp) {
        constexpr std::uint32_t ObjectNotSet = 0x80004003;  // E_POINTER
        throw PlatformError(u"Calling MixW", ObjectNotSet, u"MixW is not attached");
    }
    return *MixWApp;
}

}  // namespace pontara
