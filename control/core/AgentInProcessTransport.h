// An agent "connection" inside the process, for native tests of code that uses CAgentCtrl:
// each request goes to a callback (a script, or the service's own dispatcher) and its answer
// comes back as the reply. Records every request; can play a service that is not running.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "control/core/AgentCtrl.h"
#include "control/core/AgentProtocol.h"

class AgentInProcessTransport : public IAgentTransport {
public:
    using Answer = std::function<std::vector<uint8_t>(const corvane_agent::Request& request)>;

    explicit AgentInProcessTransport(Answer answer) : answer_(std::move(answer)) {}

    // Answers with well-formed replies carrying `results` in turn; the last one repeats.
    static Answer Results(std::vector<int32_t> results) {
        auto next = std::make_shared<size_t>(0);
        return [results, next](const corvane_agent::Request& request) {
            int32_t result = results.empty() ? 0 : results[std::min(*next, results.size() - 1)];
            ++*next;
            uint16_t cls = static_cast<uint16_t>(request[corvane_agent::kClassOffset] |
                                                 (request[corvane_agent::kClassOffset + 1] << 8));
            uint16_t code = static_cast<uint16_t>(request[corvane_agent::kCodeOffset] |
                                                  (request[corvane_agent::kCodeOffset + 1] << 8));
            corvane_agent::Reply reply = corvane_agent::EncodeReply(cls, code, result);
            return std::vector<uint8_t>(reply.begin(), reply.end());
        };
    }

    // false: connections are refused, as when the service is not running.
    void SetListening(bool listening) { listening_ = listening; }
    const std::vector<corvane_agent::Request>& Requests() const { return requests_; }

    uintptr_t OpenSocket() override { return ++lastSocket_; }
    bool SetTimeouts(uintptr_t, int) override { return true; }
    bool Connect(uintptr_t, const char*, uint16_t) override {
        if (listening_) return true;
        error_ = kErrorRefused;
        return false;
    }
    int Send(uintptr_t, const uint8_t* data, int size) override {
        corvane_agent::Request request{};
        std::memcpy(request.data(), data, std::min(static_cast<size_t>(size), request.size()));
        requests_.push_back(request);
        pending_ = answer_(request);
        return size;
    }
    int Receive(uintptr_t, uint8_t* data, int size) override {
        size_t n = std::min(pending_.size(), static_cast<size_t>(size));
        std::memcpy(data, pending_.data(), n);
        pending_.clear();
        return static_cast<int>(n);
    }
    void CloseSocket(uintptr_t) override { pending_.clear(); }
    int LastError() override { return error_; }
    void Sleep(int) override {}

private:
    Answer answer_;
    bool listening_ = true;
    uintptr_t lastSocket_ = 0;
    int error_ = 0;
    std::vector<uint8_t> pending_;
    std::vector<corvane_agent::Request> requests_;
};
