// Layout of the records and the setters that keep the change masks.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

#include "control/core/CorvaneCtrl.h"

namespace {

using corvane_ioctl::CORVANE_CONFIG;
using corvane_ioctl::CORVANE_DRIVEINFO;
using corvane_ioctl::CORVANE_STATUS;

TEST(CorvaneRecords, SizesAndOffsetsMatchTheLibraryContract) {
    EXPECT_EQ(2104u, sizeof(CORVANE_STATUS));
    EXPECT_EQ(80u, sizeof(CORVANE_DRIVEINFO));
    EXPECT_EQ(464u, sizeof(CORVANE_CONFIG));
    EXPECT_EQ(520u, sizeof(CORVANE_EXTDATA));
    // The wrappers hand their base record to the library: it must be the whole record.
    CorvaneCtrl::Status status;
    CORVANE_STATUS* record = &status;
    record->drives[25].restoreTime.wMilliseconds = 7;
    EXPECT_EQ(7, status.drives[25].restoreTime.wMilliseconds);
    // Drive entry 3 of the configuration starts at 48 + 3 * 16; its flags at +12.
    CorvaneCtrl::Config config;
    CORVANE_CONFIG* c = &config;
    reinterpret_cast<uint8_t*>(c)[48 + 3 * 16 + 12] = 0x80;
    EXPECT_EQ(0x80u, config.drives[3].flags);
}

TEST(CorvaneRecords, WrappersStartZeroFilled) {
    // Construct over a dirty buffer so a missing zero-fill shows.
    alignas(CorvaneCtrl::Status) unsigned char raw[sizeof(CorvaneCtrl::Status)];
    std::memset(raw, 0xAB, sizeof raw);
    auto* status = new (raw) CorvaneCtrl::Status();
    const CORVANE_STATUS& s = *status;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&s);
    for (size_t i = 0; i < sizeof(CORVANE_STATUS); ++i) ASSERT_EQ(0, bytes[i]) << "byte " << i;
    status->~Status();

    alignas(CorvaneCtrl::Config) unsigned char rawConfig[sizeof(CorvaneCtrl::Config)];
    std::memset(rawConfig, 0xAB, sizeof rawConfig);
    auto* config = new (rawConfig) CorvaneCtrl::Config();
    const CORVANE_CONFIG& c = *config;
    bytes = reinterpret_cast<const unsigned char*>(&c);
    for (size_t i = 0; i < sizeof(CORVANE_CONFIG); ++i) ASSERT_EQ(0, bytes[i]) << "byte " << i;
    config->~Config();
}

TEST(CorvaneRecords, DriveListsHoldPresentDrivesInLetterOrder) {
    CorvaneCtrl::Status status;
    CorvaneCtrl::Config config;
    for (char letter : {'D', 'A', 'C'}) {
        status.drives[letter - 'A'].letter = static_cast<uint8_t>(letter);
        status.drives[letter - 'A'].flags = CORVANE_DRIVE_PRESENT;
        config.drives[letter - 'A'].flags = CORVANE_DRIVE_PRESENT | CORVANE_DRIVE_RESTORE_USED;
    }
    status.drives[1].flags = CORVANE_DRIVE_RESTORE_USED;  // B: in use but not present
    config.drives[1].flags = CORVANE_DRIVE_RESTORE_USED;

    std::vector<CorvaneCtrl::DriveInfo> infos(5);  // stale content must be cleared
    CorvaneCtrl::GetDriveInfos(status, infos);
    ASSERT_EQ(3u, infos.size());
    EXPECT_EQ('A', infos[0].letter);
    EXPECT_EQ('C', infos[1].letter);
    EXPECT_EQ('D', infos[2].letter);

    std::vector<CorvaneCtrl::DriveConfig> views;
    CorvaneCtrl::GetDriveConfigs(config, views);
    ASSERT_EQ(3u, views.size());
    EXPECT_EQ(0, views[0].GetIndex());
    EXPECT_EQ(2, views[1].GetIndex());
    EXPECT_EQ(3, views[2].GetIndex());
    EXPECT_EQ(&config.drives[2], &views[1].Entry());  // a view, not a copy
}

enum class Step { RestoreUsedOn, RestoreUsedOff, AutoOn, AutoOff, RestorePoint, Restore };

void Apply(Step step, const CorvaneCtrl::DriveConfig& view) {
    switch (step) {
    case Step::RestoreUsedOn: CorvaneCtrl::SetRestoreUsed(view, true); break;
    case Step::RestoreUsedOff: CorvaneCtrl::SetRestoreUsed(view, false); break;
    case Step::AutoOn: CorvaneCtrl::SetAutoRestore(view, true); break;
    case Step::AutoOff: CorvaneCtrl::SetAutoRestore(view, false); break;
    case Step::RestorePoint: CorvaneCtrl::RequestRestorePoint(view); break;
    case Step::Restore: CorvaneCtrl::RequestRestore(view); break;
    }
}

struct DriveSetterCase {
    const char* name;
    uint32_t flagsBefore;
    std::vector<Step> steps;
    uint32_t flagsAfter;
    uint32_t maskAfter;
    uint32_t changeFlagsAfter;
};

TEST(CorvaneRecords, DriveSettersMarkOnlyRealChanges) {
    const uint32_t P = CORVANE_DRIVE_PRESENT, U = CORVANE_DRIVE_RESTORE_USED, A = CORVANE_DRIVE_AUTO_RESTORE;
    const DriveSetterCase cases[] = {
        {"in use already: nothing", P | U, {Step::RestoreUsedOn}, P | U, 0, 0},
        {"off then on: bit back, mask stays", P | U, {Step::RestoreUsedOff, Step::RestoreUsedOn}, P | U, U,
         CORVANE_CHANGE_DRIVES},
        {"not used -> automatic", P, {Step::RestoreUsedOn, Step::AutoOn}, P | U | A, U | A, CORVANE_CHANGE_DRIVES},
        {"automatic -> manual flips only bit 1", P | U | A, {Step::RestoreUsedOn, Step::AutoOff}, P | U, A,
         CORVANE_CHANGE_DRIVES},
        {"automatic -> not used keeps bit 1", P | U | A, {Step::RestoreUsedOff}, P | A, U, CORVANE_CHANGE_DRIVES},
        {"restore point always marked", P | U | CORVANE_DRIVE_RESTORE_POINT, {Step::RestorePoint},
         P | U | CORVANE_DRIVE_RESTORE_POINT, CORVANE_DRIVE_RESTORE_POINT, CORVANE_CHANGE_DRIVES},
        {"restore always marked", P | U, {Step::Restore, Step::Restore}, P | U | CORVANE_DRIVE_RESTORE_NOW,
         CORVANE_DRIVE_RESTORE_NOW, CORVANE_CHANGE_DRIVES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CorvaneCtrl::Config config;
        config.drives[4].flags = c.flagsBefore;
        config.drives[5].flags = P | U;
        CorvaneCtrl::DriveConfig view(&config, 4);
        for (Step s : c.steps) Apply(s, view);
        EXPECT_EQ(c.flagsAfter, config.drives[4].flags);
        EXPECT_EQ(c.maskAfter, config.drives[4].mask);
        EXPECT_EQ(c.changeFlagsAfter, config.changeFlags);
        EXPECT_EQ(P | U, config.drives[5].flags);  // the neighbour is untouched
        EXPECT_EQ(0u, config.drives[5].mask);
    }
}

TEST(CorvaneRecords, OptionSetters) {
    struct Case {
        const char* name;
        uint32_t optionsBefore;
        bool turbo;        // SetTurboBoot argument
        int cdrom;         // -1: not called, 0 allowed, 1 blocked
        uint32_t optionsAfter;
        uint32_t optionMask;
        uint32_t changeFlags;
    } const cases[] = {
        {"turbo off when off: no option change", 0x0, false, -1, 0x0, 0, 0},
        {"turbo on", 0x0, true, -1, CORVANE_OPTION_TURBO_BOOT, CORVANE_OPTION_TURBO_BOOT, CORVANE_CHANGE_OPTIONS},
        {"turbo off when on", 0x2, false, -1, 0x0, CORVANE_OPTION_TURBO_BOOT, CORVANE_CHANGE_OPTIONS},
        {"cdrom blocked replaces hidden policy 11", 0xC0, false, 1, 0x40, 0xC0, CORVANE_CHANGE_OPTIONS},
        {"cdrom allowed, same value still marked", 0x00, false, 0, 0x00, 0xC0, CORVANE_CHANGE_OPTIONS},
        {"cdrom keeps other bits", 0x102, true, 1, 0x142, 0xC0, CORVANE_CHANGE_OPTIONS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CorvaneCtrl::Config config;
        config.options = c.optionsBefore;
        CorvaneCtrl::SetTurboBoot(config, c.turbo);
        if (c.cdrom >= 0) CorvaneCtrl::SetCdromPolicy(config, c.cdrom == 1);
        EXPECT_EQ(c.optionsAfter, config.options);
        EXPECT_EQ(c.optionMask, config.optionMask);
        EXPECT_EQ(c.changeFlags, config.changeFlags);
    }
}

}  // namespace
