#pragma once
// The PEM file of certificates trusted in addition to the system's store (the local test
// server's authority), named by an environment variable. The program names the variable
// at start-up; without one, or with the variable unset, only the system's store is trusted.

#include <string>

namespace wininet {

// Set once at start-up, before the first TLS connection.
void SetExtraCaFileVariable(std::string name);

// The file the variable names now; empty when there is none.
std::string ExtraCaFile();

}  // namespace wininet
