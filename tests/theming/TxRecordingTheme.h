// A theme for tests that paints nothing and records every call it gets,
// so a test can check which operation a control asked for (and with what
// rectangle, item state and arguments) without comparing pixels.
//
//     RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
//     SelectTheme("Recording");
//     ... let a control paint ...
//     auto* theme = static_cast<TTxRecordingTheme*>(CurrentTheme);
//     EXPECT_EQ(theme->Count("PaintButton"), 3);
//     SelectTheme("Default");
//     UnregisterTheme("Recording");
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "theming/TxThemes.h"

namespace qelvo::test {

struct TTxThemeCall {
    std::string Operation;
    TRect Rect;
    TTxItemInfo Item;
    int Arg1 = 0;          // view type, margin id, kind, part, direction, metric index, ...
    int Arg2 = 0;          // state, flags, button kind, ...
    std::string Text;      // captions
};

class TTxRecordingTheme : public TTxTheme {
    GCL_CLASS(TTxRecordingTheme, TTxTheme)
public:
    std::vector<TTxThemeCall> Calls;
    int ColorCacheBuilds = 0;
    std::vector<uintptr_t> SysChanges;   // WParam of every WM_SKIN_SYSCHANGE
    // Answers of the metric queries; absent indexes answer -1 / false.
    std::map<int, int> IntegerMetrics;
    std::map<int, bool> BooleanMetrics;
    int ShadowKind = 0;   // what PopupShadowKind answers

    int Count(const std::string& operation) const {
        return static_cast<int>(std::count_if(Calls.begin(), Calls.end(),
                                              [&](const TTxThemeCall& c) { return c.Operation == operation; }));
    }
    const TTxThemeCall* Last(const std::string& operation) const {
        for (auto it = Calls.rbegin(); it != Calls.rend(); ++it)
            if (it->Operation == operation) return &*it;
        return nullptr;
    }

    void Dispatch(gcl::TMessage& message) override {
        if (message.Msg == WM_SKIN_SYSCHANGE) SysChanges.push_back(message.WParam);
        inherited::Dispatch(message);
    }

    TPoint ImageOffset(TCanvas*, const TTxItemInfo& i, TCustomImageList*) override {
        Record("ImageOffset", {}, i);
        return {0, 0};
    }
    TColor ItemColor(const TTxItemInfo& i) override { return Record("ItemColor", {}, i), 0x010101; }
    TColor ItemTextColor(const TTxItemInfo& i) override { return Record("ItemTextColor", {}, i), 0x020202; }
    TColor ItemImageBackground(const TTxItemInfo& i) override {
        return Record("ItemImageBackground", {}, i), 0x030303;
    }
    void ThemeMargins(int id, TTxMarginRect& m) override {
        Record("ThemeMargins", {}, {}, id);
        m = TTxMarginRect{};
    }
    int PopupShadowKind() override { return Record("PopupShadowKind", {}, {}), ShadowKind; }
    void ViewBorder(uint32_t vt, TPoint& b) override {
        Record("ViewBorder", {}, {}, static_cast<int>(vt));
        b = {0, 0};
    }
    TColor ViewColor(uint32_t vt) override { return Record("ViewColor", {}, {}, static_cast<int>(vt)), 0x040404; }
    void ViewMargins(uint32_t vt, TTxMarginRect& m) override {
        Record("ViewMargins", {}, {}, static_cast<int>(vt));
        m = TTxMarginRect{};
    }
    void PaintBackground(TCanvas*, const TRect&, const TRect& r, const TRect&, TColor color, bool transparent,
                         uint32_t vt) override {
        Record("PaintBackground", r, {}, static_cast<int>(vt), transparent ? 1 : 0).Text = std::to_string(color);
    }
    void PaintButton(TCanvas*, const TRect& r, const TTxItemInfo& i) override { Record("PaintButton", r, i); }
    void PaintCaption(TCanvas*, const TRect& r, const TTxItemInfo& i, const std::string& caption, unsigned format,
                      bool rotated) override {
        Record("PaintCaption", r, i, static_cast<int>(format), rotated ? 1 : 0).Text = caption;
    }
    void PaintCheckMark(TCanvas*, const TRect& r, const TTxItemInfo& i) override { Record("PaintCheckMark", r, i); }
    void PaintChevron(TCanvas*, const TRect& r, const TTxItemInfo& i) override { Record("PaintChevron", r, i); }
    void PaintEditFrame(TCanvas*, const TRect& r, const TTxItemInfo& i, const TTxEditFrameInfo& e) override {
        Record("PaintEditFrame", r, i, e.LeftBtnWidth, e.RightBtnWidth);
    }
    void PaintEditButton(TCanvas*, const TRect& r, const TTxItemInfo& i, const TTxEditButtonInfo& b) override {
        Record("PaintEditButton", r, i, static_cast<int>(b.ButtonType), static_cast<int>(b.ButtonState));
    }
    void PaintDockBackground(TCanvas*, const TRect& r, const TRect&, int position) override {
        Record("PaintDockBackground", r, {}, position);
    }
    void PaintPanelCaptionArea(TCanvas*, const TRect& r, const TTxPanelCaptionInfo& info) override {
        Record("PaintPanelCaptionArea", r, {}, static_cast<int>(info.ViewType), static_cast<int>(info.CloseButtonState))
            .Text = info.Caption;
    }
    void PaintDropDownArrow(TCanvas*, const TRect& r, const TTxItemInfo& i) override {
        Record("PaintDropDownArrow", r, i);
    }
    void PaintFloatingFrame(TCanvas*, const TRect& r, const TTxFloatingFrameInfo& info) override {
        Record("PaintFloatingFrame", r, {}, static_cast<int>(info.ViewType), static_cast<int>(info.RedrawPart)).Text =
            info.Caption;
    }
    void PaintControlFrame(TCanvas*, const TRect& r, const TTxItemInfo& i) override {
        Record("PaintControlFrame", r, i);
    }
    void PaintImage(TCanvas*, const TRect& r, const TTxItemInfo& i, TCustomImageList*, int index) override {
        Record("PaintImage", r, i, index);
    }
    void PaintMDIButton(TCanvas*, const TRect& r, const TTxItemInfo& i, unsigned kind) override {
        Record("PaintMDIButton", r, i, static_cast<int>(kind));
    }
    void PaintMenuItem(TCanvas*, const TRect& r, const TTxItemInfo& i) override { Record("PaintMenuItem", r, i); }
    void PaintMenuItemFrame(TCanvas*, const TRect& r, const TTxItemInfo& i) override {
        Record("PaintMenuItemFrame", r, i);
    }
    void PaintPageScrollButton(TCanvas*, const TRect& r, int direction, bool hot) override {
        Record("PaintPageScrollButton", r, {}, direction, hot ? 1 : 0);
    }
    void PaintPopupFrame(TCanvas*, const TRect& r, const TTxPopupFrameInfo& info) override {
        Record("PaintPopupFrame", r, {}, static_cast<int>(info.ViewType));
    }
    void PaintSeparator(TCanvas*, const TRect& r, const TTxItemInfo& i, bool horizontal, bool line) override {
        Record("PaintSeparator", r, i, horizontal ? 1 : 0, line ? 1 : 0);
    }
    void PaintToolbarFrame(TCanvas*, const TRect& r, const TTxToolbarFrameInfo& info) override {
        Record("PaintToolbarFrame", r, {}, static_cast<int>(info.ViewType), static_cast<int>(info.CloseButtonState));
    }
    void PaintFrameControl(TCanvas*, const TRect& r, int kind, int state, int) override {
        Record("PaintFrameControl", r, {}, kind, state);
    }
    void PaintStatusBarPart(TCanvas*, const TRect& r, int part) override { Record("PaintStatusBarPart", r, {}, part); }
    int IntegerMetric(int index) override {
        Record("IntegerMetric", {}, {}, index);
        auto it = IntegerMetrics.find(index);
        return it == IntegerMetrics.end() ? -1 : it->second;
    }
    bool BooleanMetric(int index) override {
        Record("BooleanMetric", {}, {}, index);
        auto it = BooleanMetrics.find(index);
        return it != BooleanMetrics.end() && it->second;
    }
    void SetupColorCache() override { ++ColorCacheBuilds; }

protected:
    explicit TTxRecordingTheme(const std::string& name) : TTxTheme(name) {}

private:
    TTxThemeCall& Record(const char* operation, const TRect& rect, const TTxItemInfo& item, int arg1 = 0,
                         int arg2 = 0) {
        Calls.push_back(TTxThemeCall{operation, rect, item, arg1, arg2, {}});
        return Calls.back();
    }
};

inline constinit const TTxRecordingTheme::TMetaClassType TTxRecordingTheme::ClassInfo_{
    std::type_identity<TTxRecordingTheme>{}, "TTxRecordingTheme", TTxTheme::StaticClass(),
    &TTxRecordingTheme::PublishedProperties_};
inline const gcl::TPropList& TTxRecordingTheme::PublishedProperties_() {
    return gcl::detail::InheritProperties(TTxTheme::StaticClass());
}

} // namespace qelvo::test
