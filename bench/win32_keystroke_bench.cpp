// What one keystroke costs on the Win32 window at each output length: the real path of a WM_CHAR
// to the capture box, the handler, the append to the output and its repaint. Google Benchmark
// is not built for Windows targets on Debian, so this program times the keystrokes itself and
// prints the median and the spread of 200 keys per length.
//   zentrovax_win32_bench.exe [LENGTH...]   lengths in bytes; 1 KB, 100 KB and 1 MB by default
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "leet/leet_table.h"
#include "win32/message_loop.h"
#include "win32/win32_toolkit.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Output as typing makes it, appended in chunks: one SetWindowText of 100 KB takes seconds
// under Wine.
void Fill(zentrovax::Win32Toolkit& toolkit, std::size_t length) {
    const std::string keys = "the quick brown fox jumps over the lazy dog ";
    std::string chunk;
    std::size_t filled = 0;
    for (std::size_t i = 0; filled < length; ++i) {
        chunk +=
            *zentrovax::TranslateKey(static_cast<zentrovax::CharacterCode>(keys[i % keys.size()]));
        if (chunk.size() >= 4'096 || filled + chunk.size() >= length) {
            toolkit.AppendText(zentrovax::Box::txtLeet, chunk);
            filled += chunk.size();
            chunk.clear();
        }
    }
}

void Measure(std::size_t length) {
    zentrovax::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
    toolkit.Show();
    zentrovax::ProcessPendingMessages(toolkit.Window());
    Fill(toolkit, length);
    HWND capture = toolkit.Control("txtCapture");
    HWND output = toolkit.Control("txtLeet");
    UpdateWindow(output);
    constexpr int kKeys = 200;
    std::vector<double> times;
    times.reserve(kKeys);
    for (int i = 0; i < kKeys; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        SendMessageW(capture, WM_CHAR, 'a', 1);
        UpdateWindow(output);
        zentrovax::ProcessPendingMessages(toolkit.Window());
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    std::printf("keystroke at %8zu bytes: median %7.3f ms  (p10 %7.3f, p90 %7.3f)\n", length,
                times[kKeys / 2], times[kKeys / 10], times[kKeys * 9 / 10]);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> lengths;
    for (int i = 1; i < argc; ++i) {
        lengths.push_back(std::strtoull(argv[i], nullptr, 10));
    }
    if (lengths.empty()) {
        lengths = {1'000, 100'000, 1'000'000};
    }
    for (const std::size_t length : lengths) {
        Measure(length);
    }
    return 0;
}
