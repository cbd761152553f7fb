// Themed edit, spin-edit and label items: a text box in a toolbar or menu
// painted by the current theme with its own fonts, alignment, password
// character and change event; a numeric edit with spin buttons, range,
// step, snapping, prefix and postfix over the spin value of
// toolbar/TxSpinValue.h; and a caption that cannot be selected and may be
// drawn rotated. Sizes come from the theme's metrics.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>

#include "gcl/StdCtrls.h"
#include "gcl/Timers.h"
#include "theming/TxItems.h"
#include "toolbar/BarEditItem.h"
#include "toolbar/TxSpinValue.h"

namespace qelvo {

// The in-place editor of the themed edit items.
class TTxEdit : public gcl::TEdit {
    GCL_CLASS(TTxEdit, gcl::TEdit)
public:
    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment Value);

protected:
    explicit TTxEdit(gcl::TComponent* AOwner) : gcl::TEdit(AOwner) {}
    void CreateParams(gcl::TCreateParams& Params) override;

private:
    gcl::TAlignment FAlignment = gcl::taLeftJustify;
};

using TTxEditChange = gcl::TEvent<void(gcl::TObject* Sender, const std::string& Text)>;

class TTxEditItem : public TBarEditItem {
    GCL_CLASS(TTxEditItem, TBarEditItem)
public:
    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment Value);
    int GetKeyCount() const noexcept { return FKeyCount; }
    TFontSettings* GetEditorFontSettings() const noexcept { return FEditorFontSettings.get(); }
    TFontSettings* GetFontSettings() const noexcept { return FFontSettings.get(); }
    char GetPasswordChar() const noexcept { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool Value) noexcept { FReadOnly = Value; }
    bool GetShowImage() const noexcept { return FShowImage; }
    void SetShowImage(bool Value);
    const std::string& GetLastChangeText() const noexcept { return FLastChangeText; }
    void SetLastChangeText(const std::string& Value) { FLastChangeText = Value; }

    TTxEditChange OnChange;
    gcl::TKeyEvent OnKeyDown;
    gcl::TKeyEvent OnKeyUp;
    gcl::TKeyPressEvent OnKeyPress;

    virtual bool DoAutoComplete(std::string& AText);
    virtual void DoChange(const std::string& AText);
    virtual void HandleEditChange(gcl::TCustomEdit* EditCtl);

    void DoBeginEdit(TBarEditItemViewer* Viewer) override;
    void DoTextChanged(TBarEditTextSource Source) override;
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;
    void GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) override;
    TBarPopupWindowClass GetPopupWindowClass() override;

    // Counts the printable keys held in the editor.
    void KeyPressed(bool Down) noexcept { FKeyCount += Down ? 1 : (FKeyCount > 0 ? -1 : 0); }

protected:
    explicit TTxEditItem(gcl::TComponent* AOwner);
    ~TTxEditItem() override;

private:
    void FontSettingsChanged(gcl::TObject* Sender);
    void EditorChanged(gcl::TObject* Sender);

    gcl::TAlignment FAlignment = gcl::taLeftJustify;
    int FKeyCount = 0;
    std::unique_ptr<TFontSettings> FEditorFontSettings;
    std::unique_ptr<TFontSettings> FFontSettings;
    bool FInChange = false;
    std::string FLastChangeText;
    char FPasswordChar = '\0';
    bool FReadOnly = false;
    bool FShowImage = false;
};

class TTxCustomSpinEditItem;

using TSEConvertEvent = gcl::TEvent<void(TTxCustomSpinEditItem* Sender, const std::string& APrefix,
                                         const std::string& APostfix, double& AValue, bool& CanConvert)>;
using TSETextToValueEvent =
    gcl::TEvent<void(TTxCustomSpinEditItem* Sender, const std::string& AText, double& AValue, bool& CanConvert)>;
using TSEChangeEvent = gcl::TEvent<void(TTxCustomSpinEditItem* Sender, double AValue)>;
using TSEValueToTextEvent = gcl::TEvent<void(TTxCustomSpinEditItem* Sender, double AValue, std::string& Text)>;
using TSEStepEvent = gcl::TEvent<void(TTxCustomSpinEditItem* Sender, int Step, double OldValue, double& NewValue)>;

class TTxCustomSpinEditItem : public TTxEditItem {
    GCL_CLASS(TTxCustomSpinEditItem, TTxEditItem)
public:
    // ---- The value (the rules live in the spin value)
    double GetValue() { return FCore->GetValue(); }
    void SetValue(double V) { FCore->SetValueEx(V, tcrProperty); }
    void SetValueEx(double V, int Reason) { FCore->SetValueEx(V, Reason); }
    // The value to the nearest integer (halves to even).
    int GetIntValue() { return FCore->GetIntValue(); }
    double GetLastValue() const noexcept { return FCore->GetLastValue(); }
    void StepUp() { FCore->StepUp(); }
    void StepDown() { FCore->StepDown(); }
    bool TextToValue(const std::string& AText, double& V) { return FCore->TextToValue(AText, V); }
    std::string GetValueText(double V) { return FCore->GetValueText(V); }
    double ClipValue(double V) const noexcept { return FCore->ClipValue(V); }

    TDecimal GetDecimal() const noexcept { return FCore->GetDecimal(); }
    void SetDecimal(TDecimal Value) { FCore->SetDecimal(Value); }
    double GetMinValue() const noexcept { return FCore->GetMinValue(); }
    void SetMinValue(double Value) noexcept { FCore->SetMinValue(Value); }
    double GetMaxValue() const noexcept { return FCore->GetMaxValue(); }
    void SetMaxValue(double Value) noexcept { FCore->SetMaxValue(Value); }
    double GetIncrement() const noexcept { return FCore->GetIncrement(); }
    void SetIncrement(double Value) { FCore->SetIncrement(Value); }
    bool GetSpaceAfterPrefix() const noexcept { return FCore->GetSpaceAfterPrefix(); }
    void SetSpaceAfterPrefix(bool Value) { FCore->SetSpaceAfterPrefix(Value); }
    bool GetSpaceBeforePostfix() const noexcept { return FCore->GetSpaceBeforePostfix(); }
    void SetSpaceBeforePostfix(bool Value) { FCore->SetSpaceBeforePostfix(Value); }
    const std::string& GetPrefix() const noexcept { return FCore->GetPrefix(); }
    void SetPrefix(const std::string& Value) { FCore->SetPrefix(Value); }
    const std::string& GetPostfix() const noexcept { return FCore->GetPostfix(); }
    void SetPostfix(const std::string& Value) { FCore->SetPostfix(Value); }
    bool GetSnap() const noexcept { return FCore->GetSnap(); }
    void SetSnap(bool Value) noexcept { FCore->SetSnap(Value); }
    TSEValueType GetValueType() const noexcept { return FCore->GetValueType(); }
    void SetValueType(TSEValueType Value) { FCore->SetValueType(Value); }

    TSEConvertEvent OnConvert;
    TSETextToValueEvent OnTextToValue;
    TSEChangeEvent OnValueChange;
    TSEValueToTextEvent OnValueToText;
    TSEStepEvent OnStep;

    virtual bool DoConvert(const std::string& APrefix, const std::string& APostfix, double& AValue);
    virtual void DoStep(int Step, double OldValue, double& NewValue);
    virtual bool DoTextToValue(const std::string& AText, double& AValue);
    virtual void DoValueChange(double V);
    virtual void DoValueToText(double V, std::string& Text);

    bool DoAcceptText(std::string& NewText) override;
    void DoTextChanged(TBarEditTextSource Source) override;
    void DoTextChanging(const std::string& OldText, std::string& NewText, TBarEditTextSource Source) override;
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TTxCustomSpinEditItem(gcl::TComponent* AOwner);
    ~TTxCustomSpinEditItem() override;

private:
    class TCore;
    friend class TCore;
    std::unique_ptr<TTxSpinValue> FCore;   // a TCore
    int FSyncing = 0;
};

class TTxSpinEditItem : public TTxCustomSpinEditItem {
    GCL_CLASS(TTxSpinEditItem, TTxCustomSpinEditItem)
protected:
    explicit TTxSpinEditItem(gcl::TComponent* AOwner) : TTxCustomSpinEditItem(AOwner) {}
};

GCL_ENUM(TTxLabelOrientation, txoAuto, txoHorizontal, txoVertical)

class TTxLabelItem : public TBarCustomItem {
    GCL_CLASS(TTxLabelItem, TBarCustomItem)
public:
    using TBarCustomItem::GetCaption;
    using TBarCustomItem::SetCaption;
    TFontSettings* GetFontSettings() const noexcept { return FFontSettings.get(); }
    void SetFontSettings(TFontSettings* Value) { FFontSettings->Assign(Value); }
    int GetMargin() const noexcept { return FMargin; }
    void SetMargin(int Value);
    bool GetShowAccelChar() const noexcept { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TTxLabelOrientation GetOrientation() const noexcept { return FOrientation; }
    void SetOrientation(TTxLabelOrientation Value);

    TAdjustFontEvent OnAdjustFont;

    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TTxLabelItem(gcl::TComponent* AOwner);
    ~TTxLabelItem() override;

private:
    void FontSettingsChanged(gcl::TObject* Sender);

    std::unique_ptr<TFontSettings> FFontSettings;
    int FMargin = 0;
    bool FShowAccelChar = true;
    TTxLabelOrientation FOrientation = txoAuto;
};

// ---- The layout of a themed edit field ---------------------------------------------------------
//
// Shared by the themed edit viewers and the extended edit item's viewer;
// the measures are the current theme's metrics.

// The part before the field of a menu row whose caption is captionWidth
// wide (0: no caption): the caption with its gaps and the image column.
int EditCaptionPartWidth(TBarItemViewer* Viewer, int CaptionWidth);
// The viewer's size: the field's width (in menus after the caption part
// and before metric 66); the height of the text with the field's frame or
// of the caption, made even or odd as the theme asks.
void EditViewerSize(bool ToolbarStyle, int EditWidth, int CaptionPart, int CaptionHeight, int TextHeight,
                    int& AWidth, int& AHeight);
// Where the in-place editor goes (before its own 3-pixel inset) inside
// Bounds, less the indents of the field's buttons.
TRect EditViewerEditRect(TRect Bounds, bool ToolbarStyle, int CaptionPart, int LeftIndent, int RightIndent);
// The record of an edit viewer: view type, toolbar-style and design bits,
// Enabled (also while customising), Pushed, the hover kind, and in menus
// the popup margin.
void FillEditViewerInfo(TBarItemViewer* Viewer, bool ToolbarStyle, bool IsSelected, bool IsPushed,
                        TTxItemInfo& ItemInfo);
// Paints the menu row's caption part (in menus) and the field's frame;
// answers the field's inside, where the image and text go.
TRect PaintEditViewerField(TCanvas* Canvas, const TRect& R, const TTxItemInfo& ItemInfo,
                           const TTxEditFrameInfo& FrameInfo, bool ToolbarStyle, int CaptionPart);
// The rectangle of a menu row's caption inside its caption part.
TRect EditCaptionRect(const TRect& R, const TTxItemInfo& ItemInfo, int CaptionPart);

// ---- Viewers -------------------------------------------------------------------------------

class TTxEditItemViewer : public TBarEditItemViewer {
    GCL_CLASS(TTxEditItemViewer, TBarEditItemViewer)
public:
    using TBarEditItemViewer::TBarEditItemViewer;
    TTxEditItem* TxItem() const noexcept { return static_cast<TTxEditItem*>(FItem); }

    bool HandleEditMessage(gcl::TMessage& Message) override;
    virtual void GetItemInfo(TTxItemInfo& ItemInfo, bool IsHoverItem, bool IsPushed);
    virtual void GetEditFrameInfo(TTxEditFrameInfo& FrameInfo);
    virtual int GetIndentBefore();
    virtual int GetIndentAfter();
    virtual bool ShowImage();

    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    void GetEditRect(gcl::TRect& R) override;
    gcl::TMetaClass const* GetEditControlClass() override { return TTxEdit::StaticClass(); }
    bool IsToolbarSize() override;
    bool IsToolbarStyle() override;
    bool DoExecute() override;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;

protected:
    // The width before the edit box outside toolbar style (caption part,
    // without the theme's metric 66).
    int CaptionPartWidth();
};

class TTxSpinEditViewer : public TTxEditItemViewer {
    GCL_CLASS(TTxSpinEditViewer, TTxEditItemViewer)
public:
    TTxSpinEditViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel);
    ~TTxSpinEditViewer() override;
    TTxCustomSpinEditItem* SpinItem() const noexcept { return static_cast<TTxCustomSpinEditItem*>(FItem); }
    // 0 none, 1 up, 2 down.
    int GetPressedPart() const noexcept { return FPressedPart; }
    gcl::TTimer* GetRepeatTimer() const noexcept { return FTimer; }

    bool HandleEditMessage(gcl::TMessage& Message) override;
    void GetEditFrameInfo(TTxEditFrameInfo& FrameInfo) override;
    int GetIndentAfter() override;
    int GetAccRole() override { return 52; }   // spin button
    bool IsPtInButtonPart(int X, int Y) override;
    void MouseDown(gcl::TShiftState Shift, int X, int Y, bool& MouseDownOnMenu) override;
    void MouseUp(int X, int Y, bool MouseWasDownOnMenu) override;
    void LosingCapture() override;

private:
    void TimerTick(gcl::TObject* Sender);
    void Release();
    void InvalidateSpinArea();

    int FPressedPart = 0;
    gcl::TTimer* FTimer = nullptr;
};

class TTxLabelItemViewer : public TBarItemViewer {
    GCL_CLASS(TTxLabelItemViewer, TBarItemViewer)
public:
    using TBarItemViewer::TBarItemViewer;
    virtual bool IsOrientationHorizontal();
    virtual void DoAdjustFont(gcl::TFont* Font, int StateFlags);
    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    bool IsToolbarSize() override;
    bool IsToolbarStyle() override;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;

private:
    std::string LabelText();
};

} // namespace qelvo
