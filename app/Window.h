#pragma once
// The program's one way to be a window. An object that handles a window's messages
// holds a Window, declared after everything its handlers use, so the window goes
// first. Messages reach the handler from WM_NCCREATE (windows of the program's own
// classes), from WM_INITDIALOG (dialogs) or from the moment a system control is
// attached, until WM_NCDESTROY. No exception crosses the system's frames (on x64 it
// never arrives): what a handler throws while the window is being made is thrown by
// Create; later, a modal run of the window's top-level window ends with it and throws
// it after its loop; otherwise the standard error box shows it.
#include <windows.h>

#include <exception>

namespace kadrix {

class MessageHandler {
public:
    // Messages the handler leaves alone go to its Window's Default.
    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;

protected:
    ~MessageHandler() = default;
};

struct WindowCreation {
    const wchar_t* window_class;  // registered with Window::Procedure
    DWORD style;
    DWORD ex_style = 0;
    RECT frame{};                 // in screen or parent pixels
    HWND parent = nullptr;        // parent of a child window, owner of a top-level one
    int id = 0;                   // of a child window
    const wchar_t* text = L"";
};

class Window {
public:
    explicit Window(MessageHandler& handler) noexcept : handler_(handler) {}
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND get() const noexcept { return window_; }

    // A window of one of the program's own classes, owned.
    void Create(const WindowCreation& creation);
    // A dialog from an in-memory template, owned; its handler runs before the dialog's
    // own procedure.
    void CreateFromTemplate(const DLGTEMPLATE& frame, HWND owner);
    // A control made by someone else, its class's procedure the default; its parent
    // destroys it.
    void Attach(HWND control);

    // What the window's class (or the dialog manager) does with a message.
    LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) const;

    // The procedure of every class the program registers.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                              DWORD_PTR self) noexcept;
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    void Subclass(HWND window);
    void Unbind() noexcept;
    void ThrowCreationError(HWND made, const wchar_t* operation, DWORD code);

    MessageHandler& handler_;
    HWND window_ = nullptr;
    bool owned_ = false;
    bool subclassed_ = false;
    bool creating_ = false;
    std::exception_ptr creation_error_;
};

}  // namespace kadrix
