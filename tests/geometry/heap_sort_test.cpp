// heapv: ascending in-place sort of a key array carrying two companion arrays.
#include "geometry/heap_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

namespace drevanti {
namespace {

// Companion labels a, b, c, ... are 10, 11, 12, ... in the first companion and 100, 101, ... in the
// second, so a move that forgets one of the two companions shows up.
constexpr double kA = 10, kB = 11, kC = 12, kD = 13;

struct Arrays {
  std::vector<double> keys, first, second;
};

Arrays labelled(std::vector<double> keys) {
  Arrays a{std::move(keys), {}, {}};
  for (std::size_t i = 0; i < a.keys.size(); ++i) {
    a.first.push_back(10.0 + static_cast<double>(i));
    a.second.push_back(100.0 + static_cast<double>(i));
  }
  return a;
}

Arrays sorted(Arrays a, std::int32_t count) {
  heapv(a.keys.data(), a.first.data(), a.second.data(), count);
  return a;
}

Arrays sorted(Arrays a) {
  const auto n = static_cast<std::int32_t>(a.keys.size());
  return sorted(std::move(a), n);
}

// The second companion must always travel with the first.
void expectCompanionsTogether(const Arrays& a) {
  for (std::size_t i = 0; i < a.keys.size(); ++i) {
    EXPECT_EQ(a.second[i], a.first[i] + 90.0) << "index " << i;
  }
}

// ---------------------------------------------------------------------------------------------
// Tie orders: left child on equality while building, right child while extracting, and a sift
// that stops on equality.

TEST(HeapSortTies, FourKeysWithOneTie) {
  const Arrays r = sorted(labelled({3, 1, 2, 1}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 1, 2, 3}));
  EXPECT_EQ(r.first, (std::vector<double>{kB, kD, kC, kA}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, ThreeEqualKeys) {
  const Arrays r = sorted(labelled({1, 1, 1}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 1, 1}));
  EXPECT_EQ(r.first, (std::vector<double>{kB, kC, kA}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, EqualOuterKeysAroundASmallerOne) {
  const Arrays r = sorted(labelled({2, 1, 2}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 2, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kB, kC, kA}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, EqualLeadingKeysBeforeASmallerOne) {
  const Arrays r = sorted(labelled({5, 5, 1}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 5, 5}));
  EXPECT_EQ(r.first, (std::vector<double>{kC, kB, kA}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, TwoPairsOfEqualKeys) {
  // Traced by hand. Building: position 2 (key 2) stays, key 1 of position 1 sifts down past the
  // left child and then the last one: 2b 2d 1c 1a. Extracting: 2d 1a 1c 2b, then 1c 1a 2d 2b
  // (the sift stops at once on equal keys), then 1a 1c 2d 2b.
  const Arrays r = sorted(labelled({1, 2, 1, 2}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 1, 2, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kA, kC, kD, kB}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, BuildingTakesTheLeftOfEqualChildren) {
  // Building: key 1 at the root has two children of key 2 and swaps with the left one (b), giving
  // 2b 1a 2c. Extracting: c moves to the root and stays (its only child is smaller): 2c 1a 2b,
  // then 1a 2c 2b. Taking the right child while building would end a, b, c.
  const Arrays r = sorted(labelled({1, 2, 2}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 2, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kA, kC, kB}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, ExtractingTakesTheRightOfEqualChildren) {
  // Building turns 1a 2b 2c 3d into 3d 2b 2c 1a. The first extraction moves d to the end and sifts
  // a down from the root between the equal children b and c: it takes the right one, c, giving
  // 2c 2b 1a 3d; then 2b 1a 2c 3d and 1a 2b 2c 3d. Taking the left child would end a, c, b, d.
  const Arrays r = sorted(labelled({1, 2, 2, 3}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 2, 2, 3}));
  EXPECT_EQ(r.first, (std::vector<double>{kA, kB, kC, kD}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, ThreeEqualKeysAfterASmallerOne) {
  const Arrays r = sorted(labelled({1, 2, 2, 2}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 2, 2, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kA, kD, kC, kB}));
  expectCompanionsTogether(r);
}

TEST(HeapSortTies, AllEqualKeysRotateByOne) {
  // With all keys equal no sift ever moves anything: building changes nothing, and each extraction
  // step only swaps the first element with the last one of the shrinking heap. So the element that
  // came first ends last and every other one moves one place forward.
  for (int n = 2; n <= 64; ++n) {
    const Arrays r = sorted(labelled(std::vector<double>(n, 4.25)));
    for (int i = 0; i < n; ++i) {
      const double expected = 10.0 + ((i + 1) % n);
      ASSERT_EQ(r.first[i], expected) << "n " << n << ", index " << i;
    }
    expectCompanionsTogether(r);
  }
}

// ---------------------------------------------------------------------------------------------
// Counts

TEST(HeapSortCount, ZeroOneOrNegativeLeavesEverythingAlone) {
  const Arrays input = labelled({9, 3, 7, 1, 5});
  for (std::int32_t count : {0, 1, -1, -2, -5, -16383}) {
    const Arrays r = sorted(input, count);
    EXPECT_EQ(r.keys, input.keys) << "count " << count;
    EXPECT_EQ(r.first, input.first) << "count " << count;
    EXPECT_EQ(r.second, input.second) << "count " << count;
  }
}

TEST(HeapSortCount, SortsOnlyThePrefix) {
  const Arrays r = sorted(labelled({5, 4, 3, 2, 1, 0}), 3);
  EXPECT_EQ(r.keys, (std::vector<double>{3, 4, 5, 2, 1, 0}));
  EXPECT_EQ(r.first, (std::vector<double>{kC, kB, kA, kD, 14, 15}));
  expectCompanionsTogether(r);
}

TEST(HeapSortCount, TwoElements) {
  Arrays r = sorted(labelled({2, 1}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kB, kA}));
  r = sorted(labelled({1, 2}));
  EXPECT_EQ(r.keys, (std::vector<double>{1, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kA, kB}));
  r = sorted(labelled({2, 2}));
  EXPECT_EQ(r.first, (std::vector<double>{kB, kA}));
}

TEST(HeapSortCount, PrefixOfTwoOfALongerArray) {
  const Arrays r = sorted(labelled({8, -3, -9, 4}), 2);
  EXPECT_EQ(r.keys, (std::vector<double>{-3, 8, -9, 4}));
  EXPECT_EQ(r.first, (std::vector<double>{kB, kA, kC, kD}));
}

// ---------------------------------------------------------------------------------------------
// Properties over seeded random arrays

using Triple = std::tuple<double, double, double>;

std::vector<Triple> triples(const Arrays& a, std::size_t count) {
  std::vector<Triple> t;
  for (std::size_t i = 0; i < count; ++i) t.emplace_back(a.keys[i], a.first[i], a.second[i]);
  return t;
}

// Sorts a prefix of `count` elements of an array that carries `tail` extra elements behind it,
// and checks the result: ascending keys, the same triples as before, the tail untouched.
void checkRandomSort(std::mt19937& rng, int count, int tail, double keySpread, bool wholeKeys) {
  std::uniform_real_distribution<double> key(-keySpread, keySpread);
  std::vector<double> keys(count + tail);
  for (double& k : keys) k = wholeKeys ? std::floor(key(rng)) : key(rng);
  const Arrays input = labelled(keys);
  const Arrays r = sorted(input, count);

  ASSERT_TRUE(std::is_sorted(r.keys.begin(), r.keys.begin() + count)) << "count " << count;
  auto before = triples(input, count), after = triples(r, count);
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  ASSERT_EQ(before, after) << "count " << count;
  for (int i = count; i < count + tail; ++i) {
    ASSERT_EQ(r.keys[i], input.keys[i]);
    ASSERT_EQ(r.first[i], input.first[i]);
    ASSERT_EQ(r.second[i], input.second[i]);
  }
}

TEST(HeapSortProperties, DistinctKeysSortAscendingAndCarryTheirCompanions) {
  std::mt19937 rng(101);
  for (int count = 2; count <= 300; ++count) checkRandomSort(rng, count, count % 7, 1e6, false);
}

TEST(HeapSortProperties, ManyEqualKeysStillSortAndStayAPermutation) {
  std::mt19937 rng(102);
  for (int count = 2; count <= 300; ++count) checkRandomSort(rng, count, 3, 3.0, true);
}

TEST(HeapSortProperties, LargestArraysTheCallersPass) {
  std::mt19937 rng(103);
  checkRandomSort(rng, 5050, 10, 2000.0, false);
  checkRandomSort(rng, 5050, 0, 20.0, true);
  checkRandomSort(rng, 10001, 0, 1e9, false);
}

TEST(HeapSortProperties, DistinctKeysGiveTheUniqueSortedOrder) {
  std::mt19937 rng(104);
  for (int count = 2; count <= 120; ++count) {
    std::vector<double> keys(count);
    for (int i = 0; i < count; ++i) keys[i] = i * 0.5 - 7;
    for (const char* shape : {"ascending", "descending", "shuffled"}) {
      if (shape[0] == 'd') std::reverse(keys.begin(), keys.end());
      if (shape[0] == 's') std::shuffle(keys.begin(), keys.end(), rng);
      const Arrays input = labelled(keys);
      const Arrays r = sorted(input);
      std::vector<std::pair<double, double>> expected;
      for (int i = 0; i < count; ++i) expected.emplace_back(input.keys[i], input.first[i]);
      std::sort(expected.begin(), expected.end());
      for (int i = 0; i < count; ++i) {
        ASSERT_EQ(r.keys[i], expected[i].first) << shape << " count " << count << " index " << i;
        ASSERT_EQ(r.first[i], expected[i].second) << shape << " count " << count << " index " << i;
      }
      expectCompanionsTogether(r);
    }
  }
}

TEST(HeapSortProperties, SentinelKeysOfTheHullSortBehindAngles) {
  // The hull step's keys: angles between -pi/2 and 2 pi, the pivot's 100 and the excluded
  // terminals' values near 1000. Candidates must come first, then the pivot, then the excluded.
  const Arrays r = sorted(labelled({100.0, 996.858, 4.1, 3.5, 993.717, 6.2, 4.1}));
  EXPECT_EQ(r.keys, (std::vector<double>{3.5, 4.1, 4.1, 6.2, 100.0, 993.717, 996.858}));
  EXPECT_EQ(r.first[0], kD);
  EXPECT_EQ(r.first[3], 15.0);
  EXPECT_EQ(r.first[4], kA);
  EXPECT_EQ(r.first[5], 14.0);
  EXPECT_EQ(r.first[6], kB);
  expectCompanionsTogether(r);
}

}  // namespace
}  // namespace drevanti
