#pragma once
// Cutting a Windows-style command line into tokens, the program's own way: quotes may
// open and close anywhere inside a token, \" is a literal quote, and only the space
// character ends a token.

#include <string>

// Takes the next token off the front of `remainder` and returns it; `remainder` keeps
// the rest (trimmed at its ends). An empty or blank remainder gives an empty token.
std::u16string NextCommandLineToken(std::u16string& remainder);
