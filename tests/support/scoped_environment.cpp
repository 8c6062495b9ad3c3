#include "support/scoped_environment.h"

#include <cstdlib>
#include <stdexcept>

namespace kt {

ScopedEnvironment::~ScopedEnvironment()
{
    // Backwards, so that a variable touched twice ends as it was before the first change.
    for (auto it = c_saved.rbegin(); it != c_saved.rend(); ++it) {
        if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
        else ::unsetenv(it->first.c_str());
    }
}

void ScopedEnvironment::Remember(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    c_saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
}

void ScopedEnvironment::Set(const std::string& name, const std::string& value)
{
    Remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnvironment::Unset(const std::string& name)
{
    Remember(name);
    ::unsetenv(name.c_str());
}

TemporaryDirectory::TemporaryDirectory()
{
    char pattern[] = "/tmp/kelvane-test-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make a temporary directory");
    c_path = pattern;
}

TemporaryDirectory::~TemporaryDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(c_path, ignored);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& directory)
    : c_old(std::filesystem::current_path())
{
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(c_old, ignored);
}

}  // namespace kt
