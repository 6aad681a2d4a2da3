#include "platform/win32/Win32SystemFacts.h"

#include <winioctl.h>
#include <mmsystem.h>

#include <vector>

namespace platform::win32 {

namespace {

// IOCTL_DISK_GET_PARTITION_INFO_EX answers a PARTITION_INFORMATION_EX: 144 bytes on every
// Windows, PartitionStyle first.
constexpr DWORD kPartitionInfoExSize = 144;

class Win32Device : public platform::IDevice {
public:
    explicit Win32Device(HANDLE h) : handle_(h) {}
    bool PartitionStyle(int32_t& style, uint32_t& error) override {
        unsigned char out[kPartitionInfoExSize] = {};
        DWORD returned = 0;
        if (!::DeviceIoControl(handle_.Get(), IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0, out, sizeof out, &returned, nullptr)) {
            error = ::GetLastError();
            return false;
        }
        style = static_cast<int32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<uint32_t>(out[3]) << 24));
        return true;
    }
    bool CompressionFormat(uint16_t& format, uint32_t& error) override {
        USHORT value = 0;
        DWORD returned = 0;
        if (!::DeviceIoControl(handle_.Get(), FSCTL_GET_COMPRESSION, nullptr, 0, &value, sizeof value, &returned, nullptr)) {
            error = ::GetLastError();
            return false;
        }
        format = value;
        return true;
    }

private:
    ScopedHandle handle_;
};

std::unique_ptr<platform::IDevice> OpenDevice(const std::wstring& path, DWORD access, DWORD flags, uint32_t& error) {
    HANDLE h = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return nullptr;
    }
    return std::make_unique<Win32Device>(h);
}

class Win32Module : public platform::IModule {
public:
    explicit Win32Module(HMODULE m) : module_(m) {}
    void* Export(const char* name, uint32_t& error) override {
        FARPROC address = ::GetProcAddress(module_.Get(), name);
        if (!address) error = ::GetLastError();
        return reinterpret_cast<void*>(address);
    }

private:
    ScopedModule module_;
};

}  // namespace

std::wstring Win32SystemFacts::TempFolder() {
    wchar_t buffer[MAX_PATH + 2] = {};
    DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    return n > MAX_PATH + 1 ? std::wstring() : std::wstring(buffer, n);
}

std::wstring Win32SystemFacts::SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return n >= MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

uint32_t Win32SystemFacts::TickCount() { return ::timeGetTime(); }

uint32_t Win32SystemFacts::DriveType(wchar_t letter) {
    wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return ::GetDriveTypeW(root);
}

std::unique_ptr<platform::IDevice> Win32SystemFacts::OpenDisk(const std::wstring& path, uint32_t& error) {
    return OpenDevice(path, GENERIC_READ | GENERIC_WRITE, 0, error);
}

std::unique_ptr<platform::IDevice> Win32SystemFacts::OpenRoot(const std::wstring& path, uint32_t& error) {
    // A folder opens only with backup semantics; without them the compression query could never run.
    return OpenDevice(path, GENERIC_READ, FILE_FLAG_BACKUP_SEMANTICS, error);
}

bool Win32SystemFacts::FileAttributes(const std::wstring& path, uint32_t& attributes, uint32_t& error) {
    DWORD value = ::GetFileAttributesW(path.c_str());
    if (value == INVALID_FILE_ATTRIBUTES) {
        error = ::GetLastError();
        return false;
    }
    attributes = value;
    return true;
}

bool Win32LogFile::Create(const std::wstring& path) {
    file_.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.IsValid();
}

bool Win32LogFile::Append(const std::string& bytes) {
    if (!file_.IsValid()) return false;
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
        return false;
    ::FlushFileBuffers(file_.Get());
    return true;
}

bool Win32LogFile::Delete(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != FALSE; }

bool Win32LogFile::Move(const std::wstring& from, const std::wstring& to) {
    return ::MoveFileW(from.c_str(), to.c_str()) != FALSE;
}

bool Win32PipeClient::Connect(const std::wstring& name) {
    pipe_.Reset(::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    return pipe_.IsValid();
}

bool Win32PipeClient::Write(const std::string& bytes) {
    if (!pipe_.IsValid()) return false;
    DWORD written = 0;
    if (!::WriteFile(pipe_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
        return false;
    ::FlushFileBuffers(pipe_.Get());
    return true;
}

std::unique_ptr<platform::IModule> Win32Modules::Load(const std::wstring& name, uint32_t& error) {
    HMODULE module = ::LoadLibraryW(name.c_str());
    if (!module) {
        error = ::GetLastError();
        return nullptr;
    }
    return std::make_unique<Win32Module>(module);
}

}  // namespace platform::win32
