// The sticky notes with the recording build of the companion library:
// every argument of ShowDllForm, the cascade, Show All, Close All, the
// notes' messages, and the program without the library.
#include <gtest/gtest.h>

#include <cstring>

#include "AppWindowTest.h"
#include "app/MainStickies.h"
#include "app/logic/AppMessages.h"
#include "gcl/Forms.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"

namespace qelvo {
namespace {

// The recording build beside the test program.
std::string RecordingLibrary() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir.erase(dir.find_last_of("\\/") + 1);
    return dir + "jotpaper-recording\\Jotpaper.dll";
}

// The calls the recording library saw since the last read.
std::vector<TJotpaperCall> RecordedCalls(const std::string& library) {
    HMODULE module = GetModuleHandleA(library.c_str());
    if (!module) return {};
    auto read = reinterpret_cast<TJotpaperRecordedCalls>(
        reinterpret_cast<void*>(GetProcAddress(module, JotpaperRecordedCallsName)));
    if (!read) return {};
    std::vector<TJotpaperCall> calls(64);
    const int count = read(calls.data(), static_cast<int>(calls.size()), true);
    calls.resize(static_cast<std::size_t>(std::min(count, 64)));
    return calls;
}

TNoteInfo Note(const std::string& title) {
    TNoteInfo info;
    info.Title = title;
    info.DateFormat = "ddddd";
    return info;
}

// The window the notes report to, as the main window does.
class TNotesOwner : public gcl::TForm {
    GCL_CLASS(TNotesOwner, gcl::TForm)
public:
    TStickyNotes* Notes = nullptr;
    std::vector<TNoteMessage> Heard;
    void Dispatch(gcl::TMessage& message) override {
        if (message.Msg == WM_COPYDATA && Notes) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(message.LParam);
            Heard.push_back(Notes->CopyData(message.WParam, data->dwData));
            message.Result = 1;
            return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit TNotesOwner(gcl::TComponent* owner) : TForm(owner, 0) {
        SetCaption("Notes owner");
        SetBounds(10, 10, 300, 200);
    }
};
GCL_IMPLEMENT_CLASS(TNotesOwner)

class StickyNotes : public test::TAppWindowTest {
protected:
    void SetUp() override {
        TAppWindowTest::SetUp();
        Owner = TNotesOwner::Create(nullptr);
        Owner->Notes = &Notes;
        Owner->Show();
    }
    void TearDown() override {
        Notes.CloseAll();
        Owner->Notes = nullptr;
        Owner->Free();
        TAppWindowTest::TearDown();
    }
    void Send(HWND from, std::uintptr_t code) {
        COPYDATASTRUCT data{};
        data.dwData = code;
        SendMessageA(Owner->GetHandle(), WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data));
    }
    HWND NoteAt(int index) { return reinterpret_cast<HWND>(NoteWindows.Snapshot().at(static_cast<std::size_t>(index))); }

    const std::string Library = RecordingLibrary();
    TStickyNotes Notes{Library, 1024, 768};
    TNotesOwner* Owner = nullptr;
};

TEST_F(StickyNotes, SevenTasksMakeSevenNotesWithEveryArgument) {
    ASSERT_TRUE(Notes.Available()) << Library;
    RecordedCalls(Library);
    std::vector<TNoteInfo> infos;
    for (int i = 0; i < 7; ++i) {
        TNoteInfo info;
        info.Title = "Task " + std::to_string(i + 1);
        info.Note = i == 2 ? "First line\r\nSecond line" : "";
        info.DateFormat = "dd MMM yyyy";
        info.Due = i == 0 ? 0 : gcl::EncodeDate(2027, 3, i) + 0.25 * (i % 4);
        infos.push_back(info);
    }
    EXPECT_EQ(7, Notes.Make(Owner->GetHandle(), infos));
    const std::vector<TJotpaperCall> calls = RecordedCalls(Library);
    ASSERT_EQ(7u, calls.size());
    // The cascade on a 1024 x 768 screen: a quarter in and 40 further each
    // time; the seventh passes the bottom limit (768 - 300) and restarts a
    // sixth down, a third further left.
    const std::pair<int, int> places[] = {{296, 232}, {336, 272}, {376, 312}, {416, 352},
                                          {456, 392}, {496, 432}, {358, 128}};
    ASSERT_EQ(7, NoteWindows.Count());
    for (int i = 0; i < 7; ++i) {
        const TJotpaperCall& c = calls[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(Owner->GetHandle(), c.Parent);
        EXPECT_STREQ(infos[i].Title.c_str(), c.Title);
        EXPECT_STREQ(infos[i].Note.c_str(), c.Note);
        EXPECT_STREQ("dd MMM yyyy", c.DateFormat);
        EXPECT_FALSE(c.Flag1);
        EXPECT_FALSE(c.Flag2);
        EXPECT_EQ(0, std::memcmp(&infos[i].Due, &c.Due, sizeof(double)));  // the double passes bit for bit
        EXPECT_EQ(places[i].first, c.Left);
        EXPECT_EQ(places[i].second, c.Top);
        ASSERT_NE(nullptr, c.Result);
        EXPECT_EQ(c.Result, NoteAt(i));  // kept in creation order
        EXPECT_TRUE(IsWindow(c.Result));
        char title[64] = {};
        GetWindowTextA(c.Result, title, sizeof title);
        EXPECT_STREQ(c.Title, title);
        RECT r;
        GetWindowRect(c.Result, &r);
        EXPECT_EQ(places[i].first, r.left);
        EXPECT_EQ(places[i].second, r.top);
    }
    test::PumpApplication(200);
    EXPECT_GT(test::SaveWindowScreenshot(NoteAt(2), "StickyNote.bmp"), 5);
}

TEST_F(StickyNotes, ShowAllRaisesTheNotesWithoutMovingThem) {
    Notes.Make(Owner->GetHandle(), {Note("One"), Note("Two")});
    ASSERT_EQ(2, NoteWindows.Count());
    RECT before;
    GetWindowRect(NoteAt(0), &before);
    SetWindowPos(Owner->GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    auto above = [](HWND a, HWND b) {  // a lies above b in the z-order
        for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == a) return true;
        return false;
    };
    EXPECT_TRUE(above(Owner->GetHandle(), NoteAt(0)));
    Send(NoteAt(1), NoteShowAll);  // a note asks for all
    EXPECT_EQ(TNoteMessage::ShowAll, Owner->Heard.back());
    EXPECT_TRUE(above(NoteAt(0), Owner->GetHandle()));
    EXPECT_TRUE(above(NoteAt(1), NoteAt(0)));  // in list order, the last on top
    RECT after;
    GetWindowRect(NoteAt(0), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(StickyNotes, ANoteClosedByTheUserIsForgotten) {
    Notes.Make(Owner->GetHandle(), {Note("A"), Note("B"), Note("C")});
    ASSERT_EQ(3, NoteWindows.Count());
    const HWND b = NoteAt(1);
    SendMessageA(b, WM_CLOSE, 0, 0);  // the note's close box
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(std::vector<TNoteMessage>{TNoteMessage::Closed}, Owner->Heard);
    ASSERT_EQ(2, NoteWindows.Count());
    EXPECT_EQ(3 * 40 + 1024 / 4, Notes.GetCascade().GetLeft());  // the cascade goes on while notes are open
    SendMessageA(NoteAt(0), WM_CLOSE, 0, 0);
    SendMessageA(NoteAt(0), WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoteWindows.IsEmpty());
    // All gone: the next note starts again a quarter in plus 40.
    EXPECT_EQ(1024 / 4, Notes.GetCascade().GetLeft());
    EXPECT_EQ(768 / 4, Notes.GetCascade().GetTop());
    // A message with no note open is ignored.
    Owner->Heard.clear();
    Send(b, NoteCloseAll);
    Send(b, NoteClosing);
    EXPECT_EQ(std::vector<TNoteMessage>({TNoteMessage::Ignore, TNoteMessage::Ignore}), Owner->Heard);
}

TEST_F(StickyNotes, CloseAllClosesEveryNoteEvenAsTheyReportThemselves) {
    Notes.Make(Owner->GetHandle(), {Note("A"), Note("B"), Note("C"), Note("D")});
    const std::vector<std::uintptr_t> made = NoteWindows.Snapshot();
    ASSERT_EQ(4u, made.size());
    // A handle that is no window (any more) stays listed: DestroyWindow fails.
    const std::uintptr_t stale = 0x7FF0;
    NoteWindows.Add(stale);
    Send(NoteAt(0), NoteCloseAll);  // a note asks for all
    for (std::uintptr_t h : made) EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(h)));
    EXPECT_EQ(std::vector<std::uintptr_t>{stale}, NoteWindows.Snapshot());
    // Each note reported its closing while it was destroyed.
    EXPECT_EQ(5u, Owner->Heard.size());
    EXPECT_EQ(1024 / 4 + 4 * 40, Notes.GetCascade().GetLeft());  // a note still listed: no restart
    // Its closing report empties the list: the cascade starts again.
    Send(reinterpret_cast<HWND>(stale), NoteClosing);
    EXPECT_TRUE(NoteWindows.IsEmpty());
    Notes.CloseAll();  // nothing open: nothing happens
    Notes.ShowAll();
    EXPECT_EQ(1, Notes.Make(Owner->GetHandle(), {Note("E")}));
    RECT r;
    GetWindowRect(NoteAt(0), &r);
    EXPECT_EQ(1024 / 4 + 40, r.left);
}

TEST_F(StickyNotes, NotesFollowTheScreenWhenTheDisplayChangesWhileTheyAreOpen) {
    // A large display, then a small one (a laptop taken off its monitor):
    // the notes made after the change stay on the small screen.
    std::pair<int, int> screen(2560, 1440);
    TStickyNotes notes(Library, [&screen] { return screen; });
    Owner->Notes = &notes;
    std::vector<TNoteInfo> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(Note("Big " + std::to_string(i)));
    ASSERT_EQ(10, notes.Make(Owner->GetHandle(), ten));
    RECT r;
    GetWindowRect(NoteAt(9), &r);
    EXPECT_EQ(2560 / 4 + 400, r.left);
    EXPECT_EQ(1440 / 4 + 400, r.top);
    screen = {1366, 768};
    ASSERT_EQ(1, notes.Make(Owner->GetHandle(), {Note("Small")}));
    GetWindowRect(NoteAt(10), &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 1366) << "the note lies off the screen";
    EXPECT_LE(r.bottom, 768) << "the note lies off the screen";
    // All closed: the cascade starts again a quarter into the screen of now.
    notes.CloseAll();
    EXPECT_EQ(1366 / 4, notes.GetCascade().GetLeft());
    EXPECT_EQ(768 / 4, notes.GetCascade().GetTop());
    Owner->Notes = &Notes;
}

TEST_F(StickyNotes, TheCommandMakesANoteForEverySelectedTask) {
    TuData data;
    auto* list = TGvListview::Create(Owner);
    list->SetParent(Owner);
    list->SetAlign(gcl::alClient);
    list->GetSelection()->SetMultiSelect(true);
    list->GetHeader()->GetColumns()->Add(nullptr);
    TGvGroup* group = list->GetGroups()->Add(nullptr);
    for (int i = 0; i < 8; ++i) {
        TuTask* task = test::AddTask(data, "Task " + std::to_string(i), "", "", gcl::EncodeDate(2027, 1, 1 + i), i % 3);
        task->Notes = "Note of task " + std::to_string(i);
        group->GetItems()->Add(task)->SetCaptions(0, L"Task");
    }
    for (int i = 1; i < 8; ++i) list->GetItems()->GetItems(i)->SetSelected(true);
    RecordedCalls(Library);
    EXPECT_TRUE(MakeStickyNotes(list, Notes, Owner->GetHandle(), "dd.MM.yyyy"));
    const std::vector<TJotpaperCall> calls = RecordedCalls(Library);
    ASSERT_EQ(7u, calls.size());
    for (int i = 0; i < 7; ++i) {
        const TJotpaperCall& c = calls[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ("Task " + std::to_string(i + 1), std::string(c.Title));
        EXPECT_EQ("Note of task " + std::to_string(i + 1), std::string(c.Note));
        EXPECT_STREQ("dd.MM.yyyy", c.DateFormat);
        EXPECT_EQ(gcl::EncodeDate(2027, 1, 2 + i), c.Due);
        EXPECT_EQ(i < 6 ? 1024 / 4 + 40 * (i + 1) : 358, c.Left);  // the seventh restarts higher up
    }
    EXPECT_EQ(7, NoteWindows.Count());
    // Nothing selected: nothing made.
    list->GetSelection()->ClearAll();
    EXPECT_TRUE(MakeStickyNotes(list, Notes, Owner->GetHandle(), "ddddd"));
    EXPECT_EQ(7, NoteWindows.Count());
    // Without the library the command says why and reports it.
    TStickyNotes missing(App.File("Jotpaper.dll"), 1024, 768);
    list->GetItems()->GetItems(0)->SetSelected(true);
    Dialogs.ExpectMessage("Jotpaper.dll", IDOK);
    EXPECT_FALSE(MakeStickyNotes(list, missing, Owner->GetHandle(), "ddddd"));
    EXPECT_EQ(7, NoteWindows.Count());
}

TEST_F(StickyNotes, WithoutTheLibraryNothingIsMade) {
    TStickyNotes missing(App.File("Jotpaper.dll"), 1024, 768);
    EXPECT_FALSE(missing.Available());
    EXPECT_EQ(msg::StickyNotesMissing, missing.GetUnavailableReason());
    EXPECT_EQ(0, missing.Make(Owner->GetHandle(), {Note("A")}));
    EXPECT_TRUE(NoteWindows.IsEmpty());
    // A file of that name that is no such library is refused the same way.
    const std::string notALibrary = "MZ not really";
    gcl::WriteFileAtomic(App.File("Jotpaper.dll"), notALibrary.data(), notALibrary.size());
    TStickyNotes broken(App.File("Jotpaper.dll"), 1024, 768);
    EXPECT_FALSE(broken.Available());
    EXPECT_EQ(0, broken.Make(Owner->GetHandle(), {Note("A")}));
}

} // namespace
} // namespace qelvo
