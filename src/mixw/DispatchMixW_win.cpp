#include "mixw/DispatchMixW_win.h"

#include <windows.h>
// These need the types of windows.h.
#include <oleauto.h>

#include <array>
#include <map>
#include <span>
#include <string>

#include "mixw/MixWBusy.h"
#include "win32/ScopedCom_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

namespace {

Text Quoted(const Text& text) {
    return u"\"" + text + u"\"";
}

// A call as an error names it: "MixW's " and the member, then its arguments if any.
Text Attempted(mixw::Member member) {
    return u"MixW's " + Text(mixw::MemberName(member));
}

Text IndexText(std::int16_t index) {
    return AsciiText(std::to_string(index));
}

// The error an object raised through EXCEPINFO: its own code and description when it gave
// them, the system's message for the code otherwise. Frees the EXCEPINFO's texts.
PlatformError RaisedError(const Text& attempted, HRESULT result, EXCEPINFO& exception) {
    if (exception.pfnDeferredFillIn != nullptr) {
        exception.pfnDeferredFillIn(&exception);
    }
    ScopedBstr source = ScopedBstr::Adopt(exception.bstrSource);
    ScopedBstr description = ScopedBstr::Adopt(exception.bstrDescription);
    ScopedBstr helpFile = ScopedBstr::Adopt(exception.bstrHelpFile);
    HRESULT code = FAILED(exception.scode) ? exception.scode : result;
    return ComError(attempted, code, description.ToText());
}

// A failed call on MixW's object. Turned away as busy: RPC_E_CALL_REJECTED once the message
// filter has cancelled it, or RPC_E_SERVERCALL_RETRYLATER ("the message filter indicated that
// the application is busy").
[[noreturn]] void ThrowCallFailure(const Text& attempted, HRESULT result) {
    PlatformError error = ComError(attempted, result);
    if (result == RPC_E_CALL_REJECTED || result == RPC_E_SERVERCALL_RETRYLATER) {
        throw mixw::MixWBusy(error);
    }
    throw error;
}

// MixW's object, called only by member name (GetIDsOfNames, then Invoke), the way a
// late-bound client calls it. Each member's DISPID is asked for once and kept: the object
// does not change its members while it lives.
class DispatchMixW final : public MixWAutomation {
  public:
    explicit DispatchMixW(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    Text GetQsoData(std::int16_t index) override {
        const Text attempted = Attempted(mixw::Member::GetQsoData) + u"(" + IndexText(index) + u")";
        std::array<VARIANT, 1> arguments{};
        arguments[0].vt = VT_I2;
        arguments[0].iVal = index;
        ScopedVariant result;
        // Both flags, as a late-bound call whose value is used is made: MixW may declare the
        // member a method or a property with a parameter.
        Invoke(mixw::Member::GetQsoData, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments,
               result.Put(), attempted);
        return AsText(result, attempted);
    }

    void SetQsoData(std::int16_t index, Text& value) override {
        const Text attempted = Attempted(mixw::Member::SetQsoData) + u"(" + IndexText(index) +
                               u", " + Quoted(value) + u")";
        ScopedBstr text(value);
        // Invoke takes the arguments last first.
        std::array<VARIANT, 2> arguments{};
        arguments[0].vt = VT_BSTR | VT_BYREF;
        arguments[0].pbstrVal = text.Slot();
        arguments[1].vt = VT_I2;
        arguments[1].iVal = index;
        Invoke(mixw::Member::SetQsoData, DISPATCH_METHOD, arguments, nullptr, attempted);
        value = text.ToText();
    }

    void ExecuteMacros(const Text& macro) override {
        const Text attempted = Attempted(mixw::Member::ExecuteMacros) + u"(" + Quoted(macro) + u")";
        ScopedBstr text(macro);
        std::array<VARIANT, 1> arguments{};
        arguments[0].vt = VT_BSTR;
        arguments[0].bstrVal = text.Get();
        Invoke(mixw::Member::ExecuteMacros, DISPATCH_METHOD, arguments, nullptr, attempted);
    }

    double FqA() override { return ReadNumber(mixw::Member::FqA); }
    double AudioFq() override { return ReadNumber(mixw::Member::AudioFq); }

  private:
    double ReadNumber(mixw::Member property) {
        const Text attempted = Attempted(property);
        ScopedVariant result;
        // Both flags, as a late-bound read without arguments is made on Windows: MixW may
        // declare the member a property or a method.
        Invoke(property, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, result.Put(), attempted);
        ScopedVariant number;
        HRESULT converted =
            VariantChangeTypeEx(number.Get(), result.Get(), LOCALE_USER_DEFAULT, 0, VT_R8);
        if (FAILED(converted)) {
            throw ComError(attempted, converted);
        }
        return number.Get()->dblVal;
    }

    // VT_EMPTY and VT_NULL are the empty text; anything else as the user's locale writes it.
    static Text AsText(const ScopedVariant& value, const Text& attempted) {
        if (value.Type() == VT_EMPTY || value.Type() == VT_NULL) {
            return {};
        }
        ScopedVariant text;
        HRESULT converted = VariantChangeTypeEx(text.Get(), const_cast<VARIANT*>(value.Get()),
                                                LOCALE_USER_DEFAULT, 0, VT_BSTR);
        if (FAILED(converted)) {
            throw ComError(attempted, converted);
        }
        BSTR bstr = text.Get()->bstrVal;
        return bstr == nullptr ? Text{} : FromWide(bstr, SysStringLen(bstr));
    }

    void Invoke(mixw::Member member, WORD kind, std::span<VARIANT> argumentsLastFirst,
                VARIANT* result, const Text& attempted) {
        DISPID id = IdOf(member, attempted);
        DISPPARAMS parameters{argumentsLastFirst.data(), nullptr,
                              static_cast<UINT>(argumentsLastFirst.size()), 0};
        EXCEPINFO exception{};
        UINT argumentInError = 0;
        HRESULT invoked = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                                          result, &exception, &argumentInError);
        if (invoked == DISP_E_EXCEPTION) {
            throw RaisedError(attempted, invoked, exception);
        }
        if (FAILED(invoked)) {
            ThrowCallFailure(attempted, invoked);
        }
    }

    DISPID IdOf(mixw::Member member, const Text& attempted) {
        auto known = ids_.find(member);
        if (known != ids_.end()) {
            return known->second;
        }
        const Text memberName(mixw::MemberName(member));
        LPOLESTR name = const_cast<LPOLESTR>(Wide(memberName));
        DISPID id = DISPID_UNKNOWN;
        HRESULT found = object_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(found)) {
            ThrowCallFailure(attempted, found);
        }
        ids_.emplace(member, id);
        return id;
    }

    ComPtr<IDispatch> object_;
    std::map<mixw::Member, DISPID> ids_;
};

}  // namespace

ComPtr<IDispatch> RunningMixWObject() {
    CLSID classId{};
    if (FAILED(CLSIDFromProgID(Wide(Text(mixw::ProgId)), &classId))) {
        return {};
    }
    ComPtr<IUnknown> running;
    if (FAILED(GetActiveObject(classId, nullptr, running.Put())) || !running) {
        return {};
    }
    ComPtr<IDispatch> object;
    if (FAILED(running->QueryInterface(IID_IDispatch, object.PutVoid())) || !object) {
        return {};
    }
    return object;
}

std::unique_ptr<MixWAutomation> MixWThrough(ComPtr<IDispatch> object) {
    return std::make_unique<DispatchMixW>(std::move(object));
}

std::unique_ptr<MixWAutomation> AttachRunningMixW() {
    ComPtr<IDispatch> object = RunningMixWObject();
    return object ? MixWThrough(std::move(object)) : nullptr;
}

}  // namespace pontara
