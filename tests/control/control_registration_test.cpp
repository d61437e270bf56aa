// regsvr32 writes exactly the control's registry entries and removes them again; the registered type
// library describes the coclass, the dual interface, the events and the enumerations.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "child_process.h"
#include "components/registry.h"
#include "fixtures.h"

using testing_support::ExeFolder;

namespace {

const char kClsid[] = "{FFCD032E-8038-425F-A4B3-C0ACAF67E33D}";
const char kLibid[] = "{2733255C-2816-4F86-B7E1-F2A6DC519BC7}";
const char kProgId[] = "_3DVexlorFormProj._3DVexlorForm";
const GUID kLibGuid = {0x2733255C, 0x2816, 0x4F86, {0xB7, 0xE1, 0xF2, 0xA6, 0xDC, 0x51, 0x9B, 0xC7}};
const GUID kClsidGuid = {0xFFCD032E, 0x8038, 0x425F, {0xA4, 0xB3, 0xC0, 0xAC, 0xAF, 0x67, 0xE3, 0x3D}};
const GUID kIid = {0xAB0FFAF2, 0x6136, 0x42A3, {0xB3, 0x60, 0x3D, 0x89, 0xA6, 0xE3, 0xC4, 0x41}};
const GUID kDiid = {0xCF6A524B, 0x6B12, 0x43F4, {0x90, 0x26, 0xE3, 0x20, 0x8B, 0x5A, 0xFD, 0x8B}};

std::string ControlDll() {
    char full[MAX_PATH];
    GetFullPathNameA((ExeFolder() + "\\..\\_3DVexlorFormProj.dll").c_str(), MAX_PATH, full, nullptr);
    return full;
}

DWORD RunRegsvr32(const std::string& args) { return testing_support::RunProgram("regsvr32.exe " + args, 60000); }

bool KeyExists(const std::string& path) {
    comp::RegistryKey key;
    return key.Open(HKEY_CLASSES_ROOT, path, false, KEY_READ);
}

std::string Default(const std::string& path, const std::string& name = "") {
    comp::RegistryKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, path, false, KEY_READ)) return "<no key>";
    std::string v;
    if (key.ReadString(name, v) != comp::RegRead::Ok) return "<no value>";
    return v;
}

// The subkeys of a key, for the "exactly these" check.
std::set<std::string> Subkeys(const std::string& path) {
    std::set<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    RegCloseKey(key);
    return names;
}

std::wstring Doc(ITypeInfo* info, MEMBERID id, std::wstring* help = nullptr) {
    BSTR name = nullptr, doc = nullptr;
    info->GetDocumentation(id, &name, &doc, nullptr, nullptr);
    std::wstring n = name ? name : L"";
    if (help) *help = doc ? doc : L"";
    SysFreeString(name);
    SysFreeString(doc);
    return n;
}

}  // namespace

TEST(ControlRegistration, Regsvr32WritesAndRemovesExactlyTheEntries) {
    const std::string dll = ControlDll();
    const std::string base = std::string("CLSID\\") + kClsid;
    ASSERT_EQ(0u, RunRegsvr32("/s \"" + dll + "\""));

    EXPECT_EQ("_3DVexlorForm Control", Default(base));
    EXPECT_EQ(dll, Default(base + "\\InprocServer32"));
    EXPECT_EQ("Apartment", Default(base + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ(kProgId, Default(base + "\\ProgID"));
    EXPECT_EQ("_3DVexlorForm Control", Default(kProgId));
    EXPECT_EQ(kClsid, Default(std::string(kProgId) + "\\Clsid"));
    EXPECT_EQ(kLibid, Default(base + "\\TypeLib"));
    EXPECT_EQ("1.0", Default(base + "\\Version"));
    EXPECT_EQ("0", Default(base + "\\MiscStatus"));
    EXPECT_EQ("205201", Default(base + "\\MiscStatus\\1"));
    EXPECT_EQ(dll + ",1", Default(base + "\\ToolboxBitmap32"));
    EXPECT_TRUE(KeyExists(base + "\\Control"));
    EXPECT_EQ("Properties,0,2", Default(base + "\\Verb\\0"));
    EXPECT_EQ((std::set<std::string>{"Control", "InprocServer32", "MiscStatus", "ProgID", "ToolboxBitmap32", "TypeLib",
                                     "Verb", "Version"}),
              Subkeys(base));
    EXPECT_EQ(std::set<std::string>{"0"}, Subkeys(base + "\\Verb"));
    // The type library and the interfaces.
    EXPECT_EQ("_3DVexlorFormProj Library", Default(std::string("TypeLib\\") + kLibid + "\\1.0"));
    EXPECT_TRUE(KeyExists("Interface\\{AB0FFAF2-6136-42A3-B360-3D89A6E3C441}"));
    EXPECT_TRUE(KeyExists("Interface\\{CF6A524B-6B12-43F4-9026-E3208B5AFD8B}"));
    // The class is created by ProgID through the registry (not activated: no container here).
    CLSID byProgId = {};
    CoInitialize(nullptr);
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"_3DVexlorFormProj._3DVexlorForm", &byProgId));
    EXPECT_TRUE(IsEqualCLSID(kClsidGuid, byProgId));
    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(kClsidGuid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&object)));
    IOleObject* ole = nullptr;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)));
    DWORD misc = 0;
    if (ole) {
        ole->GetMiscStatus(DVASPECT_CONTENT, &misc);
        ole->Release();
    }
    EXPECT_EQ(205201u, misc);
    object->Release();
    CoFreeUnusedLibraries();
    CoUninitialize();

    // A key that cannot be removed makes the removal fail; once it can go, all goes.
    {
        // A key that nobody may read, and so nobody may remove with its tree.
        testing_support::KeyAccessRules lock(HKEY_CLASSES_ROOT, base + "\\Control",
                                             "D:(D;;KR;;;WD)(A;;KA;;;WD)");
        EXPECT_NE(0u, RunRegsvr32("/u /s \"" + dll + "\""));
    }
    EXPECT_TRUE(KeyExists(base + "\\Control"));
    ASSERT_EQ(0u, RunRegsvr32("/u /s \"" + dll + "\""));
    EXPECT_FALSE(KeyExists(base));
    EXPECT_FALSE(KeyExists(kProgId));
    EXPECT_FALSE(KeyExists(std::string("TypeLib\\") + kLibid));
    EXPECT_FALSE(KeyExists("Interface\\{AB0FFAF2-6136-42A3-B360-3D89A6E3C441}"));
}

TEST(ControlRegistration, TypeLibraryDescribesTheControl) {
    ASSERT_EQ(0u, RunRegsvr32("/s \"" + ControlDll() + "\""));
    CoInitialize(nullptr);
    ITypeLib* lib = nullptr;
    ASSERT_EQ(S_OK, LoadRegTypeLib(kLibGuid, 1, 0, LOCALE_NEUTRAL, &lib));
    std::wstring help;
    BSTR libName = nullptr, libDoc = nullptr;
    lib->GetDocumentation(-1, &libName, &libDoc, nullptr, nullptr);
    EXPECT_STREQ(L"_3DVexlorFormProj", libName);
    EXPECT_STREQ(L"_3DVexlorFormProj Library", libDoc);
    SysFreeString(libName);
    SysFreeString(libDoc);

    // The coclass: a creatable control with its default and default source interfaces.
    ITypeInfo* coclass = nullptr;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(kClsidGuid, &coclass));
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    EXPECT_EQ(2, attr->cImplTypes);
    coclass->ReleaseTypeAttr(attr);
    Doc(coclass, MEMBERID_NIL, &help);
    EXPECT_EQ(L"_3DVexlorForm Control", help);
    bool sawDefault = false, sawSource = false;
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        coclass->GetImplTypeFlags(i, &flags);
        HREFTYPE ref;
        coclass->GetRefTypeOfImplType(i, &ref);
        ITypeInfo* impl = nullptr;
        coclass->GetRefTypeInfo(ref, &impl);
        TYPEATTR* a = nullptr;
        impl->GetTypeAttr(&a);
        if (flags == IMPLTYPEFLAG_FDEFAULT) sawDefault = IsEqualGUID(kIid, a->guid);
        if (flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) sawSource = IsEqualGUID(kDiid, a->guid);
        impl->ReleaseTypeAttr(a);
        impl->Release();
    }
    EXPECT_TRUE(sawDefault);
    EXPECT_TRUE(sawSource);
    coclass->Release();

    // The dual interface: its properties by DISPID, hidden and read-only ones marked.
    ITypeInfo* dispatchPart = nullptr;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(kIid, &dispatchPart));
    dispatchPart->GetTypeAttr(&attr);
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    dispatchPart->ReleaseTypeAttr(attr);
    // The vtable part of the dual interface.
    HREFTYPE vtableRef = 0;
    ASSERT_EQ(S_OK, dispatchPart->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
    ITypeInfo* dual = nullptr;
    ASSERT_EQ(S_OK, dispatchPart->GetRefTypeInfo(vtableRef, &dual));
    dispatchPart->Release();
    dual->GetTypeAttr(&attr);
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    dual->ReleaseTypeAttr(attr);
    Doc(dual, MEMBERID_NIL, &help);
    EXPECT_EQ(L"Dispatch interface for _3DVexlorForm Control", help);
    struct Prop {
        const wchar_t* name;
        MEMBERID id;
        bool hidden;
        bool readOnly;
    };
    const Prop props[] = {{L"Visible", 1, true, false},          {L"AutoScroll", 2, false, false},
                          {L"AutoSize", 3, false, false},        {L"AxBorderStyle", 4, false, false},
                          {L"Caption", -518, false, false},      {L"Color", -501, false, false},
                          {L"Font", -512, false, false},         {L"KeyPreview", 5, false, false},
                          {L"PixelsPerInch", 6, false, false},   {L"PrintScale", 7, false, false},
                          {L"Scaled", 8, false, false},          {L"Active", 9, true, true},
                          {L"DropTarget", 10, true, false},      {L"HelpFile", 11, true, false},
                          {L"DoubleBuffered", 12, true, false},  {L"AlignDisabled", 13, true, true},
                          {L"VisibleDockClientCount", 14, true, true}, {L"Enabled", -514, true, false},
                          {L"Cursor", 15, false, false},         {L"HelpType", 16, false, false},
                          {L"HelpKeyword", 17, false, false}};
    std::map<MEMBERID, std::pair<int, int>> seen;  // id -> (gets, puts)
    std::map<MEMBERID, bool> hidden;
    dual->GetTypeAttr(&attr);
    const int funcs = attr->cFuncs;
    dual->ReleaseTypeAttr(attr);
    for (int i = 0; i < funcs; ++i) {
        FUNCDESC* f = nullptr;
        dual->GetFuncDesc(i, &f);
        if (f->invkind == INVOKE_PROPERTYGET) seen[f->memid].first++;
        if (f->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) seen[f->memid].second++;
        hidden[f->memid] = (f->wFuncFlags & FUNCFLAG_FHIDDEN) != 0;
        dual->ReleaseFuncDesc(f);
    }
    EXPECT_EQ(sizeof(props) / sizeof(props[0]), seen.size());
    for (const Prop& p : props) {
        EXPECT_EQ(p.name, Doc(dual, p.id)) << p.id;
        EXPECT_EQ(1, seen[p.id].first) << p.id;
        EXPECT_EQ(p.readOnly ? 0 : (p.id == -512 ? 2 : 1), seen[p.id].second) << p.id;
        EXPECT_EQ(p.hidden, hidden[p.id]) << p.id;
    }
    dual->Release();

    // The events.
    ITypeInfo* events = nullptr;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(kDiid, &events));
    events->GetTypeAttr(&attr);
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    events->ReleaseTypeAttr(attr);
    Doc(events, MEMBERID_NIL, &help);
    EXPECT_EQ(L"Events interface for _3DVexlorForm Control", help);
    const std::map<MEMBERID, std::wstring> expectedEvents = {{1, L"OnActivate"}, {2, L"OnClick"},   {3, L"OnCreate"},
                                                             {5, L"OnDblClick"}, {6, L"OnDestroy"}, {7, L"OnDeactivate"},
                                                             {11, L"OnKeyPress"}, {16, L"OnPaint"}};
    for (const auto& e : expectedEvents) EXPECT_EQ(e.second, Doc(events, e.first)) << e.first;
    // OnKeyPress: one 16-bit argument, in and out.
    ITypeInfo2* events2 = nullptr;
    events->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(&events2));
    UINT index = 0;
    ASSERT_EQ(S_OK, events2->GetFuncIndexOfMemId(11, INVOKE_FUNC, &index));
    FUNCDESC* f = nullptr;
    events2->GetFuncDesc(index, &f);
    ASSERT_EQ(1, f->cParams);
    EXPECT_EQ(VT_PTR, f->lprgelemdescParam[0].tdesc.vt);
    EXPECT_EQ(VT_I2, f->lprgelemdescParam[0].tdesc.lptdesc->vt);
    EXPECT_EQ(PARAMFLAG_FIN | PARAMFLAG_FOUT, f->lprgelemdescParam[0].paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT));
    EXPECT_EQ(VT_VOID, f->elemdescFunc.tdesc.vt);
    events2->ReleaseFuncDesc(f);
    events2->Release();
    events->Release();

    // The enumerations and their values.
    const std::map<std::wstring, std::map<std::wstring, int>> enums = {
        {L"TxActiveFormBorderStyle", {{L"afbNone", 0}, {L"afbSingle", 1}, {L"afbSunken", 2}, {L"afbRaised", 3}}},
        {L"TxPrintScale", {{L"poNone", 0}, {L"poProportional", 1}, {L"poPrintToFit", 2}}},
        {L"TxMouseButton", {{L"mbLeft", 0}, {L"mbRight", 1}, {L"mbMiddle", 2}}},
        {L"TxHelpType", {{L"htKeyword", 0}, {L"htContext", 1}}}};
    std::map<std::wstring, std::map<std::wstring, int>> found;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        TYPEKIND kind;
        lib->GetTypeInfoType(i, &kind);
        if (kind != TKIND_ENUM) continue;
        ITypeInfo* info = nullptr;
        lib->GetTypeInfo(i, &info);
        std::wstring name = Doc(info, MEMBERID_NIL);
        info->GetTypeAttr(&attr);
        for (int v = 0; v < attr->cVars; ++v) {
            VARDESC* var = nullptr;
            info->GetVarDesc(v, &var);
            found[name][Doc(info, var->memid)] = var->lpvarValue->lVal;
            info->ReleaseVarDesc(var);
        }
        info->ReleaseTypeAttr(attr);
        info->Release();
    }
    EXPECT_EQ(enums, found);
    lib->Release();
    CoUninitialize();
    EXPECT_EQ(0u, RunRegsvr32("/u /s \"" + ControlDll() + "\""));
}
