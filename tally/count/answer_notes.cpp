#include "tally/count/answer_notes.h"

#include "app/text/cp932.h"

#include <map>
#include <string_view>

namespace mirunea::tally {

namespace {

// Other files named in one note; a name shared by a whole class is not a
// list of forty.
constexpr std::size_t kNamedOthers = 3;
// A respondent name in a note is cut to this many characters.
constexpr std::size_t kShownNameCharacters = 20;

// The first characters of UTF-8 text, cut between characters.
[[nodiscard]] std::string firstCharacters(std::string_view utf8, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t characters = 0; end < utf8.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count)
            return std::string(utf8.substr(0, end)) + "…";
    }
    return std::string(utf8);
}

[[nodiscard]] std::string sameNameNote(const std::vector<CountedFile>& files, const std::vector<std::size_t>& sharing,
                                       std::size_t self)
{
    std::string others;
    std::size_t named = 0;
    for (const std::size_t other : sharing) {
        if (other == self)
            continue;
        if (named == kNamedOthers) {
            others += " ほか " + std::to_string(sharing.size() - 1 - named) + " 件";
            break;
        }
        others += named == 0 ? "" : "、";
        others += files[other].fileName;
        ++named;
    }
    const std::string name = firstCharacters(cp932::toUtf8(files[self].record.respondentName), kShownNameCharacters);
    return "氏名「" + name + "」は " + others + " と同じです（同じ名前の人かもしれません。どれも集計しました）";
}

} // namespace

std::vector<FileNote> answerNotes(const std::vector<CountedFile>& files, std::int64_t questionnaireModifiedUnixSeconds)
{
    std::map<std::string_view, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].record.respondentName.empty())
            byName[files[i].record.respondentName].push_back(i);
    }

    std::vector<FileNote> notes;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const CountedFile& file = files[i];
        if (file.modifiedUnixSeconds < questionnaireModifiedUnixSeconds)
            notes.push_back({file.fileName, "data.txt が最後に変更される前に書かれた回答です"});
        if (!file.record.respondentName.empty()) {
            const std::vector<std::size_t>& sharing = byName[file.record.respondentName];
            if (sharing.size() > 1)
                notes.push_back({file.fileName, sameNameNote(files, sharing, i)});
        }
    }
    return notes;
}

} // namespace mirunea::tally
