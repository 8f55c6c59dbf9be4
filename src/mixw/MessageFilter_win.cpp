#include "mixw/MessageFilter_win.h"

#include "mixw/MixWBusy.h"

namespace pontara {

namespace {

// RetryRejectedCall's answer that cancels the call: COM then fails it with RPC_E_CALL_REJECTED
// (0 to 99 would try again at once, 100 and more after that many milliseconds).
constexpr DWORD GiveUp = static_cast<DWORD>(-1);

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

// A call MixW turned away is never waited for inside the call (mixw/MixWBusy.h): COM's wait
// between tries would keep the thread from the operator's input for as long as MixW's dialog
// stays open. The bridge puts the call off instead and tries it again from its own timer.
// A worker's thread takes no input, and waits between tries within its bound.
DWORD STDMETHODCALLTYPE MessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
    if (rejectType == SERVERCALL_RETRYLATER && tickCount < retryBusyFor_) {
        return mixw::RetryBusyEvery;
    }
    return GiveUp;
}

// COM's default handling, as without a filter: while a call waits, painting and activation go
// on, input waits, and the bridge's own posted messages and timer ticks stay queued.
DWORD STDMETHODCALLTYPE MessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    return PENDINGMSG_WAITDEFPROCESS;
}

ScopedMessageFilter::ScopedMessageFilter(DWORD retryBusyFor)
    : filter_(retryBusyFor), result_(CoRegisterMessageFilter(&filter_, &previous_)) {}

ScopedMessageFilter::~ScopedMessageFilter() {
    if (result_ == S_OK) {
        CoRegisterMessageFilter(previous_, nullptr);
    }
    if (previous_ != nullptr) {
        previous_->Release();
    }
}

}  // namespace pontara
