// String-table ids of the installer's messages used by the start-up and the system checks. The
// Korean texts live in the installer's string table under these ids; code passes ids around and
// the view that shows a message loads the text.
#pragma once

#include <cstdint>

namespace install {

inline constexpr uint32_t IDS_INIT_FAILED = 131;          // "초기화에 실패하였습니다."
inline constexpr uint32_t IDS_BAD_ARGUMENT = 132;         // "잘못된 초기화 인수가 전달되었습니다."
inline constexpr uint32_t IDS_OTHER_PRODUCT = 212;        // another product is installed
inline constexpr uint32_t IDS_NO_PROTECTABLE_DRIVE = 224; // no drive besides the system drive to protect
inline constexpr uint32_t IDS_COMPRESSED_VOLUME = 250;    // a compressed volume exists

// Message-box styles by number.
inline constexpr uint32_t kStyleError = 0x10;
inline constexpr uint32_t kStyleInformation = 0x40;

// A message the caller's view is to show.
struct UserMessage {
    uint32_t id = 0;
    uint32_t style = 0;
};

}  // namespace install
