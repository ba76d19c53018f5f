#pragma once
// The shell's folder chooser: SelectFolder shows the item-based file dialog in folder
// mode, modal to a window, and hands back the file-system path of the accepted folder.
#include <windows.h>
#include <shobjidl.h>

#include <atomic>
#include <memory>
#include <string>

namespace kadrix {

// Event sink of the chooser; it only remembers the folder accepted in OnFileOk.
// Reference counted as COM wants: the count starts at 0 and the last Release frees it.
// Its methods are called from the chooser's frames, so they answer failures with an
// HRESULT and never throw.
class TFileDialogEvents final : public IFileDialogEvents {
public:
    // A new sink on the heap, not yet referenced; hand it to a ComPtr at once.
    static TFileDialogEvents* Create();

    const std::wstring& Directory() const noexcept { return Directory_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog* dialog) noexcept override;
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                               FDE_SHAREVIOLATION_RESPONSE*) noexcept override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) noexcept override {
        return S_OK;
    }

    TFileDialogEvents() = default;

private:
    // Only the last Release frees a sink, so none lives on the stack.
    ~TFileDialogEvents() = default;
    friend struct std::default_delete<TFileDialogEvents>;

    std::atomic<ULONG> count_{0};
    std::wstring Directory_;
};

// True when the user accepted a folder that has a file-system path: `path` then holds it.
// False when the chooser is missing, cancelled or failed, or the accepted item has no
// path; `path` is left alone then. Failures are silent.
bool SelectFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder, std::wstring& path);

// The same on a chooser the caller made (SelectFolder creates the shell's own).
bool RunFolderDialog(IFileDialog& dialog, HWND owner, const std::wstring& title, const std::wstring& initialFolder,
                     std::wstring& path);

}  // namespace kadrix
