#include "wizard/shelltree.h"

#include <cstring>

#include "common/text.h"

namespace tkcfg {

namespace {

IMalloc* Allocator() {
    static IMalloc* malloc = nullptr;
    if (!malloc) SHGetMalloc(&malloc);
    return malloc;
}

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM folder) {
    auto* x = reinterpret_cast<ShellItem*>(a);
    auto* y = reinterpret_cast<ShellItem*>(b);
    HRESULT hr = reinterpret_cast<IShellFolder*>(folder)->CompareIDs(0, x->relative, y->relative);
    return static_cast<short>(HRESULT_CODE(hr));
}

}  // namespace

UINT IdListSize(LPCITEMIDLIST list) {
    if (!list) return 0;
    UINT size = sizeof(USHORT);
    for (const BYTE* p = reinterpret_cast<const BYTE*>(list); reinterpret_cast<const SHITEMID*>(p)->cb;
         p += reinterpret_cast<const SHITEMID*>(p)->cb)
        size += reinterpret_cast<const SHITEMID*>(p)->cb;
    return size;
}

LPITEMIDLIST IdListJoin(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    UINT a = first ? IdListSize(first) - sizeof(USHORT) : 0;
    UINT b = second ? IdListSize(second) : sizeof(USHORT);
    auto* out = static_cast<BYTE*>(Allocator()->Alloc(a + b));
    if (!out) return nullptr;
    if (a) std::memcpy(out, first, a);
    if (second)
        std::memcpy(out + a, second, b);
    else
        std::memset(out + a, 0, b);
    return reinterpret_cast<LPITEMIDLIST>(out);
}

void IdListFree(void* list) {
    if (list) Allocator()->Free(list);
}

bool DisplayName(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags, char* out) {
    out[0] = '\0';
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(item, flags, &name))) return false;
    switch (name.uType) {
    case STRRET_WSTR: {
        int n = WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, out, 260, nullptr, nullptr);
        IdListFree(name.pOleStr);
        if (n == 0) out[0] = '\0';
        return n != 0;
    }
    case STRRET_OFFSET:
        return vn::CopyText(out, 260, reinterpret_cast<const char*>(item) + name.uOffset);
    case STRRET_CSTR:
        return vn::CopyText(out, 260, name.cStr);
    }
    return false;
}

void ShellTree::Attach(HWND tree) {
    tree_ = tree;
    SHFILEINFOA info{};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (icons) TreeView_SetImageList(tree_, icons, TVSIL_NORMAL);
}

ShellItem* ShellTree::ItemData(HWND tree, HTREEITEM item) {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!item || !TreeView_GetItem(tree, &tv)) return nullptr;
    return reinterpret_cast<ShellItem*>(tv.lParam);
}

void ShellTree::Fill(int folderId) {
    TreeView_DeleteAllItems(tree_);
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return;
    LPITEMIDLIST location = nullptr;
    IShellFolder* folder = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, folderId, &location)) && location) {
        if (location->mkid.cb == 0) {
            folder = desktop;
            folder->AddRef();
        } else if (FAILED(desktop->BindToObject(location, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder)))) {
            folder = nullptr;
        }
    }
    if (!folder) {  // no such folder on this system: the desktop's contents instead
        IdListFree(location);
        location = nullptr;
        folder = desktop;
        folder->AddRef();
    }
    // Only the top level is drawn while it fills; a folder's children are filled before it opens,
    // and turning drawing back on repaints the whole tree, which cost more than the filling.
    SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
    // The desktop's own items (drives' parent, the user's documents) are not plain folders.
    char path[MAX_PATH];
    const bool directory = location && location->mkid.cb != 0 && SHGetPathFromIDListA(location, path);
    FillFrom(folder, location, TVI_ROOT, directory);
    SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
    folder->Release();
    desktop->Release();
    IdListFree(location);
}

void ShellTree::FillFrom(IShellFolder* folder, LPCITEMIDLIST folderFull, HTREEITEM parent, bool directory) {
    IEnumIDList* items = nullptr;
    if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) != S_OK || !items) return;
    LPITEMIDLIST relative = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &relative, &fetched) == S_OK && fetched == 1) {
        ULONG attributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK;
        LPCITEMIDLIST one = relative;
        if (FAILED(folder->GetAttributesOf(1, &one, &attributes)) ||
            !(attributes & (SFGAO_FILESYSTEM | SFGAO_FOLDER))) {
            IdListFree(relative);
            continue;
        }
        auto* data = new ShellItem{folder, relative, IdListJoin(folderFull, relative), (attributes & SFGAO_FOLDER) != 0,
                                   false, (attributes & SFGAO_FILESYSTEM) != 0, directory};
        folder->AddRef();
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
        ins.item.lParam = reinterpret_cast<LPARAM>(data);
        // Names and icons are looked up when an item first comes into view (or is asked for):
        // finding them costs far more than listing the item, and most items of a large Start
        // menu are never shown. The order comes from the folder itself, not from the names.
        ins.item.pszText = LPSTR_TEXTCALLBACKA;
        ins.item.iImage = I_IMAGECALLBACK;
        ins.item.iSelectedImage = I_IMAGECALLBACK;
        ins.item.cChildren = (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
        if (attributes & SFGAO_LINK) {
            ins.item.state = INDEXTOOVERLAYMASK(2);
            ins.item.stateMask = TVIS_OVERLAYMASK;
        }
        if (!SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins))) {
            folder->Release();
            IdListFree(data->relative);
            IdListFree(data->full);
            delete data;
        }
    }
    items->Release();
    TVSORTCB sort{};
    sort.hParent = parent;
    sort.lpfnCompare = CompareItems;
    sort.lParam = reinterpret_cast<LPARAM>(folder);
    TreeView_SortChildrenCB(tree_, &sort, 0);
}

bool ShellTree::FillChildren(HTREEITEM item) {
    ShellItem* data = ItemData(tree_, item);
    if (!data || data->expanded) return false;
    data->expanded = true;
    if (!data->folder) return true;
    IShellFolder* folder = nullptr;
    if (FAILED(data->parent->BindToObject(data->relative, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))))
        return true;
    FillFrom(folder, data->full, item, data->fileSystem);
    folder->Release();
    return true;
}

void ShellTree::Icons(const ShellItem& data, int* closed, int* open) {
    SHFILEINFOA info{};
    const DWORD small = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    // A plain folder inside a file-system folder (no read-only or system mark, which a folder
    // with its own icon carries) shows the shell's folder icons, known without reading the folder: a lookup
    // through the item costs milliseconds.
    char path[260];
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (data.folder && data.inDirectory && DisplayName(data.parent, data.relative, SHGDN_FORPARSING, path))
        attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM))) {
        if (plainFolder_[0] < 0) {
            SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, small | SHGFI_USEFILEATTRIBUTES);
            plainFolder_[0] = info.iIcon;
            SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                           small | SHGFI_USEFILEATTRIBUTES | SHGFI_OPENICON);
            plainFolder_[1] = info.iIcon;
        }
        *closed = plainFolder_[0];
        *open = plainFolder_[1];
        return;
    }
    const auto pidl = reinterpret_cast<const char*>(data.full);
    SHGetFileInfoA(pidl, 0, &info, sizeof info, SHGFI_PIDL | small);
    *closed = *open = info.iIcon;
    if (data.folder) {  // only a folder looks different when open
        SHGetFileInfoA(pidl, 0, &info, sizeof info, SHGFI_PIDL | small | SHGFI_OPENICON);
        *open = info.iIcon;
    }
}

bool ShellTree::OnNotify(NMHDR* nm) {
    if (nm->hwndFrom != tree_) return false;
    if (nm->code == TVN_ITEMEXPANDINGA || nm->code == TVN_ITEMEXPANDINGW) {
        auto* tv = reinterpret_cast<NMTREEVIEWA*>(nm);
        if (tv->action & TVE_EXPAND) FillChildren(tv->itemNew.hItem);
        return true;
    }
    if (nm->code == TVN_GETDISPINFOA || nm->code == TVN_GETDISPINFOW) {
        // The fields used here sit at the same place in the ANSI and the wide form.
        TVITEMA& item = reinterpret_cast<NMTVDISPINFOA*>(nm)->item;
        auto* data = reinterpret_cast<ShellItem*>(item.lParam);
        if (!data) return true;
        bool whole = true;  // a name cut to a small caller's buffer is not kept by the tree
        if ((item.mask & TVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            char name[260];
            DisplayName(data->parent, data->relative, SHGDN_NORMAL, name);
            const auto room = static_cast<size_t>(item.cchTextMax);
            if (nm->code == TVN_GETDISPINFOW) {
                auto* wide = reinterpret_cast<LPWSTR>(item.pszText);
                whole = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, item.cchTextMax) != 0;
                if (!whole) wide[0] = L'\0';
            } else {
                whole = std::strlen(name) < room;
                vn::CopyTruncated(item.pszText, room, name);
            }
        }
        if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) Icons(*data, &item.iImage, &item.iSelectedImage);
        if (whole) item.mask |= TVIF_DI_SETITEM;  // kept by the tree: looked up once per item
        return true;
    }
    if (nm->code == TVN_DELETEITEMA || nm->code == TVN_DELETEITEMW) {
        auto* data = reinterpret_cast<ShellItem*>(reinterpret_cast<NMTREEVIEWA*>(nm)->itemOld.lParam);
        if (data) {
            data->parent->Release();
            IdListFree(data->relative);
            IdListFree(data->full);
            delete data;
        }
        return true;
    }
    return false;
}

int ShellTree::ExpandBelow(HTREEITEM item) {
    int count = 0;
    for (HTREEITEM child = TreeView_GetChild(tree_, item); child; child = TreeView_GetNextSibling(tree_, child)) {
        ++count;
        FillChildren(child);
        count += ExpandBelow(child);
    }
    return count;
}

int ShellTree::ExpandAll() { return ExpandBelow(TVI_ROOT); }

}  // namespace tkcfg
