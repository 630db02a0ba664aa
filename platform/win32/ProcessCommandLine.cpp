#include "platform/win32/ProcessCommandLine.h"

#include <cstring>
#include <cwchar>

#include <windows.h>
#include <winternl.h>

namespace {

// A command line's characters, walked by the C runtime's rules for splitting it: the
// program's name up to its closing quote or a blank, then arguments separated by
// unquoted blanks, where 2n backslashes before a quote are n and the quote toggles
// quoting, 2n+1 are n and a literal quote. In every argument that reads "-p..." the
// characters after the "-p" (the option given) become spaces; a quote opened before them is closed first,
// so that the rest of the line still splits as it did.
template <typename Char>
class CommandLineWiper {
public:
    CommandLineWiper(Char* text, std::size_t length, char option) : end_(text + length), at_(text), option_(option) {}

    void Wipe()
    {
        SkipProgramName();
        while (SkipBlanks())
            WipeArgument();
    }

private:
    static bool IsBlank(Char c) { return c == Char(' ') || c == Char('\t'); }

    void SkipProgramName()
    {
        if (at_ < end_ && *at_ == Char('"')) {
            ++at_;
            while (at_ < end_ && *at_ != Char('"'))
                ++at_;
            if (at_ < end_)
                ++at_;
        }
        while (at_ < end_ && !IsBlank(*at_))
            ++at_;
    }

    bool SkipBlanks()
    {
        while (at_ < end_ && IsBlank(*at_))
            ++at_;
        return at_ < end_ && *at_ != Char('\0');
    }

    // One argument, up to its unquoted blank.
    void WipeArgument()
    {
        quoted_ = false;
        decoded_ = 0;
        wipeFrom_ = nullptr;
        while (at_ < end_ && *at_ != Char('\0') && (quoted_ || !IsBlank(*at_))) {
            if (*at_ == Char('\\')) {
                TakeBackslashes();
            } else if (*at_ == Char('"')) {
                quoted_ = !quoted_;
                ++at_;
            } else {
                Take(*at_);
                ++at_;
            }
        }
        if (wipeFrom_)
            Blank(wipeFrom_, quotedAtWipe_);
    }

    void TakeBackslashes()
    {
        std::size_t count = 0;
        for (; at_ < end_ && *at_ == Char('\\'); ++at_)
            ++count;
        const bool beforeQuote = at_ < end_ && *at_ == Char('"');
        for (std::size_t n = beforeQuote ? count / 2 : count; n > 0; --n)
            Take(Char('\\'));
        if (beforeQuote && count % 2 == 1) {
            Take(Char('"'));
            ++at_;
        }
    }

    // The argument's next character, *at_ when it is a plain one.
    void Take(Char c)
    {
        if (decoded_++ == 0)
            first_ = c;
        if (decoded_ == 2 && first_ == Char('-') && c == Char(option_)) {
            wipeFrom_ = at_ + 1;
            quotedAtWipe_ = quoted_;
        }
    }

    void Blank(Char* from, bool closeQuote) const
    {
        volatile Char* c = from;  // a store to memory this process never reads again may not go
        if (closeQuote && c < at_)
            *c++ = Char('"');
        for (; c < at_; ++c)
            *c = Char(' ');
    }

    Char* end_;
    Char* at_;
    char option_;
    bool quoted_ = false;
    std::size_t decoded_ = 0;
    Char first_ = 0;
    Char* wipeFrom_ = nullptr;
    bool quotedAtWipe_ = false;
};

template <typename Char>
void WipeCommandLine(Char* text, std::size_t length, char option)
{
    if (text != nullptr)
        CommandLineWiper<Char>(text, length, option).Wipe();
}

}  // namespace

void BlankOptionValuesInProcessCommandLine(char option)
{
    // The process parameters are where other programs read the command line;
    // GetCommandLineW's buffer is usually the same one, GetCommandLineA's a copy.
    UNICODE_STRING& parameters = NtCurrentTeb()->ProcessEnvironmentBlock->ProcessParameters->CommandLine;
    WipeCommandLine(parameters.Buffer, parameters.Length / sizeof(WCHAR), option);
    WCHAR* wide = ::GetCommandLineW();
    WipeCommandLine(wide, std::wcslen(wide), option);
    char* narrow = ::GetCommandLineA();
    WipeCommandLine(narrow, std::strlen(narrow), option);
}
