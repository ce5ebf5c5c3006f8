// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <utility>
#include <vector>

/// Solves A X = B in place for the `rhs` columns of B (both row-major; A is n x n, B n x rhs)
/// by Gaussian elimination with partial pivoting; X replaces B and A is destroyed. Zero
/// multipliers are skipped and each row is eliminated only as far as its pivot row has
/// entries, so a banded matrix (the node equations of a network along a line) costs little.
/// False for a singular matrix. T is double or std::complex<double>.
inline double SquaredMagnitude(double v)
{
    return v * v;
}

inline double SquaredMagnitude(const std::complex<double>& v)
{
    return std::norm(v);
}

template <class T> bool SolveLinear(std::vector<T>& a, std::vector<T>& b, int n, int rhs)
{
    const auto at = [n](int i, int j) { return std::size_t(i) * std::size_t(n) + std::size_t(j); };
    const auto col = [rhs](int i, int j) {
        return std::size_t(i) * std::size_t(rhs) + std::size_t(j);
    };
    for (int k = 0; k < n; ++k) {
        int pivot = k;
        double best = SquaredMagnitude(a[at(k, k)]);
        for (int i = k + 1; i < n; ++i) {
            const double v = SquaredMagnitude(a[at(i, k)]);
            if (v > best) {
                best = v;
                pivot = i;
            }
        }
        if (!(best > 0.0)) {
            return false;
        }
        if (pivot != k) {
            for (int j = k; j < n; ++j) {
                std::swap(a[at(k, j)], a[at(pivot, j)]);
            }
            for (int j = 0; j < rhs; ++j) {
                std::swap(b[col(k, j)], b[col(pivot, j)]);
            }
        }
        const T inverse = T(1.0) / a[at(k, k)];
        int last = n - 1; // the pivot row's last entry that is not zero
        while (last > k && a[at(k, last)] == T(0.0)) {
            --last;
        }
        for (int i = k + 1; i < n; ++i) {
            if (a[at(i, k)] == T(0.0)) {
                continue;
            }
            const T f = a[at(i, k)] * inverse;
            for (int j = k; j <= last; ++j) {
                a[at(i, j)] -= f * a[at(k, j)];
            }
            for (int j = 0; j < rhs; ++j) {
                b[col(i, j)] -= f * b[col(k, j)];
            }
        }
    }
    for (int k = n - 1; k >= 0; --k) {
        for (int j = 0; j < rhs; ++j) {
            T v = b[col(k, j)];
            for (int i = k + 1; i < n; ++i) {
                v -= a[at(k, i)] * b[col(i, j)];
            }
            b[col(k, j)] = v / a[at(k, k)];
        }
    }
    return true;
}
