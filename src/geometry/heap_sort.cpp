#include "geometry/heap_sort.h"

#include <cmath>

namespace drevanti {

namespace {

struct Triple {
  double key, second, third;
};

// Heap position p (1-based) is stored at index p - 1.
Triple take(const double* te1, const double* te2, const double* te3, int position) {
  return {te1[position - 1], te2[position - 1], te3[position - 1]};
}

void put(double* te1, double* te2, double* te3, int position, const Triple& t) {
  te1[position - 1] = t.key;
  te2[position - 1] = t.second;
  te3[position - 1] = t.third;
}

}  // namespace

void heapv(double* te1, double* te2, double* te3, std::int32_t NNh) {
  const int n = static_cast<int>(NNh);
  // Build: on equal children the left one is taken, and a sift stops on equality.
  for (int k = static_cast<int>(std::floor(n / 2.0)); k >= 1; --k) {
    int i = k;
    const Triple saved = take(te1, te2, te3, k);
    while (2 * i <= n) {
      int j = 2 * i;
      if (j + 1 <= n && te1[j - 1] < te1[j]) ++j;
      if (te1[j - 1] <= saved.key) break;
      put(te1, te2, te3, i, take(te1, te2, te3, j));
      i = j;
    }
    put(te1, te2, te3, i, saved);
  }
  // Extract: here, on equal children the right one is taken.
  for (int m = n - 1; m >= 1; --m) {
    const Triple saved = take(te1, te2, te3, m + 1);
    put(te1, te2, te3, m + 1, take(te1, te2, te3, 1));
    int i = 1;
    while (2 * i <= m) {
      int j = 2 * i;
      if (j + 1 <= m && te1[j - 1] <= te1[j]) ++j;
      if (te1[j - 1] <= saved.key) break;
      put(te1, te2, te3, i, take(te1, te2, te3, j));
      i = j;
    }
    put(te1, te2, te3, i, saved);
  }
}

}  // namespace drevanti
