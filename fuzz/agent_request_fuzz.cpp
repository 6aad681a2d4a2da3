// libFuzzer entry for the agent service's request handling: any local program can connect to
// the agent and send any bytes, so every input must give a well-formed reply with one of the
// service's results, and the kept settings must stay 0 or 1 and read back as they were stored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "control/core/AgentProtocol.h"
#include "outside/agent/AgentDispatcher.h"
#include "outside/agent/AgentSettings.h"

namespace {

class MemoryStore : public corvane_agent::IAgentSettingsStore {
public:
    bool Load(std::string& out) override { out = text; return !text.empty(); }
    bool Save(const std::string& in) override { text = in; return true; }
    std::string text;
};

bool IsBit(int v) { return v == 0 || v == 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvane_agent;
    MemoryStore store;
    // The same bytes also serve as a settings file that may have been damaged on disk.
    store.text.assign(reinterpret_cast<const char*>(data), size);
    AgentDispatcher dispatcher(store, nullptr);
    dispatcher.LoadSettings();
    Reply reply = dispatcher.Answer(data, size);
    if (!ReplyHasMarker(reply)) std::abort();
    int32_t result = ReplyResult(reply);
    if (result < kAgentNotSaved || result > 1) std::abort();
    AgentSettings s = dispatcher.Settings();
    if (!IsBit(s.vdiskVisible) || !IsBit(s.blockWindowsUpdate) || !IsBit(s.storageBlocked) ||
        !IsBit(s.storageSecurity))
        std::abort();
    if (!(ParseAgentSettings(FormatAgentSettings(s)) == s)) std::abort();
    return 0;
}
