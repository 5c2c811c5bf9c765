// The one record of the demonstration: every field the procedures read and write, with the fixed
// bounds they rely on. Nothing is allocated after the record is created, and it starts zero-filled.
#pragma once

#include <array>
#include <cstdint>

namespace drevanti {

// Integer widths of the record: Integer is 16-bit, Long 32-bit, Double 64-bit.
using Integer = std::int16_t;
using Long = std::int32_t;

// A zero-based array whose highest index is Upper (so Upper + 1 elements).
template <class T, int Upper>
using Bounded = std::array<T, Upper + 1>;

// A two-dimensional table indexed (row, column); element (i, j) lies at i + Rows * j, the row
// varying fastest.
template <class T, int RowUpper, int ColUpper>
struct Table {
  static constexpr int kRows = RowUpper + 1;
  std::array<T, kRows*(ColUpper + 1)> cells{};
  T& operator()(int row, int col) { return cells[row + kRows * col]; }
  const T& operator()(int row, int col) const { return cells[row + kRows * col]; }
};

// The vertex arrays end at index 100.
inline constexpr int kVertexCapacity = 101;
// The most terminals an instance may have: rounds add Steiner points after the terminals, and 49
// leave room for as many as the schedule can add.
inline constexpr int kMaxTerminals = 49;
// The value of pi the program uses everywhere; 7 units of the last place below the double nearest
// to pi, and kept that way because every angle threshold is derived from it.
inline constexpr double kPiValue = 3.14159265358979;
// bestLength at the start of every instance: any real tree is shorter.
inline constexpr double kNoBestLength = 99999.9;

struct SolverState {
  // Problem instance and current point set. Terminals are 0..N-1 in X order; Steiner points follow.
  Long terminalCount = 0;
  Integer vertexCount = 0;
  Integer steinerCount = 0;
  Bounded<double, 100> vertexX{}, vertexY{};
  Bounded<Integer, 2500> vertexKind{};  // 0 terminal, 1 Steiner point, 2 marked inside bohe
  Bounded<double, 100> savedX{}, savedY{};
  Bounded<Integer, 10000> savedDegree{};
  Bounded<double, 100> polarAngle{};

  // Convex hull of the terminals as two chains of lines Y = slope * X + intercept.
  Bounded<double, 1000> upperSlope{}, upperIntercept{};
  Long upperHullCount = 0;
  Bounded<double, 1000> lowerSlope{}, lowerIntercept{};
  Long lowerHullCount = 0;
  double hullEndX = 0;
  Integer hullPhase = 0;
  double hullCurrentX = 0;
  double pivotX = 0, pivotY = 0;

  // Current tree, rebuilt whole by mst.
  Bounded<Integer, 10000> edgeFrom{}, edgeTo{};
  Bounded<Integer, 10000> vertexDegree{};
  Table<Long, 200, 10> treeNeighbour{};
  Long treeEdgeCount = 0;
  Bounded<double, 10000> candFrom{}, candTo{}, candLength{};
  Bounded<Long, 2000> componentSize{};
  Table<Long, 200, 200> componentList{};
  Long fromListSize = 0, toListSize = 0;

  // Best tree of the current instance: written only by hantei, drawn only by repaint.
  double bestLength = 0;
  Bounded<double, 100> bestX{}, bestY{};
  Bounded<Integer, 10000> bestKind{};
  Bounded<Integer, 10000> bestEdgeFrom{}, bestEdgeTo{};
  Long bestVertexCount = 0;
  Long improvementCount = 0;

  // Cycle and constants.
  Long roundCounter = 0;
  double piValue = kPiValue;
  double apexX = 0, apexY = 0;
};

}  // namespace drevanti
