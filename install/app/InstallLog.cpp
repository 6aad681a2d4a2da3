#include "install/app/InstallLog.h"

#include "platform/ports/TextCodec.h"

namespace install {

std::string LogFileBytes(const std::wstring& text) {
    std::wstring lines;
    lines.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) lines.push_back(L'\r');
        lines.push_back(text[i]);
    }
    return platform::text::ToUtf8(lines);
}

void InstallLog::Open() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        path_ = facts_.TempFolder() + kInstallLogFileName;
        open_ = file_.Create(path_);
    }
    Write(L"logging start\n");
}

void InstallLog::WriteText(const std::wstring& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (pipe_) {
        size_t lastNewline = text.rfind(L'\n');
        pipe_->Write(lastNewline == std::wstring::npos ? text : text.substr(0, lastNewline));
    }
    if (open_) file_.Append(LogFileBytes(text));
}

std::wstring InstallLog::KeptPath() {
    std::wstring system = facts_.SystemFolder();
    size_t backslash = system.find(L'\\');
    if (backslash == std::wstring::npos) return std::wstring();
    return system.substr(0, backslash + 1) + kInstallLogFileName;
}

void InstallLog::Close() {
    std::lock_guard<std::mutex> guard(lock_);
    if (closed_) return;
    closed_ = true;
    if (!open_) return;  // nothing was written, so nothing replaces an older kept log
    open_ = false;
    file_.Close();
    if (m_bDiscard != 0) {
        file_.Delete(path_);
        return;
    }
    std::wstring target = KeptPath();
    if (target.empty()) return;
    file_.Delete(target);
    file_.Move(path_, target);
}

}  // namespace install
