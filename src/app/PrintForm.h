// The print window: the HTML report of the task list in the web browser
// control, with print, print preview and export, and the report options
// (priorities, notes, page width, heading) on a toolbar at the bottom.
// Where the system has no HTML engine at all the window says so at once;
// an engine that is there is given a bounded time once the window shows,
// under the busy cursor and a status text. Without a page the window says
// so in its status bar, print and preview stay off, and export keeps
// working.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "app/logic/HtmlReport.h"
#include "gcl/ActnList.h"
#include "gcl/Dialogs.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/OleCtrls.h"
#include "controls/XtBars.h"
#include "controls/XtEditors.h"
#include "theming/TxBars.h"
#include "theming/TxExtItems.h"
#include "theming/TxItems.h"
#include "theming/TxStatusBars.h"

namespace qelvo {

// How long the print window waits for the browser to get ready (ms).
extern unsigned PrintBrowserWaitMs;
// Whether there is an HTML engine to wait for (gcl::HtmlEngineRegistered;
// tests put their own answer here).
extern bool (*PrintEngineProbe)();

// Shows an HTML text in the browser: about:blank, a wait of at most
// WaitMs for the document, then the text through its stream. False when
// the browser cannot show it (no engine, no document).
bool LoadHtmlIntoBrowser(gcl::TWebBrowser* browser, const std::string& html, unsigned waitMs);
// The browser's print preview, without asking.
void PrintPreview(gcl::TWebBrowser* browser);

class TPrintF : public gcl::TForm {
    GCL_CLASS(TPrintF, gcl::TForm)
public:
    // The report as it is shown now.
    const std::string& GetReport() const noexcept { return FReport; }
    // The browser showed the report (False without an HTML engine).
    bool GetBrowserReady() const noexcept { return FBrowser == bsReady; }
    // The report waits for the window to show before the browser gets it.
    bool GetBrowserPending() const noexcept { return FBrowser == bsPending; }
    // Builds the report again from the window's options and shows it.
    void Regenerate();
    // The report with the given heading (accepting the heading box).
    void RegenerateWithHeading(const std::wstring& heading);

    // The handlers.
    void PrintAExecute(gcl::TObject* sender);
    void PrintPrevAExecute(gcl::TObject* sender);
    void ExportAsHtmlExecute(gcl::TObject* sender);
    void OptionClick(gcl::TObject* sender);
    void PWidthEValueChange(TTxCustomSpinEditItem* sender, double value);
    void PrintHeadingEAcceptText(gcl::TObject* sender, std::wstring& newText, bool& accept);

    void Dispatch(gcl::TMessage& Message) override;

    gcl::TWebBrowser* wb = nullptr;
    gcl::TPanel* NoEngineP = nullptr;  // shown in place of a browser without an engine
    TXtDock* BottomDock = nullptr;
    TXtToolbar* PrintBar = nullptr;
    TTxStatusBar* StatusBar = nullptr;
    gcl::TActionList* Actions = nullptr;
    gcl::TAction* PrintA = nullptr;
    gcl::TAction* PrintPrevA = nullptr;
    gcl::TAction* ExportAsHtml = nullptr;
    TTxItem* UsePrImg = nullptr;
    TTxItem* UseNotes = nullptr;
    TTxSpinEditItem* PWidthE = nullptr;
    TXtEditItem* PrintHeadingE = nullptr;
    gcl::TSaveDialog* sv = nullptr;

protected:
    // Create (Owner, List, Cols, DisablePrint, Heading, SelectionOnly):
    // builds the report of List (whose selection it may widen, see
    // SelectAllUnlessSeveral) and shows it. A print template that cannot
    // be read leaves the report empty and says so in the status bar.
    TPrintF(gcl::TComponent* owner, TReportList& list, const TCols& cols, bool disablePrint,
            const std::string& heading, bool selectionOnly);
    void DoShow() override;

private:
    TTxItem* AddButton(gcl::TBasicAction* action);
    TTxItem* AddCheckItem(const std::string& caption);
    void AddLabel(const std::string& caption);
    // Builds the report with these options and shows it.
    void ShowReport(std::int32_t width, bool notes, bool priorities, const std::wstring& heading);
    void SetStatus(const std::string& text);
    // Hands the report to the browser, as far as the engine allows now.
    void ShowInBrowser();
    // The bounded wait for the browser, under the busy cursor.
    void LoadIntoBrowser();
    // The window without a page: says why, print and preview off.
    void ShowNoEngine();

    TReportList& FList;
    TCols FCols;
    bool FSelectionOnly;
    bool FDisablePrint;
    std::string FReport;
    // The browser: not asked yet, waiting for the window to show, showing
    // the report, or without an engine (asked no more).
    enum TBrowserState { bsUntried, bsPending, bsReady, bsMissing };
    TBrowserState FBrowser = bsUntried;
};

} // namespace qelvo
