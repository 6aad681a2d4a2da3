// libFuzzer entry for the uninstall record file reader: "Uninst.lst" is read back from disk at
// uninstall, so any bytes must decode without fault, and what decodes must encode back to the
// bytes it came from (a record that reads back as something else would undo the wrong thing).
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "install/engine/UninstallRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    install::UninstallRecordList records = install::DecodeRecords(data, size);
    std::vector<uint8_t> again = install::EncodeRecords(records, false);
    // The decoded records are a prefix of the input, byte for byte.
    if (again.size() > size || !std::equal(again.begin(), again.end(), data)) std::abort();
    return 0;
}
