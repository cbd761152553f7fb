// Building the program's menus and toolbars: a toolbar, an item of a
// class, an item showing an action, an item with its own caption, tag and
// click handler, and a separator, each appended to a parent item.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/XtBars.h"
#include "controls/XtItem.h"
#include "gcl/ActnList.h"
#include "gcl/rtl/Strings.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

// A user's text (a list, tag or task name) as a menu, bar or panel caption:
// an "&" in it stays an ampersand instead of marking the next letter as the
// shortcut. NameOfCaption gives the text back.
inline std::wstring CaptionOfName(const std::string& name) { return gcl::AnsiToWide(DoubleAmpersands(name)); }
inline std::string NameOfCaption(const std::string& caption) {
    std::string name;
    name.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        name += caption[i];
        if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') ++i;
    }
    return name;
}

// A toolbar built in code, named Name. Its items give way to the chevron
// from the bar's end, as the items of a bar loaded from a form do (items
// added one by one would otherwise rank first, and the bar's first item
// would go first).
inline TXtToolbar* NewToolbar(gcl::TComponent* owner, const char* name) {
    TXtToolbar* bar = TXtToolbar::Create(owner);
    bar->SetName(name);
    bar->SetChevronPriorityForNewItems(tbcpLowest);
    return bar;
}

// An item of class T with an optional caption.
template <class T>
T* AddItem(gcl::TComponent* owner, TBarCustomItem* parent, const wchar_t* caption = nullptr) {
    T* item = T::Create(owner);
    if (caption) item->SetCaption(caption);
    parent->Add(item);
    return item;
}

inline TXtItem* AddActionItem(gcl::TComponent* owner, TBarCustomItem* parent, gcl::TBasicAction* action) {
    TXtItem* item = TXtItem::Create(owner);
    item->SetAction(action);
    parent->Add(item);
    return item;
}

inline TXtItem* AddClickItem(gcl::TComponent* owner, TBarCustomItem* parent, const std::string& caption,
                             intptr_t tag, gcl::TNotifyEvent onClick) {
    TXtItem* item = TXtItem::Create(owner);
    item->SetCaption(gcl::AnsiToWide(caption));
    item->SetTag(tag);
    item->SetOnClick(onClick);
    parent->Add(item);
    return item;
}

// Items of a context menu that show an action under a caption of their own
// (the command and its key, "Delete      Del"). An action that changes
// (enabled or not, a new shortcut, a handler) gives its items its own
// caption again, so the menu puts theirs back each time it opens.
class TMenuCaptions {
public:
    TXtItem* Add(gcl::TComponent* owner, TBarCustomItem* parent, gcl::TBasicAction* action, const std::wstring& caption) {
        TXtItem* item = AddActionItem(owner, parent, action);
        item->SetCaption(caption);
        FItems.emplace_back(item, caption);
        return item;
    }
    void Restore() const {
        for (const auto& [item, caption] : FItems) item->SetCaption(caption);
    }

private:
    std::vector<std::pair<TXtItem*, std::wstring>> FItems;
};

inline void AddSeparator(gcl::TComponent* owner, TBarCustomItem* parent) {
    parent->Add(TXtSeparatorItem::Create(owner));
}

} // namespace qelvo
