// The folder chooser's call sequence and its event sink, against a fake chooser that
// records what it is asked and answers as told.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "settings/Shobjidl.h"

namespace kadrix {
namespace {

using Microsoft::WRL::ComPtr;

// A stack object: reference counts are only recorded.
template <typename Interface>
class Fake : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

class FakeItem : public Fake<IShellItem> {
public:
    HRESULT name_result = S_OK;
    const wchar_t* name = L"C:\\picked";
    void (*fail)() = nullptr;  // throws, as a failing step of the sink would

    HRESULT STDMETHODCALLTYPE GetDisplayName(SIGDN form, LPWSTR* text) override {
        *text = nullptr;
        if (fail) fail();
        if (form != SIGDN_FILESYSPATH || FAILED(name_result)) return FAILED(name_result) ? name_result : E_INVALIDARG;
        const std::size_t bytes = (wcslen(name) + 1) * sizeof(wchar_t);
        *text = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
        memcpy(*text, name, bytes);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(IShellItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributes(SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Compare(IShellItem*, SICHINTF, int*) override { return E_NOTIMPL; }
};

class FakeChooser : public Fake<IFileDialog> {
public:
    std::vector<std::wstring> calls;
    FakeItem item;
    // Options the chooser comes with, as the shell's file-open dialog has them.
    FILEOPENDIALOGOPTIONS own_options = FOS_NOCHANGEDIR | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST;
    HRESULT result_answer = S_OK;     // of GetResult
    HRESULT show_answer = S_OK;       // of Show
    bool accept = true;               // Show calls OnFileOk
    bool drop_sink_in_show = false;   // Show lets go of its reference before returning
    IFileDialogEvents* watched = nullptr;  // the sink, with one reference of the test's own

    HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents* sink, DWORD* cookie) override {
        calls.push_back(L"Advise");
        sink_ = sink;
        watched = sink;
        watched->AddRef();
        *cookie = 42;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        calls.push_back(L"Unadvise " + std::to_wstring(cookie));
        sink_.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Show(HWND owner) override {
        calls.push_back(owner == kOwner ? L"Show owner" : L"Show other");
        if (accept && sink_) sink_->OnFileOk(this);
        if (drop_sink_in_show) sink_.Reset();
        return show_answer;
    }
    HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS* options) override {
        calls.push_back(L"GetOptions");
        *options = own_options;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS options) override {
        calls.push_back(L"SetOptions " + std::to_wstring(options));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR title) override {
        calls.push_back(std::wstring(L"SetTitle ") + title);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFolder(IShellItem* folder) override {
        calls.push_back(folder ? L"SetFolder" : L"SetFolder null");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResult(IShellItem** result) override {
        calls.push_back(L"GetResult");
        *result = nullptr;
        if (FAILED(result_answer)) return result_answer;
        item.AddRef();
        *result = &item;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetFileTypes(UINT, const COMDLG_FILTERSPEC*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetFolder(IShellItem**) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem**) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE AddPlace(IShellItem*, FDAP) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE Close(HRESULT) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ClearClientData() override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter*) override { return Unexpected(); }

    static inline const HWND kOwner = reinterpret_cast<HWND>(0x1234);

private:
    HRESULT Unexpected() {
        calls.push_back(L"unexpected call");
        return E_NOTIMPL;
    }
    ComPtr<IFileDialogEvents> sink_;
};

class FolderPicker : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    // Runs the chooser sequence on `chooser` and checks the sink was freed by the
    // test's own last reference, that is: every other reference was given back.
    bool Run(FakeChooser& chooser, const std::wstring& initial, std::wstring& path) {
        const bool accepted = RunFolderDialog(chooser, FakeChooser::kOwner, L"Выберите папку", initial, path);
        EXPECT_TRUE(chooser.watched);
        if (chooser.watched) {
            EXPECT_EQ(chooser.watched->Release(), 0u);
        }
        EXPECT_EQ(chooser.item.references, 1u);
        return accepted;
    }
};

const std::wstring kExistingFolder = L"C:\\windows";

TEST_F(FolderPicker, AcceptedFolderComesFromTheSinkAfterTheCallsInOrder) {
    FakeChooser chooser;
    std::wstring path = L"unchanged";
    EXPECT_TRUE(Run(chooser, kExistingFolder, path));
    EXPECT_EQ(path, L"C:\\picked");
    // The chooser's own options stay; folders of the file system only are added.
    const std::wstring options = std::to_wstring(FOS_NOCHANGEDIR | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST |
                                                 FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    const std::vector<std::wstring> expected = {L"GetOptions", L"SetOptions " + options, L"SetTitle Выберите папку",
                                                L"SetFolder", L"Advise", L"Show owner", L"GetResult", L"Unadvise 42"};
    EXPECT_EQ(chooser.calls, expected);
}

TEST_F(FolderPicker, UnparsableInitialFolderSkipsSetFolder) {
    FakeChooser chooser;
    std::wstring path;
    EXPECT_TRUE(Run(chooser, L"Q:\\нет\\такой папки", path));
    EXPECT_EQ(std::count(chooser.calls.begin(), chooser.calls.end(), L"SetFolder"), 0);
    EXPECT_EQ(path, L"C:\\picked");
}

TEST_F(FolderPicker, OutcomesOfShowAndOnFileOk) {
    struct Case {
        const char* what;
        HRESULT show;
        bool accept;
        HRESULT result;
        HRESULT name;
        bool drop_sink_in_show;
        bool expected;
        const wchar_t* expected_path;
    };
    const HRESULT cancelled = HRESULT_FROM_WIN32(ERROR_CANCELLED);
    const Case cases[] = {
        {"cancelled", cancelled, false, S_OK, S_OK, false, false, L"unchanged"},
        {"chooser failed after OnFileOk", E_FAIL, true, S_OK, S_OK, false, false, L"unchanged"},
        {"no result item", S_OK, true, E_FAIL, S_OK, false, false, L"unchanged"},
        {"item without a file-system path", S_OK, true, S_OK, E_INVALIDARG, false, false, L"unchanged"},
        {"chooser lets go of the sink during Show", S_OK, true, S_OK, S_OK, true, true, L"C:\\picked"},
    };
    for (const Case& c : cases) {
        FakeChooser chooser;
        chooser.show_answer = c.show;
        chooser.accept = c.accept;
        chooser.result_answer = c.result;
        chooser.item.name_result = c.name;
        chooser.drop_sink_in_show = c.drop_sink_in_show;
        std::wstring path = L"unchanged";
        EXPECT_EQ(Run(chooser, kExistingFolder, path), c.expected) << c.what;
        EXPECT_EQ(path, c.expected_path) << c.what;
        EXPECT_EQ(chooser.calls.back(), L"Unadvise 42") << c.what;
    }
}

TEST_F(FolderPicker, SinkCountsReferencesFromZeroAndAnswersOnlyItsInterfaces) {
    TFileDialogEvents* sink = TFileDialogEvents::Create();
    EXPECT_EQ(sink->AddRef(), 1u);
    void* object = nullptr;
    ASSERT_EQ(sink->QueryInterface(IID_IFileDialogEvents, &object), S_OK);
    EXPECT_EQ(object, static_cast<IFileDialogEvents*>(sink));
    ASSERT_EQ(sink->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IUnknown*>(sink));
    object = sink;
    EXPECT_EQ(sink->QueryInterface(IID_IFileDialogControlEvents, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(sink->Release(), 2u);
    EXPECT_EQ(sink->Release(), 1u);
    // Every other event is allowed and leaves the sink alone.
    EXPECT_EQ(sink->OnFolderChanging(nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->OnFileOk(nullptr), S_OK);
    EXPECT_EQ(sink->Directory(), L"");
    EXPECT_EQ(sink->Release(), 0u);
}

TEST_F(FolderPicker, FailureInsideOnFileOkBecomesAnHresult) {
    const struct {
        const char* what;
        void (*fail)();
        HRESULT expected;
    } cases[] = {
        {"out of memory", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
        {"any other error", [] { throw std::runtime_error("broken"); }, E_FAIL},
    };
    for (const auto& c : cases) {
        FakeChooser chooser;
        chooser.item.fail = c.fail;
        const ComPtr<TFileDialogEvents> sink = TFileDialogEvents::Create();
        HRESULT answer = S_OK;
        EXPECT_NO_THROW(answer = sink->OnFileOk(&chooser)) << c.what;
        EXPECT_EQ(answer, c.expected) << c.what;
        EXPECT_EQ(sink->Directory(), L"") << c.what;
        EXPECT_EQ(chooser.item.references, 1u) << c.what << ": the item is given back";
    }
}

// The shell's own chooser, read back while it shows and then cancelled: the timer
// runs inside the chooser's modal loop.
struct ShownChooser {
    IFileDialog* dialog = nullptr;
    FILEOPENDIALOGOPTIONS options = 0;
    bool seen = false;
};
ShownChooser shown_chooser;

void CALLBACK ReadOptionsAndCancel(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM found) {
            wchar_t name[16] = {};
            GetClassNameW(candidate, name, 16);
            if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(candidate)) return TRUE;
            *reinterpret_cast<HWND*>(found) = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&window));
    if (!window) return;
    KillTimer(nullptr, timer);
    shown_chooser.seen = SUCCEEDED(shown_chooser.dialog->GetOptions(&shown_chooser.options));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(FolderPicker, ShellsChooserShowsWithItsOwnOptionsPlusFileSystemFoldersOnly) {
    ComPtr<IFileDialog> dialog;
    ASSERT_EQ(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog, &dialog), S_OK);
    FILEOPENDIALOGOPTIONS own = 0;
    ASSERT_EQ(dialog->GetOptions(&own), S_OK);
    ASSERT_NE(own, 0u) << "without options of its own, kept and replaced options look alike";
    shown_chooser = {dialog.Get()};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadOptionsAndCancel);
    std::wstring path = L"unchanged";
    EXPECT_FALSE(RunFolderDialog(*dialog.Get(), nullptr, L"Выберите папку", kExistingFolder, path));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(shown_chooser.seen);
    EXPECT_EQ(shown_chooser.options, own | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    EXPECT_EQ(path, L"unchanged");
}

TEST(FolderPickerWithoutCom, MissingChooserClassReportsFalseAndLeavesThePath) {
    // A fresh thread has no COM, so the chooser class cannot be created there at all.
    std::wstring path = L"unchanged";
    bool accepted = true;
    std::thread([&] { accepted = SelectFolder(nullptr, L"Выберите папку", kExistingFolder, path); }).join();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(path, L"unchanged");
}

}  // namespace
}  // namespace kadrix
