// In-memory log file store and debug-pipe client for the log's tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/ports/LogOutput.h"

namespace platform::memory {

class MemoryLogFile : public platform::ILogFile {
public:
    std::map<std::wstring, std::string> files;  // path -> content, paths compared as given

    bool Create(const std::wstring& path) override;
    bool Append(const std::string& bytes) override;
    void Close() override { open_.clear(); }
    bool Delete(const std::wstring& path) override;
    bool Move(const std::wstring& from, const std::wstring& to) override;

    // Operations "Create", "Append", "Delete", "Move".
    FaultInjector faults;

private:
    std::wstring open_;
};

// A pipe whose server end is the test: `listening` says whether a server exists; every message
// written while connected is recorded as raw bytes.
class MemoryPipeClient : public platform::IPipeClient {
public:
    bool listening = false;
    std::vector<std::string> received;  // one entry per Write call
    std::vector<std::wstring> connectedNames;
    int connects = 0;

    bool Connect(const std::wstring& name) override;
    bool Write(const std::string& bytes) override;
    void Disconnect() override { connected_ = false; }
    bool Connected() const override { return connected_; }

    // Operations "Connect", "Write".
    FaultInjector faults;

    // The texts received, decoded from their zero-terminated UTF-16LE form; a message without
    // exactly one terminator at its end is reported as "<malformed>".
    std::vector<std::wstring> Texts() const;

private:
    bool connected_ = false;
};

}  // namespace platform::memory
