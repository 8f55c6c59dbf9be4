#include "mixw/WorkerMixW_win.h"

#include <objbase.h>

#include <exception>
#include <memory>
#include <thread>
#include <utility>

#include "mixw/DispatchMixW_win.h"
#include "mixw/MessageFilter_win.h"
#include "platform/PlatformError.h"
#include "win32/ScopedCom_win.h"

namespace pontara {

void CallMixWFromWorker(IDispatch* object, std::function<void(MixWAutomation&)> calls,
                        DWORD milliseconds) {
    IStream* stream = nullptr;
    if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, object, &stream))) {
        return;
    }
    // Shared with the worker, which may set it after this wait has given up.
    std::shared_ptr<void> done(CreateEventW(nullptr, TRUE, FALSE, nullptr), [](HANDLE event) {
        if (event != nullptr) {
            CloseHandle(event);
        }
    });
    if (!done) {
        stream->Release();
        return;
    }
    std::thread([stream, calls = std::move(calls), done, milliseconds] {
        {
            const ScopedComApartment apartment;
            const ScopedMessageFilter filter(milliseconds);
            ComPtr<IDispatch> own;
            if (!apartment.Entered()) {
                stream->Release();
            } else if (SUCCEEDED(
                           CoGetInterfaceAndReleaseStream(stream, IID_IDispatch, own.PutVoid()))) {
                try {
                    calls(*MixWThrough(std::move(own)));
                } catch (const PlatformError&) {
                } catch (const std::exception&) {
                }
            }
        }
        SetEvent(done.get());
    }).detach();
    WaitForSingleObject(done.get(), milliseconds);
}

}  // namespace pontara
