// Drives the real TKCfg.exe from outside, as a user would: finds its sheet, presses its buttons,
// clicks on its pages and reads back what it shows.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace tkcfg::test {

class WizardProcess {
public:
    WizardProcess() = default;
    ~WizardProcess();
    WizardProcess(const WizardProcess&) = delete;
    WizardProcess& operator=(const WizardProcess&) = delete;

    // Starts the program (full path, working folder, arguments); waits for its sheet.
    bool Start(const std::string& exe, const std::string& folder, const char* args = "");
    // Takes over a wizard that another program started; waits for its sheet.
    bool Attach(DWORD ms = 15000);
    HWND sheet() const { return sheet_; }
    HWND Page() const;  // the current page
    int PageIndex() const;  // by the heading text's page template, -1 when unknown
    HWND Control(int id) const { return GetDlgItem(Page(), id); }
    bool ButtonEnabled(int id) const;  // 0x3023 Back, 0x3024 Next, 0x3025 Finish
    bool ButtonVisible(int id) const;
    void Press(int psbtn) const;
    void GoTo(int index) const;
    void Sync() const;  // returns once the wizard has handled what was sent or posted before
    void ClickPage(int x, int y) const;  // a left click at client pixels of the current page
    void ClickButton(int id) const;      // a button or radio of the current page
    std::string Text(int id) const;
    // Waits for the process to end; its exit code, or -1 on time-out.
    int WaitExit(DWORD ms = 10000);
    HANDLE process() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
    HWND sheet_ = nullptr;
};

// Reads tree items of another process through memory of that process.
class RemoteTree {
public:
    explicit RemoteTree(HWND tree);
    ~RemoteTree();
    std::string Text(HTREEITEM item) const;
    // The child of parent (null: a top item) with that text, expanding the parent first.
    HTREEITEM Find(HTREEITEM parent, const std::string& text) const;
    void Select(HTREEITEM item) const;
    int CountTop() const;

private:
    HWND tree_;
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

// The top-level dialog window of a process, or null.
HWND FindDialogOf(DWORD processId);

}  // namespace tkcfg::test
