// The COM face of the control: the ActiveX object that wraps the form T_3DVexlorForm and answers
// the dual interface I_3DVexlorForm with the form's properties.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <memory>

#include "_3DVexlorFormProj_h.h"
#include "components/activex.h"
#include "control/_3DVexlorFormImpl.h"

// OLEMISC_SIMPLEFRAME | OLEMISC_ACTSLIKELABEL, combined with the framework's control flags.
constexpr DWORD kControlMiscStatus = 0x12000;
constexpr DWORD kFrameworkMiscStatus = 0x20191;

// The type information of the library, loaded once from this module.
comp::TypeInfoDispatch& ControlTypeInfo();

class T_3DVexlorFormControl : public comp::ActiveXControl, public I_3DVexlorForm {
public:
    T_3DVexlorFormControl();
    ~T_3DVexlorFormControl() override;

    T_3DVexlorForm* Form() const { return form_.get(); }

    // IUnknown, IDispatch of the dual interface: forwarded to the framework.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return ActiveXControl::QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return ActiveXControl::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return ActiveXControl::Release(); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

    // I_3DVexlorForm
    STDMETHODIMP get_Visible(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Visible(VARIANT_BOOL value) override;
    STDMETHODIMP get_AutoScroll(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AutoScroll(VARIANT_BOOL value) override;
    STDMETHODIMP get_AutoSize(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AutoSize(VARIANT_BOOL value) override;
    STDMETHODIMP get_AxBorderStyle(TxActiveFormBorderStyle* value) override;
    STDMETHODIMP put_AxBorderStyle(TxActiveFormBorderStyle value) override;
    STDMETHODIMP get_Caption(BSTR* value) override;
    STDMETHODIMP put_Caption(BSTR value) override;
    STDMETHODIMP get_Color(OLE_COLOR* value) override;
    STDMETHODIMP put_Color(OLE_COLOR value) override;
    STDMETHODIMP get_Font(IFontDisp** value) override;
    STDMETHODIMP put_Font(IFontDisp* value) override;
    STDMETHODIMP putref_Font(IFontDisp* value) override;
    STDMETHODIMP get_KeyPreview(VARIANT_BOOL* value) override;
    STDMETHODIMP put_KeyPreview(VARIANT_BOOL value) override;
    STDMETHODIMP get_PixelsPerInch(LONG* value) override;
    STDMETHODIMP put_PixelsPerInch(LONG value) override;
    STDMETHODIMP get_PrintScale(TxPrintScale* value) override;
    STDMETHODIMP put_PrintScale(TxPrintScale value) override;
    STDMETHODIMP get_Scaled(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Scaled(VARIANT_BOOL value) override;
    STDMETHODIMP get_Active(VARIANT_BOOL* value) override;
    STDMETHODIMP get_DropTarget(VARIANT_BOOL* value) override;
    STDMETHODIMP put_DropTarget(VARIANT_BOOL value) override;
    STDMETHODIMP get_HelpFile(BSTR* value) override;
    STDMETHODIMP put_HelpFile(BSTR value) override;
    STDMETHODIMP get_DoubleBuffered(VARIANT_BOOL* value) override;
    STDMETHODIMP put_DoubleBuffered(VARIANT_BOOL value) override;
    STDMETHODIMP get_AlignDisabled(VARIANT_BOOL* value) override;
    STDMETHODIMP get_VisibleDockClientCount(LONG* value) override;
    STDMETHODIMP get_Enabled(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Enabled(VARIANT_BOOL value) override;
    STDMETHODIMP get_Cursor(SHORT* value) override;
    STDMETHODIMP put_Cursor(SHORT value) override;
    STDMETHODIMP get_HelpType(TxHelpType* value) override;
    STDMETHODIMP put_HelpType(TxHelpType value) override;
    STDMETHODIMP get_HelpKeyword(BSTR* value) override;
    STDMETHODIMP put_HelpKeyword(BSTR value) override;

protected:
    HWND CreateControlWindow(HWND parent, const RECT& position) override;
    HWND ControlWindow() const override;
    void DestroyControlWindow() override;
    void* QueryControlInterface(REFIID iid) override;
    void EventSinkChanged(IUnknown* sink) override;

private:
    // Form properties that the control only keeps.
    struct Properties {
        bool autoScroll = false;
        bool autoSize = false;
        TxActiveFormBorderStyle borderStyle = afbNone;
        std::wstring caption = L"_3DVexlorForm";
        OLE_COLOR color = 0x80000000 | COLOR_BACKGROUND;  // clBackground
        bool keyPreview = false;
        LONG pixelsPerInch = 96;
        TxPrintScale printScale = poProportional;
        bool scaled = true;
        bool dropTarget = false;
        std::wstring helpFile;
        bool doubleBuffered = false;
        bool enabled = true;
        bool visible = true;
        SHORT cursor = 0;
        TxHelpType helpType = htContext;
        std::wstring helpKeyword;
    } props_;
    comp::ComPtr<IFontDisp> font_;
    std::unique_ptr<T_3DVexlorForm> form_;
};
