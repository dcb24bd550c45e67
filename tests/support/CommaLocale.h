#pragma once

#include "support/TempDir.h"

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace vx::test {

// Puts the C library into a locale with a decimal comma for the object's life, as Qt puts it into
// the user's locale at start-up. de_DE.UTF-8 where the system has it, otherwise made with
// localedef in a folder of its own. Empty reason() when it is in force.
class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr))
    {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
            folder_.emplace();
            const std::string made = folder_->file("de_DE.UTF-8");
            if (std::system(("localedef -i de_DE -f UTF-8 '" + made + "' >/dev/null 2>&1").c_str()) != -1)
                ::setenv("LOCPATH", folder_->str().c_str(), 1);
            if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
                reason_ = "no de_DE.UTF-8 locale, and localedef could not make one";
        }
        if (reason_.empty() && std::string(std::localeconv()->decimal_point) != ",")
            reason_ = "de_DE.UTF-8 has no decimal comma";
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, previous_.c_str());
        if (folder_)
            ::unsetenv("LOCPATH");
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    const std::string& reason() const { return reason_; }

private:
    std::string previous_;
    std::optional<TempDir> folder_;
    std::string reason_;
};

} // namespace vx::test
