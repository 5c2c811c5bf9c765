// Asks the X server what a person would see or do, for the saver's end-to-end tests:
//   x11_probe cursor                 "hidden" when the pointer's current image is fully
//                                    transparent, else "visible"
//   x11_probe find TITLE             "ID X Y WIDTH HEIGHT" of the window whose _NET_WM_NAME is
//                                    TITLE (client area, root coordinates); exit 1 if none
//   x11_probe close ID               asks the window to close, as a window manager's close button
//                                    does (WM_DELETE_WINDOW)
//   x11_probe motion ID X Y          sends the window a pointer-motion event at window (X, Y)
//   x11_probe window W H             maps a plain W x H window at (0, 0), prints its id and keeps
//                                    it until the probe is killed (the window then goes with it)
//   x11_probe layout                 the scene's layout as JSON (needs no display)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scene_layout_json.h"

namespace {

int usage() {
  std::fprintf(
      stderr,
      "usage: x11_probe cursor | find TITLE | close ID | motion ID X Y | window W H | layout\n");
  return 2;
}

int cursor(Display* display) {
  int eventBase = 0, errorBase = 0;
  if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
    std::fprintf(stderr, "x11_probe: no XFixes extension\n");
    return 1;
  }
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    std::fprintf(stderr, "x11_probe: no cursor image\n");
    return 1;
  }
  int opaque = 0;
  for (int i = 0; i < image->width * image->height; ++i) {
    if ((image->pixels[i] >> 24) & 0xFF) ++opaque;
  }
  std::printf("%s %dx%d %d\n", opaque ? "visible" : "hidden", image->width, image->height, opaque);
  XFree(image);
  return 0;
}

std::string netWmName(Display* display, Window window) {
  const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string result;
  if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    if (type == utf8 && format == 8) result.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return result;
}

bool findIn(Display* display, Window window, std::string_view title, Window* found) {
  if (netWmName(display, window) == title) {
    *found = window;
    return true;
  }
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
  bool hit = false;
  for (unsigned int i = 0; i < count && !hit; ++i) hit = findIn(display, children[i], title, found);
  if (children) XFree(children);
  return hit;
}

int find(Display* display, std::string_view title) {
  Window window = 0;
  if (!findIn(display, DefaultRootWindow(display), title, &window)) return 1;
  XWindowAttributes attributes;
  XGetWindowAttributes(display, window, &attributes);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  std::printf("0x%lx %d %d %d %d\n", window, x, y, attributes.width, attributes.height);
  return 0;
}

int close(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  return 0;
}

int motion(Display* display, Window window, int x, int y) {
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
  XEvent event{};
  event.xmotion.type = MotionNotify;
  event.xmotion.display = display;
  event.xmotion.window = window;
  event.xmotion.root = DefaultRootWindow(display);
  event.xmotion.subwindow = None;
  event.xmotion.time = CurrentTime;
  event.xmotion.x = x;
  event.xmotion.y = y;
  event.xmotion.x_root = rootX;
  event.xmotion.y_root = rootY;
  event.xmotion.same_screen = True;
  XSendEvent(display, window, True, PointerMotionMask, &event);
  XSync(display, False);
  return 0;
}

int window(Display* display, int width, int height) {
  const Window made = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height,
                                          0, 0, BlackPixel(display, DefaultScreen(display)));
  XMapWindow(display, made);
  XSync(display, False);
  std::printf("0x%lx\n", made);
  std::fflush(stdout);
  while (true) pause();
}

int layout() {
  std::fputs(drevanti::test_support::sceneLayoutJson().c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string_view command = argv[1];
  if (command == "layout" && argc == 2) return layout();
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11_probe: cannot open the display\n");
    return 1;
  }
  int status = 2;
  if (command == "cursor" && argc == 2) {
    status = cursor(display);
  } else if (command == "find" && argc == 3) {
    status = find(display, argv[2]);
  } else if (command == "close" && argc == 3) {
    status = close(display, std::strtoul(argv[2], nullptr, 0));
  } else if (command == "motion" && argc == 5) {
    status =
        motion(display, std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]), std::atoi(argv[4]));
  } else if (command == "window" && argc == 4) {
    status = window(display, std::atoi(argv[2]), std::atoi(argv[3]));
  } else {
    usage();
  }
  XCloseDisplay(display);
  return status;
}
