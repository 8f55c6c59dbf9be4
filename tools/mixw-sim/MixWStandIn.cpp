#include "MixWStandIn.h"

#include <dde.h>
#include <ddeml.h>
#include <oleauto.h>

#include <array>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

#include "bridge/ForwardedFields.h"
#include "mixw/MixWAutomation.h"
#include "win32/ScopedCom_win.h"
#include "win32/ScopedDde_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara::standin {

namespace {

using mixw::Member;
using mixw::MemberInfo;

// The stand-in's own DISPIDs, one for each of MixW's members (mixw::Members).
struct DispatchId {
    DISPID id;
    Member member;
};

// clang-format off
constexpr std::array kDispatchIds{
    DispatchId{1, Member::GetQsoData},
    DispatchId{2, Member::SetQsoData},
    DispatchId{3, Member::ExecuteMacros},
    DispatchId{4, Member::FqA},
    DispatchId{5, Member::AudioFq},
};
// clang-format on
static_assert(kDispatchIds.size() == mixw::Members.size(), "each of MixW's members has a DISPID");

constexpr TextView kService = mixw::DdeService;

const MemberInfo* MemberById(DISPID id) {
    for (const DispatchId& entry : kDispatchIds) {
        if (entry.id == id) {
            return &mixw::InfoOf(entry.member);
        }
    }
    return nullptr;
}

const MemberInfo* MemberByName(TextView name) {
    for (const MemberInfo& member : mixw::Members) {
        if (SameName(member.name, name)) {
            return &member;
        }
    }
    return nullptr;
}

DISPID IdOf(Member member) {
    for (const DispatchId& entry : kDispatchIds) {
        if (entry.member == member) {
            return entry.id;
        }
    }
    return DISPID_UNKNOWN;
}

std::string Hex(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

std::string TypeName(VARTYPE type) {
    static const std::map<VARTYPE, const char*> names{
        {VT_EMPTY, "EMPTY"},     {VT_NULL, "NULL"},
        {VT_I2, "I2"},           {VT_I4, "I4"},
        {VT_R4, "R4"},           {VT_R8, "R8"},
        {VT_CY, "CY"},           {VT_DATE, "DATE"},
        {VT_BSTR, "BSTR"},       {VT_DISPATCH, "DISPATCH"},
        {VT_ERROR, "ERROR"},     {VT_BOOL, "BOOL"},
        {VT_VARIANT, "VARIANT"}, {VT_UNKNOWN, "UNKNOWN"},
        {VT_DECIMAL, "DECIMAL"}, {VT_I1, "I1"},
        {VT_UI1, "UI1"},         {VT_UI2, "UI2"},
        {VT_UI4, "UI4"},         {VT_I8, "I8"},
        {VT_UI8, "UI8"},         {VT_INT, "INT"},
        {VT_UINT, "UINT"},
    };
    auto known = names.find(static_cast<VARTYPE>(type & VT_TYPEMASK));
    std::string name = known != names.end() ? known->second : Hex(type & VT_TYPEMASK);
    if ((type & VT_ARRAY) != 0) {
        name += "|ARRAY";
    }
    if ((type & VT_BYREF) != 0) {
        name += "|BYREF";
    }
    return name;
}

CallArgument ArgumentOf(const VARIANT& argument) {
    const VARTYPE base = static_cast<VARTYPE>(argument.vt & VT_TYPEMASK);
    CallArgument typed{TypeName(argument.vt), std::nullopt, base == VT_BSTR};
    if (base == VT_EMPTY || base == VT_NULL) {
        return typed;
    }
    ScopedVariant asText;
    if (FAILED(VariantChangeTypeEx(asText.Get(), const_cast<VARIANT*>(&argument), LOCALE_INVARIANT,
                                   0, VT_BSTR))) {
        typed.value = u"?";
        typed.text = false;
        return typed;
    }
    BSTR bstr = asText.Get()->bstrVal;
    typed.value = bstr == nullptr ? Text{} : FromWide(bstr, SysStringLen(bstr));
    return typed;
}

// The call as it arrived: arguments in call order; a property read without arguments has no
// argument list.
AutomationCall CallOf(const MemberInfo& member, bool property, const DISPPARAMS& parameters) {
    AutomationCall call;
    call.member = AsciiOf(member.name);
    call.listed = !property || parameters.cArgs != 0;
    for (UINT position = parameters.cArgs; position > 0; --position) {
        call.arguments.push_back(ArgumentOf(parameters.rgvarg[position - 1]));
    }
    return call;
}

// "Member(<type> <value>, ...)" with texts quoted, then how it ended when it was not taken.
std::string DetailsOf(const AutomationCall& call) {
    std::string text = call.member;
    if (call.listed) {
        text += '(';
        for (std::size_t index = 0; index < call.arguments.size(); ++index) {
            const CallArgument& argument = call.arguments[index];
            text += index > 0 ? ", " + argument.type : argument.type;
            if (argument.value) {
                text += " " + (argument.text ? Quoted(*argument.value) : AsciiOf(*argument.value));
            }
        }
        text += ')';
    }
    if (call.refusedWith != 0) {
        text += " refused " + Hex(static_cast<HRESULT>(call.refusedWith));
    }
    if (call.raised) {
        text += " raised " + Quoted(*call.raised);
    }
    return text;
}

// The names quoted, service, topic, item, as far as the transaction has them.
std::string DetailsOf(const DdeTransaction& transaction) {
    std::string text;
    if (transaction.service) {
        text += Quoted(*transaction.service) + " ";
    }
    text += Quoted(transaction.topic);
    if (transaction.item) {
        text += " " + Quoted(*transaction.item);
    }
    return transaction.refused ? text + " refused" : text;
}

std::optional<std::int16_t> AsIndex(const VARIANT& argument) {
    ScopedVariant index;
    if (FAILED(VariantChangeType(index.Get(), const_cast<VARIANT*>(&argument), 0, VT_I2))) {
        return std::nullopt;
    }
    return index.Get()->iVal;
}

void Store(const QsoValue& value, VARIANT& result) {
    VariantInit(&result);
    if (std::holds_alternative<NullValue>(value)) {
        result.vt = VT_NULL;
    } else if (const double* number = std::get_if<double>(&value)) {
        result.vt = VT_R8;
        result.dblVal = *number;
    } else if (const Text* text = std::get_if<Text>(&value)) {
        result.vt = VT_BSTR;
        result.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text->data()),
                                           static_cast<UINT>(text->size()));
    }
}

class MixWObject;

}  // namespace

struct MixWStandIn::Impl {
    struct Item {
        TextView topic;
        TextView name;
        Text value;
        DdeStringHandle topicHandle;
        DdeStringHandle itemHandle;
        bool hasValue;  // an item MixW has no value for yet refuses requests
    };

    explicit Impl(std::shared_ptr<Transcript> log) : transcript(std::move(log)) {
        if (!transcript) {
            transcript = std::make_shared<Transcript>();
        }
        for (const bridge::ForwardedField& row : bridge::ForwardedFields) {
            items.push_back(Item{row.link.Topic(), row.link.item, {}, {}, {}, true});
        }
    }
    ~Impl();

    void Start();

    void Record(std::string_view event, std::string_view details) {
        transcript->Add(event, details);
        Notify();
    }
    void Record(std::string_view event, const AutomationCall& call) {
        transcript->Add(event, DetailsOf(call), call);
        Notify();
    }
    void Record(std::string_view event, const DdeTransaction& transaction) {
        transcript->Add(event, DetailsOf(transaction), transaction);
        Notify();
    }
    void Notify() {
        if (observer) {
            observer();
        }
    }

    Item* FindItem(TextView topic, TextView item) {
        for (Item& candidate : items) {
            if (SameName(candidate.topic, topic) && SameName(candidate.name, item)) {
                return &candidate;
            }
        }
        return nullptr;
    }
    Item& ItemOrThrow(TextView topic, TextView item) {
        Item* found = FindItem(topic, item);
        if (found == nullptr) {
            throw std::invalid_argument("MixW has no DDE item " + Quoted(item) + " in topic " +
                                        Quoted(topic));
        }
        return *found;
    }
    static std::optional<TextView> KnownTopic(TextView topic) {
        for (const bridge::ForwardedField& row : bridge::ForwardedFields) {
            if (SameName(row.link.Topic(), topic)) {
                return row.link.Topic();
            }
        }
        return std::nullopt;
    }
    // The QSO entry's field that a QSO-data index reaches too, as its DDE item.
    static const bridge::ForwardedField* EntryField(std::int16_t index) {
        for (const bridge::ForwardedField& row : bridge::ForwardedFields) {
            if (row.index == index) {
                return &row;
            }
        }
        return nullptr;
    }

    void ChangeItem(Item& item, const Text& value) {
        item.value = value;
        item.hasValue = true;
        if (dde.Id() != 0) {
            EndConversationsOfGoneClients();
            DdePostAdvise(dde.Id(), item.topicHandle.Get(), item.itemHandle.Get());
        }
    }
    // A client process that was killed never ended its conversations, and Wine's DdePostAdvise
    // stops at the first link whose client window has gone, so the links of every later client
    // would starve. Such a conversation is ended as the client would have ended it, with the
    // client's WM_DDE_TERMINATE to the conversation's server window (Wine's DdeDisconnect does
    // not end conversations on the server side). DDEML then drops its links and calls back
    // with XTYP_DISCONNECT.
    void EndConversationsOfGoneClients() {
        std::vector<std::pair<HCONV, CONVINFO>> gone;
        for (const auto& [conversation, topic] : conversationTopics) {
            CONVINFO info{};
            info.cb = sizeof info;
            if (DdeQueryConvInfo(conversation, QID_SYNC, &info) != 0 &&
                info.hwndPartner != nullptr && !IsWindow(info.hwndPartner)) {
                gone.emplace_back(conversation, info);
            }
        }
        for (const auto& [conversation, info] : gone) {
            Record(
                mixw_events::DdeClientGone,
                DdeTransaction{std::nullopt, Text(conversationTopics[conversation]), std::nullopt});
            SendMessageW(info.hwnd, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwndPartner),
                         0);
        }
    }
    QsoValue GetQsoData(std::int16_t index) {
        if (const bridge::ForwardedField* field = EntryField(index)) {
            return ItemOrThrow(field->link.Topic(), field->link.item).value;
        }
        auto stored = otherQsoData.find(index);
        return stored != otherQsoData.end() ? stored->second : QsoValue{Text{}};
    }
    void SetQsoData(std::int16_t index, const QsoValue& value) {
        if (const bridge::ForwardedField* field = EntryField(index)) {
            ChangeItem(ItemOrThrow(field->link.Topic(), field->link.item), TextOf(value));
        } else {
            otherQsoData[index] = value;
        }
    }

    // Automation.
    HRESULT Invoke(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError);
    HRESULT Call(DISPID id, const DISPPARAMS& parameters, VARIANT* result);

    // DDE server transactions, on this thread, from DDEML's callback.
    Text NameOf(HSZ name) const {
        if (name == nullptr) {
            return {};
        }
        DWORD length = DdeQueryStringW(dde.Id(), name, nullptr, 0, CP_WINUNICODE);
        std::wstring text(length + 1, L'\0');
        DdeQueryStringW(dde.Id(), name, text.data(), length + 1, CP_WINUNICODE);
        return FromWide(text.data(), length);
    }
    BOOL Connect(HSZ topicName, HSZ serviceName) {
        Text service = NameOf(serviceName);
        Text topic = NameOf(topicName);
        std::optional<TextView> known = KnownTopic(topic);
        Record(mixw_events::DdeConnect,
               DdeTransaction{Text(SameName(service, kService) ? kService : TextView(service)),
                              Text(known.value_or(topic)), std::nullopt, !known});
        return known ? TRUE : FALSE;
    }
    HDDEDATA Data(HSZ topicName, HSZ itemName, UINT format, std::string_view event) {
        Text topic = NameOf(topicName);
        Text name = NameOf(itemName);
        Item* item = FindItem(topic, name);
        bool answered = item != nullptr && format == CF_TEXT && (item->hasValue || event.empty());
        if (!event.empty()) {
            Record(event,
                   DdeTransaction{std::nullopt, Text(KnownTopic(topic).value_or(topic)),
                                  Text(item != nullptr ? item->name : TextView(name)), !answered});
        }
        if (!answered) {
            return nullptr;
        }
        std::string ansi = AnsiWithNul(item->value);
        return DdeCreateDataHandle(dde.Id(), reinterpret_cast<BYTE*>(ansi.data()),
                                   static_cast<DWORD>(ansi.size()), 0, itemName, CF_TEXT, 0);
    }
    BOOL AdviseStart(HSZ topicName, HSZ itemName, UINT format) {
        Text topic = NameOf(topicName);
        Text name = NameOf(itemName);
        Item* item = FindItem(topic, name);
        bool accepted = item != nullptr && format == CF_TEXT;
        Record(mixw_events::DdeAdviseStart,
               DdeTransaction{std::nullopt, Text(KnownTopic(topic).value_or(topic)),
                              Text(item != nullptr ? item->name : TextView(name)), !accepted});
        return accepted ? TRUE : FALSE;
    }
    void AdviseStop(HSZ topicName, HSZ itemName) {
        Text topic = NameOf(topicName);
        Text name = NameOf(itemName);
        Item* item = FindItem(topic, name);
        Record(mixw_events::DdeAdviseStop,
               DdeTransaction{std::nullopt, Text(KnownTopic(topic).value_or(topic)),
                              Text(item != nullptr ? item->name : TextView(name))});
    }

    std::shared_ptr<Transcript> transcript;
    std::function<void()> observer;

    std::vector<Item> items;
    std::map<std::int16_t, QsoValue> otherQsoData;
    double fqA = 14070000.0;
    double audioFq = 1500.0;
    std::map<Member, Text> failing;
    std::optional<Text> setQsoDataReply;
    bool frequencyAsMethods = false;

    MixWObject* object = nullptr;
    DWORD activeObjectCookie = 0;

    // The instance goes after the string handles above and below, which belong to it.
    DdeInstance dde;
    DdeStringHandle serviceHandle;
    bool serviceRegistered = false;
    std::map<HCONV, TextView> conversationTopics;
};

namespace {

// DDEML calls back without a context argument, on the thread of the instance.
thread_local MixWStandIn::Impl* tServer = nullptr;

HDDEDATA CALLBACK ServerCallback(UINT type, UINT format, HCONV conversation, HSZ first, HSZ second,
                                 HDDEDATA /*data*/, ULONG_PTR /*data1*/,
                                 ULONG_PTR /*data2*/) noexcept {
    MixWStandIn::Impl* server = tServer;
    if (server == nullptr) {
        return nullptr;
    }
    auto flag = [](BOOL value) { return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(value)); };
    switch (type) {
        case XTYP_CONNECT:  // first: topic, second: service
            return flag(server->Connect(first, second));
        case XTYP_CONNECT_CONFIRM: {
            std::optional<TextView> topic = MixWStandIn::Impl::KnownTopic(server->NameOf(first));
            server->conversationTopics[conversation] = topic.value_or(u"");
            return nullptr;
        }
        case XTYP_DISCONNECT: {
            auto known = server->conversationTopics.find(conversation);
            TextView topic = known != server->conversationTopics.end() ? known->second : u"";
            server->Record(mixw_events::DdeDisconnect,
                           DdeTransaction{std::nullopt, Text(topic), std::nullopt});
            server->conversationTopics.erase(conversation);
            return nullptr;
        }
        case XTYP_REQUEST:  // first: topic, second: item
            return server->Data(first, second, format, mixw_events::DdeRequest);
        case XTYP_ADVREQ:
            return server->Data(first, second, format, {});
        case XTYP_ADVSTART:
            return flag(server->AdviseStart(first, second, format));
        case XTYP_ADVSTOP:
            server->AdviseStop(first, second);
            return nullptr;
        default:
            return nullptr;
    }
}

// The automation object. It lives in the stand-in's apartment; other apartments and processes
// reach it through the standard IDispatch marshalling.
class MixWObject final : public IDispatch {
  public:
    explicit MixWObject(MixWStandIn::Impl* owner) : owner_(owner) {}

    // The stand-in has stopped: calls that still reach the object are refused.
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (interfaceId == IID_IUnknown || interfaceId == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (names == nullptr || ids == nullptr) {
            return E_POINTER;
        }
        HRESULT result = S_OK;
        for (UINT position = 0; position < count; ++position) {
            TextView name(reinterpret_cast<const char16_t*>(names[position]));
            // Named arguments are not offered: only the member name resolves.
            const MemberInfo* member = position == 0 ? MemberByName(name) : nullptr;
            ids[position] = member != nullptr ? IdOf(member->member) : DISPID_UNKNOWN;
            if (member == nullptr) {
                result = DISP_E_UNKNOWNNAME;
                if (owner_ != nullptr) {
                    owner_->Record("lookup", Quoted(name) + " unknown");
                }
            }
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID interfaceId, LCID, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (interfaceId != IID_NULL) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        if (owner_ == nullptr) {
            return RPC_E_DISCONNECTED;
        }
        static const DISPPARAMS kNoArguments{nullptr, nullptr, 0, 0};
        try {
            return owner_->Invoke(id, flags, parameters != nullptr ? *parameters : kNoArguments,
                                  result, exception, argumentError);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

  private:
    ~MixWObject() = default;

    LONG references_ = 1;
    MixWStandIn::Impl* owner_;
};

}  // namespace

HRESULT MixWStandIn::Impl::Invoke(DISPID id, WORD flags, const DISPPARAMS& parameters,
                                  VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    const MemberInfo* member = MemberById(id);
    if (member == nullptr) {
        AutomationCall unknown;
        unknown.member = "#" + std::to_string(id);
        unknown.refusedWith = static_cast<std::uint32_t>(DISP_E_MEMBERNOTFOUND);
        Record(mixw_events::Call, unknown);
        return DISP_E_MEMBERNOTFOUND;
    }
    const bool property = member->kind == mixw::MemberKind::PropertyGet && !frequencyAsMethods;
    const std::string_view event = property ? mixw_events::Get : mixw_events::Call;
    AutomationCall call = CallOf(*member, property, parameters);
    auto refuse = [&](HRESULT code, UINT argument = 0) {
        if (argumentError != nullptr && code == DISP_E_TYPEMISMATCH) {
            *argumentError = argument;
        }
        call.refusedWith = static_cast<std::uint32_t>(code);
        Record(event, call);
        return code;
    };

    WORD kind = property ? DISPATCH_PROPERTYGET : DISPATCH_METHOD;
    if ((flags & kind) == 0) {
        return refuse(DISP_E_MEMBERNOTFOUND);
    }
    if (parameters.cNamedArgs != 0) {
        return refuse(DISP_E_NONAMEDARGS);
    }
    if (parameters.cArgs != member->argumentCount) {
        return refuse(DISP_E_BADPARAMCOUNT);
    }
    // Arguments come last first: for SetQsoData rgvarg[1] is the index, rgvarg[0] the text.
    const VARIANT* arguments = parameters.rgvarg;
    std::optional<std::int16_t> index;
    const Member called = member->member;
    if (called == Member::GetQsoData || called == Member::SetQsoData) {
        UINT position = called == Member::GetQsoData ? 0 : 1;
        index = AsIndex(arguments[position]);
        if (!index) {
            return refuse(DISP_E_TYPEMISMATCH, position);
        }
    }
    if (called == Member::SetQsoData &&
        (arguments[0].vt != (VT_BSTR | VT_BYREF) || arguments[0].pbstrVal == nullptr)) {
        return refuse(DISP_E_TYPEMISMATCH, 0);
    }
    ScopedVariant macro;
    if (called == Member::ExecuteMacros &&
        FAILED(VariantChangeType(macro.Get(), const_cast<VARIANT*>(&arguments[0]), 0, VT_BSTR))) {
        return refuse(DISP_E_TYPEMISMATCH, 0);
    }

    auto failure = failing.find(called);
    if (failure != failing.end()) {
        if (exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(Wide(Text(mixw::ProgId)));
            exception->bstrDescription =
                SysAllocStringLen(reinterpret_cast<const OLECHAR*>(failure->second.data()),
                                  static_cast<UINT>(failure->second.size()));
            exception->scode = kFailureCode;
        }
        call.raised = failure->second;
        Record(event, call);
        return DISP_E_EXCEPTION;
    }

    if (result != nullptr) {
        VariantInit(result);
    }
    switch (called) {
        case Member::GetQsoData:
            if (result != nullptr) {
                Store(GetQsoData(*index), *result);
            }
            break;
        case Member::SetQsoData: {
            BSTR* text = arguments[0].pbstrVal;
            SetQsoData(*index, *text == nullptr ? Text{} : FromWide(*text, SysStringLen(*text)));
            if (setQsoDataReply) {
                SysFreeString(*text);
                *text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(setQsoDataReply->data()),
                                          static_cast<UINT>(setQsoDataReply->size()));
            }
            break;
        }
        case Member::ExecuteMacros:
            break;
        case Member::FqA:
        case Member::AudioFq:
            if (result != nullptr) {
                result->vt = VT_R8;
                result->dblVal = called == Member::FqA ? fqA : audioFq;
            }
            break;
    }
    Record(event, call);
    return S_OK;
}

void MixWStandIn::Impl::Start() {
    const Text attempted = u"Starting the MixW stand-in";

    // The class name, so that CLSIDFromProgID finds the running object's class.
    HKEY key = nullptr;
    const Text classKey = Text(mixw::ProgId) + u"\\CLSID";
    LSTATUS created = RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(classKey), 0, nullptr, 0,
                                      KEY_SET_VALUE, nullptr, &key, nullptr);
    const Text registering = attempted + u": registering " + Text(mixw::ProgId);
    if (created != ERROR_SUCCESS) {
        throw ComError(registering, HRESULT_FROM_WIN32(created));
    }
    LSTATUS written = RegSetValueExW(
        key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClassIdText), sizeof kClassIdText);
    RegCloseKey(key);
    if (written != ERROR_SUCCESS) {
        throw ComError(registering, HRESULT_FROM_WIN32(written));
    }

    // The DDE service before the object: a client that finds the object finds the service too.
    if (tServer != nullptr) {
        throw std::logic_error("one MixW stand-in per thread: DDEML's callback has no context");
    }
    UINT started = DdeInitializeW(dde.Put(), ServerCallback,
                                  APPCLASS_STANDARD | CBF_FAIL_EXECUTES | CBF_FAIL_POKES |
                                      CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                                  0);
    if (started != DMLERR_NO_ERROR) {
        throw PlatformError(attempted + u": DDE server", started, u"DdeInitialize failed");
    }
    tServer = this;
    for (Item& item : items) {
        item.topicHandle = DdeStringHandle(dde.Id(), item.topic);
        item.itemHandle = DdeStringHandle(dde.Id(), item.name);
    }
    serviceHandle = DdeStringHandle(dde.Id(), kService);
    if (DdeNameService(dde.Id(), serviceHandle.Get(), nullptr, DNS_REGISTER) == nullptr) {
        throw PlatformError(attempted + u": DDE service \"MixW\"", DdeGetLastError(dde.Id()),
                            u"DdeNameService failed");
    }
    serviceRegistered = true;

    CLSID classId{};
    HRESULT parsed = CLSIDFromString(kClassIdText, &classId);
    if (FAILED(parsed)) {
        throw ComError(attempted, parsed);
    }
    object = new MixWObject(this);
    HRESULT registered =
        RegisterActiveObject(object, classId, ACTIVEOBJECT_STRONG, &activeObjectCookie);
    if (FAILED(registered)) {
        throw ComError(attempted + u": RegisterActiveObject", registered);
    }
}

MixWStandIn::Impl::~Impl() {
    if (activeObjectCookie != 0) {
        RevokeActiveObject(activeObjectCookie, nullptr);
    }
    if (object != nullptr) {
        object->Detach();
        // Clients in other apartments see RPC_E_DISCONNECTED from now on, as when MixW quits.
        CoDisconnectObject(object, 0);
        object->Release();
    }
    if (serviceRegistered) {
        DdeNameService(dde.Id(), serviceHandle.Get(), nullptr, DNS_UNREGISTER);
    }
    // String handles before the instance they belong to.
    serviceHandle = {};
    for (Item& item : items) {
        item.topicHandle = {};
        item.itemHandle = {};
    }
    if (tServer == this) {
        tServer = nullptr;
    }
}

MixWStandIn::MixWStandIn(std::shared_ptr<Transcript> transcript)
    : impl_(std::make_unique<Impl>(std::move(transcript))) {
    impl_->Start();
}

MixWStandIn::~MixWStandIn() = default;

void MixWStandIn::SetItem(TextView topic, TextView item, const Text& value) {
    impl_->ChangeItem(impl_->ItemOrThrow(topic, item), value);
    impl_->Notify();
}

void MixWStandIn::ForgetItemValue(TextView topic, TextView item) {
    impl_->ItemOrThrow(topic, item).hasValue = false;
}

Text MixWStandIn::Item(TextView topic, TextView item) const {
    return impl_->ItemOrThrow(topic, item).value;
}

void MixWStandIn::SetFrequency(double fqA, double audioFq) {
    impl_->fqA = fqA;
    impl_->audioFq = audioFq;
    impl_->Notify();
}

double MixWStandIn::FqA() const {
    return impl_->fqA;
}
double MixWStandIn::AudioFq() const {
    return impl_->audioFq;
}

void MixWStandIn::SetQsoData(std::int16_t index, const QsoValue& value) {
    impl_->SetQsoData(index, value);
    impl_->Notify();
}

QsoValue MixWStandIn::QsoData(std::int16_t index) const {
    return impl_->GetQsoData(index);
}

void MixWStandIn::FailMember(TextView member, bool fail, const Text& description) {
    const MemberInfo* known = MemberByName(member);
    if (known == nullptr) {
        throw std::invalid_argument("MixW has no automation member " + Quoted(member));
    }
    if (fail) {
        impl_->failing[known->member] =
            description.empty() ? Text(known->name) + u" failed in the MixW stand-in" : description;
    } else {
        impl_->failing.erase(known->member);
    }
    impl_->Notify();
}

void MixWStandIn::DeclareFrequencyAsMethods(bool methods) {
    impl_->frequencyAsMethods = methods;
}

void MixWStandIn::ReplyToSetQsoData(std::optional<Text> text) {
    impl_->setQsoDataReply = std::move(text);
}

const std::shared_ptr<Transcript>& MixWStandIn::Log() const {
    return impl_->transcript;
}

void MixWStandIn::SetObserver(std::function<void()> observer) {
    impl_->observer = std::move(observer);
}

std::vector<ItemState> MixWStandIn::Items() const {
    std::vector<ItemState> states;
    for (const Impl::Item& item : impl_->items) {
        states.push_back(ItemState{Text(item.topic), Text(item.name), item.value});
    }
    return states;
}

std::vector<std::pair<std::int16_t, Text>> MixWStandIn::OtherQsoData() const {
    std::vector<std::pair<std::int16_t, Text>> values;
    for (const auto& [index, value] : impl_->otherQsoData) {
        values.emplace_back(index, TextOf(value));
    }
    return values;
}

Text TextOf(const QsoValue& value) {
    if (const Text* text = std::get_if<Text>(&value)) {
        return *text;
    }
    if (const double* number = std::get_if<double>(&value)) {
        BSTR bstr = nullptr;
        if (FAILED(VarBstrFromR8(*number, LOCALE_USER_DEFAULT, 0, &bstr))) {
            return {};
        }
        ScopedBstr owner = ScopedBstr::Adopt(bstr);
        return owner.ToText();
    }
    return {};
}

}  // namespace pontara::standin
