#pragma once
// Layer kernels: pure pixel work over plain bitmaps (tone, turns, masks, density, copy),
// no workspace and no ports beyond progress. It depends on image and base.
//
// The vector instructions the pixel kernels may use. Each kernel keeps a plain version,
// which is also the reference its vector versions are tested against; the level is
// chosen once from what the processor supports and can be lowered for tests.
namespace quillaro {

enum class SimdLevel {
  Scalar = 0,  // plain code only
  Avx2 = 1,    // 256-bit integer vectors
  Avx512 = 2,  // 512-bit vectors with byte operations, byte permutes and affine bit
               // steps (F, BW, VL, VBMI, GFNI)
};

// The best level this processor supports (Scalar on processors other than x86-64).
SimdLevel supportedSimdLevel();
// The level the kernels use now: the supported one, or a lower one named by the
// environment variable QUILLARO_SIMD_LEVEL (scalar, avx2, avx512).
SimdLevel simdLevel();
// Makes the kernels use `level`, held at the supported one; returns the level now in use.
SimdLevel forceSimdLevel(SimdLevel level);

}  // namespace quillaro
