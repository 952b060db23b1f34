// The computer name of a PC without NetBIOS names (POSIX): its host name
// upper-cased and, when too long, cut so that distinct host names stay
// distinct; the name Samba's settings give it; and how those settings are
// read.
#include "app/platform/posix/netbios_name.h"
#include "app/platform/posix/samba_config.h"

#include "case_rows.h"
#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace mirunea;
using namespace mirunea::test;

namespace {

// The shape of a cut name: head, "~", four upper-case hex digits, tail.
void checkCut(const std::string& name, const std::string& head, const std::string& tail)
{
    CAPTURE(printable(name));
    REQUIRE(name.size() == head.size() + 5 + tail.size());
    CHECK(name.size() <= 15);
    CHECK(name.substr(0, head.size()) == head);
    CHECK(name[head.size()] == '~');
    CHECK(name.substr(head.size() + 1, 4).find_first_not_of("0123456789ABCDEF") == std::string::npos);
    CHECK(name.substr(name.size() - tail.size()) == tail);
}

} // namespace

TEST_CASE("a host name that fits becomes the NetBIOS computer name unchanged but for its case")
{
    const std::vector<std::pair<std::string, std::string>> rows{
        {"lab-pc07", "LAB-PC07"},
        {"PC05", "PC05"}, // upper case and digits kept
        {"pc05.school.example", "PC05"},
        {"abcdefghijklmno", "ABCDEFGHIJKLMNO"},         // exactly 15
        {"abcdefghijklmno.example", "ABCDEFGHIJKLMNO"}, // 15 before a dot
        {"abc.defghijklmnopqrst", "ABC"},               // dot within 15
        {".example", ""},
        {"", ""},
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9T\xC3\xA9"}, // non-ASCII bytes untouched
        {"\x83\x61\x83\x62", "\x83\x61\x83\x62"},   // trail bytes like "a", "b" kept
    };
    for (const auto& [hostName, computerName] : rows) {
        CAPTURE(printable(hostName));
        CHECK(printable(netBiosNameFromHostName(hostName)) == printable(computerName));
    }
}

TEST_CASE("a host name of more than 15 bytes keeps its beginning and end around a hash of the whole")
{
    SUBCASE("forty classroom PCs get forty names")
    {
        std::set<std::string> names;
        for (int number = 1; number <= 40; ++number) {
            char hostName[32];
            std::snprintf(hostName, sizeof hostName, "classroom-pc-%03d.school.example", number);
            const std::string name = netBiosNameFromHostName(hostName);
            checkCut(name, "CLASSR", std::string(hostName).substr(12, 4));
            names.insert(name);
        }
        CHECK(names.size() == 40);
        // 32-bit FNV-1a of "CLASSROOM-PC-001", 0x48BF43B8, folded: 0x48BF ^ 0x43B8.
        CHECK(netBiosNameFromHostName("classroom-pc-001") == "CLASSR~0B07-001");
    }
    SUBCASE("names that differ only in the middle stay apart; case makes no difference")
    {
        const std::vector<std::pair<std::string, std::string>> pairs{
            {"classroom-a-pc-01", "classroom-b-pc-01"},
            {"science-lab-1-pc07", "science-lab-2-pc07"},
            {"abcdefghijklmnop", "abcdefghijklmnoq"}, // 16 bytes, the last differs
            {"room-101-computer", "room-102-computer"},
        };
        for (const auto& [a, b] : pairs) {
            CAPTURE(a);
            CHECK(netBiosNameFromHostName(a) != netBiosNameFromHostName(b));
        }
        std::set<std::string> names;
        for (int room = 1; room <= 40; ++room)
            names.insert(netBiosNameFromHostName("school-room-" + std::to_string(100 + room) + "-pc"));
        CHECK(names.size() == 40);
        CHECK(netBiosNameFromHostName("Classroom-PC-001") == netBiosNameFromHostName("classroom-pc-001"));
    }
    SUBCASE("16 bytes are cut, the first label only")
    {
        checkCut(netBiosNameFromHostName("abcdefghijklmnop.example"), "ABCDEF", "MNOP");
        CHECK(netBiosNameFromHostName(std::string(63, 'a')).size() == 15);
    }
    SUBCASE("double-byte characters are never split")
    {
        const std::string first = netBiosNameFromHostName(sjis("教室パソコン０１"));
        const std::string second = netBiosNameFromHostName(sjis("教室パソコン０２"));
        checkCut(first, sjis("教室パ"), sjis("０１"));
        checkCut(second, sjis("教室パ"), sjis("０２"));
        CHECK(first != second);
        // Odd places: the head ends before a character that would pass 6
        // bytes, the tail begins after one whose trail byte (81) looks like a
        // lead byte and sits 4 bytes from the end.
        checkCut(netBiosNameFromHostName("a" + sjis("メメメメメメメ") + "b"), "A" + sjis("メメ"), sjis("メ") + "B");
    }
}

TEST_CASE("a name set in Samba's settings is upper-cased and cut to 15 bytes at a character boundary")
{
    CHECK(netBiosNameFromSetName("lab-pc07") == "LAB-PC07");
    CHECK(netBiosNameFromSetName("abcdefghijklmnopqrs") == "ABCDEFGHIJKLMNO");
    CHECK(printable(netBiosNameFromSetName("a" + sjis("パソコン室の一号機")))
          == printable("A" + sjis("パソコン室の一")));
}

TEST_CASE("Samba's settings give the NetBIOS name of their global section")
{
    const CaseRows<std::string, std::string> rows{
        {"global section", "[global]\n\tworkgroup = SCHOOL\n\tnetbios name = pc-lab-07\n", "pc-lab-07"},
        {"no such setting", "[global]\n\tworkgroup = SCHOOL\n\tnetbios aliases = other\n", ""},
        {"empty file", "", ""},
        {"empty value", "[global]\nnetbios name =\n", ""},
        {"before any section", "netbios name = early\n[homes]\n", "early"},
        {"in a share only", "[global]\nworkgroup = W\n[homes]\nnetbios name = share\n", ""},
        {"global again after a share", "[homes]\nnetbios name = share\n[global]\nnetbios name = back\n", "back"},
        {"section name spaced and cased", "[printers]\n[ Global ]\nnetbios name = spaced\n", "spaced"},
        {"globals is global", "[data]\n[GLOBALS]\nnetbios name = plural\n", "plural"},
        {"key cased and spaced", "[global]\n  NetBIOS   Name\t=\tpc05  \n", "pc05"},
        {"key without its space", "[global]\nnetbiosname=pc06\n", "pc06"},
        {"comments", "[global]\n# netbios name = hash\n  ; netbios name = semicolon\n", ""},
        {"a comment sign later is text", "[global]\nnetbios name = pc#1 ;x\n", "pc#1 ;x"},
        {"value continued", "[global]\nnetbios name = \\\n   pc08\n", "pc08"},
        {"key continued", "[global]\nnetbios \\\nname = pc09\nworkgroup = W\n", "pc09"},
        {"the last one wins", "[global]\nnetbios name = first\nnetbios name = second\n", "second"},
        {"CR LF lines, no final line break", "[global]\r\nnetbios name = crlf\r\ninclude = /etc/x", "crlf"},
        {"quoted", "[global]\nnetbios name = \"pc 10\"\n", "pc 10"},
        {"UTF-8 kept as it is", "[global]\nnetbios name = \xE6\x95\x99\xE5\xAE\xA4\n", "\xE6\x95\x99\xE5\xAE\xA4"},
    };
    forEachRow(rows, [](const auto& row) {
        CHECK(printable(netBiosNameInSambaConfig(row.input)) == printable(row.expected));
    });
}

TEST_CASE("Samba's settings are read within a bound, and only from a regular file")
{
    WorkingFolder folder;
    CHECK(sambaConfigText(folder.filePath("missing.conf").c_str()).empty());
    CHECK(sambaConfigText(folder.pathName().c_str()).empty());
    const std::string fifo = folder.filePath("fifo.conf");
    REQUIRE(::mkfifo(fifo.c_str(), 0600) == 0);
    CHECK(sambaConfigText(fifo.c_str()).empty()); // returns at once, with no writer

    // A setting beyond the bound is not seen, nor the line the bound cuts.
    const std::string line = "# " + std::string(1021, 'x') + "\n"; // 1 KiB a line
    std::string big;
    for (int i = 0; i < 1023; ++i)
        big += line;
    big += "netbios name = " + std::string(1100, 'c') + "\n"; // crosses the bound
    big += "netbios name = late\n";
    writeFileBytes("big.conf", big);
    const std::string read = sambaConfigText(folder.filePath("big.conf").c_str());
    CHECK(read.size() == 1023 * line.size());
    CHECK(netBiosNameInSambaConfig(read).empty());
    writeFileBytes("small.conf", "[global]\nnetbios name = pc11\n");
    CHECK(netBiosNameInSambaConfig(sambaConfigText(folder.filePath("small.conf").c_str())) == "pc11");
}
