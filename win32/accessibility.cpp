#include "win32/accessibility.h"

#include <uiautomationcore.h>

#include <string>

namespace zentrovax {
namespace {

// Newer than the mingw-w64 headers of Debian 12: LiveSetting_Property_GUID, LiveSetting's
// Polite, NotificationKind_Other and NotificationProcessing_All (uiautomationcore.h).
constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
constexpr int kNotificationKindOther = 4;
// Spoken when the reader is free, and every one of them: no piece stands for another.
constexpr int kNotificationProcessingAll = 2;

// The object MSAA presents a control's client area as, unsigned as IAccPropServices takes it.
constexpr DWORD kClient = static_cast<DWORD>(OBJID_CLIENT);

struct BstrFreer {
    void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFreer>;

UniqueBstr ToBstr(std::wstring_view text) {
    return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

// Through void (*)(), which GCC takes for any function pointer: FARPROC's own type matches no
// real signature, and -Wcast-function-type says so.
template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

ComApartment::ComApartment()
    : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
    if (initialised_) {
        CoUninitialize();
    }
}

Annotations::Annotations() {
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        services_.reset(services);
    }
}

Annotations::~Annotations() {
    Clear();
}

void Annotations::Describe(HWND control, std::wstring_view description) {
    if (services_ != nullptr &&
        SUCCEEDED(services_->SetHwndPropStr(control, kClient, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                            std::wstring(description).c_str()))) {
        annotated_.emplace_back(control, PROPID_ACC_DESCRIPTION);
    }
}

void Annotations::MakeLiveRegion(HWND control) {
    VARIANT polite;
    VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    if (services_ != nullptr && SUCCEEDED(services_->SetHwndProp(control, kClient, CHILDID_SELF,
                                                                 kLiveSettingProperty, polite))) {
        annotated_.emplace_back(control, kLiveSettingProperty);
    }
}

void Annotations::Clear() {
    for (const auto& [control, property] : annotated_) {
        services_->ClearHwndProps(control, kClient, CHILDID_SELF, &property, 1);
    }
    annotated_.clear();
}

Announcer::Announcer()
    : automation_(LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    // Looked up rather than imported: Windows before 10 1709, and Wine 8, lack the notification.
    if (automation_ != nullptr) {
        host_provider_from_hwnd_ =
            Lookup<HostProviderFromHwnd>(automation_.get(), "UiaHostProviderFromHwnd");
        raise_notification_ =
            Lookup<RaiseNotificationEvent>(automation_.get(), "UiaRaiseNotificationEvent");
    }
    if (host_provider_from_hwnd_ == nullptr || raise_notification_ == nullptr) {
        host_provider_from_hwnd_ = nullptr;
        raise_notification_ = nullptr;
        automation_.reset();
    }
}

void Announcer::Announce(HWND source, HWND live_region, std::wstring_view piece) const {
    if (raise_notification_ != nullptr) {
        IRawElementProviderSimple* provider = nullptr;
        if (SUCCEEDED(host_provider_from_hwnd_(source, &provider))) {
            const std::unique_ptr<IRawElementProviderSimple, ComReleaser> owner(provider);
            const UniqueBstr text = ToBstr(piece);
            const UniqueBstr activity = ToBstr(L"Zentrovax.Translation");
            raise_notification_(provider, kNotificationKindOther, kNotificationProcessingAll,
                                text.get(), activity.get());
        }
        return;
    }
    if (live_region != nullptr) {
        // The text first: the event tells a screen reader to read it now.
        SetWindowTextW(live_region, std::wstring(piece).c_str());
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, live_region, OBJID_CLIENT, CHILDID_SELF);
    }
}

}  // namespace zentrovax
