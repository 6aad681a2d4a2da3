// Stand-ins for the message box and the password prompt, and a fixture that attaches the fake
// core library to the process-wide client for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control/core/CorvaneCtrl.h"
#include "control/core/testing/FakeCorvaneCore.h"
#include "control/ui/PasswordGate.h"

namespace settings_testing {

// Records every message; answers Yes unless told otherwise.
class RecordingMessages : public control::ui::IMessagePort {
public:
    int Show(unsigned style, unsigned stringId) override {
        shown.emplace_back(style, stringId);
        if (answers.empty()) return control::ui::kAnswerYes;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<unsigned> Ids() const {
        std::vector<unsigned> ids;
        for (const auto& m : shown) ids.push_back(m.second);
        return ids;
    }

    std::vector<std::pair<unsigned, unsigned>> shown;  // style, string id
    std::deque<int> answers;
};

// Types the queued texts one prompt after another; an empty optional is Cancel.
class ScriptedPrompt : public control::ui::IAdminPrompt {
public:
    ScriptedPrompt() = default;
    ScriptedPrompt(std::initializer_list<std::optional<std::wstring>> typed) : typed_(typed) {}
    bool Ask(std::wstring& text) override {
        ++asked;
        if (typed_.empty() || !typed_.front()) {
            if (!typed_.empty()) typed_.pop_front();
            return false;
        }
        text = *typed_.front();
        typed_.pop_front();
        return true;
    }
    int asked = 0;

private:
    std::deque<std::optional<std::wstring>> typed_;
};

class CoreFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ctrl.Attach(fake.Core(), nullptr)); }
    void TearDown() override { ctrl.Release(); }

    corvane_testing::FakeCorvaneCore fake;
    CorvaneCtrl ctrl;
    RecordingMessages messages;
};

}  // namespace settings_testing
