#include "StandInThread.h"

#include <exception>
#include <stdexcept>

#include "win32/ScopedCom_win.h"

namespace pontara::standin {

namespace {

constexpr wchar_t kWindowClass[] = L"PontaraMixWStandInThread";
// lParam: a Task to run on the apartment's thread.
constexpr UINT kRunMessage = WM_APP + 1;
// Ends the thread's message loop.
constexpr UINT kStopMessage = WM_APP + 2;

struct Task {
    const std::function<void()>* task;
    std::exception_ptr error;
};

LRESULT CALLBACK ScriptWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRunMessage: {
            auto* task = reinterpret_cast<Task*>(lParam);
            try {
                (*task->task)();
            } catch (...) {
                task->error = std::current_exception();
            }
            return 0;
        }
        case kStopMessage:
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

StandInApartment::StandInApartment(const std::function<void()>& setUp) {
    std::promise<HWND> started;
    std::future<HWND> window = started.get_future();
    thread_ = std::thread(&StandInApartment::Main, std::move(started), &setUp);
    try {
        window_ = window.get();
    } catch (...) {
        thread_.join();
        throw;
    }
}

StandInApartment::~StandInApartment() {
    SendMessageW(window_, kStopMessage, 0, 0);
    thread_.join();
}

void StandInApartment::Run(const std::function<void()>& task) {
    Task sent{&task, nullptr};
    // A sent message, not a posted one: while it waits, this thread still takes the messages
    // other threads send it (DDEML's, COM's), so the task cannot deadlock against it.
    SendMessageW(window_, kRunMessage, 0, reinterpret_cast<LPARAM>(&sent));
    if (sent.error) {
        std::rethrow_exception(sent.error);
    }
}

void StandInApartment::Main(std::promise<HWND> started, const std::function<void()>* setUp) {
    const ScopedComApartment apartment;
    HWND window = nullptr;
    try {
        window = CreateScriptWindow();
        if (window == nullptr) {
            throw std::runtime_error("CreateWindowEx for a stand-in's thread failed");
        }
        if (*setUp) {
            (*setUp)();
        }
    } catch (...) {
        if (window != nullptr) {
            DestroyWindow(window);
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
}

StandInThread::StandInThread(std::shared_ptr<Transcript> transcript)
    : transcript_(transcript ? std::move(transcript) : std::make_shared<Transcript>()),
      apartment_([this] { standIn_ = std::make_unique<MixWStandIn>(transcript_); }) {}

StandInThread::~StandInThread() {
    apartment_.Run([this] { standIn_.reset(); });
}

void StandInThread::Run(const std::function<void(MixWStandIn&)>& script) {
    apartment_.Run([&] { script(*standIn_); });
}

}  // namespace pontara::standin
