#pragma once
// Owners for DDEML resources: an instance, a string handle, a client conversation. Each gives
// its handle back to DDEML once, when it goes; string handles and conversations must go
// before the instance they belong to.

#include <windows.h>
// These need the types of windows.h.
#include <ddeml.h>

#include <string>
#include <utility>

#include "platform/Text.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

class DdeInstance {
  public:
    DdeInstance() = default;
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;
    ~DdeInstance() {
        if (id_ != 0) {
            DdeUninitialize(id_);
        }
    }

    DWORD Id() const { return id_; }
    // For DdeInitializeW, which fills it.
    DWORD* Put() { return &id_; }

  private:
    DWORD id_ = 0;
};

class DdeStringHandle {
  public:
    DdeStringHandle() = default;
    // Null when DDEML refused (DdeGetLastError tells why).
    DdeStringHandle(DWORD instance, TextView text)
        : instance_(instance),
          handle_(DdeCreateStringHandleW(instance, Wide(Text(text)), CP_WINUNICODE)) {}
    DdeStringHandle(const DdeStringHandle&) = delete;
    DdeStringHandle& operator=(const DdeStringHandle&) = delete;
    DdeStringHandle(DdeStringHandle&& other) noexcept
        : instance_(other.instance_), handle_(std::exchange(other.handle_, nullptr)) {}
    DdeStringHandle& operator=(DdeStringHandle&& other) noexcept {
        std::swap(instance_, other.instance_);
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~DdeStringHandle() {
        if (handle_ != nullptr) {
            DdeFreeStringHandle(instance_, handle_);
        }
    }

    HSZ Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    DWORD instance_ = 0;
    HSZ handle_ = nullptr;
};

class DdeConversation {
  public:
    DdeConversation() = default;
    explicit DdeConversation(HCONV handle) : handle_(handle) {}
    DdeConversation(const DdeConversation&) = delete;
    DdeConversation& operator=(const DdeConversation&) = delete;
    DdeConversation(DdeConversation&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    DdeConversation& operator=(DdeConversation&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~DdeConversation() {
        if (handle_ != nullptr) {
            DdeDisconnect(handle_);
        }
    }

    HCONV Get() const { return handle_; }
    // The server ended the conversation: DDEML has freed the handle already.
    void Forget() { handle_ = nullptr; }

  private:
    HCONV handle_ = nullptr;
};

// Text of a DDE data handle in CF_TEXT: ANSI bytes up to the first NUL, in the system's code
// page. A null handle is the empty text. Throws PlatformError when the bytes cannot be converted.
inline Text TextOfDdeData(HDDEDATA data) {
    if (data == nullptr) {
        return {};
    }
    DWORD size = 0;
    const BYTE* bytes = DdeAccessData(data, &size);
    if (bytes == nullptr) {
        return {};
    }
    DWORD length = 0;
    while (length < size && bytes[length] != 0) {
        ++length;
    }
    const std::string ansi(reinterpret_cast<const char*>(bytes), length);
    DdeUnaccessData(data);
    return FromAnsi(ansi);
}

// A text in the system's ANSI code page with its terminating NUL, as CF_TEXT carries it.
inline std::string AnsiWithNul(TextView text) {
    std::string ansi = ToAnsi(text);
    ansi.push_back('\0');
    return ansi;
}

}  // namespace pontara
