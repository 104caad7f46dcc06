// SPDX-License-Identifier: GPL-3.0-or-later
// One line on stderr for each kind of game data the window could not find,
// so that a broken or moved installation is seen at once. The game runs on
// all the same: plain colours stand in for pictures, missing sounds stay
// silent.
#pragma once

#include <filesystem>

namespace kestrada::desktop {

class SpritePictures;

void reportMissingData(const SpritePictures& pictures, const std::filesystem::path& pictureDir,
                       const std::filesystem::path& waveDir);

} // namespace kestrada::desktop
