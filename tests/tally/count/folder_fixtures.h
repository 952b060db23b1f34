#pragma once

#include "answers/answer_record.h"
#include "questionnaire/questionnaire.h"
#include "working_folder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the folder tests build: questionnaires from short slot codes, files of
// a chosen age.
namespace mirunea::test {

// One code a slot, from slot 1: "R3" (choose one of three), "C4", "T", or ""
// for an empty slot. Choices are named "c1", "c2", ...
[[nodiscard]] Questionnaire questionnaireOf(const std::vector<std::string>& slotCodes);

// Sets the file's modification time, in Unix seconds.
void setModified(const std::string& name, std::int64_t unixSeconds);

[[nodiscard]] std::int64_t nowUnixSeconds();

#ifndef _WIN32
// The teacher's own file, shaped as a perfect answer file, in a folder of
// its own; then a fresh folder beside it made the working directory. What
// the tests place in the folder must never read through to the file.
class FolderBesideSecret
{
public:
    static constexpr std::string_view kSecretBytes = "PC99\r\nsecret marks\r\n[Q1T]\r\nTaro 80\r\n[END]\r\n";

    FolderBesideSecret();
    [[nodiscard]] const std::string& secretPath() const { return m_secretPath; }
    // link.ans to the secret, zero.ans to /dev/zero, and the FIFO fifo.ans.
    void placeLinksAndFifo() const;

private:
    WorkingFolder m_outside;
    std::string m_secretPath;
    WorkingFolder m_folder;
};
#endif

} // namespace mirunea::test
