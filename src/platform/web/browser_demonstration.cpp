#include "browser_demonstration.h"

#include <stdexcept>

#include "app/frm_steiner.h"

namespace drevanti::web {

namespace {

// The hosted window as the demonstration sees it, but for the waits: these yield to the browser,
// slice by slice, until the owner has a request for the demonstration or the time is up.
class YieldingWindow final : public SaverWindow {
 public:
  YieldingWindow(HostedWindow& hosted, const BrowserDemonstration::Wait& wait)
      : hosted_(hosted), wait_(wait) {}

  void show() override { hosted_.show(); }
  void hide() override { hosted_.hide(); }
  void unload() override { hosted_.unload(); }
  Canvas& canvas() override { return hosted_.canvas(); }
  void present() override { hosted_.present(); }
  void doEvents(FormEvents& handlers) override { hosted_.doEvents(handlers); }
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override {
    const auto deadline = now() + timeout;
    while (!hosted_.hasRequests()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
      if (left <= std::chrono::milliseconds{0}) break;
      wait_(left);
    }
    hosted_.doEvents(handlers);
  }
  SaverClock::time_point now() const override { return hosted_.now(); }
  ScreenSize screenSize() const override { return hosted_.screenSize(); }

 private:
  HostedWindow& hosted_;
  const BrowserDemonstration::Wait& wait_;
};

}  // namespace

void BrowserDemonstration::start(HostedWindow& window, std::uint32_t seed) {
  if (running()) throw std::logic_error("the page runs one demonstration at a time");
  window_ = &window;
  seed_ = seed;
  begun_ = ended_ = false;
  failure_ = nullptr;
}

void BrowserDemonstration::retire(HostedWindow& window) {
  window.requestClose();
}

void BrowserDemonstration::closeAll() {
  if (window_) window_->requestClose();
}

std::vector<HostedWindow*> BrowserDemonstration::takeEnded() {
  if (!window_ || !ended_) return {};
  return {std::exchange(window_, nullptr)};
}

void BrowserDemonstration::finish() {
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

bool BrowserDemonstration::runStarted(const Wait& wait) {
  if (!window_ || begun_) return false;
  begun_ = true;
  try {
    YieldingWindow window(*window_, wait);
    frmSteiner form(window, seed_);
    long instance = 0;
    if (instanceDone_) {
      form.afterEachInstance([&](const SolverState& s) { instanceDone_(instance++, seed_, s); });
    }
    form.load();
  } catch (...) {
    failure_ = std::current_exception();
  }
  ended_ = true;
  return true;
}

}  // namespace drevanti::web
