#include "folder_fixtures.h"

#include "working_folder.h"

#include <doctest/doctest.h>

#include <chrono>

#ifdef _WIN32
#  include <windows.h>
#else
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace mirunea::test {

Questionnaire questionnaireOf(const std::vector<std::string>& slotCodes)
{
    Questionnaire questionnaire;
    for (std::size_t i = 0; i < slotCodes.size(); ++i) {
        QuestionSlot& slot = questionnaire.questionSlots.at(i);
        const std::string& code = slotCodes[i];
        if (code.empty())
            continue;
        slot.typeCode = code.substr(0, 1);
        slot.questionText = "q" + std::to_string(i + 1);
        const int choices = code.size() > 1 ? std::stoi(code.substr(1)) : 0;
        for (int c = 1; c <= choices; ++c)
            slot.choices.push_back("c" + std::to_string(c));
    }
    return questionnaire;
}

void setModified(const std::string& name, std::int64_t unixSeconds)
{
#ifdef _WIN32
    const HANDLE file = ::CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    const auto steps = static_cast<std::uint64_t>(unixSeconds * 10000000 + 116444736000000000);
    FILETIME time{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    const bool set = ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
    REQUIRE(set);
#else
    const timespec times[2] = {{static_cast<time_t>(unixSeconds), 0}, {static_cast<time_t>(unixSeconds), 0}};
    REQUIRE(::utimensat(AT_FDCWD, name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0);
#endif
}

std::int64_t nowUnixSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

#ifndef _WIN32
namespace {

// The secret written in the working directory, the outside folder still.
std::string writtenSecret(const WorkingFolder& outside)
{
    writeFileBytes("marks.txt", FolderBesideSecret::kSecretBytes);
    return outside.filePath("marks.txt");
}

} // namespace

FolderBesideSecret::FolderBesideSecret()
    : m_secretPath(writtenSecret(m_outside))
{
}

void FolderBesideSecret::placeLinksAndFifo() const
{
    REQUIRE(::symlink(m_secretPath.c_str(), "link.ans") == 0);
    REQUIRE(::symlink("/dev/zero", "zero.ans") == 0);
    REQUIRE(::mkfifo("fifo.ans", 0600) == 0);
}
#endif

} // namespace mirunea::test
