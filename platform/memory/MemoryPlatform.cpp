#include "platform/memory/MemoryPlatform.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace platform::memory {

std::wstring FoldCase(const std::wstring& text) {
    std::wstring folded = text;
    for (auto& ch : folded) ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
    return folded;
}

namespace {

std::vector<std::wstring> SplitPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t ch : path) {
        if (ch == L'\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part.push_back(ch);
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::wstring Hex(const std::vector<uint8_t>& bytes) {
    std::wstring out;
    wchar_t buf[4];
    for (uint8_t b : bytes) {
        std::swprintf(buf, 4, L"%02x", b);
        out += buf;
    }
    return out;
}

bool WildcardMatch(const std::wstring& mask, const std::wstring& name) {
    // "*.*" matches every name, as it does for FindFirstFileW.
    if (mask == L"*" || mask == L"*.*") return true;
    size_t m = 0, n = 0, star = std::wstring::npos, mark = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == L'?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == L'*') {
            star = m++;
            mark = n;
        } else if (star != std::wstring::npos) {
            m = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*') ++m;
    return m == mask.size();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Registry

std::vector<std::wstring> MemoryRegistry::Physical(RegRoot root, const std::wstring& path, bool view64) const {
    std::vector<std::wstring> parts = SplitPath(path);
    // A 32-bit process sees HKLM\SOFTWARE through Wow6432Node unless it asks for the 64-bit view.
    if (machine_.wow64 && !view64 && root == kHkeyLocalMachine && parts.size() >= 2 &&
        FoldCase(parts[0]) == L"software" && FoldCase(parts[1]) != L"wow6432node") {
        parts.insert(parts.begin() + 1, L"Wow6432Node");
    }
    return parts;
}

MemoryRegistry::Key* MemoryRegistry::Find(RegRoot root, const std::vector<std::wstring>& parts) {
    return const_cast<Key*>(static_cast<const MemoryRegistry*>(this)->Find(root, parts));
}

const MemoryRegistry::Key* MemoryRegistry::Find(RegRoot root, const std::vector<std::wstring>& parts) const {
    auto it = roots_.find(root);
    if (it == roots_.end()) return nullptr;
    const Key* key = &it->second;
    for (const auto& part : parts) {
        auto sub = key->subkeys.find(FoldCase(part));
        if (sub == key->subkeys.end()) return nullptr;
        key = &sub->second;
    }
    return key;
}

MemoryRegistry::Key& MemoryRegistry::Make(RegRoot root, const std::vector<std::wstring>& parts, bool& created) {
    created = false;
    Key* key = &roots_[root];
    for (const auto& part : parts) {
        auto [it, inserted] = key->subkeys.try_emplace(FoldCase(part));
        if (inserted) it->second.name = part;
        created = inserted;
        key = &it->second;
    }
    return *key;
}

static bool KnownRoot(RegRoot root) { return root >= kHkeyClassesRoot && root <= 0x80000006u; }

uint32_t MemoryRegistry::CreateKey(RegRoot root, const std::wstring& path, bool view64, bool& created) {
    created = false;
    if (uint32_t e = faults_.Check("RegCreateKeyEx")) return e;
    if (!KnownRoot(root)) return kErrorInvalidHandle;
    Make(root, Physical(root, path, view64), created);
    return 0;
}

uint32_t MemoryRegistry::OpenKey(RegRoot root, const std::wstring& path, bool view64) {
    if (uint32_t e = faults_.Check("RegOpenKeyEx")) return e;
    if (!KnownRoot(root)) return kErrorInvalidHandle;
    return Find(root, Physical(root, path, view64)) ? 0 : kErrorFileNotFound;
}

uint32_t MemoryRegistry::DeleteKey(RegRoot root, const std::wstring& path, bool view64) {
    if (uint32_t e = faults_.Check("RegDeleteKeyEx")) return e;
    if (!KnownRoot(root)) return kErrorInvalidHandle;
    auto parts = Physical(root, path, view64);
    if (parts.empty()) return kErrorAccessDenied;
    Key* key = Find(root, parts);
    if (!key) return kErrorFileNotFound;
    if (!key->subkeys.empty()) return kErrorAccessDenied;
    std::wstring last = FoldCase(parts.back());
    parts.pop_back();
    Find(root, parts)->subkeys.erase(last);
    return 0;
}

uint32_t MemoryRegistry::DeleteTree(RegRoot root, const std::wstring& path, bool view64) {
    if (uint32_t e = faults_.Check("RegDeleteTree")) return e;
    if (!KnownRoot(root)) return kErrorInvalidHandle;
    auto parts = Physical(root, path, view64);
    if (parts.empty()) return kErrorAccessDenied;
    if (!Find(root, parts)) return kErrorFileNotFound;
    std::wstring last = FoldCase(parts.back());
    parts.pop_back();
    Find(root, parts)->subkeys.erase(last);
    return 0;
}

uint32_t MemoryRegistry::HasSubkeys(RegRoot root, const std::wstring& path, bool view64, bool& has) {
    has = false;
    if (uint32_t e = faults_.Check("RegQueryInfoKey")) return e;
    const Key* key = Find(root, Physical(root, path, view64));
    if (!key) return kErrorFileNotFound;
    has = !key->subkeys.empty();
    return 0;
}

uint32_t MemoryRegistry::SetValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                                  uint32_t type, const std::vector<uint8_t>& data) {
    if (uint32_t e = faults_.Check("RegSetValueEx")) return e;
    Key* key = Find(root, Physical(root, path, view64));
    if (!key) return kErrorFileNotFound;
    key->values[FoldCase(name)] = {name, type, data};
    return 0;
}

uint32_t MemoryRegistry::QueryValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                                    uint32_t& type, std::vector<uint8_t>& data) {
    if (uint32_t e = faults_.Check("RegQueryValueEx")) return e;
    const Key* key = Find(root, Physical(root, path, view64));
    if (!key) return kErrorFileNotFound;
    auto it = key->values.find(FoldCase(name));
    if (it == key->values.end()) return kErrorFileNotFound;
    type = it->second.type;
    data = it->second.data;
    return 0;
}

uint32_t MemoryRegistry::DeleteValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name) {
    if (uint32_t e = faults_.Check("RegDeleteValue")) return e;
    Key* key = Find(root, Physical(root, path, view64));
    if (!key) return kErrorFileNotFound;
    return key->values.erase(FoldCase(name)) ? 0 : kErrorFileNotFound;
}

void MemoryRegistry::Put(RegRoot root, const std::wstring& physicalPath) {
    bool created;
    Make(root, SplitPath(physicalPath), created);
}

void MemoryRegistry::PutValue(RegRoot root, const std::wstring& physicalPath, const std::wstring& name, uint32_t type,
                              const std::vector<uint8_t>& data) {
    bool created;
    Make(root, SplitPath(physicalPath), created).values[FoldCase(name)] = {name, type, data};
}

bool MemoryRegistry::Has(RegRoot root, const std::wstring& physicalPath) const {
    return Find(root, SplitPath(physicalPath)) != nullptr;
}

bool MemoryRegistry::HasValue(RegRoot root, const std::wstring& physicalPath, const std::wstring& name) const {
    const Key* key = Find(root, SplitPath(physicalPath));
    return key && key->values.count(FoldCase(name));
}

void MemoryRegistry::DumpKey(const Key& key, const std::wstring& path, std::wstring& out) {
    out += L"key " + path + L"\n";
    for (const auto& [folded, value] : key.values)
        out += L"  value " + value.name + L" type " + std::to_wstring(value.type) + L" " + Hex(value.data) + L"\n";
    for (const auto& [folded, sub] : key.subkeys) DumpKey(sub, path + L"\\" + sub.name, out);
}

std::wstring MemoryRegistry::Dump() const {
    std::wstring out;
    wchar_t root[12];
    for (const auto& [handle, key] : roots_) {
        std::swprintf(root, 12, L"%08X", handle);
        DumpKey(key, root, out);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Files

MemoryFiles::MemoryFiles(FaultInjector& faults, const MachineTraits& machine) : faults_(faults), machine_(machine) {
    PutFolder(L"C:\\Windows\\system32");
    PutFolder(L"C:\\Windows\\SysWOW64");
}

std::wstring MemoryFiles::Resolve(const std::wstring& path) const {
    std::wstring key = FoldCase(path);
    while (key.size() > 2 && key.back() == L'\\') key.pop_back();
    // With redirection on, a 32-bit process asking for System32 reaches SysWOW64.
    static const std::wstring system32 = L"c:\\windows\\system32";
    if (machine_.wow64 && redirection_ && key.compare(0, system32.size(), system32) == 0 &&
        (key.size() == system32.size() || key[system32.size()] == L'\\')) {
        key = L"c:\\windows\\syswow64" + key.substr(system32.size());
    }
    return key;
}

const MemoryFiles::Node* MemoryFiles::Get(const std::wstring& key) const {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryFiles::ParentExists(const std::wstring& key) const {
    size_t cut = key.rfind(L'\\');
    if (cut == std::wstring::npos) return false;
    std::wstring parent = key.substr(0, cut);
    if (parent.size() == 2 && parent[1] == L':') return true;  // a drive root
    const Node* node = Get(parent);
    return node && node->folder;
}

uint32_t MemoryFiles::CreateFolder(const std::wstring& path) {
    if (uint32_t e = faults_.Check("CreateDirectory")) return e;
    std::wstring key = Resolve(path);
    if ((key.size() == 2 && key[1] == L':') || Get(key)) return kErrorAlreadyExists;
    if (!ParentExists(key)) return kErrorPathNotFound;
    nodes_[key] = {path, true, {}};
    return 0;
}

uint32_t MemoryFiles::RemoveFolder(const std::wstring& path) {
    if (uint32_t e = faults_.Check("RemoveDirectory")) return e;
    std::wstring key = Resolve(path);
    const Node* node = Get(key);
    if (!node) return ParentExists(key) ? kErrorFileNotFound : kErrorPathNotFound;
    if (!node->folder) return kErrorDirectory;
    auto next = nodes_.upper_bound(key);
    if (next != nodes_.end() && next->first.compare(0, key.size() + 1, key + L"\\") == 0) return kErrorDirNotEmpty;
    nodes_.erase(key);
    return 0;
}

uint32_t MemoryFiles::RemoveFile(const std::wstring& path) {
    if (uint32_t e = faults_.Check("DeleteFile")) return e;
    std::wstring key = Resolve(path);
    const Node* node = Get(key);
    if (!node) return ParentExists(key) ? kErrorFileNotFound : kErrorPathNotFound;
    if (node->folder) return kErrorAccessDenied;
    if (locked_.count(key)) return kErrorSharingViolation;
    nodes_.erase(key);
    return 0;
}

uint32_t MemoryFiles::CopyFileOver(const std::wstring& source, const std::wstring& target) {
    if (uint32_t e = faults_.Check("CopyFile")) return e;
    const Node* from = Get(Resolve(source));
    if (!from || from->folder) return from ? kErrorAccessDenied : kErrorFileNotFound;
    std::wstring key = Resolve(target);
    if (!ParentExists(key)) return kErrorPathNotFound;
    const Node* to = Get(key);
    if (to && to->folder) return kErrorAccessDenied;
    if (to && locked_.count(key)) return kErrorSharingViolation;
    std::vector<uint8_t> bytes = from->bytes;
    std::wstring spelled = to ? to->path : target;
    nodes_[key] = {spelled, false, std::move(bytes)};
    return 0;
}

uint32_t MemoryFiles::DeleteAtReboot(const std::wstring& path) {
    if (uint32_t e = faults_.Check("MoveFileEx")) return e;
    // Windows queues the name as resolved now, so redirection matters here too.
    const Node* node = Get(Resolve(path));
    pendingDeletes.push_back(node ? node->path : path);
    return 0;
}

uint32_t MemoryFiles::Find(const std::wstring& pattern, std::vector<FindEntry>& entries) {
    entries.clear();
    if (uint32_t e = faults_.Check("FindFirstFile")) return e;
    std::wstring key = Resolve(pattern);
    size_t cut = key.rfind(L'\\');
    if (cut == std::wstring::npos) return kErrorFileNotFound;
    std::wstring folder = key.substr(0, cut);
    std::wstring mask = key.substr(cut + 1);
    bool isDrive = folder.size() == 2 && folder[1] == L':';
    const Node* dir = Get(folder);
    if (!isDrive && (!dir || !dir->folder)) return kErrorPathNotFound;
    if (!isDrive && (mask == L"*" || mask == L"*.*")) {
        entries.push_back({L".", true});
        entries.push_back({L"..", true});
    }
    std::wstring prefix = folder + L"\\";
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        std::wstring rest = it->first.substr(prefix.size());
        if (rest.find(L'\\') != std::wstring::npos) continue;
        if (!WildcardMatch(mask, rest)) continue;
        const std::wstring& spelled = it->second.path;
        entries.push_back({spelled.substr(spelled.rfind(L'\\') + 1), it->second.folder});
    }
    return entries.empty() ? kErrorFileNotFound : 0;
}

uint32_t MemoryFiles::ReadAll(const std::wstring& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (uint32_t e = faults_.Check("ReadFile")) return e;
    std::wstring key = Resolve(path);
    const Node* node = Get(key);
    if (!node) return ParentExists(key) ? kErrorFileNotFound : kErrorPathNotFound;
    if (node->folder) return kErrorAccessDenied;
    bytes = node->bytes;
    return 0;
}

uint32_t MemoryFiles::CreateNew(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    if (uint32_t e = faults_.Check("CreateFile")) return e;
    std::wstring key = Resolve(path);
    if (Get(key)) return kErrorFileExists;
    if (!ParentExists(key)) return kErrorPathNotFound;
    nodes_[key] = {path, false, bytes};
    return 0;
}

uint32_t MemoryFiles::Append(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    if (uint32_t e = faults_.Check("WriteFile")) return e;
    std::wstring key = Resolve(path);
    auto it = nodes_.find(key);
    if (it == nodes_.end()) {
        if (!ParentExists(key)) return kErrorPathNotFound;
        it = nodes_.emplace(key, Node{path, false, {}}).first;
    }
    if (it->second.folder) return kErrorAccessDenied;
    it->second.bytes.insert(it->second.bytes.end(), bytes.begin(), bytes.end());
    return 0;
}

bool MemoryFiles::DisableRedirection() {
    if (!machine_.wow64 || !redirection_) return false;
    redirection_ = false;
    return true;
}

void MemoryFiles::RevertRedirection() { redirection_ = true; }

void MemoryFiles::PutFolder(const std::wstring& path) {
    std::wstring built;
    for (const auto& part : SplitPath(path)) {
        built += built.empty() ? part : L"\\" + part;
        if (built.size() == 2 && built[1] == L':') continue;
        std::wstring key = FoldCase(built);
        if (!nodes_.count(key)) nodes_[key] = {built, true, {}};
    }
}

void MemoryFiles::PutFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    size_t cut = path.rfind(L'\\');
    if (cut != std::wstring::npos) PutFolder(path.substr(0, cut));
    nodes_[FoldCase(path)] = {path, false, bytes};
}

bool MemoryFiles::HasFolder(const std::wstring& path) const {
    const Node* node = Get(FoldCase(path));
    return node && node->folder;
}

bool MemoryFiles::HasFile(const std::wstring& path) const {
    const Node* node = Get(FoldCase(path));
    return node && !node->folder;
}

std::vector<uint8_t> MemoryFiles::Contents(const std::wstring& path) const {
    const Node* node = Get(FoldCase(path));
    return node ? node->bytes : std::vector<uint8_t>{};
}

std::wstring MemoryFiles::Dump() const {
    std::wstring out;
    for (const auto& [key, node] : nodes_)
        out += (node.folder ? L"folder " : L"file ") + node.path + (node.folder ? L"" : L" " + Hex(node.bytes)) + L"\n";
    for (const auto& path : pendingDeletes) out += L"delete at restart " + path + L"\n";
    return out;
}

// ---------------------------------------------------------------------------------------------
// Services

uint32_t MemoryServices::Create(const ServiceSpec& spec) {
    if (uint32_t e = faults_.Check("CreateService")) return e;
    if (spec.name.empty() || spec.binaryPath.empty()) return kErrorInvalidParameter;
    auto [it, inserted] = table_.try_emplace(FoldCase(spec.name));
    if (!inserted) return kErrorServiceExists;
    it->second.spec = spec;
    return 0;
}

uint32_t MemoryServices::SetDescription(const std::wstring& name, const std::wstring& description) {
    if (uint32_t e = faults_.Check("ChangeServiceConfig2")) return e;
    auto it = table_.find(FoldCase(name));
    if (it == table_.end()) return kErrorServiceDoesNotExist;
    it->second.description = description;
    return 0;
}

uint32_t MemoryServices::Open(const std::wstring& name) {
    if (uint32_t e = faults_.Check("OpenService")) return e;
    return table_.count(FoldCase(name)) ? 0 : kErrorServiceDoesNotExist;
}

uint32_t MemoryServices::Delete(const std::wstring& name) {
    if (uint32_t e = faults_.Check("DeleteService")) return e;
    return table_.erase(FoldCase(name)) ? 0 : kErrorServiceDoesNotExist;
}

uint32_t MemoryServices::Start(const std::wstring& name) {
    if (uint32_t e = faults_.Check("StartService")) return e;
    auto it = table_.find(FoldCase(name));
    if (it == table_.end()) return kErrorServiceDoesNotExist;
    if (it->second.running) return kErrorServiceAlreadyRunning;
    it->second.running = true;
    return 0;
}

const MemoryServices::Service* MemoryServices::Get(const std::wstring& name) const {
    auto it = table_.find(FoldCase(name));
    return it == table_.end() ? nullptr : &it->second;
}

std::wstring MemoryServices::Dump() const {
    std::wstring out;
    for (const auto& [key, s] : table_)
        out += L"service " + s.spec.name + L" \"" + s.spec.displayName + L"\" " + s.spec.binaryPath + L" start " +
               std::to_wstring(s.spec.startType) + L" \"" + s.description + L"\"\n";
    return out;
}

// ---------------------------------------------------------------------------------------------
// Processes, privileges, shell, errors

uint32_t MemoryProcesses::Launch(const std::wstring& commandLine, int showState, uint32_t waitMs) {
    if (uint32_t e = faults_.Check("CreateProcess")) return e;
    launched.push_back({commandLine, showState, waitMs});
    return 0;
}

uint32_t MemoryProcesses::Snapshot(std::vector<ProcessEntry>& processes, SnapshotStep& failedAt) {
    processes.clear();
    failedAt = SnapshotStep::Snapshot;
    if (uint32_t e = faults_.Check("CreateToolhelp32Snapshot")) return e;
    failedAt = SnapshotStep::FirstEntry;
    if (uint32_t e = faults_.Check("Process32First")) return e;
    if (running.empty()) return kErrorNoMoreFiles;
    processes = running;
    return 0;
}

uint32_t MemoryProcesses::Terminate(uint32_t id, uint32_t exitCode, bool wait, TerminateStep& failedAt) {
    failedAt = TerminateStep::Open;
    if (uint32_t e = faults_.Check("OpenProcess")) return e;
    auto it = std::find_if(running.begin(), running.end(), [id](const ProcessEntry& p) { return p.id == id; });
    if (it == running.end()) return kErrorInvalidParameter;
    failedAt = TerminateStep::Terminate;
    if (uint32_t e = faults_.Check("TerminateProcess")) return e;
    running.erase(it);
    terminated.push_back(id);
    return 0;
}

uint32_t MemoryPrivileges::Enable(const std::wstring& name, PrivilegeStep& failedAt) {
    failedAt = PrivilegeStep::OpenToken;
    if (uint32_t e = faults_.Check("OpenProcessToken")) return e;
    failedAt = PrivilegeStep::Lookup;
    if (uint32_t e = faults_.Check("LookupPrivilegeValue")) return e;
    if (name.size() < 3 || name.compare(0, 2, L"Se") != 0) return kErrorNoSuchPrivilege;
    failedAt = PrivilegeStep::Adjust;
    if (uint32_t e = faults_.Check("AdjustTokenPrivileges")) return e;
    enabled.insert(name);
    return 0;
}

int32_t MemoryShell::CreateShortcut(const ShortcutSpec& spec) {
    if (uint32_t e = faults_.Check("IPersistFile::Save")) return static_cast<int32_t>(0x80070000u | (e & 0xFFFF));
    // The link file is written as IPersistFile::Save would, without counting as a file call.
    size_t cut = spec.linkPath.rfind(L'\\');
    if (cut == std::wstring::npos || !files_.HasFolder(spec.linkPath.substr(0, cut)))
        return static_cast<int32_t>(0x80070000u | kErrorPathNotFound);
    std::vector<uint8_t> bytes;
    for (wchar_t ch : spec.target) bytes.push_back(static_cast<uint8_t>(ch));
    files_.PutFile(spec.linkPath, bytes);
    links[FoldCase(spec.linkPath)] = spec;
    return 0;
}

uint32_t MemoryShell::FolderPath(int csidl, std::wstring& path) {
    path.clear();
    if (uint32_t e = faults_.Check("SHGetFolderPath")) return e;
    auto it = folders.find(csidl);
    if (it == folders.end()) return kErrorFileNotFound;
    path = it->second;
    return 0;
}

namespace {
thread_local uint32_t lastError = 0;
}

uint32_t MemoryErrors::Last() { return lastError; }
void MemoryErrors::SetLast(uint32_t error) { lastError = error; }

std::wstring MemoryErrors::Text(uint32_t error) {
    static const std::map<uint32_t, std::wstring> texts = {
        {kErrorSuccess, L"The operation completed successfully.\r\n"},
        {kErrorFileNotFound, L"The system cannot find the file specified.\r\n"},
        {kErrorPathNotFound, L"The system cannot find the path specified.\r\n"},
        {kErrorAccessDenied, L"Access is denied.\r\n"},
        {kErrorSharingViolation, L"The process cannot access the file because it is being used by another process.\r\n"},
        {kErrorInvalidParameter, L"The parameter is incorrect.\r\n"},
        {kErrorDirNotEmpty, L"The directory is not empty.\r\n"},
        {kErrorModNotFound, L"The specified module could not be found.\r\n"},
        {kErrorServiceDoesNotExist, L"The specified service does not exist as an installed service.\r\n"},
    };
    auto it = texts.find(error);
    return it == texts.end() ? L"" : it->second;
}

MemoryPlatform::MemoryPlatform()
    : registry(faults, machine), files(faults, machine), services(faults), processes(faults), privileges(faults),
      shell(faults, files) {}

std::wstring MemoryPlatform::Snapshot() const {
    return L"[registry]\n" + registry.Dump() + L"[files]\n" + files.Dump() + L"[services]\n" + services.Dump();
}

}  // namespace platform::memory
