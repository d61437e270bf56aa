// A small OLE control container: one ControlHost hosts one ActiveX control in place inside a parent
// window (any window, including GetDesktopWindow()). It provides the client site, the in-place site and
// frame, an event sink for the control's default source interface, and key forwarding.
//
// Typical use, on an apartment-threaded (OleInitialize'd) thread with a message loop:
//     container::ControlHost host;
//     host.OnEvent = [](DISPID id, DISPPARAMS& args) { ... };
//     HRESULT hr = host.Create(clsid, parent);          // or CreateFromFactory(...)
//     ... message loop: if (!host.TranslateAccelerator(msg)) { TranslateMessage; DispatchMessage; }
//     host.Destroy();                                   // also done by the destructor
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <functional>
#include <string>

namespace container {

class ControlHost {
public:
    ControlHost();
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Creates the control by CLSID (CoCreateInstance, in-process) and activates it in place, filling
    // |bounds| in |parent|'s client coordinates, or the whole client area of |parent| when |bounds| is
    // null (for GetDesktopWindow(): the whole screen). Returns the first failing HRESULT; on failure
    // everything made so far is torn down again.
    HRESULT Create(const CLSID& clsid, HWND parent, const RECT* bounds = nullptr);
    // The same with a class factory the caller already has (a DLL's DllGetClassObject, unregistered).
    HRESULT CreateFromFactory(IClassFactory* factory, HWND parent, const RECT* bounds = nullptr);
    // Loads |dllPath|, asks its DllGetClassObject for |clsid| and hosts the object. The module stays
    // loaded while the host lives.
    HRESULT CreateFromLibrary(const std::string& dllPath, const CLSID& clsid, HWND parent,
                              const RECT* bounds = nullptr);

    // Deactivates in place, closes the control, disconnects the sink and the site, releases the
    // control. Safe to call more than once.
    void Destroy();

    bool Active() const { return control_ != nullptr; }
    IUnknown* Control() const { return control_; }   // not AddRef'd
    HWND ParentWindow() const { return parent_; }
    // The control's in-place window (IOleWindow::GetWindow of its in-place object), or 0.
    HWND ControlWindow() const;
    // Moves and sizes the control (IOleInPlaceObject::SetObjectRects), in parent client coordinates.
    void SetBounds(const RECT& bounds);
    RECT Bounds() const { return bounds_; }

    // Asks the control for a dispatch property by DISPID (DISPATCH_PROPERTYGET on its IDispatch).
    HRESULT GetProperty(DISPID id, VARIANT* result);
    HRESULT PutProperty(DISPID id, const VARIANT& value);

    // Key forwarding: gives keyboard messages to the control's IOleInPlaceActiveObject::
    // TranslateAccelerator. True when the control took the message (then don't dispatch it).
    bool TranslateAccelerator(MSG& msg);

    // Events fired by the control through its default source interface.
    std::function<void(DISPID id, DISPPARAMS& params)> OnEvent;
    // The site's callbacks in the order they arrived ("CanInPlaceActivate", "OnInPlaceActivate",
    // "GetWindow", "GetWindowContext", "ShowObject", "OnUIActivate", "OnInPlaceDeactivate", ...).
    std::function<void(const char* call)> OnSiteCall;

    // The IID of the event interface that the sink is connected to (GUID_NULL when none).
    IID EventIID() const { return eventIID_; }
    bool EventsConnected() const { return eventCookie_ != 0; }

private:
    class Site;
    class Sink;
    friend class Site;
    friend class Sink;

    HRESULT Activate(IUnknown* control, HWND parent, const RECT* bounds);
    void ConnectEvents();
    void SiteCall(const char* call);

    Site* site_ = nullptr;
    Sink* sink_ = nullptr;
    IUnknown* control_ = nullptr;
    IOleObject* oleObject_ = nullptr;
    IOleInPlaceObject* inPlace_ = nullptr;
    IOleInPlaceActiveObject* activeObject_ = nullptr;
    IConnectionPoint* connection_ = nullptr;
    DWORD eventCookie_ = 0;
    IID eventIID_ = {};
    HWND parent_ = nullptr;
    RECT bounds_ = {};
    HMODULE library_ = nullptr;
};

// Runs a message loop with key forwarding to |host| until WM_QUIT; returns the quit code.
int RunHostMessageLoop(ControlHost& host);

}  // namespace container
