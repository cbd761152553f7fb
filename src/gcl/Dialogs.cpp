#include "gcl/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "gcl/rtl/Files.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"


namespace gcl {

namespace {

// "Text|*.txt|All|*.*" as the NUL-separated, double-NUL-terminated list
// the file dialogs take; a trailing description without a pattern is
// dropped.
std::string FilterList(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::string result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        result += parts[i];
        result += '\0';
        result += parts[i + 1];
        result += '\0';
    }
    if (result.empty()) return result;
    result += '\0';
    return result;
}

HWND OwnerOf(const TDialogRequest& request) noexcept {
    return request.Owner ? request.Owner : GetActiveWindow();
}

// The system's file dialog in its wide form, so that a name the code page
// cannot hold is not handed on as question marks: such a name is taken in
// its short form, or refused with a word and the dialog shown again.
int ExecuteFileDialog(TDialogRequest& request) {
    const std::wstring filter = AnsiToWide(FilterList(request.Filter));
    std::string defaultExt = request.DefaultExt;
    if (!defaultExt.empty() && defaultExt[0] == '.') defaultExt.erase(0, 1);
    const std::wstring wideExt = AnsiToWide(defaultExt);
    const std::wstring initialDir = AnsiToWide(request.InitialDir);
    const std::wstring title = AnsiToWide(request.Title);
    std::wstring start = AnsiToWide(request.FileName);
    DWORD filterIndex = static_cast<DWORD>(request.FilterIndex > 0 ? request.FilterIndex : 1);
    for (;;) {
        std::vector<wchar_t> file(32768, L'\0');
        start.copy(file.data(), std::min(start.size(), file.size() - 1));

        OPENFILENAMEW ofn;
        std::memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = OwnerOf(request);
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = filterIndex;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
        ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
        ofn.lpstrDefExt = wideExt.empty() ? nullptr : wideExt.c_str();
        // The dialogs would otherwise move the process's current folder.
        ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        if (request.Options.Contains(ofOverwritePrompt)) ofn.Flags |= OFN_OVERWRITEPROMPT;
        if (request.Options.Contains(ofHideReadOnly)) ofn.Flags |= OFN_HIDEREADONLY;
        if (request.Options.Contains(ofPathMustExist)) ofn.Flags |= OFN_PATHMUSTEXIST;
        if (request.Options.Contains(ofFileMustExist)) ofn.Flags |= OFN_FILEMUSTEXIST;

        const BOOL accepted = request.Kind == dkSave ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
        if (!accepted) return IDCANCEL;
        const std::wstring chosen = file.data();
        filterIndex = ofn.nFilterIndex;
        const std::string path = AnsiFilePath(chosen);
        if (!path.empty()) {
            request.FileName = path;
            request.FilterIndex = static_cast<int>(filterIndex);
            return IDOK;
        }
        const size_t slash = chosen.find_last_of(L"\\/");
        const std::wstring name = slash == std::wstring::npos ? chosen : chosen.substr(slash + 1);
        std::wstring text = AnsiToWide(msg::UnusableFileName);
        const size_t at = text.find(L"%s");
        if (at != std::wstring::npos) text.replace(at, 2, name);
        const std::string caption = ApplicationHost ? ApplicationHost->GetTitle() : request.Title;
        MessageBoxW(OwnerOf(request), text.c_str(), AnsiToWide(caption).c_str(), MB_OK | MB_ICONWARNING);
        start = chosen.substr(0, slash == std::wstring::npos ? 0 : slash + 1);
    }
}

int ExecuteColorDialog(TDialogRequest& request) {
    CHOOSECOLORA cc;
    std::memset(&cc, 0, sizeof cc);
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = OwnerOf(request);
    cc.rgbResult = ColorToColorRef(request.Color);
    cc.lpCustColors = request.CustomColors.data();
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorA(&cc)) return IDCANCEL;
    request.Color = static_cast<TColor>(cc.rgbResult);
    return IDOK;
}

class TSystemDialogs : public IDialogService {
public:
    int Execute(TDialogRequest& request) override {
        switch (request.Kind) {
        case dkOpen:
        case dkSave: return ExecuteFileDialog(request);
        case dkColor: return ExecuteColorDialog(request);
        default: break;
        }
        // Stay-on-top forms would cover the box.
        if (ApplicationHost) ApplicationHost->NormalizeTopMosts();
        int result = MessageBoxA(OwnerOf(request), request.Text.c_str(), request.Caption.c_str(), request.Flags);
        if (ApplicationHost) ApplicationHost->RestoreTopMosts();
        return result;
    }
};

// The buttons a message box shows, from its MB_ type.
std::vector<int> MessageButtons(UINT flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

const char* KindName(TDialogKind kind) noexcept {
    switch (kind) {
    case dkOpen: return "open dialog";
    case dkSave: return "save dialog";
    case dkColor: return "colour dialog";
    default: return "message box";
    }
}

std::string Describe(const TDialogRequest& request) {
    std::string text = KindName(request.Kind);
    if (request.Kind == dkMessage) text += " \"" + request.Text + "\"";
    else if (!request.Title.empty()) text += " \"" + request.Title + "\"";
    return text;
}

} // namespace

ServiceSlot<IDialogService>& DialogService() {
    static TSystemDialogs production;
    static ServiceSlot<IDialogService> slot(&production);
    return slot;
}

// ---- Message boxes ---------------------------------------------------------------

std::string DialogCaption() {
    if (ApplicationHost && !ApplicationHost->GetTitle().empty()) return ApplicationHost->GetTitle();
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT flags;
    if (buttons.Contains(mbYes) || buttons.Contains(mbNo))
        flags = buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else
        flags = buttons.Contains(mbCancel) ? MB_OKCANCEL : MB_OK;
    switch (type) {
    case mtWarning: flags |= MB_ICONWARNING; break;
    case mtError: flags |= MB_ICONERROR; break;
    case mtInformation: flags |= MB_ICONINFORMATION; break;
    case mtConfirmation: flags |= MB_ICONQUESTION; break;
    default: break;
    }
    return ShowMessageBox(text, DialogCaption(), flags);
}

void ShowMessage(const std::string& text) {
    ShowMessageBox(text, DialogCaption(), MB_OK);
}

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    TDialogRequest request;
    request.Kind = dkMessage;
    request.Text = text;
    request.Caption = caption;
    request.Flags = flags;
    return DialogService()->Execute(request);
}

// ---- Dialog components ----------------------------------------------------------

bool TOpenDialog::DoExecute(TDialogKind kind) {
    TDialogRequest request;
    request.Kind = kind;
    request.Title = FTitle;
    request.Filter = FFilter;
    request.InitialDir = FInitialDir;
    request.DefaultExt = FDefaultExt;
    request.FileName = FFileName;
    request.FilterIndex = FFilterIndex;
    request.Options = FOptions;
    if (DialogService()->Execute(request) != IDOK) return false;
    FFileName = request.FileName;
    FFilterIndex = request.FilterIndex;
    return true;
}

bool TOpenDialog::Execute() {
    return DoExecute(dkOpen);
}

bool TSaveDialog::Execute() {
    return DoExecute(dkSave);
}

bool TColorDialog::Execute() {
    TDialogRequest request;
    request.Kind = dkColor;
    request.Color = FColor;
    request.CustomColors = FCustomColors;
    if (DialogService()->Execute(request) != IDOK) return false;
    FColor = request.Color;
    FCustomColors = request.CustomColors;
    return true;
}

// ---- TScriptedDialogs ------------------------------------------------------------

TScriptedDialogs& TScriptedDialogs::Push(TStep step) {
    FScript.push_back(std::move(step));
    return *this;
}

TScriptedDialogs& TScriptedDialogs::ExpectMessage(const std::string& textContains, int result) {
    return Push({dkMessage, true, textContains, result});
}

TScriptedDialogs& TScriptedDialogs::ExpectOpen(const std::string& fileName, int filterIndex) {
    return Push({dkOpen, true, fileName, IDOK, filterIndex});
}

TScriptedDialogs& TScriptedDialogs::ExpectSave(const std::string& fileName, int filterIndex) {
    return Push({dkSave, true, fileName, IDOK, filterIndex});
}

TScriptedDialogs& TScriptedDialogs::ExpectColor(TColor color) {
    return Push({dkColor, true, "", IDOK, 0, color});
}

TScriptedDialogs& TScriptedDialogs::ExpectCancel(TDialogKind kind) {
    return Push({kind, false, "", IDCANCEL});
}

int TScriptedDialogs::Fail(const TDialogRequest& request, const std::string& message) {
    FFailures.push_back(message);
    if (OnFailure) OnFailure(message);
    if (request.Kind != dkMessage) return IDCANCEL;
    const std::vector<int> buttons = MessageButtons(request.Flags);
    for (int preferred : {IDCANCEL, IDNO})
        for (int b : buttons)
            if (b == preferred) return b;
    return buttons.front();
}

int TScriptedDialogs::Execute(TDialogRequest& request) {
    FShown.push_back(request);
    if (FScript.empty()) return Fail(request, "Unexpected " + Describe(request));
    const TStep step = FScript.front();
    if (step.Kind != request.Kind)
        return Fail(request, std::string("Expected a ") + KindName(step.Kind) + ", got " + Describe(request));
    if (request.Kind == dkMessage && step.Accept && request.Text.find(step.Text) == std::string::npos)
        return Fail(request, "Expected a message box containing \"" + step.Text + "\", got " + Describe(request));
    FScript.pop_front();
    if (!step.Accept) return request.Kind == dkMessage ? Fail(request, "Cannot cancel a message box") : IDCANCEL;
    switch (request.Kind) {
    case dkMessage: {
        const std::vector<int> buttons = MessageButtons(request.Flags);
        for (int b : buttons)
            if (b == step.Result) return step.Result;
        return Fail(request, "Answer " + std::to_string(step.Result) + " is not a button of " + Describe(request));
    }
    case dkOpen:
    case dkSave:
        request.FileName = step.Text;
        if (step.FilterIndex > 0) request.FilterIndex = step.FilterIndex;
        return IDOK;
    case dkColor:
        request.Color = ColorToRGB(step.Color);
        return IDOK;
    }
    return IDCANCEL;
}

GCL_IMPLEMENT_CLASS(TCommonDialog)

GCL_PUBLISHED(TOpenDialog,
    GCL_PROP(DefaultExt),
    GCL_PROP(FileName),
    GCL_PROP(Filter),
    GCL_PROP(FilterIndex).Default(1),
    GCL_PROP(InitialDir),
    GCL_PROP(Options).Default(TOpenOptions{ofHideReadOnly}),
    GCL_PROP(Title))

GCL_IMPLEMENT_CLASS(TSaveDialog)

GCL_PUBLISHED(TColorDialog,
    GCL_PROP(Color).Default(clBlack).Idents(ColorIdents))

// ---- TFindDialog --------------------------------------------------------------------

namespace {

// The FR_* flag of each option, in the order of TFindOption.
constexpr DWORD FindFlags[] = {FR_DOWN,         FR_FINDNEXT,   FR_HIDEMATCHCASE, FR_HIDEWHOLEWORD, FR_HIDEUPDOWN,
                               FR_MATCHCASE,    FR_NOMATCHCASE, FR_NOUPDOWN,     FR_NOWHOLEWORD,   FR_REPLACE,
                               FR_REPLACEALL,   FR_WHOLEWORD,  FR_SHOWHELP};
static_assert(std::size(FindFlags) == static_cast<size_t>(TFindOptions::Size));

DWORD FlagsOf(TFindOptions options) noexcept {
    DWORD flags = 0;
    for (int i = 0; i < TFindOptions::Size; ++i)
        if (options.Contains(static_cast<TFindOption>(i))) flags |= FindFlags[i];
    return flags;
}

TFindOptions OptionsOf(DWORD flags) noexcept {
    TFindOptions options;
    for (int i = 0; i < TFindOptions::Size; ++i)
        if (flags & FindFlags[i]) options.Include(static_cast<TFindOption>(i));
    return options;
}

UINT FindMessage() noexcept {
    static const UINT id = RegisterWindowMessageA(FINDMSGSTRINGA);
    return id;
}

void CopyText(char* buffer, size_t size, const std::string& text) noexcept {
    size_t count = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

} // namespace

GCL_PUBLISHED(TFindDialog,
    GCL_PROP(FindText),
    GCL_PROP(Options).Default(TFindOptions{frDown}))

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner) {}

TFindDialog::~TFindDialog() = default;

void TFindDialog::BeforeDestruction() noexcept {
    DestroyDialog(true);
    DeallocateHWnd(FHelper);
    FHelper = nullptr;
    inherited::BeforeDestruction();
}

void TFindDialog::SetFindText(const std::string& value) {
    if (value == FFindText) return;
    FFindText = value;
    if (FDialog) {
        // The open dialog shows the new text at once.
        CopyText(FFindBuffer, sizeof FFindBuffer, FFindText);
        SetDlgItemTextA(FDialog, edt1, FFindBuffer);
    }
}

void TFindDialog::SetOptions(TFindOptions value) {
    if (value == FOptions) return;
    FOptions = value;
}

bool TFindDialog::Execute() {
    if (FDialog) {
        SetForegroundWindow(FDialog);
        return true;
    }
    if (!FHelper) FHelper = AllocateHWnd(TWndMethod(this, &TFindDialog::HelperWndProc));
    CopyText(FFindBuffer, sizeof FFindBuffer, FFindText);
    CopyText(FReplaceBuffer, sizeof FReplaceBuffer, FReplaceText);
    std::memset(&FFindReplace, 0, sizeof FFindReplace);
    FFindReplace.lStructSize = sizeof FFindReplace;
    FFindReplace.hwndOwner = FHelper;
    FFindReplace.Flags = FlagsOf(FOptions) & ~static_cast<DWORD>(FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL);
    FFindReplace.lpstrFindWhat = FFindBuffer;
    FFindReplace.wFindWhatLen = sizeof FFindBuffer;
    FFindReplace.lpstrReplaceWith = FReplaceBuffer;
    FFindReplace.wReplaceWithLen = sizeof FReplaceBuffer;
    FDialog = CreateDialogWindow(FFindReplace);
    if (!FDialog) throw EOutOfResources(msg::NoFindDialog);
    if (ApplicationHost) {
        FHookedHost = ApplicationHost;
        FHookedHost->HookMessageLoop(TLoopHook(this, &TFindDialog::DialogKeys));
    }
    return true;
}

HWND TFindDialog::CreateDialogWindow(FINDREPLACEA& data) { return FindTextA(&data); }

void TFindDialog::CloseDialog() {
    // The dialog answers WM_CLOSE as its Cancel button: it tells the
    // helper (FR_DIALOGTERM) and destroys itself.
    if (FDialog) SendMessageA(FDialog, WM_CLOSE, 0, 0);
    if (FDialog) DestroyDialog(false);
}

void TFindDialog::DestroyDialog(bool quiet) noexcept {
    Unhook();
    if (!FDialog) return;
    HWND dialog = FDialog;
    FDialog = nullptr;
    TRestore<bool> silence(FQuiet, quiet || FQuiet);
    DestroyWindow(dialog);
    if (!quiet) GCL_GUARD(this, DoClose(););
}

void TFindDialog::Unhook() noexcept {
    // The application may have gone (and put another in its place) since
    // the hook was set.
    if (FHookedHost && FHookedHost == ApplicationHost) FHookedHost->UnhookMessageLoop(TLoopHook(this, &TFindDialog::DialogKeys));
    FHookedHost = nullptr;
}

bool TFindDialog::DialogKeys(MSG& msg) { return FDialog && IsDialogMessageA(FDialog, &msg); }

void TFindDialog::HelperWndProc(TMessage& message) {
    if (message.Msg == FindMessage() && message.Msg != 0) {
        auto* data = reinterpret_cast<const FINDREPLACEA*>(message.LParam);
        if (data == &FFindReplace && !FQuiet) GCL_GUARD(this, Notify(*data););
        message.Result = 0;
        return;
    }
    message.Result = DefWindowProcA(FHelper, message.Msg, message.WParam, message.LParam);
}

void TFindDialog::ReadBack(const FINDREPLACEA& data) {
    FFindText = data.lpstrFindWhat ? data.lpstrFindWhat : "";
    FReplaceText = data.lpstrReplaceWith ? data.lpstrReplaceWith : "";
    FOptions = OptionsOf(data.Flags);
}

void TFindDialog::Notify(const FINDREPLACEA& data) {
    if (data.Flags & FR_DIALOGTERM) {
        Unhook();
        FDialog = nullptr;
        DoClose();
        return;
    }
    ReadBack(data);
    if (data.Flags & FR_FINDNEXT) Find();
}

void TFindDialog::Find() {
    if (OnFind) OnFind(this);
}

void TFindDialog::DoClose() {
    if (OnClose) OnClose(this);
}

// ---- TReplaceDialog -----------------------------------------------------------------

GCL_PUBLISHED(TReplaceDialog,
    GCL_PROP(ReplaceText))

void TReplaceDialog::SetReplaceText(const std::string& value) {
    if (value == FReplaceText) return;
    FReplaceText = value;
    if (HWND dialog = GetHandle()) {
        CopyText(FReplaceBuffer, sizeof FReplaceBuffer, FReplaceText);
        SetDlgItemTextA(dialog, edt2, FReplaceBuffer);
    }
}

HWND TReplaceDialog::CreateDialogWindow(FINDREPLACEA& data) { return ReplaceTextA(&data); }

void TReplaceDialog::Notify(const FINDREPLACEA& data) {
    if (data.Flags & (FR_REPLACE | FR_REPLACEALL)) {
        ReadBack(data);
        Replace();
        return;
    }
    TFindDialog::Notify(data);
}

void TReplaceDialog::Replace() {
    if (OnReplace) OnReplace(this);
}

namespace {
void InitializeDialogs() {
    RegisterClasses({TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                     TFindDialog::StaticClass(), TReplaceDialog::StaticClass()});
}
void FinalizeDialogs() {
    for (TClass cls : {TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                       TFindDialog::StaticClass(), TReplaceDialog::StaticClass()})
        UnRegisterClass(cls);
}
} // namespace

TUnit DialogsUnit{"Dialogs", &InitializeDialogs, &FinalizeDialogs};

} // namespace gcl
