#include "StandInThread.h"

#include <objbase.h>

#include <exception>
#include <stdexcept>

namespace pontara::standin {

namespace {

constexpr wchar_t kWindowClass[] = L"PontaraMixWStandInThread";
// lParam: a Task to run on the stand-in's thread.
constexpr UINT kRunMessage = WM_APP + 1;
// Ends the stand-in and the thread's message loop.
constexpr UINT kStopMessage = WM_APP + 2;

struct Task {
    const std::function<void(MixWStandIn&)>* script;
    std::exception_ptr error;
};

LRESULT CALLBACK ScriptWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* standIn = reinterpret_cast<MixWStandIn*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case kRunMessage: {
            auto* task = reinterpret_cast<Task*>(lParam);
            try {
                (*task->script)(*standIn);
            } catch (...) {
                task->error = std::current_exception();
            }
            return 0;
        }
        case kStopMessage:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete standIn;
            DestroyWindow(window);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateScriptWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ScriptWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when a previous thread registered it
    return CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

StandInThread::StandInThread(std::shared_ptr<Transcript> transcript)
    : transcript_(transcript ? std::move(transcript) : std::make_shared<Transcript>()) {
    std::promise<HWND> started;
    std::future<HWND> window = started.get_future();
    thread_ = std::thread(&StandInThread::Main, std::move(started), transcript_);
    try {
        window_ = window.get();
    } catch (...) {
        thread_.join();
        throw;
    }
}

StandInThread::~StandInThread() {
    SendMessageW(window_, kStopMessage, 0, 0);
    thread_.join();
}

void StandInThread::Run(const std::function<void(MixWStandIn&)>& script) {
    Task task{&script, nullptr};
    // A sent message, not a posted one: while it waits, this thread still takes the messages
    // other threads send it (DDEML's, COM's), so the script cannot deadlock against it.
    SendMessageW(window_, kRunMessage, 0, reinterpret_cast<LPARAM>(&task));
    if (task.error) {
        std::rethrow_exception(task.error);
    }
}

void StandInThread::Main(std::promise<HWND> started, std::shared_ptr<Transcript> transcript) {
    HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND window = nullptr;
    try {
        window = CreateScriptWindow();
        if (window == nullptr) {
            throw std::runtime_error("CreateWindowEx for the MixW stand-in's thread failed");
        }
        auto* standIn = new MixWStandIn(std::move(transcript));
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(standIn));
    } catch (...) {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        if (SUCCEEDED(initialised)) {
            CoUninitialize();
        }
        started.set_exception(std::current_exception());
        return;
    }
    started.set_value(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (SUCCEEDED(initialised)) {
        CoUninitialize();
    }
}

}  // namespace pontara::standin
