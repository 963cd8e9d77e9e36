// One camera picture chosen for transfer.
//
// A plain value without pointers: records are compared and copied whole, so
// they are always zero-filled before anything is written into them (the
// unused tails of the two names then compare equal).
#pragma once

#include <cstdint>

struct CameraPictureRecord {
    std::int32_t CameraType = 0;    // 100 Avena, 101 Belva, 104 Cirra
    std::int32_t Location = 0;      // 0 camera memory, 1 card
    std::int32_t AlbumNumber = 0;   // 0 for a picture outside any named album
    char AlbumName[15] = {};        // at most 14 characters and a terminator
    std::int32_t PictureNumber = 0; // within the album, from 1
    char PictureName[16] = {};      // at most 15 characters and a terminator
};
