// The options dialog: its controls, the settings in and out of them, the
// label clicks, the colour and database pickers, and Ok and Cancel.
#include "app/OptionsForm.h"

#include <algorithm>

#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/MainShell.h"
#include "app/logic/TaskPresentation.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TOptionsF)

namespace {

// Layout of the dialog (client pixels).
constexpr int PanelLeft = 8, PanelWidth = 424;
constexpr int GeneralTop = 8, GeneralHeight = 262;
constexpr int DatabaseTop = 278, DatabaseHeight = 96;
constexpr int ButtonsTop = 386;
constexpr int ColumnLeft = 12, ValueLeft = 166;

// The label beside a check box that has no caption of its own: while the
// box has the keyboard the label is framed with the focus rectangle, as a
// system check box frames its caption, so the user sees which setting
// Space changes.
class TCheckLabel : public gcl::TLabel {
    GCL_CLASS(TCheckLabel, gcl::TLabel)
protected:
    explicit TCheckLabel(gcl::TComponent* owner) : gcl::TLabel(owner) {}
    void Paint() override {
        inherited::Paint();
        if (gcl::TWinControl* check = GetFocusControl(); check && check->Focused())
            GetCanvas()->DrawFocusRect(GetClientRect());
    }
};
GCL_IMPLEMENT_CLASS(TCheckLabel)

// The colour panel of the group underline: a click opens the colour
// dialog, and so, for the keyboard, does Space while it has the focus,
// which it shows with the focus rectangle inside its frame.
class TColorPanel : public gcl::TPanel {
    GCL_CLASS(TColorPanel, gcl::TPanel)
public:
    void Dispatch(gcl::TMessage& message) override {
        inherited::Dispatch(message);
        if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) Invalidate();
    }

protected:
    explicit TColorPanel(gcl::TComponent* owner) : gcl::TPanel(owner) {}
    void Paint() override {
        inherited::Paint();
        if (!Focused()) return;
        gcl::TRect r = GetClientRect();
        r.Left += 3;
        r.Top += 3;
        r.Right -= 3;
        r.Bottom -= 3;
        GetCanvas()->DrawFocusRect(r);
    }
    void KeyDown(uint16_t& key, gcl::TShiftState shift) override {
        inherited::KeyDown(key, shift);
        if (key == VK_SPACE && shift.Empty()) {
            key = 0;
            Click();
        }
    }
};
GCL_IMPLEMENT_CLASS(TColorPanel)

} // namespace

TOptionsF::TOptionsF(gcl::TComponent* owner, IOptionsTarget* target) : TForm(owner, 0), FTarget(target) {
    SetName("OptionsF");
    SetCaption("Options");
    SetBorderStyle(gcl::bsDialog);
    SetPosition(gcl::poMainFormCenter);
    SetClientSize(440, 422);

    GeneralPanel = TTxcExpandablePanel::Create(this);
    GeneralPanel->SetParent(this);
    GeneralPanel->SetBounds(PanelLeft, GeneralTop, PanelWidth, GeneralHeight);
    GeneralPanel->SetCaption("General Settings");

    StartUpC = AddCheck(GeneralPanel, 30, "Open the application with Windows(On StartUp)", StartUpL);
    MinToTrayC = AddCheck(GeneralPanel, 52, "Minimize directly to tray", MinToTrayL);
    ConfirmDelC = AddCheck(GeneralPanel, 74, "Confirm before deleting items (no undo is possible)", ConfirmDelL);
    PriorItemsColorC = AddCheck(GeneralPanel, 96, "Distinguish items priority using colors", PriorItemsColorL);

    AddLabel(GeneralPanel, ColumnLeft, 126, "Date format :");
    DTFormatEC = TTxcComboBox::Create(this);
    DTFormatEC->SetParent(GeneralPanel);
    DTFormatEC->SetBounds(ValueLeft, 122, 170, 22);
    for (const char* preset : DateFormatPresets) DTFormatEC->GetItems()->Add(preset);
    DTFormatEC->OnChange = gcl::TNotifyEvent(this, &TOptionsF::DTFormatECChange);
    AddLabel(GeneralPanel, ColumnLeft, 152, "Format preview : ");
    TestFormatLabel = AddLabel(GeneralPanel, ValueLeft, 152, "");

    AddLabel(GeneralPanel, ColumnLeft, 180, "Group underline color :");
    BandColor = TColorPanel::Create(this);
    BandColor->SetParent(GeneralPanel);
    BandColor->SetBounds(ValueLeft, 176, 60, 20);
    BandColor->SetCaption("");
    BandColor->SetBevelOuter(gcl::bvLowered);
    BandColor->SetParentBackground(false);
    BandColor->SetCursor(gcl::crHandPoint);
    BandColor->SetTabStop(true);
    BandColor->OnClick = gcl::TNotifyEvent(this, &TOptionsF::BandColorClick);

    ListFontSizeL = AddLabel(GeneralPanel, ColumnLeft, 208, "Task List font size : ");
    ListFontSizeSpin = AddSpin(GeneralPanel, ValueLeft, 204, MinFontSize, MaxFontSize);
    AddLabel(GeneralPanel, ColumnLeft, 236, "Note panel font size :");
    ListsFontSizeSpin = AddSpin(GeneralPanel, ValueLeft, 232, MinFontSize, MaxFontSize);

    DatabasePanel = TTxcExpandablePanel::Create(this);
    DatabasePanel->SetParent(this);
    DatabasePanel->SetBounds(PanelLeft, DatabaseTop, PanelWidth, DatabaseHeight);
    DatabasePanel->SetCaption("Database settings");

    AutoSaveEveryC = AddCheck(DatabasePanel, 32, "Save data every :", AutoSaveEveryL);
    AutoSaveEveryC->OnClick = gcl::TNotifyEvent(this, &TOptionsF::AutoSaveEveryCClick);
    AutoSaveEverySpin = AddSpin(DatabasePanel, ValueLeft, 28, MinAutoSaveInterval, MaxAutoSaveInterval);
    AddLabel(DatabasePanel, ValueLeft + 68, 32, "minutes");

    AddLabel(DatabasePanel, ColumnLeft, 64, "Default Database :");
    DefDataBaseE = TTxcEdit::Create(this);
    DefDataBaseE->SetParent(DatabasePanel);
    DefDataBaseE->SetBounds(ValueLeft - 36, 60, 250, 22);
    BrowseBut = TTxcButton::Create(this);
    BrowseBut->SetParent(DatabasePanel);
    BrowseBut->SetBounds(ValueLeft + 218, 60, 26, 22);
    BrowseBut->SetCaption("...");
    BrowseBut->OnClick = gcl::TNotifyEvent(this, &TOptionsF::BrowseButClick);

    okBut = TTxcButton::Create(this);
    okBut->SetParent(this);
    okBut->SetBounds(262, ButtonsTop, 80, 26);
    okBut->SetCaption("Ok");
    okBut->SetDefault(true);
    okBut->SetModalResult(gcl::mrOk);
    okBut->OnClick = gcl::TNotifyEvent(this, &TOptionsF::okButClick);
    CancelBut = TTxcButton::Create(this);
    CancelBut->SetParent(this);
    CancelBut->SetBounds(350, ButtonsTop, 80, 26);
    CancelBut->SetCaption("Cancel");
    CancelBut->SetCancel(true);
    CancelBut->SetModalResult(gcl::mrCancel);
    CancelBut->OnClick = gcl::TNotifyEvent(this, &TOptionsF::CancelButClick);

    FColorDialog = gcl::TColorDialog::Create(this);
    FOpenDialog = gcl::TOpenDialog::Create(this);
    FOpenDialog->SetFilter(msg::OptionsDatabaseFilter);

    gcl::ScaleToScreen(this);
    ShowSettings();
}

gcl::TLabel* TOptionsF::AddLabel(gcl::TWinControl* parent, int left, int top, const std::string& caption) {
    auto* label = gcl::TLabel::Create(this);
    label->SetParent(parent);
    label->SetTransparent(true);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetCaption(caption);
    return label;
}

gcl::TCheckBox* TOptionsF::AddCheck(gcl::TWinControl* parent, int top, const std::string& caption,
                                    gcl::TLabel*& label) {
    auto* check = gcl::TCheckBox::Create(this);
    check->SetParent(parent);
    check->SetBounds(ColumnLeft, top, 16, 16);
    check->SetCaption("");
    check->OnEnter = gcl::TNotifyEvent(this, &TOptionsF::CheckFocusChange);
    check->OnExit = gcl::TNotifyEvent(this, &TOptionsF::CheckFocusChange);
    label = TCheckLabel::Create(this);
    label->SetParent(parent);
    label->SetTransparent(true);
    label->SetLeft(ColumnLeft + 20);
    label->SetTop(top + 1);
    label->SetCaption(caption);
    label->SetFocusControl(check);
    label->OnClick = gcl::TNotifyEvent(this, &TOptionsF::LabelClick);
    return check;
}

TTxcSpinEdit* TOptionsF::AddSpin(gcl::TWinControl* parent, int left, int top, int minValue, int maxValue) {
    auto* spin = TTxcSpinEdit::Create(this);
    spin->SetParent(parent);
    spin->SetBounds(left, top, 60, 22);
    spin->SetMinValue(minValue);
    spin->SetMaxValue(maxValue);
    return spin;
}

void TOptionsF::ShowSettings() {
    FShown = Options;
    const TOptions& o = Options;
    StartUpC->SetChecked(o.StartWithWindows);
    MinToTrayC->SetChecked(o.MinimizeToTray);
    DTFormatEC->SetText(o.DateTimeFormat);
    DTFormatECChange(DTFormatEC);  // setting the text in code raises no change
    ConfirmDelC->SetChecked(o.ConfirmDelete);
    PriorItemsColorC->SetChecked(o.DistinguishPriorities);
    BandColor->SetColor(UnderlineColorFromText(o.GroupsUnderlineColor, gcl::ColorIdents));
    ListFontSizeSpin->SetValue(o.ListFontSize);
    ListsFontSizeSpin->SetValue(o.NoteFontSize);
    // An interval of none is auto-save off: shown so, with the usual
    // interval ready for when it is turned on.
    AutoSaveEveryC->SetChecked(AutoSaveRuns(o));
    AutoSaveEverySpin->SetValue(o.AutoSaveInterval > 0 ? o.AutoSaveInterval : TOptions().AutoSaveInterval);
    AutoSaveEveryCClick(AutoSaveEveryC);
    DefDataBaseE->SetText(o.DefaultDatabase);
}

namespace {

// A number typed past a box's limits counts as the limit, as the arrows
// would have stopped there.
int NumberOf(TTxcSpinEdit* spin) {
    return std::clamp(spin->GetValue(), spin->GetMinValue(), spin->GetMaxValue());
}

} // namespace

TOptions TOptionsF::ReadControls() const {
    TOptions o = Options;
    o.StartWithWindows = StartUpC->GetChecked();
    o.MinimizeToTray = MinToTrayC->GetChecked();
    o.DateTimeFormat = DTFormatEC->GetText();
    o.ConfirmDelete = ConfirmDelC->GetChecked();
    o.DistinguishPriorities = PriorItemsColorC->GetChecked();
    o.GroupsUnderlineColor = ColorToColorText(BandColor->GetColor(), gcl::ColorIdents);
    o.ListFontSize = NumberOf(ListFontSizeSpin);
    o.NoteFontSize = NumberOf(ListsFontSizeSpin);
    o.AutoSave = AutoSaveEveryC->GetChecked();
    o.AutoSaveInterval = NumberOf(AutoSaveEverySpin);
    o.DefaultDatabase = UsableDefaultDatabase(DefDataBaseE->GetText());
    return o;
}

void TOptionsF::DTFormatECChange(gcl::TObject*) {
    TestFormatLabel->SetCaption(DateFormatPreview(DTFormatEC->GetText(), gcl::Now()));
}

void TOptionsF::LabelClick(gcl::TObject* sender) {
    const std::pair<gcl::TLabel*, gcl::TCheckBox*> pairs[] = {
        {StartUpL, StartUpC},         {MinToTrayL, MinToTrayC},         {ConfirmDelL, ConfirmDelC},
        {PriorItemsColorL, PriorItemsColorC}, {AutoSaveEveryL, AutoSaveEveryC}};
    for (const auto& [label, check] : pairs)
        if (sender == label) check->SetChecked(!check->GetChecked());
}

void TOptionsF::CheckFocusChange(gcl::TObject* sender) {
    for (gcl::TLabel* label : {StartUpL, MinToTrayL, ConfirmDelL, PriorItemsColorL, AutoSaveEveryL})
        if (label && label->GetFocusControl() == sender) label->Invalidate();
}

void TOptionsF::AutoSaveEveryCClick(gcl::TObject*) {
    AutoSaveEverySpin->SetEnabled(AutoSaveEveryC->GetChecked());
}

void TOptionsF::BandColorClick(gcl::TObject*) {
    FColorDialog->SetColor(BandColor->GetColor());
    if (FColorDialog->Execute()) BandColor->SetColor(FColorDialog->GetColor());
}

void TOptionsF::BrowseButClick(gcl::TObject*) {
    FOpenDialog->SetFileName(DefDataBaseE->GetText());
    if (FOpenDialog->Execute()) DefDataBaseE->SetText(FOpenDialog->GetFileName());
}

void TOptionsF::okButClick(gcl::TObject*) {
    const TOptions edited = ReadControls();
    // A default database that is not there would be passed over at every
    // start, and auto-save would save nothing: asked before it is taken.
    const std::string opensInstead = StartupDatabaseFileName(edited.DefaultDatabase);
    if (opensInstead != edited.DefaultDatabase) {
        const std::string question = MissingDefaultDatabaseQuestion(edited.DefaultDatabase, opensInstead);
        if (gcl::ShowMessageBox(question, msg::AppTitle, MB_YESNO | MB_ICONWARNING) != IDYES) {
            SetModalResult(gcl::mrNone);
            if (GetShowing() && DefDataBaseE->CanFocus()) {
                DefDataBaseE->SetFocus();
                DefDataBaseE->SelectAll();
            }
            return;
        }
    }
    const TOptionsSaved saved = ApplyOptionsDialog(edited, SettingsFileName());
    if (!saved) gcl::ShowMessageBox(OptionsNotSavedMessage(saved, SettingsFileName()), msg::AppTitle, MB_OK | MB_ICONWARNING);
    if (FTarget) {
        FTarget->RefreshTaskList();
        FTarget->SetGroupsUnderlineColor(UnderlineColorFromText(Options.GroupsUnderlineColor, gcl::ColorIdents));
        const std::string openFile = FTarget->GetOpenFileName();
        FTarget->SetDefaultDatabaseChecked(IsDefaultDatabase(Options, openFile));
        FTarget->SetListRowHeight(ListRowHeight(Options.ListFontSize, gcl::Screen->GetPixelsPerInch()));
        FTarget->SetNoteFontSize(Options.NoteFontSize);
        FTarget->SetTrayIconActive(MinToTrayC->GetChecked());
        if (CaptionHasCountdown(FTarget->GetMainCaption())) FTarget->SetMainCaption(FileCaption(openFile));
    }
    SetModalResult(gcl::mrOk);
}

void TOptionsF::CancelButClick(gcl::TObject*) {
    CancelOptionsDialog(FShown);
    if (FTarget) FTarget->RefreshTaskList();
    SetModalResult(gcl::mrCancel);
}

} // namespace qelvo
