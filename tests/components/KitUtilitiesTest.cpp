// The shared edit menu, the extended memo base's gates and hint colour,
// the unit-version registry and the Windows version classification.
#include "components/ComponentsTest.h"

#include "components/KitSysUtils.h"

#include <cstring>
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

using namespace gcl;
using namespace qelvo;
using qelvo::test::ComponentsTest;

namespace {

// Records the edit messages a control receives.
class TMessageLog : public TObject {
public:
    explicit TMessageLog(TControl* control) : FControl(control), FOld(control->GetWindowProc()) {
        control->SetWindowProc(TWndMethod(this, &TMessageLog::Hook));
    }
    ~TMessageLog() override { FControl->SetWindowProc(FOld); }
    std::vector<uint32_t> Messages;

private:
    void Hook(TMessage& message) {
        switch (message.Msg) {
        case WM_UNDO:
        case WM_CUT:
        case WM_COPY:
        case WM_PASTE:
        case WM_CLEAR:
        case EM_SETSEL:
            Messages.push_back(message.Msg);
            break;
        default:
            break;
        }
        FOld(message);
    }
    TControl* FControl;
    TWndMethod FOld;
};

std::vector<bool> EnabledStates(TPopupMenu* menu) {
    std::vector<bool> states;
    for (int i = 0; i < menu->GetItems()->GetCount(); ++i) states.push_back(menu->GetItems()->GetItems(i)->GetEnabled());
    return states;
}

} // namespace

TEST_F(ComponentsTest, EditMenuSendsItsCommandsToTheServedControl) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetText("some text");
    TPopupMenu* menu = GetFixedEditPopup(edit, true);
    ASSERT_EQ(menu->GetItems()->GetCount(), 8);
    TMessageLog log(edit);
    for (int i : {0, 2, 3, 4, 5, 7}) {
        menu->GetItems()->GetItems(i)->SetEnabled(true);
        menu->GetItems()->GetItems(i)->Click();
    }
    EXPECT_EQ(log.Messages, (std::vector<uint32_t>{WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL}));
    EXPECT_GE(edit->GetSelLength(), 9);   // Select All (with the final paragraph mark)

    // A plain memo is served too, and freeing the served control is safe.
    TMemo* memo = TMemo::Create(Form);
    memo->SetParent(Form);
    memo->SetText("memo");
    GetFixedEditPopup(memo, true);
    memo->Free();
    EXPECT_NO_THROW(menu->GetItems()->GetItems(3)->Click());
    EXPECT_NO_THROW(GetFixedEditPopup(nullptr, true));
}

TEST_F(ComponentsTest, EditMenuEnablesItemsFromTheControlState) {
    TKitRichEdit* edit = NewRichEdit();
    // Empty: only Paste (and Undo when the control can undo).
    TPopupMenu* menu = GetFixedEditPopup(edit, true);
    EXPECT_EQ(EnabledStates(menu), (std::vector<bool>{false, true, false, false, true, false, true, false}));
    // A selection in a writable control.
    edit->SetText("hello world");
    edit->SetSelStart(0);
    edit->SetSelLength(5);
    GetFixedEditPopup(edit, true);
    std::vector<bool> states = EnabledStates(menu);
    EXPECT_TRUE(states[2] && states[3] && states[4] && states[5] && states[7]);
    // Everything selected: no Select All, also over several lines, whose
    // breaks the selection counts as one character each.
    edit->SetSelStart(0);
    edit->SetSelLength(11);
    GetFixedEditPopup(edit, true);
    EXPECT_FALSE(menu->GetItems()->GetItems(7)->GetEnabled());
    edit->SetText("one\r\ntwo\r\nthree");
    edit->Perform(EM_SETSEL, 0, -1);
    GetFixedEditPopup(edit, true);
    EXPECT_FALSE(menu->GetItems()->GetItems(7)->GetEnabled());
    edit->SetSelLength(12);
    GetFixedEditPopup(edit, true);
    EXPECT_TRUE(menu->GetItems()->GetItems(7)->GetEnabled());
    // Read-only with a selection: Copy and Select All only.
    edit->SetReadOnly(true);
    edit->SetSelLength(3);
    GetFixedEditPopup(edit, true);
    states = EnabledStates(menu);
    EXPECT_FALSE(states[2]);
    EXPECT_TRUE(states[3]);
    EXPECT_FALSE(states[4]);
    EXPECT_FALSE(states[5]);
    EXPECT_TRUE(states[7]);
    // Delete follows only the selection and the read-only state.
    edit->SetReadOnly(false);
    edit->SetClipboardCommands(TClipboardCommands{});
    GetFixedEditPopup(edit, true);
    states = EnabledStates(menu);
    EXPECT_FALSE(states[0] || states[2] || states[3] || states[4]);
    EXPECT_TRUE(states[5]);
    // Undo follows the control.
    edit->SetClipboardCommands(AllClipboardCommands);
    edit->SetSelText("X");
    GetFixedEditPopup(edit, true);
    EXPECT_TRUE(menu->GetItems()->GetItems(0)->GetEnabled());
}

TEST_F(ComponentsTest, ExtendedMemoGatesClipboardMessages) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetText("abc def");
    edit->SetSelStart(0);
    edit->SetSelLength(3);
    edit->SetClipboardCommands(TClipboardCommands{caCopy});
    EXPECT_EQ(edit->Perform(WM_CUT), 1);
    EXPECT_EQ(edit->Perform(WM_CLEAR), 1);
    EXPECT_EQ(edit->GetText(), "abc def");
    edit->SetSelText("xyz");
    EXPECT_EQ(edit->Perform(WM_UNDO), 1);
    EXPECT_EQ(edit->Perform(EM_UNDO), 1);
    EXPECT_EQ(edit->GetText(), "xyz def");
    edit->SetClipboardCommands(AllClipboardCommands);
    edit->Perform(WM_UNDO);
    EXPECT_EQ(edit->GetText(), "abc def");
    EXPECT_EQ(edit->Perform(CM_QUERYKITINTERFACE), 0);

    // Hint colour: its own, the application's for clNone.
    THintInfo info;
    info.HintColor = clInfoBk;
    edit->SetHintColor(0x00FF00);
    edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.HintColor, 0x00FF00);
    edit->SetHintColor(clNone);
    edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.HintColor, Application->GetHintColor());

    // The highlight border paints only when asked for.
    edit->SetDotNetHighlighting(true);
    Form->Show();
    edit->SetFocus();
    EXPECT_NO_THROW(edit->Perform(CM_MOUSEENTER));
    EXPECT_TRUE(edit->GetMouseOver());
    edit->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(edit->GetMouseOver());
}

TEST(KitUnitVersioning, RegistersAndUnregistersModules) {
    TUnitVersioning registry;
    static const TUnitVersionInfo first{"First.cpp", "1.1", "2026-01-01", "lib", "", nullptr};
    static const TUnitVersionInfo second{"Second.cpp", "1.2", "2026-01-02", "lib", "", nullptr};
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x10000);
    HINSTANCE other = reinterpret_cast<HINSTANCE>(0x20000);
    registry.RegisterModule(module, &first);
    registry.RegisterModule(module, &first);   // once only
    registry.RegisterModule(module, &second);
    registry.RegisterModule(other, &first);
    ASSERT_EQ(registry.GetModuleCount(), 2);
    EXPECT_EQ(registry.FindModule(module)->GetCount(), 2);
    EXPECT_EQ(registry.FindModule(module)->GetItems(1)->GetRevision(), "1.2");

    class TProvider : public TUnitVersioningProvider {
    public:
        explicit TProvider(std::vector<HINSTANCE>& released) : FReleased(released) {}
        void ReleaseModuleResources(HINSTANCE instance) override { FReleased.push_back(instance); }

    private:
        std::vector<HINSTANCE>& FReleased;
    };
    std::vector<HINSTANCE> released;
    registry.RegisterProvider(new TProvider(released));
    registry.UnregisterModule(module);
    EXPECT_EQ(registry.GetModuleCount(), 1);
    EXPECT_EQ(registry.FindModule(module), nullptr);
    EXPECT_EQ(released, std::vector<HINSTANCE>{module});
    registry.UnregisterModule(module);   // nothing left: no error
    EXPECT_EQ(registry.GetModuleCount(), 1);
}

TEST_F(ComponentsTest, ComponentUnitsRegisterTheirVersions) {
    TUnitVersioningModule* module = GetUnitVersioning()->FindModule(UnitVersionInstance());
    ASSERT_NE(module, nullptr);
    std::vector<std::string> units;
    for (int i = 0; i < module->GetCount(); ++i) units.push_back(module->GetItems(i)->GetRCSfile());
    for (const char* unit : {"KitSysUtils.cpp", "KitLibUtils.cpp", "KitComponentBase.cpp", "KitExStdCtrls.cpp",
                             "KitFixedEditPopUp.cpp", "KitRichEdit.cpp"})
        EXPECT_NE(std::find(units.begin(), units.end(), unit), units.end()) << unit;

    // The registry is found through the shared page near the top of the
    // address space (Wine keeps that area for itself: then it is private).
    if (void* shared = UnitVersioningBlock()) {
        TUnitVersioning* stored = nullptr;
        std::memcpy(&stored, static_cast<const char*>(shared) + 280, sizeof(stored));
        EXPECT_EQ(stored, GetUnitVersioning());
    }

    // The start-up facts, tables and cursors of the utility units.
    EXPECT_GE(KitSystemFacts().ProcessorCount, 1u);
    EXPECT_GT(KitSystemFacts().PageSize, 0u);
    EXPECT_TRUE(KitSystemFacts().IsWinNT);
    EXPECT_EQ(KitCharUpper('a'), 'A');
    EXPECT_EQ(KitCharLower('Q'), 'q');
    EXPECT_EQ(KitCharSwapCase('a'), 'A');
    EXPECT_EQ(KitCharSwapCase('Z'), 'z');
    EXPECT_EQ(KitCharSwapCase('5'), '5');
    EXPECT_TRUE(KitCharType('7') & C1_DIGIT);
    EXPECT_EQ(KitCharUpper(0xE9), static_cast<char>(0xC9));   // é, code page 1252
    EXPECT_EQ(Screen->GetCursors(crKitDrag), Screen->GetCursors(crDrag));
    EXPECT_EQ(Screen->GetCursors(crKitMultiDrag), Screen->GetCursors(crMultiDrag));
    IKitCriticalSection* lock = GlobalKitCriticalSection();
    ASSERT_NE(lock, nullptr);
    lock->Enter();
    lock->Enter();   // the owner may enter again
    lock->Leave();
    lock->Leave();
    gcl::ComPtr<IKitCriticalSection> asked;
    EXPECT_TRUE(Supports(static_cast<gcl::IUnknown*>(lock), asked));
}

TEST(KitUnitVersioning, SharedBlockIsMadeOnceAndFoundAgain) {
    // A free area of the address space to search from.
    void* area = VirtualAlloc(nullptr, 8 * 65536, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(area, nullptr);
    uintptr_t top = reinterpret_cast<uintptr_t>(area) + 8 * 65536 - 1;
    VirtualFree(area, 0, MEM_RELEASE);
    void* block = qelvo::detail::FindOrCreateUnitVersioningBlock(top);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block), (top / 65536) * 65536);
    auto* bytes = static_cast<const unsigned char*>(block);
    auto word = [&](size_t offset) {
        DWORD value;
        std::memcpy(&value, bytes + offset, sizeof(value));
        return value;
    };
    DWORD id = GetCurrentProcessId();
    EXPECT_EQ(word(0), id ^ 0x23456789u);
    EXPECT_EQ(word(4), 0xABCDEF01u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 9, bytes[8]), "UnitVersioning");
    EXPECT_EQ(word(264), 1u);
    EXPECT_EQ(word(272), id ^ 0x10FEDCBAu);
    EXPECT_EQ(word(276), 0x98765432u);
    // A second module finds the same page and counts itself in.
    EXPECT_EQ(qelvo::detail::FindOrCreateUnitVersioningBlock(top), block);
    EXPECT_EQ(word(264), 2u);
    EXPECT_FALSE(qelvo::detail::ReleaseUnitVersioningBlock(block));
    EXPECT_TRUE(qelvo::detail::ReleaseUnitVersioningBlock(block));
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(block, &info, sizeof(info));
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE));
}

TEST(KitSysUtils, ClassifiesWindowsVersions) {
    auto nineX = [](int minor, const char* sp, uint32_t kernel = 0) {
        TWindowsVersionData data;
        data.Platform = VER_PLATFORM_WIN32_WINDOWS;
        data.MajorVersion = 4;
        data.MinorVersion = minor;
        data.ServicePack = sp;
        data.Kernel32ProductVersion = kernel;
        return ClassifyWindowsVersion(data);
    };
    EXPECT_EQ(nineX(0, ""), wvWin95);
    EXPECT_EQ(nineX(0, "B"), wvWin95OSR2);
    EXPECT_EQ(nineX(0, "C"), wvWin95OSR2);
    EXPECT_EQ(nineX(10, ""), wvWin98);
    EXPECT_EQ(nineX(10, "A"), wvWin98SE);
    EXPECT_EQ(nineX(10, "", 0x0004005A), wvWinME);
    EXPECT_EQ(nineX(90, ""), wvWinME);
    EXPECT_EQ(nineX(95, ""), wvUnknown);
    auto nt = [](int major, int minor, bool workstation = true, bool x86 = true, bool r2 = false) {
        TWindowsVersionData data;
        data.MajorVersion = major;
        data.MinorVersion = minor;
        data.Workstation = workstation;
        data.X86Processor = x86;
        data.ServerR2 = r2;
        return ClassifyWindowsVersion(data);
    };
    EXPECT_EQ(nt(3, 1), wvWinNT31);
    EXPECT_EQ(nt(3, 5), wvWinNT35);
    EXPECT_EQ(nt(3, 51), wvWinNT351);
    EXPECT_EQ(nt(4, 0), wvWinNT4);
    EXPECT_EQ(nt(5, 0), wvWin2000);
    EXPECT_EQ(nt(5, 1), wvWinXP);
    EXPECT_EQ(nt(5, 2, false), wvWin2003);
    EXPECT_EQ(nt(5, 2, true, false), wvWinXP64);
    EXPECT_EQ(nt(5, 2, false, false), wvWin2003);
    EXPECT_EQ(nt(5, 2, false, true, true), wvWin2003R2);
    EXPECT_EQ(nt(6, 0), wvWinVista);
    EXPECT_EQ(nt(6, 0, false), wvWinServer2008);
    EXPECT_EQ(nt(6, 1), wvUnknown);
    // The running system is read through the OS-version service.
    TFixedOSVersion xp{{PlatformWin32NT, 5, 1, 2600}};
    ServiceOverride<IOSVersion> use(OSVersion, xp);
    EXPECT_EQ(GetWindowsVersion(), wvWinXP);
}

TEST(KitSysUtils, SystemFilesAndUtilityWindows) {
    EXPECT_GE(GetShellVersion(), 0x00040000u);
    VS_FIXEDFILEINFO info{};
    EXPECT_TRUE(GetFileVersionFixedInfo("kernel32.dll", info));
    EXPECT_FALSE(GetFileVersionFixedInfo("no-such-file.dll", info));
    EXPECT_FALSE(GetModuleFileName(nullptr).empty());
    SYSTEM_INFO system{};
    GetNativeSystemInfoOrSystemInfo(system);
    EXPECT_GE(system.dwNumberOfProcessors, 1u);

    HWND window = AllocateHWndEx(TWndMethod());
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    EXPECT_STREQ(name, "TPUtilWindowEx");
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);   // the default procedure answers
    DeallocateHWndEx(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(ShowWindowNoAnimate(nullptr, SW_SHOW) == false);
}
