// Builds without an x86 vector path: only the reference transform exists.
#include "plugin/engine/FftTables.h"

bool FftAvx2Supported() { return false; }

void FftTransformAvx2(float* data, int n) { FftTransformReference(data, n); }

bool FftSse2Supported() { return false; }

void FftTransformSse2(float* data, int n) { FftTransformReference(data, n); }
