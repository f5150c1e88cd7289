// The referencing that kestrel_update_helper writes, shared with the tests that check it.
#pragma once

inline constexpr double UpdateHelperScale[3] = {2.5, 2.5, 0.0};
inline constexpr double UpdateHelperTiepoint[6] = {0.0, 0.0, 0.0, 612345.25, 5187654.75, 0.0};
// A, D, B, E, C, F; 0.1 needs 17 digits to come back exactly.
inline constexpr double UpdateHelperWorld[6] = {0.1, 0.0, 0.0, -0.1, 612345.3, 5187654.7};
