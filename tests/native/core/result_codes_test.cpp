// The result-code texts: exact format, shared messages, unknown codes and lookups from threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "control/core/CorvaneResults.h"
#include "control/core/ResultCodes.h"

namespace {

struct TextCase {
    uint32_t code;
    const wchar_t* text;
};

const TextCase kTextCases[] = {
    {0x00000000, L"오류(#00000000) : 성공 했습니다."},
    {0x40000000, L"오류(#40000000) : 라이브러리가 초기화되지 않았습니다."},
    {0x80000000, L"오류(#80000000) : 알 수 없는 오류가 발생했습니다."},
    {0x80000007, L"오류(#80000007) : 암호가 3회 이상 잘못 입력되어, 시스템 재 시작 후 다시 사용 가능합니다."},
    {0x8000000A, L"오류(#8000000A) : 알 수 없는 데이터입니다."},  // upper-case hex digits
    {0x8000000F, L"오류(#8000000F) : 시스템 시작 정보를 수집 중에는 사용할 수 없습니다."},
    {0x10000004, L"오류(#10000004) : 설치 데이터를 읽을 수 없습니다."},
    {0x10000005, L"오류(#10000005) : 설치 데이터를 읽을 수 없습니다."},
    {0x10000006, L"오류(#10000006) : MBR(Master Boot Record)를 읽을 수 없습니다."},
    {0x1000000B, L"오류(#1000000B) : 장치 제어 드라이버 설치를 실패했습니다."},
};

TEST(ResultCodes, TextsAreFormattedExactly) {
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        EXPECT_EQ(std::wstring(c.text), GetResultText(c.code));
    }
}

TEST(ResultCodes, EveryNamedCodeHasItsOwnPrefix) {
    const uint32_t codes[] = {
        CORVANE_S_OK, CORVANE_E_NOT_INITIALIZED, CORVANE_E_UNKNOWN, CORVANE_E_UNKNOWN_COMMAND,
        CORVANE_E_INVALID_ARGUMENT, CORVANE_E_CALL_FAILED, CORVANE_E_NOT_READY, CORVANE_E_STALE_STAMP,
        CORVANE_E_WRONG_PASSWORD, CORVANE_E_PASSWORD_LOCKED, CORVANE_E_WRONG_KEY, CORVANE_E_UNKNOWN_MODE,
        CORVANE_E_UNKNOWN_DATA, CORVANE_E_DATA_CORRUPTED, CORVANE_E_DATA_UNREADABLE, CORVANE_E_DATA_SIZE,
        CORVANE_E_RELEASED, CORVANE_E_COLLECTING_BOOT_INFO, CORVANE_E_TURBO_UNAVAILABLE, CORVANE_E_KEY_REJECTED,
        CORVANE_E_DISK_DRIVER_INSTALL, CORVANE_E_FS_DRIVER_INSTALL, CORVANE_E_DISK_OPEN,
        CORVANE_E_INSTALL_DATA_READ, CORVANE_E_INSTALL_DATA_UNREADABLE, CORVANE_E_MBR_READ, CORVANE_E_MBR_WRITE,
        CORVANE_E_BOOTLOADER_WRITE, CORVANE_E_INSTALLER_NOT_READY, CORVANE_E_DECOMPRESS,
        CORVANE_E_DEVICE_DRIVER_INSTALL,
    };
    for (uint32_t code : codes) {
        wchar_t prefix[32];
        swprintf(prefix, 32, L"오류(#%08X) : ", code);
        std::wstring text = GetResultText(code);
        SCOPED_TRACE(testing::Message() << std::hex << code);
        ASSERT_EQ(0u, text.find(prefix));
        EXPECT_GT(text.size(), wcslen(prefix));  // a message follows the prefix
    }
}

TEST(ResultCodes, WrongKeyCodesShareOneMessage) {
    const std::wstring message = L"잘못 된 키가 입력되었습니다.";
    for (uint32_t code : {0x80000005u, 0x80000008u, 0x80000011u}) {
        wchar_t expected[128];
        swprintf(expected, 128, L"오류(#%08X) : %ls", code, message.c_str());
        EXPECT_EQ(std::wstring(expected), GetResultText(code));
    }
}

TEST(ResultCodes, UnknownCodeGivesEmptyTextThatStays) {
    const wchar_t* first = GetResultText(0x12345678);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(L'\0', first[0]);
    // Later lookups, including ones that add other unknown codes, keep the same text in place.
    for (uint32_t code = 0x7F000000; code < 0x7F000040; ++code) GetResultText(code);
    EXPECT_EQ(first, GetResultText(0x12345678));
    EXPECT_EQ(L'\0', first[0]);
    EXPECT_EQ(std::wstring(L"오류(#80000007) : 암호가 3회 이상 잘못 입력되어, 시스템 재 시작 후 다시 사용 가능합니다."),
              GetResultText(0x80000007));
}

TEST(ResultCodes, ThreadsAskingAtOnceSeeTheSameTexts) {
    const wchar_t* locked = GetResultText(CORVANE_E_PASSWORD_LOCKED);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, locked, &mismatches] {
            for (uint32_t i = 0; i < 500; ++i) {
                // Unknown codes are added by every thread while the known ones are read.
                if (GetResultText(0x20000000u + static_cast<uint32_t>(t) * 1000 + i)[0] != L'\0') ++mismatches[t];
                if (GetResultText(CORVANE_E_PASSWORD_LOCKED) != locked) ++mismatches[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < 8; ++t) EXPECT_EQ(0, mismatches[t]) << "thread " << t;
}

}  // namespace
