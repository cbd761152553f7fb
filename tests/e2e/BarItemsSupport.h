// The items of a toolbar, a menu bar or a popup menu of the program as a
// screen reader reads them (their names, states and places), asked
// through the accessibility interface the bars offer.
#pragma once

#include <oleacc.h>

#include <string>
#include <vector>

#include "e2e/E2eDriver.h"

namespace qelvo::e2e {

// A toolbar read as a screen reader reads it: its items' names, whether
// each shows, is checked and is the one selected, and where.
struct TBarItem {
    std::string Name;
    bool Visible = false, Checked = false, Selected = false;
    RECT Place{};
};

struct TComScope {
    TComScope() { CoInitialize(nullptr); }
    ~TComScope() { CoUninitialize(); }
};

inline std::vector<TBarItem> ItemsOf(HWND bar) {
    std::vector<TBarItem> items;
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(bar, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc))) ||
        !acc)
        return items;
    long count = 0;
    acc->get_accChildCount(&count);
    for (long i = 1; i <= count; ++i) {
        VARIANT id{};
        id.vt = VT_I4;
        id.lVal = i;
        IDispatch* d = nullptr;
        if (FAILED(acc->get_accChild(id, &d)) || !d) continue;
        IAccessible* child = nullptr;
        d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child));
        d->Release();
        if (!child) continue;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        TBarItem item;
        BSTR name = nullptr;
        if (child->get_accName(self, &name) == S_OK && name) {
            for (const wchar_t* c = name; *c; ++c) item.Name += static_cast<char>(*c);
            SysFreeString(name);
        }
        VARIANT state{};
        if (child->get_accState(self, &state) == S_OK) {
            item.Visible = !(state.lVal & STATE_SYSTEM_INVISIBLE);
            item.Checked = (state.lVal & STATE_SYSTEM_CHECKED) != 0;
            item.Selected = (state.lVal & STATE_SYSTEM_HOTTRACKED) != 0;
        }
        long x = 0, y = 0, w = 0, h = 0;
        if (item.Visible && child->accLocation(&x, &y, &w, &h, self) == S_OK) item.Place = RECT{x, y, x + w, y + h};
        child->Release();
        items.push_back(item);
    }
    acc->Release();
    return items;
}

inline TBarItem ItemNamed(HWND bar, const std::string& prefix) {
    for (const TBarItem& item : ItemsOf(bar))
        if (item.Name.compare(0, prefix.size(), prefix) == 0) return item;
    return {};
}

// The name of the item selected in Bar, empty when none is.
inline std::string SelectedItemOf(HWND bar) {
    for (const TBarItem& item : ItemsOf(bar))
        if (item.Selected) return item.Name;
    return {};
}

} // namespace qelvo::e2e
