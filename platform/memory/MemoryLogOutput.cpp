#include "platform/memory/MemoryLogOutput.h"

#include "platform/ports/TextCodec.h"

namespace platform::memory {

bool MemoryLogFile::Create(const std::wstring& path) {
    if (faults.Check("Create") != 0) return false;
    files[path].clear();
    open_ = path;
    return true;
}

bool MemoryLogFile::Append(const std::string& bytes) {
    if (open_.empty() || faults.Check("Append") != 0) return false;
    files[open_] += bytes;
    return true;
}

bool MemoryLogFile::Delete(const std::wstring& path) {
    if (faults.Check("Delete") != 0) return false;
    return files.erase(path) != 0;
}

bool MemoryLogFile::Move(const std::wstring& from, const std::wstring& to) {
    if (faults.Check("Move") != 0) return false;
    auto it = files.find(from);
    if (it == files.end() || files.count(to) != 0) return false;  // MoveFileW does not replace
    files[to] = it->second;
    files.erase(it);
    return true;
}

bool MemoryPipeClient::Connect(const std::wstring& name) {
    ++connects;
    connectedNames.push_back(name);
    if (!listening || faults.Check("Connect") != 0) return false;
    connected_ = true;
    return true;
}

bool MemoryPipeClient::Write(const std::string& bytes) {
    if (!connected_ || !listening || faults.Check("Write") != 0) return false;
    received.push_back(bytes);
    return true;
}

std::vector<std::wstring> MemoryPipeClient::Texts() const {
    std::vector<std::wstring> texts;
    for (const std::string& message : received) {
        std::u16string units;
        for (size_t i = 0; i + 1 < message.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<uint8_t>(message[i]) | (static_cast<uint8_t>(message[i + 1]) << 8)));
        bool wellFormed = message.size() % 2 == 0 && !units.empty() && units.back() == u'\0' &&
                          units.find(u'\0') == units.size() - 1;
        if (!wellFormed) { texts.push_back(L"<malformed>"); continue; }
        units.pop_back();
        texts.push_back(platform::text::FromUtf16(units));
    }
    return texts;
}

}  // namespace platform::memory
