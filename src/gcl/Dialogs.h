// Common dialogs and message boxes behind one replaceable service.
//
// Every open, save and colour dialog and every message box the program
// shows becomes a TDialogRequest handed to DialogService(). The production
// service calls GetOpenFileNameA, GetSaveFileNameA, ChooseColorA and
// MessageBoxA; tests install a TScriptedDialogs with a ServiceOverride and
// answer each dialog from a script, without a window:
//
//     TScriptedDialogs script;
//     script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
//     script.ExpectMessage("Save changes", mrNo).ExpectSave("C:\\out.kpx");
//     ServiceOverride<IDialogService> use(DialogService(), script);
//     ...
//     EXPECT_TRUE(script.Done());
#pragma once

#include "gcl/rtl/WinApi.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Services.h"

namespace gcl {

namespace msg {
inline constexpr const char* NoFindDialog = "Cannot open the find dialog";
inline constexpr const char* UnusableFileName =
    "The name \"%s\" has characters that this program cannot keep in its 8-bit character set. Please choose "
    "another name.";
} // namespace msg

GCL_ENUM(TDialogKind, dkMessage, dkOpen, dkSave, dkColor)
GCL_ENUM(TOpenOption, ofOverwritePrompt, ofHideReadOnly, ofPathMustExist, ofFileMustExist)
using TOpenOptions = TSet<TOpenOption>;

// One dialog to show. Fields marked "out" are written back when the user
// accepts.
struct TDialogRequest {
    TDialogKind Kind = dkMessage;
    HWND Owner = nullptr;  // null: the active window
    // dkMessage
    std::string Text;
    std::string Caption;
    UINT Flags = MB_OK;  // MB_* buttons, icon and default button
    // dkOpen and dkSave
    std::string Title;
    std::string Filter;       // "Description|*.ext|Other|*.a;*.b"
    std::string InitialDir;
    std::string DefaultExt;   // without the dot
    std::string FileName;     // in and out
    int FilterIndex = 1;      // 1-based, in and out
    TOpenOptions Options;
    // dkColor
    TColor Color = clBlack;                 // in and out (an RGB value when out)
    std::array<COLORREF, 16> CustomColors = WhiteCustomColors();  // in and out

    static std::array<COLORREF, 16> WhiteCustomColors() noexcept {
        std::array<COLORREF, 16> colors;
        colors.fill(0xFFFFFF);
        return colors;
    }
};

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Shows the dialog. A message box returns the button pressed (IDOK,
    // IDCANCEL, IDYES, IDNO, ...: the same numbers as mrOk, mrCancel,
    // mrYes, mrNo); the other dialogs return IDOK when the user accepted,
    // after writing the out fields, else IDCANCEL.
    virtual int Execute(TDialogRequest& request) = 0;
};

ServiceSlot<IDialogService>& DialogService();

// ---- Message boxes ---------------------------------------------------------------

GCL_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
GCL_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// The caption of message boxes: the application's title, else the
// program's file name without extension.
std::string DialogCaption();

// A message box with the type's icon and the application title as
// caption; returns mrYes, mrNo, mrOk or mrCancel. The buttons shown are
// Yes/No (with Cancel when asked) when Yes or No is asked, else OK (with
// Cancel when asked).
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// The text with an OK button and no icon.
void ShowMessage(const std::string& text);
// A message box with its own caption and MB_* flags; returns IDOK, IDYES...
int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

// ---- Dialog components ----------------------------------------------------------

class TCommonDialog : public TComponent {
    GCL_CLASS(TCommonDialog, TComponent)
public:
    // Shows the dialog through DialogService(); true when the user accepted.
    virtual bool Execute() = 0;

protected:
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
};

class TOpenDialog : public TCommonDialog {
    GCL_CLASS(TOpenDialog, TCommonDialog)
public:
    // The chosen file goes to FileName, the chosen filter to FilterIndex.
    // The process's current folder is left as it was.
    bool Execute() override;

    const std::string& GetDefaultExt() const noexcept { return FDefaultExt; }
    void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
    const std::string& GetFileName() const noexcept { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    const std::string& GetFilter() const noexcept { return FFilter; }
    void SetFilter(const std::string& value) { FFilter = value; }
    int GetFilterIndex() const noexcept { return FFilterIndex; }
    void SetFilterIndex(int value) noexcept { FFilterIndex = value; }
    const std::string& GetInitialDir() const noexcept { return FInitialDir; }
    void SetInitialDir(const std::string& value) { FInitialDir = value; }
    TOpenOptions GetOptions() const noexcept { return FOptions; }
    void SetOptions(TOpenOptions value) noexcept { FOptions = value; }
    const std::string& GetTitle() const noexcept { return FTitle; }
    void SetTitle(const std::string& value) { FTitle = value; }

protected:
    explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool DoExecute(TDialogKind kind);

private:
    std::string FDefaultExt;
    std::string FFileName;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FInitialDir;
    TOpenOptions FOptions{ofHideReadOnly};
    std::string FTitle;
};

class TSaveDialog : public TOpenDialog {
    GCL_CLASS(TSaveDialog, TOpenDialog)
public:
    bool Execute() override;

protected:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
};

class TColorDialog : public TCommonDialog {
    GCL_CLASS(TColorDialog, TCommonDialog)
public:
    // The chosen colour goes to Color (as an RGB value).
    bool Execute() override;

    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value) noexcept { FColor = value; }
    // The sixteen custom colours the dialog offers (white at first); kept
    // between calls.
    const std::array<COLORREF, 16>& GetCustomColors() const noexcept { return FCustomColors; }
    void SetCustomColors(const std::array<COLORREF, 16>& value) noexcept { FCustomColors = value; }

protected:
    explicit TColorDialog(TComponent* owner) : TCommonDialog(owner) {}

private:
    TColor FColor = clBlack;
    std::array<COLORREF, 16> FCustomColors = TDialogRequest::WhiteCustomColors();
};

// ---- Find and replace ---------------------------------------------------------------

// The options of the find and replace dialogs; each is one FR_* flag.
// frFindNext, frReplace and frReplaceAll tell which button the user
// pressed last.
GCL_ENUM(TFindOption, frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown, frMatchCase,
         frDisableMatchCase, frDisableUpDown, frDisableWholeWord, frReplace, frReplaceAll, frWholeWord,
         frShowHelp)
using TFindOptions = TSet<TFindOption>;

// The system's modeless find dialog (FindTextA). Modeless dialogs do not
// go through DialogService(): Execute shows the window and returns at once,
// and the component hears the dialog through a hidden helper window that
// owns it. While the dialog is open, an application loop hook passes the
// thread's messages through IsDialogMessageA so Tab, Enter and Escape work
// in it. Freeing the component closes the dialog without raising events.
class TFindDialog : public TCommonDialog {
    GCL_CLASS(TFindDialog, TCommonDialog)
public:
    // Shows the dialog (brings it to the front when it is open already);
    // always true.
    bool Execute() override;
    // Closes an open dialog; OnClose follows.
    void CloseDialog();
    // The dialog window; null while it is not shown.
    HWND GetHandle() const noexcept { return FDialog; }

    const std::string& GetFindText() const noexcept { return FFindText; }
    void SetFindText(const std::string& value);
    TFindOptions GetOptions() const noexcept { return FOptions; }
    void SetOptions(TFindOptions value);

    gcl::TNotifyEvent OnFind;
    gcl::TNotifyEvent OnClose;

    void BeforeDestruction() noexcept override;

protected:
    explicit TFindDialog(TComponent* owner);
    ~TFindDialog() override;

    // Creates the dialog window from FFindReplace.
    virtual HWND CreateDialogWindow(FINDREPLACEA& data);
    // One notification of the dialog; the buttons' flags are in data.
    virtual void Notify(const FINDREPLACEA& data);
    virtual void Find();
    virtual void DoClose();

    // The dialog's texts and flags, read back from the buffers.
    void ReadBack(const FINDREPLACEA& data);

    // Kept for as long as the dialog lives: the system reads and writes it.
    FINDREPLACEA FFindReplace{};
    char FFindBuffer[256]{};
    char FReplaceBuffer[256]{};
    std::string FReplaceText;

private:
    void HelperWndProc(TMessage& message);
    bool DialogKeys(MSG& msg);
    void Unhook() noexcept;
    // Destroys the dialog window, quietly when quiet.
    void DestroyDialog(bool quiet) noexcept;

    HWND FHelper = nullptr;
    HWND FDialog = nullptr;
    IApplicationHost* FHookedHost = nullptr;
    bool FQuiet = false;
    std::string FFindText;
    TFindOptions FOptions{frDown};
};

// The system's modeless replace dialog (ReplaceTextA). Find Next raises
// OnFind, Replace and Replace All raise OnReplace (with frReplace or
// frReplaceAll in Options).
class TReplaceDialog : public TFindDialog {
    GCL_CLASS(TReplaceDialog, TFindDialog)
public:
    const std::string& GetReplaceText() const noexcept { return FReplaceText; }
    void SetReplaceText(const std::string& value);

    gcl::TNotifyEvent OnReplace;

protected:
    explicit TReplaceDialog(TComponent* owner) : TFindDialog(owner) {}

    HWND CreateDialogWindow(FINDREPLACEA& data) override;
    void Notify(const FINDREPLACEA& data) override;
    virtual void Replace();
};

// ---- Scripted answers for tests ------------------------------------------------

// Answers dialogs from a queue of expectations. A dialog that does not
// match the next expectation (or comes when none is left) is recorded in
// Failures, reported through OnFailure at once, and cancelled (Cancel, else
// No, else OK for message boxes), so a test fails instead of hanging.
class TScriptedDialogs : public IDialogService {
public:
    // The next dialog is a message box whose text contains textContains
    // ("" matches any); it is answered with result (mrYes, mrOk, ...),
    // which must be one of its buttons.
    TScriptedDialogs& ExpectMessage(const std::string& textContains, int result);
    // The next dialog is an open (save) dialog, accepted with fileName and,
    // when not 0, filterIndex.
    TScriptedDialogs& ExpectOpen(const std::string& fileName, int filterIndex = 0);
    TScriptedDialogs& ExpectSave(const std::string& fileName, int filterIndex = 0);
    // The next dialog is a colour dialog, accepted with color.
    TScriptedDialogs& ExpectColor(TColor color);
    // The next dialog is of kind and is cancelled.
    TScriptedDialogs& ExpectCancel(TDialogKind kind);

    int Execute(TDialogRequest& request) override;

    // True when every expectation was met and nothing went wrong.
    bool Done() const noexcept { return FScript.empty() && FFailures.empty(); }
    int Pending() const noexcept { return static_cast<int>(FScript.size()); }
    // Every dialog shown, as it was asked for (before answers were written).
    const std::vector<TDialogRequest>& Shown() const noexcept { return FShown; }
    const std::vector<std::string>& Failures() const noexcept { return FFailures; }

    void (*OnFailure)(const std::string& message) = nullptr;

private:
    struct TStep {
        TDialogKind Kind;
        bool Accept;
        std::string Text;  // message: text to find; open/save: the file name
        int Result = 0;
        int FilterIndex = 0;
        TColor Color = clBlack;
    };
    int Fail(const TDialogRequest& request, const std::string& message);
    TScriptedDialogs& Push(TStep step);

    std::deque<TStep> FScript;
    std::vector<TDialogRequest> FShown;
    std::vector<std::string> FFailures;
};

// Registers the dialog components for reading by class name.
extern TUnit DialogsUnit;

} // namespace gcl
