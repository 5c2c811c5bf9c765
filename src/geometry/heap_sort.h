// heapv: the program's only sort.
#pragma once

#include <cstdint>

namespace drevanti {

// Sorts te1[0..NNh-1] ascending in place and applies the same permutation to te2 and te3. Not
// stable: equal keys end up in the order its two tie rules give, and the hull and the spanning
// tree take the first of equal keys, so those rules decide which vertex or edge wins a tie.
void heapv(double* te1, double* te2, double* te3, std::int32_t NNh);

}  // namespace drevanti
