#include "mixw/DdeClient_win.h"

#include <windows.h>
// These need the types of windows.h.
#include <dde.h>
#include <ddeml.h>

#include <algorithm>
#include <list>
#include <vector>

#include "win32/ScopedDde_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

namespace {

// How long one synchronous transaction waits for the server's answer.
constexpr DWORD kTransactionTimeoutMs = 5000;
// The longest wait for a server's stray acknowledgement after a request (see
// LetStrayAcknowledgementThrough); it ends as soon as the acknowledgement has been taken, which
// is within a millisecond or two on an idle machine and can take far longer on a loaded one.
constexpr DWORD kStrayAcknowledgementWaitMs = 1000;

// DDEML's codes have no system message of their own.
Text DdeErrorMessage(UINT code) {
    switch (code) {
        case DMLERR_ADVACKTIMEOUT:
            return u"The DDE server did not answer the advise request in time";
        case DMLERR_BUSY:
            return u"The DDE server is busy";
        case DMLERR_DATAACKTIMEOUT:
            return u"The DDE server did not acknowledge the data in time";
        case DMLERR_DLL_NOT_INITIALIZED:
            return u"The DDE client is not initialised";
        case DMLERR_DLL_USAGE:
            return u"The DDE instance may not make this transaction";
        case DMLERR_EXECACKTIMEOUT:
            return u"The DDE server did not acknowledge the command in time";
        case DMLERR_INVALIDPARAMETER:
            return u"A DDE parameter was not valid";
        case DMLERR_LOW_MEMORY:
            return u"The DDE server is too far behind and the system is low on memory";
        case DMLERR_MEMORY_ERROR:
            return u"DDE ran out of memory";
        case DMLERR_NOTPROCESSED:
            return u"The DDE server refused the item";
        case DMLERR_NO_CONV_ESTABLISHED:
            return u"No DDE server answered for this service and topic";
        case DMLERR_POKEACKTIMEOUT:
            return u"The DDE server did not acknowledge the poke in time";
        case DMLERR_POSTMSG_FAILED:
            return u"A DDE message could not be posted";
        case DMLERR_REENTRANCY:
            return u"A synchronous DDE transaction is already under way";
        case DMLERR_SERVER_DIED:
            return u"The DDE server ended the conversation";
        case DMLERR_SYS_ERROR:
            return u"DDE had an internal error";
        case DMLERR_UNADVACKTIMEOUT:
            return u"The DDE server did not answer the end of the advise link in time";
        case DMLERR_UNFOUND_QUEUE_ID:
            return u"The DDE transaction is no longer known";
        default:
            return u"The DDE transaction failed";
    }
}

PlatformError DdeError(const Text& attempted, UINT code) {
    return PlatformError(attempted, code, DdeErrorMessage(code));
}

struct Link {
    DdeStringHandle item;
    DdeClient::ValueHandler onValue;
};

struct Conversation {
    Text service;
    Text topic;
    DdeConversation handle;
    std::list<Link> links;
    // The last transaction was a request, whose stray acknowledgement may not have been taken.
    bool afterRequest = false;
    // Set once a wait for the stray acknowledgement has run to its end: this server sends none,
    // and later transactions on the conversation start at once.
    bool sendsNoStrayAcknowledgement = false;
};

struct ClientState {
    DdeClient::FailureHandler onAdviseFailure;
    DdeInstance instance;
    std::list<Conversation> conversations;
};

// DDEML calls back without a context argument, on the thread that initialised the instance;
// the clients of this thread are looked up by their conversation handle.
thread_local std::vector<ClientState*> tClients;

// The conversation of a handle, and the client it belongs to.
Conversation* FindConversation(HCONV handle, ClientState** owner = nullptr) {
    for (ClientState* client : tClients) {
        for (Conversation& conversation : client->conversations) {
            if (conversation.handle.Get() == handle) {
                if (owner != nullptr) {
                    *owner = client;
                }
                return &conversation;
            }
        }
    }
    return nullptr;
}

HDDEDATA DeliverAdvise(HCONV handle, HSZ item, UINT format, HDDEDATA data) {
    ClientState* client = nullptr;
    Conversation* conversation = FindConversation(handle, &client);
    if (conversation == nullptr || format != CF_TEXT) {
        return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
    }
    for (Link& link : conversation->links) {
        if (DdeCmpStringHandles(item, link.item.Get()) == 0) {
            // A copy: the handler may open further links, which changes the list.
            DdeClient::ValueHandler onValue = link.onValue;
            Text value;
            try {
                value = TextOfDdeData(data);
            } catch (const PlatformError& error) {
                // A copy: ending the program may take the client with it.
                DdeClient::FailureHandler onFailure = client->onAdviseFailure;
                onFailure(error);
                return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
            }
            onValue(value);
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        }
    }
    return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
}

// Runs inside DDEML, which is C: nothing may unwind through it, so a throwing value handler
// ends the program here rather than corrupting DDEML's state.
HDDEDATA CALLBACK ClientCallback(UINT type, UINT format, HCONV conversation, HSZ /*topic*/,
                                 HSZ item, HDDEDATA data, ULONG_PTR /*data1*/,
                                 ULONG_PTR /*data2*/) noexcept {
    switch (type) {
        case XTYP_ADVDATA:
            return DeliverAdvise(conversation, item, format, data);
        case XTYP_DISCONNECT:
            if (Conversation* ended = FindConversation(conversation)) {
                ended->handle.Forget();
            }
            return nullptr;
        default:
            return nullptr;
    }
}

// Wine exports wine_get_version from its ntdll; Windows' ntdll has no such export.
bool RunningUnderWine() {
    static const bool underWine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return underWine;
}

// Wine's DDEML server follows the data of a request with a second, positive WM_DDE_ACK. A
// synchronous transaction started on the same conversation before the conversation's window
// has taken that ACK reads it as its own answer and fails with DMLERR_NOTPROCESSED. So, under
// Wine only, the thread's DDE messages are let through until one ACK has been dispatched, or
// until the wait's limit when none comes. The wait ends on the ACK's arrival, not after a fixed
// time: on a loaded machine the ACK can come tens of milliseconds late, and a next transaction
// that takes it for its own answer fails (a request then leaves the field at its placeholder).
// Windows' DDEML sends no such ACK, and there the next transaction starts at once. Only posted
// DDE messages are taken from the queue, so no timer tick or input is handled in between;
// advise data of links already open may be delivered. Returns false when none came.
bool LetStrayAcknowledgementThrough() {
    const ULONGLONG deadline = GetTickCount64() + kStrayAcknowledgementWaitMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
            DispatchMessageW(&message);
            if (message.message == WM_DDE_ACK) {
                return true;
            }
        }
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_POSTMESSAGE);
    }
}

// A synchronous transaction in CF_TEXT on the item. For a request the result is a data handle
// the caller frees; for an advise start it is only a success mark.
HDDEDATA Transact(const ClientState& client, Conversation& conversation, HSZ item, UINT type,
                  const Text& attempted) {
    if (conversation.afterRequest && RunningUnderWine() &&
        !conversation.sendsNoStrayAcknowledgement) {
        conversation.sendsNoStrayAcknowledgement = !LetStrayAcknowledgementThrough();
    }
    conversation.afterRequest = false;
    DWORD result = 0;
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation.handle.Get(), item, CF_TEXT, type,
                                         kTransactionTimeoutMs, &result);
    if (data == nullptr) {
        throw DdeError(attempted, DdeGetLastError(client.instance.Id()));
    }
    conversation.afterRequest = type == XTYP_REQUEST;
    return data;
}

}  // namespace

struct DdeClient::State : ClientState {
    Conversation& ConversationFor(TextView service, TextView topic, const Text& attempted) {
        for (auto known = conversations.begin(); known != conversations.end();) {
            if (!SameName(known->service, service) || !SameName(known->topic, topic)) {
                ++known;
            } else if (known->handle.Get() != nullptr) {
                return *known;
            } else {
                // The server ended it, and with it every link on it: connect anew.
                known = conversations.erase(known);
            }
        }
        DdeStringHandle serviceName(instance.Id(), service);
        DdeStringHandle topicName(instance.Id(), topic);
        if (!serviceName || !topicName) {
            throw DdeError(attempted, DdeGetLastError(instance.Id()));
        }
        HCONV handle = DdeConnect(instance.Id(), serviceName.Get(), topicName.Get(), nullptr);
        if (handle == nullptr) {
            throw DdeError(attempted, DdeGetLastError(instance.Id()));
        }
        return conversations.emplace_back(
            Conversation{Text(service), Text(topic), DdeConversation(handle), {}, false, false});
    }
};

DdeClient::DdeClient(FailureHandler onAdviseFailure) : state_(std::make_unique<State>()) {
    state_->onAdviseFailure = std::move(onAdviseFailure);
    UINT started =
        DdeInitializeW(state_->instance.Put(), ClientCallback,
                       APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
    if (started != DMLERR_NO_ERROR) {
        throw DdeError(u"Starting the DDE client", started);
    }
    tClients.push_back(state_.get());
}

DdeClient::~DdeClient() {
    std::erase(tClients, static_cast<ClientState*>(state_.get()));
}

void DdeClient::OpenAutomaticLink(std::u16string_view service, std::u16string_view topic,
                                  std::u16string_view item, ValueHandler onValue) {
    const Text attempted =
        u"Opening the DDE link to \"" + Text(item) + u"\" of " + Text(service) + u"|" + Text(topic);
    Conversation& conversation = state_->ConversationFor(service, topic, attempted);
    DdeStringHandle itemName(state_->instance.Id(), item);
    if (!itemName) {
        throw DdeError(attempted, DdeGetLastError(state_->instance.Id()));
    }
    HSZ itemHandle = itemName.Get();
    conversation.links.push_back(Link{std::move(itemName), std::move(onValue)});
    auto link = std::prev(conversation.links.end());

    try {
        // The advise link first, so that no change made between the two is lost.
        Transact(*state_, conversation, itemHandle, XTYP_ADVSTART, attempted);
    } catch (...) {
        // Advise data for an item without a link is refused, so a half-open link is harmless.
        conversation.links.erase(link);
        throw;
    }
    // Then the current value, which the server does not send by itself when a link starts. A
    // server with no value for the item yet refuses the request: the link stands all the same,
    // and the field keeps its text until the first advise.
    HDDEDATA data = nullptr;
    try {
        data = Transact(*state_, conversation, itemHandle, XTYP_REQUEST, attempted);
    } catch (const PlatformError&) {
        return;
    }
    Text current;
    try {
        current = TextOfDdeData(data);
    } catch (const PlatformError&) {
        DdeFreeDataHandle(data);
        throw;
    }
    DdeFreeDataHandle(data);
    DdeClient::ValueHandler first = link->onValue;
    first(current);
}

}  // namespace pontara
