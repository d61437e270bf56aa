// Component layer pieces the control is built on: the form's events, the panel, the popup menu,
// the COM pointer, the class factory counts, GUID text and the connection point.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "components/activex.h"
#include "components/com_server.h"
#include "components/comptr.h"
#include "components/exceptions.h"
#include "components/form.h"
#include "components/menus.h"
#include "components/panel.h"
#include "failing_new.h"
#include "test_windows.h"

namespace {

comp::WindowParams TopLevel() {
    comp::WindowParams p;
    p.style = WS_OVERLAPPEDWINDOW;
    p.x = 10;
    p.y = 10;
    p.width = 300;
    p.height = 200;
    return p;
}

// A counted IUnknown.
class Counted final : public IUnknown {
public:
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID iid, void** o) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *o = this;
            AddRef();
            return S_OK;
        }
        *o = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
};

void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND m = FindWindowA("#32768", nullptr);
    if (m) {
        PostMessageA(m, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(m, WM_KEYDOWN, VK_RETURN, 0);
    }
}

HMENU shown = nullptr;
std::vector<std::string> captions;
std::vector<UINT> states;

void CALLBACK ReadMenuAndChooseLast(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND m = FindWindowA("#32768", nullptr);
    shown = m ? reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0)) : nullptr;
    if (shown) {
        for (int i = 0; i < GetMenuItemCount(shown); ++i) {
            char text[64] = {};
            GetMenuStringA(shown, i, text, sizeof(text), MF_BYPOSITION);
            captions.push_back(text);
            states.push_back(GetMenuState(shown, i, MF_BYPOSITION));
        }
    }
    if (m) {
        PostMessageA(m, WM_KEYDOWN, VK_UP, 0);
        PostMessageA(m, WM_KEYDOWN, VK_RETURN, 0);
    }
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND m = FindWindowA("#32768", nullptr)) PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
}

// A menu whose platform refuses to take the item named |refused|.
template <typename Base>
class RefusingMenu : public Base {
public:
    std::string refused;
    HMENU refusedIn = nullptr;  // the menu the refused item was meant for

protected:
    void AppendItem(HMENU menu, comp::MenuItem& item, HMENU submenu) override {
        if (!refused.empty() && item.Name == refused) {
            refusedIn = menu;
            if (submenu) DestroyMenu(submenu);  // taken over, as the platform's refusal does
            throw comp::Exception("no room for " + item.Name);
        }
        Base::AppendItem(menu, item, submenu);
    }
};

}  // namespace

TEST(ComponentForm, KeyMouseAndDropEventsWithCapture) {
    comp::Form form;
    form.CreateForm(TopLevel());
    ASSERT_NE(nullptr, form.Handle());
    char cls[64];
    GetClassNameA(form.Handle(), cls, sizeof(cls));
    EXPECT_TRUE(GetClassLongA(form.Handle(), GCL_STYLE) & CS_DBLCLKS);

    std::vector<std::string> log;
    form.OnKeyDown = [&](comp::Form&, WORD& key, comp::ShiftState) { log.push_back("down" + std::to_string(key)); };
    form.OnKeyUp = [&](comp::Form&, WORD& key, comp::ShiftState) { log.push_back("up" + std::to_string(key)); };
    form.OnKeyPress = [&](comp::Form&, char& key) {
        log.push_back(std::string("press") + key);
        if (key == 'z') key = 0;  // swallowed
    };
    form.OnMouseDown = [&](comp::Form&, comp::MouseButton b, comp::ShiftState s, int x, int y) {
        log.push_back("mdown" + std::to_string(static_cast<int>(b)) + ((s & comp::ssDouble) ? "d" : "") + "@" +
                      std::to_string(x) + "," + std::to_string(y));
    };
    form.OnMouseUp = [&](comp::Form&, comp::MouseButton b, comp::ShiftState, int, int) {
        log.push_back("mup" + std::to_string(static_cast<int>(b)));
    };
    form.OnMouseMove = [&](comp::Form&, comp::ShiftState s, int x, int y) {
        log.push_back("move" + std::string((s & comp::ssLeft) ? "L" : "") + std::to_string(x));
    };
    form.OnClick = [&](comp::Form&) { log.push_back("click"); };
    form.OnDblClick = [&](comp::Form&) { log.push_back("dbl"); };

    SendMessageA(form.Handle(), WM_KEYDOWN, VK_F5, 0);
    SendMessageA(form.Handle(), WM_SYSKEYDOWN, VK_MENU, 0);
    SendMessageA(form.Handle(), WM_SYSKEYUP, VK_MENU, 0);
    SendMessageA(form.Handle(), WM_KEYUP, VK_F5, 0);
    SendMessageA(form.Handle(), WM_CHAR, 'a', 0);
    EXPECT_EQ((std::vector<std::string>{"down116", "down18", "up18", "up116", "pressa"}), log);

    log.clear();
    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    EXPECT_EQ(form.Handle(), GetCapture());
    SendMessageA(form.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(7, 6));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(7, 6));
    EXPECT_EQ(nullptr, GetCapture());
    SendMessageA(form.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(7, 6));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(7, 6));
    SendMessageA(form.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2));
    SendMessageA(form.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(1, 2));
    // A click is a left press and release inside; the release after a double click is no click.
    EXPECT_EQ((std::vector<std::string>{"mdown0@5,6", "moveL7", "click", "mup0", "dbl", "mdown0d@7,6", "mup0",
                                        "mdown1@1,2", "mup1"}),
              log);

    // A release outside the form is no click.
    log.clear();
    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(-40, 6));
    EXPECT_EQ((std::vector<std::string>{"mdown0@5,6", "mup0"}), log);

    // Dropped files reach OnDropFiles with a handle DragQueryFileA reads.
    std::vector<std::string> dropped;
    form.OnDropFiles = [&](comp::Form&, HDROP drop) {
        UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char name[MAX_PATH];
            DragQueryFileA(drop, i, name, MAX_PATH);
            dropped.push_back(name);
        }
        DragFinish(drop);
    };
    const char files[] = "C:\\a.txt\0C:\\b c.txt\0";
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(files) + 1);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), files, sizeof(files));
    GlobalUnlock(mem);
    SendMessageA(form.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
    EXPECT_EQ((std::vector<std::string>{"C:\\a.txt", "C:\\b c.txt"}), dropped);

    // OnCreate and OnDestroy fire once each, when the owner says so.
    int created = 0, destroyed = 0;
    form.OnCreate = [&](comp::Form&) { ++created; };
    form.OnDestroy = [&](comp::Form&) { ++destroyed; };
    form.DoCreate();
    form.DoCreate();
    form.DoDestroy();
    form.DoDestroy();
    EXPECT_EQ(1, created);
    EXPECT_EQ(1, destroyed);
}

TEST(ComponentForm, RightClickPopsUpTheMenuAndExceptionsStayInside) {
    comp::Form form;
    form.CreateForm(TopLevel());
    form.Show();
    comp::PopupMenu menu;
    int clicked = 0;
    menu.Items.Add("First", [&](comp::MenuItem&) { ++clicked; });
    form.SetPopupMenu(&menu);
    EXPECT_EQ(&menu, form.GetPopupMenu());
    SetTimer(nullptr, 0, 300, ChooseFirstItem);
    SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()), MAKELPARAM(50, 50));
    EXPECT_EQ(1, clicked);

    // An exception in a handler never leaves the window procedure.
    std::string reported;
    comp::SetExceptionHandler([&](const std::exception& e) { reported = e.what(); });
    form.OnKeyDown = [](comp::Form&, WORD&, comp::ShiftState) { throw comp::Exception("boom"); };
    SendMessageA(form.Handle(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ("boom", reported);
    comp::SetExceptionHandler(nullptr);
}

TEST(ComponentForm, AnExceptionOfNoKnownTypeIsReportedWithNoMemoryLeft) {
    comp::Form form;
    form.CreateForm(TopLevel());
    const char* reported = nullptr;
    comp::SetExceptionHandler([&](const std::exception& e) { reported = e.what(); });
    form.OnKeyDown = [](comp::Form&, WORD&, comp::ShiftState) { throw 42; };
    {
        testing_support::FailingAllocations refuse;
        SendMessageA(form.Handle(), WM_KEYDOWN, 'A', 0);
    }
    EXPECT_STREQ("Unknown exception", reported);
    reported = nullptr;
    {
        testing_support::FailingAllocations refuse;
        comp::Guarded([] { throw 42; });
    }
    EXPECT_STREQ("Unknown exception", reported);
    comp::SetExceptionHandler(nullptr);
}

TEST(ComponentPanel, CaptionColourFontAndPlacement) {
    comp::Form form;
    form.CreateForm(TopLevel());
    comp::Panel panel;
    panel.SetCaption("FPS:");
    panel.SetColor(RGB(0, 0, 0));
    panel.SetFont(comp::Font("MS Sans Serif", -16, true, false, RGB(255, 255, 255)));
    panel.CreatePanel(form.Handle(), 20, 8, 105, 41, false);
    EXPECT_FALSE(panel.Visible());
    EXPECT_EQ("FPS:", panel.Text());
    panel.SetCaption("FPS: 30");
    EXPECT_EQ("FPS: 30", panel.Text());
    panel.SetPosition(40, 12);
    panel.SetVisible(true);
    form.Show();
    UpdateWindow(form.Handle());
    RECT r;
    GetWindowRect(panel.Handle(), &r);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(12, r.top);
    EXPECT_EQ(105, r.right - r.left);
    EXPECT_TRUE(panel.PanelFont().Bold());
    EXPECT_NE(nullptr, panel.PanelFont().Handle());
    // The panel paints its colour.
    HDC dc = GetDC(panel.Handle());
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 3, 20));
    ReleaseDC(panel.Handle(), dc);
}

TEST(ComponentMenu, BuildsItemsAndRunsTheChosenOne) {
    comp::PopupMenu menu;
    std::vector<std::string> clicks;
    auto click = [&](comp::MenuItem& item) { clicks.push_back(item.Name); };
    menu.Items.AddSeparator("Help");
    menu.Items.Add("Disabled", click, "miOff").Enabled = false;
    menu.Items.Add("Checked", click, "miChecked").Checked = true;
    comp::MenuItem& sub = menu.Items.Add("Arrange by", nullptr, "miArrange");
    sub.Add("Name", click, "miName");
    sub.Add("Size", click, "miSize");
    menu.Items.Add("Hidden", click, "miHidden").Visible = false;
    menu.Items.Add("Last", click, "miLast");
    EXPECT_EQ(&sub, menu.Items.Find("miArrange"));
    EXPECT_EQ("Size", menu.Items.Find("miSize")->Caption);
    EXPECT_TRUE(menu.Items.Item(0).IsSeparator());
    EXPECT_EQ("Help", menu.Items.Item(0).Hint);

    // What the menu shows while open, read from its handle; then the last item is chosen by keys.
    captions.clear();
    states.clear();
    bool popped = false;
    menu.OnPopup = [&](comp::PopupMenu&) { popped = true; };
    SetTimer(nullptr, 0, 300, ReadMenuAndChooseLast);
    comp::MenuItem* chosen = menu.PopupAt(100, 100);
    EXPECT_TRUE(popped);
    ASSERT_EQ(5u, captions.size());
    EXPECT_EQ((std::vector<std::string>{"", "Disabled", "Checked", "Arrange by", "Last"}), captions);
    EXPECT_TRUE(states[0] & MF_SEPARATOR);
    EXPECT_TRUE(states[1] & MF_GRAYED);
    EXPECT_TRUE(states[2] & MF_CHECKED);
    EXPECT_TRUE(states[3] & MF_POPUP);
    ASSERT_NE(nullptr, chosen);
    EXPECT_EQ("miLast", chosen->Name);
    EXPECT_EQ(std::vector<std::string>{"miLast"}, clicks);
    EXPECT_EQ(nullptr, menu.Handle());

    // Escape chooses nothing.
    SetTimer(nullptr, 0, 300, CloseMenu);
    EXPECT_EQ(nullptr, menu.PopupAt(100, 100));
    EXPECT_EQ(1u, clicks.size());
}

TEST(ComponentMenu, AskedToPopUpWhileOpenTheMenuStaysAsItIs) {
    comp::PopupMenu menu;
    int popups = 0;
    std::vector<std::string> clicks;
    menu.OnPopup = [&](comp::PopupMenu&) { ++popups; };
    auto click = [&](comp::MenuItem& item) { clicks.push_back(item.Name); };
    menu.Items.Add("First", click, "miFirst");
    menu.Items.Add("Second", click, "miSecond");
    bool kept = false;
    comp::MenuItem* chosen = nullptr;
    testing_support::RunWithSteps([&] { chosen = menu.PopupAt(100, 100); },
                                  {[&] {
                                      // A message handled inside the menu loop asks for the menu again.
                                      // Should a second menu open, the timer closes it and the test goes on.
                                      const HMENU open = menu.Handle();
                                      const UINT_PTR closer = SetTimer(nullptr, 0, 1000, CloseMenu);
                                      EXPECT_EQ(nullptr, menu.PopupAt(120, 120));
                                      KillTimer(nullptr, closer);
                                      kept = open && menu.Handle() == open && IsMenu(open);
                                      HWND m = FindWindowA("#32768", nullptr);
                                      PostMessageA(m, WM_KEYDOWN, VK_UP, 0);
                                      PostMessageA(m, WM_KEYDOWN, VK_RETURN, 0);
                                  }},
                                  100, [] { return FindWindowA("#32768", nullptr) != nullptr; });
    EXPECT_TRUE(kept);
    EXPECT_EQ(1, popups);
    ASSERT_NE(nullptr, chosen);
    EXPECT_EQ(std::vector<std::string>{"miSecond"}, clicks);
}

TEST(ComponentMenu, AMenuThatCanNotBeBuiltLeavesNothingBehind) {
    RefusingMenu<comp::PopupMenu> menu;
    int popups = 0;
    menu.OnPopup = [&](comp::PopupMenu&) { ++popups; };
    menu.Items.Add("First");
    comp::MenuItem& sub = menu.Items.Add("Arrange by");
    sub.Add("Name");
    sub.Add("Size", nullptr, "miSize");
    menu.refused = "miSize";
    EXPECT_THROW(menu.PopupAt(100, 100), comp::Exception);
    ASSERT_NE(nullptr, menu.refusedIn);
    EXPECT_FALSE(IsMenu(menu.refusedIn));  // the submenu that was being filled went too
    // Nothing of the failed build counts as open: the menu pops up the next time.
    menu.refused.clear();
    SetTimer(nullptr, 0, 300, CloseMenu);
    menu.PopupAt(100, 100);
    EXPECT_EQ(2, popups);
}

TEST(ComponentMenu, ABarThatCanNotBeBuiltLeavesTheShownBarAndItsCommands) {
    comp::Form form;
    form.CreateForm(TopLevel());
    RefusingMenu<comp::MainMenu> bar;
    std::vector<std::string> clicks;
    auto click = [&](comp::MenuItem& item) { clicks.push_back(item.Name); };
    comp::MenuItem& hidden = bar.Items.Add("Hidden", click, "miHidden");
    hidden.Visible = false;
    bar.Items.Add("File", click, "miFile");
    bar.Items.Add("Help", click, "miHelp");
    bar.Attach(form.Handle());
    const HMENU shown = GetMenu(form.Handle());
    ASSERT_NE(nullptr, shown);
    // The new bar numbers its items from the one shown now on, and fails at the last.
    hidden.Visible = true;
    bar.refused = "miHelp";
    EXPECT_THROW(bar.UpdateItems(), comp::Exception);
    EXPECT_FALSE(IsMenu(bar.refusedIn));
    EXPECT_EQ(shown, GetMenu(form.Handle()));
    EXPECT_EQ(shown, bar.Handle());
    // A command of the bar on screen runs the item it shows.
    SendMessageA(form.Handle(), WM_COMMAND, GetMenuItemID(shown, 0), 0);
    SendMessageA(form.Handle(), WM_COMMAND, GetMenuItemID(shown, 1), 0);
    EXPECT_EQ((std::vector<std::string>{"miFile", "miHelp"}), clicks);
}

TEST(ComponentCom, PointerCountsGuidTextAndFactoryCounts) {
    Counted obj;
    {
        comp::ComPtr<IUnknown> a(&obj);
        EXPECT_EQ(2, obj.refs);
        comp::ComPtr<IUnknown> b = a;
        EXPECT_EQ(3, obj.refs);
        comp::ComPtr<IUnknown> c = std::move(b);
        EXPECT_EQ(3, obj.refs);
        EXPECT_FALSE(b);
        auto d = a.As<IUnknown>(IID_IUnknown);
        EXPECT_EQ(4, obj.refs);
        auto e = a.As<IDispatch>(IID_IDispatch);
        EXPECT_FALSE(e);
        a = nullptr;
        EXPECT_EQ(3, obj.refs);
    }
    EXPECT_EQ(1, obj.refs);

    const GUID g = {0xFFCD032E, 0x8038, 0x425F, {0xA4, 0xB3, 0xC0, 0xAC, 0xAF, 0x67, 0xE3, 0x3D}};
    EXPECT_EQ("{FFCD032E-8038-425F-A4B3-C0ACAF67E33D}", comp::GuidToString(g));
    GUID back = {};
    EXPECT_TRUE(comp::StringToGuid("{ffcd032e-8038-425f-a4b3-c0acaf67e33d}", back));
    EXPECT_TRUE(IsEqualGUID(g, back));
    EXPECT_FALSE(comp::StringToGuid("not a guid", back));

    // A factory: creation, refused aggregation, locks and DllCanUnloadNow's answer.
    int made = 0;
    comp::ClassFactory factory(g, [&](REFIID iid, void** object) -> HRESULT {
        ++made;
        auto* o = new Counted();
        o->refs = 0;
        comp::ComModule::ObjectCreated();
        return o->QueryInterface(iid, object);
    });
    comp::ComServer::AddFactory(&factory);
    EXPECT_EQ(S_OK, comp::ComModule::CanUnloadNow());
    IClassFactory* cf = nullptr;
    EXPECT_EQ(S_OK, comp::ComServer::GetClassObject(g, IID_IClassFactory, reinterpret_cast<void**>(&cf)));
    ASSERT_NE(nullptr, cf);
    IClassFactory* other = nullptr;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              comp::ComServer::GetClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&other)));
    EXPECT_EQ(nullptr, other);
    // A factory that a client holds keeps the module loaded: the client may still call it.
    EXPECT_EQ(S_FALSE, comp::ComModule::CanUnloadNow());
    Counted outer;
    IUnknown* inner = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, cf->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(S_OK, cf->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(1, made);
    cf->Release();
    EXPECT_EQ(S_FALSE, comp::ComModule::CanUnloadNow());  // the object lives on
    delete static_cast<Counted*>(inner);
    comp::ComModule::ObjectDestroyed();
    EXPECT_EQ(S_OK, comp::ComModule::CanUnloadNow());
    // A server lock outlives the reference it was taken through.
    comp::ComServer::GetClassObject(g, IID_IClassFactory, reinterpret_cast<void**>(&cf));
    cf->LockServer(TRUE);
    cf->Release();
    EXPECT_EQ(S_FALSE, comp::ComModule::CanUnloadNow());
    factory.LockServer(FALSE);
    EXPECT_EQ(S_OK, comp::ComModule::CanUnloadNow());
    comp::ComServer::RemoveFactory(&factory);
    EXPECT_EQ(0u, comp::ComServer::FactoryCount());
}

namespace {
class Container : public IConnectionPointContainer {
public:
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID, void** o) override {
        *o = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID, IConnectionPoint**) override { return E_NOTIMPL; }
};

class Sink : public IDispatch {
public:
    LONG refs = 1;
    std::vector<DISPID> calls;
    STDMETHODIMP QueryInterface(REFIID iid, void** o) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *o = this;
            AddRef();
            return S_OK;
        }
        *o = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        calls.push_back(id);
        return S_OK;
    }
};
}  // namespace

TEST(ComponentCom, ConnectionPointAdvisesFiresAndReportsTheCurrentSink) {
    const IID events = {0xCF6A524B, 0x6B12, 0x43F4, {0x90, 0x26, 0xE3, 0x20, 0x8B, 0x5A, 0xFD, 0x8B}};
    Container container;
    Sink first, second;
    Counted notADispatch;
    std::vector<IUnknown*> changes;
    {
        comp::ConnectionPoint cp(&container, events);
        cp.OnSinkChanged = [&](IUnknown* s) { changes.push_back(s); };
        DWORD c1 = 0, c2 = 0, c3 = 0;
        EXPECT_EQ(CONNECT_E_CANNOTCONNECT, cp.Advise(&notADispatch, &c3));
        EXPECT_EQ(S_OK, cp.Advise(&first, &c1));
        EXPECT_EQ(S_OK, cp.Advise(&second, &c2));
        EXPECT_NE(c1, c2);
        EXPECT_EQ(2, first.refs);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        cp.Fire(2, none);
        EXPECT_EQ(std::vector<DISPID>{2}, first.calls);
        EXPECT_EQ(std::vector<DISPID>{2}, second.calls);
        EXPECT_EQ(S_OK, cp.Unadvise(c2));
        EXPECT_EQ(CONNECT_E_NOCONNECTION, cp.Unadvise(c2));
        EXPECT_EQ(1, second.refs);
        EXPECT_EQ(static_cast<IUnknown*>(&first), cp.CurrentSink());
        IID iid;
        cp.GetConnectionInterface(&iid);
        EXPECT_TRUE(IsEqualIID(events, iid));
    }
    // Going away releases the remaining sink.
    EXPECT_EQ(1, first.refs);
    ASSERT_EQ(4u, changes.size());
    EXPECT_EQ(static_cast<IUnknown*>(&first), changes[0]);
    EXPECT_EQ(static_cast<IUnknown*>(&second), changes[1]);
    EXPECT_EQ(static_cast<IUnknown*>(&first), changes[2]);
    EXPECT_EQ(nullptr, changes[3]);
}

TEST(ComponentCom, ConnectionPointTakesNoReferenceItCanNotStore) {
    const IID events = {0xCF6A524B, 0x6B12, 0x43F4, {0x90, 0x26, 0xE3, 0x20, 0x8B, 0x5A, 0xFD, 0x8B}};
    Container container;
    Sink sink;
    comp::ConnectionPoint cp(&container, events);
    DWORD cookie = 0;
    HRESULT hr = S_OK;
    {
        testing_support::FailingAllocations refuse;
        hr = cp.Advise(&sink, &cookie);
    }
    EXPECT_EQ(E_OUTOFMEMORY, hr);
    EXPECT_EQ(0u, cp.SinkCount());
    EXPECT_EQ(1, sink.refs);

    // Firing with no memory for its list of sinks leaves each sink's count as it was.
    ASSERT_EQ(S_OK, cp.Advise(&sink, &cookie));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    bool outOfMemory = false;
    {
        testing_support::FailingAllocations refuse;
        try {
            cp.Fire(1, none);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    EXPECT_TRUE(outOfMemory);
    EXPECT_EQ(2, sink.refs);
}
