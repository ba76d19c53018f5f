#pragma once
// Makes sure the save folder exists, creating every missing level outermost first.
#include <string>
#include <string_view>

namespace kadrix {

struct FolderOps {
    virtual bool Exists(const std::wstring& folder) = 0;
    virtual bool Create(const std::wstring& folder) = 0;

protected:
    ~FolderOps() = default;
};

// `folder` is the save path followed by one backslash. Empty fails; a path of fewer
// than three characters, an existing folder, or one that is its own parent (a drive
// root) counts as present; otherwise the parent is made first, then the folder.
// A relative path whose missing part reaches its first component fails.
inline bool EnsureFolder(std::wstring_view folder, FolderOps& ops) {
    if (folder.empty()) return false;
    std::wstring path(folder);
    if (path.back() == L'\\') path.pop_back();
    const std::size_t separator = path.find_last_of(L"\\:");
    const std::wstring parent = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
    if (path.size() < 3 || ops.Exists(path) || parent == path) return true;
    return EnsureFolder(parent, ops) && ops.Create(path);
}

}  // namespace kadrix
