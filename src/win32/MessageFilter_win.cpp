#include "win32/MessageFilter_win.h"

#include <optional>

#include "mixw/BusyRetry.h"

namespace pontara {

namespace {

// RetryRejectedCall's answers: -1 gives up (the call fails with RPC_E_CALL_REJECTED), 0 to 99
// try again at once, 100 and more wait that many milliseconds first.
constexpr DWORD GiveUp = static_cast<DWORD>(-1);
constexpr int ShortestWait = 100;
static_assert(mixw::BusyRetryPause >= ShortestWait, "COM tries again at once below 100 ms");

}  // namespace

HRESULT STDMETHODCALLTYPE MessageFilter::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MessageFilter::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE MessageFilter::Release() {
    return --references_;
}

// The bridge serves no object of its own; whatever comes in is taken (SERVERCALL_ISHANDLED:
// "the application might be able to process the call"), as without a filter.
DWORD STDMETHODCALLTYPE MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

// `tickCount` counts the milliseconds since the call was first made. A call turned away for
// good (SERVERCALL_REJECTED) is not tried again.
DWORD STDMETHODCALLTYPE MessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
    if (rejectType != SERVERCALL_RETRYLATER) {
        return GiveUp;
    }
    const std::optional<int> pause = mixw::BusyRetryPauseAfter(static_cast<int>(tickCount));
    return pause ? static_cast<DWORD>(*pause) : GiveUp;
}

// COM's default handling, as without a filter: while a call waits, painting and activation go
// on, input waits, and the bridge's own posted messages and timer ticks stay queued.
DWORD STDMETHODCALLTYPE MessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    return PENDINGMSG_WAITDEFPROCESS;
}

ScopedMessageFilter::ScopedMessageFilter()
    : result_(CoRegisterMessageFilter(&filter_, &previous_)) {}

ScopedMessageFilter::~ScopedMessageFilter() {
    if (result_ == S_OK) {
        CoRegisterMessageFilter(previous_, nullptr);
    }
    if (previous_ != nullptr) {
        previous_->Release();
    }
}

}  // namespace pontara
