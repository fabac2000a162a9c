#pragma once
#include <cstddef>
#include <vector>

// Shared by the bench programs: a millisecond clock, the median of a series, and the fixed
// table's values made present so every run records and puts back the same number of values.
double nowMs();
// Sorts `values` and returns their median; `values` must not be empty.
double sortedMedian(std::vector<double>& values);
// Writes a value for every row of the fixed table that is missing; returns how many it wrote.
std::size_t fillMissingTableValues();
