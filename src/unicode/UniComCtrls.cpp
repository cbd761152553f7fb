#include "gcl/rtl/WinApi.h"

#include "unicode/UniComCtrls.h"

#include <algorithm>
#include <cstring>

#include "gcl/Forms.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "unicode/UniActnList.h"
#include "unicode/UniControls.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniSystem.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TUniTreeNode)
GCL_IMPLEMENT_CLASS(TUniTreeNodes)
GCL_IMPLEMENT_CLASS(_UniInternalCustomTreeView)
GCL_IMPLEMENT_CLASS(TUniCustomTreeView)

namespace {

// Deeper node streams are refused: a hostile stream could otherwise
// exhaust the stack.
constexpr int kMaxNodeDepth = 4096;
// The six Int32 fields of a node record, then its length byte.
constexpr int32_t kRecordHead = 24 + 1;
// The largest node record: the fields, the length byte and 255 bytes.
constexpr int32_t kMaxNodeRecord = kRecordHead + 255;
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkSize = 3;
// The tooltip's own text buffer before common controls 4.71.
constexpr size_t kTipBufferSize = 80;
constexpr unsigned kComCtl471 = (4u << 16) | 71u;
const wchar_t kEditorProp[] = L"Qelvo.UniTreeView.Editor";

// The class library's default node comparison, taken from the first
// TVM_SORTCHILDRENCB a new tree sends while it captures it.
PFNTVCOMPARE GDefaultCompare = nullptr;

int32_t ReadInt32(gcl::TStream& stream) {
    int32_t value = 0;
    stream.ReadBuffer(&value, sizeof value);
    return value;
}

void WriteInt32(gcl::TStream& stream, int32_t value) { stream.WriteBuffer(&value, sizeof value); }

[[noreturn]] void RaiseReadError() { throw gcl::EReadError(gcl::msg::ReadError); }

bool IsHighSurrogate(wchar_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

// At most Count units of Text, one fewer when that would end inside a
// surrogate pair.
size_t WholeCharacters(const std::wstring& text, size_t count) noexcept {
    if (count >= text.size()) return text.size();
    if (count > 0 && IsHighSurrogate(text[count - 1]) && IsLowSurrogate(text[count])) --count;
    return count;
}

void SetNodeAnsiText(gcl::TObject* obj, const std::string& value) {
    static_cast<gcl::TTreeNode*>(obj)->SetText(value);
}

TUniTreeNode* AsUni(gcl::TTreeNode* node) noexcept { return dynamic_cast<TUniTreeNode*>(node); }

// The collection's reading flag for the lifetime of the object.
class TReadingScope {
public:
    explicit TReadingScope(gcl::TTreeNodes& nodes) noexcept : FNodes(nodes), FOld(nodes.GetReading()) {
        nodes.SetReading(true);
    }
    ~TReadingScope() { FNodes.SetReading(FOld); }
    TReadingScope(const TReadingScope&) = delete;
    TReadingScope& operator=(const TReadingScope&) = delete;

private:
    gcl::TTreeNodes& FNodes;
    bool FOld;
};

// The parts of a notification's item that find its node.
TVITEMA ItemKey(const TVITEMW& item) noexcept {
    TVITEMA key{};
    key.mask = item.mask;
    key.hItem = item.hItem;
    key.lParam = item.lParam;
    return key;
}

UINT AnsiNotificationCode(UINT code) noexcept {
    switch (code) {
    case TVN_DELETEITEMW:
        return TVN_DELETEITEMA;
    case TVN_BEGINDRAGW:
        return TVN_BEGINDRAGA;
    case TVN_ITEMEXPANDEDW:
        return TVN_ITEMEXPANDEDA;
    case TVN_ITEMEXPANDINGW:
        return TVN_ITEMEXPANDINGA;
    default:
        return code;
    }
}

// The version of the loaded common controls as major << 16 | minor (0
// when it cannot be asked).
unsigned ComCtlVersion() {
    static const unsigned version = [] {
        struct TDllVersionInfo {
            DWORD cbSize;
            DWORD dwMajorVersion;
            DWORD dwMinorVersion;
            DWORD dwBuildNumber;
            DWORD dwPlatformID;
        };
        static gcl::TSystemLibrary comctl32{"comctl32.dll"};
        static gcl::TLibraryProc<HRESULT(CALLBACK*)(TDllVersionInfo*)> dllGetVersion{comctl32, "DllGetVersion"};
        auto get = dllGetVersion.Get();
        TDllVersionInfo info{};
        info.cbSize = sizeof info;
        if (!get || FAILED(get(&info))) return 0u;
        return static_cast<unsigned>((info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF));
    }();
    return version;
}

// The wide node comparison that replaces the class library's default
// one: OnCompare when the tree has one, else lstrcmpW of the wide texts.
int CALLBACK WideTreeViewSort(LPARAM node1, LPARAM node2, LPARAM data) {
    auto* n1 = reinterpret_cast<gcl::TTreeNode*>(node1);
    auto* n2 = reinterpret_cast<gcl::TTreeNode*>(node2);
    if (!n1 || !n2) return 0;
    gcl::TCustomTreeView* tree = n1->GetTreeView();
    int result = 0;
    GCL_GUARD(tree, {
        if (tree && tree->OnCompare)
            tree->OnCompare(tree, n1, n2, static_cast<intptr_t>(data), result);
        else
            result = lstrcmpW(TUniTreeNodes::WideTextOf(n1).c_str(), TUniTreeNodes::WideTextOf(n2).c_str());
    });
    return result;
}

} // namespace

// ---- TUniTreeNode --------------------------------------------------------------------

std::wstring TUniTreeNode::GetText() const { return GetSyncedWideString(FWideText, inherited::GetText()); }

void TUniTreeNode::SetText(const std::wstring& value) {
    SetSyncedWideString(value, FWideText, inherited::GetText(), &SetNodeAnsiText, this);
}

void TUniTreeNode::Assign(gcl::TPersistent* source) {
    inherited::Assign(source);
    if (GetDeleting()) return;
    if (auto* node = dynamic_cast<TUniTreeNode*>(source)) SetText(node->GetText());
}

TUniTreeNode* TUniTreeNode::GetItem(int index) const { return AsUni(inherited::GetItem(index)); }

TUniTreeNode* TUniTreeNode::GetNext() const noexcept { return AsUni(inherited::GetNext()); }

TUniTreeNode* TUniTreeNode::GetNextSibling() const noexcept { return AsUni(inherited::GetNextSibling()); }

TUniTreeNode* TUniTreeNode::GetPrevSibling() const noexcept { return AsUni(inherited::GetPrevSibling()); }

TUniTreeNodes* TUniTreeNode::GetNodes() const noexcept { return dynamic_cast<TUniTreeNodes*>(inherited::GetNodes()); }

TUniCustomTreeView* TUniTreeNode::GetTreeView() const noexcept {
    return dynamic_cast<TUniCustomTreeView*>(inherited::GetTreeView());
}

// ---- TUniTreeNodes -------------------------------------------------------------------

// The node comes with the 8-bit form of its text, so that the window
// learns it with the node: for most texts the wide text then changes
// nothing more (each word to the window about one item costs it a search
// among all items on some systems).
TUniTreeNode* TUniTreeNodes::Add(TUniTreeNode* sibling, const std::wstring& s) {
    TUniTreeNode* node = AsUni(inherited::Add(sibling, gcl::WideToAnsi(s)));
    if (node) node->SetText(s);
    return node;
}

TUniTreeNode* TUniTreeNodes::AddChild(TUniTreeNode* parent, const std::wstring& s) {
    TUniTreeNode* node = AsUni(inherited::AddChild(parent, gcl::WideToAnsi(s)));
    if (node) node->SetText(s);
    return node;
}

TUniTreeNode* TUniTreeNodes::GetItem(int absoluteIndex) const { return AsUni(inherited::GetItem(absoluteIndex)); }

TUniTreeNode* TUniTreeNodes::GetFirstNode() const noexcept { return AsUni(inherited::GetFirstNode()); }

TUniTreeNode* TUniTreeNodes::GetNode(HTREEITEM itemId) const { return AsUni(inherited::GetNode(itemId)); }

std::wstring TUniTreeNodes::WideTextOf(const gcl::TTreeNode* node) {
    if (auto* uni = dynamic_cast<const TUniTreeNode*>(node)) return uni->GetText();
    return gcl::AnsiToWide(node->GetText());
}

void TUniTreeNodes::GetNodesText(TWideStrings* list) const {
    list->BeginUpdate();
    try {
        list->Clear();
        for (gcl::TTreeNode* node = inherited::GetFirstNode(); node; node = node->GetNext())
            list->Add(WideTextOf(node));
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

bool TUniTreeNodes::Utf8DataDiffers(gcl::TPersistent* ancestor) const {
    auto* other = dynamic_cast<gcl::TTreeNodes*>(ancestor);
    if (!other) return inherited::GetFirstNode() != nullptr;
    gcl::TTreeNode* a = inherited::GetFirstNode();
    gcl::TTreeNode* b = other->GetFirstNode();
    while (a && b) {
        if (a->GetData() != b->GetData() || WideTextOf(a) != WideTextOf(b)) return true;
        a = a->GetNext();
        b = b->GetNext();
    }
    return a || b;
}

void TUniTreeNodes::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    const bool hasData = filer.GetAncestor() ? Utf8DataDiffers(filer.GetAncestor()) : inherited::GetFirstNode() != nullptr;
    filer.DefineBinaryProperty("Utf8Data", gcl::TStreamProc(this, &TUniTreeNodes::ReadUtf8Data),
                               gcl::TStreamProc(this, &TUniTreeNodes::WriteUtf8Data), hasData);
}

std::string Utf8NodeRecordText(const std::wstring& text) {
    std::string result(kUtf8Mark, kUtf8MarkSize);
    size_t units = 0;
    while (units < text.size()) {
        size_t step = 1;
        if (IsHighSurrogate(text[units]) && units + 1 < text.size() && IsLowSurrogate(text[units + 1])) step = 2;
        if (units + step > 255) break;
        const std::string piece = WideStringToUTF8(text.substr(units, step));
        if (result.size() + piece.size() > 255) break;
        result += piece;
        units += step;
    }
    return result;
}

void TUniTreeNodes::WriteUtf8Node(gcl::TStream& stream, gcl::TTreeNode* node) {
    const std::string text = Utf8NodeRecordText(WideTextOf(node));
    const auto length = static_cast<uint8_t>(text.size());
    WriteInt32(stream, kRecordHead + length);
    WriteInt32(stream, node->GetImageIndex());
    WriteInt32(stream, node->GetSelectedIndex());
    WriteInt32(stream, node->GetStateIndex());
    WriteInt32(stream, node->GetOverlayIndex());
    WriteInt32(stream, static_cast<int32_t>(reinterpret_cast<intptr_t>(node->GetData())));
    WriteInt32(stream, node->GetCount());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(text.data(), length);
    for (int i = 0; i < node->GetCount(); ++i) WriteUtf8Node(stream, node->GetItem(i));
}

void TUniTreeNodes::WriteUtf8Data(gcl::TStream& stream) {
    int32_t roots = 0;
    for (gcl::TTreeNode* node = inherited::GetFirstNode(); node; node = node->GetNextSibling()) ++roots;
    WriteInt32(stream, roots);
    for (gcl::TTreeNode* node = inherited::GetFirstNode(); node; node = node->GetNextSibling())
        WriteUtf8Node(stream, node);
}

void TUniTreeNodes::ReadUtf8Node(gcl::TStream& stream, TUniTreeNode* node, int depth) {
    if (!node || depth > kMaxNodeDepth) RaiseReadError();
    const int32_t size = ReadInt32(stream);
    if (size < kRecordHead || size > kMaxNodeRecord) RaiseReadError();
    stream.CheckAvailable(size);
    int32_t fields[6];
    stream.ReadBuffer(fields, sizeof fields);
    uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    // The size covers exactly the fields, the length byte and the text.
    if (size != kRecordHead + length) RaiseReadError();
    std::string text(length, '\0');
    stream.ReadBuffer(text.data(), length);
    const int32_t count = fields[5];
    if (count < 0) RaiseReadError();
    if (text.compare(0, kUtf8MarkSize, kUtf8Mark) == 0)
        node->SetText(UTF8ToWideString(text.substr(kUtf8MarkSize)));
    else
        node->SetText(gcl::AnsiToWide(text));
    node->SetImageIndex(fields[0]);
    node->SetSelectedIndex(fields[1]);
    node->SetStateIndex(fields[2]);
    node->SetOverlayIndex(fields[3]);
    node->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(fields[4])));
    for (int32_t i = 0; i < count; ++i) {
        // Each child needs at least its Size field and a record head.
        stream.CheckAvailable(4 + kRecordHead);
        ReadUtf8Node(stream, AddChild(node, std::wstring()), depth + 1);
    }
}

void TUniTreeNodes::ReadUtf8Data(gcl::TStream& stream) {
    gcl::TUpdateGuard<gcl::TTreeNodes> update(*this);
    TReadingScope reading(*this);
    Clear();
    const int32_t count = ReadInt32(stream);
    if (count < 0) RaiseReadError();
    for (int32_t i = 0; i < count; ++i) {
        stream.CheckAvailable(4 + kRecordHead);
        ReadUtf8Node(stream, Add(nullptr, std::wstring()), 0);
    }
}

// ---- _UniInternalCustomTreeView ------------------------------------------------------

TUniTreeNode* _UniInternalCustomTreeView::FindNextToSelect() const noexcept { return AsUni(GetNextNodeToSelect()); }

// ---- TUniCustomTreeView --------------------------------------------------------------

TUniCustomTreeView::TUniCustomTreeView(gcl::TComponent* owner) : _UniInternalCustomTreeView(owner) {}

TUniCustomTreeView::~TUniCustomTreeView() = default;

TUniTreeNodes* TUniCustomTreeView::GetItems() const noexcept {
    return dynamic_cast<TUniTreeNodes*>(inherited::GetItems());
}

void TUniCustomTreeView::SetItems(TUniTreeNodes* value) { inherited::GetItems()->Assign(value); }

TUniTreeNode* TUniCustomTreeView::GetSelected() { return AsUni(inherited::GetSelected()); }

TUniTreeNode* TUniCustomTreeView::GetSelections(int index) { return AsUni(inherited::GetSelections(index)); }

TUniTreeNode* TUniCustomTreeView::GetNodeAt(int x, int y) { return AsUni(inherited::GetNodeAt(x, y)); }

std::wstring TUniCustomTreeView::GetHint() { return WideControlGetHint(this); }

void TUniCustomTreeView::SetHint(const std::wstring& value) { WideControlSetHint(this, value); }

bool TUniCustomTreeView::IsHintStored() { return IsWideHintStored(this); }

void TUniCustomTreeView::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

gcl::TTreeNode* TUniCustomTreeView::CreateNode() {
    gcl::TClass nodeClass = TUniTreeNode::StaticClass();
    if (OnCreateNodeClass) OnCreateNodeClass(this, nodeClass);
    if (!nodeClass || !nodeClass->InheritsFrom(TUniTreeNode::StaticClass()))
        throw EUniInternalError(msg::NodeClassError);
    // Every descendant of TUniTreeNode shares its metaclass type.
    return static_cast<const TUniTreeNodeMetaClass*>(nodeClass)->Create(inherited::GetItems());
}

gcl::TTreeNodes* TUniCustomTreeView::CreateNodes() { return new TUniTreeNodes(this); }

void TUniCustomTreeView::SortSiblings(std::vector<gcl::TTreeNode*>& siblings, PFNTVCOMPARE sortProc,
                                      LPARAM data) {
    if (UnicodePlatform && sortProc == &gcl::DefaultTreeViewSort) sortProc = &WideTreeViewSort;
    inherited::SortSiblings(siblings, sortProc, data);
}

void TUniCustomTreeView::ActionChange(gcl::TObject* sender, bool checkDefaults) {
    WideActionChange(this, sender, checkDefaults);
    inherited::ActionChange(sender, checkDefaults);
}

gcl::TBasicActionLinkClass TUniCustomTreeView::GetActionLinkClass() const {
    return WideActionLinkClassFor(this, inherited::GetActionLinkClass());
}

void TUniCustomTreeView::CreateWindowHandle(const gcl::TCreateParams& params) {
    CreateUnicodeHandle_ComCtl(this, params, L"SysTreeView32");
}

void TUniCustomTreeView::CreateWnd() {
    inherited::CreateWnd();
    if (UnicodePlatform && !GDefaultCompare) {
        // The class library sorts with its default comparison; the sort
        // message it sends now only shows which function that is.
        gcl::TFlagScope capturing(FCapturingDefaultCompare);
        inherited::AlphaSort(false);
    }
    RestoreSavedTexts();
}

void TUniCustomTreeView::DestroyWnd() {
    if (HandleAllocated() && !GetComponentState().Contains(gcl::csDestroying)) {
        auto saved = std::make_unique<TUniStringList>();
        GetItems()->GetNodesText(saved.get());
        FSavedNodeText = std::move(saved);
        FSavedSortType = GetSortType();
        SetSortType(gcl::stNone);
    }
    inherited::DestroyWnd();
    UnhookEditor();
}

// The wide texts kept while there was no window go back to their nodes by
// absolute index, all at once: a node whose 8-bit text was changed
// meanwhile keeps its new text.
void TUniCustomTreeView::RestoreSavedTexts() {
    if (!FSavedNodeText) return;
    std::unique_ptr<TUniStringList> saved = std::move(FSavedNodeText);
    const gcl::TSortType sortType = FSavedSortType;
    FSavedSortType = gcl::stNone;
    int index = 0;
    for (gcl::TTreeNode* node = inherited::GetItems()->GetFirstNode(); node && index < saved->GetCount();
         node = node->GetNext(), ++index) {
        TUniTreeNode* uni = AsUni(node);
        const std::wstring text = saved->Get(index);
        if (uni && gcl::WideToAnsi(text) == node->GetText()) uni->FWideText = text;
    }
    // A sort type chosen while there was no window stays.
    if (GetSortType() == gcl::stNone) SetSortType(sortType);
}

void TUniCustomTreeView::WndProc(gcl::TMessage& message) {
    if (message.Msg == TVM_SORTCHILDRENCB && message.LParam) {
        auto* sort = reinterpret_cast<TVSORTCB*>(message.LParam);
        if (FCapturingDefaultCompare) {
            GDefaultCompare = sort->lpfnCompare;
            message.Result = 1;
            return;
        }
        if (UnicodePlatform && GDefaultCompare && sort->lpfnCompare == GDefaultCompare && HandleAllocated()) {
            SortChildrenW(message);
            return;
        }
    }
    inherited::WndProc(message);
}

void TUniCustomTreeView::SortChildrenW(gcl::TMessage& message) {
    TVSORTCB wide = *reinterpret_cast<TVSORTCB*>(message.LParam);
    wide.lpfnCompare = &WideTreeViewSort;
    message.Result = SendMessageW(GetHandle(), TVM_SORTCHILDRENCB, message.WParam, reinterpret_cast<LPARAM>(&wide));
}

void TUniCustomTreeView::Dispatch(gcl::TMessage& message) {
    if (message.Msg == WM_NOTIFY && message.LParam && UnicodePlatform &&
        reinterpret_cast<NMHDR*>(message.LParam)->code == TTN_NEEDTEXTW && NeedTextW(message))
        return;
    inherited::Dispatch(message);
}

// Before common controls 4.71 a tooltip shows at most its own 80-character
// buffer: a longer node text is cut to fit it.
bool TUniCustomTreeView::NeedTextW(gcl::TMessage& message) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(message.LParam);
    POINT cursor{};
    if (!HandleAllocated() || !GetCursorPos(&cursor)) return false;
    ::ScreenToClient(GetHandle(), &cursor);
    TUniTreeNode* node = GetNodeAt(cursor.x, cursor.y);
    if (!node) return false;
    const std::wstring text = node->GetText();
    if (text.empty() || !(info->uFlags & TTF_IDISHWND)) return false;
    if (ComCtlVersion() >= kComCtl471 || text.size() < kTipBufferSize) return false;
    const size_t count = WholeCharacters(text, kTipBufferSize - 1);
    std::memset(info->szText, 0, sizeof info->szText);
    std::memcpy(info->szText, text.data(), count * sizeof(wchar_t));
    info->lpszText = info->szText;
    SetWindowPos(info->hdr.hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    message.Result = 1;
    return true;
}

void TUniCustomTreeView::CNNotify(gcl::TMessage& message) {
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (!header || !UnicodePlatform) {
        inherited::CNNotify(message);
        return;
    }
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(message.LParam);
    switch (header->code) {
    case TVN_GETDISPINFOW:
        GetDispInfo(*info);
        return;
    case TVN_SETDISPINFOW:
        if ((info->item.mask & TVIF_TEXT) && info->item.pszText && info->item.pszText != LPSTR_TEXTCALLBACKW)
            if (TUniTreeNode* node = AsUni(NodeFromItem(ItemKey(info->item)))) node->SetText(info->item.pszText);
        return;
    case TVN_BEGINLABELEDITW: {
        gcl::TTreeNode* node = NodeFromItem(ItemKey(info->item));
        if (Dragging() || !CanEdit(node)) {
            message.Result = 1;
            return;
        }
        message.Result = 0;
        FEditingLabel = true;
        HookEditor(reinterpret_cast<HWND>(Perform(TVM_GETEDITCONTROL)));
        return;
    }
    case TVN_ENDLABELEDITW:
        message.Result = 0;
        // One edit ends once: the window may report the end again when its
        // editor loses the focus while going away.
        if (!FEditingLabel) return;
        FEditingLabel = false;
        EndLabelEdit(*info);
        return;
    case TVN_DELETEITEMW:
    case TVN_BEGINDRAGW:
    case TVN_ITEMEXPANDEDW:
    case TVN_ITEMEXPANDINGW: {
        // The class library reads these under their 8-bit codes.
        const UINT code = header->code;
        header->code = AnsiNotificationCode(code);
        try {
            inherited::CNNotify(message);
        } catch (...) {
            header->code = code;
            throw;
        }
        header->code = code;
        return;
    }
    default:
        inherited::CNNotify(message);
        return;
    }
}

void TUniCustomTreeView::GetDispInfo(NMTVDISPINFOW& info) {
    TVITEMW& item = info.item;
    gcl::TTreeNode* node = NodeFromItem(ItemKey(item));
    if (!node) return;
    if ((item.mask & TVIF_TEXT) && item.pszText && item.pszText != LPSTR_TEXTCALLBACKW && item.cchTextMax > 0) {
        // The buffer holds cchTextMax characters with the terminator.
        const std::wstring text = TUniTreeNodes::WideTextOf(node);
        const size_t count = WholeCharacters(text, static_cast<size_t>(item.cchTextMax) - 1);
        std::memcpy(item.pszText, text.data(), count * sizeof(wchar_t));
        item.pszText[count] = L'\0';
    }
    if (item.mask & TVIF_IMAGE) {
        GetImageIndex(node);
        item.iImage = node->GetImageIndex();
    }
    if (item.mask & TVIF_SELECTEDIMAGE) {
        GetSelectedIndex(node);
        item.iSelectedImage = node->GetSelectedIndex();
    }
}

void TUniCustomTreeView::EndLabelEdit(NMTVDISPINFOW& info) {
    gcl::TTreeNode* node = NodeFromItem(ItemKey(info.item));
    if (!info.item.pszText) {
        if (OnCancelEdit) OnCancelEdit(this, node);
        return;
    }
    std::wstring text = info.item.pszText;
    if (OnEdited) {
        OnEdited(this, AsUni(node), text);
    } else if (TCustomTreeView::OnEdited) {
        // The 8-bit handler sees the text converted; only a text it changed
        // replaces the wide one.
        const std::string ansi = gcl::WideToAnsi(text);
        std::string edited = ansi;
        TCustomTreeView::OnEdited(this, node, edited);
        if (edited != ansi) text = gcl::AnsiToWide(edited);
    }
    if (TUniTreeNode* uni = AsUni(node))
        uni->SetText(text);
    else if (node)
        node->SetText(gcl::WideToAnsi(text));
}

// ---- The in-place editor

void TUniCustomTreeView::HookEditor(HWND editor) {
    if (!editor) return;
    UnhookEditor();
    if (!SetPropW(editor, kEditorProp, this)) return;
    FEditHandle = editor;
    FPrevEditWndProc = reinterpret_cast<WNDPROC>(static_cast<uintptr_t>(
        SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorWndProc))));
}

void TUniCustomTreeView::UnhookEditor() noexcept {
    if (!FEditHandle) return;
    HWND editor = FEditHandle;
    FEditHandle = nullptr;
    if (IsWindow(editor)) {
        // Unless somebody subclassed the editor after us (the window's own
        // code lets go of it while it is destroyed).
        if (reinterpret_cast<WNDPROC>(static_cast<uintptr_t>(GetWindowLongPtrW(editor, GWLP_WNDPROC))) == &EditorWndProc)
            SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevEditWndProc));
        RemovePropW(editor, kEditorProp);
    }
    FPrevEditWndProc = nullptr;
}

LRESULT CALLBACK TUniCustomTreeView::EditorWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* tree = static_cast<TUniCustomTreeView*>(GetPropW(handle, kEditorProp));
    if (!tree || tree->FEditHandle != handle || !tree->FPrevEditWndProc)
        return DefWindowProcW(handle, msg, wParam, lParam);
    WNDPROC previous = tree->FPrevEditWndProc;
    LRESULT result = 0;
    bool handled = false;
    GCL_GUARD(tree, {
        result = tree->EditorMessage(handle, msg, wParam, lParam);
        handled = true;
    });
    // A failed handler still lets the editor see its own messages.
    if (!handled) result = CallWindowProcW(previous, handle, msg, wParam, lParam);
    return result;
}

// Keys typed into the editor reach the tree's key events first; a key they
// use up goes no further. A character above 255 passes the 8-bit key event
// as 255 and reaches the editor whole.
LRESULT TUniCustomTreeView::EditorMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    gcl::TMessage message{};
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(message)) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(message)) return 0;
        break;
    case WM_CHAR:
        MakeWMCharMsgSafeForAnsi(message);
        if (DoKeyPress(message)) return 0;
        RestoreWMCharMsg(message);
        break;
    case gcl::CN_KEYDOWN:
    case gcl::CN_CHAR:
    case gcl::CN_SYSKEYDOWN:
    case gcl::CN_SYSCHAR:
        return Perform(msg, wParam, lParam);
    case WM_SYSCOMMAND: {
        // Alt with a menu's letter: the form's menu opens, as from any of
        // its controls (the editor's own handling looks for a menu of the
        // system's kind, which the form does not have).
        intptr_t result = 0;
        if (gcl::SendKeyMenuToRoot(handle, wParam, lParam, result)) return result;
        break;
    }
    case WM_DESTROY: {
        const LRESULT result = CallWindowProcW(FPrevEditWndProc, handle, msg, wParam, lParam);
        UnhookEditor();
        return result;
    }
    default:
        break;
    }
    return CallWindowProcW(FPrevEditWndProc, handle, msg, message.WParam, message.LParam);
}

// ---- TUniTreeView ---------------------------------------------------------------------

GCL_PUBLISHED(TUniTreeView,
    GCL_PROP(Align).Default(gcl::alNone),
    GCL_PROP(Anchors).Default(gcl::TAnchors{gcl::akLeft, gcl::akTop}),
    GCL_PROP(AutoExpand).Default(false),
    GCL_PROP(BiDiMode).Default(gcl::bdLeftToRight),
    GCL_PROP(BorderStyle).Default(gcl::bsSingle),
    GCL_PROP(Color).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(Constraints),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(DragCursor).Default(gcl::crDrag),
    GCL_PROP(DragKind).Default(gcl::dkDrag),
    GCL_PROP(DragMode).Default(gcl::dmManual),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Font),
    GCL_PROP(HideSelection).Default(true),
    gcl::Prop<&TUniCustomTreeView::GetHint, &TUniCustomTreeView::SetHint>("Hint")
        .StoredBy<&TUniCustomTreeView::IsHintStored>(),
    GCL_PROP(HotTrack).Default(false),
    GCL_PROP(Images),
    GCL_PROP(Indent).Default(19),
    GCL_PROP(Items),
    GCL_PROP(MultiSelect).Default(false),
    GCL_PROP(MultiSelectStyle).Default(gcl::TMultiSelectStyle{gcl::msControlSelect}),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(RowSelect).Default(false),
    GCL_PROP(ShowButtons).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(ShowLines).Default(true),
    GCL_PROP(ShowRoot).Default(true),
    GCL_PROP(SortType).Default(gcl::stNone),
    GCL_PROP(StateImages),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(ToolTips).Default(true),
    GCL_PROP(Visible).Default(true))

// ---- Unit -------------------------------------------------------------------------------

namespace {

void InitializeUniComCtrls() { gcl::RegisterClasses({TUniTreeView::StaticClass()}); }

void FinalizeUniComCtrls() { gcl::UnRegisterClass(TUniTreeView::StaticClass()); }

} // namespace

gcl::TUnit UniComCtrlsUnit{"UniComCtrls", &InitializeUniComCtrls, &FinalizeUniComCtrls};

} // namespace qelvo
