#include "autostart_entry.h"

#include <fstream>
#include <stdexcept>

namespace drevanti::idle {

const std::string kAutostartEntry =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Drevanti\n"
    "Comment=Shows the Drevanti screen saver when the computer is idle\n"
    "Exec=drevanti --on-idle\n"
    "TryExec=drevanti\n"
    "OnlyShowIn=GNOME;KDE;\n";

std::filesystem::path autostartEntryFile(const char* configHome, const char* home) {
  std::filesystem::path config;
  if (configHome && std::filesystem::path(configHome).is_absolute()) {
    config = configHome;
  } else if (home && *home) {
    config = std::filesystem::path(home) / ".config";
  } else {
    throw std::runtime_error(
        "neither XDG_CONFIG_HOME nor HOME is set, so there is no autostart "
        "folder to write to");
  }
  return config / "autostart" / "drevanti.desktop";
}

void writeAutostartEntry(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  std::filesystem::path part = file;
  part += ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << kAutostartEntry;
    out.close();
    if (!out) throw std::runtime_error("cannot write " + part.string());
  }
  std::filesystem::rename(part, file);
}

}  // namespace drevanti::idle
