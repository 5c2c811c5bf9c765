// The one check of a tree against its point set, used by every property test and the soak.
#pragma once

#include <gtest/gtest.h>

#include "app/solver_state.h"

namespace drevanti::testing {

// After mst: the tree spans every vertex of kind 0 or 1 below vertexCount with one edge fewer than
// there are such vertices; edges have edgeFrom < edgeTo and non-decreasing lengths; degrees and the
// neighbour table agree with the edges; no coordinate is NaN or infinite; terminals have kind 0 and
// Steiner points kind 1 or 2.
::testing::AssertionResult treeIsValid(const SolverState& s);

// The best-tree snapshot describes one finite tree over bestVertexCount vertices.
::testing::AssertionResult bestTreeIsValid(const SolverState& s);

// Length of the minimum spanning tree of the terminals alone, by a simple independent method.
double terminalMstLength(const SolverState& s);

}  // namespace drevanti::testing
