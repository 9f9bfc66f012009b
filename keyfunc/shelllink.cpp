// Shortcut files read and written through the shell's link object.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "common/text.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace {

// The component library for the calling thread, for the length of one call.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// The path as the wide text the persistence interface wants; false when it is not a usable path.
bool WidePath(const char* path, std::wstring* wide) {
    if (!path || !*path || TextLength(path) >= kMaxText) return false;
    wchar_t buffer[kMaxText];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, buffer, kMaxText)) return false;
    *wide = buffer;
    return true;
}

void Clear(char* buffer) {
    if (buffer) buffer[0] = '\0';
}

int ReadLink(HWND owner, const char* linkPath, char* target, char* arguments, char* description) {
    Clear(target);
    Clear(arguments);
    Clear(description);
    std::wstring wide;
    if (!WidePath(linkPath, &wide)) return E_INVALIDARG;
    ComScope com;
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.out());
    if (FAILED(hr)) return hr;
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.out());
    if (FAILED(hr)) return hr;
    hr = file->Load(wide.c_str(), STGM_READ);
    if (FAILED(hr)) return hr;
    hr = link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH);
    if (FAILED(hr)) return hr;
    char text[kMaxText];
    if (target) {
        hr = link->GetPath(text, kMaxText, nullptr, SLGP_UNCPRIORITY);
        if (FAILED(hr)) return hr;
        CopyTruncated(target, kMaxText, text);
    }
    if (arguments) {
        text[0] = '\0';
        hr = link->GetArguments(text, kMaxText);
        if (FAILED(hr)) return hr;
        CopyTruncated(arguments, kMaxText, text);
    }
    if (description) {
        text[0] = '\0';
        hr = link->GetDescription(text, kMaxText);
        if (FAILED(hr)) return hr;
        CopyTruncated(description, kMaxText, text);
    }
    return hr;
}

bool EndsWithHelpExtension(const std::string& path) {
    return path.size() >= 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".hlp") == 0;
}

std::string WithoutQuotes(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '"') out += c;
    return out;
}

}  // namespace
}  // namespace vn

using namespace vn;

extern "C" {

int VNAPI GetLinkInfo(HWND owner, const char* linkPath, char* target, char* description) {
    return ReadLink(owner, linkPath, target, nullptr, description);
}

int VNAPI GetLinkInfoEx(HWND owner, const char* linkPath, char* target, char* arguments, char* description) {
    return ReadLink(owner, linkPath, target, arguments, description);
}

int VNAPI CreateShortcut(const char* target, const char* arguments, int iconIndex, const char* linkPath) {
    std::wstring wide;
    if (!target || TextLength(target) >= kMaxText || !WidePath(linkPath, &wide)) return E_INVALIDARG;
    ComScope com;
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.out());
    if (FAILED(hr)) return hr;
    hr = link->SetPath(target);
    if (FAILED(hr)) return hr;
    if (EndsWithHelpExtension(target)) {
        // Help files show the icon registered for their file type.
        char icon[kMaxText];
        if (Reg_GetValueString(HKEY_CLASSES_ROOT, "hlpfile\\DefaultIcon", nullptr, icon, sizeof icon)) {
            std::string value = icon;
            std::string::size_type comma = value.find(',');
            std::string file = WithoutQuotes(value.substr(0, comma));
            int index = comma == std::string::npos ? 0 : std::atoi(WithoutQuotes(value.substr(comma + 1)).c_str());
            hr = link->SetIconLocation(file.c_str(), index);
        }
    } else {
        hr = link->SetIconLocation(target, iconIndex);
    }
    if (FAILED(hr)) return hr;
    hr = link->SetArguments(arguments ? arguments : "");
    if (FAILED(hr)) return hr;
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.out());
    if (FAILED(hr)) return hr;
    return file->Save(wide.c_str(), TRUE);
}

}  // extern "C"
