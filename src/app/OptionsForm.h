// The options dialog: the program-wide settings of [Options] and the
// start-with-Windows value, edited in two expandable panels. Ok saves and
// applies them to the main window through IOptionsTarget; Cancel puts
// back the settings it opened with and writes nothing.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "app/logic/Options.h"
#include "gcl/Dialogs.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "theming/TxcButton.h"
#include "theming/TxcComboBox.h"
#include "theming/TxcEdit.h"
#include "theming/TxcExpandablePanel.h"
#include "theming/TxcSpinEdit.h"

namespace qelvo {

// What the options dialog changes on the main window when Ok applies the
// settings (the main window implements it; tests record the calls).
class IOptionsTarget {
public:
    virtual ~IOptionsTarget() = default;
    // The task list is built again (date format, priority colours).
    virtual void RefreshTaskList() = 0;
    // The task list's group underline band.
    virtual void SetGroupsUnderlineColor(gcl::TColor color) = 0;
    // The open database's file name.
    virtual std::string GetOpenFileName() = 0;
    // The "Set as default database" command's check mark.
    virtual void SetDefaultDatabaseChecked(bool checked) = 0;
    // The task list's row height and the note editor's font size.
    virtual void SetListRowHeight(int height) = 0;
    virtual void SetNoteFontSize(int size) = 0;
    // The notification-area icon; switched off, the application's
    // task-bar button shows again.
    virtual void SetTrayIconActive(bool active) = 0;
    // The main window's caption.
    virtual std::string GetMainCaption() = 0;
    virtual void SetMainCaption(const std::string& caption) = 0;
};

class TOptionsF : public gcl::TForm {
    GCL_CLASS(TOptionsF, gcl::TForm)
public:
    // The settings (Options) into the controls.
    void ShowSettings();
    // The controls as settings.
    TOptions ReadControls() const;

    // Ok: the settings are taken, saved and applied to the main window;
    // the dialog closes with mrOk.
    void okButClick(gcl::TObject* sender);
    // Cancel: the settings are those the dialog showed at its opening, the
    // task list is rebuilt, the dialog closes with mrCancel.
    void CancelButClick(gcl::TObject* sender);

    gcl::TCheckBox* StartUpC = nullptr;
    gcl::TCheckBox* MinToTrayC = nullptr;
    TTxcComboBox* DTFormatEC = nullptr;
    gcl::TLabel* TestFormatLabel = nullptr;
    gcl::TCheckBox* ConfirmDelC = nullptr;
    gcl::TCheckBox* PriorItemsColorC = nullptr;
    gcl::TPanel* BandColor = nullptr;
    TTxcSpinEdit* ListFontSizeSpin = nullptr;
    TTxcSpinEdit* ListsFontSizeSpin = nullptr;
    gcl::TCheckBox* AutoSaveEveryC = nullptr;
    TTxcSpinEdit* AutoSaveEverySpin = nullptr;
    TTxcEdit* DefDataBaseE = nullptr;
    TTxcButton* BrowseBut = nullptr;
    TTxcButton* okBut = nullptr;
    TTxcButton* CancelBut = nullptr;
    TTxcExpandablePanel* GeneralPanel = nullptr;
    TTxcExpandablePanel* DatabasePanel = nullptr;

    // The label beside each check box (a click toggles the box).
    gcl::TLabel* StartUpL = nullptr;
    gcl::TLabel* MinToTrayL = nullptr;
    gcl::TLabel* ConfirmDelL = nullptr;
    gcl::TLabel* PriorItemsColorL = nullptr;
    gcl::TLabel* AutoSaveEveryL = nullptr;
    gcl::TLabel* ListFontSizeL = nullptr;

protected:
    // Create (Owner, Target): the dialog for Target (null: nothing outside
    // the settings changes), with the settings of Options shown.
    TOptionsF(gcl::TComponent* owner, IOptionsTarget* target);

public:
    // The controls' handlers.
    void DTFormatECChange(gcl::TObject* sender);
    void LabelClick(gcl::TObject* sender);
    // A check box took or lost the keyboard: its label's focus frame.
    void CheckFocusChange(gcl::TObject* sender);
    void AutoSaveEveryCClick(gcl::TObject* sender);
    void BandColorClick(gcl::TObject* sender);
    void BrowseButClick(gcl::TObject* sender);

private:
    gcl::TLabel* AddLabel(gcl::TWinControl* parent, int left, int top, const std::string& caption);
    gcl::TCheckBox* AddCheck(gcl::TWinControl* parent, int top, const std::string& caption, gcl::TLabel*& label);
    TTxcSpinEdit* AddSpin(gcl::TWinControl* parent, int left, int top, int minValue, int maxValue);

    IOptionsTarget* FTarget;
    // The settings ShowSettings showed, which Cancel puts back.
    TOptions FShown;
    gcl::TColorDialog* FColorDialog = nullptr;
    gcl::TOpenDialog* FOpenDialog = nullptr;
};

} // namespace qelvo
