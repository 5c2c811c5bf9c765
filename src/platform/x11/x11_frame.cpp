#include "x11_frame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <string>

#include "sdl_session.h"
#include "x11_workarounds.h"

namespace drevanti::x11 {

// The frame's pixels: an XImage, in shared memory where the server can map it, and an SDL surface
// on the same memory for the surface canvas.
class X11Frame::Image {
 public:
  Image(Display* display, const XWindowAttributes& window, ScreenSize size) : display_(display) {
    if (XShmQueryExtension(display)) shared_ = attachShared(window, size);
    if (!shared_) {
      image_ = XCreateImage(display, window.visual, window.depth, ZPixmap, 0, nullptr, size.width,
                            size.height, 32, 0);
      if (image_)
        image_->data = static_cast<char*>(std::calloc(image_->bytes_per_line, size.height));
    }
    if (!image_ || !image_->data) throw DisplayError("out of memory for a frame");
    // Drawn in this machine's byte order, as the server is told.
    image_->byte_order = SDL_BYTEORDER == SDL_BIG_ENDIAN ? MSBFirst : LSBFirst;
    const Uint32 format =
        SDL_MasksToPixelFormatEnum(image_->bits_per_pixel, window.visual->red_mask,
                                   window.visual->green_mask, window.visual->blue_mask, 0);
    surface_ =
        SDL_CreateRGBSurfaceWithFormatFrom(image_->data, size.width, size.height,
                                           image_->bits_per_pixel, image_->bytes_per_line, format);
    if (!surface_) {
      release();
      throw DisplayError(std::string("cannot draw on a frame: ") + SDL_GetError());
    }
  }
  ~Image() {
    SDL_FreeSurface(surface_);
    release();
  }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  SDL_Surface* surface() const { return surface_; }
  void put(Window window, GC gc, const Rect& r) const {
    if (shared_) {
      XShmPutImage(display_, window, gc, image_, r.x, r.y, r.x, r.y, r.width, r.height, False);
    } else {
      XPutImage(display_, window, gc, image_, r.x, r.y, r.x, r.y, r.width, r.height);
    }
  }

 private:
  bool attachShared(const XWindowAttributes& window, ScreenSize size) {
    image_ = XShmCreateImage(display_, window.visual, window.depth, ZPixmap, nullptr, &segment_,
                             size.width, size.height);
    if (!image_) return false;
    segment_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * size.height,
                            IPC_CREAT | 0600);
    if (segment_.shmid < 0) return dropShared();
    segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    // Gone once both sides have let go of it, whatever becomes of the program.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (segment_.shmaddr == reinterpret_cast<char*>(-1)) return dropShared();
    segment_.readOnly = False;
    // A server on another machine cannot map it.
    if (x11Refuses(display_, [this] { XShmAttach(display_, &segment_); })) {
      shmdt(segment_.shmaddr);
      return dropShared();
    }
    return true;
  }
  void release() {
    if (shared_) {
      XShmDetach(display_, &segment_);
      XSync(display_, False);
      shmdt(segment_.shmaddr);
    } else {
      std::free(image_->data);
    }
    image_->data = nullptr;
    XDestroyImage(image_);
  }
  bool dropShared() {
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
  }

  Display* display_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool shared_ = false;
  SDL_Surface* surface_ = nullptr;
};

void X11Frame::Closer::operator()(Display* display) const {
  XCloseDisplay(display);
}

X11Frame::X11Frame(unsigned long window, ScreenSize size, double scale,
                   linux_shared::TextRenderer& text)
    : display_(XOpenDisplay(nullptr)), window_(window), text_(text) {
  if (!display_) throw DisplayError("cannot open the X display to draw on");
  resize(size, scale);
}

X11Frame::~X11Frame() {
  canvas_.reset();
  image_.reset();
  if (gc_) XFreeGC(display_.get(), gc_);
}

bool X11Frame::present(const std::vector<Rect>& changed) {
  for (const Rect& r : changed) image_->put(window_, gc_, r);
  presented_ = true;
  // The server has read the image once it answers.
  XSync(display_.get(), False);
  return true;
}

void X11Frame::resize(ScreenSize size, double scale) {
  Display* display = display_.get();
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window_, &attributes)) {
    // The host's window is gone: the frame goes nowhere, drawn at the screen's default visual.
    attributes.visual = DefaultVisual(display, DefaultScreen(display));
    attributes.depth = DefaultDepth(display, DefaultScreen(display));
  }
  // An 8-bit display, for one, offers nothing the surface canvas can draw on.
  if (attributes.depth < 15) {
    throw DisplayError("cannot draw on this display: " + std::to_string(attributes.depth) +
                       " bits a pixel");
  }
  if (!gc_) gc_ = XCreateGC(display, window_, 0, nullptr);
  canvas_.reset();
  image_.reset();
  presented_ = false;
  image_ = std::make_unique<Image>(display, attributes, size);
  canvas_ = std::make_unique<linux_shared::SurfaceCanvas>(image_->surface(), text_, scale);
}

}  // namespace drevanti::x11
