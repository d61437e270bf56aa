// The four exports of the in-process server.
#include <windows.h>
#include <ole2.h>

#include "_3DVexlorFormControl.h"
#include "components/com_server.h"
#include "components/exceptions.h"
#include "components/module.h"

namespace {

comp::ControlRegistration Registration() {
    comp::ControlRegistration reg;
    reg.clsid = CLSID__3DVexlorForm;
    reg.description = "_3DVexlorForm Control";
    reg.progId = "_3DVexlorFormProj._3DVexlorForm";
    reg.serverPath = comp::ModuleFileName(comp::ModuleInstance());
    reg.threadingModel = "Apartment";
    reg.libId = LIBID__3DVexlorFormProj;
    reg.typeLibVersion = "1.0";
    reg.isControl = true;
    reg.toolboxBitmap = 1;
    reg.miscStatus = 0;
    reg.miscStatusContent = kControlMiscStatus | kFrameworkMiscStatus;
    reg.verbs = {"Properties,0,2"};
    return reg;
}

comp::ClassFactory& ControlFactory() {
    static comp::ClassFactory factory(CLSID__3DVexlorForm, [](REFIID iid, void** object) -> HRESULT {
        auto* control = new T_3DVexlorFormControl();
        control->AddRef();
        HRESULT hr = control->QueryInterface(iid, object);
        control->Release();
        return hr;
    });
    return factory;
}

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    try {
        if (!object) return E_POINTER;
        *object = nullptr;
        // One control per desktop: decided when a class object is first asked for.
        if (!ControlLibraryStart()) return CLASS_E_CLASSNOTAVAILABLE;
        comp::ComServer::AddFactory(&ControlFactory());
        return comp::ComServer::GetClassObject(clsid, iid, object);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comp::ComModule::CanUnloadNow(); }

HRESULT STDAPICALLTYPE DllRegisterServer() {
    try {
        const comp::ControlRegistration reg = Registration();
        if (reg.serverPath.empty()) return E_FAIL;
        comp::RegisterModuleTypeLib(reg.serverPath);
        comp::RegisterControlClass(reg);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    HRESULT result = S_OK;
    try {
        comp::UnregisterControlClass(Registration());
    } catch (...) {
        result = E_FAIL;
    }
    try {
        comp::UnregisterModuleTypeLib(Registration().serverPath);
    } catch (...) {
        result = E_FAIL;
    }
    return result;
}

}  // extern "C"
