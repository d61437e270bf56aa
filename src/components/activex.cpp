// The ActiveX control framework.
#include "activex.h"

#include "com_server.h"
#include "module.h"

namespace comp {

// Every COM method is a boundary: no C++ exception may leave it.
template <typename F>
static HRESULT ComGuard(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// ---- TypeInfoDispatch

TypeInfoDispatch::TypeInfoDispatch(HMODULE module, REFIID iid) {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::wstring wpath = ToWide(path);
    loadResult_ = LoadTypeLibEx(wpath.c_str(), REGKIND_NONE, &lib_);
    if (SUCCEEDED(loadResult_)) loadResult_ = lib_->GetTypeInfoOfGuid(iid, &info_);
}

TypeInfoDispatch::~TypeInfoDispatch() {
    if (info_) info_->Release();
    if (lib_) lib_->Release();
}

HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = info_ ? 1 : 0;
    return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!info_) return TYPE_E_ELEMENTNOTFOUND;
    info_->AddRef();
    *info = info_;
    return S_OK;
}

HRESULT TypeInfoDispatch::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!info_) return E_UNEXPECTED;
    return DispGetIDsOfNames(info_, names, count, ids);
}

HRESULT TypeInfoDispatch::Invoke(void* object, DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!info_) return E_UNEXPECTED;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return info_->Invoke(object, id, flags, params ? params : &none, result, excepInfo, argErr);
}

// ---- ConnectionPoint

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID iid) : container_(container), iid_(iid) {}

ConnectionPoint::~ConnectionPoint() { UnadviseAll(); }

void ConnectionPoint::UnadviseAll() {
    std::vector<Entry> sinks;
    sinks.swap(sinks_);
    for (Entry& e : sinks) e.sink->Release();
    if (!sinks.empty() && OnSinkChanged) OnSinkChanged(nullptr);
}

void ConnectionPoint::Fire(DISPID id, DISPPARAMS& params) {
    // A sink may unadvise while it handles the event: call a copy.
    std::vector<IUnknown*> sinks;
    sinks.reserve(sinks_.size());  // each reference taken below is stored
    for (Entry& e : sinks_) {
        e.sink->AddRef();
        sinks.push_back(e.sink);
    }
    for (IUnknown* sink : sinks) {
        IDispatch* disp = nullptr;
        if (SUCCEEDED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))) && disp) {
            disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
            disp->Release();
        }
        sink->Release();
    }
}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return container_->AddRef(); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() { return container_->Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    container_->AddRef();
    *container = container_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    return ComGuard([&]() -> HRESULT {
        if (!cookie) return E_POINTER;
        *cookie = 0;
        if (!sink) return E_POINTER;
        // The sink must speak the outgoing interface or plain IDispatch.
        IUnknown* checked = nullptr;
        if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&checked))) &&
            FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&checked))))
            return CONNECT_E_CANNOTCONNECT;
        checked->Release();
        // Stored first: a sink that can't be stored is not kept either.
        sinks_.push_back({nextCookie_, sink});
        sink->AddRef();
        *cookie = nextCookie_++;
        if (OnSinkChanged) OnSinkChanged(sink);
        return S_OK;
    });
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    return ComGuard([&]() -> HRESULT {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->cookie == cookie) {
                IUnknown* sink = it->sink;
                sinks_.erase(it);
                sink->Release();
                if (OnSinkChanged) OnSinkChanged(CurrentSink());
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    });
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

// ---- ActiveXControl

ActiveXControl::ActiveXControl(const ActiveXClassInfo& info, TypeInfoDispatch& dispatch)
    : info_(info), dispatch_(dispatch), events_(static_cast<IConnectionPointContainer*>(this), info.eventsIID) {
    events_.OnSinkChanged = [this](IUnknown* sink) { EventSinkChanged(sink); };
    ComModule::ObjectCreated();
}

ActiveXControl::~ActiveXControl() {
    ShutDown();
    events_.OnSinkChanged = nullptr;
    events_.UnadviseAll();
    if (parking_) DestroyWindow(parking_);
    ComModule::ObjectDestroyed();
}

HWND ActiveXControl::ParkingWindow() {
    if (!parking_) {
        // Owned by this control: a plain hidden window, destroyed with the control.
        WNDCLASSA wc = {};
        if (!::GetClassInfoA(ModuleInstance(), "comp.ActiveXParking", &wc)) {
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = ModuleInstance();
            wc.lpszClassName = "comp.ActiveXParking";
            RegisterClassA(&wc);
        }
        parking_ = CreateWindowExA(WS_EX_TOOLWINDOW, "comp.ActiveXParking", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   ModuleInstance(), nullptr);
    }
    return parking_;
}

void ActiveXControl::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    try {
        InPlaceDeactivate();
    } catch (...) {
    }
    try {
        DestroyControlWindow();
    } catch (...) {
    }
    site_ = nullptr;
}

STDMETHODIMP ActiveXControl::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
        *object = static_cast<IOleObject*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
        *object = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
        *object = static_cast<IOleInPlaceActiveObject*>(this);
    else if (IsEqualIID(iid, IID_IOleControl))
        *object = static_cast<IOleControl*>(this);
    else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2))
        *object = static_cast<IViewObject2*>(this);
    else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
        *object = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(iid, IID_IPersistPropertyBag))
        *object = static_cast<IPersistPropertyBag*>(this);
    else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        *object = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *object = static_cast<IConnectionPointContainer*>(this);
    else {
        try {
            *object = QueryControlInterface(iid);
        } catch (...) {
            *object = nullptr;
        }
    }
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ActiveXControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) ActiveXControl::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
        // Guard against re-entry while the object tears down (the site may AddRef/Release us).
        refs_ = 1;
        delete this;
    }
    return static_cast<ULONG>(n);
}

// -- IOleObject

STDMETHODIMP ActiveXControl::SetClientSite(IOleClientSite* site) {
    return ComGuard([&]() -> HRESULT {
        if (!site && inPlaceActive_) InPlaceDeactivate();
        site_ = ComPtr<IOleClientSite>(site);
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP ActiveXControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP ActiveXControl::Close(DWORD) {
    return ComGuard([&]() -> HRESULT {
        InPlaceDeactivate();
        if (adviseHolder_) adviseHolder_->SendOnClose();
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP ActiveXControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ActiveXControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP ActiveXControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ActiveXControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
    return ComGuard([&]() -> HRESULT {
        if (site && !site_) site_ = ComPtr<IOleClientSite>(site);
        switch (verb) {
            case OLEIVERB_PRIMARY:
            case OLEIVERB_SHOW:
            case OLEIVERB_UIACTIVATE:
                return InPlaceActivate(true);
            case OLEIVERB_INPLACEACTIVATE:
                return InPlaceActivate(false);
            case OLEIVERB_HIDE:
                UIDeactivate();
                if (ControlWindow()) ShowWindow(ControlWindow(), SW_HIDE);
                return S_OK;
            case OLEIVERB_PROPERTIES:
                // The control defines no property page.
                return E_NOTIMPL;
            default:
                return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

STDMETHODIMP ActiveXControl::EnumVerbs(IEnumOLEVERB** verbs) {
    return ComGuard([&]() -> HRESULT { return OleRegEnumVerbs(info_.clsid, verbs); });
}

STDMETHODIMP ActiveXControl::Update() { return S_OK; }
STDMETHODIMP ActiveXControl::IsUpToDate() { return S_OK; }

STDMETHODIMP ActiveXControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = info_.clsid;
    return S_OK;
}

STDMETHODIMP ActiveXControl::GetUserType(DWORD form, LPOLESTR* type) {
    return ComGuard([&]() -> HRESULT {
        if (!type) return E_POINTER;
        *type = nullptr;
        if (info_.userType.empty()) return OleRegGetUserType(info_.clsid, form, type);
        std::wstring w = ToWide(info_.userType);
        size_t bytes = (w.size() + 1) * sizeof(wchar_t);
        *type = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!*type) return E_OUTOFMEMORY;
        memcpy(*type, w.c_str(), bytes);
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP ActiveXControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP ActiveXControl::Advise(IAdviseSink* sink, DWORD* connection) {
    return ComGuard([&]() -> HRESULT {
        if (!adviseHolder_) {
            HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Receive());
            if (FAILED(hr)) return hr;
        }
        return adviseHolder_->Advise(sink, connection);
    });
}

STDMETHODIMP ActiveXControl::Unadvise(DWORD connection) {
    return ComGuard([&]() -> HRESULT {
        if (!adviseHolder_) return OLE_E_NOCONNECTION;
        return adviseHolder_->Unadvise(connection);
    });
}

STDMETHODIMP ActiveXControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    if (!adviseHolder_) return S_OK;
    return adviseHolder_->EnumAdvise(advise);
}

STDMETHODIMP ActiveXControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? info_.miscStatus : 0;
    return S_OK;
}

STDMETHODIMP ActiveXControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// -- in-place activation

HRESULT ActiveXControl::InPlaceActivate(bool uiActivate) {
    if (!site_) return E_UNEXPECTED;
    if (!inPlaceActive_) {
        ComPtr<IOleInPlaceSite> ips = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!ips) return E_NOINTERFACE;
        if (ips->CanInPlaceActivate() != S_OK) return E_FAIL;
        ips->OnInPlaceActivate();
        inPlaceSite_ = ips;
        inPlaceActive_ = true;

        HWND parent = nullptr;
        HRESULT hr = ips->GetWindow(&parent);
        RECT pos = {}, clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* uiWindow = nullptr;
        if (SUCCEEDED(hr)) hr = ips->GetWindowContext(&frame, &uiWindow, &pos, &clip, &frameInfo);
        frame_ = ComPtr<IOleInPlaceFrame>::Attach(frame);
        uiWindow_ = ComPtr<IOleInPlaceUIWindow>::Attach(uiWindow);
        if (FAILED(hr) || !parent) {
            InPlaceDeactivate();
            return FAILED(hr) ? hr : E_FAIL;
        }
        HWND wnd = ControlWindow();
        if (!wnd) {
            wnd = CreateControlWindow(parent, pos);
            if (!wnd) {
                InPlaceDeactivate();
                return E_FAIL;
            }
        } else {
            SetParent(wnd, parent);
            MoveWindow(wnd, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top, FALSE);
        }
        ShowWindow(wnd, SW_SHOWNA);
        site_->ShowObject();
    } else if (ControlWindow()) {
        ShowWindow(ControlWindow(), SW_SHOWNA);
    }

    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        if (frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
        if (uiWindow_) uiWindow_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
        if (frame_) frame_->SetBorderSpace(nullptr);
        if (uiWindow_) uiWindow_->SetBorderSpace(nullptr);
        ComPtr<IOleControlSite> controlSite = site_.As<IOleControlSite>(IID_IOleControlSite);
        if (controlSite) controlSite->OnFocus(TRUE);
        if (ControlWindow()) SetFocus(ControlWindow());
    }
    return S_OK;
}

STDMETHODIMP ActiveXControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = ControlWindow();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP ActiveXControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ActiveXControl::InPlaceDeactivate() {
    return ComGuard([&]() -> HRESULT {
        if (!inPlaceActive_) return S_OK;
        UIDeactivate();
        inPlaceActive_ = false;
        HWND wnd = ControlWindow();
        if (wnd && IsWindow(wnd)) {
            ShowWindow(wnd, SW_HIDE);
            HWND parking = ParkingWindow();
            if (parking) SetParent(wnd, parking);
        }
        ComPtr<IOleInPlaceSite> ips = inPlaceSite_;
        inPlaceSite_ = nullptr;
        frame_ = nullptr;
        uiWindow_ = nullptr;
        if (ips) ips->OnInPlaceDeactivate();
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::UIDeactivate() {
    return ComGuard([&]() -> HRESULT {
        if (!uiActive_) return S_OK;
        uiActive_ = false;
        if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
        if (frame_) frame_->SetActiveObject(nullptr, nullptr);
        if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::SetObjectRects(LPCRECT position, LPCRECT) {
    return ComGuard([&]() -> HRESULT {
        if (!position) return E_POINTER;
        if (HWND wnd = ControlWindow())
            MoveWindow(wnd, position->left, position->top, position->right - position->left,
                       position->bottom - position->top, TRUE);
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

bool ActiveXControl::TranslateKey(MSG& msg) {
    HWND wnd = ControlWindow();
    if (!wnd) return false;
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        // The container does not dispatch a message we take: make its characters for our window.
        MSG copy = msg;
        copy.hwnd = wnd;
        TranslateMessage(&copy);
    }
    SendMessageA(wnd, msg.message, msg.wParam, msg.lParam);
    return true;
}

STDMETHODIMP ActiveXControl::TranslateAccelerator(LPMSG msg) {
    return ComGuard([&]() -> HRESULT {
        if (!msg) return E_POINTER;
        return TranslateKey(*msg) ? S_OK : S_FALSE;
    });
}

STDMETHODIMP ActiveXControl::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ActiveXControl::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ActiveXControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP ActiveXControl::EnableModeless(BOOL) { return S_OK; }

// -- IOleControl

STDMETHODIMP ActiveXControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP ActiveXControl::OnMnemonic(MSG*) { return S_OK; }
STDMETHODIMP ActiveXControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP ActiveXControl::FreezeEvents(BOOL freeze) {
    if (freeze)
        ++freezeCount_;
    else if (freezeCount_ > 0)
        --freezeCount_;
    return S_OK;
}

// -- IViewObject2

void ActiveXControl::DrawTo(HDC dc, const RECT& bounds) {
    HWND wnd = ControlWindow();
    if (wnd) {
        int saved = SaveDC(dc);
        SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
        SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        RestoreDC(dc, saved);
    } else {
        FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
}

STDMETHODIMP ActiveXControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDC, LPCRECTL bounds,
                                  LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return ComGuard([&]() -> HRESULT {
        if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (!drawDC || !bounds) return E_INVALIDARG;
        RECT r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
        DrawTo(drawDC, r);
        return S_OK;
    });
}

STDMETHODIMP ActiveXControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP ActiveXControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP ActiveXControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP ActiveXControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewFlags_ = flags;
    viewSink_ = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

STDMETHODIMP ActiveXControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP ActiveXControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

// -- persistence: nothing to keep

STDMETHODIMP ActiveXControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = info_.clsid;
    return S_OK;
}

STDMETHODIMP ActiveXControl::IsDirty() { return S_FALSE; }
STDMETHODIMP ActiveXControl::Load(LPSTREAM) { return S_OK; }
STDMETHODIMP ActiveXControl::Save(LPSTREAM, BOOL) { return S_OK; }

STDMETHODIMP ActiveXControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

STDMETHODIMP ActiveXControl::InitNew() { return S_OK; }
STDMETHODIMP ActiveXControl::Load(IPropertyBag*, IErrorLog*) { return S_OK; }
STDMETHODIMP ActiveXControl::Save(IPropertyBag*, BOOL, BOOL) { return S_OK; }

// -- IProvideClassInfo2

STDMETHODIMP ActiveXControl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (!dispatch_.TypeLib()) return E_UNEXPECTED;
    return dispatch_.TypeLib()->GetTypeInfoOfGuid(info_.clsid, info);
}

STDMETHODIMP ActiveXControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = info_.eventsIID;
    return S_OK;
}

// -- IConnectionPointContainer

STDMETHODIMP ActiveXControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ActiveXControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, info_.eventsIID)) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace comp
