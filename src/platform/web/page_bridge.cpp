#include "page_bridge.h"

#include <emscripten.h>

#include <string>

// The page's script keeps its state and listeners in Module.page (index.html).

EM_JS(int, jsPageWidth, (), { return Module.page.size()[0]; });
EM_JS(int, jsPageHeight, (), { return Module.page.size()[1]; });
EM_JS(double, jsPageScale, (), { return Module.page.scale(); });
EM_JS(int, jsLastPointer, (int* xy), {
  const point = Module.page.pointer();
  if (!point) return 0;
  HEAP32[xy >> 2] = point[0];
  HEAP32[(xy >> 2) + 1] = point[1];
  return 1;
});
EM_ASYNC_JS(void, jsWaitForStart, (), { await Module.page.started(); });
EM_JS(void, jsShowScene, (int width, int height), { Module.page.showScene(width, height); });
EM_JS(void, jsShowStartScreen, (), { Module.page.showStartScreen(); });
EM_JS(void, jsShowProblem, (const char* message),
      { Module.page.showProblem(UTF8ToString(message)); });
EM_JS(void, jsSetPointerHidden, (int hidden), { Module.page.setPointerHidden(hidden != 0); });
EM_JS(int, jsWholeFrames, (), { return Module.page.wholeFrames ? 1 : 0; });
EM_JS(void, jsConsoleLine, (const char* line), { console.log(UTF8ToString(line)); });

EM_JS(int, jsTakeEvent, (int* fields), {
  const event = Module.page.events.shift();
  if (!event) return 0;
  for (let i = 0; i < 3; ++i) HEAP32[(fields >> 2) + i] = event[i + 1] | 0;
  return event[0];
});
EM_ASYNC_JS(void, jsWaitForEvent, (int milliseconds),
            { await Module.page.nextEvent(milliseconds); });

// The drawing below uses the context and the colour setters the page keeps (index.html).
EM_JS(void, jsSetCanvasSize, (int width, int height), {
  const canvas = Module.page.canvas;
  canvas.width = width;
  canvas.height = height;
});
// Set again after each new size, which resets the context.
EM_JS(void, jsSetTextScale, (double textScale), {
  const page = Module.page;
  const context = page.canvas.getContext("2d", {alpha : false});
  page.context = context;
  page.forgetColours();
  // The page's font begins with its size in CSS pixels.
  const font = page.font;
  context.font = parseFloat(font) * textScale + font.slice(font.indexOf("px"));
  // Text is placed by the top of its cell, as the native saver places it: the baseline lies the
  // face's own ascent below (jsText), so the glyphs hang below the given y whatever face the
  // browser picked. The face's box is the same for every text.
  context.textBaseline = "alphabetic";
  const metrics = context.measureText("");
  page.ascent = Math.ceil(metrics.fontBoundingBoxAscent);
  page.lineHeight = Math.ceil(metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent);
  context.lineCap = "square";
});
EM_JS(void, jsBeginClip, (int x, int y, int width, int height), {
  const context = Module.page.context;
  context.save();
  context.beginPath();
  context.rect(x, y, width, height);
  context.clip();
});
// Restoring brings back the colours of before the save.
EM_JS(void, jsEndClip, (), {
  const page = Module.page;
  page.context.restore();
  page.forgetColours();
});
EM_JS(void, jsFill, (int rgb), {
  const page = Module.page;
  page.fillWith(rgb);
  page.context.fillRect(0, 0, page.canvas.width, page.canvas.height);
});
EM_JS(void, jsRect, (int x, int y, int width, int height, int rgb), {
  const page = Module.page;
  page.fillWith(rgb);
  page.context.fillRect(x, y, width, height);
});
// A line one pixel thick through the middles of its end pixels covers whole pixels, and its
// square caps cover both end pixels, as on the other systems.
EM_JS(void, jsLine, (float x1, float y1, float x2, float y2, int rgb), {
  const page = Module.page;
  const context = page.context;
  page.strokeWith(rgb);
  context.beginPath();
  context.moveTo(Math.round(x1) + 0.5, Math.round(y1) + 0.5);
  context.lineTo(Math.round(x2) + 0.5, Math.round(y2) + 0.5);
  context.stroke();
});
// The outline around the centre pixel's middle.
EM_JS(void, jsCircle, (float x, float y, float radius, int rgb), {
  const page = Module.page;
  const context = page.context;
  page.strokeWith(rgb);
  context.beginPath();
  context.arc(Math.round(x) + 0.5, Math.round(y) + 0.5, radius, 0, 2 * Math.PI);
  context.stroke();
});
EM_JS(void, jsText,
      (float x, float y, const char* text, int rgb, int clipX, int clipY, int clipWidth,
       int clipHeight),
      {
        const page = Module.page;
        const context = page.context;
        if (clipWidth >= 0) {
          context.save();
          context.beginPath();
          context.rect(clipX, clipY, clipWidth, clipHeight);
          context.clip();
        }
        page.fillWith(rgb);
        context.fillText(UTF8ToString(text), Math.round(x), Math.round(y) + page.ascent);
        if (clipWidth >= 0) {
          context.restore();
          page.forgetColours();
        }
      });
EM_JS(int, jsTextHeight, (), { return Module.page.lineHeight; });

namespace drevanti::web {

namespace {

// 0xRRGGBB, as the page's colour setters take it.
int packed(Rgb c) {
  return c.r << 16 | c.g << 8 | c.b;
}

}  // namespace

ScreenSize pageSize() {
  return {jsPageWidth(), jsPageHeight()};
}

double pageScale() {
  return jsPageScale();
}

std::optional<DesktopPoint> lastPointer() {
  int xy[2] = {};
  if (!jsLastPointer(xy)) return std::nullopt;
  return DesktopPoint{static_cast<float>(xy[0]), static_cast<float>(xy[1])};
}

void waitForStart() {
  jsWaitForStart();
}

void showScene(ScreenSize size) {
  jsShowScene(size.width, size.height);
}

void showStartScreen() {
  jsShowStartScreen();
}

void showProblem(std::string_view message) {
  jsShowProblem(std::string(message).c_str());
}

void setPointerHidden(bool hidden) {
  jsSetPointerHidden(hidden ? 1 : 0);
}

bool wholeFrames() {
  return jsWholeFrames() != 0;
}

void consoleLine(std::string_view line) {
  jsConsoleLine(std::string(line).c_str());
}

std::optional<PageEvent> takeEvent() {
  int fields[3] = {};
  const int kind = jsTakeEvent(fields);
  if (kind == 0) return std::nullopt;
  return PageEvent{static_cast<PageEventKind>(kind), fields[0], fields[1], fields[2]};
}

void waitForEvent(int milliseconds) {
  jsWaitForEvent(milliseconds);
}

void setCanvasSize(ScreenSize size, double textScale) {
  jsSetCanvasSize(size.width, size.height);
  jsSetTextScale(textScale);
}

void beginClip(const Rect& area) {
  jsBeginClip(area.x, area.y, area.width, area.height);
}

void endClip() {
  jsEndClip();
}

void drawFill(Rgb c) {
  jsFill(packed(c));
}

void drawRect(const Rect& area, Rgb c) {
  jsRect(area.x, area.y, area.width, area.height, packed(c));
}

void drawLine(float x1, float y1, float x2, float y2, Rgb c) {
  jsLine(x1, y1, x2, y2, packed(c));
}

void drawCircle(float x, float y, float radius, Rgb c) {
  jsCircle(x, y, radius, packed(c));
}

void drawText(float x, float y, std::string_view utf8, Rgb c, const Rect* clip) {
  const Rect none{0, 0, -1, -1};
  const Rect& area = clip ? *clip : none;
  jsText(x, y, std::string(utf8).c_str(), packed(c), area.x, area.y, area.width, area.height);
}

int textHeight(std::string_view) {
  return jsTextHeight();
}

}  // namespace drevanti::web
