// Display texts of the result codes that corvane.dll leaves behind for GetLastResult.
#pragma once

#include <cstdint>

// The text for `code`: "오류(#XXXXXXXX) : " followed by the message, or an empty text for a code
// the table does not know (that code is then remembered with its empty text). The pointer stays
// valid until the process exits. Safe to call from several threads at once.
const wchar_t* GetResultText(uint32_t code);
