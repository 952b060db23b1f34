#include "app/platform/computer_name.h"

#include "app/platform/posix/netbios_name.h"
#include "app/platform/posix/samba_config.h"
#include "app/text/cp932.h"
#include "app/text/cp932_tables.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <string_view>
#include <unistd.h>

namespace mirunea {

namespace {

// The locale's character set, from the environment (LC_ALL, LC_CTYPE, LANG),
// whether or not the program has set its locale.
std::string localeCodeset()
{
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return "UTF-8";
    std::string codeset = ::nl_langinfo_l(CODESET, locale);
    ::freelocale(locale);
    return codeset;
}

// Text in another character set decoded by iconv; a byte that is no text
// there becomes U+FFFD. Empty when iconv has no such converter.
std::u16string utf16FromCodeset(std::string_view text, const std::string& codeset)
{
    const iconv_t converter = ::iconv_open("UTF-16LE", codeset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return {};
    std::u16string decoded;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char16_t buffer[64];
        char* out = reinterpret_cast<char*>(buffer);
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        for (const char* unit = reinterpret_cast<const char*>(buffer); unit + 1 < out; unit += 2)
            decoded += static_cast<char16_t>(static_cast<unsigned char>(unit[0])
                                             | (static_cast<unsigned char>(unit[1]) << 8));
        if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
            decoded += cp932::kReplacementCharacter;
            ++in;
            --inLeft;
        }
    }
    ::iconv_close(converter);
    return decoded;
}

// The host name as code page 932 text: UTF-8 (and plain ASCII) by our own
// codec, any other locale character set through iconv.
std::string codePage932FromLocaleText(std::string_view text)
{
    const std::string codeset = localeCodeset();
    if (codeset == "UTF-8" || codeset == "ANSI_X3.4-1968")
        return cp932::fromUtf8(text);
    const std::u16string decoded = utf16FromCodeset(text, codeset);
    return decoded.empty() ? cp932::fromUtf8(text) : cp932::encode(decoded);
}

} // namespace

// A PC that serves Windows networks through Samba has the NetBIOS name set
// there, which Windows PCs know it by; any other PC is named after its host.
std::string localComputerName()
{
    if (const std::string sambaName = netBiosNameInSambaConfig(sambaConfigText(kSambaConfigPath)); !sambaName.empty())
        return netBiosNameFromSetName(cp932::fromUtf8(sambaName));
    // Room for the longest host name, its zero byte, and a last byte that
    // stays zero even if a name were cut without one.
    char buffer[HOST_NAME_MAX + 2] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    return netBiosNameFromHostName(codePage932FromLocaleText(buffer));
}

} // namespace mirunea
