// The ActiveX object around the control form.
#include <initguid.h>

#include "_3DVexlorFormControl.h"

#include "components/com_server.h"
#include "components/module.h"

comp::TypeInfoDispatch& ControlTypeInfo() {
    static comp::TypeInfoDispatch info(comp::ModuleInstance(), IID_I_3DVexlorForm);
    return info;
}

static comp::ActiveXClassInfo ControlClassInfo() {
    comp::ActiveXClassInfo info;
    info.clsid = CLSID__3DVexlorForm;
    info.dispatchIID = IID_I_3DVexlorForm;
    info.eventsIID = DIID_I_3DVexlorFormEvents;
    info.miscStatus = kControlMiscStatus | kFrameworkMiscStatus;
    info.userType = "_3DVexlorForm Control";
    return info;
}

// Every property method is a COM boundary.
template <typename F>
static HRESULT Guard(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

static HRESULT ReturnBool(VARIANT_BOOL* out, bool value) {
    if (!out) return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

static HRESULT ReturnString(BSTR* out, const std::wstring& value) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out || value.empty() ? S_OK : E_OUTOFMEMORY;
}

static std::wstring FromBSTR(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }

T_3DVexlorFormControl::T_3DVexlorFormControl() : ActiveXControl(ControlClassInfo(), ControlTypeInfo()) {}

T_3DVexlorFormControl::~T_3DVexlorFormControl() { ShutDown(); }

HWND T_3DVexlorFormControl::CreateControlWindow(HWND parent, const RECT& position) {
    try {
        form_ = std::make_unique<T_3DVexlorForm>();
        form_->CreateControl(parent, position);
        // A sink the container connected before the window existed.
        EventSinkChanged(Events().CurrentSink());
        if (!props_.enabled) EnableWindow(form_->Window::Handle(), FALSE);
        if (props_.cursor) form_->SetCursor(props_.cursor);
        return form_->Window::Handle();
    } catch (...) {
        form_.reset();
        return nullptr;
    }
}

HWND T_3DVexlorFormControl::ControlWindow() const { return form_ ? form_->Window::Handle() : nullptr; }

void T_3DVexlorFormControl::DestroyControlWindow() {
    if (!form_) return;
    try {
        form_->DestroyControl();
    } catch (...) {
    }
    form_.reset();
}

void* T_3DVexlorFormControl::QueryControlInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_I_3DVexlorForm)) return static_cast<I_3DVexlorForm*>(this);
    return nullptr;
}

void T_3DVexlorFormControl::EventSinkChanged(IUnknown* sink) {
    if (!form_) return;
    comp::ComPtr<IDispatch> disp;
    if (sink && FAILED(sink->QueryInterface(DIID_I_3DVexlorFormEvents, disp.ReceiveVoid())))
        sink->QueryInterface(IID_IDispatch, disp.ReceiveVoid());
    form_->EventSinkChanged(disp.Get());
}

// ---- IDispatch

STDMETHODIMP T_3DVexlorFormControl::GetTypeInfoCount(UINT* count) { return Dispatch().GetTypeInfoCount(count); }

STDMETHODIMP T_3DVexlorFormControl::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    return Dispatch().GetTypeInfo(index, lcid, info);
}

STDMETHODIMP T_3DVexlorFormControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    return Dispatch().GetIDsOfNames(riid, names, count, lcid, ids);
}

STDMETHODIMP T_3DVexlorFormControl::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                           VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    return Guard([&] {
        return Dispatch().Invoke(static_cast<I_3DVexlorForm*>(this), id, riid, lcid, flags, params, result, excepInfo,
                                 argErr);
    });
}

// ---- properties

STDMETHODIMP T_3DVexlorFormControl::get_Visible(VARIANT_BOOL* value) {
    HWND wnd = ControlWindow();
    return ReturnBool(value, wnd ? IsWindowVisible(wnd) != 0 : props_.visible);
}

STDMETHODIMP T_3DVexlorFormControl::put_Visible(VARIANT_BOOL value) {
    props_.visible = value != VARIANT_FALSE;
    if (HWND wnd = ControlWindow()) ShowWindow(wnd, props_.visible ? SW_SHOWNA : SW_HIDE);
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_AutoScroll(VARIANT_BOOL* value) { return ReturnBool(value, props_.autoScroll); }
STDMETHODIMP T_3DVexlorFormControl::put_AutoScroll(VARIANT_BOOL value) {
    props_.autoScroll = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_AutoSize(VARIANT_BOOL* value) { return ReturnBool(value, props_.autoSize); }
STDMETHODIMP T_3DVexlorFormControl::put_AutoSize(VARIANT_BOOL value) {
    props_.autoSize = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_AxBorderStyle(TxActiveFormBorderStyle* value) {
    if (!value) return E_POINTER;
    *value = props_.borderStyle;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::put_AxBorderStyle(TxActiveFormBorderStyle value) {
    if (value < afbNone || value > afbRaised) return E_INVALIDARG;
    props_.borderStyle = value;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_Caption(BSTR* value) {
    return Guard([&] { return ReturnString(value, props_.caption); });
}

STDMETHODIMP T_3DVexlorFormControl::put_Caption(BSTR value) {
    return Guard([&] {
        props_.caption = FromBSTR(value);
        if (HWND wnd = ControlWindow()) SetWindowTextW(wnd, props_.caption.c_str());
        return S_OK;
    });
}

STDMETHODIMP T_3DVexlorFormControl::get_Color(OLE_COLOR* value) {
    if (!value) return E_POINTER;
    *value = props_.color;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::put_Color(OLE_COLOR value) {
    COLORREF rgb = 0;
    HRESULT hr = OleTranslateColor(value, nullptr, &rgb);
    if (FAILED(hr)) return hr;
    props_.color = value;
    if (form_) form_->SetColor(rgb);
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_Font(IFontDisp** value) {
    return Guard([&]() -> HRESULT {
        if (!value) return E_POINTER;
        *value = nullptr;
        if (!font_) {
            // The form's font: "MS Sans Serif", 8 points (height -11 at 96 pixels per inch).
            FONTDESC desc = {};
            desc.cbSizeofstruct = sizeof(desc);
            desc.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
            desc.cySize.Lo = 80000;
            desc.sWeight = FW_NORMAL;
            desc.sCharset = DEFAULT_CHARSET;
            HRESULT hr = OleCreateFontIndirect(&desc, IID_IFontDisp, font_.ReceiveVoid());
            if (FAILED(hr)) return hr;
        }
        *value = font_.Get();
        (*value)->AddRef();
        return S_OK;
    });
}

STDMETHODIMP T_3DVexlorFormControl::put_Font(IFontDisp* value) {
    return Guard([&]() -> HRESULT {
        if (!value) return E_POINTER;
        // By value: a copy of the font.
        comp::ComPtr<IFont> source = comp::ComPtr<IFontDisp>(value).As<IFont>(IID_IFont);
        if (!source) return E_INVALIDARG;
        comp::ComPtr<IFont> copy;
        HRESULT hr = source->Clone(copy.Receive());
        if (FAILED(hr)) return hr;
        font_ = copy.As<IFontDisp>(IID_IFontDisp);
        return font_ ? S_OK : E_NOINTERFACE;
    });
}

STDMETHODIMP T_3DVexlorFormControl::putref_Font(IFontDisp* value) {
    if (!value) return E_POINTER;
    font_ = comp::ComPtr<IFontDisp>(value);
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_KeyPreview(VARIANT_BOOL* value) { return ReturnBool(value, props_.keyPreview); }
STDMETHODIMP T_3DVexlorFormControl::put_KeyPreview(VARIANT_BOOL value) {
    props_.keyPreview = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_PixelsPerInch(LONG* value) {
    if (!value) return E_POINTER;
    *value = props_.pixelsPerInch;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::put_PixelsPerInch(LONG value) {
    if (value <= 0) return E_INVALIDARG;
    props_.pixelsPerInch = value;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_PrintScale(TxPrintScale* value) {
    if (!value) return E_POINTER;
    *value = props_.printScale;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::put_PrintScale(TxPrintScale value) {
    if (value < poNone || value > poPrintToFit) return E_INVALIDARG;
    props_.printScale = value;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_Scaled(VARIANT_BOOL* value) { return ReturnBool(value, props_.scaled); }
STDMETHODIMP T_3DVexlorFormControl::put_Scaled(VARIANT_BOOL value) {
    props_.scaled = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_Active(VARIANT_BOOL* value) { return ReturnBool(value, UIActive()); }

STDMETHODIMP T_3DVexlorFormControl::get_DropTarget(VARIANT_BOOL* value) { return ReturnBool(value, props_.dropTarget); }
STDMETHODIMP T_3DVexlorFormControl::put_DropTarget(VARIANT_BOOL value) {
    props_.dropTarget = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_HelpFile(BSTR* value) {
    return Guard([&] { return ReturnString(value, props_.helpFile); });
}
STDMETHODIMP T_3DVexlorFormControl::put_HelpFile(BSTR value) {
    return Guard([&] {
        props_.helpFile = FromBSTR(value);
        return S_OK;
    });
}

STDMETHODIMP T_3DVexlorFormControl::get_DoubleBuffered(VARIANT_BOOL* value) {
    return ReturnBool(value, props_.doubleBuffered);
}
STDMETHODIMP T_3DVexlorFormControl::put_DoubleBuffered(VARIANT_BOOL value) {
    props_.doubleBuffered = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_AlignDisabled(VARIANT_BOOL* value) { return ReturnBool(value, false); }

STDMETHODIMP T_3DVexlorFormControl::get_VisibleDockClientCount(LONG* value) {
    if (!value) return E_POINTER;
    *value = 0;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_Enabled(VARIANT_BOOL* value) {
    HWND wnd = ControlWindow();
    return ReturnBool(value, wnd ? IsWindowEnabled(wnd) != 0 : props_.enabled);
}

STDMETHODIMP T_3DVexlorFormControl::put_Enabled(VARIANT_BOOL value) {
    props_.enabled = value != VARIANT_FALSE;
    if (HWND wnd = ControlWindow()) EnableWindow(wnd, props_.enabled ? TRUE : FALSE);
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_Cursor(SHORT* value) {
    if (!value) return E_POINTER;
    // The form's own cursor once it exists: the cube's input changes it.
    *value = form_ ? static_cast<SHORT>(form_->Cursor()) : props_.cursor;
    return S_OK;
}
STDMETHODIMP T_3DVexlorFormControl::put_Cursor(SHORT value) {
    props_.cursor = value;
    if (form_) form_->SetCursor(value);
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_HelpType(TxHelpType* value) {
    if (!value) return E_POINTER;
    *value = props_.helpType;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::put_HelpType(TxHelpType value) {
    if (value != htKeyword && value != htContext) return E_INVALIDARG;
    props_.helpType = value;
    return S_OK;
}

STDMETHODIMP T_3DVexlorFormControl::get_HelpKeyword(BSTR* value) {
    return Guard([&] { return ReturnString(value, props_.helpKeyword); });
}
STDMETHODIMP T_3DVexlorFormControl::put_HelpKeyword(BSTR value) {
    return Guard([&] {
        props_.helpKeyword = FromBSTR(value);
        return S_OK;
    });
}
