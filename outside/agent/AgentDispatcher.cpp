#include "outside/agent/AgentDispatcher.h"

#include <cctype>
#include <utility>

namespace corvane_agent {

namespace {

// Argument text as it may appear in the log: printable ASCII only, cut short.
std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text.substr(0, 32)) out += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    if (text.size() > 32) out += "...";
    return out;
}

const PolicyPart kStoragePart = PolicyPart::Storage;
const PolicyPart kWindowsUpdatePart = PolicyPart::WindowsUpdate;

}  // namespace

AgentDispatcher::AgentDispatcher(IAgentSettingsStore& store, LogSink log, IAgentSystem* system)
    : store_(store), log_(std::move(log)), system_(system) {}

void AgentDispatcher::LoadSettings() {
    std::string text;
    std::lock_guard<std::mutex> lock(mutex_);
    if (store_.Load(text)) {
        settings_ = ParseAgentSettings(text);
        Log("settings loaded: vdisk_visible=" + std::to_string(settings_.vdiskVisible) +
            " block_windows_update=" + std::to_string(settings_.blockWindowsUpdate) +
            " storage_blocked=" + std::to_string(settings_.storageBlocked) +
            " storage_security=" + std::to_string(settings_.storageSecurity));
    } else {
        settings_ = AgentSettings();
        Log("no stored settings; using defaults");
    }
    if (system_ != nullptr && PolicyRestrictsAnything(settings_))
        ApplyPolicy(settings_, PolicyPart::All, *system_, [this](const std::string& l) { Log(l); });
}

AgentSettings AgentDispatcher::Settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

Reply AgentDispatcher::Answer(const uint8_t* data, size_t size) {
    ParsedRequest request;
    switch (ParseRequest(data, size, request)) {
    case RequestError::None: break;
    case RequestError::WrongSize:
        Log("rejected request of " + std::to_string(size) + " bytes");
        return EncodeReply(0, 0, kAgentMalformedRequest);
    case RequestError::WrongMarker:
        Log("rejected request without the marker");
        return EncodeReply(0, 0, kAgentMalformedRequest);
    case RequestError::UnterminatedArgument:
        Log("rejected request with an unterminated argument");
        return EncodeReply(0, 0, kAgentMalformedRequest);
    }

    const uint16_t cls = request.commandClass;
    const uint16_t code = request.commandCode;
    int32_t result = kAgentUnknownCommand;
    const char* name = "unknown";
    if (cls == kClassVDisk && code == kCodeSetVDiskEnable) {
        name = "SetVDiskEnable";
        result = Set(&AgentSettings::vdiskVisible, "vdisk_visible", request.argument, nullptr);
    } else if (cls == kClassVDisk && code == kCodeGetVDiskEnable) {
        name = "GetVDiskEnable";
        result = Settings().vdiskVisible != 0 ? 1 : 0;
    } else if (cls == kClassSecurity && code == kCodeSetWindowsUpdate) {
        name = "SetWindowsUpdate";
        result = Set(&AgentSettings::blockWindowsUpdate, "block_windows_update", request.argument, &kWindowsUpdatePart);
    } else if (cls == kClassSecurity && code == kCodeSetStorageBlocked) {
        name = "SetStorageBlocked";
        result = Set(&AgentSettings::storageBlocked, "storage_blocked", request.argument, &kStoragePart);
    } else if (cls == kClassSecurity && code == kCodeSetStorageSecurity) {
        name = "SetStorageSecurity";
        result = Set(&AgentSettings::storageSecurity, "storage_security", request.argument, &kStoragePart);
    }
    Log(std::string("command ") + std::to_string(cls) + "/" + std::to_string(code) + " " + name + " argument \"" +
        Printable(request.argument) + "\" result " + std::to_string(result));
    return EncodeReply(cls, code, result);
}

int32_t AgentDispatcher::Set(int AgentSettings::*member, const char* name, const std::string& argument,
                             const PolicyPart* part) {
    int value = 0;
    if (!ParseDecimalArgument(argument, value) || (value != 0 && value != 1)) return kAgentBadArgument;
    std::lock_guard<std::mutex> lock(mutex_);
    if (settings_.*member != value) {
        AgentSettings changed = settings_;
        changed.*member = value;
        // Kept only once stored: what the service answers afterwards is what it will start with.
        if (!store_.Save(FormatAgentSettings(changed))) {
            Log(std::string("could not store ") + name + "=" + std::to_string(value));
            return kAgentNotSaved;
        }
        settings_ = changed;
    }
    // Carried out even when unchanged: something else may have undone it since.
    if (part != nullptr && system_ != nullptr)
        ApplyPolicy(settings_, *part, *system_, [this](const std::string& l) { Log(l); });
    return kAgentDone;
}

void AgentDispatcher::Log(const std::string& line) const {
    if (log_) log_(line);
}

}  // namespace corvane_agent
