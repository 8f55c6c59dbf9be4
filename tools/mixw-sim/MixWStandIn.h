#pragma once
// A stand-in for MixW that speaks MixW's real interfaces (mixw/MixWAutomation.h): its automation
// object, registered as the running mixw::ProgId, and its DDE server. It keeps the QSO entry and
// the dial as plain values, lets a script change them, and records every call it receives.
// Collaborations: used by MixWSim.exe (its own window) and by tests, directly or on a thread
// of its own (StandInThread.h). Lives on the thread that creates it, which must be a COM
// single-threaded apartment that dispatches messages: COM calls and DDE transactions reach
// the stand-in as messages of that thread.
//
// Registration: HKEY_CLASSES_ROOT\<mixw::ProgId>\CLSID = kClassIdText (HKCU's classes are
// not consulted by Wine's CLSIDFromProgID), and the object is registered with
// RegisterActiveObject(ACTIVEOBJECT_STRONG) from start until the stand-in goes. The key is
// left in place; a stand-in that has gone leaves a registered class with no running object.
//
// Automation members (IDispatch, names compared without regard to case):
//   GetQsoData(index)                 method: the QSO-data item; index coerced to a 16-bit
//                                     integer; the value as stored (text, number, empty, null)
//   SetQsoData(index, text)           method: text must be VT_BSTR | VT_BYREF; stores it and
//                                     leaves it unchanged (or the ReplyToSetQsoData text)
//   ExecuteMacros(text)               method: text coerced to a BSTR; recorded only
//   FqA, AudioFq                      read-only properties, or methods without arguments
//                                     (DeclareFrequencyAsMethods): numbers (VT_R8), hertz
// Methods need DISPATCH_METHOD and properties DISPATCH_PROPERTYGET among the call flags;
// anything else is refused with DISP_E_MEMBERNOTFOUND, a wrong argument count with
// DISP_E_BADPARAMCOUNT, named arguments with DISP_E_NONAMEDARGS, an argument of the wrong
// type with DISP_E_TYPEMISMATCH. A member made to fail raises DISP_E_EXCEPTION with source
// mixw::ProgId, code kFailureCode and the description given to FailMember.
// A QSO-data index of a forwarded field (bridge::ForwardedFields) holds the same value as
// the field's DDE item.
//
// DDE server mixw::DdeService, CF_TEXT only, names compared without regard to case, with the
// topics and items of bridge::ForwardedFields. Answers connects, requests and advise links; a
// changed item is advised to every link on it. Wildcard connects, pokes and executes are refused.
//
// At start every DDE item and QSO-data item is empty, FqA is 14 070 000 and AudioFq 1 500.
//
// Transcript events (Transcript.h gives the line format; names as the stand-in spells them,
// or as received when unknown):
//   call <member>(<type> <value>, ...)      a method call; types as VARTYPE names without
//                                           "VT_" ("I2", "BSTR|BYREF"); texts quoted
//   get <property>                          a property read
//   call FqA(), call AudioFq()              the same read, declared as methods
//   lookup "<name>" unknown                 GetIDsOfNames for a name the object lacks
//   dde-connect "<service>" "<topic>"       a conversation asked for
//   dde-request "<topic>" "<item>"          a request for an item's value
//   dde-advstart "<topic>" "<item>"         an advise link started
//   dde-advstop "<topic>" "<item>"          an advise link ended by the client
//   dde-disconnect "<topic>"                a conversation ended
//   dde-client-gone "<topic>"               a client's window went without ending its
//                                           conversation (its process was killed); the
//                                           stand-in ends it before advising anything, as
//                                           Wine's DdePostAdvise would stop at its links
// A refused call or transaction ends with " refused 0x<HRESULT>" (automation) or " refused"
// (DDE); a call of a member made to fail ends with " raised \"<description>\"". Typed content:
// "call" and "get" carry an AutomationCall, the "dde-" events a DdeTransaction, "lookup" none.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "Transcript.h"
#include "platform/Text.h"

namespace pontara::standin {

// The transcript's events that carry content, each written in one place.
namespace mixw_events {
inline constexpr std::string_view Call = "call";               // AutomationCall
inline constexpr std::string_view Get = "get";                 // AutomationCall
inline constexpr std::string_view DdeConnect = "dde-connect";  // DdeTransaction, and below
inline constexpr std::string_view DdeRequest = "dde-request";
inline constexpr std::string_view DdeAdviseStart = "dde-advstart";
inline constexpr std::string_view DdeAdviseStop = "dde-advstop";
inline constexpr std::string_view DdeDisconnect = "dde-disconnect";
inline constexpr std::string_view DdeClientGone = "dde-client-gone";
}  // namespace mixw_events

inline constexpr wchar_t kClassIdText[] = L"{BFACD3A5-5463-4027-8BD9-ED103322728E}";
inline constexpr HRESULT kFailureCode = static_cast<HRESULT>(0x80040201);  // FACILITY_ITF

// A QSO-data value as GetQsoData returns it: VT_EMPTY, VT_NULL, VT_R8 or VT_BSTR.
struct NoValue {};
struct NullValue {};
using QsoValue = std::variant<NoValue, NullValue, double, Text>;

struct ItemState {
    Text topic;
    Text item;
    Text value;
};

class MixWStandIn {
  public:
    // Starts at once: registers the class and the running object and the DDE service.
    // Throws PlatformError when any of them fails. A transcript may be shared with the owner,
    // so that it outlives the stand-in; without one the stand-in keeps its own.
    explicit MixWStandIn(std::shared_ptr<Transcript> transcript = {});
    // Revokes the running object, disconnects its clients and ends the DDE service.
    ~MixWStandIn();
    MixWStandIn(const MixWStandIn&) = delete;
    MixWStandIn& operator=(const MixWStandIn&) = delete;

    // The script. Names compare without regard to case; an unknown topic or item throws
    // std::invalid_argument. Changing an item advises every link on it.
    void SetItem(TextView topic, TextView item, const Text& value);
    // MixW has no value for the item until it is next set: a request for it is refused.
    void ForgetItemValue(TextView topic, TextView item);
    Text Item(TextView topic, TextView item) const;
    void SetFrequency(double fqA, double audioFq);
    double FqA() const;
    double AudioFq() const;
    // Items 0, 1, 2 and 5 are DDE items too (see above) and take the value's text.
    void SetQsoData(std::int16_t index, const QsoValue& value);
    QsoValue QsoData(std::int16_t index) const;
    // The member (automation name, any case) raises DISP_E_EXCEPTION until told otherwise.
    void FailMember(TextView member, bool fail, const Text& description = {});
    // FqA and AudioFq as methods without arguments rather than as properties (the default).
    void DeclareFrequencyAsMethods(bool methods);
    // What SetQsoData leaves in its by-reference argument; none leaves the caller's text.
    void ReplyToSetQsoData(std::optional<Text> text);

    const std::shared_ptr<Transcript>& Log() const;
    // Called on the stand-in's thread after every recorded event and every change.
    void SetObserver(std::function<void()> observer);

    // For display.
    std::vector<ItemState> Items() const;
    std::vector<std::pair<std::int16_t, Text>> OtherQsoData() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// The text form of a QSO-data value as the stand-in shows it (numbers as VarBstrFromR8 writes
// them in the user's locale; empty and null as the empty text).
Text TextOf(const QsoValue& value);

}  // namespace pontara::standin
