// Sound effect files: any bytes either parse into samples that fit the
// header's own description or are refused with a reason, never a read past
// the image.
#include "audio/tavWaveFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavWaveFile wave;
    if (wave.Parse(data, size)) {
        if (wave.samples.size() + tavWaveFile::HeaderSize > size)
            abort();
    } else if (wave.Error().empty()) {
        abort();
    }
    return 0;
}
