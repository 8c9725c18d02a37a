#include <exception>

#include "win32/message_loop.h"
#include "win32/win32_toolkit.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int show_command) {
    try {
        zentrovax::Win32Toolkit frmZentrovax(instance);
        frmZentrovax.Show(show_command);
        return zentrovax::RunMessageLoop(frmZentrovax.Window());
    } catch (const std::exception& error) {
        // A windowed program has no console to report to.
        MessageBoxA(nullptr, error.what(), "Zentrovax", MB_OK | MB_ICONERROR);
        return 1;
    }
}
