// pipelisten: the server end of the installer's debug pipe. Prints every text that arrives, one
// per line (UTF-8; a line feed inside a text is printed as "\n"), and waits for the next writer
// when one goes away, since the installer reconnects after a broken pipe.
//   pipelisten [--count N] [--timeout MS] [--name PIPE]
// Ends after N texts (exit 0) or when MS milliseconds have passed (exit 0 when no count was
// asked for, else 1). "listening" on standard error says the pipe exists.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ports/TextCodec.h"

namespace {

long g_wanted = -1;
long g_received = 0;

void PrintText(const std::u16string& units) {
    std::wstring text = platform::text::FromUtf16(units);
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\n') shown += L"\\n";
        else if (c == L'\r') shown += L"\\r";
        else shown.push_back(c);
    }
    std::string line = platform::text::ToUtf8(shown) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

DWORD WINAPI Watchdog(void* param) {
    ::Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(param)));
    std::fflush(stdout);
    ::ExitProcess(g_wanted < 0 ? 0 : 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 lines exactly as written, LF only
    std::wstring name = L"\\\\.\\pipe\\VESKA_DEBUG_PIPE";
    DWORD timeout = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring option = argv[i];
        if (option == L"--count") g_wanted = std::wcstol(argv[i + 1], nullptr, 10);
        else if (option == L"--timeout") timeout = std::wcstoul(argv[i + 1], nullptr, 10);
        else if (option == L"--name") name = argv[i + 1];
        else { std::fprintf(stderr, "usage: pipelisten [--count N] [--timeout MS] [--name PIPE]\n"); return 2; }
    }
    if (timeout) ::CreateThread(nullptr, 0, Watchdog, reinterpret_cast<void*>(static_cast<uintptr_t>(timeout)), 0, nullptr);

    HANDLE pipe = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                     1, 0, 0x20000, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "pipelisten: cannot create the pipe (%lu)\n", ::GetLastError());
        return 1;
    }
    std::fprintf(stderr, "listening\n");
    std::fflush(stderr);
    std::u16string pending;
    std::vector<unsigned char> buffer(0x10000);
    bool odd = false;
    unsigned char oddByte = 0;
    while (g_wanted < 0 || g_received < g_wanted) {
        if (!::ConnectNamedPipe(pipe, nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED) {
            ::Sleep(50);
            continue;
        }
        for (;;) {
            DWORD read = 0;
            if (!::ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) || read == 0) break;
            for (DWORD k = 0; k < read; ++k) {
                if (!odd) { oddByte = buffer[k]; odd = true; continue; }
                odd = false;
                char16_t unit = static_cast<char16_t>(oddByte | (buffer[k] << 8));
                if (unit != u'\0') { pending.push_back(unit); continue; }
                PrintText(pending);
                pending.clear();
                if (g_wanted >= 0 && ++g_received >= g_wanted) return 0;
            }
        }
        // The writer went away: what it left unterminated is not a text.
        pending.clear();
        odd = false;
        ::DisconnectNamedPipe(pipe);
    }
    return 0;
}
