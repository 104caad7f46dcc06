// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/missing_data.h"

#include "desktop/sprite_pictures.h"

#include <iostream>
#include <string>

namespace kestrada::desktop {

void reportMissingData(const SpritePictures& pictures, const std::filesystem::path& pictureDir,
                       const std::filesystem::path& waveDir) {
    std::string missing;
    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        if (!pictures.hasArtwork(picture)) {
            missing += ' ' + pictureFileName(picture).toStdString();
        }
    }
    if (!missing.empty()) {
        std::cerr << "kestrada: pictures missing from " << pictureDir.string()
                  << ", plain colours stand in:" << missing << '\n';
    }
    missing.clear();
    for (const char* wave : {"Start.wav", "Crash.wav", "Kestrada.wav"}) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(waveDir / wave, ec)) {
            missing += ' ' + std::string(wave);
        }
    }
    if (!missing.empty()) {
        std::cerr << "kestrada: sounds missing from " << waveDir.string()
                  << ", played silent:" << missing << '\n';
    }
}

} // namespace kestrada::desktop
