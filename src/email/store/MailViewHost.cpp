#include "MailViewHost.h"

#include <array>
#include <utility>

namespace email {

namespace {

MailViewHost* currentHost = nullptr;

// Kind bits tested in this order; the first present chooses the picture.
constexpr std::array<std::pair<std::uint32_t, int>, 5> kFolderImages { {
    { 0x00040000u, 1 },
    { 0x00200000u, 2 },
    { 0x00080000u, 0 },
    { 0x00400000u, 3 },
    { 0x00800000u, 5 },
} };
constexpr int kPlainFolderImage = 4;

} // namespace

void SetMailViewHost(MailViewHost* host)
{
    currentHost = host;
}

MailViewHost* ViewHost()
{
    return currentHost;
}

int FolderTreeImage(std::uint32_t folderType)
{
    for (const auto& [bits, image] : kFolderImages) {
        if ((folderType & bits) != 0) {
            return image;
        }
    }
    return kPlainFolderImage;
}

} // namespace email
