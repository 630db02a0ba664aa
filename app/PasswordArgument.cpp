#include "app/PasswordArgument.h"

#ifdef _WIN32
#include "platform/win32/ProcessCommandLine.h"
#endif

#include <cstring>

void HidePasswordArguments(int argc, char** argv)
{
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        char* argument = argv[i];
        if (argument[0] != '-' || argument[1] != 'p')
            continue;
        // Through a volatile pointer: a plain store to memory never read again may go.
        volatile char* password = argument + 2;
        for (std::size_t n = std::strlen(argument + 2); n > 0; --n)
            *password++ = '\0';
    }
#ifdef _WIN32
    BlankOptionValuesInProcessCommandLine('p');
#endif
}
