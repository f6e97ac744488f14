#include "audio/output_drift.h"

long stretch_block(const float* in, float* out, int stretch) {
    const long frames = block_size + stretch;
    // Frame j of the output sits at (block_size - 1) / (frames - 1) * j input frames.
    const double step = double(block_size - 1) / double(frames - 1);
    for (long j = 0; j < frames; ++j) {
        const double at = step * double(j);
        long k = long(at);
        if (k >= block_size - 1) k = block_size - 2;
        const float w = float(at - double(k));
        for (int c = 0; c < 2; ++c)
            out[2 * j + c] = in[2 * k + c] + w * (in[2 * (k + 1) + c] - in[2 * k + c]);
    }
    return frames;
}
