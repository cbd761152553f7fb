// Check boxes and radio buttons drawn from glyphs: a box painted from its
// kept picture is, pixel for pixel, the box its glyphs draw, for every
// look, over any background, shifted and clipped.
#include <gtest/gtest.h>

#include "gcl/Graphics.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"
#include "listview/LvCommonUtilities.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;
using qelvo::test::PixelCanvas;

namespace {

class GvCheckBoxPaintTest : public qelvo::test::GvUnitsFixture {};

// What a box drawn glyph by glyph looks like, with the colours the list
// view's painter gives each look.
void DrawnBox(gcl::TCanvas* canvas, TGvCheckType type, TPoint at, int size, bool enabled, bool checked, bool flat) {
    using namespace gcl;
    TColor outerLight = cl3DLight, outerDark = cl3DDkShadow, innerLight = clBtnHighlight, innerDark = clBtnShadow;
    if (flat) outerLight = outerDark = innerLight = innerDark = enabled ? clBlack : clBtnShadow;
    const TColor background = enabled ? clWhite : clBtnFace;
    if (type == ectBox)
        DrawCheckBox(canvas, at, size, outerLight, outerDark, innerLight, innerDark, clBtnFace, background, checked,
                     enabled);
    else
        DrawRadioButton(canvas, at, size, outerLight, outerDark, innerLight, innerDark, clBtnFace, background,
                        checked, enabled);
}

TEST_F(GvCheckBoxPaintTest, AKeptBoxIsTheBoxItsGlyphsDraw) {
    int looks = 0;
    for (TGvCheckType type : {ectBox, ectRadio})
        for (int size : {11, 13})
            for (int look = 0; look < 8; ++look)
                for (COLORREF fill : {RGB(255, 255, 255), RGB(10, 36, 106)}) {
                    const bool enabled = look & 1, checked = look & 2, flat = look & 4;
                    SCOPED_TRACE(testing::Message() << "type " << type << " size " << size << " look " << look
                                                    << " fill " << fill);
                    PixelCanvas painted(48, 48, fill), drawn(48, 48, fill);
                    for (PixelCanvas* c : {&painted, &drawn}) {
                        c->Canvas()->GetFont()->SetName("Tahoma");
                        c->Canvas()->GetFont()->SetSize(9);
                    }
                    // Twice: the second box comes from what the first kept.
                    for (int pass = 0; pass < 2; ++pass) {
                        const TRect r{6 + 20 * pass, 5, 6 + 20 * pass + size, 5 + size};
                        PaintCheckBox(type, nullptr, r, painted.Canvas(), enabled, checked, false, false, flat, size);
                        DrawnBox(drawn.Canvas(), type, TPoint{r.Left, r.Top}, size, enabled, checked, flat);
                    }
                    ASSERT_TRUE(painted.SameAs(drawn));
                    ++looks;
                }
    EXPECT_EQ(looks, 64);
}

TEST_F(GvCheckBoxPaintTest, AKeptBoxFollowsTheOriginAndTheClip) {
    for (bool checked : {false, true}) {
        PixelCanvas painted(40, 40), drawn(40, 40);
        for (PixelCanvas* c : {&painted, &drawn}) {
            // A list view paints in view units through a moved origin,
            // clipped to the area that needs it.
            SetWindowOrgEx(c->DC(), 30, -4, nullptr);
            IntersectClipRect(c->DC(), 33, 0, 60, 10);
        }
        const TRect r{32, 2, 45, 15};
        PaintCheckBox(ectBox, nullptr, r, painted.Canvas(), true, checked, false, false, false, 13);
        DrawnBox(drawn.Canvas(), ectBox, TPoint{r.Left, r.Top}, 13, true, checked, false);
        EXPECT_TRUE(painted.SameAs(drawn));
        // Something was drawn, and only inside the clip.
        EXPECT_GT(painted.CountOf(RGB(255, 255, 255)), 0);
        EXPECT_LT(painted.CountOf(RGB(255, 255, 255)), 40 * 40);
        for (int y = 0; y < 40; ++y) EXPECT_EQ(painted.At(2, y), RGB(255, 255, 255));
    }
}

} // namespace
