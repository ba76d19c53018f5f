// The hotkeys' registration, through a stand-in for RegisterHotKey that records each
// call and refuses the combination another program holds. Wine neither honours nor
// shows MOD_NOREPEAT (measured: ten repeated key-downs give ten WM_HOTKEY with it too,
// and a second registration differing only in it is refused alike), so the calls are
// what can be checked.
#include <gtest/gtest.h>

#include <vector>

#include "app/Hotkeys.h"
#include "trace_listener.h"

namespace kadrix {
namespace {

struct Registration {
    HWND window;
    int id;
    UINT modifiers;
    UINT key;
    bool operator==(const Registration&) const = default;
};

void PrintTo(const Registration& r, std::ostream* out) {
    *out << "{id " << r.id << ", modifiers 0x" << std::hex << r.modifiers << ", key 0x" << r.key << std::dec << "}";
}

std::vector<Registration> registrations;
int held_elsewhere = -1;  // the identifier whose combination another program holds

BOOL WINAPI RecordRegistration(HWND window, int id, UINT modifiers, UINT key) {
    registrations.push_back({window, id, modifiers, key});
    if (id != held_elsewhere) return TRUE;
    SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
    return FALSE;
}

TEST(Hotkeys, AltNum0To2AreRegisteredWithoutKeyboardRepeatAlsoWhenOneIsHeldElsewhere) {
    const HWND window = reinterpret_cast<HWND>(0x1234);
    const UINT once = MOD_ALT | MOD_NOREPEAT;
    const std::vector<Registration> expected = {
        {window, 0, once, VK_NUMPAD0}, {window, 1, once, VK_NUMPAD1}, {window, 2, once, VK_NUMPAD2}};
    for (const int held : {-1, 1}) {
        registrations.clear();
        held_elsewhere = held;
        test::TraceListener traces;
        RegisterHotkeys(window, &RecordRegistration);
        EXPECT_EQ(registrations, expected) << "held elsewhere: " << held;
        const bool traced = traces.Text().find(L"kadrix: RegisterHotKey: code 0x00000581") != std::wstring::npos;
        EXPECT_EQ(traced, held >= 0) << traces.Text();
    }
}

}  // namespace
}  // namespace kadrix
