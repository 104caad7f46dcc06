// SPDX-License-Identifier: GPL-3.0-or-later
// Compresses a wave file into Ogg Vorbis for the browser's page, which
// decodes it itself: the page's whole site stays small.
//
//   kestrada_encode_ogg IN.wav OUT.ogg
#include <cstdio>
#include <sndfile.h>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrada_encode_ogg IN.wav OUT.ogg\n");
        return 2;
    }
    SF_INFO in_info{};
    SNDFILE* in = sf_open(argv[1], SFM_READ, &in_info);
    if (in == nullptr) {
        std::fprintf(stderr, "%s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    SF_INFO out_info{};
    out_info.samplerate = in_info.samplerate;
    out_info.channels = in_info.channels;
    out_info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* out = sf_open(argv[2], SFM_WRITE, &out_info);
    if (out == nullptr) {
        std::fprintf(stderr, "%s: %s\n", argv[2], sf_strerror(nullptr));
        sf_close(in);
        return 1;
    }
    // Quality 0.3 of 1: ample for a synthesised tune, a few kilobytes a second.
    double quality = 0.3;
    sf_command(out, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    std::vector<float> buffer(4096 * static_cast<std::size_t>(in_info.channels));
    sf_count_t frames = 0;
    while ((frames = sf_readf_float(in, buffer.data(), 4096)) > 0) {
        sf_writef_float(out, buffer.data(), frames);
    }
    sf_close(in);
    return sf_close(out) == 0 ? 0 : 1;
}
