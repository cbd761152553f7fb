// The themed status bar: a row of panels that share the bar's width by
// view and stretch priorities, each with a caption, an image and
// optionally a hosted control; a simple-text mode; and a size grip that
// hands a drag to the form.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>

#include "gcl/Controls.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Collections.h"
#include "theming/Tx.h"

namespace qelvo {

GCL_ENUM(TTextTruncation, ttNone, ttEndEllipsis, ttPathEllipsis)

class TTxCustomStatusBar;
class TTxStatusPanels;

class TTxStatusPanel : public gcl::TCollectionItem {
    GCL_CLASS(TTxStatusPanel, gcl::TCollectionItem)
public:
    // Copies every published property; the control is looked up by name
    // among the components of this bar's owner.
    void Assign(gcl::TPersistent* source) override;
    std::string GetDisplayName() const override;
    void BeforeDestruction() noexcept override;

    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment value);
    const std::string& GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::string& value);
    gcl::TControl* GetControl() const noexcept { return FControl; }
    // EInvalidOperation "Can't insert own parent" for the bar or one of its
    // parents; a control hosted by another panel of the bar moves here.
    void SetControl(gcl::TControl* value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value);
    bool GetFramed() const noexcept { return FFramed; }
    void SetFramed(bool value);
    TFontSettings* GetFontSettings() const noexcept { return FFontSettings.get(); }
    void SetFontSettings(TFontSettings* value) { FFontSettings->Assign(value); }
    const std::string& GetHint() const noexcept { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int value);
    int GetMaxSize() const noexcept { return FMaxSize; }
    void SetMaxSize(int value);
    int GetSize() const noexcept { return FSize; }
    void SetSize(int value);
    uint8_t GetStretchPriority() const noexcept { return FStretchPriority; }
    void SetStretchPriority(uint8_t value);
    TTextTruncation GetTextTruncation() const noexcept { return FTextTruncation; }
    void SetTextTruncation(TTextTruncation value);
    int GetTag() const noexcept { return FTag; }
    void SetTag(int value) noexcept { FTag = value; }
    uint8_t GetViewPriority() const noexcept { return FViewPriority; }
    void SetViewPriority(uint8_t value);

    // Computed by the layout.
    int GetEffectiveSize() const noexcept { return FEffectiveSize; }
    const TRect& GetBoundsRect() const noexcept { return FBoundsRect; }
    bool GetVisible() const noexcept { return FVisible; }
    bool GetIsLast() const noexcept { return FIsLast; }

    TTxCustomStatusBar* StatusBar() const noexcept;

protected:
    explicit TTxStatusPanel(gcl::TCollection* collection);
    ~TTxStatusPanel() override;

private:
    friend class TTxCustomStatusBar;
    void FontSettingsChange(gcl::TObject* sender);
    void ReleaseControl() noexcept;

    gcl::TAlignment FAlignment = gcl::taLeftJustify;
    std::string FCaption;
    gcl::TControl* FControl = nullptr;
    bool FEnabled = true;
    bool FFramed = true;
    std::unique_ptr<TFontSettings> FFontSettings;
    std::string FHint;
    int FImageIndex = -1;
    int FMaxSize = 0;
    int FSize = 50;
    uint8_t FStretchPriority = 0;
    TTextTruncation FTextTruncation = ttNone;
    int FTag = 0;
    uint8_t FViewPriority = 100;
    int FEffectiveSize = 0;
    TRect FBoundsRect;
    bool FVisible = false;
    bool FIsLast = false;
};

class TTxStatusPanels : public gcl::TCollection {
    GCL_CLASS(TTxStatusPanels, gcl::TCollection)
public:
    explicit TTxStatusPanels(TTxCustomStatusBar* statusBar);
    TTxStatusPanel* Add() { return static_cast<TTxStatusPanel*>(gcl::TCollection::Add()); }
    TTxStatusPanel* GetItems(int index) const { return static_cast<TTxStatusPanel*>(gcl::TCollection::GetItems(index)); }
    TTxCustomStatusBar* StatusBar() const noexcept { return FStatusBar; }
    gcl::TPersistent* GetOwner() const override;

protected:
    void Update(gcl::TCollectionItem* item) override;

private:
    TTxCustomStatusBar* FStatusBar;
};

using TTxStatusPanelEvent = gcl::TEvent<void(gcl::TObject* Sender, TTxStatusPanel* Panel)>;
using TTxAdjustContentRectEvent = gcl::TEvent<void(gcl::TObject* Sender, TTxStatusPanel* Panel, TRect& Rect)>;
using TTxAdjustPanelFontEvent = gcl::TEvent<void(gcl::TObject* Sender, TTxStatusPanel* Panel, gcl::TFont* Font)>;

class TTxCustomStatusBar : public gcl::TCustomControl {
    GCL_CLASS(TTxCustomStatusBar, gcl::TCustomControl)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    TTxStatusPanels* GetPanels() const noexcept { return FPanels.get(); }
    void SetPanels(TTxStatusPanels* value) { FPanels->Assign(value); }
    gcl::TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(gcl::TCustomImageList* value);
    bool GetSimplePanel() const noexcept { return FSimplePanel; }
    void SetSimplePanel(bool value);
    const std::string& GetSimpleText() const noexcept { return FSimpleText; }
    void SetSimpleText(const std::string& value);
    bool GetSizeGrip() const noexcept { return FSizeGrip; }
    void SetSizeGrip(bool value);
    bool GetUseSystemFont() const noexcept { return FUseSystemFont; }
    void SetUseSystemFont(bool value);
    bool GetFixAlign() const noexcept { return FFixAlign; }
    void SetFixAlign(bool value) noexcept { FFixAlign = value; }
    const TTxMarginRect& GetPaneMargins() const noexcept { return FPaneMargins; }

    // Repaints, lays the panels out and places the hosted controls.
    virtual void UpdateStatusBar();
    // The layout of the panels (sizes, visibility, rectangles).
    virtual void UpdatePanels();
    // The grip rectangle when the grip shows, else an empty one.
    TRect GetGripRect();
    bool IsGripShown();
    // The visible panel at a client point, or null.
    TTxStatusPanel* PanelAt(int x, int y) const;

    TTxAdjustContentRectEvent OnAdjustContentRect;
    TTxStatusPanelEvent OnPanelClick;
    TTxStatusPanelEvent OnPanelDblClick;

protected:
    explicit TTxCustomStatusBar(gcl::TComponent* owner);
    ~TTxCustomStatusBar() override;

    void CreateParams(gcl::TCreateParams& params) override;
    void CreateWnd() override;
    void Loaded() override;
    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;
    void Paint() override;
    void Click() override;
    void DblClick() override;
    void Resize() override;
    void ChangeScale(int m, int d) override;

    virtual void AdjustContentRect(TTxStatusPanel* panel, TRect& rect);
    virtual void AdjustPanelFont(TTxStatusPanel* panel, gcl::TFont* font);
    virtual void PanelClick(TTxStatusPanel* panel);
    virtual void PanelDblClick(TTxStatusPanel* panel);
    virtual void DrawPanel(TCanvas* canvas, const TRect& rect, TTxStatusPanel* panel, bool isLast);

    // The base class's font hook (not published).
    TTxAdjustPanelFontEvent OnAdjustPanelFont;

private:
    friend class TTxStatusPanel;
    void ImageListChange(gcl::TObject* sender);
    void SetupFont(TCanvas* canvas);
    void PlaceControls();
    TTxStatusPanel* PanelOfControl(gcl::TControl* control) const;
    TTxStatusPanel* PanelAtCursor() const;

    std::unique_ptr<TTxStatusPanels> FPanels;
    gcl::TCustomImageList* FImages = nullptr;
    std::unique_ptr<gcl::TChangeLink> FImageChangeLink;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    bool FUseSystemFont = false;
    bool FFixAlign = false;
    TTxMarginRect FPaneMargins;
    gcl::TControl* FControlBeingHosted = nullptr;
};

class TTxStatusBar : public TTxCustomStatusBar {
    GCL_CLASS(TTxStatusBar, TTxCustomStatusBar)
protected:
    explicit TTxStatusBar(gcl::TComponent* owner) : TTxCustomStatusBar(owner) {}
};

} // namespace qelvo
