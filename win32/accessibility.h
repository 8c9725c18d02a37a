// What a screen reader learns about the window beyond what its standard controls tell it: the
// descriptions of the window and its boxes, put on them by dynamic annotation, and each piece of
// translation, spoken as it is typed. It does not name the boxes (their hidden labels do, by the
// rule every MSAA client follows) and it decides nothing about when a piece is spoken.
#pragma once

#include <oleacc.h>
#include <windows.h>

#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// UI Automation's provider, used here only through a pointer to it.
struct IRawElementProviderSimple;

namespace zentrovax {

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
struct ModuleFreer {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// COM on this thread for as long as it lives, if no one has set it up otherwise.
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

// Properties laid over standard controls' own (IAccPropServices), cleared again by Clear() while
// the controls still exist. Where annotation is missing (Wine answers E_NOTIMPL), the controls
// simply keep their own properties.
class Annotations {
  public:
    Annotations();
    ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    void Describe(HWND control, std::wstring_view description);
    // A polite live region: a screen reader speaks its text when told it changed.
    void MakeLiveRegion(HWND control);
    // Before the controls go, while their handles still name them: annotations are kept by
    // handle.
    void Clear();

  private:
    std::unique_ptr<IAccPropServices, ComReleaser> services_;
    std::vector<std::pair<HWND, MSAAPROPID>> annotated_;
};

// Speaks each piece once and politely, by one of two means: a UI Automation notification from
// the box that has the focus where the system has UiaRaiseNotificationEvent (Windows 10 1709 and
// later), otherwise a live region whose text becomes the piece.
class Announcer {
  public:
    Announcer();

    // Whether announcing needs a live region; false where notifications are raised instead.
    [[nodiscard]] bool NeedsLiveRegion() const { return raise_notification_ == nullptr; }
    // From `source`, or through `live_region` where NeedsLiveRegion().
    void Announce(HWND source, HWND live_region, std::wstring_view piece) const;

  private:
    using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
    using RaiseNotificationEvent = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR,
                                                    BSTR);

    UniqueModule automation_;
    HostProviderFromHwnd host_provider_from_hwnd_ = nullptr;
    RaiseNotificationEvent raise_notification_ = nullptr;
};

}  // namespace zentrovax
