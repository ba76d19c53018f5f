#pragma once
// What the output stage asks of the system: the clock, the save folder, new files,
// the clipboard, the sound and the one message it may show. The program's own are
// Win32's (DesktopOutput); tests put others in their place.
#include <memory>
#include <string>

#include "capture/SaveFolder.h"
#include "capture/TimeName.h"
#include "imaging/ByteSink.h"

namespace kadrix {

class Bitmap;

// A new file's bytes: they stay only once committed; a file dropped before then is removed.
class OutputFile : public ByteSink {
public:
    virtual void commit() = 0;  // throws kadrix::Error, and removes the file, when it cannot be finished
};

class OutputServices : public FolderOps {
public:
    virtual LocalTime Now() = 0;
    // Null when a file of that name exists already, which is left as it is; throws
    // kadrix::Error when the file cannot be made for any other reason.
    virtual std::unique_ptr<OutputFile> CreateNewFile(const std::wstring& path) = 0;
    // Throws kadrix::Error when the clipboard cannot be had (another program holds it open
    // longer than the wait for it).
    virtual void PutOnClipboard(const Bitmap& capture) = 0;
    virtual void PlayCaptureSound() = 0;
    virtual void ShowFolderMessage() = 0;  // returns once the user has closed it

protected:
    ~OutputServices() = default;
};

}  // namespace kadrix
