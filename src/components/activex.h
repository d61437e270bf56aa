// A small ActiveX control framework: the OLE interfaces a container asks of a control, written once.
// A control class derives from ActiveXControl and from its own dual interface, supplies its window
// through CreateControlWindow, and answers its dual interface's IUnknown/IDispatch by forwarding to
// the framework (see ActiveXControl::DualQueryInterface and TypeInfoDispatch).
//
// Life of the control window: made at the first in-place activation as a child of the site's window,
// moved to a hidden parking window on in-place deactivation and back on the next activation, and
// destroyed with the object (Close does not destroy it).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

#include "comptr.h"

namespace comp {

// IDispatch through a type library's description of one dual interface.
class TypeInfoDispatch {
public:
    // Loads the type library embedded in |module| (resource 1) and the type info of |iid|.
    TypeInfoDispatch(HMODULE module, REFIID iid);
    ~TypeInfoDispatch();
    TypeInfoDispatch(const TypeInfoDispatch&) = delete;
    TypeInfoDispatch& operator=(const TypeInfoDispatch&) = delete;

    ITypeLib* TypeLib() const { return lib_; }
    ITypeInfo* TypeInfo() const { return info_; }
    HRESULT LoadResult() const { return loadResult_; }

    HRESULT GetTypeInfoCount(UINT* count);
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info);
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
    // |object| is the dual interface pointer whose vtable ITypeInfo::Invoke calls.
    HRESULT Invoke(void* object, DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr);

private:
    ITypeLib* lib_ = nullptr;
    ITypeInfo* info_ = nullptr;
    HRESULT loadResult_ = E_FAIL;
};

// One outgoing interface with any number of advised sinks.
class ConnectionPoint : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer* container, REFIID iid);
    virtual ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    // Called after a sink was advised (the new one) or unadvised (the last remaining one, or nullptr).
    std::function<void(IUnknown* sink)> OnSinkChanged;

    // Calls DISPID |id| on every sink as a method without result; the results are ignored.
    void Fire(DISPID id, DISPPARAMS& params);
    // The most recently advised sink still connected, or nullptr (not AddRef'd).
    IUnknown* CurrentSink() const { return sinks_.empty() ? nullptr : sinks_.back().sink; }
    size_t SinkCount() const { return sinks_.size(); }
    // Drops every sink (the container is going away).
    void UnadviseAll();

    // IUnknown: lives as long as its container.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    struct Entry {
        DWORD cookie;
        IUnknown* sink;
    };
    IConnectionPointContainer* container_;
    IID iid_;
    std::vector<Entry> sinks_;
    DWORD nextCookie_ = 1;
};

struct ActiveXClassInfo {
    CLSID clsid = {};
    IID dispatchIID = {};   // the default (dual) interface
    IID eventsIID = {};     // the default source dispinterface
    DWORD miscStatus = 0;   // OLEMISC_* for DVASPECT_CONTENT
    std::string userType;   // short user type name
};

class ActiveXControl : public IOleObject,
                       public IOleInPlaceObject,
                       public IOleInPlaceActiveObject,
                       public IOleControl,
                       public IViewObject2,
                       public IPersistStreamInit,
                       public IPersistPropertyBag,
                       public IProvideClassInfo2,
                       public IConnectionPointContainer {
public:
    ActiveXControl(const ActiveXClassInfo& info, TypeInfoDispatch& dispatch);
    virtual ~ActiveXControl();
    ActiveXControl(const ActiveXControl&) = delete;
    ActiveXControl& operator=(const ActiveXControl&) = delete;

    // The state a test or the derived control may read.
    bool InPlaceActive() const { return inPlaceActive_; }
    bool UIActive() const { return uiActive_; }
    IOleClientSite* ClientSite() const { return site_.Get(); }
    ConnectionPoint& Events() { return events_; }
    HWND ParkingWindow();

    // IUnknown (the derived class forwards its dual interface's IUnknown here)
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent, LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow / IOleInPlaceObject / IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDC, HDC drawDC,
                      LPCRECTL bounds, LPCRECTL wBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                      ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDC,
                             LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist / IPersistStreamInit / IPersistPropertyBag: the control keeps no state.
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

protected:
    // Makes the control window as a child of |parent| at |position| (not yet visible).
    virtual HWND CreateControlWindow(HWND parent, const RECT& position) = 0;
    // The control window, or 0.
    virtual HWND ControlWindow() const = 0;
    // Destroys the control window (called from the destructor of this class's derived object first).
    virtual void DestroyControlWindow() = 0;
    // The derived class's own interfaces (its dual interface and IDispatch): the pointer or nullptr.
    virtual void* QueryControlInterface(REFIID iid) = 0;
    // A sink was connected to or disconnected from the default source interface.
    virtual void EventSinkChanged(IUnknown* sink) {}
    // Keyboard messages that the container forwards. Default: sends them to the control window.
    virtual bool TranslateKey(MSG& msg);
    // Paints the control for IViewObject::Draw. Default: prints the window when it exists.
    virtual void DrawTo(HDC dc, const RECT& bounds);

    // The derived destructor calls this first: deactivates and destroys the window while the
    // derived object is still whole.
    void ShutDown();
    TypeInfoDispatch& Dispatch() { return dispatch_; }

private:
    HRESULT InPlaceActivate(bool uiActivate);

    ActiveXClassInfo info_;
    TypeInfoDispatch& dispatch_;
    LONG refs_ = 0;
    ConnectionPoint events_;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> uiWindow_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    SIZEL extent_ = {2000, 2000};
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool shutDown_ = false;
    LONG freezeCount_ = 0;
    HWND parking_ = nullptr;
};

}  // namespace comp
