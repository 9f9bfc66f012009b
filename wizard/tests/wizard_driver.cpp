#include "wizard/tests/wizard_driver.h"

#include "common/testing/winetest.h"

namespace tkcfg::test {

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == s->pid && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindDialogOf(DWORD processId) {
    Search s{processId, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

WizardProcess::~WizardProcess() {
    if (pi_.hProcess) {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            if (sheet_) PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            if (WaitForSingleObject(pi_.hProcess, vntest::Scaled(5000)) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 1);
        }
        CloseHandle(pi_.hProcess);
    }
    if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool WizardProcess::Start(const std::string& exe, const std::string& folder, const char* args) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe + "\" " + args;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi_)) return false;
    if (!vntest::WaitUntil([&] { return (sheet_ = FindDialogOf(pi_.dwProcessId)) != nullptr && IsWindowVisible(Page()); },
                           15000))
        return false;
    Sync();  // the sheet has finished setting itself up once it takes messages again
    return true;
}

bool WizardProcess::Attach(DWORD ms) {
    // The wizard's identity is its hidden frame window; its sheet is a dialog of the same process.
    if (!vntest::WaitUntil([&] {
            HWND frame = FindWindowA("TKCfgClass", nullptr);
            if (!frame) return false;
            GetWindowThreadProcessId(frame, &pi_.dwProcessId);
            return (sheet_ = FindDialogOf(pi_.dwProcessId)) != nullptr && IsWindowVisible(Page());
        }, ms))
        return false;
    pi_.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pi_.dwProcessId);
    Sync();
    return pi_.hProcess != nullptr;
}

HWND WizardProcess::Page() const {
    return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int WizardProcess::PageIndex() const {
    return static_cast<int>(SendMessageA(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(Page()), 0));
}

bool WizardProcess::ButtonEnabled(int id) const {
    HWND b = GetDlgItem(sheet_, id);
    return b && IsWindowEnabled(b) && IsWindowVisible(b);
}

bool WizardProcess::ButtonVisible(int id) const {
    HWND b = GetDlgItem(sheet_, id);
    return b && IsWindowVisible(b);
}

void WizardProcess::Sync() const {
    for (int i = 0; i < 2; ++i) {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, vntest::Scaled(5000), &r);
        SendMessageTimeoutA(Page(), WM_NULL, 0, 0, SMTO_NORMAL, vntest::Scaled(5000), &r);
    }
}

void WizardProcess::Press(int psbtn) const {
    PostMessageA(sheet_, PSM_PRESSBUTTON, psbtn, 0);
    Sync();
}

void WizardProcess::GoTo(int index) const {
    SendMessageA(sheet_, PSM_SETCURSEL, index, 0);
    Sync();
}

void WizardProcess::ClickPage(int x, int y) const {
    // Sent, so that it returns once handled: the click sound may wait for the one before it, and a
    // posted click could still be pending behind that wait.
    HWND page = Page();
    DWORD_PTR r = 0;
    SendMessageTimeoutA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y), SMTO_NORMAL, vntest::Scaled(5000), &r);
    SendMessageTimeoutA(page, WM_LBUTTONUP, 0, MAKELPARAM(x, y), SMTO_NORMAL, vntest::Scaled(5000), &r);
    Sync();
}

void WizardProcess::ClickButton(int id) const {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
    Sync();
}

std::string WizardProcess::Text(int id) const {
    // Another process's control tells its text only when asked with the message itself.
    char text[520] = {};
    SendMessageA(Control(id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

int WizardProcess::WaitExit(DWORD ms) {
    if (!pi_.hProcess) return -1;
    if (!vntest::WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, ms)) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return static_cast<int>(code);
}

RemoteTree::RemoteTree(HWND tree) : tree_(tree) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
        memory_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
}

RemoteTree::~RemoteTree() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

std::string RemoteTree::Text(HTREEITEM item) const {
    if (!memory_) return "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = memory_ + 512;
    tv.cchTextMax = 260;
    WriteProcessMemory(process_, memory_, &tv, sizeof tv, nullptr);
    SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory_));
    char text[261] = {};
    ReadProcessMemory(process_, memory_ + 512, text, 260, nullptr);
    return text;
}

HTREEITEM RemoteTree::Find(HTREEITEM parent, const std::string& text) const {
    if (parent) SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree_, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        if (lstrcmpiA(Text(item).c_str(), text.c_str()) == 0) return item;
    return nullptr;
}

void RemoteTree::Select(HTREEITEM item) const { SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }

int RemoteTree::CountTop() const {
    int n = 0;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
         item = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        ++n;
    return n;
}

}  // namespace tkcfg::test
