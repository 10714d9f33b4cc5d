#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace orinsub::testing {

/// XDG_CONFIG_HOME in a folder of its own for the life of the object (the sACN source id and the
/// settings live there), so that a test never touches the operator's; the folder goes after.
class ScratchConfigHome
{
public:
    ScratchConfigHome()
    {
        char pattern[] = "/tmp/orinsub-config-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("no scratch folder for XDG_CONFIG_HOME");
        m_path = pattern;
        if (const char *before = std::getenv("XDG_CONFIG_HOME"))
            m_before = before;
        setenv("XDG_CONFIG_HOME", pattern, 1);
    }
    ~ScratchConfigHome()
    {
        if (m_before)
            setenv("XDG_CONFIG_HOME", m_before->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchConfigHome(const ScratchConfigHome &) = delete;
    ScratchConfigHome &operator=(const ScratchConfigHome &) = delete;

    const std::filesystem::path &Path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::optional<std::string> m_before;
};

} // namespace orinsub::testing
