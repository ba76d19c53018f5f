#pragma once
// Collects the lines this process traces while the listener lives. Debug output is
// raised as an exception before anything else sees it, so a vectored handler reads
// every line, debugger or not, and lets it go on.
#include <windows.h>

#include <mutex>
#include <string>

namespace kadrix::test {

class TraceListener {
public:
    TraceListener() {
        Current() = this;
        handler_ = AddVectoredExceptionHandler(1, &Seen);
    }
    ~TraceListener() {
        RemoveVectoredExceptionHandler(handler_);
        Current() = nullptr;
    }
    TraceListener(const TraceListener&) = delete;
    TraceListener& operator=(const TraceListener&) = delete;

    std::wstring Text() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }

private:
    static constexpr DWORD kWidePrint = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C, where the system raises it

    static TraceListener*& Current() {
        static TraceListener* current = nullptr;
        return current;
    }

    static LONG CALLBACK Seen(EXCEPTION_POINTERS* pointers) noexcept {
        const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
        TraceListener* listener = Current();
        if (!listener || record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
        try {
            if (record.ExceptionCode == DBG_PRINTEXCEPTION_C) {
                const auto* line = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
                wchar_t wide[1024] = {};
                MultiByteToWideChar(CP_ACP, 0, line, -1, wide, 1023);
                listener->Append(wide);
            } else if (record.ExceptionCode == kWidePrint) {
                listener->Append(reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]));
            }
        } catch (...) {
            // a line lost to a full memory only weakens the test that reads it
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }

    void Append(const wchar_t* line) {
        const std::lock_guard<std::mutex> lock(mutex_);
        text_ += line;
    }

    PVOID handler_ = nullptr;
    std::mutex mutex_;
    std::wstring text_;
};

}  // namespace kadrix::test
