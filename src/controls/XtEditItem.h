// The extended edit item: a toolbar or menu item that shows a wide text in
// a field painted by the current theme, with an optional caption, image
// and fonts of its own; while the user edits, a TXtUnicodeEdit lies over
// the field. It reports every change of its text once, completes typed
// text through DoAutoComplete, and can accept the text also when the edit
// ends elsewhere. Part of the XtEditors unit (include controls/XtEditors.h).
#pragma once

#include "controls/XtEditors.h"
#include "toolbar/BarEditItem.h"

namespace qelvo {

class TXtEditItemViewer;

using TXtEditAcceptTextEvent = gcl::TEvent<void(gcl::TObject* Sender, std::wstring& NewText, bool& Accept)>;
using TXtEditChangeEvent = gcl::TEvent<void(gcl::TObject* Sender, const std::wstring& Text)>;

class TXtEditItem : public TBarEditItem {
    GCL_CLASS(TXtEditItem, TBarEditItem)
public:
    // ---- Wide texts (the 8-bit EditCaption and Hint mirror theirs; the
    // item's text is wide only)
    std::wstring GetEditCaption() const;
    void SetEditCaption(const std::wstring& Value);
    const std::wstring& GetText() const noexcept { return FText; }
    // SetTextEx(Value, tbetsTextProperty).
    void SetText(const std::wstring& Value);
    std::wstring GetHint() const;
    void SetHint(const std::wstring& Value);
    // Stores the case and applies it to the text at once.
    void SetCharCase(gcl::TEditCharCase Value);

    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment Value);
    // Character keys pressed in the editor and not yet released.
    int GetKeysDown() const noexcept { return FKeysDown; }
    TFontSettings* GetEditorFontSettings() const noexcept { return FEditorFontSettings.get(); }
    void SetEditorFontSettings(TFontSettings* Value) { FEditorFontSettings->Assign(Value); }
    TFontSettings* GetFontSettings() const noexcept { return FFontSettings.get(); }
    void SetFontSettings(TFontSettings* Value) { FFontSettings->Assign(Value); }
    // The text last reported through OnChange while editing.
    const std::wstring& GetLastEditChange() const noexcept { return FLastEditChange; }
    wchar_t GetPasswordChar() const noexcept { return FPasswordChar; }
    void SetPasswordChar(wchar_t Value);
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool Value) noexcept { FReadOnly = Value; }
    bool GetShowImage() const noexcept { return FShowImage; }
    void SetShowImage(bool Value);
    // The viewer whose editor is (or was last) open; null when it is gone.
    TXtEditItemViewer* GetEditingViewer() const noexcept { return FEditingViewer; }

    // Wide events (the 8-bit OnAcceptText of the edit item is not fired).
    TXtEditAcceptTextEvent OnAcceptText;
    TXtEditChangeEvent OnChange;
    TXtDrawHintEvent OnDrawHint;
    TXtEditAcceptTextEvent GetOnAcceptText() const noexcept { return OnAcceptText; }
    void SetOnAcceptText(TXtEditAcceptTextEvent Value) noexcept { OnAcceptText = Value; }
    TXtEditChangeEvent GetOnChange() const noexcept { return OnChange; }
    void SetOnChange(TXtEditChangeEvent Value) noexcept { OnChange = Value; }
    TXtDrawHintEvent GetOnDrawHint() const noexcept { return OnDrawHint; }
    void SetOnDrawHint(TXtDrawHintEvent Value) noexcept { OnDrawHint = Value; }

    // Fires OnAcceptText with Accept starting true.
    virtual bool DoAcceptTextWide(std::wstring& NewText);
    // A descendant completes the typed text and answers true.
    virtual bool DoAutoComplete(std::wstring& AText);
    virtual void DoChange(const std::wstring& AText);
    virtual void DoDrawHint(gcl::TBitmap* HintBitmap, std::wstring& Hint, bool& PaintDefault);
    // Applies CharCase.
    using TBarEditItem::DoTextChanging;
    virtual void DoTextChanging(const std::wstring& OldText, std::wstring& NewText, TBarEditTextSource Reason);
    // The image shown in the field (ImageIndex here).
    virtual int GetEditImageIndex();
    // The editor's text changed: completion while character keys are
    // down, then OnChange when the text differs from the last report.
    virtual void HandleEditChange(TXtUnicodeEdit* Editor);
    using TBarEditItem::SetTextEx;
    virtual void SetTextEx(const std::wstring& Value, TBarEditTextSource Reason);

    // The edit loop's acceptance: the wide text is accepted here, so the
    // 8-bit step is always refused.
    bool DoAcceptText(std::string& NewText) override;
    void DoBeginEdit(TBarEditItemViewer* Viewer) override;
    void DoTextChanged(TBarEditTextSource Source) override;
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;
    TBarPopupWindowClass GetPopupWindowClass() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TXtEditItem(gcl::TComponent* AOwner);
    ~TXtEditItem() override;
    void DefineProperties(gcl::TFiler& Filer) override;

private:
    friend class TXtEditItemViewer;
    void FontSettingsChanged(gcl::TObject* Sender);
    void EditorChanged(gcl::TObject* Sender);
    gcl::TEditCharCase GetCharCaseProp() const noexcept { return GetCharCase(); }

    std::wstring FEditCaption;
    std::wstring FText;
    std::wstring FHint;
    gcl::TAlignment FAlignment = gcl::taLeftJustify;
    int FKeysDown = 0;
    std::unique_ptr<TFontSettings> FEditorFontSettings;
    std::unique_ptr<TFontSettings> FFontSettings;
    bool FInEditChange = false;
    std::wstring FLastEditChange;
    // The editor reported a change during the current edit.
    bool FEditReported = false;
    wchar_t FPasswordChar = 0;
    bool FReadOnly = false;
    bool FShowImage = false;
    TXtEditItemViewer* FEditingViewer = nullptr;
};

class TXtEditItemViewer : public TBarEditItemViewer {
    GCL_CLASS(TXtEditItemViewer, TBarEditItemViewer)
public:
    using TBarEditItemViewer::TBarEditItemViewer;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;

    TXtEditItem* XtItem() const noexcept { return static_cast<TXtEditItem*>(FItem); }
    // The open editor, or null.
    TXtUnicodeEdit* GetEditor() const noexcept;

    // Sees every message of the editor first (counts the character keys);
    // true would consume it.
    virtual bool EditWndProcHook(gcl::TMessage& Message);
    virtual void GetItemInfo(TTxItemInfo& ItemInfo, bool IsSelected, bool IsPushed);
    virtual void GetEditFrameInfo(TTxEditFrameInfo& FrameInfo);
    // Image width + 2 when the field shows the image, else 0.
    virtual int GetLeftButtonWidth();
    virtual int GetRightButtonWidth() { return 0; }
    virtual bool ShowImageInField();

    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    bool DoExecute() override;
    bool IsToolbarSize() override;
    bool IsToolbarStyle() override;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
    gcl::TMetaClass const* GetEditControlClass() override { return TXtUnicodeEdit::StaticClass(); }
    void GetEditRect(gcl::TRect& R) override;
    bool HandleEditMessage(gcl::TMessage& Message) override { return EditWndProcHook(Message); }
    bool GetAccValue(std::wstring& Value) override;

    // The hint of the viewer: the wide hint before "|", else the caption
    // (under the rules of the extended items), with the shortcut.
    std::wstring GetWideHintText();

private:
    // The width before the field in menus: caption, gaps and image column.
    int CaptionPartWidth();
    void ShowHint(gcl::TMessage& Message);
};

} // namespace qelvo
