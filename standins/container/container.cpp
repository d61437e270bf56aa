// The control container: client site, in-place site and frame, control site, ambient properties and
// the event sink.
#include "container.h"

#include <olectl.h>

namespace container {

namespace {

template <typename F>
HRESULT Guard(F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

template <typename T>
void SafeRelease(T*& p) {
    if (p) {
        T* q = p;
        p = nullptr;
        q->Release();
    }
}

bool IsKeyboardMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

}  // namespace

// ---- the site: one object with every interface the control asks of its container

class ControlHost::Site : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IOleControlSite,
                          public IDispatch {
public:
    explicit Site(ControlHost* host) : host_(host) {}
    virtual ~Site() = default;
    void Detach() { host_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *object = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow))
            *object = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(iid, IID_IOleControlSite))
            *object = static_cast<IOleControlSite*>(this);
        else if (IsEqualIID(iid, IID_IDispatch))
            *object = static_cast<IDispatch*>(this);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        if (c) *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return Call("ShowObject"); }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        Call("GetWindow");
        *window = host_ ? host_->parent_ : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override {
        Call("CanInPlaceActivate");
        return host_ ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnInPlaceActivate() override { return Call("OnInPlaceActivate"); }
    STDMETHODIMP OnUIActivate() override { return Call("OnUIActivate"); }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        Call("GetWindowContext");
        if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        RECT r = host_ ? host_->bounds_ : RECT{};
        *pos = r;
        *clip = r;
        info->fMDIApp = FALSE;
        info->hwndFrame = host_ ? host_->parent_ : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Call("OnUIDeactivate"); }
    STDMETHODIMP OnInPlaceDeactivate() override { return Call("OnInPlaceDeactivate"); }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override {
        return Guard([&] {
            if (host_ && rect) host_->SetBounds(*rect);
            return S_OK;
        });
    }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT border) override {
        if (!border || !host_) return E_POINTER;
        GetClientRect(host_->parent_, border);
        return S_OK;
    }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return Call("SetBorderSpace"); }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        Call(object ? "SetActiveObject" : "SetActiveObject(null)");
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** disp) override {
        if (disp) *disp = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL focus) override { return Call(focus ? "OnFocus" : "OnFocus(false)"); }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties. The control runs in user mode; others are not offered.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        switch (id) {
            case DISPID_AMBIENT_USERMODE:
                VariantInit(result);
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_TRUE;
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    HRESULT Call(const char* name) {
        if (host_) host_->SiteCall(name);
        return S_OK;
    }

    ControlHost* host_;
    LONG refs_ = 1;
};

// ---- the event sink: the control's default source dispinterface

class ControlHost::Sink : public IDispatch {
public:
    Sink(ControlHost* host, REFIID iid) : host_(host), iid_(iid) {}
    virtual ~Sink() = default;
    void Detach() { host_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, iid_)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        return Guard([&] {
            if (host_ && host_->OnEvent) {
                DISPPARAMS none = {nullptr, nullptr, 0, 0};
                host_->OnEvent(id, params ? *params : none);
            }
            return S_OK;
        });
    }

private:
    ControlHost* host_;
    IID iid_;
    LONG refs_ = 1;
};

// ---- ControlHost

ControlHost::ControlHost() = default;

ControlHost::~ControlHost() { Destroy(); }

void ControlHost::SiteCall(const char* call) {
    if (OnSiteCall) {
        try {
            OnSiteCall(call);
        } catch (...) {
        }
    }
}

HRESULT ControlHost::Create(const CLSID& clsid, HWND parent, const RECT* bounds) {
    Destroy();
    IUnknown* control = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&control));
    if (FAILED(hr)) return hr;
    hr = Activate(control, parent, bounds);
    control->Release();
    return hr;
}

HRESULT ControlHost::CreateFromFactory(IClassFactory* factory, HWND parent, const RECT* bounds) {
    Destroy();
    if (!factory) return E_POINTER;
    IUnknown* control = nullptr;
    HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&control));
    if (FAILED(hr)) return hr;
    hr = Activate(control, parent, bounds);
    control->Release();
    return hr;
}

HRESULT ControlHost::CreateFromLibrary(const std::string& dllPath, const CLSID& clsid, HWND parent, const RECT* bounds) {
    Destroy();
    HMODULE library = LoadLibraryA(dllPath.c_str());
    if (!library) return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(library, "DllGetClassObject"));
    if (!getClassObject) {
        FreeLibrary(library);
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        FreeLibrary(library);
        return hr;
    }
    hr = CreateFromFactory(factory, parent, bounds);
    factory->Release();
    // The library stays loaded while its object lives, and for the life of the host.
    library_ = library;
    if (FAILED(hr)) Destroy();
    return hr;
}

HRESULT ControlHost::Activate(IUnknown* control, HWND parent, const RECT* bounds) {
    control->AddRef();
    control_ = control;
    parent_ = parent;
    if (bounds) {
        bounds_ = *bounds;
    } else {
        GetClientRect(parent, &bounds_);
    }
    HRESULT hr = control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&oleObject_));
    if (FAILED(hr)) {
        Destroy();
        return hr;
    }
    site_ = new Site(this);
    DWORD misc = 0;
    oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    hr = oleObject_->SetClientSite(site_);
    if (FAILED(hr)) {
        Destroy();
        return hr;
    }
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    ConnectEvents();

    // The extent in HIMETRIC for containers that ask for it.
    HDC screen = GetDC(nullptr);
    SIZEL extent = {MulDiv(bounds_.right - bounds_.left, 2540, GetDeviceCaps(screen, LOGPIXELSX)),
                    MulDiv(bounds_.bottom - bounds_.top, 2540, GetDeviceCaps(screen, LOGPIXELSY))};
    ReleaseDC(nullptr, screen);
    oleObject_->SetExtent(DVASPECT_CONTENT, &extent);

    hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, parent_, &bounds_);
    if (FAILED(hr)) {
        Destroy();
        return hr;
    }
    control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
    control->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&activeObject_));
    return S_OK;
}

void ControlHost::ConnectEvents() {
    IProvideClassInfo2* classInfo = nullptr;
    if (FAILED(control_->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo)))) return;
    IID iid = GUID_NULL;
    HRESULT hr = classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid);
    classInfo->Release();
    if (FAILED(hr)) return;
    IConnectionPointContainer* cpc = nullptr;
    if (FAILED(control_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)))) return;
    hr = cpc->FindConnectionPoint(iid, &connection_);
    cpc->Release();
    if (FAILED(hr) || !connection_) return;
    sink_ = new Sink(this, iid);
    if (FAILED(connection_->Advise(static_cast<IDispatch*>(sink_), &eventCookie_))) {
        eventCookie_ = 0;
        return;
    }
    eventIID_ = iid;
}

void ControlHost::Destroy() {
    if (inPlace_) inPlace_->InPlaceDeactivate();
    if (oleObject_) oleObject_->Close(OLECLOSE_NOSAVE);
    if (connection_ && eventCookie_) connection_->Unadvise(eventCookie_);
    eventCookie_ = 0;
    eventIID_ = GUID_NULL;
    SafeRelease(connection_);
    if (oleObject_) oleObject_->SetClientSite(nullptr);
    SafeRelease(activeObject_);
    SafeRelease(inPlace_);
    SafeRelease(oleObject_);
    SafeRelease(control_);
    if (site_) site_->Detach();
    SafeRelease(site_);
    if (sink_) sink_->Detach();
    SafeRelease(sink_);
    if (library_) {
        using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
        auto canUnload = reinterpret_cast<CanUnloadFn>(GetProcAddress(library_, "DllCanUnloadNow"));
        if (!canUnload || canUnload() == S_OK) FreeLibrary(library_);
        library_ = nullptr;
    }
    parent_ = nullptr;
}

HWND ControlHost::ControlWindow() const {
    HWND wnd = nullptr;
    if (inPlace_) inPlace_->GetWindow(&wnd);
    return wnd;
}

void ControlHost::SetBounds(const RECT& bounds) {
    bounds_ = bounds;
    if (inPlace_) inPlace_->SetObjectRects(&bounds_, &bounds_);
}

HRESULT ControlHost::GetProperty(DISPID id, VARIANT* result) {
    if (!control_) return E_UNEXPECTED;
    IDispatch* disp = nullptr;
    HRESULT hr = control_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result, nullptr, nullptr);
    disp->Release();
    return hr;
}

HRESULT ControlHost::PutProperty(DISPID id, const VARIANT& value) {
    if (!control_) return E_UNEXPECTED;
    IDispatch* disp = nullptr;
    HRESULT hr = control_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
    if (FAILED(hr)) return hr;
    VARIANT arg = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&arg, &named, 1, 1};
    hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    disp->Release();
    return hr;
}

bool ControlHost::TranslateAccelerator(MSG& msg) {
    if (!activeObject_ || !IsKeyboardMessage(msg.message)) return false;
    return activeObject_->TranslateAccelerator(&msg) == S_OK;
}

int RunHostMessageLoop(ControlHost& host) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (host.TranslateAccelerator(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace container
