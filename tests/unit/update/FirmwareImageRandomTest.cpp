// The header reader against a few thousand random files, checked against a plain model of the
// format: it never fails on a readable file, and no byte past the header reaches its fields.
#include "support/TempFile.h"
#include "update/FirmwareImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Expected {
    std::uint32_t serial = 0xFFFFFFFF;
    FirmwareRevision revision{0xFF, 0xFF, 0xFF, 0xFF};
    std::string notes;
};

Expected model(const Bytes& file) {
    Expected e;
    if (file.size() < 8 || file[0] < 8)
        return e;
    e.serial = std::uint32_t{file[1]} << 16 | std::uint32_t{file[2]} << 8 | file[3];
    e.revision = {file[4], file[5], file[6], file[7]};
    const size_t end = std::min<size_t>(file[0], file.size());
    for (size_t i = 8; i < end && file[i] != 0; ++i)
        e.notes += static_cast<char>(file[i]);
    return e;
}

Bytes randomFile(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> shape(0, 9);
    const int kind = shape(random);
    size_t length;
    if (kind == 0)
        length = std::uniform_int_distribution<size_t>(0, 8)(random);
    else
        length = std::uniform_int_distribution<size_t>(0, 400)(random);
    Bytes file(length);
    for (std::uint8_t& b : file)
        b = static_cast<std::uint8_t>(byte(random));
    if (length > 0 && kind < 4) // header sizes around the edges
        file[0] = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 12)(random));
    if (kind >= 7) // notes without NUL, firmware data full of NULs
        for (size_t i = 8; i < length; ++i)
            file[i] = (i < file[0]) ? static_cast<std::uint8_t>(0x20 + i % 90) : 0;
    return file;
}

TEST(FirmwareImageRandom, MatchesTheFormatOnThousandsOfFiles) {
    std::mt19937 random(20261207);
    for (int n = 0; n < 3000; ++n) {
        const Bytes bytes = randomFile(random);
        TempFile file(bytes);
        FirmwareImage image;
        ASSERT_EQ(1, image.open(file.path())) << "file " << n << ", " << bytes.size() << " bytes";
        const Expected e = model(bytes);
        ASSERT_EQ(e.serial, image.getTargetSerial()) << "file " << n;
        ASSERT_EQ(e.notes, image.getNotes()) << "file " << n;
        ASSERT_EQ(0, std::memcmp(&e.revision, &image.getRevision(), 4)) << "file " << n;
        image.close();
    }
}

} // namespace
