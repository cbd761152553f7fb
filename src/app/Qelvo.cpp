// Entry point of qelvo.exe: hands over to a copy already running from the
// same folder, else starts the units, sets the application's title,
// creates the main window as the application's main form and runs the
// message loop.
#include "gcl/rtl/WinApi.h"

#include "app/Main.h"
#include "app/ProgramUnits.h"
#include "app/SingleInstance.h"
#include "app/StartupLog.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "gcl/Forms.h"

namespace {

// Frees the application's forms while every unit is still there: the main
// window's OnDestroy saves the database through its controls (the note's
// rich edit among them), whose libraries the units release when they end.
struct TFormsScope {
    ~TFormsScope() {
        if (gcl::Application) gcl::Application->DestroyComponents();
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        qelvo::StartupMark("WinMain");
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
