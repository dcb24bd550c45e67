#pragma once

// Registration with the maker's launcher utility, which lists the programs found in slot
// entries of its own section in the per-user settings store; and, for the Linux side of the
// platform adapter, that store kept as one small INI file per application.

#include <string>

namespace vx {

class Platform;

// When the launcher's "Version" entry is present, writes this program into slot 1 of the
// launcher's list (its Japanese and Latin names); otherwise leaves the store untouched.
// Runs on every load of the main window, so the slot is rewritten each time.
void RegisterWithLauncher(Platform& platform);

// The per-user store on Linux: the file of an application in the user's configuration folder
// (XDG_CONFIG_HOME, normally ~/.config). Separators in the application name are replaced, so
// the file always lies directly in that folder.
std::string UserStorePath(const std::string& configDir, const std::string& application);

// The stored value, or the default when the file, section or key is missing.
std::string UserStoreGet(const std::string& configDir, const std::string& application, const std::string& section,
                         const std::string& key, const std::string& defaultValue);

// Stores the value, creating the folder and the file as needed; a failure is ignored, as the
// platform's own store would.
void UserStoreSave(const std::string& configDir, const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value);

} // namespace vx
