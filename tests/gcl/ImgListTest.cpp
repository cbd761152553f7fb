// Image lists: masked adding, overlays, greyed, mask and blended drawing,
// loading bitmap strips, and change links.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gcl/ImgList.h"
#include "support/TestEnvironment.h"
#include "support/PixelCanvas.h"

using namespace gcl;

using qelvo::test::PixelAt;

namespace {

void Fill(TBitmap& bitmap, TPixelFormat format, int width, int height, TColor color) {
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(width, height);
    bitmap.GetCanvas()->GetBrush()->SetColor(color);
    bitmap.GetCanvas()->FillRect(Rect(0, 0, width, height));
}

// A magenta 8x8 cell with one coloured block.
void Cell(TBitmap& bitmap, TColor color, const TRect& block) {
    Fill(bitmap, pf24bit, 8, 8, clFuchsia);
    bitmap.GetCanvas()->GetBrush()->SetColor(color);
    bitmap.GetCanvas()->FillRect(block);
}

struct LinkProbe {
    int Changes = 0;
    TObject* LastSender = nullptr;
    TChangeLink* ToDrop = nullptr;
    TCustomImageList* List = nullptr;
    void Changed(TObject* sender) {
        ++Changes;
        LastSender = sender;
        if (ToDrop) List->UnRegisterChanges(ToDrop);
    }
};

// Writes a 24-bit bottom-up BMP file of two 16x16 cells on magenta: a red
// block in the first, a blue one in the second.
void WriteStrip(const std::string& path) {
    const int width = 32, height = 16, stride = width * 3;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[static_cast<size_t>(height - 1 - y) * stride + x * 3];  // B, G, R
            const bool block = (x % 16) >= 4 && (x % 16) < 12 && y >= 4 && y < 12;
            p[0] = block ? (x < 16 ? 0x00 : 0xFF) : 0xFF;
            p[1] = 0x00;
            p[2] = block ? (x < 16 ? 0xFF : 0x00) : 0xFF;
        }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
}

// Writes a one-bit 32x16 BMP (palette 0 black, 1 white): two 16x16 cells on
// black, each with a white 4x4 glyph at (6, 6).
void WriteGlyphs(const std::string& path) {
    const int width = 32, height = 16, stride = 4;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * height, 0);
    for (int y = 6; y < 10; ++y)
        for (int x = 0; x < width; ++x)
            if (x % 16 >= 6 && x % 16 < 10) rows[static_cast<size_t>(height - 1 - y) * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const RGBQUAD palette[2] = {{0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0}};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info + sizeof palette;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 1;
    info.biClrUsed = 2;
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(palette, sizeof palette, 1, f);
    std::fwrite(rows.data(), 1, rows.size(), f);
    std::fclose(f);
}

} // namespace

TEST(ImageLists, MasksOverlaysAndDrawingStyles) {
    TImageList* list = TImageList::CreateSize(8, 8);
    TBitmap square, dot;
    Cell(square, clRed, Rect(2, 2, 6, 6));
    Cell(dot, clBlue, Rect(6, 6, 8, 8));
    EXPECT_EQ(list->AddMasked(&square, clFuchsia), 0);
    EXPECT_EQ(list->AddMasked(&dot, clDefault), 1);  // the bottom-left pixel: magenta
    EXPECT_EQ(PixelAt(square, 0, 0), clFuchsia);     // the caller's bitmap is left alone
    EXPECT_EQ(list->GetCount(), 2);

    // The overlay draws on top of the image; masked pixels stay transparent.
    ASSERT_TRUE(list->Overlay(1, 0));
    TBitmap target;
    Fill(target, pf32bit, 8, 8, clWhite);
    list->DrawOverlay(target.GetCanvas(), 0, 0, 0, 0);
    EXPECT_EQ(PixelAt(target, 3, 3), clRed);
    EXPECT_EQ(PixelAt(target, 7, 7), clBlue);
    EXPECT_EQ(PixelAt(target, 0, 0), clWhite);
    Fill(target, pf32bit, 8, 8, clWhite);
    list->Draw(target.GetCanvas(), 0, 0, 0);
    EXPECT_EQ(PixelAt(target, 7, 7), clWhite);

    // Disabled: the shape embossed in the 3-D colours.
    Fill(target, pf32bit, 8, 8, clBtnFace);
    list->Draw(target.GetCanvas(), 0, 0, 0, false);
    EXPECT_EQ(PixelAt(target, 3, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(target, 6, 6), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(target, 0, 0), ColorToRGB(clBtnFace));

    // The mask alone, into a monochrome bitmap: opaque pixels black.
    TBitmap mask;
    mask.SetMonochrome(true);
    mask.SetSize(8, 8);
    PatBlt(mask.GetCanvas()->GetHandle(), 0, 0, 8, 8, WHITENESS);
    list->Draw(mask.GetCanvas(), 0, 0, 0, dsNormal, itMask);
    EXPECT_EQ(PixelAt(mask, 3, 3), clBlack);
    EXPECT_EQ(PixelAt(mask, 0, 0), clWhite);

    // Blended with the blend colour.
    list->SetBlendColor(clBlue);
    Fill(target, pf32bit, 8, 8, clWhite);
    list->Draw(target.GetCanvas(), 0, 0, 0, dsSelected, itImage);
    int plainRed = 0;  // blending may dither or mix: either way not all red
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) plainRed += PixelAt(target, x, y) == clRed;
    EXPECT_LT(plainRed, 16);

    TIcon icon;
    list->GetIcon(0, &icon);
    EXPECT_EQ(icon.GetWidth(), 8);
    list->Delete(1);
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_THROW(list->Delete(1), EInvalidOperation);
    EXPECT_THROW(list->ReplaceMasked(3, &square, clFuchsia), EInvalidOperation);
    list->ReplaceMasked(0, &dot, clFuchsia);
    Fill(target, pf32bit, 8, 8, clWhite);
    list->Draw(target.GetCanvas(), 0, 0, 0);
    EXPECT_EQ(PixelAt(target, 7, 7), clBlue);
    EXPECT_EQ(PixelAt(target, 3, 3), clWhite);

    HIMAGELIST handle = list->GetHandle();
    list->SetSize(16, 16);  // same handle, no images
    EXPECT_EQ(list->GetHandle(), handle);
    EXPECT_EQ(list->GetCount(), 0);
    list->Free();
}

TEST(ImageLists, ChangeLinksAndLifetime) {
    TImageList* list = TImageList::Create(nullptr);
    LinkProbe probe, other;
    probe.List = list;
    auto* link = new TChangeLink;
    auto* second = new TChangeLink;
    link->OnChange = TNotifyEvent(&probe, &LinkProbe::Changed);
    second->OnChange = TNotifyEvent(&other, &LinkProbe::Changed);
    list->RegisterChanges(link);
    list->RegisterChanges(second);
    EXPECT_EQ(link->GetSender(), list);

    TBitmap image;
    Fill(image, pf24bit, 16, 16, clRed);
    list->Add(&image, nullptr);
    EXPECT_EQ(probe.Changes, 1);
    EXPECT_EQ(probe.LastSender, list);
    EXPECT_EQ(other.Changes, 1);

    // A handler that drops another link: the dropped one is not called.
    probe.ToDrop = second;
    list->SetBkColor(clWhite);
    EXPECT_EQ(probe.Changes, 2);
    EXPECT_EQ(other.Changes, 1);
    EXPECT_EQ(second->GetSender(), nullptr);
    probe.ToDrop = nullptr;

    // A freed link unregisters itself.
    delete link;
    list->Clear();
    EXPECT_EQ(probe.Changes, 2);

    // Freeing the list clears references and links' senders.
    list->RegisterChanges(second);
    TComponentRef<TImageList> ref(list);
    list->Free();
    EXPECT_EQ(ref.Get(), nullptr);
    EXPECT_EQ(second->GetSender(), nullptr);
    delete second;
}

TEST(ImageLists, AChangeStampIsNeverTheSameTwice) {
    // Every state of every list has a number of its own, so that a
    // picture drawn from a list may be kept while its number stays.
    std::vector<uint64_t> seen;
    auto fresh = [&seen](const TCustomImageList* l) {
        const bool isNew = std::find(seen.begin(), seen.end(), l->GetChangeStamp()) == seen.end();
        seen.push_back(l->GetChangeStamp());
        return isNew;
    };
    TImageList* list = TImageList::CreateSize(16, 16);
    TImageList* other = TImageList::CreateSize(16, 16);
    EXPECT_TRUE(fresh(list) && fresh(other));
    list->HandleNeeded();
    EXPECT_TRUE(fresh(list));
    list->GetCount();
    EXPECT_EQ(list->GetChangeStamp(), seen.back());  // reading changes nothing
    TBitmap red;
    Fill(red, pf24bit, 16, 16, clRed);
    list->Add(&red, nullptr);
    EXPECT_TRUE(fresh(list));
    list->Replace(0, &red, nullptr);
    EXPECT_TRUE(fresh(list));
    list->SetSize(12, 12);
    EXPECT_TRUE(fresh(list));
    // Another list that takes the handle over.
    HIMAGELIST handle = list->GetHandle();
    list->SetShareImages(true);
    list->SetHandle(nullptr);
    EXPECT_TRUE(fresh(list));
    other->SetHandle(handle);
    EXPECT_TRUE(fresh(other));
    list->Free();
    other->Free();
}

TEST(ImageLists, LoadsBitmapStrips) {
    qelvo::test::TempDir dir;
    const std::string path = dir.File("strip.bmp");
    WriteStrip(path);

    TImageList* list = TImageList::Create(nullptr);
    EXPECT_FALSE(list->GetInstRes(nullptr, rtBitmap, dir.File("missing.bmp"), 16, {lrFromFile}, clFuchsia));
    ASSERT_TRUE(list->GetInstRes(nullptr, rtBitmap, path, 16, {lrFromFile}, clFuchsia));
    EXPECT_EQ(list->GetWidth(), 16);
    EXPECT_EQ(list->GetHeight(), 16);
    EXPECT_EQ(list->GetCount(), 2);

    TBitmap target;
    Fill(target, pf32bit, 32, 16, clWhite);
    list->Draw(target.GetCanvas(), 0, 0, 0);
    list->Draw(target.GetCanvas(), 16, 0, 1);
    EXPECT_EQ(PixelAt(target, 8, 8), clRed);
    EXPECT_EQ(PixelAt(target, 24, 8), clBlue);
    EXPECT_EQ(PixelAt(target, 1, 1), clWhite);
    EXPECT_EQ(PixelAt(target, 17, 1), clWhite);
    // A 24-bit strip loaded straight into the list draws as the same
    // strip added masked from a bitmap, pixel for pixel, on any ground.
    {
        TBitmap strip;
        HANDLE loaded = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(loaded, nullptr);
        strip.SetHandle(static_cast<HBITMAP>(loaded));
        TImageList* added = TImageList::Create(nullptr);
        added->SetSize(16, 16);
        EXPECT_EQ(added->AddMasked(&strip, clFuchsia), 0);
        TBitmap a, b;
        Fill(a, pf32bit, 32, 16, clGreen);
        Fill(b, pf32bit, 32, 16, clGreen);
        for (int i = 0; i < 2; ++i) {
            list->Draw(a.GetCanvas(), 16 * i, 0, i);
            added->Draw(b.GetCanvas(), 16 * i, 0, i);
        }
        int differing = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) differing += PixelAt(a, x, y) != PixelAt(b, x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(PixelAt(a, 1, 1), clGreen);
        added->Free();
    }

    // One-bit glyphs with white as the mask colour: the glyph is the
    // transparent part, and its shape comes out as the mask.
    TImageList* glyphs = TImageList::Create(nullptr);
    WriteGlyphs(dir.File("glyphs.bmp"));
    ASSERT_TRUE(glyphs->GetInstRes(nullptr, rtBitmap, dir.File("glyphs.bmp"), 16, {lrFromFile}, clWhite));
    EXPECT_EQ(glyphs->GetCount(), 2);
    Fill(target, pf32bit, 32, 16, clRed);
    glyphs->Draw(target.GetCanvas(), 16, 0, 1);
    EXPECT_EQ(PixelAt(target, 16 + 7, 7), clRed);
    EXPECT_EQ(PixelAt(target, 16 + 1, 1), clBlack);
    TBitmap shape;
    shape.SetMonochrome(true);
    shape.SetSize(16, 16);
    PatBlt(shape.GetCanvas()->GetHandle(), 0, 0, 16, 16, WHITENESS);
    glyphs->Draw(shape.GetCanvas(), 0, 0, 1, dsNormal, itMask);
    EXPECT_EQ(PixelAt(shape, 7, 7), clWhite);
    EXPECT_EQ(PixelAt(shape, 1, 1), clBlack);
    glyphs->Free();

    TImageList* copy = TImageList::Create(nullptr);
    copy->Assign(list);
    EXPECT_EQ(copy->GetCount(), 2);
    EXPECT_NE(copy->GetHandle(), list->GetHandle());
    list->Free();
    Fill(target, pf32bit, 32, 16, clWhite);
    copy->Draw(target.GetCanvas(), 0, 0, 0);
    EXPECT_EQ(PixelAt(target, 8, 8), clRed);
    copy->Free();
}
