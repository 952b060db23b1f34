// The platform's folder listing and bounded reading on real folders,
// natively and under Wine: which names are listed, what each entry is, the
// bounds, a file held by a writer in another process, a file changed between
// listing and reading. The POSIX part meets links, FIFOs, sockets and hard
// links, which a pupil can make in a shared folder.
#include "app/platform/folder_files.h"

#include "answers/answer_file.h"
#include "child_process.h"
#include "folder_fixtures.h"
#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#ifndef _WIN32
#  include <sys/socket.h>
#  include <sys/stat.h>
#  include <sys/un.h>
#  include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::test;

namespace {

constexpr std::size_t kBound = 1 << 20;

std::map<std::string, FolderEntry> listedByName(std::size_t maxEntries = 1000)
{
    std::map<std::string, FolderEntry> byName;
    for (FolderEntry& entry : listWorkingFolder(".ans", maxEntries).entries)
        byName[entry.name] = std::move(entry);
    return byName;
}

std::vector<std::string> namesOf(const std::map<std::string, FolderEntry>& entries)
{
    std::vector<std::string> names;
    for (const auto& [name, entry] : entries)
        names.push_back(name);
    return names;
}

// The one listed entry of that name.
FolderEntry listed(const std::string& name)
{
    const std::map<std::string, FolderEntry> entries = listedByName();
    const auto found = entries.find(name);
    REQUIRE_MESSAGE(found != entries.end(), name);
    return found->second;
}

ReadResult readInto(const FolderEntry& entry, std::string& bytes, std::size_t bound = kBound)
{
    return readListedFile(entry, bound, bytes);
}

} // namespace

TEST_CASE("names ending in .ans are listed, without regard to the letters' case, with their size and time")
{
    WorkingFolder folder;
    const std::int64_t before = nowUnixSeconds();
    for (const char* name : {"a.ans", "B.ANS", "c.Ans", ".ans", "d.ansx", "e.an", "ans", "f.ans.txt", "gans"})
        writeFileBytes(name, std::string(name) + "\r\n");
    std::filesystem::create_directory("h.ans");

    const std::map<std::string, FolderEntry> entries = listedByName();
    CHECK(namesOf(entries) == std::vector<std::string>{".ans", "B.ANS", "a.ans", "c.Ans", "h.ans"});
    const FolderEntry& file = entries.at("B.ANS");
    CHECK(file.kind == FolderEntryKind::RegularFile);
    CHECK(file.size == 7);
    CHECK(file.modifiedUnixSeconds >= before - 2);
    CHECK(file.modifiedUnixSeconds <= nowUnixSeconds() + 2);
#ifndef _WIN32
    CHECK(file.linkCount == 1);
#endif
    CHECK(entries.at("h.ans").kind == FolderEntryKind::Folder);

    std::string bytes;
    CHECK(readInto(file, bytes).outcome == ReadOutcome::Read);
    CHECK(bytes == "B.ANS\r\n");
    CHECK(readInto(entries.at("h.ans"), bytes).outcome == ReadOutcome::NotRegularFile);
    CHECK(bytes.empty());
}

TEST_CASE("an empty folder lists nothing, and the listing stops at its bound")
{
    WorkingFolder folder;
    CHECK(listWorkingFolder(".ans", 10).entries.empty());
    for (int i = 0; i < 8; ++i)
        writeFileBytes("PC" + std::to_string(i) + ".ans", "x");
    const FolderListing listing = listWorkingFolder(".ans", 5);
    CHECK(listing.entries.size() == 5);
    CHECK(listing.leftOut == 3);
}

TEST_CASE("Japanese names are listed in UTF-8 and read again by their own spelling")
{
    WorkingFolder folder;
    // "ソ表" has trail bytes 5C, which a byte-wise reader takes for "\".
    writeAnswerFile(mirunea::test::answerRecord(sjis("ソ表"), "Taro"));
    const FolderEntry entry = listed("ソ表.ans");
    std::string bytes;
    REQUIRE(readInto(entry, bytes).outcome == ReadOutcome::Read);
    CHECK(printable(bytes) == printable(sjis("ソ表") + "\r\nTaro\r\n[END]\r\n"));
}

TEST_CASE("files larger than the bound are not read, sparse ones of a terabyte included")
{
    WorkingFolder folder(MIRUNEA_LIMITS_BASE);
    writeFileBytes("small.ans", std::string(100, 'a'));
    std::string bytes = "left over";
    CHECK(readInto(listed("small.ans"), bytes, 99).outcome == ReadOutcome::TooLarge);
    CHECK(bytes.empty());
    CHECK(readInto(listed("small.ans"), bytes, 100).outcome == ReadOutcome::Read);
    CHECK(bytes.size() == 100);

    writeSparse("huge.ans", "PC\r\n", std::int64_t{1} << 40);
    const auto start = std::chrono::steady_clock::now();
    const FolderEntry huge = listed("huge.ans");
    CHECK(huge.size == std::uint64_t{1} << 40);
    CHECK(readInto(huge, bytes).outcome == ReadOutcome::TooLarge);
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(5));
}

TEST_CASE("a file changed between listing and reading is reported as changed")
{
    WorkingFolder folder;
    writeFileBytes("PC1.ans", "first\r\n");
    writeFileBytes("PC2.ans", "first\r\n");
    const FolderEntry shrunk = listed("PC1.ans");
    const FolderEntry grown = listed("PC2.ans");
    writeFileBytes("PC1.ans", "1\r\n");
    writeFileBytes("PC2.ans", "first, and then more\r\n");
    std::string bytes;
    CHECK(readInto(shrunk, bytes).outcome == ReadOutcome::Changed);
    CHECK(readInto(grown, bytes).outcome == ReadOutcome::Changed);
    CHECK(bytes.empty());
    // Removed meanwhile: no crash, a failure with the system's code.
    const FolderEntry removed = listed("PC1.ans");
    REQUIRE(std::remove("PC1.ans") == 0);
    const ReadResult gone = readInto(removed, bytes);
    CHECK(gone.outcome == ReadOutcome::Failed);
    CHECK(gone.errorCode == 2);
}

TEST_CASE("a file a PC is writing at this moment is busy, and read once it is let go")
{
    WorkingFolder folder;
    writeFileBytes("PC05.ans", "PC05\r\n\r\n[END]\r\n");
    {
        // Another reader is welcome.
        mirunea::test::ChildProcess reader(MIRUNEA_FILE_HOLDER, {"read", "PC05.ans"});
        REQUIRE(reader.readLine() == "held");
        std::string bytes;
        CHECK(readInto(listed("PC05.ans"), bytes).outcome == ReadOutcome::Read);
        reader.closeInput();
        CHECK(reader.wait().exitCode == 0);
    }
    mirunea::test::ChildProcess writer(MIRUNEA_FILE_HOLDER, {"write", "PC05.ans"});
    REQUIRE(writer.readLine() == "held");
    std::string bytes;
    const ReadResult held = readInto(listed("PC05.ans"), bytes);
    CHECK(held.outcome == ReadOutcome::Busy);
    CHECK(held.errorCode == 32);
    writer.closeInput();
    CHECK(writer.wait().exitCode == 0);
    // The holder let go without replacing it: the earlier send reads as it was.
    CHECK(readInto(listed("PC05.ans"), bytes).outcome == ReadOutcome::Read);
    CHECK(bytes == "PC05\r\n\r\n[END]\r\n");
}

#ifndef _WIN32

namespace {

void makeSocket(const char* name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    REQUIRE(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", name);
    REQUIRE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
    ::close(fd);
}

} // namespace

TEST_CASE("links, FIFOs and sockets are listed as what they are and never read through")
{
    const FolderBesideSecret folder;
    folder.placeLinksAndFifo();
    REQUIRE(::symlink("nowhere", "dangling.ans") == 0);
    REQUIRE(::symlink(".", "folder-link.ans") == 0);
    makeSocket("socket.ans");

    const std::map<std::string, FolderEntry> entries = listedByName();
    REQUIRE(entries.size() == 6);
    for (const char* name : {"link.ans", "zero.ans", "dangling.ans", "folder-link.ans"})
        CHECK(entries.at(name).kind == FolderEntryKind::Link);
    CHECK(entries.at("fifo.ans").kind == FolderEntryKind::Other);
    CHECK(entries.at("socket.ans").kind == FolderEntryKind::Other);

    for (const auto& [name, entry] : entries) {
        CAPTURE(name);
        std::string bytes;
        CHECK(readInto(entry, bytes).outcome == ReadOutcome::NotRegularFile);
        CHECK(bytes.empty());
        // Even when the listing is told it is a file, the open finds out.
        FolderEntry asFile = entry;
        asFile.kind = FolderEntryKind::RegularFile;
        asFile.size = 0;
        const ReadResult result = readInto(asFile, bytes);
        CHECK(result.outcome != ReadOutcome::Read);
        CHECK(bytes.empty());
    }
}

TEST_CASE("a regular file swapped for a link or a FIFO after the listing is not read")
{
    const FolderBesideSecret folder;
    writeFileBytes("a.ans", FolderBesideSecret::kSecretBytes); // the link target's size
    writeFileBytes("b.ans", "x");
    const FolderEntry a = listed("a.ans");
    const FolderEntry b = listed("b.ans");
    REQUIRE(std::remove("a.ans") == 0);
    REQUIRE(::symlink(folder.secretPath().c_str(), "a.ans") == 0);
    REQUIRE(std::remove("b.ans") == 0);
    REQUIRE(::mkfifo("b.ans", 0600) == 0);

    std::string bytes;
    CHECK(readInto(a, bytes).outcome == ReadOutcome::NotRegularFile);
    CHECK(bytes.empty());
    const auto start = std::chrono::steady_clock::now();
    CHECK(readInto(b, bytes).outcome == ReadOutcome::NotRegularFile);
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(5));
}

TEST_CASE("a file with a second name is not read under either")
{
    WorkingFolder folder;
    writeFileBytes("PC1.ans", "PC1\r\n\r\n[END]\r\n");
    REQUIRE(::link("PC1.ans", "PC2.ans") == 0);
    for (const char* name : {"PC1.ans", "PC2.ans"}) {
        const FolderEntry entry = listed(name);
        CHECK(entry.linkCount == 2);
        std::string bytes;
        CHECK(readInto(entry, bytes).outcome == ReadOutcome::HardLinked);
        // The open checks again: a link made after the listing counts too.
        FolderEntry asListedBefore = entry;
        asListedBefore.linkCount = 1;
        CHECK(readInto(asListedBefore, bytes).outcome == ReadOutcome::HardLinked);
        CHECK(bytes.empty());
    }
}

TEST_CASE("a name that is no UTF-8 is shown with U+FFFD and read by its bytes")
{
    WorkingFolder folder;
    writeFileBytes("\xFF\x83\x5C.ans", "PC\r\n\r\n[END]\r\n");
    const FolderEntry entry = listed("\xEF\xBF\xBD\xEF\xBF\xBD\\.ans");
    std::string bytes;
    CHECK(readInto(entry, bytes).outcome == ReadOutcome::Read);
    CHECK(bytes == "PC\r\n\r\n[END]\r\n");
}

#endif
