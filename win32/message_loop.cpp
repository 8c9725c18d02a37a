#include "win32/message_loop.h"

namespace zentrovax {
namespace {

void Dispatch(HWND window, MSG& message) {
    if (!IsDialogMessageW(window, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int RunMessageLoop(HWND window) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(window, message);
    }
    return static_cast<int>(message.wParam);
}

bool ProcessPendingMessages(HWND window) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            return false;
        }
        Dispatch(window, message);
    }
    return true;
}

}  // namespace zentrovax
