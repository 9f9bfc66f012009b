// A tree control filled from the shell namespace below a special folder, lazily, folder by folder.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace tkcfg {

// What a tree item knows of its shell item; released with the item.
struct ShellItem {
    IShellFolder* parent;
    LPITEMIDLIST relative;
    LPITEMIDLIST full;
    bool folder;
    bool expanded;
    bool fileSystem;   // a file or folder on disk
    bool inDirectory;  // listed by a folder on disk (not by the desktop or a virtual folder)
};

class ShellTree {
public:
    ShellTree() = default;
    ShellTree(const ShellTree&) = delete;
    ShellTree& operator=(const ShellTree&) = delete;

    void Attach(HWND tree);
    HWND hwnd() const { return tree_; }
    // Empties the tree and fills its top level from the special folder (desktop when missing).
    void Fill(int folderId);
    // Fills the children of an item once; false when it was filled before.
    bool FillChildren(HTREEITEM item);
    // The tree's own notifications: expansion, icons of items coming into view and item release.
    // True when handled.
    bool OnNotify(NMHDR* nm);
    static ShellItem* ItemData(HWND tree, HTREEITEM item);
    // Walks the whole tree, filling every folder (for measurements and tests).
    int ExpandAll();

private:
    void FillFrom(IShellFolder* folder, LPCITEMIDLIST folderFull, HTREEITEM parent, bool directory);
    int ExpandBelow(HTREEITEM item);
    void Icons(const ShellItem& data, int* closed, int* open);
    HWND tree_ = nullptr;
    int plainFolder_[2] = {-1, -1};  // the shell's closed and open folder icons, once known
};

// Item ID list helpers over the shell's allocator (the combining export is missing on Windows 95).
UINT IdListSize(LPCITEMIDLIST list);  // bytes with the terminator, 0 for null
LPITEMIDLIST IdListJoin(LPCITEMIDLIST first, LPCITEMIDLIST second);
void IdListFree(void* list);
// A display name of an item as ANSI text in a 260-character buffer; false when it would not fit.
bool DisplayName(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags, char* out);

}  // namespace tkcfg
