#pragma once
// The COM message filter of a thread that calls MixW: the user-interface thread's, registered
// for the life of the program, and a worker's (mixw/WorkerMixW_win.h).
// Responsibilities: what COM asks the bridge while a call to MixW waits: whether to try again a
// call MixW turned away as busy (never on the user-interface thread, within its bound on a
// worker's: mixw/MixWBusy.h), what to do with messages that arrive, and whether to take an
// incoming call.
// Collaborations: registered by the program entry (win32host/Main_win.cpp) and the worker inside
// the thread's COM apartment (win32/ScopedCom_win.h).
//
// Windows' COM asks this filter about a call that MixW answers "retry later"
// (SERVERCALL_RETRYLATER, as MixW does while a dialog of its own is open); the filter cancels it,
// and the call fails at once with RPC_E_CALL_REJECTED. Wine 8 delivers such a call anyway and
// never asks.

#include <objbase.h>
#include <windows.h>

namespace pontara {

class MessageFilter final : public IMessageFilter {
  public:
    // A call MixW turns away is tried again for `retryBusyFor` milliseconds: none on the
    // user-interface thread, the bound of a worker's wait on a thread of its own.
    explicit MessageFilter(DWORD retryBusyFor) : retryBusyFor_(retryBusyFor) {}

    // IUnknown. The filter lives as long as its ScopedMessageFilter, which revokes it first;
    // the count is kept for COM's sake only.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IMessageFilter.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO interfaceInfo) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount,
                                              DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount,
                                           DWORD pendingType) override;

  private:
    DWORD retryBusyFor_;
    ULONG references_ = 0;
};

// Registers a MessageFilter on the calling thread (CoRegisterMessageFilter) and puts the previous
// filter back when it goes. The thread must be in a single-threaded apartment.
class ScopedMessageFilter {
  public:
    explicit ScopedMessageFilter(DWORD retryBusyFor);
    ~ScopedMessageFilter();
    ScopedMessageFilter(const ScopedMessageFilter&) = delete;
    ScopedMessageFilter& operator=(const ScopedMessageFilter&) = delete;

    // S_OK once registered; S_FALSE when COM refused the filter.
    HRESULT Result() const { return result_; }

  private:
    MessageFilter filter_;
    IMessageFilter* previous_ = nullptr;
    HRESULT result_;
};

}  // namespace pontara
