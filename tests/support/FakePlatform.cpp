#include "support/FakePlatform.h"

namespace vx::test {

std::string FakePlatform::GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                     const std::string& defaultValue)
{
    auto it = userStore.find({app, section, key});
    return it == userStore.end() ? defaultValue : it->second;
}

void FakePlatform::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                               const std::string& value)
{
    userStore[{app, section, key}] = value;
}

} // namespace vx::test
