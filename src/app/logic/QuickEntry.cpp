// Quick-entry modes, text rewrites, the tag check list and panel placement.
#include "app/logic/QuickEntry.h"

#include <memory>
#include <unordered_map>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// Takes a leading "-" or "+" off Text.
std::string TakePriorityMark(std::string& text) {
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        std::string mark(1, text[0]);
        text.erase(0, 1);
        return mark;
    }
    return std::string();
}

} // namespace

TQuickModeLook QuickModeLook(TQuickMode mode) {
    if (mode == TQuickMode::Find) return {"Find:", FindImage, "Add ", AddImage};
    return {"Add:", AddImage, "Find", FindImage};
}

TQuickMode QuickModeFromImage(int modeImage) {
    return modeImage == FindImage ? TQuickMode::Find : TQuickMode::Add;
}

TQuickMode SwitchTarget(const std::string& switchCaption) {
    return switchCaption == "Find" ? TQuickMode::Find : TQuickMode::Add;
}

bool IsPlaceholderText(const std::string& text) {
    return text == NewTaskPlaceholder || text == SearchPlaceholder;
}

std::string QuickEntryText(const std::string& editText) {
    return editText == NewTaskPlaceholder ? std::string() : editText;
}

bool QuickEntryHasTitle(const std::string& text) {
    const std::unique_ptr<TuTask> task(TuTask::CreateFromString(text, false, false));
    return !task->Title.empty();
}

bool FitsCodePage(const std::wstring& text) { return gcl::AnsiToWide(gcl::WideToAnsi(text)) == text; }

std::string PickerDateFormat(const std::string& dateFormat, char dateSeparator) {
    std::string out;
    for (size_t i = 0; i < dateFormat.size(); ++i) {
        const char c = dateFormat[i];
        if (c == '"' || c == '\'') {
            // Quoted text: the picker quotes with single quotes, and a quote
            // inside is written twice.
            const size_t end = dateFormat.find(c, i + 1);
            const std::string text = dateFormat.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            out += '\'';
            for (char t : text) out += t == '\'' ? std::string("''") : std::string(1, t);
            out += '\'';
            if (end == std::string::npos) break;
            i = end;
        } else if (c == '/') {
            out += dateSeparator;
        } else if (c == 'm' || c == 'M') {
            out += 'M';
        } else if (c == 'D') {
            out += 'd';
        } else if (c == 'Y') {
            out += 'y';
        } else {
            out += c;
        }
    }
    return out;
}

std::string QuickDateRewrite(const std::string& text, bool checked, double date, double now) {
    std::string s = text;
    ExtractDue(s, false, true);
    const std::string mark = TakePriorityMark(s);
    if (!checked) return mark + s;
    const std::string day = gcl::DateToStr(date);
    if (day == gcl::DateToStr(now)) return mark + ";t;" + s;
    if (day == gcl::DateToStr(gcl::IncDay(now, 1))) return mark + ";t1;" + s;
    return mark + ";" + day + ";" + s;
}

std::string QuickTagsRewrite(const std::string& text, const std::string& tagsText) {
    const std::string tags = NormalizeTagList(tagsText);
    const std::string trimmed = gcl::Trim(tags);
    if (trimmed.empty() || trimmed[0] == ',') return text;
    std::string s = text;
    ExtractTags(s, true);
    const std::string mark = TakePriorityMark(s);
    return mark + "[" + tags + "]" + s;
}

std::string QuickPriorityRewrite(const std::string& text, int tag) {
    std::string s = text;
    TakePriorityMark(s);
    if (tag == 1) return "+" + s;
    if (tag == 2) return "-" + s;
    return s;
}

namespace {

template <class S, class C>
TDoubleKey DoubleKeyRuleOf(S& text, int& caret, C key, bool addMode) {
    if (!addMode || text.empty() || (key != C(';') && key != C('['))) return TDoubleKey::None;
    if (caret < 1 || caret > static_cast<int>(text.size())) return TDoubleKey::None;
    if (text[static_cast<size_t>(caret - 1)] != key) return TDoubleKey::None;
    text.erase(static_cast<size_t>(caret - 1), 1);
    --caret;
    return key == C(';') ? TDoubleKey::OpenDatePanel : TDoubleKey::OpenTagsPanel;
}

} // namespace

TDoubleKey DoubleKeyRule(std::string& text, int& caret, char key, bool addMode) {
    return DoubleKeyRuleOf(text, caret, key, addMode);
}

TDoubleKey DoubleKeyRule(std::wstring& text, int& caret, wchar_t key, bool addMode) {
    return DoubleKeyRuleOf(text, caret, key, addMode);
}

int TCheckListModel::IndexOf(const std::string& text) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (gcl::SameText(Items[i], text)) return static_cast<int>(i);
    return -1;
}

void TCheckListModel::SetItems(const std::vector<std::string>& items) {
    Items = items;
    Checked.assign(items.size(), false);
}

void FilterQuickTagsList(const std::string& text, TCheckListModel& checkList) {
    std::string t = gcl::Trim(text);
    if (!t.empty() && t[0] == ',') t.erase(0, 1);
    if (t.empty() || t.back() != ',') t += ',';
    checkList.Checked.assign(checkList.Items.size(), false);
    // Each tag is looked up at once among the lines (the first of a name,
    // A-Z case aside, as IndexOf finds it), and the text is walked, not
    // cut: a task of a hundred thousand tags took the panel minutes.
    std::unordered_map<std::string, size_t> lines;
    lines.reserve(checkList.Items.size());
    for (size_t i = 0; i < checkList.Items.size(); ++i) lines.emplace(gcl::LowerCase(checkList.Items[i]), i);
    // Every tag but a last one of less than two characters with its comma.
    for (size_t pos = 0; t.size() - pos >= 2;) {
        const size_t comma = t.find(',', pos);
        const auto line = lines.find(gcl::LowerCase(gcl::Trim(t.substr(pos, comma - pos))));
        if (line != lines.end()) checkList.Checked[line->second] = true;
        pos = comma + 1;
    }
}

std::string CheckedTagsText(const TCheckListModel& checkList) {
    std::string out;
    for (size_t i = 0; i < checkList.Items.size() && i < checkList.Checked.size(); ++i)
        if (checkList.Checked[i]) {
            if (!out.empty()) out += ',';
            out += checkList.Items[i];
        }
    return out;
}

bool IsQuickTagsKeySwallowed(char c) {
    return c == '[' || c == ']' || c == ';';
}

bool DropSwallowedTagMarks(std::wstring& text, int& caret) {
    size_t kept = 0;
    int before = 0;  // dropped before the caret
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x80 && IsQuickTagsKeySwallowed(static_cast<char>(c))) {
            if (static_cast<int>(i) < caret) ++before;
            continue;
        }
        text[kept++] = c;
    }
    const bool dropped = kept != text.size();
    text.resize(kept);
    caret -= before;
    return dropped;
}

TPoint32 ShowPanelPosition(TPoint32 point, int panelWidth, int panelHeight, int clientWidth, int clientHeight) {
    TPoint32 p;
    p.Y = point.Y;
    if (point.Y + panelHeight > clientHeight) p.Y -= panelHeight;
    // A point outside the client area (a floating quick-entry bar's) keeps
    // the panel inside it, the top-left corner first.
    if (p.Y + panelHeight > clientHeight) p.Y = clientHeight - panelHeight;
    if (p.Y < 0) p.Y = 0;
    p.X = point.X;
    if (point.X + panelWidth > clientWidth) p.X -= panelWidth;
    if (p.X + panelWidth > clientWidth) p.X = clientWidth - panelWidth;
    if (p.X < 0) p.X = 0;
    return p;
}

} // namespace qelvo
