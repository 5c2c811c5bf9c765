// The one check of a tree against its point set, used by every property test and the soak.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "state/solver_state.h"

namespace drevanti::test_support {

// After mst: the tree spans every vertex of kind 0 or 1 below vertexCount with one edge fewer than
// there are such vertices; edges have edgeFrom < edgeTo and non-decreasing lengths; degrees and the
// neighbour table agree with the edges; no coordinate is NaN or infinite; terminals have kind 0 and
// Steiner points kind 1 or 2.
::testing::AssertionResult treeIsValid(const SolverState& s);

// The best-tree snapshot describes one finite tree over bestVertexCount vertices.
::testing::AssertionResult bestTreeIsValid(const SolverState& s);

// Length of a minimum spanning tree by a simple method independent of the solver's.
double primLength(const std::vector<std::pair<double, double>>& points);
// Of the terminals alone (their saved copy).
double terminalMstLength(const SolverState& s);
// Of the vertices below vertexCount whose kind is below 2.
double eligibleMstLength(const SolverState& s);

}  // namespace drevanti::test_support
