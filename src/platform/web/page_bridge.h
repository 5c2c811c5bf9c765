// The one place that talks to the page's script (index.html): its canvas, its start screen and the
// browser events its listeners queue while the demonstration runs. Everything here runs on the
// browser's thread.
#pragma once

#include <optional>
#include <string_view>

#include "app/backend.h"
#include "render/canvas.h"
#include "state/screen_size.h"

namespace drevanti::web {

// What the page's listeners queue; index.html uses the same numbers.
enum class PageEventKind {
  Key = 1,             // a: the key's code, b: Shift 1 + Ctrl 2 + Alt 4
  Press = 2,           // a mouse button, a pen or a finger came down
  Move = 3,            // a, b: the pointer in device pixels of the page; c: the buttons held
  Resize = 4,          // a, b: the page's new size in device pixels
  Rescale = 6,         // devicePixelRatio changed (the page was zoomed, or moved to a screen)
  LeftFullScreen = 5,  // the browser gave full screen back (its own Esc)
};

struct PageEvent {
  PageEventKind kind;
  int a = 0, b = 0, c = 0;
};

// The page's size in device pixels (CSS pixels times devicePixelRatio).
ScreenSize pageSize();
// devicePixelRatio: device pixels to a CSS pixel, the scene's pixel on the page.
double pageScale();

// Where the pointer was last seen over the page, in device pixels; nothing when it has not been
// seen, or when the page has since gone full screen (and so moved under it).
std::optional<DesktopPoint> lastPointer();

// Yields to the browser until the user presses Start (or at once, with ?autostart, the first time).
void waitForStart();
// Shows the demonstration's canvas of the given size (the page's state becomes "running"), or the
// start screen again, out of full screen ("start").
void showScene(ScreenSize size);
void showStartScreen();
// A problem the user must see, on the start screen and in the console.
void showProblem(std::string_view message);
void setPointerHidden(bool hidden);
// One line in the browser's console.
void consoleLine(std::string_view line);

// The oldest event the listeners queued since the scene was shown, if any.
std::optional<PageEvent> takeEvent();
// Yields to the browser until a listener queues an event or the timeout passes (kNoTimeout: until
// an event comes).
inline constexpr int kNoTimeout = -1;
void waitForEvent(int milliseconds);

// Whether the page asks for every changed frame drawn whole (Module.page.wholeFrames).
bool wholeFrames();

// Drawing on the scene's canvas, in its device pixels, on the pixel grid; lines and outlines are
// one pixel thick, text is textScale times the page's font size.
void setCanvasSize(ScreenSize size, double textScale);
// Drawing between these two changes the canvas only inside the area.
void beginClip(const Rect& area);
void endClip();
void drawFill(Rgb colour);
void drawRect(const Rect& area, Rgb colour);
void drawLine(float x1, float y1, float x2, float y2, Rgb colour);
void drawCircle(float x, float y, float radius, Rgb colour);
// Text with its top-left corner at (x, y), cut to clip when there is one.
void drawText(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip);
int textHeight(std::string_view utf8);

}  // namespace drevanti::web
