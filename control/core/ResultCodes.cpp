#include "control/core/ResultCodes.h"

#include <cwchar>
#include <map>
#include <mutex>
#include <string>

#include "control/core/CorvaneResults.h"

namespace {

struct ResultRow {
    uint32_t code;
    const wchar_t* message;
};

// In the order the library's documentation lists them. Some codes share a text on purpose:
// the library reports the same condition from different places.
constexpr ResultRow kResultRows[] = {
    {CORVANE_S_OK, L"성공 했습니다."},
    {CORVANE_E_UNKNOWN, L"알 수 없는 오류가 발생했습니다."},
    {CORVANE_E_NOT_INITIALIZED, L"라이브러리가 초기화되지 않았습니다."},
    {CORVANE_E_UNKNOWN_COMMAND, L"알 수 없는 명령어입니다."},
    {CORVANE_E_INVALID_ARGUMENT, L"잘못 된 인자가 입력되었습니다."},
    {CORVANE_E_CALL_FAILED, L"명령 호출을 실패했습니다."},
    {CORVANE_E_NOT_READY, L"초기화되지 않았습니다."},
    {CORVANE_E_STALE_STAMP, L"잘못 된 키가 입력되었습니다."},
    {CORVANE_E_WRONG_PASSWORD, L"잘못 된 암호가 입력되었습니다."},
    {CORVANE_E_PASSWORD_LOCKED, L"암호가 3회 이상 잘못 입력되어, 시스템 재 시작 후 다시 사용 가능합니다."},
    {CORVANE_E_WRONG_KEY, L"잘못 된 키가 입력되었습니다."},
    {CORVANE_E_UNKNOWN_MODE, L"알 수 없는 모드입니다."},
    {CORVANE_E_UNKNOWN_DATA, L"알 수 없는 데이터입니다."},
    {CORVANE_E_DATA_CORRUPTED, L"데이터가 손상되었습니다."},
    {CORVANE_E_DATA_UNREADABLE, L"데이터를 읽지 못했습니다."},
    {CORVANE_E_DATA_SIZE, L"데이터 크기가 맞지 않습니다."},
    {CORVANE_E_RELEASED, L"복구 해제 상태에서는 사용할 수 없습니다."},
    {CORVANE_E_COLLECTING_BOOT_INFO, L"시스템 시작 정보를 수집 중에는 사용할 수 없습니다."},
    {CORVANE_E_TURBO_UNAVAILABLE, L"터보부팅 기능을 초기화 할 수 없습니다."},
    {CORVANE_E_KEY_REJECTED, L"잘못 된 키가 입력되었습니다."},
    {CORVANE_E_DISK_DRIVER_INSTALL, L"디스크 드라이버 설치를 실패했습니다."},
    {CORVANE_E_FS_DRIVER_INSTALL, L"파일 시스템 드라이버 설치를 실패했습니다."},
    {CORVANE_E_DISK_OPEN, L"디스크를 열수 없습니다."},
    {CORVANE_E_INSTALL_DATA_READ, L"설치 데이터를 읽을 수 없습니다."},
    {CORVANE_E_INSTALL_DATA_UNREADABLE, L"설치 데이터를 읽을 수 없습니다."},
    {CORVANE_E_MBR_READ, L"MBR(Master Boot Record)를 읽을 수 없습니다."},
    {CORVANE_E_MBR_WRITE, L"MBR(Master Boot Record)를 기록할 수 없습니다."},
    {CORVANE_E_BOOTLOADER_WRITE, L"부트로더를 기록할 수 없습니다."},
    {CORVANE_E_INSTALLER_NOT_READY, L"설치 관리자가 초기화 되지 않았습니다."},
    {CORVANE_E_DECOMPRESS, L"압축 해제를 실패했습니다."},
    {CORVANE_E_DEVICE_DRIVER_INSTALL, L"장치 제어 드라이버 설치를 실패했습니다."},
};

constexpr size_t kResultTextChars = 1024;

std::wstring FormatResultText(uint32_t code, const wchar_t* message) {
    wchar_t buffer[kResultTextChars];
    int n = std::swprintf(buffer, kResultTextChars, L"오류(#%08X) : %ls", static_cast<unsigned>(code), message);
    if (n < 0) buffer[kResultTextChars - 1] = L'\0';
    return buffer;
}

// The table and the lock that guards it. Built on first use; std::map keeps every stored
// text at its address while unknown codes are added, so returned pointers stay good.
class ResultTable {
public:
    ResultTable() {
        for (const ResultRow& row : kResultRows) texts_.emplace(row.code, FormatResultText(row.code, row.message));
    }

    const wchar_t* Find(uint32_t code) {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_[code].c_str();
    }

private:
    std::mutex mutex_;
    std::map<uint32_t, std::wstring> texts_;
};

}  // namespace

const wchar_t* GetResultText(uint32_t code) {
    // Initialisation of a function-local static runs once, even when two threads ask first.
    static ResultTable table;
    return table.Find(code);
}
