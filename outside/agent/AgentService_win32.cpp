// CorvaneAgent.exe: the product's agent service. Started by the service manager it runs as the
// service "CorvaneAgent"; "/console" runs the same listener as a plain program (Ctrl+C ends it);
// "/install" and "/uninstall" create and remove the service for test machines (the installer
// creates it itself on a real install).
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "outside/agent/AgentDispatcher.h"
#include "outside/agent/AgentFiles_win32.h"
#include "outside/agent/AgentServer_win32.h"
#include "outside/agent/AgentSystem_win32.h"
#include "platform/win32/ScopedWin.h"

namespace {

using namespace corvane_agent;
using platform::win32::ScopedHandle;
using platform::win32::ScopedService;

const wchar_t kServiceName[] = L"CorvaneAgent";
const wchar_t kDisplayName[] = L"CorvaneAgentService";
const wchar_t kDescription[] = L"Talvoric HDD Corvane";

// Everything one run of the agent needs, whichever way it was started.
class AgentRun {
public:
    AgentRun()
        : log_(ExecutableFolder() + L"CorvaneAgent.log"),
          store_(ExecutableFolder() + L"CorvaneAgent.cfg"),
          dispatcher_(store_, [this](const std::string& line) { log_.Write(line); }, &system_),
          server_(dispatcher_, log_) {}

    FileLog& Log() { return log_; }

    bool Start(const char* how) {
        WSADATA data{};
        int error = ::WSAStartup(MAKEWORD(2, 2), &data);
        if (error != 0) {
            log_.Write("WSAStartup failed, error " + std::to_string(error));
            return false;
        }
        sockets_ = true;
        log_.Write(std::string("agent starting (") + how + ")");
        dispatcher_.LoadSettings();
        server_.Start();
        return true;
    }

    void Stop() {
        server_.Stop();
        if (sockets_) ::WSACleanup();
        sockets_ = false;
        log_.Write("agent stopped");
    }

private:
    FileLog log_;
    FileSettingsStore store_;
    Win32AgentSystem system_;
    AgentDispatcher dispatcher_;
    AgentServer server_;
    bool sockets_ = false;
};

// --- as a service ----------------------------------------------------------------------------

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status{};
ScopedHandle g_stopEvent;

void ReportStatus(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHint = 0) {
    static DWORD checkPoint = 1;
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwWin32ExitCode = exitCode;
    g_status.dwWaitHint = waitHint;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    g_status.dwCheckPoint = (state == SERVICE_RUNNING || state == SERVICE_STOPPED) ? 0 : checkPoint++;
    ::SetServiceStatus(g_statusHandle, &g_status);
}

DWORD WINAPI ServiceControl(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        // Connections in progress may take a few seconds to end.
        ReportStatus(SERVICE_STOP_PENDING, NO_ERROR, 15000);
        ::SetEvent(g_stopEvent.Get());
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    g_statusHandle = ::RegisterServiceCtrlHandlerExW(kServiceName, ServiceControl, nullptr);
    if (g_statusHandle == nullptr) return;
    ReportStatus(SERVICE_START_PENDING, NO_ERROR, 5000);
    g_stopEvent.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto run = std::make_unique<AgentRun>();
    if (!g_stopEvent || !run->Start("service")) {
        run->Log().Write("service could not start");
        ReportStatus(SERVICE_STOPPED, ERROR_SERVICE_SPECIFIC_ERROR);
        return;
    }
    ReportStatus(SERVICE_RUNNING);
    ::WaitForSingleObject(g_stopEvent.Get(), INFINITE);
    run->Stop();
    ReportStatus(SERVICE_STOPPED);
}

// --- as a console program ------------------------------------------------------------------

ScopedHandle g_consoleStop;

BOOL WINAPI ConsoleControl(DWORD) {
    ::SetEvent(g_consoleStop.Get());
    return TRUE;
}

int RunConsole() {
    g_consoleStop.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    AgentRun run;
    run.Log().EchoToConsole(true);
    if (!g_consoleStop || !run.Start("console")) return 1;
    ::SetConsoleCtrlHandler(ConsoleControl, TRUE);
    ::WaitForSingleObject(g_consoleStop.Get(), INFINITE);
    run.Stop();
    return 0;
}

// --- /install and /uninstall ---------------------------------------------------------------

int Install() {
    wchar_t path[MAX_PATH * 2];
    if (::GetModuleFileNameW(nullptr, path, MAX_PATH * 2) == 0) return 1;
    std::wstring command = L"\"" + std::wstring(path) + L"\"";
    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE | SC_MANAGER_CONNECT));
    if (!manager) {
        std::fwprintf(stderr, L"OpenSCManager failed: %lu\n", ::GetLastError());
        return 1;
    }
    ScopedService service(::CreateServiceW(manager.Get(), kServiceName, kDisplayName, SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE,
                                           command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        DWORD error = ::GetLastError();
        if (error != ERROR_SERVICE_EXISTS) {
            std::fwprintf(stderr, L"CreateService failed: %lu\n", error);
            return 1;
        }
        service.Reset(::OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
        if (!service) {
            std::fwprintf(stderr, L"OpenService failed: %lu\n", ::GetLastError());
            return 1;
        }
    } else {
        SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(kDescription)};
        ::ChangeServiceConfig2W(service.Get(), SERVICE_CONFIG_DESCRIPTION, &description);
    }
    if (!::StartServiceW(service.Get(), 0, nullptr) && ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
        std::fwprintf(stderr, L"StartService failed: %lu\n", ::GetLastError());
        return 1;
    }
    for (int i = 0; i < 100; ++i) {
        SERVICE_STATUS status{};
        if (::QueryServiceStatus(service.Get(), &status) && status.dwCurrentState == SERVICE_RUNNING) {
            std::wprintf(L"service %ls running\n", kServiceName);
            return 0;
        }
        ::Sleep(100);
    }
    std::fwprintf(stderr, L"service %ls did not reach the running state\n", kServiceName);
    return 1;
}

int Uninstall() {
    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        std::fwprintf(stderr, L"OpenSCManager failed: %lu\n", ::GetLastError());
        return 1;
    }
    ScopedService service(::OpenServiceW(manager.Get(), kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) {
        DWORD error = ::GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) {
            std::wprintf(L"service %ls not installed\n", kServiceName);
            return 0;
        }
        std::fwprintf(stderr, L"OpenService failed: %lu\n", error);
        return 1;
    }
    SERVICE_STATUS status{};
    if (::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
        for (int i = 0; i < 200 && status.dwCurrentState != SERVICE_STOPPED; ++i) {
            ::Sleep(100);
            if (!::QueryServiceStatus(service.Get(), &status)) break;
        }
    }
    if (!::DeleteService(service.Get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
        std::fwprintf(stderr, L"DeleteService failed: %lu\n", ::GetLastError());
        return 1;
    }
    std::wprintf(L"service %ls removed\n", kServiceName);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1) {
        std::wstring option = argv[1];
        if (option == L"/console") return RunConsole();
        if (option == L"/install") return Install();
        if (option == L"/uninstall") return Uninstall();
        std::fwprintf(stderr, L"usage: CorvaneAgent.exe [/console | /install | /uninstall]\n");
        return 2;
    }
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), ServiceMain}, {nullptr, nullptr}};
    if (!::StartServiceCtrlDispatcherW(table)) {
        DWORD error = ::GetLastError();
        if (error == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT)
            std::fwprintf(stderr, L"CorvaneAgent.exe runs as a service; use /console to run it here\n");
        else
            std::fwprintf(stderr, L"StartServiceCtrlDispatcher failed: %lu\n", error);
        return 1;
    }
    return 0;
}
