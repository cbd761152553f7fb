// The class library and the list view's unit running for a whole suite,
// and a list view without a window made for each test.
#pragma once

#include <gtest/gtest.h>

#include "gcl/Forms.h"
#include "listview/GvListview.h"

namespace qelvo::test {

class GvUnitsFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        GvListviewUnit.Initialize();
    }
    static void TearDownTestSuite() {
        GvListviewUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }
};

class GvListviewFixture : public GvUnitsFixture {
protected:
    void SetUp() override { LV = TGvListview::Create(nullptr); }
    void TearDown() override { gcl::Free(LV); }

public:
    TGvListview* LV = nullptr;
};

} // namespace qelvo::test
