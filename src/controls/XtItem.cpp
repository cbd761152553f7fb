// The start-up and shut-down of the extended controls' shared resources.
#include "controls/XtItem.h"

#include "gcl/Forms.h"

namespace qelvo {

namespace {

HCURSOR LoadProgramCursor(const char* name, const char* fallback) {
    if (HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), name)) return cursor;
    return LoadCursorA(nullptr, fallback);
}

void LoadGlyphs() {
    XtGlyphs = gcl::TImageList::Create(nullptr);
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (!FindResourceA(module, "XTGLYPHS", MAKEINTRESOURCEA(2))) return;  // RT_BITMAP
    gcl::TBitmap bitmap;
    bitmap.LoadFromResourceName(module, "XTGLYPHS");
    const int size = bitmap.GetHeight();
    if (size <= 0) return;
    XtGlyphs->SetSize(size, size);
    XtGlyphs->AddMasked(&bitmap, 0xFF00FF);
}

void FinalizeXtItem() {
    if (XtGlyphs) XtGlyphs->Free();
    XtGlyphs = nullptr;
    delete XtSkinOptions;
    XtSkinOptions = nullptr;
    if (XtThemeNexus) XtThemeNexus->Free();
    XtThemeNexus = nullptr;
    delete XtHintBitmap;
    XtHintBitmap = nullptr;
    XtHandCursor = nullptr;
    TxUnit.Finalize();
}

void InitializeXtItem() {
    TxUnit.Initialize();
    try {
        XtHintBitmap = new gcl::TBitmap();
        XtHandCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
        if (gcl::Screen) {
            gcl::Screen->SetCursors(crXtMove, LoadProgramCursor("CZMOVE", MAKEINTRESOURCEA(32646)));      // IDC_SIZEALL
            gcl::Screen->SetCursors(crXtCancel, LoadProgramCursor("CZCANCEL", MAKEINTRESOURCEA(32648)));  // IDC_NO
        }
        XtThemeNexus = TXtThemeNexus::Create();
        XtSkinOptions = new TXtSkinOptions();
        LoadGlyphs();
    } catch (...) {
        FinalizeXtItem();
        throw;
    }
}

} // namespace

gcl::TUnit XtItemUnit{"XtItem", &InitializeXtItem, &FinalizeXtItem};

} // namespace qelvo
