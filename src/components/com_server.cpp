// COM server counts, class factories and registration.
#include "com_server.h"

#include "exceptions.h"
#include "registry.h"

#include <algorithm>

namespace comp {

std::string GuidToString(const GUID& guid) {
    char text[40];
    wsprintfA(text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(guid.Data1),
              guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
              guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

bool StringToGuid(const std::string& text, GUID& guid) {
    std::wstring w = ToWide(text);
    return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(w.c_str()), &guid));
}

std::wstring ToWide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
    return w;
}

std::string FromWide(const wchar_t* text) {
    if (!text || !*text) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &s[0], n, nullptr, nullptr);
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

// ---- module counts

static LONG gObjects = 0;
static LONG gFactoryRefs = 0;
static LONG gLocks = 0;

void ComModule::ObjectCreated() { InterlockedIncrement(&gObjects); }
void ComModule::ObjectDestroyed() { InterlockedDecrement(&gObjects); }
void ComModule::FactoryReferenced() { InterlockedIncrement(&gFactoryRefs); }
void ComModule::FactoryReleased() { InterlockedDecrement(&gFactoryRefs); }
void ComModule::Lock() { InterlockedIncrement(&gLocks); }
void ComModule::Unlock() { InterlockedDecrement(&gLocks); }
LONG ComModule::ObjectCount() { return gObjects; }
LONG ComModule::FactoryReferenceCount() { return gFactoryRefs; }
LONG ComModule::LockCount() { return gLocks; }
HRESULT ComModule::CanUnloadNow() { return (gObjects == 0 && gFactoryRefs == 0 && gLocks == 0) ? S_OK : S_FALSE; }

// ---- class factory

ClassFactory::ClassFactory(const CLSID& clsid, ObjectCreator creator) : clsid_(clsid), creator_(std::move(creator)) {}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

// A held factory keeps the module loaded: a client may still call it.
STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
    ComModule::FactoryReferenced();
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

// The factory is a static object: the last release does not free it.
STDMETHODIMP_(ULONG) ClassFactory::Release() {
    if (refs_ <= 0) return 0;
    ComModule::FactoryReleased();
    return static_cast<ULONG>(InterlockedDecrement(&refs_));
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    try {
        return creator_ ? creator_(iid, object) : E_UNEXPECTED;
    } catch (const EOutOfMemory&) {
        return E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock)
        ComModule::Lock();
    else
        ComModule::Unlock();
    return S_OK;
}

// ---- server table

static std::vector<ClassFactory*>& Factories() {
    static std::vector<ClassFactory*> factories;
    return factories;
}

void ComServer::AddFactory(ClassFactory* factory) {
    if (factory && std::find(Factories().begin(), Factories().end(), factory) == Factories().end())
        Factories().push_back(factory);
}

void ComServer::RemoveFactory(ClassFactory* factory) {
    auto& f = Factories();
    f.erase(std::remove(f.begin(), f.end(), factory), f.end());
}

void ComServer::ClearFactories() { Factories().clear(); }
size_t ComServer::FactoryCount() { return Factories().size(); }

HRESULT ComServer::GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (ClassFactory* factory : Factories()) {
        if (IsEqualCLSID(factory->ClassId(), clsid)) return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

// ---- registration

static void WriteDefault(const std::string& path, const std::string& value) {
    RegistryKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, path, true)) throw Exception("Cannot create registry key " + path);
    key.WriteString("", value);
}

static void CreateKey(const std::string& path) {
    RegistryKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, path, true)) throw Exception("Cannot create registry key " + path);
}

void RegisterControlClass(const ControlRegistration& reg) {
    const std::string clsid = GuidToString(reg.clsid);
    const std::string base = "CLSID\\" + clsid;
    WriteDefault(base, reg.description);
    {
        RegistryKey key;
        if (!key.Open(HKEY_CLASSES_ROOT, base + "\\InprocServer32", true))
            throw Exception("Cannot create registry key " + base + "\\InprocServer32");
        key.WriteString("", reg.serverPath);
        if (!reg.threadingModel.empty()) key.WriteString("ThreadingModel", reg.threadingModel);
    }
    if (!reg.progId.empty()) {
        WriteDefault(base + "\\ProgID", reg.progId);
        WriteDefault(reg.progId, reg.description);
        WriteDefault(reg.progId + "\\Clsid", clsid);
    }
    if (!IsEqualGUID(reg.libId, GUID_NULL)) {
        WriteDefault(base + "\\TypeLib", GuidToString(reg.libId));
        WriteDefault(base + "\\Version", reg.typeLibVersion);
    }
    if (reg.isControl) {
        WriteDefault(base + "\\MiscStatus", std::to_string(reg.miscStatus));
        WriteDefault(base + "\\MiscStatus\\1", std::to_string(reg.miscStatusContent));
        WriteDefault(base + "\\ToolboxBitmap32", reg.serverPath + "," + std::to_string(reg.toolboxBitmap));
        CreateKey(base + "\\Control");
    }
    for (size_t i = 0; i < reg.verbs.size(); ++i) WriteDefault(base + "\\Verb\\" + std::to_string(i), reg.verbs[i]);
}

void UnregisterControlClass(const ControlRegistration& reg) {
    // Everything that can go goes; then a key that stayed is reported.
    const std::string clsidKey = "CLSID\\" + GuidToString(reg.clsid);
    bool removed = reg.progId.empty() || DeleteKeyTree(HKEY_CLASSES_ROOT, reg.progId);
    if (!DeleteKeyTree(HKEY_CLASSES_ROOT, clsidKey)) removed = false;
    if (!removed) throw Exception("Cannot remove the registry entries of " + clsidKey);
}

void RegisterModuleTypeLib(const std::string& modulePath) {
    std::wstring path = ToWide(modulePath);
    ITypeLib* lib = nullptr;
    CheckHResult(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib), "LoadTypeLibEx");
    HRESULT hr = RegisterTypeLib(lib, const_cast<LPOLESTR>(path.c_str()), nullptr);
    lib->Release();
    CheckHResult(hr, "RegisterTypeLib");
}

void UnregisterModuleTypeLib(const std::string& modulePath) {
    std::wstring path = ToWide(modulePath);
    ITypeLib* lib = nullptr;
    CheckHResult(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib), "LoadTypeLibEx");
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib->GetLibAttr(&attr);
    if (FAILED(hr)) {
        lib->Release();
        CheckHResult(hr, "GetLibAttr");
    }
    // The library was filed under its own kind (win32 or win64): remove it from there.
    const TLIBATTR a = *attr;
    lib->ReleaseTLibAttr(attr);
    lib->Release();
    // A library that is not registered is no failure here (a second removal, or one after a removal
    // that failed part-way); Wine answers the removal of such a library with a failure of its own.
    BSTR registered = nullptr;
    if (FAILED(QueryPathOfRegTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, &registered))) return;
    SysFreeString(registered);
    hr = UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
    if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) return;
    CheckHResult(hr, "UnRegisterTypeLib");
}

}  // namespace comp
