// The rich-edit note editor: a multi-line edit over the system's rich-edit
// window class, with character and paragraph attributes, a line list, rich
// and plain text loading and saving, link clicks, the standard edit menu
// and printing. The OLE callback for embedded objects is in
// KitRichEditOle.h, the load and save conversions in
// KitRichEditConversions.h.
//
// The library is chosen once per process, when a rich edit is first made
// or the generation is first asked for (a program that shows none at its
// start does not load it then): riched20.dll when it loads (generation 2
// or, from its file version 5.xx, xx / 10; 6 for version 12), else
// riched32.dll (generation 1); KitRichEditUnit frees it. Every
// version-dependent message is sent only when RichEditVersion() allows it.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <richedit.h>
#include <richole.h>

#include <memory>
#include <string>

#include "components/KitExStdCtrls.h"
#include "components/KitRichEditConversions.h"
#include "gcl/Dialogs.h"
#include "gcl/Menus.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Sets.h"

namespace qelvo {

class TKitCustomRichEdit;
class TRichEditOleCallback;

namespace msg {
inline constexpr const char* RichEditInsertionError = "RichEdit line insertion error";
} // namespace msg

// The library's generation, the library loaded on the first call (0 when
// neither library loads).
int RichEditVersion();
// The registered clipboard formats.
extern UINT CFEmbeddedObject;
extern UINT CFLinkSource;
extern UINT CFRtf;
extern UINT CFRtfNoObjs;
// Generation from a file version's most significant word: 5.xx gives
// xx / 10, 12.x gives 6, anything else (or a result of 0) 2.
int RichEditGenerationFromVersion(uint32_t versionMS) noexcept;

// ---- Vocabulary -------------------------------------------------------------

GCL_ENUM(TSelectionTypeItem, stText, stObject, stMultiChar, stMultiObject)
using TSelectionType = gcl::TSet<TSelectionTypeItem>;
GCL_ENUM(TRichLangOption, rlAutoKeyboard, rlAutoFont, rlImeCancelComplete, rlImeAlwaysSendNotify)
using TRichLangOptions = gcl::TSet<TRichLangOption>;
GCL_ENUM(TRichStreamFormat, sfDefault, sfRichText, sfPlainText)
GCL_ENUM(TRichStreamModeItem, smSelection, smPlainRtf, smNoObjects, smUnicode)
using TRichStreamModes = gcl::TSet<TRichStreamModeItem>;
GCL_ENUM(TAttributeType, atDefaultText, atSelected, atWord)
GCL_ENUM(TKitNumberingStyle, nsNone, nsBullet)
// Paragraph alignment: the library's alignment value minus one.
GCL_ENUM(TKitParaAlignment, kaLeftJustify, kaRightJustify, kaCenter, kaJustify)

using TRichEditResizeEvent = gcl::TEvent<void(gcl::TObject* Sender, gcl::TRect Rect)>;
using TRichEditProtectChange = gcl::TEvent<void(gcl::TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;
using TRichEditProtectChangeEx = gcl::TEvent<void(gcl::TObject* Sender, const gcl::TMessage& Message, int StartPos,
                                                  int EndPos, bool& AllowChange)>;
using TRichEditSaveClipboard = gcl::TEvent<void(gcl::TObject* Sender, int NumObjects, int NumChars, bool& SaveClipboard)>;
using TRichEditURLClickEvent = gcl::TEvent<void(gcl::TObject* Sender, const std::string& URLText, gcl::TMouseButton Button)>;
using TRichEditFindErrorEvent = gcl::TEvent<void(gcl::TObject* Sender, const std::string& FindText)>;
using TRichEditProgressEvent = gcl::TEvent<void(gcl::TObject* Sender, int PercentDone)>;
using TRichEditQueryAcceptData = gcl::TEvent<void(gcl::TObject* Sender, IDataObject* DataObject, CLIPFORMAT& Format,
                                                  DWORD Reco, bool Really, HGLOBAL MetaPict, bool& Accept)>;
using TRichEditDragDropEffect = gcl::TEvent<void(gcl::TObject* Sender, gcl::TShiftState Shift, DWORD& Effect,
                                                 bool& Handled)>;

// ---- Character attributes -------------------------------------------------------

class TKitTextAttributes : public gcl::TPersistent {
    GCL_CLASS(TKitTextAttributes, gcl::TPersistent)
public:
    TKitTextAttributes(TKitCustomRichEdit* owner, TAttributeType kind) noexcept : FRichEdit(owner), FType(kind) {}

    gcl::TColor GetColor() const;
    void SetColor(gcl::TColor value);
    std::string GetName() const;
    void SetName(const std::string& value);
    uint8_t GetCharset() const;
    void SetCharset(uint8_t value);
    gcl::TFontPitch GetPitch() const;
    void SetPitch(gcl::TFontPitch value);
    gcl::TFontStyles GetStyle() const;
    void SetStyle(gcl::TFontStyles value);
    // Points.
    int GetSize() const;
    void SetSize(int value);

    void Assign(gcl::TPersistent* source) override;
    // Copies colour, name, charset, style, size and pitch into a font.
    void AssignTo(gcl::TPersistent* dest) const override;

private:
    // EM_GETCHARFORMAT into a record sized for the generation.
    CHARFORMAT2A Read() const;
    void Write(CHARFORMAT2A& format);
    CHARFORMAT2A NewFormat(DWORD mask) const;
    UINT Flag() const noexcept;

    TKitCustomRichEdit* FRichEdit;
    TAttributeType FType;
};

// ---- Paragraph attributes ----------------------------------------------------------

class TKitParaAttributes : public gcl::TPersistent {
    GCL_CLASS(TKitParaAttributes, gcl::TPersistent)
public:
    explicit TKitParaAttributes(TKitCustomRichEdit* owner) noexcept : FRichEdit(owner) {}

    TKitParaAlignment GetAlignment();
    void SetAlignment(TKitParaAlignment value);
    // Points.
    int GetFirstIndent();
    void SetFirstIndent(int value);
    int GetLeftIndent();
    void SetLeftIndent(int value);
    int GetRightIndent();
    void SetRightIndent(int value);
    TKitNumberingStyle GetNumbering();
    void SetNumbering(TKitNumberingStyle value);
    int GetTab(int index);
    void SetTab(int index, int value);
    int GetTabCount();
    void SetTabCount(int value);

    void Assign(gcl::TPersistent* source) override;

private:
    PARAFORMAT2 Read();
    void Write(PARAFORMAT2& format);
    PARAFORMAT2 NewFormat(DWORD mask) const;

    TKitCustomRichEdit* FRichEdit;
};

// ---- Lines ------------------------------------------------------------------------------

class TKitRichEditStrings : public gcl::TStrings {
    GCL_CLASS(TKitRichEditStrings, gcl::TStrings)
public:
    explicit TKitRichEditStrings(TKitCustomRichEdit* owner) noexcept : FRichEdit(owner) {}

    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;

    // Through a conversion: the RTF one when the stream starts with "{\rtf",
    // else the plain-text one; a failed first try is retried in the other
    // format. Raise EOutOfResources "Failed to Load Stream" / "Failed to
    // Save Stream".
    void LoadFromStream(gcl::TStream& stream) override;
    void SaveToStream(gcl::TStream& stream) const override;
    void LoadFromFile(const std::string& fileName) override;
    void SaveToFile(const std::string& fileName) const override;
    void LoadWith(TKitConversion& conversion);
    void SaveWith(TKitConversion& conversion) const;

    TRichStreamFormat GetStreamFormat() const noexcept { return FFormat; }
    void SetStreamFormat(TRichStreamFormat value) noexcept { FFormat = value; }
    TRichStreamModes GetStreamMode() const noexcept { return FMode; }
    void SetStreamMode(TRichStreamModes value) noexcept { FMode = value; }

protected:
    void SetUpdateState(bool updating) override;

private:
    // The stream flags for loading or saving as rich text (or not).
    UINT StreamFlags(bool richText) const;
    bool PlainFormat() const;

    TKitCustomRichEdit* FRichEdit;
    TRichStreamFormat FFormat = sfDefault;
    TRichStreamModes FMode;
};

// The text, selection and modified flag across a window re-creation.
class TKitRichEditState {
public:
    bool Modified = false;
    int SelStart = 0;
    int SelLength = 0;
    bool PlainText = false;
    gcl::TMemoryStream Text;
};

// ---- The control ----------------------------------------------------------------------------

class TKitCustomRichEdit : public TKitExCustomMemo {
    GCL_CLASS(TKitCustomRichEdit, TKitExCustomMemo)
public:
    using TControl::GetText;
    // A long text replaced by another goes with the window: the control is
    // given a new, empty window first (see RemakeEmpty).
    void SetText(const std::string& value) override;

    void Clear();
    TKitTextAttributes* GetSelAttributes() const noexcept { return FSelAttributes.get(); }
    void SetSelAttributes(TKitTextAttributes* value) { FSelAttributes->Assign(value); }
    TKitTextAttributes* GetDefAttributes() const noexcept { return FDefAttributes.get(); }
    void SetDefAttributes(TKitTextAttributes* value) { FDefAttributes->Assign(value); }
    TKitTextAttributes* GetWordAttributes() const noexcept { return FWordAttributes.get(); }
    TKitParaAttributes* GetParagraph() const noexcept { return FParagraph.get(); }
    TKitRichEditStrings* GetLines() const noexcept { return FLines.get(); }
    void SetLines(gcl::TStrings* value) { FLines->Assign(value); }

    // ---- Selection
    int GetSelStart() override;
    void SetSelStart(int value) override;
    int GetSelLength() override;
    void SetSelLength(int value) override;
    std::string GetSelText() override;
    void SetSelText(const std::string& value) override;
    int GetSelTextBuf(char* buffer, int size);
    // The characters from start to end (a buffer of two bytes per
    // character, so double-byte text cannot overflow it).
    std::string GetTextRange(int start, int end);
    // X = column, Y = line of the selection end.
    gcl::TPoint GetCaretPos();
    TSelectionType GetSelectionType();
    int LineFromChar(int index);
    int GetLineIndex(int line);
    int GetLineLength(int index);
    int GetRichTextLength();

    void SetMaxLength(int value);
    // Prints the text on the printer object; an empty PageRect takes the
    // whole page.
    void Print(const std::string& caption);
    gcl::TRect GetPageRect() const noexcept { return FPageRect; }
    void SetPageRect(const gcl::TRect& value) noexcept { FPageRect = value; }
    virtual void RequestSize(const gcl::TRect& rect);
    virtual void DoConversionProgress(int percent);
    virtual void TextNotFound(const std::string& FindText);
    virtual void CloseFindDialog();
    int GetScreenLogPixels() const noexcept { return FScreenLogPixels; }
    // The context menu: the selected object's verbs, else the assigned
    // PopupMenu, else (UseFixedPopup) the shared edit menu.
    gcl::TPopupMenu* GetPopupMenu() const override;

    // ---- Properties
    bool GetAdvancedTypography();
    void SetAdvancedTypography(bool value);
    bool GetAutoAdvancedTypography() const noexcept { return FAutoAdvancedTypography; }
    void SetAutoAdvancedTypography(bool value) noexcept { FAutoAdvancedTypography = value; }
    bool GetAutoURLDetect();
    void SetAutoURLDetect(bool value);
    bool GetAutoVerbMenu() const noexcept { return FAutoVerbMenu; }
    void SetAutoVerbMenu(bool value) noexcept { FAutoVerbMenu = value; }
    bool GetAllowObjects() const noexcept { return FAllowObjects; }
    void SetAllowObjects(bool value);
    bool GetAllowInPlace() const noexcept { return FAllowInPlace; }
    void SetAllowInPlace(bool value) noexcept { FAllowInPlace = value; }
    bool GetFlat() const noexcept { return !GetCtl3D(); }
    void SetFlat(bool value) { SetCtl3D(!value); }
    bool GetParentFlat() const noexcept { return GetParentCtl3D(); }
    void SetParentFlat(bool value) { SetParentCtl3D(value); }
    bool GetForceUndo() const noexcept { return FForceUndo; }
    void SetForceUndo(bool value) noexcept { FForceUndo = value; }
    bool GetHideSelection() const noexcept { return FHideSelection; }
    void SetHideSelection(bool value);
    bool GetHideScrollBars() const noexcept { return FHideScrollBars; }
    void SetHideScrollBars(bool value);
    TRichLangOptions GetLangOptions();
    void SetLangOptions(TRichLangOptions value);
    bool GetOLEDragDrop() const noexcept { return FOLEDragDrop; }
    void SetOLEDragDrop(bool value);
    bool GetPlainText() const noexcept { return FPlainText; }
    void SetPlainText(bool value);
    bool GetSelectionBar() const noexcept { return FSelectionBar; }
    void SetSelectionBar(bool value);
    TRichStreamFormat GetStreamFormat() const noexcept { return FLines->GetStreamFormat(); }
    void SetStreamFormat(TRichStreamFormat value) noexcept { FLines->SetStreamFormat(value); }
    TRichStreamModes GetStreamMode() const noexcept { return FLines->GetStreamMode(); }
    void SetStreamMode(TRichStreamModes value) noexcept { FLines->SetStreamMode(value); }
    const std::string& GetTitle() const noexcept { return FTitle; }
    void SetTitle(const std::string& value);
    int GetUndoLimit() const noexcept { return FUndoLimit; }
    void SetUndoLimit(int value);
    bool GetUseFixedPopup() const noexcept { return FUseFixedPopup; }
    void SetUseFixedPopup(bool value) noexcept { FUseFixedPopup = value; }
    bool GetWordSelection();
    void SetWordSelection(bool value);
    int GetZoom();
    void SetZoom(int value);

    // ---- Find and replace
    // The position of SearchStr within the Length characters from StartPos
    // (up to the end when Length is negative), or -1. With frDown the first
    // match counts, else the last one; frMatchCase and frWholeWord as in
    // the dialogs.
    int FindText(const std::string& SearchStr, int StartPos, int Length, gcl::TFindOptions Options);
    // Shows the find (replace) dialog for this control, made on first use,
    // with the texts given. Find Next searches from the selection (down:
    // from its end, up: from its start) and selects the match; Replace
    // replaces a selection that matches, then finds the next; Replace All
    // replaces every match in the text. A search that finds nothing raises
    // OnTextNotFound with the search text; closing the dialog raises
    // OnCloseFindDialog.
    void FindDialog(const std::string& SearchStr);
    void ReplaceDialog(const std::string& SearchStr, const std::string& ReplaceStr);

    // ---- OLE (KitRichEditOle.cpp)
    IRichEditOle* GetRichEditOle() const noexcept { return FRichEditOle.Get(); }
    TRichEditOleCallback* GetOleCallback() const noexcept { return FCallback.Get(); }
    // Closes every embedded object without saving (an object active in
    // place is deactivated first).
    void CloseObjects();
    // Hands the application and document titles to the OLE interface.
    void UpdateHostNames();
    // The object-properties dialog for the selected object; whether the
    // user confirmed it.
    bool ShowObjectProperties();

    // ---- Events
    TRichEditResizeEvent OnResizeRequest;
    gcl::TNotifyEvent OnSelectionChange;
    TRichEditProtectChange OnProtectChange;
    TRichEditProtectChangeEx OnProtectChangeEx;
    TRichEditSaveClipboard OnSaveClipboard;
    TRichEditURLClickEvent OnURLClick;
    TRichEditFindErrorEvent OnTextNotFound;
    gcl::TNotifyEvent OnCloseFindDialog;
    TRichEditProgressEvent OnConversionProgress;
    TRichEditDragDropEffect OnDragAllowed;
    TRichEditDragDropEffect OnGetDragDropEffect;
    TRichEditQueryAcceptData OnQueryAcceptData;
    gcl::TNotifyEvent OnInPlaceActivate;
    gcl::TNotifyEvent OnInPlaceDeactivate;
    gcl::TNotifyEvent OnVerticalScroll;
    gcl::TNotifyEvent OnHorizontalScroll;

    void WndProc(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;
    // From the second generation a paragraph ends in one character for the
    // selection, where the window's text has two (CR LF).
    int SelectableTextLength() override;

protected:
    explicit TKitCustomRichEdit(gcl::TComponent* owner);
    ~TKitCustomRichEdit() override;

    void CreateParams(gcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(gcl::TMessage& message) override;
    void FontChanged(gcl::TObject* sender) override;
    // Quiet while the window is made anew under the keyboard.
    void DoEnter() override;
    void DoExit() override;

private:
    friend class TKitTextAttributes;
    friend class TKitParaAttributes;
    friend class TKitRichEditStrings;
    friend class TRichEditOleCallback;

    void CNNotify(gcl::TMessage& message);
    // Plain-text mode: a paste (WM_PASTE, Ctrl+V with or without Shift,
    // Shift+Insert) takes the clipboard's text and nothing else. True when
    // the message was one.
    bool PastedAsPlainText(gcl::TMessage& message);
    // WM_SETTEXT of a text the library would read as rich text: set as the
    // plain text it is. True when the message was one.
    bool SetTextAsPlainText(gcl::TMessage& message);
    // A context menu asked for from the keyboard: at the caret.
    void MenuAtCaret(gcl::TMessage& message);
    void LinkNotification(const ENLINK& link);
    void ReplaceSel(gcl::TMessage& message);
    void PaintFirstGeneration(gcl::TMessage& message);
    void ApplyWordSelection(bool value);
    void SetupOle();
    void ReleaseOle() noexcept;
    // Streams the control's text out into state (or back in).
    void SaveState();
    void RestoreState();
    // EM_STREAMOUT / EM_STREAMIN through a conversion; false when the
    // control reported an error.
    bool StreamOut(TKitConversion& conversion, UINT flags);
    bool StreamIn(TKitConversion& conversion, UINT flags);
    // Switches the window's text mode, keeping the text.
    void ApplyTextMode();
    // Emptying a text of some hundred thousand characters in place can
    // take minutes in some rich-edit libraries, while destroying the window
    // takes milliseconds: the window is made anew, empty and unmodified,
    // with everything else the control keeps (its settings, events, font,
    // colours, menu, object callback, and the keyboard when it had it).
    void RemakeEmpty();
    // The match of text between from and to (forward when options holds
    // frDown, to -1 meaning the end; else backward from from down to to);
    // {-1, -1} when there is none.
    CHARRANGE SearchRange(const std::string& text, LONG from, LONG to, gcl::TFindOptions options);
    // Selects the next match from the selection; TextNotFound when none.
    bool FindNext(const std::string& text, gcl::TFindOptions options);
    void ReplaceAll(const std::string& text, const std::string& replacement, gcl::TFindOptions options);
    void FindDialogFind(gcl::TObject* sender);
    void FindDialogReplace(gcl::TObject* sender);
    void FindDialogClose(gcl::TObject* sender);
    // Builds the verb menu of the selected object (KitRichEditOle.cpp).
    gcl::TPopupMenu* ObjectPopupMenu() const;

    std::unique_ptr<TKitTextAttributes> FSelAttributes;
    std::unique_ptr<TKitTextAttributes> FDefAttributes;
    std::unique_ptr<TKitTextAttributes> FWordAttributes;
    std::unique_ptr<TKitParaAttributes> FParagraph;
    std::unique_ptr<TKitRichEditStrings> FLines;
    std::unique_ptr<TKitRichEditState> FSavedState;
    gcl::ComPtr<TRichEditOleCallback> FCallback;
    gcl::ComPtr<IRichEditOle> FRichEditOle;
    mutable gcl::TPopupMenu* FVerbMenu = nullptr;
    gcl::TFindDialog* FFindDialog = nullptr;
    gcl::TReplaceDialog* FReplaceDialog = nullptr;
    int FScreenLogPixels = 96;
    int FLinkStart = -1;
    int FLinkEnd = -1;
    gcl::TMouseButton FLinkButton = gcl::mbLeft;
    gcl::TRect FRequestedSize;
    gcl::TRect FPageRect;
    std::string FTitle;
    int FUndoLimit = 100;
    TRichLangOptions FLangOptions{rlAutoFont};
    bool FAdvancedTypography = false;
    bool FAutoAdvancedTypography = true;
    bool FAutoURLDetect = true;
    bool FAutoVerbMenu = true;
    bool FAllowObjects = true;
    bool FAllowInPlace = true;
    bool FForceUndo = true;
    bool FHideSelection = true;
    bool FHideScrollBars = true;
    bool FOLEDragDrop = true;
    bool FPlainText = false;
    bool FSelectionBar = true;
    bool FUseFixedPopup = true;
    bool FWordSelection = true;
    bool FSettingSelText = false;
    bool FSelChangeSuspended = false;
    bool FRemaking = false;            // RemakeEmpty runs: no text kept, no focus events
    bool FContextMenuSent = false;     // drops the library's WM_CONTEXTMENU of a right click
};

class TKitRichEdit : public TKitCustomRichEdit {
    GCL_CLASS(TKitRichEdit, TKitCustomRichEdit)
protected:
    explicit TKitRichEdit(gcl::TComponent* owner) : TKitCustomRichEdit(owner) {}
};

// Chooses and loads the library, registers the clipboard formats.
extern gcl::TUnit KitRichEditUnit;

} // namespace qelvo

#include "components/KitRichEditOle.h"
