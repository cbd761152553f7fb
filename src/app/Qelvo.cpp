// Entry point of qelvo.exe: starts the units, creates the main form
// through the application object and runs the message loop. The main form
// is still empty; the real one replaces it as the window classes arrive.
#include "gcl/rtl/WinApi.h"

#include "gcl/Forms.h"
#include "gcl/rtl/Init.h"

namespace {

class TMainForm : public gcl::TForm {
    GCL_CLASS(TMainForm, gcl::TForm)
protected:
    explicit TMainForm(gcl::TComponent* owner) : TForm(owner) {
        SetCaption("Qelvo");
        SetBounds(0, 0, 640, 480);
        SetPosition(gcl::poDesktopCenter);
    }
};
GCL_IMPLEMENT_CLASS(TMainForm)

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        gcl::TUnitScope units{&gcl::FormsUnit};
        gcl::Application->Initialize();
        TMainForm* mainForm = nullptr;
        gcl::Application->CreateForm(mainForm);
        gcl::Application->Run();
    } catch (gcl::Exception& e) {
        MessageBoxA(nullptr, e.GetMessage().c_str(), "Qelvo", MB_OK | MB_ICONSTOP);
        return 1;
    } catch (...) {
        return 1;
    }
    return 0;
}
