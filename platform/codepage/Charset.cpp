#include "platform/codepage/Charset.h"

#include "platform/codepage/CodePage.h"

#include <cctype>
#include <langinfo.h>

namespace codepage {

namespace {

struct IconvPage {
    UINT codePage;
    const char* name;
    bool asciiCompatible;
};

constexpr IconvPage kIconvPages[] = {
    {437, "CP437", true},         {850, "CP850", true},        {866, "CP866", true},
    {874, "CP874", true},         {932, "CP932", true},        {936, "CP936", true},
    {949, "CP949", true},         {950, "CP950", true},        {1250, "CP1250", true},
    {1251, "CP1251", true},       {1253, "CP1253", true},      {1254, "CP1254", true},
    {1255, "CP1255", true},       {1256, "CP1256", true},      {1257, "CP1257", true},
    {1258, "CP1258", true},       {20866, "KOI8-R", true},     {21866, "KOI8-U", true},
    {28592, "ISO-8859-2", true},  {28593, "ISO-8859-3", true}, {28594, "ISO-8859-4", true},
    {28595, "ISO-8859-5", true},  {28596, "ISO-8859-6", true}, {28597, "ISO-8859-7", true},
    {28598, "ISO-8859-8", true},  {28599, "ISO-8859-9", true}, {28603, "ISO-8859-13", true},
    {28605, "ISO-8859-15", true}, {51932, "EUC-JP", true},     {54936, "GB18030", true},
    {CP_UTF7, "UTF-7", false},
};

// "UTF-8", "utf8" and "Utf_8" name the same charset.
std::string Normalised(const char* name)
{
    std::string out;
    for (; *name != '\0'; ++name) {
        const auto c = static_cast<unsigned char>(*name);
        if (c != '-' && c != '_')
            out += static_cast<char>(std::toupper(c));
    }
    return out;
}

Charset LocaleCharset()
{
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || *codeset == '\0')
        return Charset{CharsetKind::Ascii, {}, true};
    const std::string key = Normalised(codeset);
    if (key == "UTF8")
        return Charset{CharsetKind::Utf8, {}, true};
    if (key == "ANSIX3.41968" || key == "ASCII" || key == "USASCII")
        return Charset{CharsetKind::Ascii, {}, true};
    if (key == "ISO88591")
        return Charset{CharsetKind::Latin1, {}, true};
    if (key == "CP1252" || key == "WINDOWS1252")
        return Charset{CharsetKind::Windows1252, {}, true};
    return Charset{CharsetKind::Iconv, codeset, true};
}

}  // namespace

bool ResolveCharset(UINT codePage, Charset& charset)
{
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP: charset = LocaleCharset(); return true;
    case CP_UTF8: charset = Charset{CharsetKind::Utf8, {}, true}; return true;
    case 20127: charset = Charset{CharsetKind::Ascii, {}, true}; return true;
    case 28591: charset = Charset{CharsetKind::Latin1, {}, true}; return true;
    case 1252: charset = Charset{CharsetKind::Windows1252, {}, true}; return true;
    case 1200: charset = Charset{CharsetKind::Utf16LE, {}, false}; return true;
    case 1201: charset = Charset{CharsetKind::Utf16BE, {}, false}; return true;
    default: break;
    }
    for (const IconvPage& page : kIconvPages) {
        if (page.codePage == codePage) {
            charset = Charset{CharsetKind::Iconv, page.name, page.asciiCompatible};
            return true;
        }
    }
    return false;
}

}  // namespace codepage
