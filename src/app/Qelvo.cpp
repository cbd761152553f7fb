// Entry point of qelvo.exe: hands over to a copy already running from the
// same folder, else starts the units, sets the application's title,
// creates the main window as the application's main form and runs the
// message loop.
#include "gcl/rtl/WinApi.h"

#include <cstdlib>
#include <optional>

#include "app/Main.h"
#include "app/ProgramUnits.h"
#include "app/SingleInstance.h"
#include "app/StartupLog.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/MainShell.h"
#include "gcl/Forms.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/SysInfo.h"
#include "gcl/rtl/Strings.h"

namespace {

// Frees the application's forms while every unit is still there: the main
// window's OnDestroy saves the database through its controls (the note's
// rich edit among them), whose libraries the units release when they end.
struct TFormsScope {
    ~TFormsScope() {
        if (gcl::Application) gcl::Application->DestroyComponents();
    }
};

// The clock moved by the seconds that QELVO_CLOCK_SHIFT names (a whole
// number, negative for the past), so that a run can pass a midnight or a
// month's end without the system's clock being set; the system's time
// itself when the variable is absent or not a number.
class TShiftedClock final : public gcl::IClock {
public:
    explicit TShiftedClock(gcl::IClock& base) : FBase(base) {
        char text[32];
        const DWORD n = GetEnvironmentVariableA("QELVO_CLOCK_SHIFT", text, sizeof text);
        if (n == 0 || n >= sizeof text) return;
        char* end = nullptr;
        const long long seconds = std::strtoll(text, &end, 10);
        if (end != text && *end == '\0') FShiftDays = static_cast<double>(seconds) / 86400.0;
    }
    double Now() override { return FBase.Now() + FShiftDays; }

private:
    gcl::IClock& FBase;
    double FShiftDays = 0;
};

// With QELVO_SHELL_RECORD naming a file, every request to open a document,
// folder or link is appended to that file as a line (target, a tab, the
// parameters) and nothing is opened, so that a run under test can click
// links and export files without starting other programs.
class TRecordingShell final : public gcl::IShell {
public:
    static std::string RecordFile() {
        char path[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA("QELVO_SHELL_RECORD", path, sizeof path);
        return n == 0 || n >= sizeof path ? std::string() : std::string(path, n);
    }
    explicit TRecordingShell(std::string file) : FFile(std::move(file)) {}
    bool Recording() const { return !FFile.empty(); }
    bool Open(const std::string& target, const std::string& params) override {
        if (target.empty()) return false;
        const std::string line = target + "\t" + params + "\r\n";
        HANDLE file = CreateFileA(FFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                        written == line.size();
        CloseHandle(file);
        return ok;
    }
    bool OpenSilently(const std::wstring& target, const std::wstring& params) override {
        return Open(gcl::Utf8Encode(target), gcl::Utf8Encode(params));
    }

private:
    std::string FFile;
};

// With QELVO_FILE_MOMENTS naming a prefix, the load and the save stop at
// their moments for another writer (qelvo::TFileMoment) when a test made
// the two events of that moment: "<prefix>-load-read-reached" and
// "<prefix>-load-read-go" (and "-save-before-replace-" for the save). The
// program sets the first and waits, within a bound, for the second, which
// the test sets once it has acted.
class TEventFileMoments final : public qelvo::IFileMoments {
public:
    static std::string Prefix() {
        char text[128];
        const DWORD n = GetEnvironmentVariableA("QELVO_FILE_MOMENTS", text, sizeof text);
        return n == 0 || n >= sizeof text ? std::string() : std::string(text, n);
    }
    explicit TEventFileMoments(std::string prefix) : FPrefix(std::move(prefix)) {}
    bool Active() const { return !FPrefix.empty(); }
    void Reached(qelvo::TFileMoment moment, const std::string&) override {
        const std::string name =
            FPrefix + (moment == qelvo::TFileMoment::LoadRead ? "-load-read" : "-save-before-replace");
        HANDLE reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + "-reached").c_str());
        HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, (name + "-go").c_str());
        if (reached && go && SetEvent(reached)) WaitForSingleObject(go, 60000);
        if (reached) CloseHandle(reached);
        if (go) CloseHandle(go);
    }

private:
    std::string FPrefix;
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        qelvo::StartupMark("WinMain");
        TShiftedClock clock(gcl::Clock.Get());
        gcl::ServiceOverride<gcl::IClock> clockScope(gcl::Clock, clock);
        TRecordingShell recordingShell(TRecordingShell::RecordFile());
        std::optional<gcl::ServiceOverride<gcl::IShell>> shellScope;
        if (recordingShell.Recording()) shellScope.emplace(gcl::Shell, recordingShell);
        TEventFileMoments fileMoments(TEventFileMoments::Prefix());
        std::optional<gcl::ServiceOverride<qelvo::IFileMoments>> momentsScope;
        if (fileMoments.Active()) momentsScope.emplace(qelvo::FileMoments, fileMoments);
        // A second start in this folder brings the running copy forward.
        qelvo::TSingleInstance instance(qelvo::AppDir());
        if (instance.AnotherRuns()) {
            instance.BringOtherForward();
            return 0;
        }
        gcl::TUnitScope units(qelvo::ProgramUnits(), &qelvo::StartupMark);
        TFormsScope forms;
        gcl::Application->Initialize();
        gcl::Application->SetTitle(qelvo::msg::AppTitle);
        qelvo::MarkStartupIdle();
        qelvo::AnnounceMissingDatabase();
        qelvo::TMainForm* mainForm = nullptr;
        gcl::Application->CreateForm(mainForm);
        qelvo::StartupMark("main window made, with its window handle");
        gcl::Application->Run();
    } catch (gcl::Exception& e) {
        MessageBoxA(nullptr, e.GetMessage().c_str(), qelvo::msg::AppTitle, MB_OK | MB_ICONSTOP);
        return 1;
    } catch (...) {
        return 1;
    }
    return 0;
}
