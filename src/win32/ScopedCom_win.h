#pragma once
// Owners for the COM resources of an automation call: an interface pointer, a BSTR and a
// VARIANT. Each releases what it holds exactly once, when it goes, so that a failing call
// that throws half-way leaks nothing.

#include <windows.h>
// These need the types of windows.h.
#include <oleauto.h>

#include <new>
#include <utility>

#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already holds (as an out parameter hands one over).
    explicit ComPtr(Interface* adopted) : pointer_(adopted) {}
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
        if (pointer_ != nullptr) {
            pointer_->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (pointer_ != nullptr) {
            std::exchange(pointer_, nullptr)->Release();
        }
    }
    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For an out parameter: releases what is held, then lets the callee fill it.
    Interface** Put() {
        Reset();
        return &pointer_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  private:
    Interface* pointer_ = nullptr;
};

// A single-threaded COM apartment for the calling thread, for as long as the owner lives: MixW's
// automation object is called from that thread only, and COM delivers cross-process calls
// through its message loop.
class ScopedComApartment {
  public:
    ScopedComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;
    ~ScopedComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }

    bool Entered() const { return SUCCEEDED(result_); }
    HRESULT Result() const { return result_; }

  private:
    HRESULT result_;
};

class ScopedBstr {
  public:
    ScopedBstr() = default;
    explicit ScopedBstr(TextView text)
        : bstr_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()))) {
        if (bstr_ == nullptr) {
            throw std::bad_alloc();
        }
    }
    // Takes over a BSTR the caller must otherwise free (an EXCEPINFO's texts, say).
    static ScopedBstr Adopt(BSTR bstr) {
        ScopedBstr owner;
        owner.bstr_ = bstr;
        return owner;
    }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ScopedBstr(ScopedBstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    ScopedBstr& operator=(ScopedBstr&& other) noexcept {
        std::swap(bstr_, other.bstr_);
        return *this;
    }
    ~ScopedBstr() { SysFreeString(bstr_); }

    BSTR Get() const { return bstr_; }
    // The owned slot itself, for a VT_BSTR | VT_BYREF argument: the callee may free the BSTR
    // and leave another in its place, which this owner then frees.
    BSTR* Slot() { return &bstr_; }
    // A null BSTR is the empty text.
    Text ToText() const { return bstr_ == nullptr ? Text{} : FromWide(bstr_, SysStringLen(bstr_)); }

  private:
    BSTR bstr_ = nullptr;
};

class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&value_); }

    VARIANT* Get() { return &value_; }
    const VARIANT* Get() const { return &value_; }
    VARTYPE Type() const { return value_.vt; }
    // Clears what is held, for a callee that fills the variant.
    VARIANT* Put() {
        VariantClear(&value_);
        return &value_;
    }

  private:
    VARIANT value_;
};

}  // namespace pontara
