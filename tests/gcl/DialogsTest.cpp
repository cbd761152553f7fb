// Dialogs and message boxes answered by a script through the dialog
// service, without a window.
#include <gtest/gtest.h>

#include "gcl/Dialogs.h"

using namespace gcl;

namespace {

int FailureCalls = 0;
void CountFailure(const std::string&) {
    ++FailureCalls;
}

} // namespace

TEST(Dialogs, ScriptedAnswersReachTheCallers) {
    TScriptedDialogs script;
    script.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
    script.ExpectMessage("Save changes", mrNo)
        .ExpectOpen("C:\\data\\tasks.kpx", 2)
        .ExpectCancel(dkSave)
        .ExpectColor(clBtnFace)
        .ExpectMessage("", mrOk)
        .ExpectMessage("Link", IDOK);
    ServiceOverride<IDialogService> use(DialogService(), script);

    EXPECT_EQ(MessageDlg("Save changes to the database?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrNo);

    TComponent* owner = TComponent::Create(nullptr);
    TOpenDialog* open = TOpenDialog::Create(owner);
    open->SetFilter("Task database|*.kpx|All files|*.*");
    open->SetDefaultExt("kpx");
    open->SetOptions({ofFileMustExist, ofHideReadOnly});
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ(open->GetFileName(), "C:\\data\\tasks.kpx");
    EXPECT_EQ(open->GetFilterIndex(), 2);

    TSaveDialog* save = TSaveDialog::Create(owner);
    save->SetFileName("old.kpx");
    EXPECT_FALSE(save->Execute());
    EXPECT_EQ(save->GetFileName(), "old.kpx");

    TColorDialog* color = TColorDialog::Create(owner);
    EXPECT_TRUE(color->Execute());
    EXPECT_EQ(color->GetColor(), ColorToRGB(clBtnFace));

    ShowMessage("Done.");
    EXPECT_EQ(ShowMessageBox("Link target", "Link Properties", MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_TRUE(script.Done());

    // What the callers asked for.
    const auto& shown = script.Shown();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].Flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(shown[0].Caption, DialogCaption());
    EXPECT_FALSE(DialogCaption().empty());
    EXPECT_EQ(shown[1].Kind, dkOpen);
    EXPECT_EQ(shown[1].Filter, "Task database|*.kpx|All files|*.*");
    EXPECT_EQ(shown[1].DefaultExt, "kpx");
    EXPECT_EQ(shown[1].Options, (TOpenOptions{ofFileMustExist, ofHideReadOnly}));
    EXPECT_EQ(shown[2].Kind, dkSave);
    EXPECT_EQ(shown[2].FileName, "old.kpx");
    EXPECT_EQ(shown[4].Flags, static_cast<UINT>(MB_OK));
    EXPECT_EQ(shown[5].Caption, "Link Properties");
    owner->Free();

    // Button sets map onto the message box types.
    TScriptedDialogs boxes;
    boxes.ExpectMessage("", mrOk).ExpectMessage("", mrCancel).ExpectMessage("", mrYes);
    ServiceOverride<IDialogService> useBoxes(DialogService(), boxes);
    MessageDlg("a", mtInformation, {mbOK});
    MessageDlg("b", mtWarning, {mbOK, mbCancel});
    MessageDlg("c", mtError, {mbYes, mbNo});
    ASSERT_EQ(boxes.Shown().size(), 3u);
    EXPECT_EQ(boxes.Shown()[0].Flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(boxes.Shown()[1].Flags, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(boxes.Shown()[2].Flags, static_cast<UINT>(MB_YESNO | MB_ICONERROR));
    EXPECT_TRUE(boxes.Done());
}

TEST(Dialogs, UnexpectedDialogsFailAtOnceAndAreCancelled) {
    FailureCalls = 0;
    TScriptedDialogs script;
    script.OnFailure = &CountFailure;
    ServiceOverride<IDialogService> use(DialogService(), script);

    // Nothing expected: the box is answered with its most cautious button.
    EXPECT_EQ(MessageDlg("Delete?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrCancel);
    EXPECT_EQ(MessageDlg("Delete?", mtConfirmation, {mbYes, mbNo}), mrNo);
    EXPECT_EQ(FailureCalls, 2);

    // The wrong kind, the wrong text, an answer the box does not offer.
    TComponent* owner = TComponent::Create(nullptr);
    script.ExpectSave("x.kpx").ExpectMessage("Overwrite", mrYes);
    EXPECT_FALSE(TOpenDialog::Create(owner)->Execute());
    EXPECT_EQ(script.Pending(), 2);
    TSaveDialog* save = TSaveDialog::Create(owner);
    EXPECT_TRUE(save->Execute());
    EXPECT_EQ(save->GetFileName(), "x.kpx");
    EXPECT_EQ(MessageDlg("Replace?", mtConfirmation, {mbYes, mbNo}), mrNo);
    EXPECT_EQ(MessageDlg("Overwrite the file?", mtInformation, {mbOK}), mrOk);
    EXPECT_EQ(FailureCalls, 5);
    EXPECT_EQ(script.Failures().size(), 5u);
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_FALSE(script.Done());
    owner->Free();
}
