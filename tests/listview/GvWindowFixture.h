// A list view with a window on a hidden parent, for the tests that lay
// out, scroll and paint; the class library and the list view's unit run
// for the whole suite.
#pragma once

#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <memory>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"
#include "support/WindowTest.h"

namespace qelvo::test {

class GvWindowFixture : public GvUnitsFixture {
protected:
    void SetUp() override { MakeListview(300, 200); }
    void TearDown() override {
        gcl::Free(LV);
        Parent.reset();
    }
    // A list view of Width x Height without a bevel, its window created.
    void MakeListview(int Width, int Height) {
        Parent = std::make_unique<HiddenTestWindow>();
        LV = TGvListview::Create(nullptr);
        LV->SetBounds(0, 0, Width, Height);
        LV->SetBevelKind(gcl::bkNone);
        LV->SetParentWindow(static_cast<HWND>(Parent->Handle()));
        LV->HandleNeeded();
    }

    std::unique_ptr<HiddenTestWindow> Parent;
    TGvListview* LV = nullptr;
};

} // namespace qelvo::test
