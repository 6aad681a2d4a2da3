// Where the installer's log goes: its temporary text file, and the client end of the debug pipe.
#pragma once

#include <string>

namespace platform {

class ILogFile {
public:
    virtual ~ILogFile() = default;
    // Creates or truncates `path`, open for writing and shared for reading and writing, so that
    // support staff can look at it while the installer runs.
    virtual bool Create(const std::wstring& path) = 0;
    // Appends and flushes, so a crash loses nothing already logged.
    virtual bool Append(const std::string& bytes) = 0;
    virtual void Close() = 0;
    virtual bool Delete(const std::wstring& path) = 0;
    virtual bool Move(const std::wstring& from, const std::wstring& to) = 0;
};

class IPipeClient {
public:
    virtual ~IPipeClient() = default;
    // Opens an existing pipe for writing (sharing read and write, no security attributes).
    virtual bool Connect(const std::wstring& name) = 0;
    // Writes all bytes, then flushes; false when the pipe broke.
    virtual bool Write(const std::string& bytes) = 0;
    virtual void Disconnect() = 0;
    virtual bool Connected() const = 0;
};

}  // namespace platform
