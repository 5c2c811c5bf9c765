// The user's XDG autostart entry that has GNOME or KDE Plasma start the watcher at each login
// (drevanti --on-idle).
#pragma once

#include <filesystem>
#include <string>

namespace drevanti::idle {

// The entry's text.
extern const std::string kAutostartEntry;

// $XDG_CONFIG_HOME/autostart/drevanti.desktop (~/.config when XDG_CONFIG_HOME is unset or not an
// absolute path, as the XDG base directories say); either may be null. Throws when neither gives
// a folder.
std::filesystem::path autostartEntryFile(const char* configHome, const char* home);

// Writes the entry (whole or not at all), making its folder when needed.
void writeAutostartEntry(const std::filesystem::path& file);

}  // namespace drevanti::idle
