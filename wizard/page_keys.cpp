// The Customize Keys page: the key picture with its hot spots, the four sources and the label.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "common/text.h"
#include "keyfunc/vnutil.h"
#include "wizard/resource.h"
#include "wizard/shelltree.h"
#include "wizard/wizard.h"

namespace tkcfg {

namespace {

struct Source {
    int radio, tree, caption, folderId;
};
// In the radio order 0 all users, 1 current user, 2 file, 3 web page.
const Source kSources[4] = {
    {IDC_SRC_ALL, IDC_TREE_ALL, IDS_SELECT_PROGRAM, CSIDL_COMMON_STARTMENU},
    {IDC_SRC_USER, IDC_TREE_USER, IDS_SELECT_PROGRAM, CSIDL_STARTMENU},
    {IDC_SRC_FILE, IDC_TREE_FILES, IDS_SELECT_FILE, CSIDL_DESKTOP},
    {IDC_SRC_WEB, IDC_TREE_FAVOURITES, IDS_SELECT_WEB, CSIDL_FAVORITES},
};

class CPPageCustomizeKeys : public CPPage {
public:
    explicit CPPageCustomizeKeys(CPSheet& s) : CPPage(s, kCustomizeKeys, IDD_CUSTOMIZE) {}
    void Contribute(FinishInput& in) const override { in.resetRequested = resetRequested_; }

protected:
    int Background() const override { return IDB_KEYS_BACKGROUND; }

    void OnInit() override {
        ResetSelectionArea();
        HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        for (int i = 0; i < 4; ++i) trees_[i].Attach(Item(kSources[i].tree));
        // Filled in this order: favourites, desktop, all users, current user.
        for (int i : {3, 2, 0, 1}) trees_[i].Fill(kSources[i].folderId);
        SetCursor(old);
        KeySlot* slots = sheet_.slots();
        for (int k = 0; k < kKeyCount; ++k) {
            LoadKeySlot(k, Factory(k).c_str(), slots[k]);
            SetTextRepaint(IDC_KEY_LABEL_FIRST + k, slots[k].storedLabel);
        }
    }

    void OnActivate() override {
        sheet_.SetButtons(kBack | kNext);
        const WizardFonts& f = sheet_.fonts();
        SendMessageA(Item(IDC_ASSIGNMENT), WM_SETFONT, reinterpret_cast<WPARAM>(f.current[sheet_.highContrast()]), FALSE);
        for (int k = 0; k < kKeyCount; ++k)
            SendMessageA(Item(IDC_KEY_LABEL_FIRST + k), WM_SETFONT, reinterpret_cast<WPARAM>(f.body[0]), FALSE);
    }

    bool HandAt(int x, int y) override { return KeyAt(x, y) >= 0; }

    bool OnClick(int x, int y) override {
        int k = KeyAt(x, y);
        if (k < 0) return false;
        sheet_.PlayClick();
        key_ = k;
        sheet_.state().selectedKey = k;
        Show(IDC_KEYROW, false);
        for (int i = 0; i < kKeyCount; ++i) Show(IDC_KEYROW_LIT_FIRST + i, i == k);
        for (const Source& s : kSources) Enable(s.radio, true);
        Enable(IDC_ASSIGN_TEXT, true);
        for (const Source& s : kSources) {
            CheckDlgButton(hwnd_, s.radio, BST_UNCHECKED);
            Show(s.tree, false);
            TreeView_SelectItem(Item(s.tree), nullptr);
        }
        Show(IDC_TREE_BLANK, true);
        Show(IDC_ADDRESS_CAPTION, false);
        Show(IDC_ADDRESS, false);
        Show(IDC_TEST, false);
        for (int id : {IDC_LABEL_CAPTION, IDC_LABEL, IDC_TREE_CAPTION, IDC_APPLY}) Enable(id, false);
        char text[2 * kField];
        AssignmentText(sheet_.slots()[k], text, sizeof text);
        SetDlgItemTextA(hwnd_, IDC_ASSIGNMENT, text);
        Show(IDC_ASSIGNMENT, true);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return true;
    }

    bool OnCommand(int id, int code) override {
        for (int i = 0; i < 4; ++i)
            if (id == kSources[i].radio && code == BN_CLICKED) {
                ChooseSource(i);
                return true;
            }
        switch (id) {
        case IDC_ADDRESS:
            if (code == EN_CHANGE) Enable(IDC_TEST, true);
            return code == EN_CHANGE;
        case IDC_TEST:
            if (code == BN_CLICKED) Test();
            return true;
        case IDC_APPLY:
            if (code == BN_CLICKED) Apply();
            return true;
        case IDC_RESET:
            if (code == BN_CLICKED) Reset();
            return true;
        }
        return false;
    }

    bool OnNotify(NMHDR* nm, LRESULT* result) override {
        for (ShellTree& t : trees_) {
            if (nm->hwndFrom != t.hwnd()) continue;
            if (nm->code == TVN_SELCHANGEDA || nm->code == TVN_SELCHANGEDW) {
                auto* tv = reinterpret_cast<NMTREEVIEWA*>(nm);
                // A folder chosen with the mouse shows its contents without a separate expansion.
                if (tv->action == TVC_BYMOUSE) t.FillChildren(tv->itemNew.hItem);
                Select(t, tv->itemNew.hItem);
                return true;
            }
            *result = 0;
            return t.OnNotify(nm);
        }
        return false;
    }

    HBRUSH ControlColor(HDC dc, int id) override {
        return id >= IDC_KEY_LABEL_FIRST && id < IDC_KEY_LABEL_FIRST + kKeyCount ? KeyLabelColors(dc) : nullptr;
    }

private:
    std::string Factory(int k) const { return sheet_.Text(IDS_FACTORY_FIRST + k); }

    void ResetSelectionArea() {
        for (const Source& s : kSources) {
            Show(s.tree, false);
            Enable(s.radio, false);
            CheckDlgButton(hwnd_, s.radio, BST_UNCHECKED);
        }
        Show(IDC_TREE_BLANK, true);
        for (int id : {IDC_ADDRESS_CAPTION, IDC_ADDRESS, IDC_TEST, IDC_ASSIGNMENT}) Show(id, false);
        for (int id : {IDC_ASSIGN_TEXT, IDC_LABEL, IDC_LABEL_CAPTION, IDC_TREE_CAPTION, IDC_APPLY}) Enable(id, false);
        for (int i = 0; i < kKeyCount; ++i) Show(IDC_KEYROW_LIT_FIRST + i, false);
        Show(IDC_KEYROW, true);
        key_ = -1;
        source_ = -1;
    }

    void ChooseSource(int i) {
        source_ = i;
        for (int j = 0; j < 4; ++j) Show(kSources[j].tree, j == i);
        SetDlgItemTextA(hwnd_, IDC_TREE_CAPTION, sheet_.Text(kSources[i].caption).c_str());
        Enable(IDC_TREE_CAPTION, true);
        bool web = i == 3;
        Show(IDC_TREE_BLANK, false);
        Show(IDC_ADDRESS_CAPTION, web);
        Show(IDC_ADDRESS, web);
        Show(IDC_TEST, web);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void Select(ShellTree& tree, HTREEITEM item) {
        if (key_ < 0) return;
        KeySlot& slot = sheet_.slots()[key_];
        slot.pendingCommand[0] = slot.pendingParams[0] = '\0';
        slot.pendingLength = slot.pendingType = 0;
        char label[kField] = {}, address[kField] = {};
        ShellItem* data = ShellTree::ItemData(tree.hwnd(), item);
        if (!data) return;
        IShellFolder* folder = nullptr;
        ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
        LPCITEMIDLIST one = data->relative;
        data->parent->GetAttributesOf(1, &one, &attributes);
        bool isFolder = (attributes & SFGAO_FOLDER) &&
                        SUCCEEDED(data->parent->BindToObject(data->relative, nullptr, IID_IShellFolder,
                                                             reinterpret_cast<void**>(&folder)));
        if (folder) folder->Release();
        if (!isFolder) {
            char path[kField];
            if (DisplayName(data->parent, data->relative, SHGDN_FORPARSING, path)) PendingFromFile(slot, path, address);
            FileLabel(path, label, sizeof label);
        } else if (tree.hwnd() == Item(IDC_TREE_FILES)) {
            TVITEMA tv{};
            tv.mask = TVIF_TEXT;
            tv.hItem = item;
            tv.pszText = label;
            tv.cchTextMax = sizeof label;
            TreeView_GetItem(tree.hwnd(), &tv);
            char path[MAX_PATH] = {};
            if ((attributes & SFGAO_FILESYSTEM) && SHGetPathFromIDListA(data->full, path) && path[0]) {
                vn::CopyText(slot.pendingCommand, kField, path);
                vn::CopyText(address, sizeof address, slot.pendingCommand);
            } else {
                // A virtual folder such as the control panel is kept as its item ID list.
                UINT size = IdListSize(data->full);
                if (size > 0 && size <= kField) {
                    std::memcpy(slot.pendingCommand, data->full, size);
                    slot.pendingLength = static_cast<int>(size);
                    slot.pendingType = 6;
                }
            }
        }
        if (!IsWindowVisible(tree.hwnd())) return;
        SetDlgItemTextA(hwnd_, IDC_LABEL, label);
        for (int id : {IDC_LABEL, IDC_LABEL_CAPTION, IDC_APPLY}) Enable(id, true);
        if (tree.hwnd() == Item(IDC_TREE_FAVOURITES)) SetDlgItemTextA(hwnd_, IDC_ADDRESS, address);
    }

    void PendingFromFile(KeySlot& slot, const char* path, char* address) {
        if (HasExtension(path, ".url")) {
            GetPrivateProfileStringA("InternetShortcut", "URL", "", slot.pendingCommand, kField, path);
        } else if (HasExtension(path, ".lnk")) {
            char target[kField] = {}, arguments[kField] = {};
            GetLinkInfoEx(hwnd_, path, target, arguments, nullptr);
            vn::CopyTruncated(slot.pendingCommand, kField, target);
            vn::CopyTruncated(slot.pendingParams, kField, arguments);
        } else {
            vn::CopyTruncated(slot.pendingCommand, kField, path);
        }
        vn::CopyTruncated(address, kField, slot.pendingCommand);
    }

    void Test() {
        if (key_ < 0) return;
        const KeySlot& slot = sheet_.slots()[key_];
        SHELLEXECUTEINFOA sei{};
        sei.cbSize = sizeof sei;
        sei.fMask = SEE_MASK_FLAG_DDEWAIT;
        sei.hwnd = hwnd_;
        sei.nShow = SW_SHOWDEFAULT;
        if (slot.pendingType == 6) {
            sei.fMask |= SEE_MASK_IDLIST;
            sei.lpIDList = const_cast<char*>(slot.pendingCommand);
        } else {
            if (!slot.pendingCommand[0]) return;
            sei.lpFile = slot.pendingCommand;
        }
        ShellExecuteExA(&sei);
    }

    void Apply() {
        if (key_ < 0) return;
        sheet_.SetButtons(kBack | kNext);
        char label[kField] = {};
        GetDlgItemTextA(hwnd_, IDC_LABEL, label, sizeof label);
        KeySlot& slot = sheet_.slots()[key_];
        ApplyPending(slot, label);
        SetTextRepaint(IDC_KEY_LABEL_FIRST + key_, slot.label);
        ResetSelectionArea();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void Reset() {
        resetRequested_ = true;
        KeySlot* slots = sheet_.slots();
        for (int k = 0; k < kKeyCount; ++k) {
            ResetSlot(slots[k], Factory(k).c_str());
            SetTextRepaint(IDC_KEY_LABEL_FIRST + k, slots[k].label);
        }
        ResetSelectionArea();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    ShellTree trees_[4];
    int key_ = -1, source_ = -1;
    bool resetRequested_ = false;
};

}  // namespace

std::unique_ptr<CPPage> MakeCustomizeKeysPage(CPSheet& s) { return std::make_unique<CPPageCustomizeKeys>(s); }

}  // namespace tkcfg
