#pragma once
// Sets (or removes) one environment variable for a scope and restores it afterwards.

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(name, value);
    }
    ~ScopedEnvironmentVariable() { Set(name_.c_str(), old_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    static void Set(const char* name, const std::optional<std::string>& value)
    {
#ifdef _WIN32
        // An empty value removes the variable there.
        ::_putenv_s(name, value ? value->c_str() : "");
#else
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
#endif
    }

    std::string name_;
    std::optional<std::string> old_;
};
