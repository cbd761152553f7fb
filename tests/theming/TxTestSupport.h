// Shared pieces of the theming tests: starting the layer once, a 32-bit
// memory bitmap to paint into and read back, and a listener that records
// the messages it hears.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Init.h"
#include "theming/Tx.h"
#include "theming/TxRecordingTheme.h"
#include "theming/TxThemes.h"

namespace qelvo::test {

inline void StartThemingLayer() { gcl::InitializeUnits({&gcl::FormsUnit, &TxUnit}); }

// A hidden form for each test, the recording theme on demand, and the
// "Default" theme again afterwards.
class TThemedFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = gcl::TForm::Create(nullptr, 0);
        Form->SetBounds(40, 40, 420, 320);
    }
    void TearDown() override {
        Form->Free();
        SelectTheme("Default");
        UnregisterTheme("Recording");
    }
    TTxRecordingTheme* UseRecordingTheme() {
        if (!IsThemeRegistered("Recording")) RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
        SelectTheme("Recording");
        return static_cast<TTxRecordingTheme*>(CurrentTheme);
    }
    gcl::TForm* Form = nullptr;
};

// Switches visual styles for a scope (the manager refreshes and tells its listeners).
class TVisualStylesScope {
public:
    explicit TVisualStylesScope(bool on) : FOld(ThemeManager()->GetUseVisualStyles()) {
        ThemeManager()->SetUseVisualStyles(on);
    }
    ~TVisualStylesScope() { ThemeManager()->SetUseVisualStyles(FOld); }
    TVisualStylesScope(const TVisualStylesScope&) = delete;
    TVisualStylesScope& operator=(const TVisualStylesScope&) = delete;

private:
    bool FOld;
};

// A 32-bit bitmap filled with one colour; pixels read back as RGB TColors.
class TPaintTarget {
public:
    TPaintTarget(int w, int h, TColor fill = 0x00FF00FF) : FBitmap(std::make_unique<gcl::TBitmap>()) {
        FBitmap->SetPixelFormat(gcl::pf32bit);
        FBitmap->SetSize(w, h);
        Fill(fill);
    }
    gcl::TCanvas* Canvas() { return FBitmap->GetCanvas(); }
    HDC DC() { return Canvas()->GetHandle(); }
    void Fill(TColor color) {
        Canvas()->GetBrush()->SetColor(color);
        Canvas()->FillRect(TRect{0, 0, FBitmap->GetWidth(), FBitmap->GetHeight()});
    }
    TColor Pixel(int x, int y) {
        GdiFlush();
        const uint32_t p = static_cast<uint32_t*>(FBitmap->GetScanLine(y))[x];
        return RGBColor((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Number of pixels in the rectangle that differ from colour.
    int CountNot(const TRect& r, TColor color) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (Pixel(x, y) != color) ++n;
        return n;
    }
    int CountOf(const TRect& r, TColor color) { return r.Width() * r.Height() - CountNot(r, color); }
    gcl::TBitmap* Bitmap() { return FBitmap.get(); }

private:
    std::unique_ptr<gcl::TBitmap> FBitmap;
};

// Records (Msg, WParam, LParam) of every message dispatched to it.
class TMessageRecorder : public gcl::TObject {
public:
    struct TEntry {
        uint32_t Msg;
        uintptr_t WParam;
        intptr_t LParam;
        std::string Name;
        friend bool operator==(const TEntry&, const TEntry&) = default;
    };
    explicit TMessageRecorder(std::string name, std::vector<TEntry>* shared = nullptr)
        : FName(std::move(name)), FLog(shared ? shared : &FOwn) {}
    void Dispatch(gcl::TMessage& m) override {
        FLog->push_back({m.Msg, m.WParam, m.LParam, FName});
        if (OnMessage) OnMessage(this, m);
    }
    std::vector<TEntry> Of(uint32_t msg) const {
        std::vector<TEntry> out;
        for (const auto& e : *FLog)
            if (e.Msg == msg && e.Name == FName) out.push_back(e);
        return out;
    }
    void (*OnMessage)(TMessageRecorder*, gcl::TMessage&) = nullptr;
    void* Tag = nullptr;

private:
    std::string FName;
    std::vector<TEntry> FOwn;
    std::vector<TEntry>* FLog;
};

inline TColor Sys(TColor c) { return ResolveColor(c) & 0xFFFFFF; }

} // namespace qelvo::test
