// The print window: its toolbar and status bar, building and showing the
// report, printing, the preview and the HTML export.
#include "app/PrintForm.h"

#include <algorithm>

#include "app/MainItems.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/TextExport.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TPrintF)

unsigned PrintBrowserWaitMs = 10000;
bool (*PrintEngineProbe)() = &gcl::HtmlEngineRegistered;

namespace {

// Posted to the window once it shows, to hand the report to the browser.
constexpr uint32_t WM_LOADREPORT = WM_APP + 1;

// The busy cursor over every window for the life of the object.
class TBusyCursor {
public:
    TBusyCursor() : FSaved(gcl::Screen->GetCursor()) { gcl::Screen->SetCursor(gcl::crHourGlass); }
    ~TBusyCursor() { gcl::Screen->SetCursor(FSaved); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    gcl::TCursor FSaved;
};

// The report's fixed settings in this window.
constexpr std::int32_t StartWidth = 670;
constexpr std::int32_t MinWidth = 100, MaxWidth = 2000;
constexpr std::int32_t ReportFontDelta = 5;
constexpr std::int32_t ReportMargin = 0;
// The window's width: its bar's items side by side.
constexpr int WindowWidth = 860;

} // namespace

bool LoadHtmlIntoBrowser(gcl::TWebBrowser* browser, const std::string& html, unsigned waitMs) {
    return browser->LoadDocumentText(html, waitMs);
}

void PrintPreview(gcl::TWebBrowser* browser) {
    browser->ExecWB(OLECMDID_PRINTPREVIEW, OLECMDEXECOPT_DONTPROMPTUSER);
}

TPrintF::TPrintF(gcl::TComponent* owner, TReportList& list, const TCols& cols, bool disablePrint,
                 const std::string& heading, bool selectionOnly)
    : TForm(owner, 0), FList(list), FCols(cols), FSelectionOnly(selectionOnly), FDisablePrint(disablePrint) {
    SetName("PrintF");
    SetCaption(msg::PrintWindowCaption);
    // Wide enough for the whole bar at its first showing, on a screen that
    // has the room.
    SetBounds(0, 0, std::min(WindowWidth, gcl::Screen->GetWorkAreaRect().Width()), 580);
    SetPosition(gcl::poDesktopCenter);

    Actions = gcl::TActionList::Create(this);
    auto makeAction = [&](const char* caption, void (TPrintF::*handler)(gcl::TObject*)) {
        auto* action = gcl::TAction::Create(this);
        action->SetActionList(Actions);
        action->SetCaption(caption);
        action->OnExecute = gcl::TNotifyEvent(this, handler);
        return action;
    };
    PrintA = makeAction("Print Now", &TPrintF::PrintAExecute);
    PrintPrevA = makeAction("Print Preview", &TPrintF::PrintPrevAExecute);
    ExportAsHtml = makeAction("Export As HTML", &TPrintF::ExportAsHtmlExecute);

    StatusBar = TTxStatusBar::Create(this);
    StatusBar->SetParent(this);
    StatusBar->SetSimplePanel(true);

    BottomDock = TXtDock::Create(this);
    BottomDock->SetPosition(dpBottom);
    BottomDock->SetParent(this);
    PrintBar = NewToolbar(this, "PrintBar");
    // No command brings the bar back: floating, it cannot be closed.
    PrintBar->SetCloseButton(false);
    PrintBar->SetParent(BottomDock);
    AddButton(PrintA);
    AddButton(PrintPrevA);
    AddButton(ExportAsHtml);
    PrintBar->GetItems()->Add(TTxSeparatorItem::Create(this));
    UsePrImg = AddCheckItem("Distinguish tasks priorities");
    UseNotes = AddCheckItem("Print notes");
    PrintBar->GetItems()->Add(TTxSeparatorItem::Create(this));
    AddLabel("Width : ");
    PWidthE = TTxSpinEditItem::Create(this);
    PWidthE->SetEditWidth(56);
    PWidthE->SetMinValue(MinWidth);
    PWidthE->SetMaxValue(MaxWidth);
    PWidthE->SetValue(StartWidth);
    PrintBar->GetItems()->Add(PWidthE);
    AddLabel("Heading : ");
    PrintHeadingE = TXtEditItem::Create(this);
    PrintHeadingE->SetEditWidth(200);
    PrintHeadingE->SetExtendedAccept(true);
    PrintHeadingE->SetText(gcl::AnsiToWide(heading));
    PrintBar->GetItems()->Add(PrintHeadingE);

    wb = gcl::TWebBrowser::Create(this);
    wb->SetParent(this);
    wb->SetAlign(gcl::alClient);

    sv = gcl::TSaveDialog::Create(this);
    sv->SetFilter(msg::WebpageFilter);

    // Nothing may leave a constructor: a template that cannot be read
    // leaves an empty report and says so.
    try {
        ShowReport(StartWidth, true, true, PrintHeadingE->GetText());
    } catch (const gcl::Exception&) {
        FReport.clear();
        SetStatus(msg::TemplateMissingHead + PrintTemplateFileName());
    }
    PrintA->SetEnabled(!FDisablePrint && GetBrowserReady());
    PrintPrevA->SetEnabled(!FDisablePrint && GetBrowserReady());

    // Set after the first report, so building the window regenerates nothing.
    PWidthE->OnValueChange = TSEChangeEvent(this, &TPrintF::PWidthEValueChange);
    PrintHeadingE->OnAcceptText = TXtEditAcceptTextEvent(this, &TPrintF::PrintHeadingEAcceptText);
}

TTxItem* TPrintF::AddButton(gcl::TBasicAction* action) {
    auto* item = TTxItem::Create(this);
    item->SetAction(action);
    item->SetDisplayMode(nbdmImageAndText);
    PrintBar->GetItems()->Add(item);
    return item;
}

TTxItem* TPrintF::AddCheckItem(const std::string& caption) {
    auto* item = TTxItem::Create(this);
    item->SetCaption(caption);
    item->SetDisplayMode(nbdmImageAndText);
    item->SetAutoCheck(true);
    item->SetChecked(true);
    item->OnClick = gcl::TNotifyEvent(this, &TPrintF::OptionClick);
    PrintBar->GetItems()->Add(item);
    return item;
}

void TPrintF::AddLabel(const std::string& caption) {
    auto* label = TTxLabelItem::Create(this);
    label->SetCaption(caption);
    label->SetMargin(1);
    PrintBar->GetItems()->Add(label);
}

void TPrintF::SetStatus(const std::string& text) {
    StatusBar->SetSimpleText(text);
}

void TPrintF::ShowReport(std::int32_t width, bool notes, bool priorities, const std::wstring& heading) {
    THtmlReportOptions options;
    options.Width = width;
    options.Notes = notes;
    options.Priorities = priorities;
    options.SelectionOnly = FSelectionOnly;
    options.Heading = gcl::WideToAnsi(heading);
    options.WideHeading = heading;
    options.Cols = FCols;
    options.FontDelta = ReportFontDelta;
    options.Margin = ReportMargin;
    options.AppDir = AppDir();
    BuildHtmlReport(FReport, options, PrintTemplateFileName(), FList);

    ShowInBrowser();
}

void TPrintF::ShowInBrowser() {
    switch (FBrowser) {
    case bsMissing:  // the report is kept for the export
    case bsPending:  // the load to come takes the latest report
        return;
    case bsReady:
        LoadIntoBrowser();
        return;
    case bsUntried:
        break;
    }
    if (!PrintEngineProbe()) {
        ShowNoEngine();
        return;
    }
    // The wait comes once the window is on screen, so the user sees it.
    FBrowser = bsPending;
    SetStatus(msg::PrintEngineWaiting);
    if (HandleAllocated() && IsWindowVisible(GetHandle())) PostMessageA(GetHandle(), WM_LOADREPORT, 0, 0);
}

void TPrintF::DoShow() {
    inherited::DoShow();
    if (FBrowser == bsPending) PostMessageA(GetHandle(), WM_LOADREPORT, 0, 0);
}

void TPrintF::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_LOADREPORT:
        if (FBrowser == bsPending) LoadIntoBrowser();
        return;
    case gcl::CM_DIALOGKEY:
        // Esc closes the window, as Cancel closes a dialog.
        if (Message.WParam == VK_ESCAPE) {
            Close();
            Message.Result = 1;
            return;
        }
        break;
    case WM_SYSCOMMAND:
        // F10 or Alt alone takes the keyboard to the bar, as to a menu
        // bar: the arrows choose a button, Enter runs it, Esc leaves.
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == 0 && PrintBar &&
            PrintBar->GetShowing() && PrintBar->GetEnabled()) {
            PrintBar->OpenByKey('\0', false);
            Message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TPrintF::LoadIntoBrowser() {
    SetStatus(msg::PrintEngineWaiting);
    bool ready = false;
    {
        TBusyCursor busy;
        wb->HandleNeeded();  // the browser object is made with the window
        ready = LoadHtmlIntoBrowser(wb, FReport, PrintBrowserWaitMs);
    }
    if (!ready) {
        ShowNoEngine();
        return;
    }
    FBrowser = bsReady;
    SetStatus(std::string());
    PrintA->SetEnabled(!FDisablePrint);
    PrintPrevA->SetEnabled(!FDisablePrint);
}

void TPrintF::ShowNoEngine() {
    FBrowser = bsMissing;
    SetStatus(msg::PrintEngineMissing);
    // In place of the empty browser, the same words.
    wb->SetVisible(false);
    if (!NoEngineP) {
        NoEngineP = gcl::TPanel::Create(this);
        NoEngineP->SetParent(this);
        NoEngineP->SetAlign(gcl::alClient);
        NoEngineP->SetBevelOuter(gcl::bvNone);
        NoEngineP->SetParentBackground(false);
        NoEngineP->SetColor(gcl::clWindow);
        NoEngineP->GetFont()->SetColor(gcl::clGrayText);
        NoEngineP->SetCaption(msg::PrintEngineMissing);
    }
    if (PrintA) PrintA->SetEnabled(false);
    if (PrintPrevA) PrintPrevA->SetEnabled(false);
}

void TPrintF::Regenerate() {
    RegenerateWithHeading(PrintHeadingE->GetText());
}

void TPrintF::RegenerateWithHeading(const std::wstring& heading) {
    try {
        ShowReport(PWidthE->GetIntValue(), UseNotes->GetChecked(), UsePrImg->GetChecked(), heading);
    } catch (const gcl::Exception&) {
        // The template went away since the window opened.
        SetStatus(msg::TemplateMissingHead + PrintTemplateFileName());
    }
}

void TPrintF::OptionClick(gcl::TObject*) {
    Regenerate();
}

void TPrintF::PWidthEValueChange(TTxCustomSpinEditItem*, double) {
    Regenerate();
}

void TPrintF::PrintHeadingEAcceptText(gcl::TObject*, std::wstring& newText, bool&) {
    RegenerateWithHeading(newText);
}

void TPrintF::PrintAExecute(gcl::TObject*) {
    if (GetBrowserReady()) wb->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
}

void TPrintF::PrintPrevAExecute(gcl::TObject*) {
    if (GetBrowserReady()) PrintPreview(wb);
}

void TPrintF::ExportAsHtmlExecute(gcl::TObject*) {
    if (!sv->Execute()) return;
    const std::string fileName = HtmlExportFileName(sv->GetFileName());
    std::string message;
    if (!WriteExportFile(fileName, FReport, message))
        gcl::ShowMessageBox(message, msg::AppTitle, MB_OK | MB_ICONERROR);
}

} // namespace qelvo
