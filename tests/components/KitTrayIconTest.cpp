// The notification-area icon against a recording shell: adding and
// removing the icon, the callback messages that hide and show the
// application, the re-created taskbar, balloons, animation and retries;
// once against the real shell.
#include "components/ComponentsTest.h"

#include <vector>

#include "components/KitSysUtils.h"
#include "components/KitTrayIcon.h"
#include "gcl/ImgList.h"
#include "gcl/ShellNotify.h"
#include "gcl/rtl/Filer.h"

using namespace gcl;
using namespace qelvo;
using qelvo::test::PumpApplication;

namespace {

class TRecordingShell : public INotifyIconService {
public:
    struct TCall {
        DWORD Message;
        NOTIFYICONDATAA Data;
    };
    std::vector<TCall> Calls;
    bool Fail = false;
    DWORD FailError = ERROR_ACCESS_DENIED;

    bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override {
        Calls.push_back({message, data});
        if (Fail) {
            SetLastError(FailError);
            return false;
        }
        return true;
    }
    int Count(DWORD message) const {
        int n = 0;
        for (const TCall& call : Calls) n += call.Message == message;
        return n;
    }
};

class TTrayLog : public TObject {
public:
    std::vector<std::string> Entries;
    void Click(TObject*, TMouseButton button, TShiftState, int, int) {
        Entries.push_back(button == mbLeft ? "click left" : "click right");
    }
    void DblClick(TObject*, TMouseButton, TShiftState, int, int) { Entries.push_back("double"); }
    void Animate(TObject*, int index) { Entries.push_back("frame " + std::to_string(index)); }
    void Popup(TObject*, TPoint, bool& handled) {
        Entries.push_back("popup");
        handled = true;
    }
};

class TrayIconTest : public qelvo::test::ComponentsTest {
protected:
    static void SetUpTestSuite() {
        ComponentsTest::SetUpTestSuite();
        KitTrayIconUnit.Initialize();
    }
    static void TearDownTestSuite() {
        KitTrayIconUnit.Finalize();
        ComponentsTest::TearDownTestSuite();
    }
    void SetUp() override {
        ComponentsTest::SetUp();
        HWND application = Application->GetHandle();
        FWasVisible = IsWindowVisible(application) != 0;
        Tray = TKitTrayIcon::Create(Form);
    }
    void TearDown() override {
        HWND application = Application->GetHandle();
        if (IsIconic(application)) Application->Restore();
        ShowWindow(application, FWasVisible ? SW_SHOWNA : SW_HIDE);
        // The icons go while the recording shell still answers.
        ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
        ComponentsTest::TearDown();
    }
    // The shell sends the mouse message in LParam.
    void Notify(UINT mouseMessage) {
        SendMessageA(Tray->GetHandle(), WM_TRAYICONCALLBACK, TrayIconId, static_cast<LPARAM>(mouseMessage));
    }
    void Click() {
        Notify(WM_LBUTTONDOWN);
        Notify(WM_LBUTTONUP);
    }

    TRecordingShell Shell;
    TKitTrayIcon* Tray = nullptr;
    TTrayLog Log;
    bool FWasVisible = false;
};

} // namespace

TEST_F(TrayIconTest, ActivatingAddsAndRemovesTheIcon) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    EXPECT_TRUE(CheckPublishedDefaults(Tray).empty());
    Tray->SetHint("Qelvo - to do");
    Tray->SetActive(true);
    EXPECT_TRUE(Tray->GetIconShown());
    ASSERT_GE(Shell.Calls.size(), 1u);
    const NOTIFYICONDATAA added = Shell.Calls[0].Data;
    EXPECT_EQ(Shell.Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(added.hWnd, Tray->GetHandle());
    EXPECT_EQ(added.uID, TrayIconId);
    EXPECT_EQ(added.uCallbackMessage, static_cast<UINT>(WM_USER + 1));
    EXPECT_NE(added.hIcon, nullptr);   // the application's icon
    EXPECT_STREQ(added.szTip, "Qelvo - to do");
    // A static icon of its own replaces the application's at once.
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))));
    Tray->SetIcon(&icon);
    EXPECT_NE(Tray->GetCurrentIconHandle(), added.hIcon);
    EXPECT_EQ(Shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(Shell.Calls.back().Data.uFlags, static_cast<UINT>(NIF_ICON));
    if (GetShellVersion() >= 0x00050000) {
        EXPECT_EQ(added.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));   // 488 bytes in the 32-bit program
        EXPECT_EQ(Shell.Count(NIM_SETVERSION), 1);
    }
    // A long hint is cut to what the shell takes.
    Tray->SetHint(std::string(300, 'h'));
    EXPECT_EQ(std::string(Tray->GetNotifyIconData().szTip).size(), GetShellVersion() >= 0x00050000 ? 127u : 63u);
    Notify(WM_MOUSEMOVE);   // the new tip goes out on the next mouse move
    EXPECT_EQ(Shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(Shell.Calls.back().Data.uFlags, static_cast<UINT>(NIF_TIP));

    Tray->SetActive(false);
    EXPECT_FALSE(Tray->GetIconShown());
    EXPECT_EQ(Shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));

    // A refusal that is not a time-out is not retried.
    Shell.Calls.clear();
    Shell.Fail = true;
    Tray->SetActive(true);
    EXPECT_FALSE(Tray->GetIconShown());
    EXPECT_EQ(Shell.Calls.size(), 1u);
    // Nor is a time-out with tvNoRetryOnFailure.
    Tray->SetActive(false);
    Shell.Calls.clear();
    Shell.FailError = ERROR_TIMEOUT;
    Tray->SetVisibility(Tray->GetVisibility() | TTrayVisibilities{tvNoRetryOnFailure});
    Tray->SetActive(true);
    EXPECT_EQ(Shell.Calls.size(), 1u);
}

TEST_F(TrayIconTest, ActivatingWithoutWaitingKeepsTheShellsCallsInOrder) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    Tray->SetHint("Qelvo");
    Tray->ActivateWithoutWaiting();
    EXPECT_TRUE(Tray->GetActive());
    // A change of icon waits for the add, then goes out after it.
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))));
    Tray->SetIcon(&icon);
    EXPECT_TRUE(Tray->GetIconShown());
    ASSERT_GE(Shell.Calls.size(), 2u);
    EXPECT_EQ(Shell.Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(Shell.Calls[0].Data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(Shell.Calls[0].Data.hWnd, Tray->GetHandle());
    EXPECT_STREQ(Shell.Calls[0].Data.szTip, "Qelvo");
    EXPECT_EQ(Shell.Count(NIM_SETVERSION), GetShellVersion() >= 0x00050000 ? 1 : 0);
    EXPECT_EQ(Shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(Shell.Calls.back().Data.hIcon, Tray->GetCurrentIconHandle());
    // Already active: the same as SetActive.
    Tray->ActivateWithoutWaiting();
    EXPECT_EQ(Shell.Count(NIM_ADD), 1);
    Tray->SetActive(false);
    EXPECT_FALSE(Tray->GetIconShown());
    EXPECT_EQ(Shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));

    // A refused add leaves the icon not shown, and a removal right after
    // the start asks the shell nothing more.
    Shell.Calls.clear();
    Shell.Fail = true;
    Tray->ActivateWithoutWaiting();
    Tray->SetActive(false);
    EXPECT_FALSE(Tray->GetIconShown());
    EXPECT_EQ(Shell.Count(NIM_ADD), 1);
    EXPECT_EQ(Shell.Count(NIM_DELETE), 0);
    // An icon freed while its add may still run waits for it.
    Shell.Fail = false;
    Shell.Calls.clear();
    TKitTrayIcon* brief = TKitTrayIcon::Create(Form);
    brief->ActivateWithoutWaiting();
    brief->Free();
    EXPECT_EQ(Shell.Count(NIM_ADD), 1);
    EXPECT_EQ(Shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, ClicksHideAndShowTheApplication) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    HWND application = Application->GetHandle();
    ShowWindow(application, SW_SHOWNA);
    // The program's settings: a left click toggles at once.
    Tray->SetVisibility(TTrayVisibilities{tvVisibleTaskBar, tvVisibleTaskList, tvAutoHide, tvRestoreClick,
                                          tvMinimizeClick});
    Tray->SetActive(true);
    ASSERT_TRUE(Tray->IsApplicationVisible());
    Click();
    EXPECT_FALSE(Tray->IsApplicationVisible());
    EXPECT_FALSE(IsWindowVisible(application));
    EXPECT_FALSE(Tray->GetVisibility().Contains(tvVisibleTaskBar));
    Click();
    EXPECT_TRUE(Tray->IsApplicationVisible());
    EXPECT_TRUE(IsWindowVisible(application));
    EXPECT_TRUE(Tray->GetVisibility().Contains(tvVisibleTaskBar));
    // A quick second click comes as a double click, which nothing here
    // wants: it clicks as the first did.
    Click();
    ASSERT_FALSE(Tray->IsApplicationVisible());
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_LBUTTONUP);
    EXPECT_TRUE(Tray->IsApplicationVisible());

    // Minimising the application with tvAutoHide hides it to the tray.
    SendMessageA(application, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(Tray->IsApplicationVisible());
    EXPECT_FALSE(IsWindowVisible(application));
    Tray->ShowApplication();
    EXPECT_TRUE(Tray->IsApplicationVisible());

    // A release without a press is no click.
    Notify(WM_LBUTTONUP);
    EXPECT_TRUE(Tray->IsApplicationVisible());
}

TEST_F(TrayIconTest, DoubleClickWaitsOnlyWhenWanted) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    Tray->OnClick = TMouseEvent(&Log, &TTrayLog::Click);
    Tray->SetActive(true);
    Click();
    EXPECT_EQ(Log.Entries, std::vector<std::string>{"click left"});   // at once
    Log.Entries.clear();
    Tray->OnDblClick = TMouseEvent(&Log, &TTrayLog::DblClick);
    Click();
    EXPECT_TRUE(Log.Entries.empty());   // waits for a second click
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_LBUTTONUP);
    PumpApplication(GetDoubleClickTime() + 200);
    EXPECT_EQ(Log.Entries, std::vector<std::string>{"double"});
    Log.Entries.clear();
    Click();
    EXPECT_TRUE(PumpApplication(GetDoubleClickTime() + 1000, [&] { return !Log.Entries.empty(); }));
    EXPECT_EQ(Log.Entries, std::vector<std::string>{"click left"});
    // The context menu rule asks OnContextPopup first.
    Log.Entries.clear();
    Tray->OnContextPopup = TTrayContextPopupEvent(&Log, &TTrayLog::Popup);
    Notify(WM_CONTEXTMENU);
    EXPECT_EQ(Log.Entries, std::vector<std::string>{"popup"});
}

TEST_F(TrayIconTest, ReAddsTheIconWhenTheTaskbarComesBack) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    Tray->SetActive(true);
    Shell.Calls.clear();
    SendMessageA(Tray->GetHandle(), Tray->GetTaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(Shell.Count(NIM_DELETE), 1);
    ASSERT_GE(Shell.Count(NIM_ADD), 1);
    EXPECT_EQ(Shell.Calls[0].Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(Tray->GetIconShown());
    // Not active: the icon stays away.
    Tray->SetActive(false);
    Shell.Calls.clear();
    SendMessageA(Tray->GetHandle(), Tray->GetTaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(Shell.Count(NIM_ADD), 0);
    // The session end asks nothing and removes the icon.
    Tray->SetActive(true);
    EXPECT_EQ(SendMessageA(Tray->GetHandle(), WM_QUERYENDSESSION, 0, 0), 1);
    SendMessageA(Tray->GetHandle(), WM_ENDSESSION, 1, 0);
    EXPECT_FALSE(Tray->GetIconShown());
}

TEST_F(TrayIconTest, BalloonBookkeeping) {
    if (GetShellVersion() < 0x00050000) GTEST_SKIP() << "balloons need shell 5";
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    Tray->BalloonHint("Title", "Text");   // no icon yet: nothing
    EXPECT_EQ(Shell.Calls.size(), 0u);
    Tray->SetActive(true);
    Tray->BalloonHint(std::string(100, 't'), "Text", btWarning, 20000);
    EXPECT_EQ(Tray->GetBalloonCount(), 1);
    const NOTIFYICONDATAA data = Shell.Calls.back().Data;
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(std::string(data.szInfoTitle).size(), 63u);
    EXPECT_EQ(data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(data.uTimeout, 20000u);
    // Cancelling the previous balloon keeps the new one's time-out.
    Tray->BalloonHint("Next", "Text", btInfo, 30000, true);
    EXPECT_EQ(Tray->GetBalloonTimeout(), 30u);
    EXPECT_EQ(Tray->GetBalloonCount(), 1);
    Tray->HideBalloon();
    EXPECT_EQ(Tray->GetBalloonCount(), 0);
    Tray->HideBalloon();
    Notify(NIN_BALLOONUSERCLICK);
    EXPECT_EQ(Tray->GetBalloonCount(), 0);
    // A short balloon hides itself on its timer.
    Tray->BalloonHint("Short", "Text", btError, 50);
    EXPECT_EQ(Tray->GetBalloonCount(), 1);
    EXPECT_TRUE(PumpApplication(2000, [&] { return Tray->GetBalloonCount() == 0; }));
}

TEST_F(TrayIconTest, AnimatesThroughItsImages) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    TImageList* images = TImageList::Create(Form);
    images->SetWidth(16);
    images->SetHeight(16);
    for (int i = 0; i < 3; ++i) {
        TIcon icon;
        icon.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512 + i))));
        images->AddIcon(&icon);
    }
    Tray->SetIcons(images);
    Tray->OnAnimate = TTrayAnimateEvent(&Log, &TTrayLog::Animate);
    Tray->SetDelay(20);
    Tray->SetAnimated(true);
    Tray->SetActive(true);
    EXPECT_TRUE(PumpApplication(2000, [&] { return Log.Entries.size() >= 3; }));
    ASSERT_GE(Log.Entries.size(), 3u);
    EXPECT_EQ(Log.Entries[0], "frame 1");
    EXPECT_EQ(Log.Entries[1], "frame 2");
    EXPECT_EQ(Log.Entries[2], "frame 0");
    EXPECT_EQ(Shell.Calls.back().Data.uFlags & NIF_ICON, static_cast<UINT>(NIF_ICON));
    Tray->SetAnimated(false);
    size_t frames = Log.Entries.size();
    PumpApplication(100);
    EXPECT_EQ(Log.Entries.size(), frames);
    // Freeing the image list clears the reference.
    images->Free();
    EXPECT_EQ(Tray->GetIcons(), nullptr);
}

TEST_F(TrayIconTest, TheRealShellTakesTheIcon) {
    // The shell's tray comes up with the desktop a display starts: a run
    // that has just started one asks a little later (bounded).
    for (int waited = 0; !FindWindowA("Shell_TrayWnd", nullptr) && waited < 10000; waited += 50) Sleep(50);
    ASSERT_NE(FindWindowA("Shell_TrayWnd", nullptr), nullptr) << "no shell tray on this display";
    Tray->SetHint("Qelvo test icon");
    Tray->SetVisibility(Tray->GetVisibility() | TTrayVisibilities{tvNoRetryOnFailure});
    Tray->SetActive(true);
    EXPECT_TRUE(Tray->GetIconShown());
    Tray->SetActive(false);
    EXPECT_FALSE(Tray->GetIconShown());
}

TEST_F(TrayIconTest, StreamedActiveWithoutTaskbarButtonStartsHidden) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    HWND application = Application->GetHandle();
    ShowWindow(application, SW_SHOWNA);
    TKitTrayIcon* loaded = nullptr;
    {
        TFormLoadScope scope(Form);
        loaded = TKitTrayIcon::Create(Form);
        loaded->SetVisibility(TTrayVisibilities{tvVisibleTaskList, tvAutoHide});
        loaded->SetActive(true);   // only remembered while loading
        EXPECT_FALSE(loaded->GetIconShown());
        EXPECT_FALSE(loaded->GetActive());
        scope.Finish();
    }
    Application->RestoreTopMosts();   // Loaded normalised them
    EXPECT_TRUE(loaded->GetActive());
    EXPECT_TRUE(loaded->GetIconShown());
    EXPECT_FALSE(loaded->IsApplicationVisible());
    EXPECT_FALSE(IsWindowVisible(application));
    loaded->ShowApplication();
    EXPECT_TRUE(loaded->IsApplicationVisible());
    EXPECT_TRUE(IsWindowVisible(application));
    EXPECT_TRUE(loaded->GetVisibility().Contains(tvVisibleTaskBar));
}

namespace {

BOOL CALLBACK CountTrayWindow(HWND wnd, LPARAM param) {
    char name[64] = "";
    GetClassNameA(wnd, name, sizeof name);
    if (lstrcmpA(name, "TPUtilWindowEx") == 0) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

// The icons' message windows this thread has.
int TrayWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountTrayWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST_F(TrayIconTest, TheMessageWindowComesWithTheFirstIconAndGoesWithTheComponent) {
    ServiceOverride<INotifyIconService> use(NotifyIconService(), Shell);
    // An icon that stays off (the tray option unticked) makes no window.
    Tray->SetHint("Qelvo");
    Tray->SetActive(false);
    EXPECT_EQ(TrayWindows(), 0);
    Tray->ActivateWithoutWaiting();
    EXPECT_TRUE(Tray->GetIconShown());
    EXPECT_EQ(TrayWindows(), 1);
    ASSERT_GE(Shell.Calls.size(), 1u);
    EXPECT_EQ(Shell.Calls[0].Data.hWnd, Tray->GetHandle());
    // Clicks reach the window the shell was given.
    Tray->OnClick = TMouseEvent(&Log, &TTrayLog::Click);
    Click();
    EXPECT_EQ(Log.Entries, std::vector<std::string>{"click left"});
    // Off and on again: the same window.
    const HWND window = Tray->GetHandle();
    Tray->SetActive(false);
    Tray->SetActive(true);
    EXPECT_EQ(Shell.Calls.back().Data.hWnd, window);
    EXPECT_EQ(TrayWindows(), 1);
    Tray->Free();
    Tray = nullptr;
    EXPECT_EQ(TrayWindows(), 0);
}
