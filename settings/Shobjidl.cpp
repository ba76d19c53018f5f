#include "settings/Shobjidl.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <memory>
#include <new>

#include "app/Trace.h"

namespace kadrix {

using Microsoft::WRL::ComPtr;

namespace {

// Text allocated by the shell, freed with CoTaskMemFree.
struct CoTaskMemDeleter {
    void operator()(wchar_t* text) const noexcept { CoTaskMemFree(text); }
};
using unique_cotaskmem_string = std::unique_ptr<wchar_t, CoTaskMemDeleter>;

}  // namespace

TFileDialogEvents* TFileDialogEvents::Create() { return std::make_unique<TFileDialogEvents>().release(); }

HRESULT TFileDialogEvents::QueryInterface(REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IFileDialogEvents) {
        *object = static_cast<IFileDialogEvents*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TFileDialogEvents::AddRef() noexcept { return ++count_; }

ULONG TFileDialogEvents::Release() noexcept {
    const ULONG remaining = --count_;
    if (remaining == 0) std::unique_ptr<TFileDialogEvents> last_reference(this);
    return remaining;
}

HRESULT TFileDialogEvents::OnFileOk(IFileDialog* dialog) noexcept {
    // S_OK on every path but a failure of its own: the chooser accepts and closes.
    try {
        ComPtr<IShellItem> item;
        if (!dialog || FAILED(dialog->GetResult(&item)) || !item) return S_OK;
        wchar_t* name = nullptr;
        if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name))) return S_OK;
        const unique_cotaskmem_string owned(name);
        if (owned) Directory_ = owned.get();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

bool RunFolderDialog(IFileDialog& dialog, HWND owner, const std::wstring& title, const std::wstring& initialFolder,
                     std::wstring& path) {
    // The results of the set-up calls do not matter: the chooser opens regardless.
    // Options come first: some choosers put their own caption in on entering folder mode.
    // SetOptions replaces the chooser's own options, so they are kept; without a forced
    // file system the user could accept This PC, a library or a phone, which have no path.
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.GetOptions(&options);
    dialog.SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    dialog.SetTitle(title.c_str());
    ComPtr<IShellItem> folder;
    if (SUCCEEDED(SHCreateItemFromParsingName(initialFolder.c_str(), nullptr, IID_IShellItem, &folder)) && folder)
        dialog.SetFolder(folder.Get());

    // Our own reference keeps Directory readable whatever the chooser does with its own.
    const ComPtr<TFileDialogEvents> events = TFileDialogEvents::Create();
    DWORD cookie = 0;
    dialog.Advise(events.Get(), &cookie);
    const HRESULT shown = dialog.Show(owner);
    if (FAILED(shown) && shown != HRESULT_FROM_WIN32(ERROR_CANCELLED)) TraceCode(L"folder chooser", shown);
    // A folder without a file-system path never replaces the one the user had.
    const bool accepted = shown == S_OK && !events->Directory().empty();
    if (accepted) path = events->Directory();
    dialog.Unadvise(cookie);
    return accepted;
}

bool SelectFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder, std::wstring& path) {
    ComPtr<IFileDialog> dialog;
    const HRESULT made = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                          IID_IFileDialog, &dialog);
    if (FAILED(made) || !dialog) {
        TraceCode(L"folder chooser", static_cast<unsigned long>(made));
        return false;
    }
    return RunFolderDialog(*dialog.Get(), owner, title, initialFolder, path);
}

}  // namespace kadrix
