// Fuzzes the printing library's pictures as the RTF reader hands them over:
// a job printing to a PDF file, one page per input, with PLW_DrawPictIndirect
// given arbitrary record fields and bytes. The library's sources are compiled
// into this target so the fuzzer sees their coverage.
//
// An input is fourteen 32-bit little-endian words (type, source width and
// height, goal width and height, scales, bits per pixel, planes, bytes per
// row, crops left, top, right and bottom), then the picture's bytes.

#include <plotwise/plotwise.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kFieldCount = 14;
constexpr std::size_t kHeaderBytes = kFieldCount * 4;
constexpr std::size_t kMaxPictureBytes = 1 << 20;

std::int32_t Word(const std::uint8_t* data, std::size_t index)
{
    const std::uint8_t* at = data + index * 4;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8)
        | (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24));
}

// One job per input, printing to the same file each time.
bool StartJob()
{
    static const bool environment = [] {
        const std::string output = "/tmp/tallowin-pictures-fuzzer-" + std::to_string(getpid()) + ".pdf";
        setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
        setenv("LC_ALL", "C.UTF-8", 1);
        return true;
    }();
    if (!environment || PLW_Init(u"pictures fuzzer") != 0)
        return false;
    PLW_PAGESETUP setup {};
    setup.lStructSize = sizeof setup;
    setup.Flags = PLW_PSD_DEFAULT_FLAGS | PLW_PSD_QUICKPRINT;
    return PLW_PrintDlg(&setup) != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderBytes || size - kHeaderBytes > kMaxPictureBytes)
        return 0;
    if (!StartJob())
        std::abort();
    PLW_PICTURE picture {};
    picture.Type = Word(data, 0);
    picture.SourceWidth = Word(data, 1);
    picture.SourceHeight = Word(data, 2);
    picture.GoalWidth = Word(data, 3);
    picture.GoalHeight = Word(data, 4);
    picture.ScaleX = Word(data, 5);
    picture.ScaleY = Word(data, 6);
    picture.BitsPerPixel = Word(data, 7);
    picture.Planes = Word(data, 8);
    picture.BytesPerRow = Word(data, 9);
    picture.CropLeft = Word(data, 10);
    picture.CropTop = Word(data, 11);
    picture.CropRight = Word(data, 12);
    picture.CropBottom = Word(data, 13);
    picture.DataSize = static_cast<std::int32_t>(size - kHeaderBytes);
    // Two bytes beyond the data, zero, as the RTF reader allocates them.
    std::basic_string<std::uint8_t> bytes(data + kHeaderBytes, size - kHeaderBytes);
    bytes.append(2, 0);
    picture.Data = bytes.data();

    HDC dc = PLW_GetPrinterDC();
    PLW_DrawPictIndirect(dc, &picture, 100, 100);
    PLW_EndPage(dc);
    PLW_EndDoc(dc);
    PLW_DeleteDC(dc);
    return 0;
}
