// Keeps Wine's desktop process running while bench/run.sh starts and kills the programs it times.
// With no program left on the desktop Wine ends its desktop process within a second, and the next
// program would pay for starting it again; on Windows the desktop is always there.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A message-only window joins the desktop without showing anything.
    if (::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr) == nullptr) return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    return 0;
}
