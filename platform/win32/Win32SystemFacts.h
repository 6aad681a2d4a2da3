// The installer's system questions, the log file and the debug-pipe client, and module loading,
// answered by Windows.
#pragma once

#include "platform/ports/LogOutput.h"
#include "platform/ports/Modules.h"
#include "platform/ports/SystemFacts.h"
#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

class Win32SystemFacts : public platform::ISystemFacts {
public:
    std::wstring TempFolder() override;
    std::wstring SystemFolder() override;
    uint32_t TickCount() override;  // timeGetTime: consumers link winmm
    uint32_t DriveType(wchar_t letter) override;
    std::unique_ptr<platform::IDevice> OpenDisk(const std::wstring& path, uint32_t& error) override;
    std::unique_ptr<platform::IDevice> OpenRoot(const std::wstring& path, uint32_t& error) override;
    bool FileAttributes(const std::wstring& path, uint32_t& attributes, uint32_t& error) override;
    void SetLastError(uint32_t error) override { ::SetLastError(error); }
};

class Win32LogFile : public platform::ILogFile {
public:
    bool Create(const std::wstring& path) override;
    bool Append(const std::string& bytes) override;
    void Close() override { file_.Reset(); }
    bool Delete(const std::wstring& path) override;
    bool Move(const std::wstring& from, const std::wstring& to) override;

private:
    ScopedHandle file_;
};

class Win32PipeClient : public platform::IPipeClient {
public:
    bool Connect(const std::wstring& name) override;
    bool Write(const std::string& bytes) override;
    void Disconnect() override { pipe_.Reset(); }
    bool Connected() const override { return pipe_.IsValid(); }

private:
    ScopedHandle pipe_;
};

class Win32Modules : public platform::IModules {
public:
    std::unique_ptr<platform::IModule> Load(const std::wstring& name, uint32_t& error) override;
};

}  // namespace platform::win32
