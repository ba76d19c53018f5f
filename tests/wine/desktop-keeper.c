/* Holds Wine's virtual desktop open for a whole test session: the desktop closes
   itself about a second after the last process using it has gone. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    (void)instance; (void)previous; (void)command_line; (void)show;
    HWND window = CreateWindowExW(0, L"STATIC", L"desktop keeper", 0, 0, 0, 0, 0,
                                  HWND_MESSAGE, NULL, NULL, NULL);
    MSG message;
    while (GetMessageW(&message, window, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
