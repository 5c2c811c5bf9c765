#include "main_thread_sleep.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace drevanti::linux_shared {

MainThreadSleep::MainThreadSleep() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wakeFd_ < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
}

MainThreadSleep::~MainThreadSleep() {
  close(wakeFd_);
}

void MainThreadSleep::wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto bytes = write(wakeFd_, &one, sizeof one);
}

void MainThreadSleep::sleep(std::span<pollfd> connections, bool wait) {
  std::vector<pollfd> watched(connections.begin(), connections.end());
  watched.push_back({wakeFd_, POLLIN, 0});
  int ready = 0;
  while ((ready = poll(watched.data(), watched.size(), wait ? -1 : 0)) < 0 && errno == EINTR) {
  }
  if (ready < 0) throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
  for (std::size_t i = 0; i < connections.size(); ++i) connections[i].revents = watched[i].revents;
  if (watched.back().revents & POLLIN) {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto bytes = read(wakeFd_, &count, sizeof count);
  }
}

}  // namespace drevanti::linux_shared
