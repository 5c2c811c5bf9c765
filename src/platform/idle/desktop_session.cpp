#include "desktop_session.h"

namespace drevanti::idle {

namespace {

Desktop desktopNamed(std::string_view name) {
  if (name == "GNOME") return Desktop::Gnome;
  if (name == "KDE") return Desktop::Plasma;
  if (name == "MATE") return Desktop::Mate;
  if (name == "XFCE") return Desktop::Xfce;
  return Desktop::Other;
}

}  // namespace

Desktop desktopOf(const char* currentDesktop) {
  std::string_view list = currentDesktop ? currentDesktop : "";
  while (!list.empty()) {
    const auto colon = list.find(':');
    const Desktop desktop = desktopNamed(list.substr(0, colon));
    if (desktop != Desktop::Other) return desktop;
    list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
  }
  return Desktop::Other;
}

}  // namespace drevanti::idle
