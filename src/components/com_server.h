// In-process COM server support: the module's object and lock counts (DllCanUnloadNow), a class
// factory base, the table of factories behind DllGetClassObject, and registry helpers for CLSIDs,
// ProgIDs, controls and type libraries.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace comp {

// GUID text in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string GuidToString(const GUID& guid);
bool StringToGuid(const std::string& text, GUID& guid);
std::wstring ToWide(const std::string& text);
std::string FromWide(const wchar_t* text);

// Objects, class-factory references and server locks alive in this module.
class ComModule {
public:
    static void ObjectCreated();
    static void ObjectDestroyed();
    static void FactoryReferenced();
    static void FactoryReleased();
    static void Lock();
    static void Unlock();
    static LONG ObjectCount();
    static LONG FactoryReferenceCount();
    static LONG LockCount();
    // S_OK when no object, no held class factory and no lock is alive, else S_FALSE.
    static HRESULT CanUnloadNow();
};

// Makes one object of a class: |outer| is the aggregating unknown (factories here refuse aggregation).
using ObjectCreator = std::function<HRESULT(REFIID iid, void** object)>;

// A class factory for one CLSID. It is a static object of the module; while a client holds a
// reference to it the module cannot unload (as with IClassFactory::LockServer).
class ClassFactory : public IClassFactory {
public:
    ClassFactory(const CLSID& clsid, ObjectCreator creator);
    virtual ~ClassFactory() = default;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    const CLSID& ClassId() const { return clsid_; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IClassFactory
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CLSID clsid_;
    ObjectCreator creator_;
    LONG refs_ = 0;
};

// The module's factories. DllGetClassObject hands out the one for the CLSID asked for.
class ComServer {
public:
    static void AddFactory(ClassFactory* factory);
    static void RemoveFactory(ClassFactory* factory);
    static void ClearFactories();
    static size_t FactoryCount();
    static HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
};

// Registry entries of an ActiveX control class under HKEY_CLASSES_ROOT.
struct ControlRegistration {
    CLSID clsid = {};
    std::string description;    // class and ProgID description
    std::string progId;         // "Library.Class"
    std::string serverPath;     // full path of the server DLL
    std::string threadingModel = "Apartment";
    GUID libId = {};
    std::string typeLibVersion = "1.0";
    bool isControl = true;          // the "Control" marker key and the toolbox bitmap
    int toolboxBitmap = 1;          // resource id of the toolbox bitmap in the server
    DWORD miscStatus = 0;           // MiscStatus default
    DWORD miscStatusContent = 0;    // MiscStatus\1 (DVASPECT_CONTENT)
    std::vector<std::string> verbs; // Verb\0, Verb\1 ...: "Name,menu flags,verb flags"
};

// Write or remove the entries. Register raises comp::Exception when a key cannot be written, Unregister
// when one cannot be removed (after removing all it could).
void RegisterControlClass(const ControlRegistration& reg);
void UnregisterControlClass(const ControlRegistration& reg);

// The type library embedded in a module (resource TYPELIB 1): register (TypeLib and Interface keys)
// or remove them. Both raise EComError on failure.
void RegisterModuleTypeLib(const std::string& modulePath);
void UnregisterModuleTypeLib(const std::string& modulePath);

}  // namespace comp
