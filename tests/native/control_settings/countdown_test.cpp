#include "control/ui/Countdown.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace control::ui;

class RecordingRestart : public IRestartPort {
public:
    void RequestSystemExit(bool restart) override { requests.push_back(restart); }
    std::vector<bool> requests;
};

TEST(CountdownMakers, TheTwoKinds) {
    CountdownSpec schedule = PowerScheduleCountdown(false);
    EXPECT_FALSE(schedule.restart);
    EXPECT_EQ(30, schedule.seconds);
    EXPECT_TRUE(schedule.scheduleWording);
    EXPECT_TRUE(schedule.okEnabled);
    EXPECT_TRUE(schedule.cancelEnabled);
    EXPECT_TRUE(PowerScheduleCountdown(true).restart);

    CountdownSpec change = ProtectionChangeCountdown();
    EXPECT_TRUE(change.restart);
    EXPECT_EQ(5, change.seconds);
    EXPECT_FALSE(change.scheduleWording);
    EXPECT_FALSE(change.okEnabled);
    EXPECT_TRUE(change.cancelEnabled);
}

TEST(CountdownMessage, WordingAndAction) {
    EXPECT_EQ(L"하드코르바네의 전원관리 스케쥴에 의해 30초 후에 시스템을 재부팅합니다.",
              CountdownMessage(PowerScheduleCountdown(true)));
    EXPECT_EQ(L"하드코르바네의 전원관리 스케쥴에 의해 30초 후에 시스템을 종료합니다.",
              CountdownMessage(PowerScheduleCountdown(false)));
    EXPECT_EQ(L"5초 후에 시스템을 재부팅합니다.", CountdownMessage(ProtectionChangeCountdown()));
}

TEST(CountdownRun, RequestsAfterCountMinusOneTicksAndOnlyOnce) {
    struct Case { CountdownSpec spec; int ticksBefore; };
    const Case cases[] = {{ProtectionChangeCountdown(), 4}, {PowerScheduleCountdown(true), 29},
                          {PowerScheduleCountdown(false), 29}};
    for (const Case& c : cases) {
        RecordingRestart port;
        CountdownRun run(c.spec, port);
        EXPECT_EQ(1, run.Position());
        for (int i = 1; i < c.ticksBefore; ++i) ASSERT_FALSE(run.Tick()) << "tick " << i;
        EXPECT_TRUE(port.requests.empty());
        EXPECT_TRUE(run.Tick());
        EXPECT_EQ(c.spec.seconds, run.Position());
        EXPECT_EQ(std::vector<bool>{c.spec.restart}, port.requests);
        EXPECT_FALSE(run.Tick());  // a late tick before the window is gone
        EXPECT_FALSE(run.Confirm());
        EXPECT_EQ(1u, port.requests.size());
    }
}

TEST(CountdownRun, OkAndCancel) {
    RecordingRestart port;
    CountdownRun schedule(PowerScheduleCountdown(false), port);
    schedule.Tick();
    EXPECT_TRUE(schedule.Confirm());
    EXPECT_EQ(std::vector<bool>{false}, port.requests);

    RecordingRestart disabledPort;
    CountdownRun change(ProtectionChangeCountdown(), disabledPort);
    EXPECT_FALSE(change.Confirm());  // OK is disabled after a protection change
    EXPECT_TRUE(disabledPort.requests.empty());

    RecordingRestart cancelPort;
    CountdownRun cancelled(PowerScheduleCountdown(true), cancelPort);
    cancelled.Cancel();
    for (int i = 0; i < 40; ++i) EXPECT_FALSE(cancelled.Tick());
    EXPECT_TRUE(cancelPort.requests.empty());
}

}  // namespace
