// SPDX-License-Identifier: MIT
#pragma once

namespace varnow {

// How wide the vectors are that the engine's scans use. Each scan has a plain loop (kScalar,
// which tests call to check the others against), a 16-byte form (kSse2: the baseline of every
// x86-64 processor, translated by simde on other processors) and, where it pays, a 32-byte
// form (kAvx2, x86-64 only). The level is learned once by the document that owns the scans and
// kept as a constant member there.
enum class VectorLevel { kScalar, kSse2, kAvx2 };

// The widest level this processor runs.
VectorLevel DetectVectorLevel();

}  // namespace varnow
